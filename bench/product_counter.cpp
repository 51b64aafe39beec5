// product_counter.cpp -- the counters behind the hook of core/call_counting.h, for the counting
// program (see product_counter.h).
#include "product_counter.h"

#include <chrono>

#include "core/call_counting.h"

#if !defined(OSTREL2_CALL_COUNTING)
#error "product_counter.cpp belongs to the counting build, compiled with OSTREL2_CALL_COUNTING"
#endif

namespace {

ostrel2_bench::Counts counts;
int divisionDepth = 0;
int32_t countPrecision = 0;
bool timing = false;
double productStart = 0;

}  // namespace

namespace ostrel2::counting {

void Enter(Counted kind, int32_t precision) {
    switch (kind) {
        case Counted::Product:
            ++counts.products;
            if (divisionDepth > 0) ++counts.productsInDivisions;
            if (precision < countPrecision) ++counts.lowerProducts;
            if (timing) productStart = ostrel2_bench::SteadySeconds();
            break;
        case Counted::Division:
            ++counts.divisions;
            ++divisionDepth;
            break;
        case Counted::SmallProduct: ++counts.smallProducts; break;
        case Counted::SmallDivision: ++counts.smallDivisions; break;
    }
}

void Leave(Counted kind) {
    if (kind == Counted::Product && timing) {
        counts.productSeconds += ostrel2_bench::SteadySeconds() - productStart;
    } else if (kind == Counted::Division) {
        --divisionDepth;
    }
}

}  // namespace ostrel2::counting

namespace ostrel2_bench {

const Counts& CurrentCounts() { return counts; }

void ResetCounts(int32_t precision) {
    counts = Counts();
    countPrecision = precision;
}

void TimeProducts(bool on) { timing = on; }

double SteadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace ostrel2_bench

// product_counter.cpp -- the counting wrappers of the counting programs (see product_counter.h).
#include "product_counter.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {

using ostrel2::WorkLong;

ostrel2_bench::Counts counts;
int divisionDepth = 0;
int32_t countPrecision = 0;
bool timing = false;

}  // namespace

extern "C" {
WorkLong& __real__ZN7ostrel211MultiplLongERNS_8WorkLongES1_S1_(WorkLong&, WorkLong&, WorkLong&);
WorkLong& __real__ZN7ostrel27DivLongERNS_8WorkLongES1_S1_(WorkLong&, WorkLong&, WorkLong&);
WorkLong& __real__ZN7ostrel212MultiplSmallERNS_8WorkLongERKS0_d(WorkLong&, const WorkLong&,
                                                                double);
WorkLong& __real__ZN7ostrel28DivSmallERNS_8WorkLongERKS0_d(WorkLong&, const WorkLong&, double);

WorkLong& __wrap__ZN7ostrel211MultiplLongERNS_8WorkLongES1_S1_(WorkLong& result, WorkLong& a,
                                                               WorkLong& b) {
    ++counts.products;
    if (divisionDepth > 0) ++counts.productsInDivisions;
    if (std::max(a.precision, b.precision) < countPrecision) ++counts.lowerProducts;
    if (!timing) return __real__ZN7ostrel211MultiplLongERNS_8WorkLongES1_S1_(result, a, b);
    const double start = ostrel2_bench::SteadySeconds();
    WorkLong& product = __real__ZN7ostrel211MultiplLongERNS_8WorkLongES1_S1_(result, a, b);
    counts.productSeconds += ostrel2_bench::SteadySeconds() - start;
    return product;
}

WorkLong& __wrap__ZN7ostrel27DivLongERNS_8WorkLongES1_S1_(WorkLong& result, WorkLong& a,
                                                          WorkLong& b) {
    ++counts.divisions;
    ++divisionDepth;
    WorkLong& quotient = __real__ZN7ostrel27DivLongERNS_8WorkLongES1_S1_(result, a, b);
    --divisionDepth;
    return quotient;
}

WorkLong& __wrap__ZN7ostrel212MultiplSmallERNS_8WorkLongERKS0_d(WorkLong& result,
                                                                const WorkLong& a, double m) {
    ++counts.smallProducts;
    return __real__ZN7ostrel212MultiplSmallERNS_8WorkLongERKS0_d(result, a, m);
}

WorkLong& __wrap__ZN7ostrel28DivSmallERNS_8WorkLongERKS0_d(WorkLong& result, const WorkLong& a,
                                                           double d) {
    ++counts.smallDivisions;
    return __real__ZN7ostrel28DivSmallERNS_8WorkLongERKS0_d(result, a, d);
}
}

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

int64_t Products() { return counts.products; }

void ResetProducts() { ResetCounts(); }

ostrel2::WorkLong Working(const LongNumber& x) {
    ostrel2::WorkLong work;
    std::memset(&work, 0, sizeof work);
    std::memcpy(&work, &x, sizeof x);
    return work;
}

}  // namespace ostrel2_bench

// product_counter.cpp -- the counting wrappers of the counting programs (see product_counter.h).
#include "product_counter.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "arith/transform/multiply_transform.h"

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

WorkLong& __real__ZN7ostrel215MultiplLongKeptERNS_8WorkLongES1_S1_PNS_11KeptSpectraES3_(
    WorkLong&, WorkLong&, WorkLong&, ostrel2::KeptSpectra*, ostrel2::KeptSpectra*);
}

namespace {

// Counts one transform product (with or without kept spectra) and makes it through product().
template <class Product>
WorkLong& CountProduct(const WorkLong& a, const WorkLong& b, Product product) {
    ++counts.products;
    if (divisionDepth > 0) ++counts.productsInDivisions;
    if (std::max(a.precision, b.precision) < countPrecision) ++counts.lowerProducts;
    if (!timing) return product();
    const double start = ostrel2_bench::SteadySeconds();
    WorkLong& result = product();
    counts.productSeconds += ostrel2_bench::SteadySeconds() - start;
    return result;
}

}  // namespace

extern "C" {
WorkLong& __wrap__ZN7ostrel211MultiplLongERNS_8WorkLongES1_S1_(WorkLong& result, WorkLong& a,
                                                               WorkLong& b) {
    return CountProduct(a, b, [&]() -> WorkLong& {
        return __real__ZN7ostrel211MultiplLongERNS_8WorkLongES1_S1_(result, a, b);
    });
}

WorkLong& __wrap__ZN7ostrel215MultiplLongKeptERNS_8WorkLongES1_S1_PNS_11KeptSpectraES3_(
    WorkLong& result, WorkLong& a, WorkLong& b, ostrel2::KeptSpectra* keepA,
    ostrel2::KeptSpectra* keepB) {
    return CountProduct(a, b, [&]() -> WorkLong& {
        return __real__ZN7ostrel215MultiplLongKeptERNS_8WorkLongES1_S1_PNS_11KeptSpectraES3_(
            result, a, b, keepA, keepB);
    });
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

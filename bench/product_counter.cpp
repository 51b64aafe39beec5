// product_counter.cpp -- the counting wrapper of MultiplLong (see product_counter.h).
#include "product_counter.h"

#include <cstring>

namespace {

int64_t productCount = 0;

}  // namespace

extern "C" {
ostrel2::WorkLong& __real__ZN7ostrel211MultiplLongERNS_8WorkLongES1_S1_(
    ostrel2::WorkLong& result, ostrel2::WorkLong& a, ostrel2::WorkLong& b);

ostrel2::WorkLong& __wrap__ZN7ostrel211MultiplLongERNS_8WorkLongES1_S1_(
    ostrel2::WorkLong& result, ostrel2::WorkLong& a, ostrel2::WorkLong& b) {
    ++productCount;
    return __real__ZN7ostrel211MultiplLongERNS_8WorkLongES1_S1_(result, a, b);
}
}

namespace ostrel2_bench {

int64_t Products() { return productCount; }

void ResetProducts() { productCount = 0; }

ostrel2::WorkLong Working(const LongNumber& x) {
    ostrel2::WorkLong work;
    std::memset(&work, 0, sizeof work);
    std::memcpy(&work, &x, sizeof x);
    return work;
}

}  // namespace ostrel2_bench

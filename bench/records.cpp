// records.cpp -- random full-length operand records for the benchmarks, and their decimal text.
#include "records.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace ostrel2_bench {

LongNumber RandomRecord(std::mt19937_64& rng, int32_t precision, int32_t exponent) {
    std::uniform_int_distribution<int64_t> limb(0, 9999999999LL);
    std::uniform_int_distribution<int64_t> leading(1, 9999999999LL);
    LongNumber x;
    std::memset(&x, 0, sizeof x);
    x.sign = (rng() & 1) != 0 ? 1 : -1;
    x.exponent = exponent;
    x.precision = precision;
    x.error = 0;
    x.limbs[0] = static_cast<double>(leading(rng));
    for (int32_t k = 1; k <= LastBoundarySlot(precision); ++k) {
        x.limbs[k] = static_cast<double>(limb(rng));
    }
    return x;
}

std::string DecimalText(const LongNumber& x) {
    std::string text = x.sign < 0 ? "-0." : "0.";
    char group[16];
    for (int32_t k = 0; k <= LastBoundarySlot(x.precision); ++k) {
        std::snprintf(group, sizeof group, "%010lld", static_cast<long long>(x.limbs[k]));
        text += group;
    }
    // limbs[0] holds the ten digits just above 10^(exponent - 9) .. 10^exponent, so the point
    // stands ten digits above the units digit of limb 0.
    std::snprintf(group, sizeof group, "e%d", x.exponent + 10);
    text += group;
    return text;
}

int64_t DecimalDigits(int32_t precision) { return 10 * (static_cast<int64_t>(precision) + 4); }

int64_t BinaryDigits(int32_t precision) {
    return static_cast<int64_t>(std::ceil(static_cast<double>(DecimalDigits(precision)) *
                                          std::log2(10.0)));
}

}  // namespace ostrel2_bench

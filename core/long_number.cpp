// long_number.cpp -- construction of records and the small helpers shared by every worker.
#include "core/long_number.h"

#include <cmath>
#include <limits>

namespace ostrel2 {

void InitLong(WorkLong& record, int32_t precision, int32_t sign, int32_t exponent,
              double firstLimb) {
    record.sign = sign;
    record.exponent = sign == 0 ? ZERO_EXPONENT : exponent;
    record.precision = precision;
    record.error = 0;
    record.limbs[0] = firstLimb;
    for (int32_t k = 1; k <= precision + GUARD_LIMBS; ++k) record.limbs[k] = 0.0;
}

int32_t MaxPrecision(const WorkLong& a, const WorkLong& b) {
    return b.precision > a.precision ? b.precision : a.precision;
}

double EstimateDouble(const WorkLong& x) {
    return (x.limbs[0] + x.limbs[1] * 1e-10) * std::pow(10.0, x.exponent);
}

bool IterationDone(int32_t precision, int32_t valueExponent, int32_t correctionExponent) {
    if (correctionExponent == ZERO_EXPONENT) return true;
    return static_cast<double>(valueExponent) - static_cast<double>(correctionExponent) >
           (precision + 1.9) * 10.0;
}

int32_t TruncToInt32(double x) {
    if (!(x == x)) return 0;
    if (x >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (x <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(x);
}

int32_t SumErrors(int32_t a, int32_t b, int32_t c) {
    const int64_t sum = static_cast<int64_t>(a) + b + c;
    if (sum < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (sum > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(sum);
}

}  // namespace ostrel2

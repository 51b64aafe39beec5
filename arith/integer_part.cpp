// integer_part.cpp -- absolute value, truncation and rounding to an integer, and the remainder of
// a truncated division. A canonical exponent is a multiple of 10, so the integer part of a record
// always ends on a limb boundary and these workers clear whole limbs.
#include "arith/integer_part.h"

#include <cmath>

#include "arith/addition.h"
#include "arith/divide_reciprocal.h"
#include "arith/multiply_transform.h"

namespace ostrel2 {

namespace {

constexpr double kHalfLimb = 5e9;  // one half in the scale of the first fractional limb

// Index of the limb that holds the units digit of a normalised record: exactly exponent / 10 for
// a multiple of 10; negative for a magnitude below 1 (-210,000,000 for the zero exponent).
int32_t UnitsLimb(const WorkLong& x) {
    return TruncToInt32(std::floor((x.exponent + 0.1) * 0.1));
}

}  // namespace

// |x|: only the sign changes, nothing is normalised, so a zero comes back with sign +1; the
// error of x is kept.
WorkLong& AbsLong(WorkLong& result, WorkLong x) {
    x.sign = 1;
    result = x;
    return result;
}

// x truncated toward zero: the normalised x with its wholly fractional limbs cleared, the
// canonical zero below 1 in magnitude. Precision and error are those of x.
WorkLong& FixLong(WorkLong& result, WorkLong x) {
    Normalize(x);
    int32_t units = UnitsLimb(x);
    const int32_t last = LastLimb(x);
    if (units >= last) {
        result = x;
        return result;
    }
    if (units < 0) {
        x.exponent = ZERO_EXPONENT;
        x.sign = 0;
        units = -1;
    }
    for (int32_t k = units + 1; k <= last; ++k) x.limbs[k] = 0.0;
    result = x;
    return result;
}

// x rounded to the nearest integer, halves away from zero: one half is added to the magnitude in
// the first fractional limb and the sum truncated. Below 10^-10 in magnitude nothing is added.
// Precision and error are those of x.
WorkLong& RoundLong(WorkLong& result, WorkLong x) {
    Normalize(x);
    const int32_t units = UnitsLimb(x);
    if (units >= LastLimb(x)) {
        result = x;
        return result;
    }
    if (units >= -1) x.limbs[units + 1] += kHalfLimb;
    return FixLong(result, x);
}

// x - trunc(x / y) * y with the sign of x, through the reciprocal division, truncation, the
// transform product and a subtraction; operand errors reach the remainder through each of them.
// A remainder that the inexact quotient leaves equal to y in magnitude is the zero, with the
// error the remainder carried.
// A remainder left outside the range of a truncated remainder (sign opposite to x's, or larger
// than y in magnitude, when the quotient came out one unit off) is moved back into it by one y.
// When the division itself fails (zero divisor, exponent overflow), or a zero dividend carries
// an operand's failure, the remainder is the division's zero with its negative error.
WorkLong& ModLong(WorkLong& result, WorkLong x, WorkLong y) {
    WorkLong q;
    DivLong(q, x, y);
    if (q.sign == 0 && q.error < 0) {
        result = q;
        return result;
    }
    FixLong(q, q);
    MultiplLong(q, q, y);
    WorkLong r;
    SubtractLong(r, x, q);

    if (r.sign != 0) {
        const int32_t remainderSign = r.sign;
        r.sign = y.sign;
        WorkLong t;
        SubtractLong(t, r, y);  // (|r| - |y|) with the sign of y
        if (t.sign == 0) {
            const int32_t error = r.error;
            InitLong(r, r.precision, 0, 0, 0.0);
            r.error = error;
        } else if (remainderSign != x.sign || t.sign == y.sign) {
            // Quotient one unit too far from zero (wrong sign) or one unit short (|r| > |y|):
            // either way the remainder is ||r| - |y||.
            t.sign = x.sign;
            r = t;
        } else {
            r.sign = x.sign;
        }
    }
    result = r;
    return result;
}

}  // namespace ostrel2

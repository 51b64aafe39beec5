// integer_part.cpp -- absolute value, truncation and rounding to an integer, and the remainder of
// a truncated division. A canonical exponent is a multiple of 10, so the integer part of a record
// always ends on a limb boundary and these workers clear whole limbs.
#include "arith/integer_part.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "arith/addition.h"
#include "arith/divide_reciprocal.h"
#include "arith/multiply_transform.h"
#include "core/diagnostics.h"
#include "core/worker_helpers.h"

namespace ostrel2 {

namespace {

constexpr double kHalfLimb = 5e9;  // one half in the scale of the first fractional limb

// Digits of the integer part of a canonical record's magnitude: 0 below 1.
int64_t IntegerDigits(const WorkLong& x) {
    if (x.sign == 0) return 0;
    int64_t leading = 1;  // digits of the leading limb
    for (double bound = 10.0; leading < 10 && x.limbs[0] >= bound; bound *= 10.0) ++leading;
    return std::max<int64_t>(0, static_cast<int64_t>(x.exponent) + leading);
}

// The most digits a quotient of DivLong at working precision P may have in its integer part for
// that integer part to be within one unit of the exact quotient's: the relative error is at most
// 1.1 x 10^-(20(P + 1)) + 13 x 10^-(10(Q + 2)), Q = max(P, 5), so below 10^D the quotient is
// within 0.13 of the exact one for D up to min(20P + 19, 10Q + 18) (docs/truncation-bounds.md).
int64_t ExactQuotientDigits(int32_t P) {
    const int64_t Q = P < 5 ? 5 : P;
    return std::min<int64_t>(20 * static_cast<int64_t>(P) + 19, 10 * Q + 18);
}

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
// an operand's failure, the remainder is the division's zero with its negative error. A quotient
// with more integer digits than the division delivers to the unit, min(20P + 19, 10Q + 18) for
// P = max(x.precision, y.precision) and Q = max(P, 5), leaves no exact remainder: the message,
// and the zero of the quotient's precision with error -1 plus the operands' errors.
WorkLong& ModLong(WorkLong& result, WorkLong x, WorkLong y) {
    const int32_t P = MaxPrecision(x, y);
    WorkLong q;
    DivLong(q, x, y);
    if (q.sign == 0 && q.error < 0) {
        result = q;
        return result;
    }
    // A quotient whose integer part the division cannot deliver to the unit leaves a remainder
    // that is off by multiples of y: a failure, not a number.
    if (IntegerDigits(q) > ExactQuotientDigits(P)) {
        Report(Message::RemainderInexact);
        InitLong(q, q.precision, 0, 0, 0.0);
        q.error = SumErrors(-1, x.error, y.error);
        return CopyOut(result, q);
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

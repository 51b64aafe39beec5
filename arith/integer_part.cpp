// integer_part.cpp -- absolute value, truncation and rounding to an integer, and the remainder of
// a truncated division. A canonical exponent is a multiple of 10, so the integer part of a record
// always ends on a limb boundary and these workers clear whole limbs.
#include "arith/integer_part.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "arith/addition.h"
#include "arith/divide_reciprocal.h"
#include "arith/transform/multiply_transform.h"
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

// Index of the last non-zero live limb of a record; -1 when every live limb is 0.
int32_t LowestNonZeroLimb(const WorkLong& x) {
    int32_t k = LastLimb(x);
    while (k >= 0 && x.limbs[k] == 0.0) --k;
    return k;
}

// Whether a record is canonical in the sense the exact checks below need: exponent on the limb
// grid and every live limb a whole number in [0, 10^10).
bool WholeLimbsOnTheGrid(const WorkLong& x) {
    if (x.exponent % 10 != 0) return false;
    for (int32_t k = 0; k <= LastLimb(x); ++k) {
        const double limb = x.limbs[k];
        if (!(limb >= 0.0 && limb < LIMB_BASE) || limb != std::trunc(limb)) return false;
    }
    return true;
}

// Whether the transform product p of the non-zero records a and b is exactly a * b.
//
// The exact product T is a multiple of 10^G, G the sum of the powers of ten of the units of a's
// and b's lowest non-zero limbs, and its limbs from G upward come exactly out of a schoolbook pass
// from those limbs up (SplitProduct halves; sums and carries stay below 2^53). T and p are compared
// on the limb grid from G, or from p's last live limb if that is lower, up to two limbs above p's
// last: T must have no non-zero limb below p's last, and p's last three limbs must be T's. That
// holds when p = T. Conversely, if it holds, p and T are both multiples of one unit u of p's last
// limb and differ by a multiple of 10^30 u; but p lies within 4 units of limb Q + 2 of T, in T's
// own scale (docs/transform-multiplication.md), so its exponent is T's or one limb off, and
// |p - T| < 4 x 10^20 u: p = T. Records off the canonical form (a limb that is not a whole number
// below 10^10, an exponent off the grid) are not examined; their product counts as inexact.
bool ProductIsExact(const WorkLong& p, const WorkLong& a, const WorkLong& b) {
    if (p.sign == 0 || p.sign != a.sign * b.sign) return false;
    if (!WholeLimbsOnTheGrid(a) || !WholeLimbsOnTheGrid(b) || !WholeLimbsOnTheGrid(p))
        return false;
    const int32_t lowA = LowestNonZeroLimb(a);
    const int32_t lowB = LowestNonZeroLimb(b);
    if (lowA < 0 || lowB < 0) return false;
    const int64_t lowest = static_cast<int64_t>(a.exponent) - 10 * lowA +
                           static_cast<int64_t>(b.exponent) - 10 * lowB;
    const int32_t pLast = LastLimb(p);
    const int64_t bottom = static_cast<int64_t>(p.exponent) - 10 * static_cast<int64_t>(pLast);

    double carry = 0.0;  // into the position being formed, in its units
    for (int64_t position = std::min(lowest, bottom); position <= bottom + 20; position += 10) {
        double limb = 0.0;
        if (position >= lowest) {
            // Limb m of T counted from G: the products of a's limb i and b's limb m - i, each
            // counted up from the operand's lowest non-zero limb, plus the carry from below.
            const int64_t m = (position - lowest) / 10;
            double lows = 0.0;
            double highs = 0.0;
            const int64_t first = std::max<int64_t>(0, m - lowB);
            const int64_t end = std::min<int64_t>(m, lowA);
            for (int64_t i = first; i <= end; ++i) {
                double high = 0.0;
                double low = 0.0;
                SplitProduct(a.limbs[lowA - i], b.limbs[lowB - (m - i)], high, low);
                lows += low;
                highs += high;
            }
            const double total = lows + carry;
            double up = std::floor(total / LIMB_BASE);
            limb = total - up * LIMB_BASE;
            if (limb < 0.0) {
                limb += LIMB_BASE;
                up -= 1.0;
            } else if (limb >= LIMB_BASE) {
                limb -= LIMB_BASE;
                up += 1.0;
            }
            carry = up + highs;
        }
        if (position < bottom) {
            if (limb != 0.0) return false;
        } else if (limb != p.limbs[pLast - (position - bottom) / 10]) {
            return false;
        }
    }
    return true;
}

// Whether AddLong forms the difference of the magnitudes of the normalised records a and b
// without dropping a limb: it keeps the limbs of the operand with the smaller exponent only up to
// that operand's own last live position counted from the leading operand's first limb. (A
// difference of magnitudes makes no carry into a new leading limb, which would drop another.)
bool DifferenceIsExact(const WorkLong& a, const WorkLong& b) {
    if (a.sign == 0 || b.sign == 0) return true;
    const int32_t d = a.exponent / 10 - b.exponent / 10;
    const WorkLong& other = d >= 0 ? b : a;
    const int64_t shift = d >= 0 ? d : -static_cast<int64_t>(d);
    return LowestNonZeroLimb(other) + shift <= LastLimb(other);
}

// The failure exit of a remainder that cannot be exact: the message, and the zero of the given
// precision with error -1 plus the operands' errors.
WorkLong& InexactRemainder(WorkLong& result, int32_t precision, const WorkLong& x,
                           const WorkLong& y) {
    Report(Message::RemainderInexact);
    WorkLong zero;
    InitLong(zero, precision, 0, 0, 0.0);
    zero.error = SumErrors(-1, x.error, y.error);
    return CopyOut(result, zero);
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
// A remainder that cannot be exact is a failure (the message, and the zero of the quotient's
// precision with error -1 plus the operands' errors): when the quotient has more integer digits
// than the division delivers to the unit, min(20P + 19, 10Q + 18) for P = max(x.precision,
// y.precision) and Q = max(P, 5); when the product n * y of the truncated quotient does not fit
// the product's Q + 4 limbs (it would come back cut); when the subtraction x - n * y, or the
// repair by one y, would drop limbs of an operand (docs/truncation-bounds.md).
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
    if (IntegerDigits(q) > ExactQuotientDigits(P))
        return InexactRemainder(result, q.precision, x, y);
    FixLong(q, q);
    const WorkLong n = q;
    MultiplLong(q, q, y);
    // A product cut to its Q + 4 limbs, or a subtraction that drops limbs, leaves a remainder
    // off in its last digits.
    if (n.sign != 0 && (!ProductIsExact(q, n, y) || !DifferenceIsExact(x, q)))
        return InexactRemainder(result, n.precision, x, y);
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
            // either way the remainder is ||r| - |y||, exact unless the subtraction dropped limbs.
            if (!DifferenceIsExact(r, y)) return InexactRemainder(result, n.precision, x, y);
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

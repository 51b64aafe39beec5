// integer_power.cpp -- PowerLong and RootLong: x^n by binary powering and the n-th root of x by
// Newton's iteration, for a whole n held in a double.
#include "powers/integer_power.h"

#include <cmath>
#include <cstdint>

#include "arith/addition.h"
#include "arith/divide_reciprocal.h"
#include "arith/multiply_schoolbook.h"
#include "arith/transform/multiply_transform.h"
#include "core/worker_helpers.h"
#include "powers/exponent_shift.h"

namespace ostrel2 {

namespace {

constexpr double kLargestExponent = 1e12;  // |n| accepted by PowerLong
constexpr double kLargestIndex = 1e13;     // n accepted by RootLong
constexpr double kShortMultiplier = 1e10;  // MultiplSmall takes multipliers below this
constexpr int kMaxPowersOfTwo = 40;        // 10^12 < 2^40
// Arguments whose exponent lies within 100 digits of either end of the range (MAX_EXPONENT above,
// the products' symmetric limit below) take the root's scaled step (QuotientForIndex).
constexpr int32_t kRootPlainExponent = MAX_EXPONENT - 100;

// Decimal digits of the exponent of x^n (x canonical and non-zero, n >= 0), estimated from x's
// leading two limbs in doubles: n log10 |x| in magnitude.
double PowerDigits(const WorkLong& x, double n) {
    return std::fabs(n * (std::log10(x.limbs[0] + x.limbs[1] * 1e-10) + x.exponent));
}

// Splits n into the exponents of its powers of two, largest first, into bits[]; returns their
// count and leaves in rest what is left below 1 (0 for a whole n). Each exponent is estimated as
// trunc(log2(m) + 10^-11), the small term keeping an exact power of two from falling a hair below
// its exponent, and lowered by one where that estimate overshoots: just below 2^38 and 2^39
// (m = 2^38 - 1, 2^39 - 3 .. 2^39 - 1) log2(m) lies within 10^-11 of the next whole number, and
// the estimate alone would take a power of two larger than m.
int PowersOfTwo(double n, int32_t bits[kMaxPowersOfTwo], double& rest) {
    int count = 0;
    double m = n;
    while (m >= 1.0 && count < kMaxPowersOfTwo) {
        int32_t b = TruncToInt32(std::log(m) / std::log(2.0) + 1e-11);
        if (std::ldexp(1.0, b) > m) --b;
        bits[count++] = b;
        m -= std::ldexp(1.0, b);
    }
    rest = m;
    return count;
}

// result <- x / r^(n-1), near r, for the scaled Newton step of the root, formed so that no record
// comes near the ends of the exponent range (there r^(n-1), about x, or n r^(n-1), or the
// reciprocal of either would overflow). Both x and r^(n-1) are divided by the same 10^(10 s), by
// their exponents alone, with 10 s the exponent e of x cut toward 0 to a multiple of 100; x then
// lies within 100 digits of 1, r^(n-1) within about e / n + 100 digits of it. For n > 10 the
// power is taken in pieces, n - 1 = 10 q + d (q < 10^12, d < 10) and r^(n-1) = (r^q)^10 r^d, and
// r^q, about x^(1/10), is moved by 10^-s before its tenth power, so that no piece comes near the
// ends either; for n <= 10, r^(n-1) itself stays within 0.9 e digits of 1 and is moved after.
// Up to about 90 products and one reciprocal division; the rounding errors of the powering grow
// with n as in one binary powering, and the step's division by n takes that growth out again.
void QuotientForIndex(WorkLong& result, const WorkLong& x, WorkLong& r, double n) {
    const int32_t s = 10 * (x.exponent / 100);
    const double e = n - 1.0;
    const double q = std::floor(e / 10.0);
    const double d = e - 10.0 * q;
    WorkLong w;
    if (q == 0.0) {
        PowerLong(w, r, e);
        if (w.sign != 0) w.exponent -= 10 * s;
    } else {
        PowerLong(w, r, q);
        if (w.sign != 0) w.exponent -= s;
        PowerLong(w, w, 10.0);
        if (d > 0.0) {
            WorkLong low;
            PowerLong(low, r, d);
            MultiplLong(w, w, low);
        }
    }
    WorkLong scaled = x;
    scaled.exponent -= 10 * s;
    DivLong(result, scaled, w);
}


// A root iteration still unsettled after NEWTON_STEP_LIMIT steps works on no valid number (its
// limbs read two ways by the sums and the products): zero with error -1 and the message of a
// record with negative elements.
WorkLong& Unsettled(WorkLong& result, int32_t precision) {
    WorkLong r;
    InitLong(r, precision, 0, 0, 0.0);
    return FailWith(result, r, Message::RootNegativeLimb);
}

// How PowerSteps builds its power: on the records' own exponents, with every product's exponent
// taken out into the shift, or the one or the other by the estimated size of the power.
enum class Steps { Plain, Shifted, BySize };

// x^n = result 10^shift, the body of PowerLong and PowerLongShifted (their comments give the
// contract). The shift is 0 after the plain steps and after every failure.
WorkLong& PowerSteps(WorkLong& result, int64_t& shift, WorkLong& x, double n, Steps steps) {
    shift = 0;
    WorkLong p;
    InitLong(p, x.precision, 0, 0, 0.0);

    if (Failed(x)) return FailQuietly(result, p);
    if (x.sign == 0) {
        if (n < 0.0) return FailWith(result, p, Message::DivisionByZero);
        if (n == 0.0) InitLong(p, x.precision, 1, 0, 1.0);
        return CopyOut(result, p);
    }
    if (Normalize(x) == -1) return FailWith(result, p, Message::PowerNegativeLimb);

    int32_t s = 1;
    if (!(n >= 0.0)) {
        s = -1;
        n = -n;
    }
    if (n > kLargestExponent) return FailWith(result, p, Message::PowerExponentRange);

    // p 10^shift and q 10^qShift are the values; the shifts stay 0 on the plain steps.
    const bool shifted = steps == Steps::Shifted ||
                         (steps == Steps::BySize && n != 0.0 && TakesShiftedSteps(PowerDigits(x, n)));
    if (n == 0.0) {
        InitLong(p, x.precision, 1, 0, 1.0);
    } else if (n == 1.0) {
        p = x;
        if (shifted) shift = TakeExponent(p);
    } else {
        InitLong(p, x.precision, 1, 0, 1.0);
        int32_t bits[kMaxPowersOfTwo];
        double rest = 0.0;
        int next = PowersOfTwo(n, bits, rest) - 1;
        if (rest != 0.0) return FailWith(result, p, Message::PowerExponentNotWhole);

        WorkLong q = x;
        int64_t qShift = shifted ? TakeExponent(q) : 0;
        KeptSpectra powerOfTwo;  // q's spectra, made for p q and read again by q q
        for (int32_t j = 0;; ++j) {
            if (j == bits[next]) {
                MultiplLongKept(p, p, q, nullptr, &powerOfTwo);
                if (shifted) shift += qShift + TakeExponent(p);
                if (--next < 0) break;
            }
            MultiplLongKept(q, q, q, &powerOfTwo, nullptr);
            if (shifted) qShift = 2 * qShift + TakeExponent(q);
        }
    }

    if (s == -1) {
        WorkLong one = WholeNumber(x.precision, 1.0);
        DivLong(p, one, p);
        shift = -shift;
    }
    Normalize(p);
    if (p.sign == 0) shift = 0;
    return CopyOut(result, p);
}

}  // namespace

// x^n at x's precision (a product's 5 limbs at least; x itself for n = 1 and 1 for n = 0). The
// powers x^(2^j) are squared up from x and those of n's bits multiplied in, lowest first: at most
// 39 squarings and 40 products, each truncated as transform products are, so the relative error
// grows with n (about n units of limb P + 2). A negative n ends in one reciprocal division of 1.
// A flagged x gives zero with error -1 and no message. 0^n is 0 for n > 0 and 1 for n = 0; for
// n < 0 it is the reciprocal of 0, reported as the division by zero it is (zero, error -1). An n
// that is not whole gives its message and the value 1 with error -1.
//
// A power whose exponent, estimated from x's leading limbs, lies within 100 digits of the
// products' limit of +-2,000,000,000 or beyond it, but not beyond the exponents a record may carry
// (+-2,147,000,000), is built with its exponents taken out (exponent_shift.h): the same bits where
// the plain steps succeed, and a result the plain steps could not reach where they would leave
// the products' range. A result that still lies beyond the record's exponents is then reported as
// an overflow (zero, error -1). Further out the plain steps run and report as they always have.
WorkLong& PowerLong(WorkLong& result, WorkLong& x, double n) {
    int64_t shift = 0;
    PowerSteps(result, shift, x, n, Steps::BySize);
    if (!PlaceShift(result, shift)) {
        WorkLong zero;
        InitLong(zero, result.precision, 0, 0, 0.0);
        return FailWith(result, zero, Message::Overflow);
    }
    return result;
}

WorkLong& PowerLongShifted(WorkLong& result, int64_t& shift, WorkLong& x, double n) {
    return PowerSteps(result, shift, x, n, Steps::Shifted);
}

// The n-th root of x at x's precision (a product's 5 limbs at least; x itself, not normalised,
// for n = 1), by Newton's steps r <- r + (x - r^n) / (n r^(n-1)) at full precision until the
// correction falls below the shared stop rule. A step costs the power r^(n-1) (up to 79
// products), one product, a short product by n, one reciprocal division, a subtraction and an
// addition. The start is the root of x's leading two limbs in doubles, cut after two limbs. A
// flagged x gives zero with error -1 and no message; 0 gives 0 before n is examined.
//
// Two kinds of argument take a scaled step instead, so that every index up to 10^13 and every
// exponent converges to the root: indices from 10^10 on (n no longer fits the short product's
// multiplier, and r^(n-1) exceeds PowerLong's exponents beyond 10^12 + 1), and arguments within
// 100 digits of the ends of the exponent range (n r^(n-1), about n x, and the products and
// reciprocals of the plain step leave the range there). The step is then
// r <- r + (x / r^(n-1) - r) / n, with 1/n formed once and the quotient by QuotientForIndex, and
// the start keeps a third limb: one unit of the second, 10^-10 of a root near 1, is an error the
// step multiplies by n, and beyond n = 10^10 that throws the iteration off.
WorkLong& RootLong(WorkLong& result, WorkLong& x, double n) {
    WorkLong r;
    InitLong(r, x.precision, 0, 0, 0.0);

    if (Failed(x)) return FailQuietly(result, r);
    if (x.sign == 0) return CopyOut(result, r);
    if (x.sign == -1) return FailWith(result, r, Message::RootNegative);
    if (!(n > 0.0)) return FailWith(result, r, Message::RootIndexNotPositive);
    if (n - TruncDouble(n) != 0.0) return FailWith(result, r, Message::RootIndexNotWhole);
    if (n == 1.0) return CopyOut(result, x);
    if (n > kLargestIndex) return FailWith(result, r, Message::RootIndexRange);
    if (Normalize(x) == -1) return FailWith(result, r, Message::RootNegativeLimb);

    // Start: v = (limb0 + limb1 10^-10)^(1/n) * 10^(e/n - k) with k = floor(e/n), in doubles.
    int32_t k = TruncToInt32(std::floor(x.exponent / n));
    const double a = std::pow(x.limbs[0] + x.limbs[1] * 1e-10, 1.0 / n);
    const double v = a * std::pow(10.0, x.exponent / n - k);
    r.limbs[0] = std::floor(v);
    const double fraction = (v - r.limbs[0]) * LIMB_BASE;
    r.limbs[1] = std::floor(fraction);
    const bool plainSteps = n < kShortMultiplier && x.exponent >= -kRootPlainExponent &&
                            x.exponent <= kRootPlainExponent;
    if (!plainSteps) r.limbs[2] = std::floor((fraction - r.limbs[1]) * LIMB_BASE);
    if (r.limbs[0] == 0.0) {
        r.limbs[0] = r.limbs[1];
        r.limbs[1] = r.limbs[2];
        r.limbs[2] = 0.0;
        k -= 10;
        if (r.limbs[0] == 0.0) return CopyOut(result, r);
    }
    r.sign = 1;
    r.exponent = k;
    WorkLong t;
    InitLong(t, x.precision, 0, 0, 0.0);
    t.exponent = k;  // so that the stop rule lets the first step run

    WorkLong u;
    if (plainSteps) {
        for (int32_t steps = 0; !IterationDone(r.precision, r.exponent, t.exponent); ++steps) {
            if (steps == NEWTON_STEP_LIMIT) return Unsettled(result, x.precision);
            PowerLong(t, r, n - 1.0);  // r^(n-1)
            MultiplLong(u, r, t);      // r^n
            MultiplSmall(t, t, n);     // n r^(n-1)
            SubtractLong(u, x, u);     // x - r^n
            DivLong(t, u, t);          // the correction
            AddLong(r, r, t);
        }
    } else {
        WorkLong one = WholeNumber(x.precision, 1.0);
        WorkLong index = WholeNumber(x.precision, n);
        WorkLong inverse;
        DivLong(inverse, one, index);
        for (int32_t steps = 0; !IterationDone(r.precision, r.exponent, t.exponent); ++steps) {
            if (steps == NEWTON_STEP_LIMIT) return Unsettled(result, x.precision);
            QuotientForIndex(u, x, r, n);  // x / r^(n-1), near r
            SubtractLong(u, u, r);
            MultiplLong(t, u, inverse);    // the correction
            AddLong(r, r, t);
        }
    }
    return CopyOut(result, r);
}

}  // namespace ostrel2

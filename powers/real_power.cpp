// real_power.cpp -- x^y for a record exponent y: whole and reciprocal exponents by the integer
// power and root, every other y limb by limb from powers of repeated 10^10-th roots of x.
#include "powers/real_power.h"

#include <cmath>
#include <cstdint>

#include "arith/addition.h"
#include "arith/divide_reciprocal.h"
#include "arith/transform/multiply_transform.h"
#include "core/diagnostics.h"
#include "core/worker_helpers.h"
#include "powers/exponent_shift.h"
#include "powers/integer_power.h"

namespace ostrel2 {

namespace {

// The bit positions set in N - 1 = 9,999,999,999, lowest first.
constexpr int32_t kLimbPowerBits[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,
                                      13, 14, 15, 16, 17, 19, 26, 28, 30, 33};
constexpr int32_t kLimbPowerBitCount = sizeof kLimbPowerBits / sizeof kLimbPowerBits[0];

constexpr double kWholeBias = 0.001;          // added before the floor of the whole-number tests
constexpr double kResultExponentLimit = 2e9;  // refused estimate of the result's decimal exponent

// Whether a record is exactly 1 with no error. Its 10^10-th root is exactly the same record
// again (the first-order start is 1, the residual zero), so a chain of roots may stop there.
bool IsExactOne(const WorkLong& x) {
    if (x.sign != 1 || x.exponent != 0 || x.limbs[0] != 1.0 || x.error != 0) return false;
    for (int32_t k = 1; k <= LastLimb(x); ++k) {
        if (x.limbs[k] != 0.0) return false;
    }
    return true;
}

// x^(1/10^10) applied `count` times. Once the root has come down to an exact 1, every further
// root would return that same record, so the chain ends early: a y of exponent -2,000,000,000
// would otherwise ask for 200,000,000 roots. A root that failed ends the chain too: its error is
// already in B and reaches the result, and no later root could clear it. The first root of the
// base itself comes from firstRoot where the caller has one (and firstRoot is then spent).
void RepeatLimbRoot(WorkLong& x, int64_t count, RootOfBase& firstRoot) {
    for (int64_t i = 0; i < count && !IsExactOne(x) && !Failed(x); ++i) {
        if (firstRoot != nullptr) {
            firstRoot(x, x.precision);
            firstRoot = nullptr;
        } else {
            LimbRootLong(x, x);
        }
    }
}

// x^(10^(10 count)): `count` powers to the 10^10-th. After the first, an exact 1 ends the chain
// (its powers are the same record again), so that 1^y for a y of any size costs one power; a
// failed power ends it too, its error in B.
void RepeatLimbPower(WorkLong& x, int64_t count) {
    for (int64_t i = 0; i < count && !Failed(x); ++i) {
        if (i > 0 && IsExactOne(x)) break;
        PowerLong(x, x, LIMB_BASE);
    }
}

// Whether y (canonical, exponent 10 or more) is a whole number: no live limb below its units
// limb, the limb of index exponent / 10, is non-zero.
bool IsWholeFromLimbBase(const WorkLong& y) {
    if (y.exponent < 10) return false;
    for (int64_t k = y.exponent / 10 + 1; k <= LastLimb(y); ++k) {
        if (y.limbs[k] != 0.0) return false;
    }
    return true;
}

// Whether a whole y is odd: its units limb is odd. A units limb beyond the live limbs makes y a
// multiple of 10.
bool IsOdd(const WorkLong& y) {
    if (y.exponent < 0) return false;
    const int64_t units = y.exponent / 10;
    return units <= LastLimb(y) && std::fmod(y.limbs[units], 2.0) == 1.0;
}

// |y log10 |x||, the size in decimal digits of the exponent of x^y (x and y canonical, non-zero),
// in doubles, to about ten significant digits; +infinity beyond 10^15 and 0 for |x| = 1. log10 |x|
// comes from x's leading two limbs, but for |x| between 0.5 and 2 from ln(1 + d), d = |x| - 1
// formed exactly, so that an x within 10^-3000 of 1 is measured as closely as any other.
double PowerDigits(const WorkLong& x, const WorkLong& y) {
    const double ln10 = std::log(10.0);
    WorkLong magnitude = x;
    magnitude.sign = 1;
    const double v = EstimateDouble(magnitude);
    double logSize;  // log10 |log10 |x||
    if (v > 0.5 && v < 2.0) {
        WorkLong one = WholeNumber(x.precision, 1.0);
        WorkLong d;
        SubtractLong(d, magnitude, one);
        if (d.sign == 0) return 0.0;
        const double mantissa = d.limbs[0] + d.limbs[1] * 1e-10;
        if (d.exponent > -280) {
            const double lnX = std::log1p(d.sign * mantissa * std::pow(10.0, d.exponent));
            logSize = std::log10(std::fabs(lnX) / ln10);
        } else {  // ln(1 + d) = d to far more than ten digits
            logSize = std::log10(mantissa / ln10) + d.exponent;
        }
    } else {
        logSize = std::log10(std::fabs(std::log10(x.limbs[0] + x.limbs[1] * 1e-10) + x.exponent));
    }
    const double logDigits = logSize + std::log10(y.limbs[0] + y.limbs[1] * 1e-10) + y.exponent;
    return logDigits > 15.0 ? HUGE_VAL : std::pow(10.0, logDigits);
}

}  // namespace

// x^y at x.precision (at least 5 once a product or quotient is taken). A flagged operand gives
// zero with error -1. With x and y normalised: 0^y is 0 for y > 0 and 1 for y = 0, and for y < 0
// the reciprocal of 0, reported as the division by zero it is (zero, error -1); x^0 is 1.
//
// A y within 10 y.precision digits of a whole number n (and below 10^10) is x^n by the integer
// power, whatever lies beyond those digits; a positive y as close to 1/n is the n-th root. The
// result is then x^n or x^(1/n) to x's precision, which is y's power only to y's precision:
// 2^2.000000000000001 with y at precision 1 is exactly 4, (-2)^(3 + 10^-22) exactly -8.
//
// A negative base takes any other y only when y is a whole number of 10^10 or more (exponent 10
// and up, nothing below the units): |x|^y with the sign of y's parity. A |y| of about
// 1.01 x 10^12 or more is refused where the result cannot fit a record (|y log10 |x|| beyond
// 2,147,000,000 digits, PowerDigits), and so is a result whose decimal exponent, estimated from
// x's leading limb, lies beyond +-2 x 10^9, unless PowerDigits finds that it still fits.
//
// The general method writes y = sum y_i 10^(E - 10i) over y's live limbs and multiplies
// x^(10^(E - 10i)) raised to y_i: x^(10^E) by E / 10 powers to the 10^10-th (E >= 10) or -E / 10
// 10^10-th roots (E < 0), each further factor from one more root of the last, raised by the
// integer power; a negative y ends in one reciprocal division. Every product is truncated; the
// roots and powers report their own failures through the records' errors. A result within 100
// digits of the products' exponent limit or beyond it (but within the record's) is built with
// its exponents taken out (exponent_shift.h), the same bits where the plain steps succeed. Where
// firstRoot is given it fills x^(1/10^10) in place of the first LimbRootLong of x.
WorkLong& PowerXLongWith(WorkLong& result, WorkLong& x, WorkLong& y, RootOfBase firstRoot) {
    WorkLong r;
    InitLong(r, x.precision, 0, 0, 0.0);
    if (Failed(x) || Failed(y)) return FailQuietly(result, r);

    // A record that normalisation refuses (a negative limb ahead of its leading limb; the message
    // is printed there) is no number to raise: the failure is passed on at once rather than
    // carried through a chain of roots that, on such a base, may never reach 1.
    if (Normalize(x) == -1 || Normalize(y) == -1) return FailQuietly(result, r);
    if (x.sign == 0) {
        if (y.sign < 0) return FailWith(result, r, Message::DivisionByZero);
        if (y.sign == 0) InitLong(r, x.precision, 1, 0, 1.0);
        return CopyOut(result, r);
    }
    if (y.sign == 0) {
        InitLong(r, x.precision, 1, 0, 1.0);
        return CopyOut(result, r);
    }
    // A |y| of about 1.01 x 10^12 or more is refused where the result cannot fit a record, and
    // so is one that normalisation has flagged (a carry past the largest exponent).
    const double digits = PowerDigits(x, y);
    const bool fits = digits <= kShiftedPowerDigits;
    if ((y.exponent > 10 || (y.exponent == 10 && y.limbs[0] > 100.0)) && (!fits || Failed(y)))
        return FailWith(result, r, Message::RealPowerExponentTooLarge);

    // Whole-number and reciprocal exponents, for 10^-10 <= |y| < 10^10. The difference from the
    // nearest such exponent must lie more than 10 y.precision digits below y; an exact zero
    // difference carries ZERO_EXPONENT and always passes.
    if (y.exponent == 0 || y.exponent == -10) {
        const double v = EstimateDouble(y);
        const int64_t closeness = 10 * static_cast<int64_t>(y.precision);
        WorkLong n;
        if (v >= 1.0) {
            const double whole = std::floor(v + kWholeBias);
            InitLong(n, y.precision, y.sign, 0, whole);
            SubtractLong(n, y, n);
            if (static_cast<int64_t>(y.exponent) - n.exponent > closeness)
                return PowerLong(result, x, y.sign * whole);
        } else {
            const double index = std::floor(1.0 / v + kWholeBias);
            WorkLong one;
            InitLong(one, y.precision, y.sign, 0, 1.0);
            InitLong(n, y.precision, y.sign, 0, index);
            DivLong(n, one, n);  // +1/index for either sign of y
            SubtractLong(n, y, n);
            if (static_cast<int64_t>(y.exponent) - n.exponent > closeness)
                return RootLong(result, x, index);
        }
    }

    // A negative base: only whole exponents from 10^10 on come here.
    const int32_t sign = x.sign < 0 && IsOdd(y) ? -1 : 1;
    if (x.sign < 0 && !IsWholeFromLimbBase(y))
        return FailWith(result, r, Message::RealPowerNegativeBase);

    // Decimal exponent of the result from x's leading limb alone; y's sign is not looked at.
    const double estimate = (std::log10(x.limbs[0]) + x.exponent) * EstimateDouble(y);
    if (std::fabs(estimate) > kResultExponentLimit && !fits)
        return FailWith(result, r, (estimate > 0) == (y.sign > 0) ? Message::RealPowerOverflow
                                                                  : Message::RealPowerUnderflow);
    // r 10^shift and t 10^shift below are the values; the shifts stay 0 on the plain steps.
    const bool shifted = TakesShiftedSteps(digits);

    // B = |x|^(10^E) for y's leading limb: E >= 10 takes E / 10 powers to the 10^10-th, a
    // negative E one root per limb below 1.
    WorkLong b = x;
    b.sign = 1;
    if (y.exponent > 0) {
        RepeatLimbPower(b, y.exponent / 10);
        firstRoot = nullptr;  // B is no longer x
    } else if (y.exponent < 0) {
        RepeatLimbRoot(b, -static_cast<int64_t>(y.exponent) / 10, firstRoot);
    }
    // b^n into out, its exponent taken out into the returned shift on the shifted steps.
    auto power = [&b, shifted](WorkLong& out, double n) -> int64_t {
        if (!shifted) {
            PowerLong(out, b, n);
            return 0;
        }
        int64_t shift = 0;
        PowerLongShifted(out, shift, b, n);
        return shift + TakeExponent(out);
    };
    int64_t shift = power(r, y.limbs[0]);

    // One root per limb further down (zero limbs only move B along); 53 products per Newton step
    // of each root and up to 67 for each power.
    int64_t skipped = 0;
    WorkLong t;
    for (int32_t i = 1; i <= LastLimb(y); ++i) {
        if (y.limbs[i] == 0.0) {
            ++skipped;
            continue;
        }
        RepeatLimbRoot(b, skipped + 1, firstRoot);
        skipped = 0;
        shift += power(t, y.limbs[i]);
        MultiplLong(r, r, t);
        if (shifted) shift += TakeExponent(r);
    }

    if (y.sign < 0) {
        WorkLong one;
        InitLong(one, x.precision, 1, 0, 1.0);
        DivLong(r, one, r);
        shift = -shift;
    }
    if (shifted && !PlaceShift(r, shift)) {
        WorkLong zero;
        InitLong(zero, r.precision, 0, 0, 0.0);
        return FailWith(result, zero, Message::RealPowerOverflow);
    }
    if (r.sign != 0) r.sign *= sign;
    return CopyOut(result, r);
}

WorkLong& PowerXLong(WorkLong& result, WorkLong& x, WorkLong& y) {
    return PowerXLongWith(result, x, y, nullptr);
}

namespace {

// Shifts beyond this mean no record: held here so that the doublings of a wild iterate's shift
// cannot overflow 64 bits.
constexpr int64_t kShiftBound = int64_t{1} << 60;

int64_t BoundedShift(int64_t shift) {
    return shift > kShiftBound ? kShiftBound : (shift < -kShiftBound ? -kShiftBound : shift);
}

// x^(N - 1) = result 10^shift, N = 10^10, the shift returned: binary powering from the lowest bit
// over the fixed bit table, 33 squarings and 20 products, each truncated as transform products
// are, with every product's exponent taken out into the shift (exponent_shift.h). The limbs are
// those of the plain powering, and no product meets the ends of the exponent range, whatever x's
// size. x is only read; its error reaches the result through the products.
int64_t LimbPowerShifted(WorkLong& result, const WorkLong& x) {
    WorkLong p;
    InitLong(p, x.precision, 1, 0, 1.0);
    WorkLong q = x;
    int64_t qShift = TakeExponent(q);
    int64_t shift = 0;
    KeptSpectra powerOfTwo;  // q's spectra, made for p q and read again by q q
    int32_t i = 0;
    for (int32_t j = 0; j <= kLimbPowerBits[kLimbPowerBitCount - 1]; ++j) {
        if (j == kLimbPowerBits[i]) {
            MultiplLongKept(p, p, q, nullptr, &powerOfTwo);
            shift = BoundedShift(shift + qShift + TakeExponent(p));
            if (i == kLimbPowerBitCount - 1) break;
            ++i;
        }
        MultiplLongKept(q, q, q, &powerOfTwo, nullptr);
        qShift = BoundedShift(2 * qShift + TakeExponent(q));
    }
    CopyOut(result, p);
    return shift;
}

}  // namespace

// x^(N - 1), N = 10^10, at x.precision (at least 5 after the first product), by LimbPowerShifted;
// a power beyond the exponents a record may carry is reported as an overflow (zero, error -1).
WorkLong& LimbPowerLong(WorkLong& result, WorkLong& x) {
    WorkLong p;
    const int64_t shift = LimbPowerShifted(p, x);
    if (!PlaceShift(p, shift)) {
        WorkLong zero;
        InitLong(zero, p.precision, 0, 0, 0.0);
        return FailWith(result, zero, Message::Overflow);
    }
    return CopyOut(result, p);
}

// x^(1/N), N = 10^10, for a positive x at x.precision (at least 5 after the first step), by
// Newton's iteration r <- r + (x - r^N) / (N r^(N-1)) on the shared stop rule. Each step costs
// one power r^(N-1) (53 transform products), one further product and a reciprocal division.
// The starting value is 1 + (x - 1)/N, exact to first order, when x - 1 lies below 10^-10, and
// the double root of x's leading two limbs otherwise. x itself is not tested; its error reaches
// the root through the residual x - r^N. r^(N-1), r^N and N r^(N-1) lie near x: they are formed
// with their exponents taken out, and x - r^N and the correction on x / 10^e (e = x's exponent),
// so that an x at either end of the exponent range is rooted like any other (the same bits where
// the plain step stays inside the products' range). A step that fails ends the loop and marks the
// root with its error; an iteration still unsettled at NEWTON_STEP_LIMIT steps ends with error -1.
WorkLong& LimbRootLong(WorkLong& result, WorkLong& x) {
    WorkLong r;
    InitLong(r, x.precision, 1, 0, 1.0);
    WorkLong t;
    InitLong(t, x.precision, 1, 0, 1.0);

    if (x.exponent == 0 && x.limbs[0] == 1.0 && x.limbs[1] == 0.0) {
        // x = 1 + d with d < 10^-10: the root 1 + d/N shifts d one limb down.
        for (int32_t k = 2; k <= x.precision + 2; ++k) r.limbs[k + 1] = x.limbs[k];
    } else {
        // x = (limb0 + limb1 10^-10) 10^e: the root is that mantissa's N-th root times
        // 10^(e/N), written as w 10^k with k = floor(e/N) (0 or -1) so that w >= 1.
        const int32_t k = TruncToInt32(std::floor(x.exponent * 1e-10));
        const double a = std::pow(x.limbs[0] + x.limbs[1] * 1e-10, 1e-10);
        const double w = a * std::pow(10.0, x.exponent * 1e-10 - k);
        const double whole = std::floor(w);
        r.limbs[0] = whole;
        r.limbs[1] = std::floor((w - whole) * LIMB_BASE);
        r.exponent = k;
    }

    WorkLong level = x;  // x / 10^e
    const int64_t e = TakeExponent(level);
    // t starts as the 1 above, so the first test always enters the loop.
    WorkLong u;
    for (int32_t steps = 0; !IterationDone(r.precision, r.exponent, t.exponent); ++steps) {
        if (steps == NEWTON_STEP_LIMIT) {  // no valid number: its limbs read two ways
            r.error = SumErrors(r.error, -1);
            break;
        }
        const int64_t shift = LimbPowerShifted(t, r) - e;  // t 10^shift = r^(N-1) / 10^e
        MultiplLong(u, t, r);                              // u 10^shift = r^N / 10^e
        t.exponent += 10;                                  // t 10^shift = N r^(N-1) / 10^e
        if (!PlaceShift(u, shift) || !PlaceShift(t, shift)) {  // only a wild iterate
            r.error = SumErrors(r.error, -1);
            break;
        }
        SubtractLong(u, level, u);  // (x - r^N) / 10^e
        DivLong(t, u, t);           // the correction
        AddLong(r, r, t);  // a failed step's zero correction ends the loop; the sum keeps its error
    }
    return CopyOut(result, r);
}

}  // namespace ostrel2

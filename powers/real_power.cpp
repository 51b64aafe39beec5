// real_power.cpp -- x^y for a record exponent y: whole and reciprocal exponents by the integer
// power and root, every other y limb by limb from powers of repeated 10^10-th roots of x.
#include "powers/real_power.h"

#include <cmath>
#include <cstdint>

#include "arith/addition.h"
#include "arith/divide_reciprocal.h"
#include "arith/multiply_transform.h"
#include "core/diagnostics.h"
#include "core/worker_helpers.h"
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

}  // namespace

// x^y at x.precision (at least 5 once a product or quotient is taken). A flagged operand gives
// zero with error -1; 0^y is 0 and x^0 is 1 (x normalised first). |y| from about 1.01 x 10^12 on
// is refused. A y within 10 y.precision digits of a whole number n (and below 10^10) is x^n by
// the integer power; a positive y as close to 1/n is the n-th root. Otherwise a negative base is
// refused, and so is a result whose decimal exponent, estimated from x's leading limb, lies beyond
// +-2 x 10^9. The general method writes y = sum y_i 10^(E - 10i) over y's live limbs and
// multiplies x^(10^(E - 10i)) raised to y_i: each factor from one more 10^10-th root of the last,
// raised by the integer power; a negative y ends in one reciprocal division. Every product is
// truncated; the roots and powers report their own failures through the records' errors. Where
// firstRoot is given it fills x^(1/10^10) in place of the first LimbRootLong of x.
WorkLong& PowerXLongWith(WorkLong& result, WorkLong& x, WorkLong& y, RootOfBase firstRoot) {
    WorkLong r;
    InitLong(r, x.precision, 0, 0, 0.0);
    if (Failed(x) || Failed(y)) return FailQuietly(result, r);

    // A record that normalisation refuses (a negative limb ahead of its leading limb; the message
    // is printed there) is no number to raise: the failure is passed on at once rather than
    // carried through a chain of roots that, on such a base, may never reach 1.
    if (Normalize(x) == -1 || Normalize(y) == -1) return FailQuietly(result, r);
    if (x.sign == 0) return CopyOut(result, r);
    if (y.sign == 0) {
        InitLong(r, x.precision, 1, 0, 1.0);
        return CopyOut(result, r);
    }
    if (y.exponent > 10 || (y.exponent == 10 && y.limbs[0] > 100.0))
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

    if (x.sign < 0) return FailWith(result, r, Message::RealPowerNegativeBase);

    // Decimal exponent of the result from x's leading limb alone; y's sign is not looked at.
    const double estimate = (std::log10(x.limbs[0]) + x.exponent) * EstimateDouble(y);
    if (std::fabs(estimate) > kResultExponentLimit)
        return FailWith(result, r, Message::RealPowerOverflow);

    // B = x^(10^E) for y's leading limb: E = 10 takes the 10^10-th power, a negative E one root
    // per limb below 1.
    WorkLong b = x;
    if (y.exponent == 10) {
        PowerLong(b, b, LIMB_BASE);
        firstRoot = nullptr;  // B is no longer x
    } else if (y.exponent < 0) {
        RepeatLimbRoot(b, -static_cast<int64_t>(y.exponent) / 10, firstRoot);
    }
    PowerLong(r, b, y.limbs[0]);

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
        PowerLong(t, b, y.limbs[i]);
        MultiplLong(r, r, t);
    }

    if (y.sign < 0) {
        WorkLong one;
        InitLong(one, x.precision, 1, 0, 1.0);
        DivLong(r, one, r);
    }
    return CopyOut(result, r);
}

WorkLong& PowerXLong(WorkLong& result, WorkLong& x, WorkLong& y) {
    return PowerXLongWith(result, x, y, nullptr);
}

// x^(N - 1), N = 10^10, at x.precision (at least 5 after the first product): binary powering
// from the lowest bit over the fixed bit table, 33 squarings and 20 products, each truncated as
// transform products are. x is only read; its error reaches the result through the products.
WorkLong& LimbPowerLong(WorkLong& result, WorkLong& x) {
    WorkLong p;
    InitLong(p, x.precision, 1, 0, 1.0);
    WorkLong q = x;
    KeptSpectra powerOfTwo;  // q's spectra, made for p q and read again by q q
    int32_t i = 0;
    for (int32_t j = 0; j <= kLimbPowerBits[kLimbPowerBitCount - 1]; ++j) {
        if (j == kLimbPowerBits[i]) {
            MultiplLongKept(p, p, q, nullptr, &powerOfTwo);
            if (i == kLimbPowerBitCount - 1) break;
            ++i;
        }
        MultiplLongKept(q, q, q, &powerOfTwo, nullptr);
    }
    return CopyOut(result, p);
}

// x^(1/N), N = 10^10, for a positive x at x.precision (at least 5 after the first step), by
// Newton's iteration r <- r + (x - r^N) / (N r^(N-1)) on the shared stop rule. Each step costs
// one LimbPowerLong (53 transform products), one further product and a reciprocal division.
// The starting value is 1 + (x - 1)/N, exact to first order, when x - 1 lies below 10^-10, and
// the double root of x's leading two limbs otherwise. x itself is not tested; its error reaches
// the root through the residual x - r^N. A step that fails (x within about 10^20 of the largest
// exponent, where r^N overflows) ends the loop and marks the root with its error; an iteration
// still unsettled at NEWTON_STEP_LIMIT steps ends with error -1.
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

    // t starts as the 1 above, so the first test always enters the loop.
    WorkLong u;
    for (int32_t steps = 0; !IterationDone(r.precision, r.exponent, t.exponent); ++steps) {
        if (steps == NEWTON_STEP_LIMIT) {  // no valid number: its limbs read two ways
            r.error = SumErrors(r.error, -1);
            break;
        }
        LimbPowerLong(t, r);      // r^(N-1)
        MultiplLong(u, t, r);     // r^N
        t.exponent += 10;         // N r^(N-1), exactly
        SubtractLong(u, x, u);    // x - r^N
        DivLong(t, u, t);         // the correction
        AddLong(r, r, t);  // a failed step's zero correction ends the loop; the sum keeps its error
    }
    return CopyOut(result, r);
}

}  // namespace ostrel2

// real_power.cpp -- x^y for a record exponent y: whole and reciprocal exponents by the integer
// power and root, every other y limb by limb from powers of repeated 10^10-th roots of x.
#include "powers/real_power.h"

#include <cmath>
#include <cstdint>

#include "arith/addition.h"
#include "arith/divide_reciprocal.h"
#include "arith/multiply_transform.h"
#include "core/worker_helpers.h"

namespace ostrel2 {

namespace {

// The bit positions set in N - 1 = 9,999,999,999, lowest first.
constexpr int32_t kLimbPowerBits[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,
                                      13, 14, 15, 16, 17, 19, 26, 28, 30, 33};
constexpr int32_t kLimbPowerBitCount = sizeof kLimbPowerBits / sizeof kLimbPowerBits[0];

}  // namespace

// x^(N - 1), N = 10^10, at x.precision (at least 5 after the first product): binary powering
// from the lowest bit over the fixed bit table, 33 squarings and 20 products, each truncated as
// transform products are. x is only read; its error reaches the result through the products.
WorkLong& LimbPowerLong(WorkLong& result, WorkLong& x) {
    WorkLong p;
    InitLong(p, x.precision, 1, 0, 1.0);
    WorkLong q = x;
    int32_t i = 0;
    for (int32_t j = 0; j <= kLimbPowerBits[kLimbPowerBitCount - 1]; ++j) {
        if (j == kLimbPowerBits[i]) {
            MultiplLong(p, p, q);
            if (i == kLimbPowerBitCount - 1) break;
            ++i;
        }
        MultiplLong(q, q, q);
    }
    return CopyOut(result, p);
}

// x^(1/N), N = 10^10, for a positive x at x.precision (at least 5 after the first step), by
// Newton's iteration r <- r + (x - r^N) / (N r^(N-1)) on the shared stop rule. Each step costs
// one LimbPowerLong (53 transform products), one further product and a reciprocal division.
// The starting value is 1 + (x - 1)/N, exact to first order, when x - 1 lies below 10^-10, and
// the double root of x's leading two limbs otherwise. x itself is not tested; its error reaches
// the root through the residual x - r^N.
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
    while (!IterationDone(r.precision, r.exponent, t.exponent)) {
        LimbPowerLong(t, r);      // r^(N-1)
        MultiplLong(u, t, r);     // r^N
        t.exponent += 10;         // N r^(N-1), exactly
        SubtractLong(u, x, u);    // x - r^N
        DivLong(t, u, t);         // the correction
        AddLong(r, r, t);
    }
    return CopyOut(result, r);
}

}  // namespace ostrel2

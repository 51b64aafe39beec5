// square_root.cpp -- SqrLong: the square root by Heron's rule from a double-precision start.
#include "powers/square_root.h"

#include <cmath>
#include <cstdint>

#include "arith/addition.h"
#include "arith/divide_reciprocal.h"
#include "arith/transform/multiply_transform.h"
#include "core/worker_helpers.h"

namespace ostrel2 {

// sqrt(x) at x's precision (a product's 5 limbs at least). Each step y <- y + (x - y^2) / (2y)
// costs one transform product, one reciprocal division, two additions and a subtraction, all at
// full precision; the double start holds about 15 digits and every step doubles them. The loop
// ends on the shared stop rule, so the last correction has been applied and lay 1.9 limbs or more
// below the last kept limb; the root is truncated as its products and quotients are. A flagged x
// gives zero with error -1 and no message; errors raised inside the arithmetic reach the root
// through the intermediate records.
//
// The steps run on x moved by an even number of limbs (20 j digits) to an exponent within 20 of
// 0, and the root is moved back by 10 j digits. Every step scales exactly under such a move, so
// no digit changes; but the square y^2 no longer leaves the products' exponent range for x
// beyond +-2,000,000,000 (which the entry points accept up to +-2,147,000,000), where the
// iteration would otherwise never end.
WorkLong& SqrLong(WorkLong& result, WorkLong& x) {
    WorkLong y;
    WorkLong t;
    InitLong(y, x.precision, 0, 0, 0.0);
    InitLong(t, x.precision, 0, 0, 0.0);

    if (Failed(x)) return FailQuietly(result, y);
    if (x.sign == 0) return CopyOut(result, y);
    if (x.sign == -1) return FailWith(result, y, Message::SqrtNegative);
    if (Normalize(x) == -1) return FailWith(result, y, Message::SqrtNegativeLimb);

    const int32_t limbPairs = x.exponent / 20;
    WorkLong moved = x;
    moved.exponent -= 20 * limbPairs;

    // Start: the root of the leading two limbs in doubles, ten digits in limb 0 and ten more in
    // limb 1, at exponent floor(e / 2). An exponent that is not even (never the case for a
    // canonical x) puts its odd digit under the root.
    int32_t k = TruncToInt32(std::floor(moved.exponent * 0.5));
    const double odd = static_cast<double>(moved.exponent) - 2.0 * k;
    const double s = std::sqrt(std::pow(10.0, odd) * (moved.limbs[0] + moved.limbs[1] * 1e-10));
    y.limbs[0] = std::floor(s);
    y.limbs[1] = std::floor((s - y.limbs[0]) * LIMB_BASE);
    if (y.limbs[0] == 0.0) {
        y.limbs[0] = y.limbs[1];
        y.limbs[1] = 0.0;
        k -= 10;
        if (y.limbs[0] == 0.0) return CopyOut(result, y);
    }
    y.sign = 1;
    y.exponent = k;
    t.exponent = k;  // so that the stop rule lets the first step run

    WorkLong scratch;
    for (int32_t steps = 0; !IterationDone(y.precision, y.exponent, t.exponent); ++steps) {
        if (steps == NEWTON_STEP_LIMIT) {  // no valid number: its limbs read two ways
            InitLong(y, x.precision, 0, 0, 0.0);
            return FailWith(result, y, Message::SqrtNegativeLimb);
        }
        MultiplLong(scratch, y, y);       // y^2
        SubtractLong(t, moved, scratch);  // x - y^2
        AddLong(scratch, y, y);           // 2y
        DivLong(t, t, scratch);           // the correction (x - y^2) / (2y)
        AddLong(y, y, t);
    }
    y.exponent += 10 * limbPairs;
    return CopyOut(result, y);
}

}  // namespace ostrel2

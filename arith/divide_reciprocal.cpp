// divide_reciprocal.cpp -- DivLong: the quotient as the dividend times the divisor's reciprocal,
// the reciprocal refined by Newton's iteration over transform products.
#include "arith/divide_reciprocal.h"

#include <cmath>
#include <cstdint>

#include "arith/addition.h"
#include "arith/transform/multiply_transform.h"
#include "core/call_counting.h"
#include "core/diagnostics.h"
#include "core/worker_helpers.h"

namespace ostrel2 {


// Quotient at precision max(a.precision, b.precision, 5): the reciprocal X of b is refined as
// X <- X * (2 - b * X) at full precision until the residual 1 - b * X of the previous X lies
// below 10^(-10 * (P + 1)), then multiplied by a. No correction follows the final product, which
// is truncated as transform products are. The error is what the final product leaves plus the
// errors of a and b. A zero divisor (also 0 / 0) reports division by zero; an exponent difference
// beyond 2,000,000,000 reports overflow; both give the zero of precision P with error -1. A zero
// operand that carries an error is a failure passed on, and a zero dividend gives zero: both
// without a message, as the zero of precision P with the operands' errors.
WorkLong& DivLong(WorkLong& result, WorkLong& a, WorkLong& b) {
    OSTREL2_COUNTED_CALL(Division, MaxPrecision(a, b));
    const int32_t p = MaxPrecision(a, b);
    WorkLong x;
    InitLong(x, p, 0, 0, 0.0);

    Normalize(a);
    Normalize(b);

    // The divisor's leading two limbs, as one double.
    const double d = b.limbs[0] + b.limbs[1] * 1e-10;
    const bool zeroDivisor = d == 0.0 || b.sign == 0;
    if ((a.sign == 0 && Failed(a)) || (zeroDivisor && Failed(b))) {
        x.error = SumErrors(a.error, b.error);
        return CopyOut(result, x);
    }
    if (zeroDivisor) return FailWith(result, x, Message::DivisionByZero);
    if (a.sign == 0) {
        x.error = SumErrors(a.error, b.error);
        return CopyOut(result, x);
    }
    // In 64 bits: the zero exponent of an erring zero dividend minus a large divisor exponent
    // would overflow 32.
    const int64_t exponentGap = static_cast<int64_t>(a.exponent) - b.exponent;
    if (exponentGap > MAX_EXPONENT || exponentGap < -static_cast<int64_t>(MAX_EXPONENT)) {
        Report(exponentGap > 0 ? Message::Overflow : Message::Underflow);
        x.error = -1;
        result = x;
        return result;
    }

    // Starting reciprocal from doubles, good to about 16 digits. For a leading part of exactly 1
    // the first limb is 10^10, which the first product's normalisation carries.
    const double r = LIMB_BASE / d;
    const double whole = std::floor(r);
    const int64_t reciprocalExponent = -static_cast<int64_t>(b.exponent) - 10;
    InitLong(x, p, b.sign, static_cast<int32_t>(reciprocalExponent), whole);
    x.limbs[1] = std::floor((r - whole) * LIMB_BASE);

    WorkLong one;
    InitLong(one, p, 1, 0, 1.0);
    WorkLong t;
    InitLong(t, p, 0, 0, 0.0);
    t.exponent = 0;  // so that the loop runs at least once
    WorkLong u;

    // The test reads the residual of the reciprocal before the step just taken, so the loop ends
    // one step after that residual fell below 10^(-10 * (P + 1)); a zero residual ends it at once.
    const int64_t stopDigits = 10 * (static_cast<int64_t>(p) + 2);
    int32_t steps = 0;
    // b enters every step's first product and X both products of a step: their spectra are
    // kept from one product to the next (the same bits as transforming them again).
    KeptSpectra divisor;
    KeptSpectra iterate;
    while (-static_cast<int64_t>(t.exponent) < stopDigits) {
        if (steps == NEWTON_STEP_LIMIT) {
            Report(Message::DivisionFailed);
            InitLong(x, p, 0, 0, 0.0);
            x.error = -1;
            result = x;
            return result;
        }
        ++steps;
        MultiplLongKept(t, b, x, &divisor, &iterate);  // b * X
        SubtractLong(t, one, t);    // 1 - b * X
        AddLong(u, one, t);         // 2 - b * X
        MultiplLongKept(x, u, x, nullptr, &iterate);   // X * (2 - b * X)
    }

    MultiplLong(x, a, x);
    x.sign = a.sign * b.sign;
    x.error = SumErrors(x.error, a.error, b.error);
    result = x;
    return result;
}

}  // namespace ostrel2

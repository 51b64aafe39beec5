// gcd.cpp -- LCMLong: the greatest common divisor of two rounded records by Euclid's algorithm
// with remainders, and the cofactors that go with it.
#include "arith/gcd.h"

#include <algorithm>
#include <cstdint>

#include "arith/addition.h"
#include "arith/divide_reciprocal.h"
#include "arith/integer_part.h"
#include "core/worker_helpers.h"

namespace ostrel2 {

namespace {

// Euclid's algorithm needs fewer than log(smaller) / log(golden ratio) remainders, 4.79 per decimal
// digit of the smaller operand (Lame). Here the operands are whole numbers m * 10^k whose m fits the
// 10 * (P + 4) digits of a record of precision P = max(a.precision, b.precision); dividing both by
// their common power of ten leaves the same quotients, and one side with at most 10 * (P + 4)
// digits. So a search ends within this many steps, whatever the exponents: its remainders are
// exact, and a remainder that cannot be exact (ModLong) ends it as a failure. Three steps of
// margin cover the first remainder and the loop's closing count.
int32_t EuclidStepBound(const WorkLong& a, const WorkLong& b) {
    const int32_t digits = 10 * (MaxPrecision(a, b) + GUARD_LIMBS + 1);
    return static_cast<int32_t>(digits * 4.7851) + 3;
}

// 10 x max(min(exponent of a, exponent of b), 10), from the exponents as the arguments arrive,
// formed in 64 bits and held to the Euclid bound. Below the bound it is the plain rule (a search
// on small exponents gives up early, with that limit as its error); above it, no exact search can
// reach it, and the bound keeps any search on huge exponents from running 10 x exponent steps (up
// to 2.1 billion): at precision 303 it allows under 14,700 steps.
int32_t StepLimit(const WorkLong& a, const WorkLong& b) {
    const int64_t smaller = std::min(a.exponent, b.exponent);
    const int64_t limit = 10 * std::max<int64_t>(smaller, 10);
    return static_cast<int32_t>(std::min<int64_t>(limit, EuclidStepBound(a, b)));
}

// The remainder counts as zero when it is zero or its leading two limbs are.
bool VanishedRemainder(const WorkLong& x) {
    return x.sign == 0 || (x.limbs[0] == 0.0 && x.limbs[1] == 0.0);
}

// The failure answer: the number 1 at a's precision carrying the given error.
WorkLong& Failure(WorkLong& result, const WorkLong& a, int32_t error) {
    InitLong(result, a.precision, 1, 0, 1.0);
    result.error = error;
    return result;
}

}  // namespace

// g = gcd(round(a), round(b)) by repeated remainders of the magnitudes, at most lim steps. On
// success a and b become round(a / g) and round(b / g) of the arguments as they arrived (signs
// kept); g is positive. A zero rounded argument gives 1 with error -2, an exhausted step limit 1
// with error -lim (both reported by a quiet message: nothing printed, an English text), a
// remainder that cannot be exact (its message printed by ModLong) 1 with error -1; a and b are
// then left untouched. The arguments' errors are added to every answer, so a failure passed in
// as an argument stays a failure.
WorkLong& LCMLong(WorkLong& result, WorkLong& a, WorkLong& b) {
    const int32_t lim = StepLimit(a, b);

    WorkLong x;
    WorkLong y;
    RoundLong(x, a);
    RoundLong(y, b);
    // The search runs on records without errors, so that a failure of its own stands out; the
    // arguments' errors (with any their rounding added) join the answer at the end.
    const int32_t inherited = SumErrors(x.error, y.error);
    if (x.sign == 0 || y.sign == 0) {
        Report(Message::GcdZeroOperand);
        return Failure(result, a, SumErrors(-2, inherited));
    }
    x.sign = 1;
    y.sign = 1;
    x.error = 0;
    y.error = 0;

    WorkLong d;
    SubtractLong(d, x, y);
    int32_t k = 1;
    while (k <= lim) {
        if (d.sign > 0) {
            ModLong(d, x, y);
            if (Failed(d)) return Failure(result, a, SumErrors(d.error, inherited));
            x = d;
            if (VanishedRemainder(x)) {
                x = y;
                break;
            }
        } else if (d.sign < 0) {
            ModLong(y, y, x);
            if (Failed(y)) return Failure(result, a, SumErrors(y.error, inherited));
            if (VanishedRemainder(y)) break;
        } else {
            break;
        }
        SubtractLong(d, x, y);
        ++k;
    }
    if (k >= lim) {
        Report(Message::GcdStepLimit);
        return Failure(result, a, SumErrors(-lim, inherited));
    }

    // Cofactors from the arguments as they arrived, unrounded and signed.
    WorkLong g = x;
    g.error = SumErrors(g.error, inherited);
    WorkLong q1;
    WorkLong q2;
    WorkLong dividend = a;
    DivLong(q1, dividend, g);
    dividend = b;
    DivLong(q2, dividend, g);
    RoundLong(a, q1);
    RoundLong(b, q2);
    result = g;
    return result;
}

}  // namespace ostrel2

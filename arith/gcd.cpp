// gcd.cpp -- LCMLong: the greatest common divisor of two rounded records by Euclid's algorithm
// with remainders, and the cofactors that go with it.
#include "arith/gcd.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "arith/addition.h"
#include "arith/divide_reciprocal.h"
#include "arith/integer_part.h"

namespace ostrel2 {

namespace {

// Step limit for arguments whose exponents make 10 x exponent overflow 32 bits (the smaller
// exponent above 214,748,364). The limit only stops searches that cannot end in a valid result:
// a valid result has exact whole cofactors a / g and b / g, which are coprime, so one of them
// carries no factor 10 and fits in the 10 * (303 + 4) = 3,070 digits of a record; Euclid then
// needs at most about 4.79 steps per digit of it, under 14,700 steps. 10 x 3,070 keeps the rule of
// ten steps per digit and ends a search on numbers of a billion digits, whose inexact remainders
// shrink only some hundred digits a step, within seconds instead of years.
constexpr int32_t kLargeExponentStepLimit = 10 * 10 * (MAX_PRECISION + GUARD_LIMBS + 1);

// 10 x max(min(exponent of a, exponent of b), 10), from the exponents as the arguments arrive.
int32_t StepLimit(const WorkLong& a, const WorkLong& b) {
    const int64_t smaller = std::min(a.exponent, b.exponent);
    const int64_t limit = 10 * std::max<int64_t>(smaller, 10);
    if (limit > std::numeric_limits<int32_t>::max()) return kLargeExponentStepLimit;
    return static_cast<int32_t>(limit);
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
// with error -lim; a and b are then left untouched.
WorkLong& LCMLong(WorkLong& result, WorkLong& a, WorkLong& b) {
    const int32_t lim = StepLimit(a, b);

    WorkLong x;
    WorkLong y;
    RoundLong(x, a);
    RoundLong(y, b);
    if (x.sign == 0 || y.sign == 0) return Failure(result, a, -2);
    x.sign = 1;
    y.sign = 1;

    WorkLong d;
    SubtractLong(d, x, y);
    int32_t k = 1;
    while (k <= lim) {
        if (d.sign > 0) {
            ModLong(d, x, y);
            x = d;
            if (VanishedRemainder(x)) {
                x = y;
                break;
            }
        } else if (d.sign < 0) {
            ModLong(y, y, x);
            if (VanishedRemainder(y)) break;
        } else {
            break;
        }
        SubtractLong(d, x, y);
        ++k;
    }
    if (k >= lim) return Failure(result, a, -lim);

    // Cofactors from the arguments as they arrived, unrounded and signed.
    WorkLong g = x;
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

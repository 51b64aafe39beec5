// trigonometric_reference.h -- what the tests of the trigonometric workers and their inverses
// share: the accuracy each result is held to, random arguments with every digit drawn, and the
// bitwise comparison of records.
#pragma once

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "core/long_number.h"
#include "support/condition_reference.h"
#include "support/gmp_reference.h"

namespace ostrel2 {
namespace reference {

// Every result lies within this many allowances (TrigonometricAllowance) of the true value; the
// worst measured are in docs/trigonometric-accuracy.md.
constexpr double kTrigonometricUnits = 100;

// What the workers may miss f(x) by:
// - the allowance of support/condition_reference.h: one unit of limb p + 2 of the result, and
//   |x f'| 10^(-10 (p + 2)), which covers the reduction of a large angle by q half-turns of a pi
//   good to p + 2 limbs (q about |x| / pi);
// - for the tangent outside 10^-5 of a multiple of pi, the loss of sqrt(1 - cos^2) / cos: the
//   cosine's last limbs, 10^(-10 (p + 3)), over 1 - cos^2 = sin^2 x, relative to tan x;
// - for the arctangent of |x| > 1, what the stop rule leaves: the iteration stops once a
//   correction falls below 10^(-10 (p + 1)) and the next error is about the square of the last
//   one times tan y = |x| -- but no more than pi/2 - atan |x| < 1/|x|, as the iterates approach
//   the root from above.
mpq_class TrigonometricAllowance(const RealFunction& f, const WorkLong& x,
                                 const TrueValue& truth, int32_t p);

// The result of f at x within kTrigonometricUnits allowances; the measurement for a log.
::testing::AssertionResult Accurate(const RealFunction& f, const WorkLong& x,
                                    const WorkLong& result, int32_t p,
                                    Accuracy* measured = nullptr);

// Random digits d.ddd... (first digit 1 to 9), as many as a record of precision p holds.
mpq_class RandomMantissa(RandomLongs& random, int32_t p);

// sign * d.ddd... * 10^e with every live digit of a record of precision p drawn.
WorkLong RandomNumber(RandomLongs& random, int32_t p, int32_t e, bool negative);

// The same bits in every field and live limb.
::testing::AssertionResult SameRecord(const WorkLong& a, const WorkLong& b);

}  // namespace reference
}  // namespace ostrel2

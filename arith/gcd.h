// gcd.h -- greatest common divisor of two rounded records, with cofactors.
#pragma once

#include "core/long_number.h"

namespace ostrel2 {

// result <- g = gcd(round(a), round(b)); on success a and b are replaced by round(a / g) and
// round(b / g). On failure (error -2 for a zero operand, -limit when the step limit runs out, -1
// when a remainder cannot be exact) the result is 1 and a and b are left as they were.
WorkLong& LCMLong(WorkLong& result, WorkLong& a, WorkLong& b);

}  // namespace ostrel2

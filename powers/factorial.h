// factorial.h -- n! by repeated short multiplication.
#pragma once

#include <cstdint>

#include "core/long_number.h"

namespace ostrel2 {

// result <- n! at precision p, for 0 <= n <= 1,000,000; each product is cut after the last
// guard limb. Any other n gives its message and zero with error -1.
WorkLong& FactorialLong(WorkLong& result, int32_t n, int32_t precision);

}  // namespace ostrel2

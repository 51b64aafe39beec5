// multiply_transform.h -- the product of two records by convolution through the real transform.
#pragma once

#include "core/long_number.h"

namespace ostrel2 {

// result <- a * b at precision max(a.precision, b.precision, 5). Normalises a and b in place.
WorkLong& MultiplLong(WorkLong& result, WorkLong& a, WorkLong& b);

}  // namespace ostrel2

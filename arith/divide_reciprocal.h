// divide_reciprocal.h -- division by Newton's reciprocal over transform products.
#pragma once

#include "core/long_number.h"

namespace ostrel2 {

// result <- a / b at precision max(a.precision, b.precision, 5). Normalises a and b in place.
WorkLong& DivLong(WorkLong& result, WorkLong& a, WorkLong& b);

}  // namespace ostrel2

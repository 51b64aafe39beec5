// square_root.h -- the square root of a record by Newton's iteration on the root (Heron's rule).
#pragma once

#include "core/long_number.h"

namespace ostrel2 {

// result <- sqrt(x). x is normalised in place. Starts from the double root of x's leading two
// limbs and runs y <- y + (x - y^2) / (2y) at x's precision until the correction lies below the
// stop rule. A flagged x gives zero with error -1 (no message); a negative x its message and
// zero with error -1. result may be x itself.
WorkLong& SqrLong(WorkLong& result, WorkLong& x);

}  // namespace ostrel2

// integer_power.h -- whole-number powers by binary powering, and whole-number roots by Newton.
#pragma once

#include "core/long_number.h"

namespace ostrel2 {

// result <- x^n for a whole n with |n| <= 10^12 (a double), by binary powering from the lowest
// bit; a negative n ends in one reciprocal division. x is normalised in place. result may be x.
WorkLong& PowerLong(WorkLong& result, WorkLong& x, double n);

// result <- the n-th root of x for a whole n from 1 to 10^13, by Newton's iteration
// r <- r + (x - r^n) / (n r^(n-1)). x is normalised in place. result may be x.
WorkLong& RootLong(WorkLong& result, WorkLong& x, double n);

}  // namespace ostrel2

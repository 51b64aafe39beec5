// integer_power.h -- whole-number powers by binary powering, and whole-number roots by Newton.
#pragma once

#include <cstdint>

#include "core/long_number.h"

namespace ostrel2 {

// result <- x^n for a whole n with |n| <= 10^12 (a double), by binary powering from the lowest
// bit; a negative n ends in one reciprocal division. x is normalised in place. result may be x.
WorkLong& PowerLong(WorkLong& result, WorkLong& x, double n);

// x^n = result 10^shift: PowerLong with every product's exponent taken out into the shift
// (powers/exponent_shift.h), whatever the power's size, and no check of the final exponent; the
// limbs are PowerLong's. For powers built on, whose exponent is placed once at the end. The shift
// is 0 after a failure.
WorkLong& PowerLongShifted(WorkLong& result, int64_t& shift, WorkLong& x, double n);

// result <- the n-th root of x for a whole n from 1 to 10^13, by Newton's iteration
// r <- r + (x - r^n) / (n r^(n-1)). x is normalised in place. result may be x.
WorkLong& RootLong(WorkLong& result, WorkLong& x, double n);

}  // namespace ostrel2

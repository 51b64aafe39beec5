// real_power.h -- x^y for a record exponent, from whole powers and repeated 10^10-th roots.
#pragma once

#include "core/long_number.h"

namespace ostrel2 {

// Fills root (which may hold anything) with x^(1/10^10) at the given precision for one particular
// base x: the very record LimbRootLong gives for it.
using RootOfBase = WorkLong& (*)(WorkLong& root, int32_t precision);

// result <- x^y. Whole and reciprocal exponents go to PowerLong and RootLong; every other y is
// built limb by limb from powers of x^(10^(e - 10i)). result may be x or y.
WorkLong& PowerXLong(WorkLong& result, WorkLong& x, WorkLong& y);

// The same power for a caller that keeps the first root of its base (the exponential, of e): it
// comes from firstRoot instead of LimbRootLong, with the same bits and without the iteration.
WorkLong& PowerXLongWith(WorkLong& result, WorkLong& x, WorkLong& y, RootOfBase firstRoot);

// result <- x^(10^-10), the 10^10-th root of a positive x, by Newton's iteration.
WorkLong& LimbRootLong(WorkLong& result, WorkLong& x);

// result <- x^9,999,999,999 by binary powering (33 squarings, 20 products).
WorkLong& LimbPowerLong(WorkLong& result, WorkLong& x);

}  // namespace ostrel2

// exponential.h -- e^x, ln x and log10 x.
#pragma once

#include "core/long_number.h"

namespace ostrel2 {

// result <- e^x: e summed from its series, raised to x by PowerXLong. x is normalised in place.
WorkLong& ExpLong(WorkLong& result, WorkLong& x);

// result <- ln x for x > 0: x folded to X >= 1, ln X = m - ln(1 + u) with u = e^m / X - 1.
// x is normalised in place.
WorkLong& LogeLong(WorkLong& result, WorkLong& x);

// result <- ln x / ln 10.
WorkLong& Log10Long(WorkLong& result, WorkLong& x);

}  // namespace ostrel2

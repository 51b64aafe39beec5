// hyperbolic.h -- the hyperbolic functions and their inverses, from the exponential and the
// logarithm.
#pragma once

#include "core/long_number.h"

namespace ostrel2 {

// result <- sinh x, cosh x, tanh x, asinh x, acosh x (x >= 1), atanh x (|x| < 1), at x's
// precision. x is normalised in place. result may be x.
WorkLong& SinhLong(WorkLong& result, WorkLong& x);
WorkLong& CoshLong(WorkLong& result, WorkLong& x);
WorkLong& TanhLong(WorkLong& result, WorkLong& x);
WorkLong& AsinhLong(WorkLong& result, WorkLong& x);
WorkLong& AcoshLong(WorkLong& result, WorkLong& x);
WorkLong& AtanhLong(WorkLong& result, WorkLong& x);

}  // namespace ostrel2

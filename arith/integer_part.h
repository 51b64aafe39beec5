// integer_part.h -- absolute value, truncation, rounding and remainder of records.
#pragma once

#include "core/long_number.h"

namespace ostrel2 {

WorkLong& AbsLong(WorkLong& result, WorkLong x);
WorkLong& FixLong(WorkLong& result, WorkLong x);
WorkLong& RoundLong(WorkLong& result, WorkLong x);
WorkLong& ModLong(WorkLong& result, WorkLong x, WorkLong y);

}  // namespace ostrel2

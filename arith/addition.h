// addition.h -- exact addition and subtraction of records.
#pragma once

#include "core/long_number.h"

namespace ostrel2 {

// result <- a + b at MaxPrecision(a, b). Normalises a and b in place first. When exactly one
// operand is zero the result is a copy of the other (its precision and error included); otherwise
// the operands' errors are added into the result's.
WorkLong& AddLong(WorkLong& result, WorkLong& a, WorkLong& b);

// result <- a - b, as a + (-b) on a private copy of b; only a is normalised in place.
WorkLong& SubtractLong(WorkLong& result, WorkLong& a, const WorkLong& b);

}  // namespace ostrel2

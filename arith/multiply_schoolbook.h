// multiply_schoolbook.h -- limb-by-limb products: the schoolbook product of two records and the
// product of a record and a small whole number.
#pragma once

#include "core/long_number.h"

namespace ostrel2 {

// result <- a * b at MaxPrecision(a, b), cut off after limb p + 3 without rounding. Normalises a
// and b in place first. Errors of both operands are added into the result's.
WorkLong& Multipl2Long(WorkLong& result, WorkLong& a, WorkLong& b);

// result <- a * m for a whole m with |m| < 10^10, at a's precision; a is only read.
WorkLong& MultiplSmall(WorkLong& result, const WorkLong& a, double m);

// MultiplSmall with its plain product loop for every record: the reference the tests hold the
// branch-free loop to, bit for bit.
WorkLong& MultiplSmallPlain(WorkLong& result, const WorkLong& a, double m);

}  // namespace ostrel2

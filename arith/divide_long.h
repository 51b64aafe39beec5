// divide_long.h -- long division one quotient limb at a time, and division by a small number.
#pragma once

#include "core/long_number.h"

namespace ostrel2 {

// result <- a with its leading limb filled to ten digits (exponent lowered to match); zero is
// copied unchanged.
WorkLong& AlignLeadingLimb(WorkLong& result, const WorkLong& a);

// result <- a / b at MaxPrecision(a, b); a and b are only read.
WorkLong& Div2Long(WorkLong& result, const WorkLong& a, const WorkLong& b);

// result <- a / d at a's precision, for a non-zero d of at most ten significant digits.
WorkLong& DivSmall(WorkLong& result, const WorkLong& a, double d);

// DivSmall with its plain quotient loop for every record: the reference the tests hold the
// branch-free loop to, bit for bit.
WorkLong& DivSmallPlain(WorkLong& result, const WorkLong& a, double d);

// DivSmall for a caller that reads only the result's sign, exponent, error and first `limbs`
// limbs (a sum the quotient is added to, whose last limb lies that many limbs into the quotient):
// those are DivSmall's, bit for bit; the limbs after them are 0, or DivSmall's own. Where the
// leading limbs of a, the leading limb in canonical range, can be shown to fix them, only those
// limbs are divided; otherwise the whole of a is.
WorkLong& DivSmallLeading(WorkLong& result, const WorkLong& a, double d, int32_t limbs);

}  // namespace ostrel2

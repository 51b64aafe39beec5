// inverse_trigonometric.h -- arctangent by Newton's iteration on the tangent; arcsine and
// arccosine through it.
#pragma once

#include <cstdint>

#include "core/long_number.h"

namespace ostrel2 {

class ConstantHolder;

// result <- atan x in [-pi/2, pi/2], asin x and acos x for |x| <= 1. result may be x.
WorkLong& AtnLong(WorkLong& result, const WorkLong& x);
WorkLong& AsnLong(WorkLong& result, WorkLong& x);
WorkLong& AcsLong(WorkLong& result, WorkLong& x);

// The arctangent with the call's pi held by the caller (transcendental/constants.h): pi/2 and the
// tangent of every Newton step take pi once.
WorkLong& AtnLongWith(WorkLong& result, const WorkLong& x, ConstantHolder& pi);

// result <- v with the last n digit positions of its live limbs cleared (toward zero), n >= 0.
WorkLong& CutDigits(WorkLong& result, const WorkLong& v, int32_t n);

}  // namespace ostrel2

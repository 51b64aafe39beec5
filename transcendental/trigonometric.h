// trigonometric.h -- sine, cosine and tangent: reduction by pi, quadrant choice, block series.
#pragma once

#include "core/long_number.h"

namespace ostrel2 {

class ConstantHolder;

// result <- cos x, sin x, tan x for |x| < 10^20, at x's precision. result may be x.
WorkLong& CosLong(WorkLong& result, const WorkLong& x);
WorkLong& SinLong(WorkLong& result, const WorkLong& x);
WorkLong& TanLong(WorkLong& result, const WorkLong& x);

// The cosine and tangent with the call's pi held by the caller (transcendental/constants.h): the
// tangent's own reduction, the cosine inside it and the arctangent's Newton steps take pi once.
WorkLong& CosLongWith(WorkLong& result, const WorkLong& x, ConstantHolder& pi);
WorkLong& TanLongWith(WorkLong& result, const WorkLong& x, ConstantHolder& pi);

// The Taylor series of cos y and sin y for |y| up to about 0.79, in blocks of 30 terms with one
// long reciprocal per block. y is normalised in place by the products.
WorkLong& CosSeries(WorkLong& result, WorkLong& y);
WorkLong& SinSeries(WorkLong& result, WorkLong& y);

// result <- sqrt(1 - c^2) / c; a zero c gives zero with error -1.
WorkLong& TanFromCos(WorkLong& result, WorkLong& c);

}  // namespace ostrel2

// exponential.h -- e^x, ln x and log10 x.
#pragma once

#include <cstdint>

#include "core/long_number.h"

namespace ostrel2 {

class ConstantHolder;

// result <- e^x: e summed from its series, raised to x by PowerXLong. x is normalised in place.
WorkLong& ExpLong(WorkLong& result, WorkLong& x);

// result <- ln x for x > 0: x folded to X >= 1, ln X = m - ln(1 + u) with u = e^m / X - 1.
// x is normalised in place.
WorkLong& LogeLong(WorkLong& result, WorkLong& x);

// result <- ln x / ln 10.
WorkLong& Log10Long(WorkLong& result, WorkLong& x);

// The same workers with the call's e held by the caller (transcendental/constants.h): the
// holder copies e from the records kept for the process once per call.
WorkLong& ExpLongWith(WorkLong& result, WorkLong& x, ConstantHolder& e);
WorkLong& LogeLongWith(WorkLong& result, WorkLong& x, ConstantHolder& e);

// result <- ln(m 10^shift) = ln m + shift ln 10, for a canonical m of exponent 0 or 10 and a shift
// that is a multiple of 10: the logarithm of a number whose exponent lies beyond what the
// folding of LogeLong takes, or beyond what a record holds. m is normalised in place.
WorkLong& LogeOfScaledLong(WorkLong& result, WorkLong& m, int64_t shift, ConstantHolder& e);

// result <- e summed from its series at the given precision.
WorkLong& ELong(WorkLong& result, int32_t precision);

// result <- ln 10 at the given precision, by LogeLong.
WorkLong& Ln10Long(WorkLong& result, int32_t precision);

}  // namespace ostrel2

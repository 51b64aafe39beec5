// transform_testing.h -- the transform product through the plain pieces, for the tests only: the
// reference whose bits MultiplLong must give. No worker of the library includes this header.
#pragma once

#include "core/long_number.h"

namespace ostrel2 {

// MultiplLong through the plain pieces: the transform with its tables built afresh in the call's
// own work areas (RealDft), ToTransformDigits, SpectrumProduct, SpectrumAdd and
// FromTransformDigits, where MultiplLong runs the fast ones (real_dft_fast.h,
// transform_digits_fast.h). The same front part: precision, operands normalised, zero shortcut,
// exponent bound.
WorkLong& MultiplLongPerCallTables(WorkLong& result, WorkLong& a, WorkLong& b);

}  // namespace ostrel2

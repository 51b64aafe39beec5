// pi.h -- pi by the quartically convergent iteration of the Borweins, and pi/2.
#pragma once

#include <cstdint>

#include "core/long_number.h"

namespace ostrel2 {

// result <- pi at the given precision (products give at least 5 limbs); iterations receives the
// number of iterations run.
WorkLong& PaiLong(WorkLong& result, int32_t precision, int32_t& iterations);

// result <- pi / 2, formed as pi halved by DivSmall, at the given precision.
WorkLong& HalfPiLong(WorkLong& result, int32_t precision);

}  // namespace ostrel2

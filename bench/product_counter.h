// product_counter.h -- the count of transform products for the counting programs, and their
// working records.
//
// A counting program links product_counter.cpp and the option
// -Wl,--wrap=_ZN7ostrel211MultiplLongERNS_8WorkLongES1_S1_: every call of MultiplLong, from any
// worker, then goes through a wrapper that counts it and forwards to the real product. The
// workers themselves are the library's unchanged code. Single-threaded.
#pragma once

#include <cstdint>

#include "core/long_number.h"
#include "ostrel2.h"

namespace ostrel2_bench {

// Products since the last ResetProducts().
int64_t Products();
void ResetProducts();

// The working record of a boundary record: its 306 slots, slot 306 as 0.
ostrel2::WorkLong Working(const LongNumber& x);

}  // namespace ostrel2_bench

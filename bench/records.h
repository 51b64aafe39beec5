// records.h -- random full-length operand records for the benchmarks, and their decimal text.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "ostrel2.h"

namespace ostrel2_bench {

// Precisions at which every export is measured.
constexpr int32_t kPrecisions[] = {5, 10, 30, 100, 303};

// Last limb slot a boundary record can hold for precision p: p + 3, but slot 305 at most.
inline int32_t LastBoundarySlot(int32_t precision) {
    const int32_t last = precision + 3;
    return last < OSTREL2_LIMB_SLOTS - 1 ? last : OSTREL2_LIMB_SLOTS - 1;
}

// A canonical record of precision p with every live limb random: sign +1 or -1, the given
// exponent (a multiple of 10), error 0, limbs[0] in 1 .. 10^10 - 1, the further live limbs in
// 0 .. 10^10 - 1, every slot beyond them 0.
LongNumber RandomRecord(std::mt19937_64& rng, int32_t precision, int32_t exponent);

// The record's value as decimal text "[-]0.<digits>e<exponent>", exactly, for reading into MPFR.
std::string DecimalText(const LongNumber& x);

// Decimal digits a record of precision p carries, 10 (p + 4), and the binary precision that
// holds as many: ceil(digits * log2(10)).
int64_t DecimalDigits(int32_t precision);
int64_t BinaryDigits(int32_t precision);

}  // namespace ostrel2_bench

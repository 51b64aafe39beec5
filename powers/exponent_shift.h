// exponent_shift.h -- powers built as a record times 10^shift, for results near or beyond the
// exponents the products accept.
//
// A transform product, a sum and a reciprocal division give the same limbs whatever their
// operands' exponents, as long as those move by multiples of ten together: only the differences
// of exponents enter them. So a power whose intermediate values would pass the products' limit
// of +-2,000,000,000 is built on records whose exponents are taken out into a 64-bit shift after
// every step; the shift goes back in once, at the end, where the result is held to the exponents
// a record may carry (EXPONENT_FLOOR .. EXPONENT_CEILING). Wherever the plain steps succeed, the
// shifted ones give the same bits.
#pragma once

#include <cstdint>

#include "core/long_number.h"

namespace ostrel2 {

// Decimal digits of a power's exponent up to which the plain steps stay inside the products'
// range: the intermediate values of a power lie between 1 and the power, and the estimate of its
// size errs by far less than the 100 digits left spare.
constexpr double kPlainPowerDigits = MAX_EXPONENT - 100.0;
// Decimal digits of a power's exponent up to which it may still fit a record; beyond, the plain
// steps run and fail as they always have.
constexpr double kShiftedPowerDigits = EXPONENT_CEILING + 100.0;

// Whether a power whose exponent is estimated at `digits` decimal digits (in magnitude) is built
// with its exponents taken out: beyond the plain steps' reach, but not beyond every record.
inline bool TakesShiftedSteps(double digits) {
    return digits > kPlainPowerDigits && digits <= kShiftedPowerDigits;
}

// Moves a non-zero record's exponent into the returned shift, leaving the record at exponent 0;
// a zero (also a failed one) keeps its exponent and gives 0.
inline int64_t TakeExponent(WorkLong& x) {
    if (x.sign == 0) return 0;
    const int64_t e = x.exponent;
    x.exponent = 0;
    return e;
}

// Puts a shift back into a record's exponent. A zero is left as it is. Returns false, leaving the
// record unchanged, when the exponent would lie outside EXPONENT_FLOOR .. EXPONENT_CEILING.
inline bool PlaceShift(WorkLong& x, int64_t shift) {
    if (x.sign == 0) return true;
    const int64_t e = x.exponent + shift;
    if (e < EXPONENT_FLOOR || e > EXPONENT_CEILING) return false;
    x.exponent = static_cast<int32_t>(e);
    return true;
}

}  // namespace ostrel2

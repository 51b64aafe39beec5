// multiply_transform.h -- the product of two records by convolution through the real discrete
// Fourier transform: what the rest of the library sees of the transform engine (arith/transform/,
// described in docs/transform-engine.md).
#pragma once

#include <cstdint>

#include "core/long_number.h"

namespace ostrel2 {

constexpr int32_t TRANSFORM_MIN_PRECISION = 5;  // products carry at least five limbs
constexpr int32_t TRANSFORM_MAX_PRECISION = 506;
constexpr int DFT_MAX_LENGTH = 1024;                  // longest transform the product uses
constexpr int DIGIT_ARRAY_SLOTS = DFT_MAX_LENGTH + 3;  // a transform's values and three header slots

// The precision of a product of operands at this precision: max(precision, 5).
constexpr int32_t ProductPrecision(int32_t precision) {
    return precision > TRANSFORM_MIN_PRECISION ? precision : TRANSFORM_MIN_PRECISION;
}

// result <- a * b at precision max(a.precision, b.precision, 5). Normalises a and b in place.
WorkLong& MultiplLong(WorkLong& result, WorkLong& a, WorkLong& b);

// The spectra of one operand's two digit halves, kept by the caller for the next products that
// take the same operand: a Newton step's divisor, met again in every step, and its iterate, met
// in both products of a step; the power of two in binary powering, met in a product and then
// squared. A handle: the caller declares one (it starts empty) and passes its address to
// MultiplLongKept, which fills it and knows when it is stale; its contents are the product's own.
class KeptSpectra {
  public:
    KeptSpectra() = default;

  private:
    friend struct KeptSpectraAccess;  // the transform product
    int n_ = 0;                       // transform length of the spectra; 0 while empty
    WorkLong digits_;  // sign, exponent, precision and live limbs of the operand they belong to
    double upper_[DIGIT_ARRAY_SLOTS];
    double lower_[DIGIT_ARRAY_SLOTS];
};

// MultiplLong with the spectra of a and of b taken from keepA and keepB where those hold them for
// the same digits at the same transform length, and left there otherwise; either may be null. A
// square (b with a's digits) uses keepA, or keepB where keepA is null.
// The same bits as MultiplLong(result, a, b): a spectrum depends on nothing but the digits and
// the length.
WorkLong& MultiplLongKept(WorkLong& result, WorkLong& a, WorkLong& b, KeptSpectra* keepA,
                          KeptSpectra* keepB);

}  // namespace ostrel2

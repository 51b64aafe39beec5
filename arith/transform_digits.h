// transform_digits.h -- the pieces of the transform multiplication in their plain form: records
// to base-100,000 digit arrays and back, and products and sums of packed spectra. They are the
// reference that the product's fast conversions (arith/transform_digits_fast.h) match bit for bit.
//
// A digit array of length n holds n digits (or, transformed, the packed spectrum of n reals) and
// three header slots: X[n] the top digit (after a spectrum product the product of the two top
// digits, after a sum the sum of such products), X[n+1] the position of digit 0 in units of five
// decimal digits, X[n+2] the sign.
#pragma once

#include <cstdint>

#include "arith/real_dft.h"
#include "core/long_number.h"

namespace ostrel2 {

constexpr double TRANSFORM_BASE = 100000.0;     // five decimal digits per transform digit
constexpr int32_t TRANSFORM_MIN_PRECISION = 5;  // products carry at least five limbs
constexpr int32_t TRANSFORM_MAX_PRECISION = 506;
constexpr int DIGIT_ARRAY_SLOTS = DFT_MAX_LENGTH + 3;

// Smallest power of two at least 2 (P + 4), for a working precision P of 5 .. 506.
int TransformLength(int32_t precision);

// Fills X (n + 3 slots) from one half of x: off = 0 the upper half, off = n/2 the lower half
// (counted in digits). Each limb of the half gives its high and low digit in order from position
// 0, up to limb x.precision + 3; positions 2 .. n/2 - 1 are then balanced into -50,000 .. 49,999
// with the carry left in position 1; position 0 stays plain. The upper n/2 positions are 0.
void ToTransformDigits(double B, int n, int off, const WorkLong& x, double* X);

// V <- U (.) V in the packed spectrum layout; V[n] <- U[n] V[n], V[n+1] <- U[n+1] + V[n+1],
// V[n+2] <- U[n+2] V[n+2].
void SpectrumProduct(int n, const double* U, double* V);

// V[i] <- U[i] + V[i] for i = 0 .. n (the top-digit slot included, position and sign kept).
void SpectrumAdd(int n, const double* U, double* V);

// Converts the top m positions of an unscaled backward transform X of length n into out's sign,
// exponent, limbs 0 .. out.precision + 3 and error 0. Every position is rounded to a whole number;
// the positions below m enter only as the carry they send up; the exact top product in X[n]
// replaces position 0. X[0] is overwritten. Limbs are cut off after out.precision + 3, rounded by
// the next digit only when the exponent falls between multiples of ten.
void FromTransformDigits(int m, double B, int n, double* X, WorkLong& out);

}  // namespace ostrel2

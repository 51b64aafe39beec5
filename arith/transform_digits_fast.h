// transform_digits_fast.h -- the digit conversions as the transform product runs them, bit for
// bit the plain conversions of arith/transform_digits.h: limbs split and balanced in vectors (two
// lanes, or four where the processor runs AVX), and the backward transform's values carried into
// limbs by whole numbers. The tests ask for VectorWidth::Narrow to check the two-lane loops on
// processors with AVX too.
#pragma once

#include "arith/transform_digits.h"
#include "core/cpu_features.h"
#include "core/long_number.h"

namespace ostrel2 {

// Both work in the product's base B = TRANSFORM_BASE, fixed when they are compiled: the carried
// conversion's chain divides by its constant powers.

// The digits ToTransformDigits(B, n, off, x, X) gives for one half of x, into D[0 .. n/2 - 1] (D
// has n/2 + 1 slots; D[n/2] is left 0) and its three header slots into H[0 .. 2]; the zero upper
// half is not written (SharedRealDftOfHalf reads the half alone).
void ToTransformHalfDigits(int n, int off, const WorkLong& x, double* D, double* H,
                           VectorWidth width = VectorWidth::Widest);

// FromTransformDigits(m, B, n, X, out) with the same result bit for bit, by whole-number carries
// wherever every position is safely away from a half (falling back to the serial rule otherwise).
void FromTransformDigitsCarried(int m, int n, double* X, WorkLong& out,
                                VectorWidth width = VectorWidth::Widest);

// How far, in units of one position, the carry estimate of positions m .. m + 3 (StartConversion)
// may move when they come from the backward transform rather than the exact convolution: the
// transform's noise on a position stays far below it at every length the product uses (see
// docs/transform-multiplication.md), and so does the estimate's own rounding.
constexpr double CARRY_CLEARANCE = 0.25;

// FromTransformDigitsCarried on the exact convolution n/2 c (DirectProduct), with the same result
// the backward transform's values give, and true; false, with out untouched, where the carry
// estimate lies within CARRY_CLEARANCE of a place where its truncation would change, so that the
// transform's noise could decide it: the product is then formed through the transforms.
bool FromExactConvolution(int m, int n, double* X, WorkLong& out,
                          VectorWidth width = VectorWidth::Widest);

}  // namespace ostrel2

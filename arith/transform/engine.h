// engine.h -- the pieces of the transform product, as the product (multiply_transform.cpp) and the
// tests call them: the real transform through the shared tables, the digit conversions, and the
// convolutions formed term by term. Each takes the kernel set it runs on (by default the one the
// library runs); every set gives the same bits. No worker outside arith/transform/ includes this.
//
// A digit array of length n holds n base-100,000 digits (or, transformed, the packed spectrum of n
// reals, arith/transform/tables.h) and three header slots: X[n] the top digit (after a spectrum
// product the product of the two top digits, after a sum the sum of such products), X[n+1] the
// position of digit 0 in units of five decimal digits, X[n+2] the sign.
#pragma once

#include <cstdint>

#include "arith/transform/kernel_set.h"
#include "arith/transform/multiply_transform.h"
#include "core/long_number.h"

namespace ostrel2 {

constexpr double TRANSFORM_BASE = 100000.0;  // five decimal digits per transform digit

// Smallest power of two at least 2 (P + 4), and at least 32, for a working precision P of
// 5 .. 506.
int TransformLength(int32_t precision);

// Forward (direction >= 0) or backward real transform of length n, 2 <= n <= DFT_MAX_LENGTH,
// through the shared tables; safe to call from any number of threads at once.
void SharedRealDft(int n, int direction, double* a, const TransformKernels& kernels = LibraryKernels());

// Forward transform of the length-n sequence whose first n/2 values are d[0 .. n/2 - 1] and whose
// upper n/2 values are zero, written into a (d and a distinct; d is only read). Bit for bit
// SharedRealDft of that sequence: the stage that meets the zeros first skips only the operations
// that add or subtract them exactly.
void SharedRealDftOfHalf(int n, const double* d, double* a,
                         const TransformKernels& kernels = LibraryKernels());

// Products of two packed spectra of length n in place, V <- U (.) V: V[0] <- U[0] V[0],
// V[1] <- U[1] V[1] and the complex products (ur vr - ui vi, ur vi + ui vr) of the pairs at
// 2 .. n-1.
void SharedSpectrumProduct(int n, const double* U, double* V,
                           const TransformKernels& kernels = LibraryKernels());

// S <- (U (.) V) + S over positions 0 .. n-1: each product formed as SharedSpectrumProduct forms
// it, then added as S[i] <- product + S[i]. U and V are only read.
void SharedSpectrumProductAdd(int n, const double* U, const double* V, double* S,
                              const TransformKernels& kernels = LibraryKernels());

// The digits of one half of x, from digit off on (off = 0 the upper half, n/2 the lower one,
// counted in digits), into D[0 .. n/2 - 1] (D has n/2 + 1 slots; D[n/2] is left 0) and its
// three header slots into H[0 .. 2]: each limb of the half gives its high and low digit in order
// from position 0, up to limb x.precision + 3; positions 2 .. n/2 - 1 are then balanced into
// -50,000 .. 49,999 with the carry left in position 1; position 0 stays plain. The zero upper half
// of the sequence is not written (SharedRealDftOfHalf reads the half alone).
void ToTransformHalfDigits(int n, int off, const WorkLong& x, double* D, double* H,
                           const TransformKernels& kernels = LibraryKernels());

// Converts the top m positions of an unscaled backward transform X of length n into out's sign,
// exponent, limbs 0 .. out.precision + 3 and error 0. Every position is rounded to a whole
// number; the positions below m enter only as the carry they send up; the exact top product in
// X[n] replaces position 0. X[0] is overwritten. Limbs are cut off after out.precision + 3,
// rounded by the next digit only when the exponent falls between multiples of ten. By
// whole-number carries wherever every position is safely away from a half, else by the serial
// rule, with the same result.
void FromTransformDigitsCarried(int m, int n, double* X, WorkLong& out,
                                const TransformKernels& kernels = LibraryKernels());

// How far, in units of one position, the carry estimate of positions m .. m + 3 may move when
// they come from the backward transform rather than the exact convolution: the transform's noise
// on a position stays far below it at every length the product uses (see
// docs/transform-multiplication.md), and so does the estimate's own rounding.
constexpr double CARRY_CLEARANCE = 0.25;

// FromTransformDigitsCarried on the exact convolution n/2 c (DirectProduct), with the same result
// the backward transform's values give, and true; false, with out untouched, where the carry
// estimate lies within CARRY_CLEARANCE of a place where its truncation would change, so that the
// transform's noise could decide it: the product is then formed through the transforms.
bool FromExactConvolution(int m, int n, double* X, WorkLong& out,
                          const TransformKernels& kernels = LibraryKernels());

// Longest transform length whose products are formed term by term: precisions 1 .. 11. From
// length 64 on, the transforms are as fast or faster.
//
// Every digit is a whole number of magnitude at most 100,000 and a half holds at most 512 digits,
// so every term a_i b_j and every partial sum of a position (at most 512 terms, scaled by n/2 <=
// 512) stays below 2^53 in magnitude: each operation is exact, in any order, and the values are
// the exact convolution. The backward transform gives these values plus its rounding noise.
constexpr int DIRECT_MAX_LENGTH = 32;

// V <- n/2 times the linear convolution of the digits U[0 .. n/2 - 1] and V[0 .. n/2 - 1], at
// positions 0 .. n - 1 (the last one 0): what the backward transform of the spectrum product
// holds, without its noise. The header slots are those a spectrum product gives: V[n] <- U[n] V[n],
// V[n + 1] <- U[n + 1] + V[n + 1], V[n + 2] <- U[n + 2] V[n + 2]. U and V may be the same array.
void DirectProduct(int n, const double* U, double* V, const TransformKernels& kernels = LibraryKernels());

// S <- n/2 times the convolution of U and V, plus S, at positions 0 .. n - 1, and
// S[n] <- U[n] V[n] + S[n]: the sum of two cross products. U and V are only read.
void DirectProductAdd(int n, const double* U, const double* V, double* S,
                      const TransformKernels& kernels = LibraryKernels());

}  // namespace ostrel2

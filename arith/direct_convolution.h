// direct_convolution.h -- the convolutions of the transform product formed term by term, for the
// short lengths where the transforms' fixed costs outweigh their n log n.
//
// Every digit is a whole number of magnitude at most 100,000 and a half holds at most 512 digits,
// so every term a_i b_j and every partial sum of a position (at most 512 terms, scaled by n/2 <=
// 512) stays below 2^53 in magnitude: each operation is exact, in any order, and the values are
// the exact convolution. The backward transform gives these values plus its rounding noise.
#pragma once

#include "core/cpu_features.h"

namespace ostrel2 {

// Longest transform length whose products are formed directly: precisions 1 .. 11. From length
// 64 on, the transforms are as fast or faster.
constexpr int DIRECT_MAX_LENGTH = 32;

// V <- n/2 times the linear convolution of the digits U[0 .. n/2 - 1] and V[0 .. n/2 - 1], at
// positions 0 .. n - 1 (the last one 0): what the backward transform of the spectrum product
// holds, without its noise. The header slots are those SpectrumProduct gives: V[n] <- U[n] V[n],
// V[n + 1] <- U[n + 1] + V[n + 1], V[n + 2] <- U[n + 2] V[n + 2]. U and V may be the same array.
void DirectProduct(int n, const double* U, double* V, VectorWidth width = VectorWidth::Widest);

// S <- n/2 times the convolution of U and V, plus S, at positions 0 .. n - 1, and
// S[n] <- U[n] V[n] + S[n]: the sum of two cross products. U and V are only read.
// Both take four lanes where the processor runs AVX and width allows it, two otherwise: the
// values are exact either way, so the width changes nothing but the time.
void DirectProductAdd(int n, const double* U, const double* V, double* S,
                      VectorWidth width = VectorWidth::Widest);

}  // namespace ostrel2

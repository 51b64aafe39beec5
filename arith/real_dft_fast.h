// real_dft_fast.h -- the real transform as the transform multiplication runs it: tables built
// once for the longest length and shared by every call, the stages in vectors (two lanes, or four
// where the processor runs AVX), the forward transform of a half-filled sequence read from its
// filled half. Bit for bit the plain transform of arith/real_dft.h, at either vector width (the
// tests ask for VectorWidth::Narrow to check the two-lane loops on processors with AVX too).
#pragma once

#include "arith/real_dft.h"
#include "core/cpu_features.h"

namespace ostrel2 {

// Forward (direction >= 0) or backward real transform of length n, 2 <= n <= DFT_MAX_LENGTH,
// through tables built once for the longest length on first use and only read after that; safe
// to call from any number of threads at once. The result is bit for bit that of RealDft with
// tables built for n alone: the longer tables hold every angle the shorter ones do, computed by
// the same operations on the same arguments.
void SharedRealDft(int n, int direction, double* a, VectorWidth width = VectorWidth::Widest);

// Forward transform, through the shared tables, of the length-n sequence whose first n/2 values
// are d[0 .. n/2 - 1] and whose upper n/2 values are zero, written into a (d and a distinct; d is
// only read). Bit for bit SharedRealDft of that sequence: the stage that meets the zeros first
// skips only the operations that add or subtract them exactly.
void SharedRealDftOfHalf(int n, const double* d, double* a,
                         VectorWidth width = VectorWidth::Widest);

// Products of two packed spectra of length n in place, V <- U (.) V: V[0] <- U[0] V[0],
// V[1] <- U[1] V[1] and the complex products of the pairs at 2 .. n-1, with the plain product's
// operations on the same operands, in vectors where there are any.
void SharedSpectrumProduct(int n, const double* U, double* V,
                           VectorWidth width = VectorWidth::Widest);

// S <- (U (.) V) + S over positions 0 .. n-1: each product formed as SharedSpectrumProduct forms
// it, then added to S's value as S[i] <- product + S[i]. U and V are only read.
void SharedSpectrumProductAdd(int n, const double* U, const double* V, double* S,
                              VectorWidth width = VectorWidth::Widest);

}  // namespace ostrel2

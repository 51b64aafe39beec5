// transform_reference.h -- the transform product through its reference pieces, for the tests
// only: the real transform with tables built afresh in each call's own work areas, the digit
// conversions in their serial form, and the product through them. The library's pieces
// (arith/transform/engine.h) must give their bits in every kernel set.
#pragma once

#include "arith/transform/kernel_set.h"
#include "arith/transform/tables.h"
#include "core/long_number.h"

namespace ostrel2 {
namespace reference {

// Forward (direction >= 0) or backward (direction < 0) real transform of a[0 .. n-1], n a power
// of two, at least 2 (layout: arith/transform/tables.h). Rebuilds the tables in ip / w first when
// they are too short for n: a call rebuilds them, at exactly its own length, only when
// n > 4 * ip[0] (or n > 4 * ip[1] for the cosine table); ip[0] = 0 forces both to be rebuilt.
void RealDft(int n, int direction, double* a, int* ip, double* w);

// Complex transform of the n/2 entries of a, bit-reversed on entry: entry k becomes
// sum_j z_j e^{+2 pi i jk/(n/2)} over the entries z_j as they stood before the permutation.
void ComplexForward(int n, double* a, const double* w);

// The same stages with a conjugating last stage: the complex conjugate of ComplexForward.
void ComplexBackward(int n, double* a, const double* w);

// Passes between the complex transform of n/2 entries and the real transform of length n, with
// the cosine table c of nc entries (stepped through with stride 4 nc / n).
void RealSplitForward(int n, double* a, int nc, const double* c);
void RealSplitBackward(int n, double* a, int nc, const double* c);

// Fills X (n + 3 slots) from one half of x: off = 0 the upper half, off = n/2 the lower half
// (counted in digits), as ToTransformHalfDigits does (arith/transform/engine.h), with the upper
// n/2 positions 0, serially.
void ToTransformDigits(double B, int n, int off, const WorkLong& x, double* X);

// V <- U (.) V in the packed spectrum layout; V[n] <- U[n] V[n], V[n+1] <- U[n+1] + V[n+1],
// V[n+2] <- U[n+2] V[n+2].
void SpectrumProduct(int n, const double* U, double* V);

// V[i] <- U[i] + V[i] for i = 0 .. n (the top-digit slot included, position and sign kept).
void SpectrumAdd(int n, const double* U, double* V);

// FromTransformDigitsCarried (arith/transform/engine.h) by the serial rule alone, limbs by the
// floor.
void FromTransformDigits(int m, double B, int n, double* X, WorkLong& out);

// MultiplLong through the pieces above, with the same front part (precision, operands
// normalised, zero shortcut, exponent bound): the bits MultiplLong must give.
WorkLong& MultiplLongPerCallTables(WorkLong& result, WorkLong& a, WorkLong& b);

// MultiplLong on the given kernel set's pieces.
WorkLong& MultiplLongWith(KernelSet set, WorkLong& result, WorkLong& a, WorkLong& b);

}  // namespace reference
}  // namespace ostrel2

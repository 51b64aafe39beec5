// real_dft.h -- the real discrete Fourier transform of power-of-two length that the transform
// multiplication convolves its digit sequences with, and the stages it is built from: the plain
// algorithm, the reference that the product's fast transform (arith/real_dft_fast.h) matches bit
// for bit.
//
// A real sequence a[0 .. n-1] is transformed in place into its half spectrum, packed as
//   a[0] = R[0], a[1] = R[n/2], a[2k] = R[k], a[2k+1] = I[k] (0 < k < n/2),
// where R[k] + i I[k] = sum_j a[j] e^{+2 pi i jk/n}. The backward transform takes such a packed
// spectrum back without scaling, so forward then backward multiplies the input by n/2.
//
// The transform runs a complex transform of n/2 entries over the interleaved pairs (a[2j],
// a[2j+1]), after a bit-reversal permutation, and a real-split pass between the two. Its tables
// live in work areas that the caller supplies and keeps:
//   ip[0] = nw, the number of twiddle entries held; ip[1] = nc, the number of cosine entries held;
//   ip[2 ..] the bit-reversal offsets (DFT_INDEX_SLOTS ints cover every length up to 1024);
//   w[0 .. nw-1] the twiddle table in bit-reversed order, w[nw .. nw+nc-1] the cosine table.
// Tables built for a length N serve every shorter power-of-two length; a call rebuilds them, at
// exactly its own length, only when n > 4 * ip[0] (or n > 4 * ip[1] for the cosine table).
// Setting ip[0] to 0 forces both to be rebuilt.
#pragma once

namespace ostrel2 {

constexpr int DFT_MAX_LENGTH = 1024;                 // longest transform the library uses
constexpr int DFT_INDEX_SLOTS = 2 + 16;              // ip slots for lengths up to 1024
constexpr int DFT_TABLE_SLOTS = DFT_MAX_LENGTH / 2;  // w slots for lengths up to 1024

// Forward (direction >= 0) or backward (direction < 0) real transform of a[0 .. n-1], n a power
// of two, at least 2. Rebuilds the tables in ip / w first when they are too short for n.
void RealDft(int n, int direction, double* a, int* ip, double* w);

// Twiddle table of nw entries (nw/2 complex roots e^{2 pi i e/(2nw)}, e < nw/2, bit-reversed).
// Sets ip[0] = nw and ip[1] = 1, so that the cosine table is rebuilt after it.
void MakeTwiddleTable(int nw, int* ip, double* w);

// Cosine table of nc entries: c[t] = cos(pi t/(2nc))/2 for 0 < t < nc, c[0] = cos(pi/4).
// Sets ip[1] = nc.
void MakeCosineTable(int nc, int* ip, double* c);

// Permutes the n/2 complex entries of a (pairs of doubles) into bit-reversed order, using and
// filling the offset table ip (here ip points at the offsets, that is, the caller's ip + 2).
void BitReverse(int n, int* ip, double* a);

// Complex transform of the n/2 entries of a, bit-reversed on entry: entry k becomes
// sum_j z_j e^{+2 pi i jk/(n/2)} over the entries z_j as they stood before the permutation.
void ComplexForward(int n, double* a, const double* w);

// The same stages with a conjugating last stage: the complex conjugate of ComplexForward.
void ComplexBackward(int n, double* a, const double* w);

// Radix-4 stage over blocks of 4 complex entries (16 doubles per pair of blocks).
void Radix4FirstStage(int n, double* a, const double* w);

// Radix-4 stage of span l doubles over blocks of 4l doubles.
void Radix4MiddleStage(int n, int l, double* a, const double* w);

// Passes between the complex transform of n/2 entries and the real transform of length n, with
// the cosine table c of nc entries (stepped through with stride 4 nc / n).
void RealSplitForward(int n, double* a, int nc, const double* c);
void RealSplitBackward(int n, double* a, int nc, const double* c);

// The steps j = 2, 4, .. < n/2 of RealSplitBackward alone, without its sign changes of a[1] (before)
// and a[n/2 + 1] (after): the shared-table transform makes those itself, around whichever loops
// run the steps.
void RealSplitBackwardSteps(int n, double* a, int nc, const double* c);

// Rotations of one block of a radix-4 stage: its second, third and fourth quarter are turned by
// w1, w2 = w1^2 and w3 = w1^3.
struct Twiddles {
    double w1r, w1i;
    double w2r, w2i;
    double w3r, w3i;
};

// Rotations of the first (k1) and second (k1 + 2) block of pair k1 = 2, 4, ... of a radix-4
// stage, from the twiddle table w: the first takes w2 = w[k1], w1 = w[2 k1]; the second
// w1 = w[2 k1 + 2] and w2 turned by a quarter, i w[k1]. The third rotation is formed as
// w1 (1 - 4 w1i^2) and w1i (4 w1r^2 - 1) through w2 = w1^2.
void PairTwiddles(const double* w, int k1, Twiddles& first, Twiddles& second);

}  // namespace ostrel2

// tables.h -- the tables of the real transform: twiddles, cosines and bit-reversal offsets as the
// reference transform builds them for one length (kept by the caller), and the shared tables the
// product's transforms read, built once for the longest length from the same routines.
//
// A real sequence a[0 .. n-1] is transformed in place into its half spectrum, packed as
//   a[0] = R[0], a[1] = R[n/2], a[2k] = R[k], a[2k+1] = I[k] (0 < k < n/2),
// where R[k] + i I[k] = sum_j a[j] e^{+2 pi i jk/n}. The backward transform takes such a packed
// spectrum back without scaling, so forward then backward multiplies the input by n/2. It runs a
// complex transform of n/2 entries over the interleaved pairs (a[2j], a[2j+1]), after a
// bit-reversal permutation, and a real-split pass between the two.
//
// Work areas of one length: ip[0] = nw, the number of twiddle entries held; ip[1] = nc, the number
// of cosine entries held; ip[2 ..] the bit-reversal offsets (DFT_INDEX_SLOTS ints cover every
// length up to 1024); w[0 .. nw-1] the twiddle table in bit-reversed order, w[nw .. nw+nc-1] the
// cosine table.
#pragma once

#include <cstdint>

#include "arith/transform/multiply_transform.h"

namespace ostrel2 {

constexpr int DFT_INDEX_SLOTS = 2 + 16;              // ip slots for lengths up to 1024
constexpr int DFT_TABLE_SLOTS = DFT_MAX_LENGTH / 2;  // w slots for lengths up to 1024

// Twiddle table of nw entries (nw/2 complex roots e^{2 pi i e/(2nw)}, e < nw/2, bit-reversed).
// Sets ip[0] = nw and ip[1] = 1, so that the cosine table is rebuilt after it.
void MakeTwiddleTable(int nw, int* ip, double* w);

// Cosine table of nc entries: c[t] = cos(pi t/(2nc))/2 for 0 < t < nc, c[0] = cos(pi/4).
// Sets ip[1] = nc.
void MakeCosineTable(int nc, int* ip, double* c);

// Permutes the n/2 complex entries of a (pairs of doubles) into bit-reversed order, using and
// filling the offset table ip (here ip points at the offsets, that is, the caller's ip + 2).
void BitReverse(int n, int* ip, double* a);

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

// The rotations of every pair of blocks, formed once by PairTwiddles for all stages and lengths
// (they depend on k1 alone): pair k1 = 2p + 2 at rot + ROTATION_STRIDE p holds, for each of w1r,
// w1i, w2r, w2i, w3r, w3i in turn, four doubles: the first block's value twice, then the second
// block's value twice, ready for vector loads.
constexpr int ROTATION_PAIRS = DFT_MAX_LENGTH / 16;
constexpr int ROTATION_STRIDE = 24;

// The tables every product transform reads: built once for the longest length, then only read
// (safe to share between threads). Tables built for a length N serve every shorter power-of-two
// length bit for bit: they hold every angle the shorter ones do, computed by the same operations
// on the same arguments.
struct SharedTables {
    double w[DFT_TABLE_SLOTS];  // twiddles w[0 .. nw - 1], cosines w[nw .. nw + nc - 1]
    int nw;
    int nc;
    // For every length 2^k, the exchanges of its bit reversal as pairs of indices into a (entries
    // e < reverse(e) only): pairs[pairStart[k] .. pairStart[k + 1]).
    uint16_t pairs[2 * DFT_MAX_LENGTH];
    int pairStart[12];
    // Rotations of the real-split steps of length 2^k, each twice in a row for vector loads:
    // splitR / splitI + splitStart[k] + 2i - 2 hold wkr = 0.5 - c[nc - kk] and wki = c[kk] of
    // step j = 2i, formed once with the reference pass's operations.
    double splitR[DFT_MAX_LENGTH];
    double splitI[DFT_MAX_LENGTH];
    int splitStart[12];
    // For length 2^k, where the even complex entry p lands after the bit reversal of an input
    // whose upper half is zero: gather[gatherStart[k] + p/2] = the double offset 2 reverse(p).
    uint16_t gather[DFT_MAX_LENGTH / 2];
    int gatherStart[12];
    double rot[ROTATION_PAIRS * ROTATION_STRIDE];  // see ROTATION_STRIDE
};

// The shared tables, built on the first call (thread-safe).
const SharedTables& TransformTables();

// k with 2^k = n, for a power of two n.
inline int Log2(int n) {
    int k = 0;
    while ((1 << k) < n) ++k;
    return k;
}

}  // namespace ostrel2

// digit_kernels.h -- the loops of the digit conversions and of the term-by-term convolution,
// written once over a lane type (arith/transform/lanes.h): limbs split into digits, the test for
// a carry that could run on, the all-at-once balancing, the rounding and nearness pass of the
// carried conversion, the digits of the carried pairs, and the convolution of two digit halves.
//
// Each loop takes whole registers from its start and returns where it stopped; a kernel set runs
// it at its widest lane type and finishes at the narrower ones (kernel_set_body.h). Every lane
// performs the same operations on the same operands as the serial conversion
// (arith/transform/transform_digits.cpp).
#pragma once

#include <cstdint>

#include "arith/transform/kernel_set.h"
#include "arith/transform/lanes.h"

namespace ostrel2 {
namespace {

// Limbs j, j + 1, ... of limbs (up to last) split into their high and low digit, limb j into
// D[2 (j - first)] and the next slot, while whole registers last and every quotient is small
// enough for the 32-bit truncation. Returns the first limb not split.
template <class V>
int SplitLimbs(double B, int first, int j, int last, const double* limbs, double* D) {
    const Reg<V> vB = V::Set1(B);
    const Reg<V> vLimit = V::Set1(2147483647.0);
    const Reg<V> vAbs = V::AbsMask();
    for (; j + V::kDoubles - 1 <= last; j += V::kDoubles) {
        const Reg<V> x = V::Load(limbs + j);
        const Reg<V> q = V::Div(x, vB);
        if (V::MoveMask(V::Less(V::And(q, vAbs), vLimit)) != V::kAllLanes) break;
        // TruncDigit: the 32-bit truncation with the quotient's sign put back.
        const Reg<V> whole = V::TruncThrough32(q);
        const Reg<V> high = V::Or(V::And(whole, vAbs), V::AndNot(vAbs, q));
        const Reg<V> low = V::Sub(x, V::Mul(vB, high));
        V::StoreInterleaved(D + 2 * (j - first), high, low);
    }
    return j;
}

// Whether any digit at k, k + 1, ... (k even; while whole registers last below filled) reaches the
// half only with a carry: the one digit that can pass a carry on. Moves k past the digits seen.
template <class V>
bool AnyLifted(double halfBase, int& k, int filled, const double* D) {
    const Reg<V> vHalf = V::Set1(halfBase);
    const Reg<V> vOne = V::Set1(1.0);
    const Reg<V> vZero = V::Zero();
    Reg<V> lifted = vZero;
    int i = k;
    const int stop = filled - (V::kDoubles - 1);  // the last register starts below it
    for (; i < stop; i += V::kDoubles) {
        const Reg<V> d = V::Load(D + i);
        lifted = V::Or(lifted, V::AndNot(V::GreaterEqual(V::Add(d, vZero), vHalf),
                                          V::GreaterEqual(V::Add(d, vOne), vHalf)));
    }
    k = i;
    return V::MoveMask(lifted) != 0;
}

// The all-at-once balancing of positions k, k + 1, ... (k even; while whole registers last below
// filled): each position takes the carry of whether the one above reaches the half, then the
// serial pass's operations, v = digit + carry, v - B where v reaches the half (v - (+0) is v).
// D[filled] is read. Returns the first position not balanced.
template <class V>
int BalanceAll(double B, int k, int filled, double* D) {
    const Reg<V> vHalf = V::Set1(B / 2);
    const Reg<V> vOne = V::Set1(1.0);
    const Reg<V> vZero = V::Zero();
    const Reg<V> vB = V::Set1(B);
    const int stop = filled - (V::kDoubles - 1);
    for (; k < stop; k += V::kDoubles) {
        const Reg<V> d = V::Load(D + k);
        const Reg<V> above = V::Load(D + k + 1);
        const Reg<V> c = V::And(V::GreaterEqual(V::Add(above, vZero), vHalf), vOne);
        const Reg<V> v = V::Add(d, c);
        V::Store(D + k, V::Sub(v, V::And(V::GreaterEqual(v, vHalf), vB)));
    }
    return k;
}

// Positions j, j + 1, ... of x scaled (while whole registers last below end): their encodings
// s + 1.5 * 2^52 into code, their nearness into state, and where track is set their largest
// rounded magnitude into most. Returns the first position not taken.
template <class V>
int RoundPositions(int j, int end, const double* x, double scale, uint64_t* code, bool track,
                   RoundState& state, double& most) {
    if (j + V::kDoubles - 1 >= end) return j;
    const Reg<V> vScale = V::Set1(scale);
    const Reg<V> vRound = V::Set1(ROUND_SHIFT);
    const Reg<V> vLimit = V::Set1(ROUND_LIMIT);
    const Reg<V> vNear = V::Set1(0.49);
    const Reg<V> vAbs = V::AbsMask();
    Reg<V> ok = V::AllBits();
    Reg<V> largest = V::Set1(most);
    for (; j + V::kDoubles - 1 < end; j += V::kDoubles) {
        const Reg<V> s = V::Mul(vScale, V::Load(x + j));
        const Reg<V> t = V::Add(s, vRound);
        const Reg<V> r = V::Sub(t, vRound);
        const Reg<V> small = V::Less(V::And(s, vAbs), vLimit);
        const Reg<V> close = V::LessEqual(V::And(V::Sub(s, r), vAbs), vNear);
        ok = V::And(ok, V::And(small, close));
        if (track) largest = V::Max(largest, V::And(r, vAbs));
        V::StoreBits(code + j, t);
    }
    state.near &= V::MoveMask(ok) == V::kAllLanes;
    double lanes[V::kDoubles];
    V::Store(lanes, largest);
    for (const double lane : lanes)
        if (lane > most) most = lane;
    return j;
}

// The two base-B digits of each remainder rests[i] (0 <= rests[i] < B^2) from pair i on, into
// T[2i - 1] (high) and T[2i] (low), while whole registers last up to pairs; returns the first pair
// not taken. Below 2^52 a remainder is exact as a double; its correctly rounded quotient by B lies
// at least 1/B below the next whole number, far more than its rounding error, so the quotient's
// truncation is the high digit, and the low digit is the exact difference.
template <class V>
int PairDigits(double B, int i, int pairs, const uint64_t* rests, double* T) {
    const Reg<V> vB = V::Set1(B);
    for (; i + V::kDoubles - 1 <= pairs; i += V::kDoubles) {
        const Reg<V> whole = V::LoadSmallWhole(rests + i);
        const Reg<V> high = V::TruncThrough32(V::Div(whole, vB));
        V::StoreInterleaved(T + 2 * i - 1, high, V::Sub(whole, V::Mul(vB, high)));
    }
    return i;
}

// out[k] <- half sum over i of U[i] V[k - i] for k = 0 .. lu + lv - 2, kRegisters registers of
// positions at a time (independent sums, so that the additions' latency overlaps); Vd points at
// digit 0 of an operand with CONVOLUTION_PAD zeros on either side of its lv digits. Writes whole
// steps: up to kStep - 1 positions past the last one (zeros), which out must have room for.
// Returns the first position not written.
template <class V>
int ConvolveBlocks(double half, const double* U, int lu, const double* Vd, int lv, double* out) {
    constexpr int kRegisters = 2;
    constexpr int kStep = kRegisters * V::kDoubles;  // positions per step
    static_assert(kStep - 1 <= CONVOLUTION_PAD, "the loads stay within the padding");
    const int end = lu + lv - 1;
    int k = 0;
    for (; k < end; k += kStep) {
        // Terms with V's index k - i + t in 0 .. lv - 1 for some t < kStep; the others read zeros.
        const int first = k - (lv - 1) > 0 ? k - (lv - 1) : 0;
        const int last = k + kStep - 1 < lu - 1 ? k + kStep - 1 : lu - 1;
        Reg<V> sum[kRegisters];
        for (int r = 0; r < kRegisters; ++r) sum[r] = V::Zero();
        for (int i = first; i <= last; ++i) {
            const Reg<V> u = V::Set1(half * U[i]);
            const double* at = Vd + k - i;
            for (int r = 0; r < kRegisters; ++r) {
                sum[r] = V::Add(sum[r], V::Mul(u, V::Load(at + r * V::kDoubles)));
            }
        }
        for (int r = 0; r < kRegisters; ++r) V::Store(out + k + r * V::kDoubles, sum[r]);
    }
    return k;
}

}  // namespace
}  // namespace ostrel2

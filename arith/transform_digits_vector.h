// transform_digits_vector.h -- the vector loops of the fast digit conversions, written once over a
// lane type (arith/vector_lanes.h): limbs split into digits, the test for a carry that could run
// on, the all-at-once balancing, and the rounding and nearness pass of the carried conversion.
//
// Each loop takes whole registers from its start and returns where it stopped; the caller goes on
// from there with a narrower loop or the scalar code. Every lane performs the scalar code's
// operations (transform_digits_fast.cpp) on the same operands. transform_digits_fast.cpp
// instantiates the loops at Lanes2; transform_digits_avx.cpp, compiled for AVX, at Lanes4 behind
// the entry points declared at the end. The templates lie in an unnamed namespace for the reason
// vector_lanes.h gives.
#pragma once

#include <cstdint>

#include "arith/vector_lanes.h"
#include "core/cpu_features.h"

namespace ostrel2 {

constexpr double ROUND_LIMIT = 1099511627776.0;    // 2^40: positions the carries take
constexpr double ROUND_SHIFT = 6755399441055744.0;  // 1.5 * 2^52
constexpr uint64_t ROUND_SHIFT_BITS = 0x4338000000000000;  // its encoding

// What the rounding pass has found so far.
struct RoundState {
    bool near = true;  // every position so far below 2^40 and within 0.49 of a whole number
};

#if OSTREL2_SSE2
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
        V::Store(reinterpret_cast<double*>(code + j), t);
    }
    state.near &= V::MoveMask(ok) == V::kAllLanes;
    double lanes[V::kDoubles];
    V::Store(lanes, largest);
    for (const double lane : lanes)
        if (lane > most) most = lane;
    return j;
}

}  // namespace
#endif  // OSTREL2_SSE2

#if OSTREL2_AVX_PATHS
// The loops four lanes wide (transform_digits_avx.cpp); to be called only where CpuHasAvx().
// In base TRANSFORM_BASE.
int SplitLimbsAvx(int first, int j, int last, const double* limbs, double* D);
bool AnyLiftedAvx(int& k, int filled, const double* D);
int BalanceAllAvx(int k, int filled, double* D);
int RoundPositionsAvx(int j, int end, const double* x, double scale, uint64_t* code, bool track,
                      RoundState& state, double& most);
#endif

}  // namespace ostrel2

// kernel_set_body.h -- the one body of every kernel set: KernelsOf<V> runs each loop of
// dft_kernels.h, digit_kernels.h and limb_kernels.h at the lane type V, finishes what whole
// registers leave at the narrower types (V::Next, down to one double, or down to one complex
// entry where the loop works on entries), and collects the entry points into a TransformKernels
// table. kernels_portable.cpp instantiates it at PlainLanes<2>, kernels_sse2.cpp at Lanes2 and
// kernels_avx.cpp, compiled for AVX, at Lanes4. Like the lane types, it lies in an unnamed
// namespace, so that each file keeps the copies compiled for its own instruction set.
#pragma once

#include <type_traits>

#include "arith/transform/digit_kernels.h"
#include "arith/transform/dft_kernels.h"
#include "arith/transform/engine.h"
#include "arith/transform/kernel_set.h"
#include "arith/transform/lanes.h"
#include "arith/transform/limb_kernels.h"
#include "arith/transform/tables.h"

namespace ostrel2 {
namespace {

// Runs loop(lanes, j) at V and then at each narrower lane type down to one double; returns where
// the last one stopped.
template <class V, class Loop>
int Finish(int j, const Loop& loop) {
    j = loop(V{}, j);
    if constexpr (!std::is_void_v<typename V::Next>) j = Finish<typename V::Next>(j, loop);
    return j;
}

// The same down to one complex entry per register.
template <class V, class Loop>
int FinishEntries(int j, const Loop& loop) {
    j = loop(V{}, j);
    using N = typename V::Next;
    if constexpr (!std::is_void_v<N>) {
        if constexpr (N::kEntries > 0) j = FinishEntries<N>(j, loop);
    }
    return j;
}

// Four-lane loops over digits pay from a few limbs on (measured at p = 5 .. 100); below that the
// narrower ones take everything. Wide(L) says whether L is such a type.
constexpr int kWideLimbs = 4;
template <class L>
constexpr bool Wide(L) {
    return L::kDoubles >= 4;
}

template <class V>
struct KernelsOf {
    using E = typename V::Entry;

    static void Complex(int n, double* a, const SharedTables& t, bool backward) {
        if (n < 16) {
            // The radix-4 last stage of span 2 alone at n = 8, its radix-2 form at n = 4.
            if (backward) {
                LastStage<E, true>(n, 2, a);
            } else {
                LastStage<E, false>(n, 2, a);
            }
            return;
        }
        ComplexStages<V>(n, a, t.w, t.rot, backward);
    }

    static void ComplexOfHalf(int n, const double* d, double* a, const SharedTables& t) {
        ComplexStagesOfHalf<V>(n, d, t.gather + t.gatherStart[Log2(n)], a, t.w, t.rot);
    }

    static void RealSplitPass(int n, double* a, const SharedTables& t, bool backward) {
        const int at = t.splitStart[Log2(n)];
        const double* wr = t.splitR + at;
        const double* wi = t.splitI + at;
        if (backward) {
            FinishEntries<V>(2, [&](auto lanes, int j) {
                return RealSplit<decltype(lanes), true>(j, n, a, wr, wi);
            });
        } else {
            FinishEntries<V>(2, [&](auto lanes, int j) {
                return RealSplit<decltype(lanes), false>(j, n, a, wr, wi);
            });
        }
    }

    static void Product(int n, const double* U, double* Vs) {
        FinishEntries<V>(2, [&](auto lanes, int k) { return SpectrumProduct<decltype(lanes)>(k, n, U, Vs); });
    }

    static void ProductAdd(int n, const double* U, const double* Vs, double* S) {
        FinishEntries<V>(2, [&](auto lanes, int k) {
            return SpectrumProductAdd<decltype(lanes)>(k, n, U, Vs, S);
        });
    }

    static int SplitDigits(int first, int last, const double* limbs, double* D) {
        return Finish<V>(first, [&](auto lanes, int j) {
            if (Wide(lanes) && last - j < kWideLimbs) return j;
            return SplitLimbs<decltype(lanes)>(TRANSFORM_BASE, first, j, last, limbs, D);
        });
    }

    static bool Balance(int filled, double* D) {
        constexpr double B = TRANSFORM_BASE;
        // A position reaches the half with the carry exactly when it does without it, unless the
        // carry is what lifts it there (a digit 49,999); where no digit is lifted so, each
        // position's carry is whether the one above reaches the half, and all positions are
        // balanced at once, without a branch on the random digits.
        bool lifted = false;
        Finish<V>(2, [&](auto lanes, int k) {
            if (lifted || (Wide(lanes) && filled < 2 * kWideLimbs)) return k;
            lifted = AnyLifted<decltype(lanes)>(B / 2, k, filled, D);
            return k;
        });
        if (lifted) return false;
        const double carry = filled > 2 && D[2] + 0.0 >= B / 2 ? 1.0 : 0.0;
        Finish<V>(2, [&](auto lanes, int k) {
            if (Wide(lanes) && filled < 2 * kWideLimbs) return k;
            return BalanceAll<decltype(lanes)>(B, k, filled, D);
        });
        D[1] += carry;
        return true;
    }

    static void Round(int j, int end, const double* x, double scale, uint64_t* code, bool track,
                      RoundState& state, double& most) {
        Finish<V>(j, [&](auto lanes, int k) {
            if (Wide(lanes) && end - k < 8) return k;
            return RoundPositions<decltype(lanes)>(k, end, x, scale, code, track, state, most);
        });
    }

    static void Pairs(const uint64_t* rests, int pairs, double* T) {
        Finish<V>(1, [&](auto lanes, int i) {
            return PairDigits<decltype(lanes)>(TRANSFORM_BASE, i, pairs, rests, T);
        });
    }

    static int Convolve(double half, const double* U, int lu, const double* Vd, int lv, double* out) {
        return ConvolveBlocks<V>(half, U, lu, Vd, lv, out);
    }

    static bool AnyLimbAtLeast(const double* p, int count, double bound) {
        bool any = false;
        Finish<V>(0, [&](auto lanes, int k) { return AnyAtLeast<decltype(lanes)>(k, count, p, bound, any); });
        return any;
    }

    static bool AllLimbsFinite(const double* p, int count) {
        bool finite = true;
        Finish<V>(0, [&](auto lanes, int k) { return AllFinite<decltype(lanes)>(k, count, p, finite); });
        return finite;
    }

    static constexpr TransformKernels Table(KernelSet set) {
        return {set,      &Complex, &ComplexOfHalf, &RealSplitPass, &Product,        &ProductAdd,
                &SplitDigits, &Balance, &Round, &Pairs,        &Convolve, &AnyLimbAtLeast,
                &AllLimbsFinite};
    }
};

}  // namespace
}  // namespace ostrel2

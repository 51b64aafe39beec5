// direct_convolution_vector.h -- the term-by-term convolution of direct_convolution.cpp, written
// once over a lane type (arith/vector_lanes.h): direct_convolution.cpp instantiates it at Lanes2,
// direct_convolution_avx.cpp, compiled for AVX, at Lanes4 behind DirectConvolveAvx. Every term
// and every sum is exact (direct_convolution.h), so the lanes may add them in any order. The
// template lies in an unnamed namespace for the reason vector_lanes.h gives.
#pragma once

#include "arith/vector_lanes.h"
#include "core/cpu_features.h"

namespace ostrel2 {

// Zeros a padded operand carries before its first digit and after its last.
constexpr int CONVOLUTION_PAD = 8;

#if OSTREL2_SSE2
namespace {

// out[k] <- half sum over i of U[i] V[k - i] for k = 0 .. lu + lv - 2, kRegisters registers of
// positions at a time (independent sums, so that the additions' latency overlaps); Vd points at
// digit 0 of an operand with CONVOLUTION_PAD zeros on either side of its lv digits. Writes whole
// steps: up to kStep - 1 positions past the last one (zeros), which out must have room for.
// Returns the first position not written.
template <class V>
int ConvolveBlocks(double half, const double* U, int lu, const double* Vd, int lv, double* out) {
    using Reg = typename V::Reg;
    constexpr int kRegisters = 2;
    constexpr int kStep = kRegisters * V::kDoubles;  // positions per step
    static_assert(kStep - 1 <= CONVOLUTION_PAD, "the loads stay within the padding");
    const int end = lu + lv - 1;
    int k = 0;
    for (; k < end; k += kStep) {
        // Terms with V's index k - i + t in 0 .. lv - 1 for some t < kStep; the others read zeros.
        const int first = k - (lv - 1) > 0 ? k - (lv - 1) : 0;
        const int last = k + kStep - 1 < lu - 1 ? k + kStep - 1 : lu - 1;
        Reg sum[kRegisters];
        for (int r = 0; r < kRegisters; ++r) sum[r] = V::Zero();
        for (int i = first; i <= last; ++i) {
            const Reg u = V::Set1(half * U[i]);
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
#endif

#if OSTREL2_AVX_PATHS
int DirectConvolveAvx(double half, const double* U, int lu, const double* Vd, int lv, double* out);
#endif

}  // namespace ostrel2

// vector_lanes.h -- the two vector widths the fast paths are written for, behind one interface:
// Lanes2, two doubles (one complex entry) per 128-bit SSE2 register, and Lanes4, four doubles (two
// complex entries) per 256-bit AVX register. A loop written once over a lane type runs at either
// width; each lane performs the scalar operation on the same operands, so both give the same bits.
//
// Lanes4 exists only in files compiled for AVX (the *_avx.cpp files). Everything here, and in the
// headers of stages built on it, lies in an unnamed namespace on purpose: a file compiled for AVX
// encodes even the 128-bit code in AVX instructions, and the linker must never let such a copy
// stand in for the one the other files run on processors without AVX.
#pragma once

#include "core/cpu_features.h"

#if OSTREL2_SSE2
#include <emmintrin.h>

#include <cstdint>
#if defined(__AVX__)
#include <immintrin.h>
#endif

namespace ostrel2 {
namespace {

struct Lanes2 {
    using Reg = __m128d;
    static constexpr int kDoubles = 2;   // doubles per register
    static constexpr int kEntries = 1;   // complex entries (re, im) per register
    static constexpr int kAllLanes = 3;  // MoveMask of a register whose every lane is set

    static Reg Load(const double* p) { return _mm_loadu_pd(p); }
    static void Store(double* p, Reg x) { _mm_storeu_pd(p, x); }
    static Reg Set1(double x) { return _mm_set1_pd(x); }
    static Reg Zero() { return _mm_setzero_pd(); }
    static Reg AllBits() { return _mm_castsi128_pd(_mm_set1_epi64x(-1)); }
    static Reg AbsMask() { return _mm_castsi128_pd(_mm_set1_epi64x(INT64_MAX)); }

    static Reg Add(Reg x, Reg y) { return _mm_add_pd(x, y); }
    static Reg Sub(Reg x, Reg y) { return _mm_sub_pd(x, y); }
    static Reg Mul(Reg x, Reg y) { return _mm_mul_pd(x, y); }
    static Reg Div(Reg x, Reg y) { return _mm_div_pd(x, y); }
    static Reg Max(Reg x, Reg y) { return _mm_max_pd(x, y); }
    static Reg And(Reg x, Reg y) { return _mm_and_pd(x, y); }
    static Reg AndNot(Reg x, Reg y) { return _mm_andnot_pd(x, y); }  // ~x & y
    static Reg Or(Reg x, Reg y) { return _mm_or_pd(x, y); }
    static Reg Xor(Reg x, Reg y) { return _mm_xor_pd(x, y); }
    static Reg GreaterEqual(Reg x, Reg y) { return _mm_cmpge_pd(x, y); }
    static Reg Less(Reg x, Reg y) { return _mm_cmplt_pd(x, y); }
    static Reg LessEqual(Reg x, Reg y) { return _mm_cmple_pd(x, y); }
    static int MoveMask(Reg x) { return _mm_movemask_pd(x); }

    // x truncated toward zero through a 32-bit integer (for |x| < 2^31 only).
    static Reg TruncThrough32(Reg x) { return _mm_cvtepi32_pd(_mm_cvttpd_epi32(x)); }

    // Complex entries: sign masks of the real and the imaginary parts, the parts exchanged, one
    // part in both places, and (pr - qr, pi + qi) per entry, here as p + q with q's real parts
    // negated (the same operation).
    static Reg RealSigns() { return _mm_set_pd(0.0, -0.0); }
    static Reg ImagSigns() { return _mm_set_pd(-0.0, 0.0); }
    static Reg SwapParts(Reg x) { return _mm_shuffle_pd(x, x, 1); }
    static Reg RealTwice(Reg x) { return _mm_unpacklo_pd(x, x); }
    static Reg ImagTwice(Reg x) { return _mm_unpackhi_pd(x, x); }
    static Reg SubAdd(Reg p, Reg q) { return _mm_add_pd(p, _mm_xor_pd(q, RealSigns())); }
    static Reg ReverseEntries(Reg x) { return x; }
    // The entry at p in every entry of the register.
    static Reg EntryEverywhere(const double* p) { return _mm_loadu_pd(p); }
    // Entries gathered from and scattered to at(0), at(1), ... (one here).
    template <class At>
    static Reg LoadEntries(At at) { return _mm_loadu_pd(at(0)); }
    template <class At>
    static void StoreEntries(At at, Reg x) { _mm_storeu_pd(at(0), x); }

    // p[2i] = high lane i, p[2i + 1] = low lane i.
    static void StoreInterleaved(double* p, Reg high, Reg low) {
        _mm_storeu_pd(p, _mm_unpacklo_pd(high, low));
        _mm_storeu_pd(p + 2, _mm_unpackhi_pd(high, low));
    }
};

#if defined(__AVX__)
struct Lanes4 {
    using Reg = __m256d;
    static constexpr int kDoubles = 4;
    static constexpr int kEntries = 2;
    static constexpr int kAllLanes = 15;

    static Reg Load(const double* p) { return _mm256_loadu_pd(p); }
    static void Store(double* p, Reg x) { _mm256_storeu_pd(p, x); }
    static Reg Set1(double x) { return _mm256_set1_pd(x); }
    static Reg Zero() { return _mm256_setzero_pd(); }
    static Reg AllBits() { return _mm256_castsi256_pd(_mm256_set1_epi64x(-1)); }
    static Reg AbsMask() { return _mm256_castsi256_pd(_mm256_set1_epi64x(INT64_MAX)); }

    static Reg Add(Reg x, Reg y) { return _mm256_add_pd(x, y); }
    static Reg Sub(Reg x, Reg y) { return _mm256_sub_pd(x, y); }
    static Reg Mul(Reg x, Reg y) { return _mm256_mul_pd(x, y); }
    static Reg Div(Reg x, Reg y) { return _mm256_div_pd(x, y); }
    static Reg Max(Reg x, Reg y) { return _mm256_max_pd(x, y); }
    static Reg And(Reg x, Reg y) { return _mm256_and_pd(x, y); }
    static Reg AndNot(Reg x, Reg y) { return _mm256_andnot_pd(x, y); }
    static Reg Or(Reg x, Reg y) { return _mm256_or_pd(x, y); }
    static Reg Xor(Reg x, Reg y) { return _mm256_xor_pd(x, y); }
    static Reg GreaterEqual(Reg x, Reg y) { return _mm256_cmp_pd(x, y, _CMP_GE_OQ); }
    static Reg Less(Reg x, Reg y) { return _mm256_cmp_pd(x, y, _CMP_LT_OQ); }
    static Reg LessEqual(Reg x, Reg y) { return _mm256_cmp_pd(x, y, _CMP_LE_OQ); }
    static int MoveMask(Reg x) { return _mm256_movemask_pd(x); }

    static Reg TruncThrough32(Reg x) { return _mm256_cvtepi32_pd(_mm256_cvttpd_epi32(x)); }

    static Reg RealSigns() { return _mm256_set_pd(0.0, -0.0, 0.0, -0.0); }
    static Reg ImagSigns() { return _mm256_set_pd(-0.0, 0.0, -0.0, 0.0); }
    static Reg SwapParts(Reg x) { return _mm256_permute_pd(x, 5); }
    static Reg RealTwice(Reg x) { return _mm256_unpacklo_pd(x, x); }
    static Reg ImagTwice(Reg x) { return _mm256_unpackhi_pd(x, x); }
    // The alternating subtract and add: the same operation as adding the sign-flipped q.
    static Reg SubAdd(Reg p, Reg q) { return _mm256_addsub_pd(p, q); }
    static Reg ReverseEntries(Reg x) { return _mm256_permute2f128_pd(x, x, 1); }
    static Reg EntryEverywhere(const double* p) {
        return _mm256_broadcast_pd(reinterpret_cast<const __m128d*>(p));
    }
    template <class At>
    static Reg LoadEntries(At at) {
        const __m128d low = _mm_loadu_pd(at(0));
        return _mm256_insertf128_pd(_mm256_castpd128_pd256(low), _mm_loadu_pd(at(1)), 1);
    }
    template <class At>
    static void StoreEntries(At at, Reg x) {
        _mm_storeu_pd(at(0), _mm256_castpd256_pd128(x));
        _mm_storeu_pd(at(1), _mm256_extractf128_pd(x, 1));
    }

    static void StoreInterleaved(double* p, Reg high, Reg low) {
        const Reg even = _mm256_unpacklo_pd(high, low);  // lanes 0 and 2
        const Reg odd = _mm256_unpackhi_pd(high, low);   // lanes 1 and 3
        _mm256_storeu_pd(p, _mm256_permute2f128_pd(even, odd, 0x20));
        _mm256_storeu_pd(p + 4, _mm256_permute2f128_pd(even, odd, 0x31));
    }
};
#endif

// The register of a lane type.
template <class V>
using Reg = typename V::Reg;

}  // namespace
}  // namespace ostrel2

#endif  // OSTREL2_SSE2

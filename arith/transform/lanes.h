// lanes.h -- the lane types the engine's kernels are written over: a kernel body takes its
// registers, loads, stores and arithmetic from a lane type, and each kernel set instantiates the
// same body at its own types (arith/transform/kernel_set.h):
//   PlainLanes<1>, PlainLanes<2>  one or two doubles in plain C++, which every processor runs;
//   Lanes2                        two doubles (one complex entry) per 128-bit SSE2 register;
//   Lanes4                        four doubles (two complex entries) per 256-bit AVX register.
// Each lane performs the same IEEE operation on the same operands at every width, so every set
// gives the same bits: a sign flipped by an exclusive or of the sign bit, a - b for a complex
// entry's real part formed as a + (-b), a comparison giving a lane of all ones or all zeros.
//
// Next names the narrower type that finishes what whole registers of a type leave (Lanes4 ->
// Lanes2 -> PlainLanes<1>; PlainLanes<2> -> PlainLanes<1>), Entry the type of one complex entry
// per register. Everything here lies in an unnamed namespace on purpose: the AVX set's file,
// compiled for AVX, encodes even the narrower types in AVX instructions, and the linker must never
// let such a copy stand in for the one the other sets run on processors without AVX.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define OSTREL2_SSE2 1
#include <emmintrin.h>
#else
#define OSTREL2_SSE2 0
#endif
#if defined(__AVX__)
#include <immintrin.h>
#endif

namespace ostrel2 {
namespace {

// Doubles in plain C++: kCount of them per register, one complex entry per two.
template <int kCount>
struct PlainLanes {
    struct Reg {
        double v[kCount];
    };
    static constexpr int kDoubles = kCount;
    static constexpr int kEntries = kCount / 2;
    static constexpr int kAllLanes = (1 << kCount) - 1;
    using Next = std::conditional_t<kCount == 1, void, PlainLanes<1>>;
    using Entry = std::conditional_t<kCount == 2, PlainLanes<2>, void>;

    static uint64_t Bits(double x) {
        uint64_t b;
        std::memcpy(&b, &x, sizeof b);
        return b;
    }
    static double FromBits(uint64_t b) {
        double x;
        std::memcpy(&x, &b, sizeof x);
        return x;
    }
    template <class F>
    static Reg Each(F f) {
        Reg r;
        for (int i = 0; i < kCount; ++i) r.v[i] = f(i);
        return r;
    }
    static Reg Mask(bool on) { return Each([on](int) { return FromBits(on ? ~uint64_t{0} : 0); }); }
    template <class F>
    static Reg EachBits(Reg x, Reg y, F f) {
        return Each([&](int i) { return FromBits(f(Bits(x.v[i]), Bits(y.v[i]))); });
    }
    template <class F>
    static Reg EachMask(Reg x, Reg y, F f) {
        return Each([&](int i) { return FromBits(f(x.v[i], y.v[i]) ? ~uint64_t{0} : 0); });
    }

    static Reg Load(const double* p) { return Each([p](int i) { return p[i]; }); }
    static void Store(double* p, Reg x) {
        for (int i = 0; i < kCount; ++i) p[i] = x.v[i];
    }
    static Reg Set1(double x) { return Each([x](int) { return x; }); }
    static Reg Zero() { return Set1(0.0); }
    static Reg AllBits() { return Mask(true); }
    static Reg AbsMask() { return Each([](int) { return FromBits(INT64_MAX); }); }
    // Whole numbers below 2^52 read exactly as doubles; their encodings stored as they are.
    static Reg LoadSmallWhole(const uint64_t* p) {
        return Each([p](int i) { return static_cast<double>(static_cast<int64_t>(p[i])); });
    }
    static void StoreBits(uint64_t* p, Reg x) {
        for (int i = 0; i < kCount; ++i) p[i] = Bits(x.v[i]);
    }

    static Reg Add(Reg x, Reg y) { return Each([&](int i) { return x.v[i] + y.v[i]; }); }
    static Reg Sub(Reg x, Reg y) { return Each([&](int i) { return x.v[i] - y.v[i]; }); }
    static Reg Mul(Reg x, Reg y) { return Each([&](int i) { return x.v[i] * y.v[i]; }); }
    static Reg Div(Reg x, Reg y) { return Each([&](int i) { return x.v[i] / y.v[i]; }); }
    // x where x > y, else y (y where either is NaN), as the vector instruction chooses.
    static Reg Max(Reg x, Reg y) { return Each([&](int i) { return x.v[i] > y.v[i] ? x.v[i] : y.v[i]; }); }
    static Reg And(Reg x, Reg y) { return EachBits(x, y, [](uint64_t a, uint64_t b) { return a & b; }); }
    static Reg AndNot(Reg x, Reg y) {  // ~x & y
        return EachBits(x, y, [](uint64_t a, uint64_t b) { return ~a & b; });
    }
    static Reg Or(Reg x, Reg y) { return EachBits(x, y, [](uint64_t a, uint64_t b) { return a | b; }); }
    static Reg Xor(Reg x, Reg y) { return EachBits(x, y, [](uint64_t a, uint64_t b) { return a ^ b; }); }
    static Reg GreaterEqual(Reg x, Reg y) { return EachMask(x, y, [](double a, double b) { return a >= b; }); }
    static Reg Less(Reg x, Reg y) { return EachMask(x, y, [](double a, double b) { return a < b; }); }
    static Reg LessEqual(Reg x, Reg y) { return EachMask(x, y, [](double a, double b) { return a <= b; }); }
    static Reg Ordered(Reg x, Reg y) {  // neither is NaN
        return EachMask(x, y, [](double a, double b) { return a == a && b == b; });
    }
    static int MoveMask(Reg x) {
        int m = 0;
        for (int i = 0; i < kCount; ++i) m |= static_cast<int>(Bits(x.v[i]) >> 63) << i;
        return m;
    }
    // x truncated toward zero through a 32-bit integer (for |x| < 2^31 only).
    static Reg TruncThrough32(Reg x) {
        return Each([&](int i) { return static_cast<double>(static_cast<int32_t>(x.v[i])); });
    }

    // Complex entries (pairs of lanes): sign masks of the real and the imaginary parts, the parts
    // exchanged, one part in both places, and (pr - qr, pi + qi) as p + q with q's real part
    // negated, as the two-lane type forms it.
    static Reg RealSigns() { return Each([](int i) { return i % 2 ? 0.0 : -0.0; }); }
    static Reg ImagSigns() { return Each([](int i) { return i % 2 ? -0.0 : 0.0; }); }
    static Reg SwapParts(Reg x) { return Each([&](int i) { return x.v[i ^ 1]; }); }
    static Reg RealTwice(Reg x) { return Each([&](int i) { return x.v[i & ~1]; }); }
    static Reg ImagTwice(Reg x) { return Each([&](int i) { return x.v[i | 1]; }); }
    static Reg SubAdd(Reg p, Reg q) { return Add(p, Xor(q, RealSigns())); }
    static Reg ReverseEntries(Reg x) { return Each([&](int i) { return x.v[(kCount - 2 - (i & ~1)) | (i & 1)]; }); }
    static Reg EntryEverywhere(const double* p) { return Each([p](int i) { return p[i & 1]; }); }
    template <class At>
    static Reg LoadEntries(At at) { return Each([&](int i) { return at(i / 2)[i & 1]; }); }
    template <class At>
    static void StoreEntries(At at, Reg x) {
        for (int i = 0; i < kCount; ++i) at(i / 2)[i & 1] = x.v[i];
    }

    // p[2i] = high lane i, p[2i + 1] = low lane i.
    static void StoreInterleaved(double* p, Reg high, Reg low) {
        for (int i = 0; i < kCount; ++i) {
            p[2 * i] = high.v[i];
            p[2 * i + 1] = low.v[i];
        }
    }
};

#if OSTREL2_SSE2
struct Lanes2 {
    using Reg = __m128d;
    static constexpr int kDoubles = 2;
    static constexpr int kEntries = 1;
    static constexpr int kAllLanes = 3;
    using Next = PlainLanes<1>;
    using Entry = Lanes2;

    static Reg Load(const double* p) { return _mm_loadu_pd(p); }
    static void Store(double* p, Reg x) { _mm_storeu_pd(p, x); }
    static Reg Set1(double x) { return _mm_set1_pd(x); }
    static Reg Zero() { return _mm_setzero_pd(); }
    static Reg AllBits() { return _mm_castsi128_pd(_mm_set1_epi64x(-1)); }
    static Reg AbsMask() { return _mm_castsi128_pd(_mm_set1_epi64x(INT64_MAX)); }
    // Below 2^52 the encoding of 2^52 + r is 2^52's with r in its low bits: r exactly, less 2^52.
    static Reg LoadSmallWhole(const uint64_t* p) {
        const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const Reg two52 = _mm_set1_pd(4503599627370496.0);
        return _mm_sub_pd(_mm_or_pd(_mm_castsi128_pd(r), two52), two52);
    }
    static void StoreBits(uint64_t* p, Reg x) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_castpd_si128(x));
    }

    static Reg Add(Reg x, Reg y) { return _mm_add_pd(x, y); }
    static Reg Sub(Reg x, Reg y) { return _mm_sub_pd(x, y); }
    static Reg Mul(Reg x, Reg y) { return _mm_mul_pd(x, y); }
    static Reg Div(Reg x, Reg y) { return _mm_div_pd(x, y); }
    static Reg Max(Reg x, Reg y) { return _mm_max_pd(x, y); }
    static Reg And(Reg x, Reg y) { return _mm_and_pd(x, y); }
    static Reg AndNot(Reg x, Reg y) { return _mm_andnot_pd(x, y); }
    static Reg Or(Reg x, Reg y) { return _mm_or_pd(x, y); }
    static Reg Xor(Reg x, Reg y) { return _mm_xor_pd(x, y); }
    static Reg GreaterEqual(Reg x, Reg y) { return _mm_cmpge_pd(x, y); }
    static Reg Less(Reg x, Reg y) { return _mm_cmplt_pd(x, y); }
    static Reg LessEqual(Reg x, Reg y) { return _mm_cmple_pd(x, y); }
    static Reg Ordered(Reg x, Reg y) { return _mm_cmpord_pd(x, y); }
    static int MoveMask(Reg x) { return _mm_movemask_pd(x); }
    static Reg TruncThrough32(Reg x) { return _mm_cvtepi32_pd(_mm_cvttpd_epi32(x)); }

    static Reg RealSigns() { return _mm_set_pd(0.0, -0.0); }
    static Reg ImagSigns() { return _mm_set_pd(-0.0, 0.0); }
    static Reg SwapParts(Reg x) { return _mm_shuffle_pd(x, x, 1); }
    static Reg RealTwice(Reg x) { return _mm_unpacklo_pd(x, x); }
    static Reg ImagTwice(Reg x) { return _mm_unpackhi_pd(x, x); }
    static Reg SubAdd(Reg p, Reg q) { return _mm_add_pd(p, _mm_xor_pd(q, RealSigns())); }
    static Reg ReverseEntries(Reg x) { return x; }
    static Reg EntryEverywhere(const double* p) { return _mm_loadu_pd(p); }
    template <class At>
    static Reg LoadEntries(At at) { return _mm_loadu_pd(at(0)); }
    template <class At>
    static void StoreEntries(At at, Reg x) { _mm_storeu_pd(at(0), x); }

    static void StoreInterleaved(double* p, Reg high, Reg low) {
        _mm_storeu_pd(p, _mm_unpacklo_pd(high, low));
        _mm_storeu_pd(p + 2, _mm_unpackhi_pd(high, low));
    }
};
#endif  // OSTREL2_SSE2

#if defined(__AVX__)
struct Lanes4 {
    using Reg = __m256d;
    static constexpr int kDoubles = 4;
    static constexpr int kEntries = 2;
    static constexpr int kAllLanes = 15;
    using Next = Lanes2;
    using Entry = Lanes2;

    static Reg Load(const double* p) { return _mm256_loadu_pd(p); }
    static void Store(double* p, Reg x) { _mm256_storeu_pd(p, x); }
    static Reg Set1(double x) { return _mm256_set1_pd(x); }
    static Reg Zero() { return _mm256_setzero_pd(); }
    static Reg AllBits() { return _mm256_castsi256_pd(_mm256_set1_epi64x(-1)); }
    static Reg AbsMask() { return _mm256_castsi256_pd(_mm256_set1_epi64x(INT64_MAX)); }
    static Reg LoadSmallWhole(const uint64_t* p) {
        const Reg r = _mm256_castsi256_pd(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
        const Reg two52 = _mm256_set1_pd(4503599627370496.0);
        return _mm256_sub_pd(_mm256_or_pd(r, two52), two52);
    }
    static void StoreBits(uint64_t* p, Reg x) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm256_castpd_si256(x));
    }

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
    static Reg Ordered(Reg x, Reg y) { return _mm256_cmp_pd(x, y, _CMP_ORD_Q); }
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
#endif  // __AVX__

// The register of a lane type.
template <class V>
using Reg = typename V::Reg;

}  // namespace
}  // namespace ostrel2

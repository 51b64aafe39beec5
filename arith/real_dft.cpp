// real_dft.cpp -- the real discrete Fourier transform: tables, bit reversal, the radix-4 complex
// stages and the real-split passes.
#include "arith/real_dft.h"

#include <cmath>
#include <cstdint>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define OSTREL2_DFT_SSE2 1
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define OSTREL2_DFT_AVX 1
#define OSTREL2_TARGET_AVX __attribute__((target("avx")))
#endif
#endif

namespace ostrel2 {

namespace {

// Exchanges the complex entries (a[x], a[x+1]) and (a[y], a[y+1]).
inline void SwapEntries(double* a, int x, int y) {
    const double re = a[x];
    const double im = a[x + 1];
    a[x] = a[y];
    a[x + 1] = a[y + 1];
    a[y] = re;
    a[y + 1] = im;
}

struct Twiddles {
    double w1r, w1i;  // rotation of the second quarter
    double w2r, w2i;  // rotation of the third quarter (the square of the first)
    double w3r, w3i;  // rotation of the fourth quarter (the cube of the first)
};

// One radix-4 butterfly on the entries at j, j + l, j + 2l, j + 3l (indices in doubles):
// with y0 = x0 + x1, y1 = x0 - x1, y2 = x2 + x3, y3 = x2 - x3, the entries become
// y0 + y2, w1 (y1 + i y3), w2 (y0 - y2), w3 (y1 - i y3).
inline void Butterfly(double* a, int j, int l, const Twiddles& t) {
    const int j1 = j + l;
    const int j2 = j1 + l;
    const int j3 = j2 + l;
    const double y0r = a[j] + a[j1];
    const double y0i = a[j + 1] + a[j1 + 1];
    const double y1r = a[j] - a[j1];
    const double y1i = a[j + 1] - a[j1 + 1];
    const double y2r = a[j2] + a[j3];
    const double y2i = a[j2 + 1] + a[j3 + 1];
    const double y3r = a[j2] - a[j3];
    const double y3i = a[j2 + 1] - a[j3 + 1];
    a[j] = y0r + y2r;
    a[j + 1] = y0i + y2i;
    double xr = y0r - y2r;
    double xi = y0i - y2i;
    a[j2] = t.w2r * xr - t.w2i * xi;
    a[j2 + 1] = t.w2r * xi + t.w2i * xr;
    xr = y1r - y3i;
    xi = y1i + y3r;
    a[j1] = t.w1r * xr - t.w1i * xi;
    a[j1 + 1] = t.w1r * xi + t.w1i * xr;
    xr = y1r + y3i;
    xi = y1i - y3r;
    a[j3] = t.w3r * xr - t.w3i * xi;
    a[j3 + 1] = t.w3r * xi + t.w3i * xr;
}

// The butterfly with unit rotations.
inline void ButterflyUnit(double* a, int j, int l) {
    const int j1 = j + l;
    const int j2 = j1 + l;
    const int j3 = j2 + l;
    const double y0r = a[j] + a[j1];
    const double y0i = a[j + 1] + a[j1 + 1];
    const double y1r = a[j] - a[j1];
    const double y1i = a[j + 1] - a[j1 + 1];
    const double y2r = a[j2] + a[j3];
    const double y2i = a[j2 + 1] + a[j3 + 1];
    const double y3r = a[j2] - a[j3];
    const double y3i = a[j2 + 1] - a[j3 + 1];
    a[j] = y0r + y2r;
    a[j + 1] = y0i + y2i;
    a[j2] = y0r - y2r;
    a[j2 + 1] = y0i - y2i;
    a[j1] = y1r - y3i;
    a[j1 + 1] = y1i + y3r;
    a[j3] = y1r + y3i;
    a[j3 + 1] = y1i - y3r;
}

// The butterfly of the block whose rotations are the eighth root of unity r = (c, c), i = r^2
// and r^3 = (-c, c); c = w[2] enters both parts of each rotation.
inline void ButterflyEighth(double* a, int j, int l, double c) {
    const int j1 = j + l;
    const int j2 = j1 + l;
    const int j3 = j2 + l;
    const double y0r = a[j] + a[j1];
    const double y0i = a[j + 1] + a[j1 + 1];
    const double y1r = a[j] - a[j1];
    const double y1i = a[j + 1] - a[j1 + 1];
    const double y2r = a[j2] + a[j3];
    const double y2i = a[j2 + 1] + a[j3 + 1];
    const double y3r = a[j2] - a[j3];
    const double y3i = a[j2 + 1] - a[j3 + 1];
    a[j] = y0r + y2r;
    a[j + 1] = y0i + y2i;
    a[j2] = y2i - y0i;
    a[j2 + 1] = y0r - y2r;
    double xr = y1r - y3i;
    double xi = y1i + y3r;
    a[j1] = c * (xr - xi);
    a[j1 + 1] = c * (xr + xi);
    xr = y3i + y1r;
    xi = y3r - y1i;
    a[j3] = c * (xi - xr);
    a[j3 + 1] = c * (xi + xr);
}

// Rotations of the first (k1) and second (k1 + 2) block of pair k1 = 2, 4, ...: the first takes
// w2 = w[k1], w1 = w[2 k1]; the second w1 = w[2 k1 + 2] and w2 turned by a quarter, i w[k1].
// The third rotation is formed as w1 (1 - 4 w1i^2) and w1i (4 w1r^2 - 1) through w2 = w1^2.
inline void PairTwiddles(const double* w, int k1, Twiddles& first, Twiddles& second) {
    const double wk2r = w[k1];
    const double wk2i = w[k1 + 1];
    double wk1r = w[2 * k1];
    double wk1i = w[2 * k1 + 1];
    first.w1r = wk1r;
    first.w1i = wk1i;
    first.w2r = wk2r;
    first.w2i = wk2i;
    first.w3r = wk1r - 2 * wk2i * wk1i;
    first.w3i = 2 * wk2i * wk1r - wk1i;
    wk1r = w[2 * k1 + 2];
    wk1i = w[2 * k1 + 3];
    second.w1r = wk1r;
    second.w1i = wk1i;
    second.w2r = -wk2i;
    second.w2i = wk2r;
    second.w3r = wk1r - 2 * wk2r * wk1i;
    second.w3i = 2 * wk2r * wk1r - wk1i;
}

// The rotations of every pair of blocks, formed once by PairTwiddles for all stages and lengths
// (they depend on k1 alone): pair k1 = 2p + 2 at rot + ROTATION_STRIDE p holds, for each of w1r,
// w1i, w2r, w2i, w3r, w3i in turn, four doubles: the first block's value twice, then the second
// block's value twice, ready for vector loads.
constexpr int ROTATION_PAIRS = DFT_MAX_LENGTH / 16;
constexpr int ROTATION_STRIDE = 24;

void BuildRotations(const double* w, double* rot) {
    for (int p = 0; p < ROTATION_PAIRS; ++p) {
        Twiddles first;
        Twiddles second;
        PairTwiddles(w, 2 * p + 2, first, second);
        const double f[6] = {first.w1r, first.w1i, first.w2r, first.w2i, first.w3r, first.w3i};
        const double g[6] = {second.w1r, second.w1i, second.w2r, second.w2i, second.w3r, second.w3i};
        double* r = rot + ROTATION_STRIDE * p;
        for (int c = 0; c < 6; ++c) {
            r[4 * c] = r[4 * c + 1] = f[c];
            r[4 * c + 2] = r[4 * c + 3] = g[c];
        }
    }
}

// Radix-4 stage of span l over blocks of m = 4l doubles: block 0 unrotated, block 1 by the
// eighth root, and each later pair of blocks with rotations from the twiddle table.
void Radix4Stage(int n, int l, double* a, const double* w) {
    const int m = 4 * l;
    for (int j = 0; j < l; j += 2) ButterflyUnit(a, j, l);
    if (m < n) {
        const double c = w[2];
        for (int j = m; j < l + m; j += 2) ButterflyEighth(a, j, l, c);
    }
    int k1 = 0;
    for (int k = 2 * m; k < n; k += 2 * m) {
        k1 += 2;
        Twiddles first;
        Twiddles second;
        PairTwiddles(w, k1, first, second);
        for (int j = k; j < l + k; j += 2) Butterfly(a, j, l, first);
        for (int j = k + m; j < l + k + m; j += 2) Butterfly(a, j, l, second);
    }
}

// The stages the two complex directions share; returns the span of the last stage.
int SharedStages(int n, double* a, const double* w) {
    int l = 2;
    if (n > 8) {
        Radix4FirstStage(n, a, w);
        l = 8;
        while (4 * l < n) {
            Radix4MiddleStage(n, l, a, w);
            l *= 4;
        }
    }
    return l;
}

#if OSTREL2_DFT_SSE2
// The same butterflies with one complex entry per 128-bit register. Every lane performs the
// scalar code's operations on the same operands in the same order (a - b computed as a + (-b),
// which rounds alike), so the results are the same bits.
namespace vec {

inline __m128d Swap(__m128d x) { return _mm_shuffle_pd(x, x, 1); }
inline __m128d NegLow() { return _mm_set_pd(0.0, -0.0); }
inline __m128d NegHigh() { return _mm_set_pd(-0.0, 0.0); }

// (wr xr - wi xi, wr xi + wi xr)
inline __m128d Rotate(__m128d x, __m128d wr, __m128d wi) {
    const __m128d p = _mm_mul_pd(wr, x);
    const __m128d q = _mm_xor_pd(_mm_mul_pd(wi, Swap(x)), NegLow());
    return _mm_add_pd(p, q);
}

struct Quarter {
    __m128d x0, x2, x1, x3;  // y0 + y2, y0 - y2, y1 + i y3, y1 - i y3
};

// The four combinations of x0 .. x3 with y0 = x0 + x1, y1 = x0 - x1, y2 = x2 + x3, y3 = x2 - x3.
inline Quarter Combine(__m128d y0, __m128d y1, __m128d y2, __m128d y3) {
    const __m128d s3 = Swap(y3);
    return {_mm_add_pd(y0, y2), _mm_sub_pd(y0, y2), _mm_add_pd(y1, _mm_xor_pd(s3, NegLow())),
            _mm_add_pd(y1, _mm_xor_pd(s3, NegHigh()))};
}

inline Quarter Combine(const double* a, int j, int l) {
    const __m128d a0 = _mm_loadu_pd(a + j);
    const __m128d a1 = _mm_loadu_pd(a + j + l);
    const __m128d a2 = _mm_loadu_pd(a + j + 2 * l);
    const __m128d a3 = _mm_loadu_pd(a + j + 3 * l);
    return Combine(_mm_add_pd(a0, a1), _mm_sub_pd(a0, a1), _mm_add_pd(a2, a3), _mm_sub_pd(a2, a3));
}

// Combine where x1 and x3 are the entry +0: x0 + 0 is still added (it turns -0 into +0, as the
// full butterfly does), x0 - 0 is x0 itself for every x0.
inline Quarter CombineWithZeros(const double* x0, const double* x2) {
    const __m128d zero = _mm_setzero_pd();
    const __m128d a0 = _mm_loadu_pd(x0);
    const __m128d a2 = _mm_loadu_pd(x2);
    return Combine(_mm_add_pd(a0, zero), a0, _mm_add_pd(a2, zero), a2);
}

inline void StoreUnit(double* a, int j, int l, const Quarter& q) {
    _mm_storeu_pd(a + j, q.x0);
    _mm_storeu_pd(a + j + l, q.x1);
    _mm_storeu_pd(a + j + 2 * l, q.x2);
    _mm_storeu_pd(a + j + 3 * l, q.x3);
}

inline void StoreEighth(double* a, int j, int l, const Quarter& q, __m128d c) {
    _mm_storeu_pd(a + j, q.x0);
    _mm_storeu_pd(a + j + 2 * l, _mm_xor_pd(Swap(q.x2), NegLow()));
    // c (x1r - x1i, x1r + x1i)
    __m128d lo = _mm_unpacklo_pd(q.x1, q.x1);
    __m128d hi = _mm_unpackhi_pd(q.x1, q.x1);
    _mm_storeu_pd(a + j + l, _mm_mul_pd(c, _mm_add_pd(lo, _mm_xor_pd(hi, NegLow()))));
    // c (-(x3r + x3i), x3r - x3i)
    lo = _mm_unpacklo_pd(q.x3, q.x3);
    hi = _mm_unpackhi_pd(q.x3, q.x3);
    const __m128d v = _mm_xor_pd(_mm_add_pd(lo, _mm_xor_pd(hi, NegHigh())), NegLow());
    _mm_storeu_pd(a + j + 3 * l, _mm_mul_pd(c, v));
}

struct Rotations {
    __m128d w1r, w1i, w2r, w2i, w3r, w3i;
};

// The rotations of one block from the pair's entry r of the rotation table (r + 2: second block).
inline Rotations LoadRotations(const double* r) {
    return {_mm_loadu_pd(r),      _mm_loadu_pd(r + 4),  _mm_loadu_pd(r + 8),
            _mm_loadu_pd(r + 12), _mm_loadu_pd(r + 16), _mm_loadu_pd(r + 20)};
}

inline void StoreRotated(double* a, int j, int l, const Quarter& q, const Rotations& t) {
    _mm_storeu_pd(a + j, q.x0);
    _mm_storeu_pd(a + j + 2 * l, Rotate(q.x2, t.w2r, t.w2i));
    _mm_storeu_pd(a + j + l, Rotate(q.x1, t.w1r, t.w1i));
    _mm_storeu_pd(a + j + 3 * l, Rotate(q.x3, t.w3r, t.w3i));
}

inline void ButterflyUnit(double* a, int j, int l) { StoreUnit(a, j, l, Combine(a, j, l)); }

inline void ButterflyEighth(double* a, int j, int l, __m128d c) {
    StoreEighth(a, j, l, Combine(a, j, l), c);
}

inline void Butterfly(double* a, int j, int l, const Rotations& t) {
    StoreRotated(a, j, l, Combine(a, j, l), t);
}

// The first radix-4 stage (span 2) of a transform whose input had its upper half zero, read from
// that input's lower half d through the bit reversal: after the permutation every odd complex
// entry is zero, and the even entry 2e holds d's entry at double offset g[e]. Writes all n values
// of a with the bits the permutation and the full first stage would give.
// The first two blocks of that stage (unrotated and by the eighth root).
inline void FirstBlocksWithZeros(const double* d, const uint16_t* g, double* a, const double* w) {
    StoreUnit(a, 0, 2, CombineWithZeros(d + g[0], d + g[1]));
    StoreEighth(a, 8, 2, CombineWithZeros(d + g[2], d + g[3]), _mm_set1_pd(w[2]));
}

void FirstStageWithZeros(int n, const double* d, const uint16_t* g, double* a, const double* w,
                         const double* rot) {
    FirstBlocksWithZeros(d, g, a, w);
    for (int k = 16; k < n; k += 16) {
        const double* r = rot + ROTATION_STRIDE * (k / 16 - 1);
        const int e = k / 4;
        StoreRotated(a, k, 2, CombineWithZeros(d + g[e], d + g[e + 1]), LoadRotations(r));
        StoreRotated(a, k + 8, 2, CombineWithZeros(d + g[e + 2], d + g[e + 3]), LoadRotations(r + 2));
    }
}

void Radix4Stage(int n, int l, double* a, const double* w, const double* rot) {
    const int m = 4 * l;
    for (int j = 0; j < l; j += 2) ButterflyUnit(a, j, l);
    if (m < n) {
        const __m128d c = _mm_set1_pd(w[2]);
        for (int j = m; j < l + m; j += 2) ButterflyEighth(a, j, l, c);
    }
    const double* r = rot;
    for (int k = 2 * m; k < n; k += 2 * m, r += ROTATION_STRIDE) {
        const Rotations r1 = LoadRotations(r);
        const Rotations r2 = LoadRotations(r + 2);
        for (int j = k; j < l + k; j += 2) Butterfly(a, j, l, r1);
        for (int j = k + m; j < l + k + m; j += 2) Butterfly(a, j, l, r2);
    }
}

// One step of a real-split pass on the pair of entries at j and k = n - j, with its rotation held
// twice in wr and wi. Forward: y = (wr xr - wi xi, wr xi + wi xr) from x = (a[j] - a[k],
// a[j+1] + a[k+1]); a[j] -= y, a[k] += conj(y). Backward: y = (wr xr + wi xi, wr xi - wi xr);
// a[j] <- (a[j] - yr, yi - a[j+1]), a[k] <- (a[k] + yr, yi - a[k+1]).
template <bool kBackward>
inline void SplitStep(double* a, int j, int k, __m128d wr, __m128d wi) {
    const __m128d aj = _mm_loadu_pd(a + j);
    const __m128d ak = _mm_loadu_pd(a + k);
    const __m128d x = _mm_add_pd(aj, _mm_xor_pd(ak, NegLow()));
    const __m128d p = _mm_mul_pd(wr, x);
    const __m128d q = _mm_mul_pd(wi, Swap(x));
    if (!kBackward) {
        const __m128d y = _mm_add_pd(p, _mm_xor_pd(q, NegLow()));
        _mm_storeu_pd(a + j, _mm_sub_pd(aj, y));
        _mm_storeu_pd(a + k, _mm_add_pd(ak, _mm_xor_pd(y, NegHigh())));
    } else {
        const __m128d y = _mm_add_pd(p, _mm_xor_pd(q, NegHigh()));
        _mm_storeu_pd(a + j, _mm_add_pd(_mm_xor_pd(aj, NegHigh()), _mm_xor_pd(y, NegLow())));
        _mm_storeu_pd(a + k, _mm_add_pd(_mm_xor_pd(ak, NegHigh()), y));
    }
}

// The real-split pass over the steps j = 2, 4, ... below n/2; wr[2i], wr[2i+1] (and wi) hold the
// rotation of step j = 2i + 2.
template <bool kBackward>
void RealSplit(int n, double* a, const double* wr, const double* wi) {
    const int m = n >> 1;
    for (int j = 2; j < m; j += 2)
        SplitStep<kBackward>(a, j, n - j, _mm_loadu_pd(wr + j - 2), _mm_loadu_pd(wi + j - 2));
}

// Complex products of the packed spectrum entries 2 .. n-1: (u v) = (ur vr - ui vi, ur vi + ui vr).
inline __m128d ComplexProduct(__m128d u, __m128d v) {
    const __m128d p = _mm_mul_pd(_mm_unpacklo_pd(u, u), v);
    const __m128d q = _mm_mul_pd(_mm_unpackhi_pd(u, u), Swap(v));
    return _mm_add_pd(p, _mm_xor_pd(q, NegLow()));
}

}  // namespace vec
#endif

#if OSTREL2_DFT_AVX
// Two complex entries per 256-bit register for the stages whose quarters hold at least two
// entries; each lane again performs exactly the scalar operations. Chosen at run time.
namespace wide {

OSTREL2_TARGET_AVX inline __m256d Swap(__m256d x) { return _mm256_permute_pd(x, 5); }
OSTREL2_TARGET_AVX inline __m256d NegLow() { return _mm256_set_pd(0.0, -0.0, 0.0, -0.0); }
OSTREL2_TARGET_AVX inline __m256d NegHigh() { return _mm256_set_pd(-0.0, 0.0, -0.0, 0.0); }

// (wr xr - wi xi, wr xi + wi xr): the alternating subtract and add is the same operation as
// adding the negated product.
OSTREL2_TARGET_AVX inline __m256d Rotate(__m256d x, __m256d wr, __m256d wi) {
    return _mm256_addsub_pd(_mm256_mul_pd(wr, x), _mm256_mul_pd(wi, Swap(x)));
}

struct Quarter {
    __m256d x0, x2, x1, x3;
};

// The radix-4 combinations of the quarters y0 .. y3: y1 + i y3 = y1 + t and y1 - i y3 = y1 - t
// with t = (-y3i, y3r), the same operations as adding (-y3i, y3r) and (y3i, -y3r).
OSTREL2_TARGET_AVX inline Quarter CombineHalves(__m256d y0, __m256d y1, __m256d y2, __m256d y3) {
    const __m256d t = _mm256_xor_pd(Swap(y3), NegLow());
    return {_mm256_add_pd(y0, y2), _mm256_sub_pd(y0, y2), _mm256_add_pd(y1, t),
            _mm256_sub_pd(y1, t)};
}

OSTREL2_TARGET_AVX inline Quarter Combine(const double* a, int j, int l) {
    const __m256d a0 = _mm256_loadu_pd(a + j);
    const __m256d a1 = _mm256_loadu_pd(a + j + l);
    const __m256d a2 = _mm256_loadu_pd(a + j + 2 * l);
    const __m256d a3 = _mm256_loadu_pd(a + j + 3 * l);
    const __m256d y0 = _mm256_add_pd(a0, a1);
    const __m256d y1 = _mm256_sub_pd(a0, a1);
    const __m256d y2 = _mm256_add_pd(a2, a3);
    const __m256d y3 = _mm256_sub_pd(a2, a3);
    return CombineHalves(y0, y1, y2, y3);
}

OSTREL2_TARGET_AVX inline void ButterflyUnit(double* a, int j, int l) {
    const Quarter q = Combine(a, j, l);
    _mm256_storeu_pd(a + j, q.x0);
    _mm256_storeu_pd(a + j + l, q.x1);
    _mm256_storeu_pd(a + j + 2 * l, q.x2);
    _mm256_storeu_pd(a + j + 3 * l, q.x3);
}

OSTREL2_TARGET_AVX inline void ButterflyEighth(double* a, int j, int l, __m256d c) {
    const Quarter q = Combine(a, j, l);
    _mm256_storeu_pd(a + j, q.x0);
    _mm256_storeu_pd(a + j + 2 * l, _mm256_xor_pd(Swap(q.x2), NegLow()));
    __m256d lo = _mm256_unpacklo_pd(q.x1, q.x1);
    __m256d hi = _mm256_unpackhi_pd(q.x1, q.x1);
    _mm256_storeu_pd(a + j + l, _mm256_mul_pd(c, _mm256_add_pd(lo, _mm256_xor_pd(hi, NegLow()))));
    lo = _mm256_unpacklo_pd(q.x3, q.x3);
    hi = _mm256_unpackhi_pd(q.x3, q.x3);
    const __m256d v = _mm256_xor_pd(_mm256_add_pd(lo, _mm256_xor_pd(hi, NegHigh())), NegLow());
    _mm256_storeu_pd(a + j + 3 * l, _mm256_mul_pd(c, v));
}

struct Rotations {
    __m256d w1r, w1i, w2r, w2i, w3r, w3i;
};

OSTREL2_TARGET_AVX inline void Butterfly(double* a, int j, int l, const Rotations& t) {
    const Quarter q = Combine(a, j, l);
    _mm256_storeu_pd(a + j, q.x0);
    _mm256_storeu_pd(a + j + 2 * l, Rotate(q.x2, t.w2r, t.w2i));
    _mm256_storeu_pd(a + j + l, Rotate(q.x1, t.w1r, t.w1i));
    _mm256_storeu_pd(a + j + 3 * l, Rotate(q.x3, t.w3r, t.w3i));
}

// The rotations of one block, in all four lanes, from the rotation table (r + 2: second block).
OSTREL2_TARGET_AVX inline __m256d BroadcastTwo(const double* r) {
    return _mm256_broadcast_pd(reinterpret_cast<const __m128d*>(r));
}

OSTREL2_TARGET_AVX inline Rotations LoadRotations(const double* r) {
    return {BroadcastTwo(r),      BroadcastTwo(r + 4),  BroadcastTwo(r + 8),
            BroadcastTwo(r + 12), BroadcastTwo(r + 16), BroadcastTwo(r + 20)};
}

// The rotations of a pair of blocks: the first block's in the low lanes, the second's in the high.
OSTREL2_TARGET_AVX inline Rotations LoadPairRotations(const double* r) {
    return {_mm256_loadu_pd(r),      _mm256_loadu_pd(r + 4),  _mm256_loadu_pd(r + 8),
            _mm256_loadu_pd(r + 12), _mm256_loadu_pd(r + 16), _mm256_loadu_pd(r + 20)};
}

OSTREL2_TARGET_AVX inline __m256d LoadTwo(const double* low, const double* high) {
    return _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(low)), _mm_loadu_pd(high), 1);
}

OSTREL2_TARGET_AVX inline void StoreTwo(double* low, double* high, __m256d x) {
    _mm_storeu_pd(low, _mm256_castpd256_pd128(x));
    _mm_storeu_pd(high, _mm256_extractf128_pd(x, 1));
}


// Stores the rotated quarters of the block pair at k (span 2): first block in the low lanes at k,
// second in the high lanes at k + 8.
OSTREL2_TARGET_AVX inline void StorePair(double* a, int k, const Quarter& q, const Rotations& t) {
    StoreTwo(a + k, a + k + 8, q.x0);
    StoreTwo(a + k + 4, a + k + 12, Rotate(q.x2, t.w2r, t.w2i));
    StoreTwo(a + k + 2, a + k + 10, Rotate(q.x1, t.w1r, t.w1i));
    StoreTwo(a + k + 6, a + k + 14, Rotate(q.x3, t.w3r, t.w3i));
}

// The rotated blocks of the first radix-4 stage (span 2), from k = 16 on, the two blocks of a pair
// in one register.
OSTREL2_TARGET_AVX void FirstStagePairs(int n, double* a, const double* rot) {
    for (int k = 16; k < n; k += 16) {
        const __m256d a0 = LoadTwo(a + k, a + k + 8);
        const __m256d a1 = LoadTwo(a + k + 2, a + k + 10);
        const __m256d a2 = LoadTwo(a + k + 4, a + k + 12);
        const __m256d a3 = LoadTwo(a + k + 6, a + k + 14);
        const Quarter q = CombineHalves(_mm256_add_pd(a0, a1), _mm256_sub_pd(a0, a1),
                                        _mm256_add_pd(a2, a3), _mm256_sub_pd(a2, a3));
        StorePair(a, k, q, LoadPairRotations(rot + ROTATION_STRIDE * (k / 16 - 1)));
    }
}

// The same for the transform of a half read through the bit reversal (see vec's version).
OSTREL2_TARGET_AVX void FirstStagePairsWithZeros(int n, const double* d, const uint16_t* g, double* a,
                                                 const double* rot) {
    const __m256d zero = _mm256_setzero_pd();
    for (int k = 16; k < n; k += 16) {
        const int e = k / 4;
        const __m256d a0 = LoadTwo(d + g[e], d + g[e + 2]);
        const __m256d a2 = LoadTwo(d + g[e + 1], d + g[e + 3]);
        const Quarter q = CombineHalves(_mm256_add_pd(a0, zero), a0, _mm256_add_pd(a2, zero), a2);
        StorePair(a, k, q, LoadPairRotations(rot + ROTATION_STRIDE * (k / 16 - 1)));
    }
}

// Radix-4 stage of span l >= 4.
OSTREL2_TARGET_AVX void Radix4Stage(int n, int l, double* a, const double* w, const double* rot) {
    const int m = 4 * l;
    for (int j = 0; j < l; j += 4) ButterflyUnit(a, j, l);
    if (m < n) {
        const __m256d c = _mm256_set1_pd(w[2]);
        for (int j = m; j < l + m; j += 4) ButterflyEighth(a, j, l, c);
    }
    const double* r = rot;
    for (int k = 2 * m; k < n; k += 2 * m, r += ROTATION_STRIDE) {
        const Rotations r1 = LoadRotations(r);
        const Rotations r2 = LoadRotations(r + 2);
        for (int j = k; j < l + k; j += 4) Butterfly(a, j, l, r1);
        for (int j = k + m; j < l + k + m; j += 4) Butterfly(a, j, l, r2);
    }
}

// The last stage (span l, 2l or 4l = n), which covers every entry once; with kConjugate the
// backward direction's conjugation (the imaginary parts negated after it) is applied to each value
// as it is stored.
template <bool kConjugate>
OSTREL2_TARGET_AVX inline void Put(double* at, __m256d x) {
    _mm256_storeu_pd(at, kConjugate ? _mm256_xor_pd(x, NegHigh()) : x);
}

template <bool kConjugate>
OSTREL2_TARGET_AVX void LastStage(int n, int l, double* a) {
    if (4 * l == n) {
        for (int j = 0; j < l; j += 4) {
            const Quarter q = Combine(a, j, l);
            Put<kConjugate>(a + j, q.x0);
            Put<kConjugate>(a + j + l, q.x1);
            Put<kConjugate>(a + j + 2 * l, q.x2);
            Put<kConjugate>(a + j + 3 * l, q.x3);
        }
    } else {
        for (int j = 0; j < l; j += 4) {
            const __m256d x0 = _mm256_loadu_pd(a + j);
            const __m256d x1 = _mm256_loadu_pd(a + j + l);
            Put<kConjugate>(a + j, _mm256_add_pd(x0, x1));
            Put<kConjugate>(a + j + l, _mm256_sub_pd(x0, x1));
        }
    }
}

// Every stage after the first, and the last one, for n >= 16.
OSTREL2_TARGET_AVX void LaterStages(int n, double* a, const double* w, const double* rot,
                                    bool backward) {
    int l = 8;
    while (4 * l < n) {
        Radix4Stage(n, l, a, w, rot);
        l *= 4;
    }
    if (backward) {
        LastStage<true>(n, l, a);
    } else {
        LastStage<false>(n, l, a);
    }
}

// The real-split pass with two steps per register: the steps j and j + 2 pair with the entries
// n - j and n - j - 2, which lie in the opposite order, so those halves are exchanged.
template <bool kBackward>
OSTREL2_TARGET_AVX void RealSplit(int n, double* a, const double* wr, const double* wi) {
    const int m = n >> 1;
    int j = 2;
    for (; j + 2 < m; j += 4) {
        const int k = n - j - 2;
        const __m256d aj = _mm256_loadu_pd(a + j);
        const __m256d kk = _mm256_loadu_pd(a + k);
        const __m256d ak = _mm256_permute2f128_pd(kk, kk, 1);
        const __m256d wR = _mm256_loadu_pd(wr + j - 2);
        const __m256d wI = _mm256_loadu_pd(wi + j - 2);
        const __m256d x = _mm256_addsub_pd(aj, ak);  // (ajr - akr, aji + aki)
        const __m256d p = _mm256_mul_pd(wR, x);
        const __m256d q = _mm256_mul_pd(wI, Swap(x));
        __m256d newJ;
        __m256d newK;
        if (!kBackward) {
            const __m256d y = _mm256_addsub_pd(p, q);
            newJ = _mm256_sub_pd(aj, y);
            newK = _mm256_add_pd(ak, _mm256_xor_pd(y, NegHigh()));
        } else {
            const __m256d y = _mm256_add_pd(p, _mm256_xor_pd(q, NegHigh()));
            newJ = _mm256_add_pd(_mm256_xor_pd(aj, NegHigh()), _mm256_xor_pd(y, NegLow()));
            newK = _mm256_add_pd(_mm256_xor_pd(ak, NegHigh()), y);
        }
        _mm256_storeu_pd(a + j, newJ);
        _mm256_storeu_pd(a + k, _mm256_permute2f128_pd(newK, newK, 1));
    }
    for (; j < m; j += 2)
        vec::SplitStep<kBackward>(a, j, n - j, _mm_loadu_pd(wr + j - 2), _mm_loadu_pd(wi + j - 2));
}

// Complex products of the spectrum entries 2 .. n-1, two per register, the last one alone.
OSTREL2_TARGET_AVX void SpectrumProduct(int n, const double* U, double* V) {
    int k = 2;
    for (; k + 3 < n; k += 4) {
        const __m256d u = _mm256_loadu_pd(U + k);
        const __m256d v = _mm256_loadu_pd(V + k);
        const __m256d p = _mm256_mul_pd(_mm256_unpacklo_pd(u, u), v);
        const __m256d q = _mm256_mul_pd(_mm256_unpackhi_pd(u, u), Swap(v));
        _mm256_storeu_pd(V + k, _mm256_addsub_pd(p, q));
    }
    for (; k < n; k += 2)
        _mm_storeu_pd(V + k, vec::ComplexProduct(_mm_loadu_pd(U + k), _mm_loadu_pd(V + k)));
}

// Products of the spectrum entries 2 .. n-1 added to S's entries, two per register.
OSTREL2_TARGET_AVX void SpectrumProductAdd(int n, const double* U, const double* V, double* S) {
    int k = 2;
    for (; k + 3 < n; k += 4) {
        const __m256d u = _mm256_loadu_pd(U + k);
        const __m256d v = _mm256_loadu_pd(V + k);
        const __m256d p = _mm256_mul_pd(_mm256_unpacklo_pd(u, u), v);
        const __m256d q = _mm256_mul_pd(_mm256_unpackhi_pd(u, u), Swap(v));
        const __m256d product = _mm256_addsub_pd(p, q);
        _mm256_storeu_pd(S + k, _mm256_add_pd(product, _mm256_loadu_pd(S + k)));
    }
    for (; k < n; k += 2) {
        const __m128d product = vec::ComplexProduct(_mm_loadu_pd(U + k), _mm_loadu_pd(V + k));
        _mm_storeu_pd(S + k, _mm_add_pd(product, _mm_loadu_pd(S + k)));
    }
}

}  // namespace wide

bool HasAvx() {
    static const bool avx = __builtin_cpu_supports("avx");
    return avx;
}
#endif

// The complex transform through the vector stages where there are any, for the shared tables.
// With firstDone, the first radix-4 stage (n > 8 only) has already been applied.
void FastComplex(int n, double* a, const double* w, const double* rot, bool backward,
                 bool allowAvx, bool firstDone = false) {
#if OSTREL2_DFT_AVX
    if (n >= 16 && allowAvx && HasAvx()) {
        if (!firstDone) {
            vec::ButterflyUnit(a, 0, 2);
            vec::ButterflyEighth(a, 8, 2, _mm_set1_pd(w[2]));
            wide::FirstStagePairs(n, a, rot);
        }
        wide::LaterStages(n, a, w, rot, backward);
        return;
    }
#endif
#if OSTREL2_DFT_SSE2
    int l = 2;
    if (n > 8) {
        if (!firstDone) vec::Radix4Stage(n, 2, a, w, rot);
        l = 8;
        while (4 * l < n) {
            vec::Radix4Stage(n, l, a, w, rot);
            l *= 4;
        }
    }
    if (4 * l == n) {
        for (int j = 0; j < l; j += 2) vec::ButterflyUnit(a, j, l);
    } else {
        for (int j = 0; j < l; j += 2) {
            const __m128d x0 = _mm_loadu_pd(a + j);
            const __m128d x1 = _mm_loadu_pd(a + j + l);
            _mm_storeu_pd(a + j, _mm_add_pd(x0, x1));
            _mm_storeu_pd(a + j + l, _mm_sub_pd(x0, x1));
        }
    }
    if (backward) {
        for (int j = 0; j < 4 * l && j < n; j += 2) a[j + 1] = -a[j + 1];
    }
#else
    (void)rot;
    (void)allowAvx;
    (void)firstDone;
    if (backward) {
        ComplexBackward(n, a, w);
    } else {
        ComplexForward(n, a, w);
    }
#endif
}

}  // namespace

void MakeTwiddleTable(int nw, int* ip, double* w) {
    ip[0] = nw;
    ip[1] = 1;
    if (nw > 2) {
        const int h = nw >> 1;
        const double delta = std::atan(1.0) / h;
        w[0] = 1;
        w[1] = 0;
        w[h] = std::cos(delta * h);
        w[h + 1] = w[h];
        if (h > 2) {
            for (int j = 2; j < h; j += 2) {
                const double x = std::cos(delta * j);
                const double y = std::sin(delta * j);
                w[j] = x;
                w[j + 1] = y;
                w[nw - j] = y;
                w[nw - j + 1] = x;
            }
            BitReverse(nw, ip + 2, w);
        }
    }
}

void MakeCosineTable(int nc, int* ip, double* c) {
    ip[1] = nc;
    if (nc > 1) {
        const int h = nc >> 1;
        const double delta = std::atan(1.0) / h;
        c[0] = std::cos(delta * h);
        c[h] = 0.5 * c[0];
        for (int j = 1; j < h; ++j) {
            c[j] = 0.5 * std::cos(delta * j);
            c[nc - j] = 0.5 * std::sin(delta * j);
        }
    }
}

void BitReverse(int n, int* ip, double* a) {
    ip[0] = 0;
    int l = n;
    int m = 1;
    while ((m << 3) < l) {
        l >>= 1;
        for (int j = 0; j < m; ++j) ip[m + j] = ip[j] + l;
        m <<= 1;
    }
    const int m2 = 2 * m;
    if ((m << 3) == l) {
        for (int k = 0; k < m; ++k) {
            for (int j = 0; j < k; ++j) {
                const int j1 = 2 * j + ip[k];
                const int k1 = 2 * k + ip[j];
                SwapEntries(a, j1, k1);
                SwapEntries(a, j1 + m2, k1 + 2 * m2);
                SwapEntries(a, j1 + 2 * m2, k1 + m2);
                SwapEntries(a, j1 + 3 * m2, k1 + 3 * m2);
            }
            const int k1 = 2 * k + m2 + ip[k];
            SwapEntries(a, k1, k1 + m2);
        }
    } else {
        for (int k = 1; k < m; ++k) {
            for (int j = 0; j < k; ++j) {
                const int j1 = 2 * j + ip[k];
                const int k1 = 2 * k + ip[j];
                SwapEntries(a, j1, k1);
                SwapEntries(a, j1 + m2, k1 + m2);
            }
        }
    }
}

void Radix4FirstStage(int n, double* a, const double* w) { Radix4Stage(n, 2, a, w); }

void Radix4MiddleStage(int n, int l, double* a, const double* w) { Radix4Stage(n, l, a, w); }

void ComplexForward(int n, double* a, const double* w) {
    const int l = SharedStages(n, a, w);
    if (4 * l == n) {
        for (int j = 0; j < l; j += 2) ButterflyUnit(a, j, l);
    } else {
        for (int j = 0; j < l; j += 2) {
            const int j1 = j + l;
            const double xr = a[j] - a[j1];
            const double xi = a[j + 1] - a[j1 + 1];
            a[j] += a[j1];
            a[j + 1] += a[j1 + 1];
            a[j1] = xr;
            a[j1 + 1] = xi;
        }
    }
}

void ComplexBackward(int n, double* a, const double* w) {
    const int l = SharedStages(n, a, w);
    if (4 * l == n) {
        for (int j = 0; j < l; j += 2) {
            ButterflyUnit(a, j, l);
            a[j + 1] = -a[j + 1];
            a[j + l + 1] = -a[j + l + 1];
            a[j + 2 * l + 1] = -a[j + 2 * l + 1];
            a[j + 3 * l + 1] = -a[j + 3 * l + 1];
        }
    } else {
        for (int j = 0; j < l; j += 2) {
            const int j1 = j + l;
            const double xr = a[j] - a[j1];
            const double xi = a[j + 1] - a[j1 + 1];
            a[j] += a[j1];
            a[j + 1] = -(a[j + 1] + a[j1 + 1]);
            a[j1] = xr;
            a[j1 + 1] = -xi;
        }
    }
}

void RealSplitForward(int n, double* a, int nc, const double* c) {
    const int m = n >> 1;
    const int ks = 2 * nc / m;
    int kk = 0;
    for (int j = 2; j < m; j += 2) {
        const int k = n - j;
        kk += ks;
        const double wkr = 0.5 - c[nc - kk];
        const double wki = c[kk];
        const double xr = a[j] - a[k];
        const double xi = a[j + 1] + a[k + 1];
        const double yr = wkr * xr - wki * xi;
        const double yi = wkr * xi + wki * xr;
        a[j] -= yr;
        a[j + 1] -= yi;
        a[k] += yr;
        a[k + 1] -= yi;
    }
}

void RealSplitBackward(int n, double* a, int nc, const double* c) {
    a[1] = -a[1];
    const int m = n >> 1;
    const int ks = 2 * nc / m;
    int kk = 0;
    for (int j = 2; j < m; j += 2) {
        const int k = n - j;
        kk += ks;
        const double wkr = 0.5 - c[nc - kk];
        const double wki = c[kk];
        const double xr = a[j] - a[k];
        const double xi = a[j + 1] + a[k + 1];
        const double yr = wkr * xr + wki * xi;
        const double yi = wkr * xi - wki * xr;
        a[j] -= yr;
        a[j + 1] = yi - a[j + 1];
        a[k] += yr;
        a[k + 1] = yi - a[k + 1];
    }
    a[m + 1] = -a[m + 1];
}

void RealDft(int n, int direction, double* a, int* ip, double* w) {
    int nw = ip[0];
    if (n > 4 * nw) {
        nw = n >> 2;
        MakeTwiddleTable(nw, ip, w);
    }
    int nc = ip[1];
    if (n > 4 * nc) {
        nc = n >> 2;
        MakeCosineTable(nc, ip, w + nw);
    }
    if (direction >= 0) {
        if (n > 4) {
            BitReverse(n, ip + 2, a);
            ComplexForward(n, a, w);
            RealSplitForward(n, a, nc, w + nw);
        } else if (n == 4) {
            ComplexForward(n, a, w);
        }
        const double difference = a[0] - a[1];
        a[0] += a[1];
        a[1] = difference;
    } else {
        a[1] = 0.5 * (a[0] - a[1]);
        a[0] -= a[1];
        if (n > 4) {
            RealSplitBackward(n, a, nc, w + nw);
            BitReverse(n, ip + 2, a);
            ComplexBackward(n, a, w);
        } else if (n == 4) {
            ComplexForward(n, a, w);
        }
    }
}

namespace {

// Tables for the longest transform and, for every length, the exchanges of its bit reversal as
// pairs of indices into a (entries e < reverse(e) only).
struct SharedTables {
    double w[DFT_TABLE_SLOTS];
    int nw;
    int nc;
    uint16_t pairs[2 * DFT_MAX_LENGTH];
    int pairStart[12];  // pairs of length 2^k in pairs[pairStart[k] .. pairStart[k + 1])
    // Rotations of the real-split steps of length 2^k, each twice in a row for vector loads:
    // splitR / splitI + splitStart[k] + 2i - 2 hold wkr = 0.5 - c[nc - kk] and wki = c[kk] of
    // step j = 2i, formed once with the plain pass's operations.
    double splitR[DFT_MAX_LENGTH];
    double splitI[DFT_MAX_LENGTH];
    int splitStart[12];
    // For length 2^k, where the even complex entry p lands after the bit reversal of an input
    // whose upper half is zero: gather[gatherStart[k] + p/2] = the double offset 2 reverse(p).
    uint16_t gather[DFT_MAX_LENGTH / 2];
    int gatherStart[12];
    double rot[ROTATION_PAIRS * ROTATION_STRIDE];  // see BuildRotations
};

SharedTables BuildSharedTables() {
    SharedTables t{};
    int ip[DFT_INDEX_SLOTS] = {};
    t.nw = DFT_MAX_LENGTH / 4;
    t.nc = DFT_MAX_LENGTH / 4;
    MakeTwiddleTable(t.nw, ip, t.w);
    MakeCosineTable(t.nc, ip, t.w + t.nw);
    int count = 0;
    for (int k = 0; k <= 10; ++k) {
        t.pairStart[k] = count;
        const int entries = (1 << k) / 2;
        if (entries < 4) continue;
        const int bits = k - 1;
        for (int e = 0; e < entries; ++e) {
            int r = 0;
            for (int b = 0; b < bits; ++b)
                if (e & (1 << b)) r |= 1 << (bits - 1 - b);
            if (e < r) {
                t.pairs[count++] = static_cast<uint16_t>(2 * e);
                t.pairs[count++] = static_cast<uint16_t>(2 * r);
            }
        }
    }
    t.pairStart[11] = count;
    const double* c = t.w + t.nw;
    int at = 0;
    for (int k = 0; k <= 10; ++k) {
        t.splitStart[k] = at;
        const int n = 1 << k;
        const int m = n >> 1;
        if (n <= 4) continue;
        const int ks = 2 * t.nc / m;
        int kk = 0;
        for (int j = 2; j < m; j += 2) {
            kk += ks;
            const double wkr = 0.5 - c[t.nc - kk];
            const double wki = c[kk];
            t.splitR[at] = t.splitR[at + 1] = wkr;
            t.splitI[at] = t.splitI[at + 1] = wki;
            at += 2;
        }
    }
    t.splitStart[11] = at;
    at = 0;
    for (int k = 0; k <= 10; ++k) {
        t.gatherStart[k] = at;
        const int entries = (1 << k) / 2;
        if (entries < 2) continue;
        const int bits = k - 1;
        for (int p = 0; p < entries; p += 2) {
            int r = 0;
            for (int b = 0; b < bits; ++b)
                if (p & (1 << b)) r |= 1 << (bits - 1 - b);
            t.gather[at++] = static_cast<uint16_t>(2 * r);
        }
    }
    t.gatherStart[11] = at;
    BuildRotations(t.w, t.rot);
    return t;
}

const SharedTables& Shared() {
    static const SharedTables tables = BuildSharedTables();
    return tables;
}

int Log2(int n) {
    int k = 0;
    while ((1 << k) < n) ++k;
    return k;
}

void SharedBitReverse(const SharedTables& t, int n, double* a) {
    const int k = Log2(n);
#if OSTREL2_DFT_SSE2
    // Each complex entry moved whole in one register.
    for (int i = t.pairStart[k]; i < t.pairStart[k + 1]; i += 2) {
        double* x = a + t.pairs[i];
        double* y = a + t.pairs[i + 1];
        const __m128d entry = _mm_loadu_pd(x);
        _mm_storeu_pd(x, _mm_loadu_pd(y));
        _mm_storeu_pd(y, entry);
    }
#else
    for (int i = t.pairStart[k]; i < t.pairStart[k + 1]; i += 2) SwapEntries(a, t.pairs[i], t.pairs[i + 1]);
#endif
}

}  // namespace

namespace {

// Real-split pass through the shared step rotations, in vectors where there are any.
void SharedSplit(const SharedTables& t, int n, double* a, bool backward, bool allowAvx) {
#if OSTREL2_DFT_SSE2
    const int at = t.splitStart[Log2(n)];
    const double* wr = t.splitR + at;
    const double* wi = t.splitI + at;
#if OSTREL2_DFT_AVX
    if (allowAvx && HasAvx()) {
        if (backward) {
            wide::RealSplit<true>(n, a, wr, wi);
        } else {
            wide::RealSplit<false>(n, a, wr, wi);
        }
        return;
    }
#endif
    if (backward) {
        vec::RealSplit<true>(n, a, wr, wi);
    } else {
        vec::RealSplit<false>(n, a, wr, wi);
    }
#else
    (void)allowAvx;
    if (backward) {
        RealSplitBackward(n, a, t.nc, t.w + t.nw);
    } else {
        RealSplitForward(n, a, t.nc, t.w + t.nw);
    }
#endif
}

void SharedTransform(int n, int direction, double* a, bool allowAvx) {
    const SharedTables& t = Shared();
    const double* w = t.w;
    if (direction >= 0) {
        if (n > 4) {
            SharedBitReverse(t, n, a);
            FastComplex(n, a, w, t.rot, false, allowAvx);
            SharedSplit(t, n, a, false, allowAvx);
        } else if (n == 4) {
            ComplexForward(n, a, w);
        }
        const double difference = a[0] - a[1];
        a[0] += a[1];
        a[1] = difference;
    } else {
        a[1] = 0.5 * (a[0] - a[1]);
        a[0] -= a[1];
        if (n > 4) {
            a[1] = -a[1];
            SharedSplit(t, n, a, true, allowAvx);
            a[n / 2 + 1] = -a[n / 2 + 1];
            SharedBitReverse(t, n, a);
            FastComplex(n, a, w, t.rot, true, allowAvx);
        } else if (n == 4) {
            ComplexForward(n, a, w);
        }
    }
}

// Forward transform of d's n/2 values followed by n/2 zeros, into a.
void SharedTransformOfHalf(int n, const double* d, double* a, bool allowAvx) {
#if OSTREL2_DFT_SSE2
    if (n >= 16) {
        const SharedTables& t = Shared();
        const uint16_t* g = t.gather + t.gatherStart[Log2(n)];
#if OSTREL2_DFT_AVX
        if (allowAvx && HasAvx()) {
            vec::FirstBlocksWithZeros(d, g, a, t.w);
            wide::FirstStagePairsWithZeros(n, d, g, a, t.rot);
        } else {
            vec::FirstStageWithZeros(n, d, g, a, t.w, t.rot);
        }
#else
        vec::FirstStageWithZeros(n, d, g, a, t.w, t.rot);
#endif
        FastComplex(n, a, t.w, t.rot, false, allowAvx, true);
        SharedSplit(t, n, a, false, allowAvx);
        const double difference = a[0] - a[1];
        a[0] += a[1];
        a[1] = difference;
        return;
    }
#endif
    for (int i = 0; i < n / 2; ++i) a[i] = d[i];
    for (int i = n / 2; i < n; ++i) a[i] = 0.0;
    SharedTransform(n, 1, a, allowAvx);
}

}  // namespace

void SharedRealDft(int n, int direction, double* a) { SharedTransform(n, direction, a, true); }

void SharedRealDftOfHalf(int n, const double* d, double* a) { SharedTransformOfHalf(n, d, a, true); }

void SharedRealDftOfHalfWithoutAvx(int n, const double* d, double* a) {
    SharedTransformOfHalf(n, d, a, false);
}

void SharedRealDftWithoutAvx(int n, int direction, double* a) {
    SharedTransform(n, direction, a, false);
}

void SharedSpectrumProduct(int n, const double* U, double* V) {
    V[0] = U[0] * V[0];
    V[1] = U[1] * V[1];
#if OSTREL2_DFT_AVX
    if (HasAvx()) {
        wide::SpectrumProduct(n, U, V);
        return;
    }
#endif
#if OSTREL2_DFT_SSE2
    for (int k = 2; k < n; k += 2)
        _mm_storeu_pd(V + k, vec::ComplexProduct(_mm_loadu_pd(U + k), _mm_loadu_pd(V + k)));
#else
    for (int k = 2; k < n; k += 2) {
        const double re = U[k] * V[k] - U[k + 1] * V[k + 1];
        const double im = U[k] * V[k + 1] + U[k + 1] * V[k];
        V[k] = re;
        V[k + 1] = im;
    }
#endif
}

bool HasAvxStages() {
#if OSTREL2_DFT_AVX
    return HasAvx();
#else
    return false;
#endif
}

void SharedSpectrumProductAdd(int n, const double* U, const double* V, double* S) {
    S[0] = U[0] * V[0] + S[0];
    S[1] = U[1] * V[1] + S[1];
#if OSTREL2_DFT_AVX
    if (HasAvx()) {
        wide::SpectrumProductAdd(n, U, V, S);
        return;
    }
#endif
#if OSTREL2_DFT_SSE2
    for (int k = 2; k < n; k += 2) {
        const __m128d product = vec::ComplexProduct(_mm_loadu_pd(U + k), _mm_loadu_pd(V + k));
        _mm_storeu_pd(S + k, _mm_add_pd(product, _mm_loadu_pd(S + k)));
    }
#else
    for (int k = 2; k < n; k += 2) {
        const double re = U[k] * V[k] - U[k + 1] * V[k + 1];
        const double im = U[k] * V[k + 1] + U[k + 1] * V[k];
        S[k] = re + S[k];
        S[k + 1] = im + S[k + 1];
    }
#endif
}

}  // namespace ostrel2

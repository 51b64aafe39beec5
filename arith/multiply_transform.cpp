// multiply_transform.cpp -- the product of two records by convolution of base-100,000 digits
// through the real discrete Fourier transform: upper x upper plus the two cross products.
#include "arith/multiply_transform.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define OSTREL2_CONVERT_SSE2 1
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define OSTREL2_CONVERT_AVX 1
#define OSTREL2_CONVERT_TARGET_AVX __attribute__((target("avx")))
#endif
#endif

#include "arith/real_dft.h"
#include "arith/transform_digits.h"
#include "core/diagnostics.h"

namespace ostrel2 {

namespace {

// Truncation toward zero with the same result as std::trunc for every double (signed zeros,
// infinities and NaN included), through a 32-bit conversion: the values met in the digit
// conversion are small, and the general sequence is several times slower on the carry chain.
inline double Trunc(double x) {
    return std::fabs(x) < 2147483647.0 ? std::copysign(static_cast<double>(static_cast<int32_t>(x)), x)
                                       : std::trunc(x);
}

}  // namespace

int TransformLength(int32_t precision) {
    int n = 32;
    while (n < 2 * (precision + GUARD_LIMBS + 1)) n *= 2;
    return n;
}

namespace {

// The three header slots: the top digit, the position of digit 0 in units of five decimal digits,
// and the sign.
void Header(const double* D, const WorkLong& x, int off, double* H) {
    H[0] = D[0];
    H[1] = static_cast<double>(x.exponent / 5 + 1 - off);
    H[2] = static_cast<double>(x.sign);
}

// Balances digits 2 .. top - 1 into -B/2 .. B/2 - 1 from the end toward the front; the last carry
// goes into position 1, and position 0 keeps its plain value.
void BalanceDigits(double B, int top, double* D) {
    const double halfBase = B / 2;
    double carry = 0.0;
    for (int k = top - 1; k >= 2; --k) {
        const double v = D[k] + carry;
        const bool over = v >= halfBase;  // selected, not branched: digits are random
        D[k] = over ? v - B : v;
        carry = over ? 1.0 : 0.0;
    }
    D[1] += carry;
}

// The last limb of x that the half starting at digit off takes: the half spans n/2 digits (n/4
// limbs), cut at x's last live limb.
int LastLimbOfHalf(int n, int off, const WorkLong& x) {
    int last = (off + n / 2) / 2 - 1;
    if (last > LastLimb(x)) last = LastLimb(x);
    if (last > WORK_LIMBS - 1) last = WORK_LIMBS - 1;
    return last;
}

// Digits of one half of x into D[0 .. n/2 - 1], balanced, and the header into H[0 .. 2]; the
// carry of the balancing pass goes into position 1 only.
void HalfDigits(double B, int n, int off, const WorkLong& x, double* D, double* H) {
    const int h = n / 2;
    const int first = off / 2;
    const int last = LastLimbOfHalf(n, off, x);
    int pos = 0;
    for (int j = first; j <= last; ++j) {
        const double high = Trunc(x.limbs[j] / B);
        D[pos++] = high;
        D[pos++] = x.limbs[j] - B * high;
    }
    while (pos < h) D[pos++] = 0.0;
    Header(D, x, off, H);
    BalanceDigits(B, h, D);
}

#if OSTREL2_CONVERT_SSE2
// Whether any digit at k .. filled - 1 (k and filled even) reaches the half only with a carry.
inline bool AnyLiftedNarrow(double halfBase, int k, int filled, const double* D) {
    const __m128d vHalf = _mm_set1_pd(halfBase);
    const __m128d vOne = _mm_set1_pd(1.0);
    const __m128d vZero = _mm_setzero_pd();
    __m128d lifted = vZero;
    for (; k + 1 < filled; k += 2) {
        const __m128d d = _mm_loadu_pd(D + k);
        lifted = _mm_or_pd(lifted, _mm_andnot_pd(_mm_cmpge_pd(_mm_add_pd(d, vZero), vHalf),
                                                 _mm_cmpge_pd(_mm_add_pd(d, vOne), vHalf)));
    }
    return _mm_movemask_pd(lifted) != 0;
}

// The all-at-once balancing of positions k .. filled - 1 (k and filled even): each position takes
// the carry of whether the one above reaches the half.
inline void BalanceAllNarrow(double B, int k, int filled, double* D) {
    const __m128d vHalf = _mm_set1_pd(B / 2);
    const __m128d vOne = _mm_set1_pd(1.0);
    const __m128d vZero = _mm_setzero_pd();
    const __m128d vB = _mm_set1_pd(B);
    for (; k + 1 < filled; k += 2) {
        const __m128d d = _mm_loadu_pd(D + k);
        const __m128d above = _mm_loadu_pd(D + k + 1);
        const __m128d c = _mm_and_pd(_mm_cmpge_pd(_mm_add_pd(above, vZero), vHalf), vOne);
        const __m128d v = _mm_add_pd(d, c);
        _mm_storeu_pd(D + k, _mm_sub_pd(v, _mm_and_pd(_mm_cmpge_pd(v, vHalf), vB)));
    }
}
#endif

#if OSTREL2_CONVERT_AVX
constexpr int kWideLimbs = 64;  // fewer limbs than this gain nothing from the wider loops

// The vector loops of FastHalfDigits four lanes wide, each lane with the same operations; each
// stops where fewer than a whole group is left (or, in the split, at limbs too large for the
// 32-bit truncation) and leaves the rest to the two-lane loops.
// Returns the first limb not split; limb j goes to D[2 (j - start)].
OSTREL2_CONVERT_TARGET_AVX int SplitLimbsWide(double B, int j, int last, const double* limbs,
                                              double* D) {
    const int start = j;
    const __m256d vB = _mm256_set1_pd(B);
    const __m256d vLimit = _mm256_set1_pd(2147483647.0);
    const __m256d vAbs = _mm256_castsi256_pd(_mm256_set1_epi64x(INT64_MAX));
    for (; j + 3 <= last; j += 4) {
        const __m256d x = _mm256_loadu_pd(limbs + j);
        const __m256d q = _mm256_div_pd(x, vB);
        const __m256d mag = _mm256_and_pd(q, vAbs);
        if (_mm256_movemask_pd(_mm256_cmp_pd(mag, vLimit, _CMP_LT_OQ)) != 15) break;
        const __m256d whole = _mm256_cvtepi32_pd(_mm256_cvttpd_epi32(q));
        const __m256d high = _mm256_or_pd(_mm256_and_pd(whole, vAbs), _mm256_andnot_pd(vAbs, q));
        const __m256d low = _mm256_sub_pd(x, _mm256_mul_pd(vB, high));
        const __m256d even = _mm256_unpacklo_pd(high, low);  // limbs j and j + 2
        const __m256d odd = _mm256_unpackhi_pd(high, low);   // limbs j + 1 and j + 3
        _mm256_storeu_pd(D + 2 * (j - start), _mm256_permute2f128_pd(even, odd, 0x20));
        _mm256_storeu_pd(D + 2 * (j - start) + 4, _mm256_permute2f128_pd(even, odd, 0x31));
    }
    return j;
}

// Whether any digit at 2 .. k - 1 reaches the half only with a carry, for the k returned.
OSTREL2_CONVERT_TARGET_AVX int AnyLiftedWide(double halfBase, int filled, const double* D,
                                             bool& any) {
    int k = 2;
    const __m256d vHalf = _mm256_set1_pd(halfBase);
    const __m256d vOne = _mm256_set1_pd(1.0);
    const __m256d vZero = _mm256_setzero_pd();
    __m256d lifted = vZero;
    for (; k + 3 < filled; k += 4) {
        const __m256d d = _mm256_loadu_pd(D + k);
        lifted = _mm256_or_pd(
            lifted, _mm256_andnot_pd(_mm256_cmp_pd(_mm256_add_pd(d, vZero), vHalf, _CMP_GE_OQ),
                                     _mm256_cmp_pd(_mm256_add_pd(d, vOne), vHalf, _CMP_GE_OQ)));
    }
    any = _mm256_movemask_pd(lifted) != 0;
    return k;
}

// The all-at-once balancing of positions 2 .. k - 1, for the k returned.
OSTREL2_CONVERT_TARGET_AVX int BalanceAllWide(double B, int filled, double* D) {
    int k = 2;
    const __m256d vHalf = _mm256_set1_pd(B / 2);
    const __m256d vOne = _mm256_set1_pd(1.0);
    const __m256d vZero = _mm256_setzero_pd();
    const __m256d vB = _mm256_set1_pd(B);
    for (; k + 3 < filled; k += 4) {
        const __m256d d = _mm256_loadu_pd(D + k);
        const __m256d above = _mm256_loadu_pd(D + k + 1);
        const __m256d c = _mm256_and_pd(
            _mm256_cmp_pd(_mm256_add_pd(above, vZero), vHalf, _CMP_GE_OQ), vOne);
        const __m256d v = _mm256_add_pd(d, c);
        _mm256_storeu_pd(D + k, _mm256_sub_pd(v, _mm256_and_pd(_mm256_cmp_pd(v, vHalf, _CMP_GE_OQ), vB)));
    }
    return k;
}
#endif

// HalfDigits with the same results, two limbs per register in the split and, where no carry can
// run on, all positions balanced at once. D has n/2 + 1 slots.
void FastHalfDigits(double B, int n, int off, const WorkLong& x, double* D, double* H) {
    const int h = n / 2;
    const int first = off / 2;
    const int last = LastLimbOfHalf(n, off, x);
    int pos = 0;
    int j = first;
#if OSTREL2_CONVERT_AVX
    if (last - j >= kWideLimbs && HasAvxStages()) {
        j = SplitLimbsWide(B, j, last, x.limbs, D);
        pos = 2 * (j - first);
    }
#endif
#if OSTREL2_CONVERT_SSE2
    {
        const __m128d vB = _mm_set1_pd(B);
        const __m128d vLimit = _mm_set1_pd(2147483647.0);
        const __m128d vAbs = _mm_castsi128_pd(_mm_set1_epi64x(INT64_MAX));
        for (; j + 1 <= last; j += 2) {
            const __m128d limbs = _mm_loadu_pd(x.limbs + j);
            const __m128d q = _mm_div_pd(limbs, vB);
            const __m128d mag = _mm_and_pd(q, vAbs);
            if (_mm_movemask_pd(_mm_cmplt_pd(mag, vLimit)) != 3) break;
            // Trunc: the 32-bit truncation with the quotient's sign put back.
            const __m128d whole = _mm_cvtepi32_pd(_mm_cvttpd_epi32(q));
            const __m128d high = _mm_or_pd(_mm_and_pd(whole, vAbs), _mm_andnot_pd(vAbs, q));
            const __m128d low = _mm_sub_pd(limbs, _mm_mul_pd(vB, high));
            _mm_storeu_pd(D + pos, _mm_unpacklo_pd(high, low));
            _mm_storeu_pd(D + pos + 2, _mm_unpackhi_pd(high, low));
            pos += 4;
        }
    }
#endif
    for (; j <= last; ++j) {
        const double high = Trunc(x.limbs[j] / B);
        D[pos++] = high;
        D[pos++] = x.limbs[j] - B * high;
    }
    // The balancing pass starts at the last digit taken: the +0 positions above it would come out
    // of it as +0 with no carry (+0 + +0 is +0, below the half).
    const int filled = pos;
    while (pos < h) D[pos++] = 0.0;
    D[h] = 0.0;  // sends no carry into position h - 1
    Header(D, x, off, H);
#if OSTREL2_CONVERT_SSE2
    const double halfBase = B / 2;
    // A position reaches the half with the carry exactly when it does without it, unless the carry
    // is what lifts it there (a digit 49,999); where no digit is lifted so, each position's carry
    // is whether the one above reaches the half, and all positions are balanced at once, without
    // a branch on the random digits, by the serial pass's operations: v = digit + carry, then
    // v - B where v reaches the half (v - (+0) is v).
#if OSTREL2_CONVERT_AVX
    if (filled >= 2 * kWideLimbs && HasAvxStages()) {
        bool any = false;
        const int k = AnyLiftedWide(halfBase, filled, D, any);
        if (!any && !AnyLiftedNarrow(halfBase, k, filled, D)) {
            const double carry = D[2] + 0.0 >= halfBase ? 1.0 : 0.0;
            BalanceAllNarrow(B, BalanceAllWide(B, filled, D), filled, D);
            D[1] += carry;
            return;
        }
        BalanceDigits(B, filled, D);
        return;
    }
#endif
    if (!AnyLiftedNarrow(halfBase, 2, filled, D)) {
        const double carry = filled > 2 && D[2] + 0.0 >= halfBase ? 1.0 : 0.0;
        BalanceAllNarrow(B, 2, filled, D);
        D[1] += carry;
        return;
    }
#endif
    BalanceDigits(B, filled, D);
}

}  // namespace

void ToTransformDigits(double B, int n, int off, const WorkLong& x, double* X) {
    HalfDigits(B, n, off, x, X, X + n);
    for (int pos = n / 2; pos < n; ++pos) X[pos] = 0.0;
}

void SpectrumProduct(int n, const double* U, double* V) {
    V[0] = U[0] * V[0];
    V[1] = U[1] * V[1];
    for (int k = 2; k < n; k += 2) {
        const double re = U[k] * V[k] - U[k + 1] * V[k + 1];
        const double im = U[k] * V[k + 1] + U[k + 1] * V[k];
        V[k] = re;
        V[k + 1] = im;
    }
    V[n] = U[n] * V[n];
    V[n + 1] = U[n + 1] + V[n + 1];
    V[n + 2] = U[n + 2] * V[n + 2];
}

void SpectrumAdd(int n, const double* U, double* V) {
    for (int i = 0; i <= n; ++i) V[i] = U[i] + V[i];
}

namespace {

// Digits of the rounded positions by the plain serial rule: each position, with the carries from
// below, is rounded and cut into three base-B digits c1 (two positions up), d1 (one up) and T[j]
// (kept). c1 is taken one too small, so that every T[j] is in 0 .. B - 1 even where the balanced
// positions are negative. Returns the carry into position 0, B c1 + c2.
double SerialDigits(int m, double B, double scale, int flag, const double* X, double c1, double c2,
                    double* T) {
    const double B2 = B * B;
    for (int j = m - 1; j >= 1; --j) {
        double x = (scale * X[j - flag] + c2 + 0.5) / B2;
        c2 = c1;
        c1 = Trunc(x) - 1;
        x = (x - c1) * B;
        const double d1 = Trunc(x);
        T[j] = Trunc((x - d1) * B);
        c2 = c2 + d1;
    }
    return B * c1 + c2;
}

// The two base-B digits of each remainder rests[i] (0 <= rests[i] < B^2, i = 1 .. pairs) into
// T[2i - 1] (high) and T[2i] (low). Below 2^52 a remainder is exact as a double; its correctly
// rounded quotient by B lies at least 1/B below the next whole number, far more than its rounding
// error, so the quotient's truncation is the high digit, and the low digit is the exact difference.
void PairDigits(const uint64_t* rests, int pairs, double* T) {
    constexpr double base = TRANSFORM_BASE;
    int i = 1;
#if OSTREL2_CONVERT_SSE2
    const __m128d vBase = _mm_set1_pd(base);
    const __m128d vTwo52 = _mm_set1_pd(4503599627370496.0);  // 2^52
    const __m128i vTwo52Bits = _mm_castpd_si128(vTwo52);
    for (; i + 1 <= pairs; i += 2) {
        const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rests + i));
        const __m128d whole = _mm_sub_pd(_mm_castsi128_pd(_mm_or_si128(r, vTwo52Bits)), vTwo52);
        const __m128d high = _mm_cvtepi32_pd(_mm_cvttpd_epi32(_mm_div_pd(whole, vBase)));
        const __m128d low = _mm_sub_pd(whole, _mm_mul_pd(vBase, high));
        _mm_storeu_pd(T + 2 * i - 1, _mm_unpacklo_pd(high, low));
        _mm_storeu_pd(T + 2 * i + 1, _mm_unpackhi_pd(high, low));
    }
#endif
    for (; i <= pairs; ++i) {
        const uint64_t high = rests[i] / static_cast<uint64_t>(base);
        T[2 * i - 1] = static_cast<double>(static_cast<int64_t>(high));
        T[2 * i] = static_cast<double>(static_cast<int64_t>(rests[i] - high * static_cast<uint64_t>(base)));
    }
}

constexpr double kRoundLimit = 1099511627776.0;  // 2^40: positions the carries take
constexpr double kRound = 6755399441055744.0;      // 1.5 * 2^52
constexpr uint64_t kRoundBits = 0x4338000000000000;  // its encoding

struct RoundState {
    bool near = true;  // every position so far below 2^40 and within 0.49 of a whole number
};

// Positions j .. end - 1 (pairs from odd j) of x scaled: their codes into code, nearness into
// state, and where track is set their largest rounded magnitude into most. Returns end.
int RoundPositionsNarrow(int j, int end, const double* x, double scale, uint64_t* code, bool track,
                         RoundState& state, double& most) {
#if OSTREL2_CONVERT_SSE2
    const __m128d vScale = _mm_set1_pd(scale);
    const __m128d vRound = _mm_set1_pd(kRound);
    const __m128d vLimit = _mm_set1_pd(kRoundLimit);
    const __m128d vNear = _mm_set1_pd(0.49);
    const __m128d vAbs = _mm_castsi128_pd(_mm_set1_epi64x(INT64_MAX));
    if (j + 1 < end) {  // at least one pair left
        __m128d ok = _mm_castsi128_pd(_mm_set1_epi64x(-1));
        __m128d largest = _mm_set1_pd(most);
        for (; j + 1 < end; j += 2) {
            const __m128d s = _mm_mul_pd(vScale, _mm_loadu_pd(x + j));
            const __m128d t = _mm_add_pd(s, vRound);
            const __m128d r = _mm_sub_pd(t, vRound);
            const __m128d small = _mm_cmplt_pd(_mm_and_pd(s, vAbs), vLimit);
            const __m128d close = _mm_cmple_pd(_mm_and_pd(_mm_sub_pd(s, r), vAbs), vNear);
            ok = _mm_and_pd(ok, _mm_and_pd(small, close));
            if (track) largest = _mm_max_pd(largest, _mm_and_pd(r, vAbs));
            _mm_storeu_pd(reinterpret_cast<double*>(code + j), t);
        }
        state.near &= _mm_movemask_pd(ok) == 3;
        double lanes[2];
        _mm_storeu_pd(lanes, largest);
        most = lanes[0] > lanes[1] ? lanes[0] : lanes[1];
    }
#endif
    for (; j < end; ++j) {
        const double s = scale * x[j];
        const bool small = std::fabs(s) < kRoundLimit;
        const double t = small ? s + kRound : kRound;
        const double r = t - kRound;  // nearest, ties to even
        state.near &= small & (std::fabs(s - r) <= 0.49);
        if (track && std::fabs(r) > most) most = std::fabs(r);
        std::memcpy(code + j, &t, sizeof t);
    }
    return j;
}

#if OSTREL2_CONVERT_AVX
// The same four positions per register, as far as whole groups of four go.
OSTREL2_CONVERT_TARGET_AVX int RoundPositionsWide(int j, int end, const double* x, double scale,
                                                  uint64_t* code, bool track, RoundState& state,
                                                  double& most) {
    const __m256d vScale = _mm256_set1_pd(scale);
    const __m256d vRound = _mm256_set1_pd(kRound);
    const __m256d vLimit = _mm256_set1_pd(kRoundLimit);
    const __m256d vNear = _mm256_set1_pd(0.49);
    const __m256d vAbs = _mm256_castsi256_pd(_mm256_set1_epi64x(INT64_MAX));
    __m256d ok = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
    __m256d largest = _mm256_set1_pd(most);
    for (; j + 3 < end; j += 4) {
        const __m256d s = _mm256_mul_pd(vScale, _mm256_loadu_pd(x + j));
        const __m256d t = _mm256_add_pd(s, vRound);
        const __m256d r = _mm256_sub_pd(t, vRound);
        const __m256d small = _mm256_cmp_pd(_mm256_and_pd(s, vAbs), vLimit, _CMP_LT_OQ);
        const __m256d close =
            _mm256_cmp_pd(_mm256_and_pd(_mm256_sub_pd(s, r), vAbs), vNear, _CMP_LE_OQ);
        ok = _mm256_and_pd(ok, _mm256_and_pd(small, close));
        if (track) largest = _mm256_max_pd(largest, _mm256_and_pd(r, vAbs));
        _mm256_storeu_pd(reinterpret_cast<double*>(code + j), t);
    }
    state.near &= _mm256_movemask_pd(ok) == 15;
    double lanes[4];
    _mm256_storeu_pd(lanes, largest);
    for (const double lane : lanes)
        if (lane > most) most = lane;
    return j;
}
#endif

int RoundPositions(int j, int end, const double* x, double scale, uint64_t* code, bool track,
                   RoundState& state, double& most) {
#if OSTREL2_CONVERT_AVX
    if (end - j >= 8 && HasAvxStages())
        j = RoundPositionsWide(j, end, x, scale, code, track, state, most);
#endif
    return RoundPositionsNarrow(j, end, x, scale, code, track, state, most);
}

// The same digits by whole-number carries, when every position lies within 0.49 of a whole number
// and below 2^40 in magnitude; false (T untouched) otherwise. Under those bounds each floating
// step of the serial rule is exact or off by far less than the distance to the next whole number
// (at most 4e-4 of a unit against 0.01), so the serial rule yields exactly the base-B digits of
// the rounded total; those digits, all in 0 .. B - 1, are unique, and so is the carry left for
// position 0. This rule gets them without the division on the carry chain.
//
// Only T[0 .. need - 1] is filled (need even, at most m). The positions well below need enter
// through the carry they send up, which lies between two bounds taken from their largest
// magnitude; both bounds are carried up through a few positions that are not needed, and once
// they meet, that is the exact carry. Where they do not meet, the chain runs from the bottom.
bool CarriedDigits(int m, double B, double scale, int flag, const double* X, double c1, double c2,
                   int need, double* T, double& carryOut) {
    constexpr int kMeetPairs = 6;  // pairs of unneeded positions in which the bounds may meet
    // Pairs (j - 1, j) with j <= split are carried exactly; the positions above split only bound
    // the carry into split. split is even, as every pair's j is.
    const int split = need + 2 * kMeetPairs <= m - 4 ? need + 2 * kMeetPairs : m - 2;
    // The needed pairs are carried in two runs side by side, the upper run from pair mid on (mid
    // even, 0 for a single run), so that each run's chain of dependent steps is half as long.
    constexpr int kShortestRun = 16;  // pairs; shorter runs are carried in one
    const int mid = need >= 4 * kShortestRun ? ((need + 8) / 2) & ~1 : 0;
    double largest = 0.0;  // largest rounded magnitude above split
    double largestMid = 0.0;  // largest rounded magnitude above mid, up to split
    // code[j] holds the encoding of s + 1.5 * 2^52 for position j scaled, s. Below 2^51 in
    // magnitude, s + 1.5 * 2^52 lies in [2^52, 2^53), where the encodings step by one per unit:
    // code[j] less the encoding of 1.5 * 2^52 is s rounded to the nearest whole number (ties to
    // even). Positions too large fail the test and are not used.
    uint64_t code[DFT_MAX_LENGTH];
    RoundState state;
    int j = 1;
    for (int part = 0; part < 3; ++part) {
        // j is odd, so the pairs of each later part start at mid + 1 and split + 1.
        const int end = part == 0 ? mid + 1 : part == 1 ? split + 1 : m;
        double most = 0.0;
        j = RoundPositions(j, end, X - flag, scale, code, part > 0, state, most);
        if (part == 1) largestMid = most;
        if (part == 2) largest = most;
    }
    const bool near = state.near;
    if (!near || !(std::fabs(c1) < 1048576.0) || !(std::fabs(c2) < 1048576.0)) return false;
    if (B != TRANSFORM_BASE) return false;
    constexpr int64_t base = 100000;  // the constant divisors keep the carry chain short
    constexpr int64_t base2 = base * base;
    const int64_t carryIn = static_cast<int64_t>(c2) + base * static_cast<int64_t>(c1);
    // Positions and carries stay below 2^41 in magnitude; the offset makes the division a floor
    // without a sign test on the carry chain.
    constexpr uint64_t kOffset = 22000000;  // times base exceeds 2^41
    // Two positions at a time: positions j - 1 and j form one base-B^2 figure, below 2^57 in
    // magnitude with the carry; its two base-B digits are the digits the single steps would give,
    // and the carry out is theirs too.
    constexpr uint64_t kOffset2 = 20000000;  // times base2 exceeds 2^57
    const auto rounded = [&](int k) { return static_cast<int64_t>(code[k] - kRoundBits); };
    const auto pairCarry = [&](int k, int64_t carry, uint64_t& rest) {
        const int64_t pair = rounded(k - 1) * base + rounded(k);
        const uint64_t v = static_cast<uint64_t>(pair + carry + static_cast<int64_t>(kOffset2) * base2);
        const uint64_t q = v / base2;
        rest = v - q * base2;
        return static_cast<int64_t>(q) - static_cast<int64_t>(kOffset2);
    };

    // The carry into position split from everything above it (split + 1 .. m - 1 and carryIn) is
    // the floor of a sum below (largest + |carryIn|) / (B - 1) in magnitude.
    int64_t carry = 0;
    int k = split;  // the next pair to carry exactly
    bool fromBottom = true;
    if (split < m - 2) {
        const int64_t bound = static_cast<int64_t>(largest) + (carryIn < 0 ? -carryIn : carryIn);
        int64_t high = bound / (base - 1);
        int64_t low = -high - (bound % (base - 1) != 0 ? 1 : 0);
        uint64_t rest;
        for (; low != high && k - 1 >= need; k -= 2) {
            low = pairCarry(k, low, rest);
            high = pairCarry(k, high, rest);
        }
        fromBottom = low != high;  // the bounds did not meet in time
        carry = low;
    }
    if (fromBottom) {
        // Position m - 1 alone (m - 2 positions remain, an even count).
        const uint64_t v = static_cast<uint64_t>(rounded(m - 1) + carryIn + static_cast<int64_t>(kOffset) * base);
        const uint64_t q = v / base;
        T[m - 1] = static_cast<double>(static_cast<int64_t>(v - q * base));
        carry = static_cast<int64_t>(q) - static_cast<int64_t>(kOffset);
        k = m - 2;
    }
    // The chain keeps each pair's remainder (0 .. B^2 - 1); its two digits are split off after it.
    uint64_t rests[DFT_MAX_LENGTH / 2 + 1];
    const auto pairDigits = [&](int k, int64_t carry) { return pairCarry(k, carry, rests[k / 2]); };
    const int topPair = k;  // pairs 2 .. topPair are carried below

    // The upper run: the carry into pair mid from everything above it is bounded as above, by the
    // largest rounded magnitude above mid; both bounds are carried up until they meet, and from the
    // pair where they meet (upper) the carry is exact. The lower run carries pairs k .. upper + 2
    // beside it; the carry it brings to upper is the same whole number (the bounds enclose it), and
    // is checked before the upper run's digits are kept.
    int upper = 0;
    int64_t upperCarry = 0;
    if (mid > 0 && k >= mid + 2 * kShortestRun) {
        const double most = largest > largestMid ? largest : largestMid;
        const int64_t bound = static_cast<int64_t>(most) + (carryIn < 0 ? -carryIn : carryIn);
        int64_t high = bound / (base - 1);
        int64_t low = -high - (bound % (base - 1) != 0 ? 1 : 0);
        int q = mid;
        uint64_t rest;
        for (; low != high && q >= 2 * kShortestRun; q -= 2) {
            low = pairCarry(q, low, rest);
            high = pairCarry(q, high, rest);
        }
        if (low == high) {
            upper = q;
            upperCarry = low;
        }
    }
    if (upper > 0) {
        int64_t carryUp = upperCarry;
        int q = upper;
        for (; k > upper && q >= 2; k -= 2, q -= 2) {
            carry = pairDigits(k, carry);
            carryUp = pairDigits(q, carryUp);
        }
        for (; k > upper; k -= 2) carry = pairDigits(k, carry);
        if (carry == upperCarry) {
            for (; q >= 2; q -= 2) carryUp = pairDigits(q, carryUp);
            k = 0;
            carry = carryUp;
        }  // otherwise the single run goes on from upper and writes those digits again
    }
    for (; k >= 2; k -= 2) carry = pairDigits(k, carry);
    PairDigits(rests, topPair / 2, T);
    carryOut = static_cast<double>(carry);
    return true;
}

void ConvertDigits(int m, double B, int n, double* X, WorkLong& out, bool carried) {
    const double scale = 2.0 / n;
    const double B2 = B * B;
    double T[DFT_MAX_LENGTH];

    // Position 0 is the product of the top digits, known exactly; flag 1 when it has two digits,
    // which then occupy output positions 0 and 1 and shift everything below by one.
    const double t = std::fabs(X[n]);
    int flag = t + 0.5 >= B ? 1 : 0;
    X[0] = (n / 2) * t;

    // Carry from the positions below the converted ones, with up to three positions of fraction.
    const int j0 = m - flag;
    const double weights[4] = {1.0, 1.0 / B, 1.0 / B2, 1.0 / (B2 * B)};
    double acc = 0.0;
    for (int i = 0; i < 4 && j0 + i < n; ++i) acc += X[j0 + i] * weights[i];
    const double u = (scale * acc + 0.5) / B2;
    const double c1 = Trunc(u) - 1;
    const double c2 = Trunc((u - c1) * B + 0.5);

    // Output positions at or beyond 2J never reach a limb (T[2J - 1] is the last one read).
    const int J = out.precision + GUARD_LIMBS + 1;
    const int used = m < 2 * J ? m : 2 * J;
    double carry = 0.0;
    if (!carried || !CarriedDigits(m, B, scale, flag, X, c1, c2, used, T, carry))
        carry = SerialDigits(m, B, scale, flag, X, c1, c2, T);

    double V = carry + 0.5;
    if (flag == 0) V += scale * X[0];
    const double top = Trunc(V / B);
    T[0] = Trunc(V - B * top);
    if (top > 0) {
        for (int j = used - 1; j >= 1; --j) T[j] = T[j - 1];
        T[0] = top;
        ++flag;
    }

    const double e = std::floor(flag + X[n + 1] + 0.5);
    int64_t exponent = 5 * (static_cast<int64_t>(e) - 1);
    out.sign = X[n + 2] > 0.5 ? 1 : -1;
    out.error = 0;

    // Positions at or beyond m count as digit 0.
    for (int i = m; i < 2 * J; ++i) T[i] = 0.0;
    // The plain conversion keeps the library's floor. Every T position holds a whole number (a
    // carried digit, a truncation or 0), so B T[i] + T[i + 1] is a whole number too (or not
    // finite), and floor(x + 0.1) of a whole number x is x itself; adding +0 gives the floor's +0
    // where the sum is -0. The fast path takes that shortcut.
    if (exponent % 10 == 0) {
        if (carried) {
            for (int j = 0; j < J; ++j) out.limbs[j] = (B * T[2 * j] + T[2 * j + 1]) + 0.0;
        } else {
            for (int j = 0; j < J; ++j) out.limbs[j] = std::floor(B * T[2 * j] + T[2 * j + 1] + 0.1);
        }
    } else {
        exponent += 5;
        out.limbs[0] = T[0];
        if (carried) {
            for (int j = 1; j < J; ++j) out.limbs[j] = (B * T[2 * j - 1] + T[2 * j]) + 0.0;
        } else {
            for (int j = 1; j < J; ++j) out.limbs[j] = std::floor(B * T[2 * j - 1] + T[2 * j] + 0.1);
        }
        if (T[2 * J - 1] > B / 2) out.limbs[J - 1] += 1;
    }

    int z = 0;
    while (z < J && !(out.limbs[z] > 0)) ++z;
    if (z == J) z = 0;
    if (z > 0) {
        exponent -= 10 * static_cast<int64_t>(z);
        for (int j = 0; j + z < J; ++j) out.limbs[j] = out.limbs[j + z];
        for (int j = J - z; j < J; ++j) out.limbs[j] = 0.0;
    }
    if (exponent > INT32_MAX) exponent = INT32_MAX;
    if (exponent < INT32_MIN) exponent = INT32_MIN;
    out.exponent = static_cast<int32_t>(exponent);
}

}  // namespace

void FromTransformDigits(int m, double B, int n, double* X, WorkLong& out) {
    ConvertDigits(m, B, n, X, out, false);
}

void FromTransformDigitsCarried(int m, double B, int n, double* X, WorkLong& out) {
    ConvertDigits(m, B, n, X, out, true);
}

namespace {

// Copies the fields and live limbs of a finished product into the caller's record.
void CopyProduct(WorkLong& result, const WorkLong& r) {
    result.sign = r.sign;
    result.exponent = r.exponent;
    result.precision = r.precision;
    result.error = r.error;
    for (int32_t k = 0; k <= LastLimb(r); ++k) result.limbs[k] = r.limbs[k];
}

// Transforms with tables in work areas of the call's own, built on its first forward transform.
struct PerCallTables {
    int ip[DFT_INDEX_SLOTS];
    double w[DFT_TABLE_SLOTS];
    void Start() { ip[0] = 0; }
    static void Product(int n, const double* U, double* V) { SpectrumProduct(n, U, V); }
    // S <- U (.) V + S; V is left holding U (.) V.
    static void ProductAdd(int n, const double* U, double* V, double* S) {
        SpectrumProduct(n, U, V);
        SpectrumAdd(n, V, S);
    }
    void Forward(int n, double* a) { RealDft(n, 1, a, ip, w); }
    void ForwardDigits(double B, int n, int off, const WorkLong& x, double* X) {
        ToTransformDigits(B, n, off, x, X);
        Forward(n, X);
    }
    void Backward(int n, double* a) { RealDft(n, -1, a, ip, w); }
    static void Convert(int m, double B, int n, double* X, WorkLong& out) {
        FromTransformDigits(m, B, n, X, out);
    }
};

// Transforms through the tables shared by all calls, digits by whole-number carries.
struct SharedTransforms {
    void Start() {}
    static void Product(int n, const double* U, double* V) {
        SharedSpectrumProduct(n, U, V);
        V[n] = U[n] * V[n];
        V[n + 1] = U[n + 1] + V[n + 1];
        V[n + 2] = U[n + 2] * V[n + 2];
    }
    // ProductAdd in one pass, V only read: each sum is the same operation on the same operands.
    static void ProductAdd(int n, const double* U, const double* V, double* S) {
        SharedSpectrumProductAdd(n, U, V, S);
        S[n] = U[n] * V[n] + S[n];
    }
    // The digits go to a half-length area; the transform reads them and fills all of X.
    static void ForwardDigits(double B, int n, int off, const WorkLong& x, double* X) {
        double D[DFT_MAX_LENGTH / 2 + 1];
        FastHalfDigits(B, n, off, x, D, X + n);
        SharedRealDftOfHalf(n, D, X);
    }
    void Backward(int n, double* a) { SharedRealDft(n, -1, a); }
    static void Convert(int m, double B, int n, double* X, WorkLong& out) {
        FromTransformDigitsCarried(m, B, n, X, out);
    }
};

// The product at P = max(a.precision, b.precision) clamped into [5, 506] (and to the slots a
// record has). The lower halves' product is never formed: the result is truncated below it,
// apart from rounding limb P + 3 by the next digit (odd exponents) and by the cross products'
// next limb. a and b are normalised in place; the result's error is a.error + b.error plus its own.
// A zero operand gives the zero of precision P with the operands' errors, and no message.
template <class Transforms>
WorkLong& MultiplyThrough(WorkLong& result, WorkLong& a, WorkLong& b, Transforms& transforms) {
    int32_t P = MaxPrecision(a, b);
    if (P < TRANSFORM_MIN_PRECISION) P = TRANSFORM_MIN_PRECISION;
    if (P > TRANSFORM_MAX_PRECISION) P = TRANSFORM_MAX_PRECISION;
    if (P > MAX_PRECISION) P = MAX_PRECISION;

    // The sign is taken from the normalised operands, so that a record with a sign but only zero
    // limbs multiplies as the zero it is.
    Normalize(a);
    Normalize(b);
    const int32_t sign = a.sign * b.sign;
    WorkLong R;
    // A zero operand, also one that carries an earlier failure, gives zero; the failure's error
    // travels on and needs no second message.
    if (sign == 0) {
        InitLong(R, P, sign, 0, 0.0);
        R.error = SumErrors(a.error, b.error);
        CopyProduct(result, R);
        return result;
    }
    const int64_t exponentSum = static_cast<int64_t>(a.exponent) + b.exponent;
    if (exponentSum > MAX_EXPONENT || exponentSum < -static_cast<int64_t>(MAX_EXPONENT)) {
        Report(Message::Overflow);
        InitLong(R, P, sign, 0, 0.0);
        R.sign = 0;
        R.error = -1;
        CopyProduct(result, R);
        return result;
    }
    // The digit conversions set every other field and every live limb of R and L.
    R.precision = P;
    WorkLong L;
    L.precision = P;

    const double B = TRANSFORM_BASE;
    const int n = TransformLength(P);
    const int h = n / 2;
    double X1[DIGIT_ARRAY_SLOTS];
    double X2[DIGIT_ARRAY_SLOTS];
    double X3[DIGIT_ARRAY_SLOTS];
    transforms.Start();

    transforms.ForwardDigits(B, n, 0, a, X1);
    transforms.ForwardDigits(B, n, h, b, X2);
    transforms.Product(n, X1, X2);  // a upper x b lower
    transforms.ForwardDigits(B, n, 0, b, X3);
    transforms.Product(n, X3, X1);  // a upper x b upper
    transforms.Backward(n, X1);
    transforms.Convert(n, B, n, X1, R);
    transforms.ForwardDigits(B, n, h, a, X1);
    transforms.ProductAdd(n, X1, X3, X2);  // plus a lower x b upper
    transforms.Backward(n, X2);
    transforms.Convert(h, B, n, X2, L);

    // The cross products lie s limbs below the main product.
    const int64_t s = (static_cast<int64_t>(R.exponent) - L.exponent) / 10;
    const int64_t last = P + GUARD_LIMBS;
    for (int64_t k = s > 0 ? s : 0; k <= last && k - s <= last; ++k) {
        R.limbs[k] += L.limbs[k - s];
    }
    const int64_t next = last + 1 - s;
    if (next >= 0 && next <= last && L.limbs[next] > LIMB_BASE / 2) R.limbs[last] += 1;

    Normalize(R);
    R.error = SumErrors(a.error, R.error, b.error);
    CopyProduct(result, R);
    return result;
}

}  // namespace

WorkLong& MultiplLongPerCallTables(WorkLong& result, WorkLong& a, WorkLong& b) {
    PerCallTables transforms;
    return MultiplyThrough(result, a, b, transforms);
}

WorkLong& MultiplLong(WorkLong& result, WorkLong& a, WorkLong& b) {
    SharedTransforms transforms;
    return MultiplyThrough(result, a, b, transforms);
}

}  // namespace ostrel2

// transform_digits_fast.cpp -- the digit conversions as the transform product runs them: limbs
// split and balanced in vectors, and the backward transform's values carried into limbs by whole
// numbers. Bit for bit the plain conversions of transform_digits.cpp, whose steps they share; the
// vector loops are written once for both widths in transform_digits_vector.h.
#include "arith/transform_digits_fast.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "arith/transform_digits.h"
#include "arith/transform_digits_steps.h"
#include "arith/transform_digits_vector.h"
#include "core/cpu_features.h"

namespace ostrel2 {

namespace {

constexpr int kWideLimbs = 4;  // the four-lane loops pay from a few limbs on (measured at p = 5 .. 100)

// The two base-B digits of each remainder rests[i] (0 <= rests[i] < B^2, i = 1 .. pairs) into
// T[2i - 1] (high) and T[2i] (low). Below 2^52 a remainder is exact as a double; its correctly
// rounded quotient by B lies at least 1/B below the next whole number, far more than its rounding
// error, so the quotient's truncation is the high digit, and the low digit is the exact difference.
void PairDigits(const uint64_t* rests, int pairs, double* T, VectorWidth width) {
    constexpr double base = TRANSFORM_BASE;
    int i = 1;
    (void)width;
#if OSTREL2_SSE2
    const __m128d vBase = _mm_set1_pd(base);
    const __m128d vTwo52 = _mm_set1_pd(4503599627370496.0);  // 2^52
    const __m128i vTwo52Bits = _mm_castpd_si128(vTwo52);
    for (; RunsSse2(width) && i + 1 <= pairs; i += 2) {
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

// Positions j .. end - 1 of x scaled: their codes into code, nearness into state, and where
// track is set their largest rounded magnitude into most; in vectors as far as whole registers
// go. Returns end.
int RoundPositions(int j, int end, const double* x, double scale, uint64_t* code, bool track,
                   RoundState& state, double& most, VectorWidth width) {
    (void)width;
#if OSTREL2_AVX_PATHS
    if (RunsAvx(width) && end - j >= 8) j = RoundPositionsAvx(j, end, x, scale, code, track, state, most);
#endif
#if OSTREL2_SSE2
    if (RunsSse2(width)) j = RoundPositions<Lanes2>(j, end, x, scale, code, track, state, most);
#endif
    for (; j < end; ++j) {
        const double s = scale * x[j];
        const bool small = std::fabs(s) < ROUND_LIMIT;
        const double t = small ? s + ROUND_SHIFT : ROUND_SHIFT;
        const double r = t - ROUND_SHIFT;  // nearest, ties to even
        state.near &= small & (std::fabs(s - r) <= 0.49);
        if (track && std::fabs(r) > most) most = std::fabs(r);
        std::memcpy(code + j, &t, sizeof t);
    }
    return j;
}

// The same digits by whole-number carries, when every position lies within 0.49 of a whole number
// and below 2^40 in magnitude; false (T untouched) otherwise. Under those bounds each floating
// step of the serial rule is exact or off by far less than the distance to the next whole number
// (at most 4e-4 of a unit against 0.01), so the serial rule yields exactly the base-B digits of
// the rounded total; those digits, all in 0 .. B - 1, are unique, and so is the carry left for
// position 0. This rule gets them without the division on the carry chain.
//
// Only T[0 .. need - 1] is filled, need = in.used (even, at most m). The positions well below need
// enter through the carry they send up, which lies between two bounds taken from their largest
// magnitude; both bounds are carried up through a few positions that are not needed, and once
// they meet, that is the exact carry. Where they do not meet, the chain runs from the bottom.
bool CarriedDigits(int m, const DigitCarryIn& in, const double* X, double* T, double& carryOut,
                   VectorWidth width) {
    const int need = in.used;
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
        j = RoundPositions(j, end, X - in.flag, in.scale, code, part > 0, state, most, width);
        if (part == 1) largestMid = most;
        if (part == 2) largest = most;
    }
    const bool near = state.near;
    if (!near || !(std::fabs(in.c1) < 1048576.0) || !(std::fabs(in.c2) < 1048576.0)) return false;
    constexpr int64_t base = 100000;  // the constant divisors keep the carry chain short
    constexpr int64_t base2 = base * base;
    const int64_t carryIn = static_cast<int64_t>(in.c2) + base * static_cast<int64_t>(in.c1);
    // Positions and carries stay below 2^41 in magnitude; the offset makes the division a floor
    // without a sign test on the carry chain.
    constexpr uint64_t kOffset = 22000000;  // times base exceeds 2^41
    // Two positions at a time: positions j - 1 and j form one base-B^2 figure, below 2^57 in
    // magnitude with the carry; its two base-B digits are the digits the single steps would give,
    // and the carry out is theirs too.
    constexpr uint64_t kOffset2 = 20000000;  // times base2 exceeds 2^57
    const auto rounded = [&](int k) { return static_cast<int64_t>(code[k] - ROUND_SHIFT_BITS); };
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
    PairDigits(rests, topPair / 2, T, width);
    carryOut = static_cast<double>(carry);
    return true;
}

}  // namespace

// ToTransformDigits's digits with the same results, two (or four) limbs per register in the split
// and, where no carry can run on, all positions balanced at once.
void ToTransformHalfDigits(int n, int off, const WorkLong& x, double* D, double* H,
                           VectorWidth width) {
    constexpr double B = TRANSFORM_BASE;
    bool wide = RunsAvx(width);
    const int h = n / 2;
    const int first = off / 2;
    const int last = LastLimbOfHalf(n, off, x);
    int j = first;
#if OSTREL2_AVX_PATHS
    if (wide && last - j >= kWideLimbs) j = SplitLimbsAvx(first, j, last, x.limbs, D);
#endif
#if OSTREL2_SSE2
    if (RunsSse2(width)) j = SplitLimbs<Lanes2>(B, first, j, last, x.limbs, D);
#endif
    int pos = 2 * (j - first);
    for (; j <= last; ++j) {
        const double high = TruncDigit(x.limbs[j] / B);
        D[pos++] = high;
        D[pos++] = x.limbs[j] - B * high;
    }
    // The balancing pass starts at the last digit taken: the +0 positions above it would come out
    // of it as +0 with no carry (+0 + +0 is +0, below the half).
    const int filled = pos;
    while (pos < h) D[pos++] = 0.0;
    D[h] = 0.0;  // sends no carry into position h - 1
    DigitHeader(D, x, off, H);
#if OSTREL2_SSE2
    if (RunsSse2(width)) {
        // A position reaches the half with the carry exactly when it does without it, unless the
        // carry is what lifts it there (a digit 49,999); where no digit is lifted so, each
        // position's carry is whether the one above reaches the half, and all positions are
        // balanced at once, without a branch on the random digits.
        const double halfBase = B / 2;
        wide = wide && filled >= 2 * kWideLimbs;
        int k = 2;
        bool lifted = false;
#if OSTREL2_AVX_PATHS
        if (wide) lifted = AnyLiftedAvx(k, filled, D);
#endif
        if (!lifted && !AnyLifted<Lanes2>(halfBase, k, filled, D)) {
            const double carry = filled > 2 && D[2] + 0.0 >= halfBase ? 1.0 : 0.0;
            k = 2;
#if OSTREL2_AVX_PATHS
            if (wide) k = BalanceAllAvx(k, filled, D);
#endif
            BalanceAll<Lanes2>(B, k, filled, D);
            D[1] += carry;
            return;
        }
    }
#endif
    (void)wide;
    BalanceDigits(B, filled, D);
}

namespace {

// The digits from the carry in on, as both conversions below form them.
void ConvertFrom(const DigitCarryIn& in, int m, int n, double* X, WorkLong& out, VectorWidth width) {
    constexpr double B = TRANSFORM_BASE;
    double T[DFT_MAX_LENGTH];
    double carry = 0.0;
    if (!CarriedDigits(m, in, X, T, carry, width)) carry = SerialDigits(m, B, in, X, T);
    FinishConversion(in, carry, m, B, n, X, T, LimbRule::WholeSum, out);
}

// Whether each truncation of the carry's estimate, from exact positions, lies farther than
// CARRY_CLEARANCE units of a position from the nearest whole number at which it would change:
// the estimate from the backward transform's values differs by less than that.
bool CarryEstimateClear(const DigitCarryIn& in) {
    constexpr double B = TRANSFORM_BASE;
    const double du = std::fabs(in.u - RoundHalfEven(in.u)) * (B * B);
    const double dw = std::fabs(in.w - RoundHalfEven(in.w)) * B;
    return du > CARRY_CLEARANCE && dw > CARRY_CLEARANCE;
}

}  // namespace

void FromTransformDigitsCarried(int m, int n, double* X, WorkLong& out, VectorWidth width) {
    const DigitCarryIn in = StartConversion(m, TRANSFORM_BASE, n, X, out);
    ConvertFrom(in, m, n, X, out, width);
}

bool FromExactConvolution(int m, int n, double* X, WorkLong& out, VectorWidth width) {
    const DigitCarryIn in = StartConversion(m, TRANSFORM_BASE, n, X, out);
    if (!CarryEstimateClear(in)) return false;
    ConvertFrom(in, m, n, X, out, width);
    return true;
}

}  // namespace ostrel2

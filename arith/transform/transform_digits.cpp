// transform_digits.cpp -- the digit conversions of the transform product: limbs to balanced
// base-100,000 digits, and the backward transform's values carried into limbs by whole numbers
// (the serial rule where a position lies near a half). Bit for bit the reference conversions the
// tests keep (tests/support/transform_reference.h), whose steps they share.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "arith/transform/engine.h"
#include "arith/transform/kernel_set.h"
#include "arith/transform/transform_digits_steps.h"

namespace ostrel2 {

int TransformLength(int32_t precision) {
    int n = 32;
    while (n < 2 * (precision + GUARD_LIMBS + 1)) n *= 2;
    return n;
}

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

// Each position, with the carries from below, is rounded and cut into three base-B digits c1 (two
// positions up), d1 (one up) and T[j] (kept). c1 is taken one too small, so that every T[j] is in
// 0 .. B - 1 even where the balanced positions are negative. The carry into position 0 is
// B c1 + c2.
double SerialDigits(int m, double B, const DigitCarryIn& in, const double* X, double* T) {
    const double B2 = B * B;
    double c1 = in.c1;
    double c2 = in.c2;
    for (int j = m - 1; j >= 1; --j) {
        double x = (in.scale * X[j - in.flag] + c2 + 0.5) / B2;
        c2 = c1;
        c1 = TruncDigit(x) - 1;
        x = (x - c1) * B;
        const double d1 = TruncDigit(x);
        T[j] = TruncDigit((x - d1) * B);
        c2 = c2 + d1;
    }
    return B * c1 + c2;
}

namespace {

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
                   const TransformKernels& kernels) {
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
        kernels.roundPositions(j, end, X - in.flag, in.scale, code, part > 0, state, most);
        j = end;
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
    kernels.pairDigits(rests, topPair / 2, T);
    carryOut = static_cast<double>(carry);
    return true;
}

}  // namespace

// The digits of one half, two (or four) limbs per register in the split and, where no carry can
// run on, all positions balanced at once.
void ToTransformHalfDigits(int n, int off, const WorkLong& x, double* D, double* H,
                           const TransformKernels& kernels) {
    constexpr double B = TRANSFORM_BASE;
    const int h = n / 2;
    const int first = off / 2;
    const int last = LastLimbOfHalf(n, off, x);
    int j = kernels.splitLimbs(first, last, x.limbs, D);
    // Limbs too large for the 32-bit truncation (raw operands only).
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
    if (!kernels.balanceAtOnce(filled, D)) BalanceDigits(B, filled, D);
}

namespace {

// The digits from the carry in on, as both conversions below form them.
void ConvertFrom(const DigitCarryIn& in, int m, int n, double* X, WorkLong& out,
                 const TransformKernels& kernels) {
    constexpr double B = TRANSFORM_BASE;
    double T[DFT_MAX_LENGTH];
    double carry = 0.0;
    if (!CarriedDigits(m, in, X, T, carry, kernels)) carry = SerialDigits(m, B, in, X, T);
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

void FromTransformDigitsCarried(int m, int n, double* X, WorkLong& out,
                                const TransformKernels& kernels) {
    const DigitCarryIn in = StartConversion(m, TRANSFORM_BASE, n, X, out);
    ConvertFrom(in, m, n, X, out, kernels);
}

bool FromExactConvolution(int m, int n, double* X, WorkLong& out,
                          const TransformKernels& kernels) {
    const DigitCarryIn in = StartConversion(m, TRANSFORM_BASE, n, X, out);
    if (!CarryEstimateClear(in)) return false;
    ConvertFrom(in, m, n, X, out, kernels);
    return true;
}

}  // namespace ostrel2

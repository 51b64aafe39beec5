// multiply_schoolbook.cpp -- limb-by-limb products: the schoolbook product of two records and the
// product of a record and a small whole number, every limb product split exactly by SplitProduct.
#include "arith/multiply_schoolbook.h"

#include <cmath>
#include <cstdint>

#include "core/call_counting.h"
#include "core/diagnostics.h"

namespace ostrel2 {

namespace {

constexpr int64_t kLimbBase = 10000000000;  // LIMB_BASE as a whole number

// Adds a part into limb k and carries once into limb k - 1 when the limb passes 10^10. The
// carried-into limb is not looked at again; Normalize finishes the carries. Limb 0 has nowhere to
// carry to and is left for Normalize as well. Selected rather than branched: whether a limb passes
// 10^10 is as random as its digits.
void AddWithCarry(WorkLong& r, int32_t k, double part) {
    const double v = r.limbs[k] + part;
    const bool over = v > LIMB_BASE && k > 0;
    r.limbs[k] = over ? v - LIMB_BASE : v;
    if (k > 0) r.limbs[k - 1] = over ? r.limbs[k - 1] + 1.0 : r.limbs[k - 1];
}

// Whether every live limb lies in 0 .. 10^10, as in every normalised record; a hostile record
// that normalisation let through may hold others.
bool InLimbRange(const WorkLong& x) {
    bool in = true;
    for (int32_t k = 0; k <= LastLimb(x); ++k) in &= x.limbs[k] >= 0.0 && x.limbs[k] <= LIMB_BASE;
    return in;
}

// Calls part(i, j, k) for every pair of non-zero limbs a_i, b_j whose product lands on a limb
// k = i + j <= last, rows of a in order, b's limbs in order within a row.
template <class Part>
void ForEachLimbProduct(const WorkLong& a, const WorkLong& b, int32_t last, Part part) {
    const int32_t aLast = LastLimb(a);
    const int32_t bLast = LastLimb(b);
    for (int32_t i = 0; i <= aLast; ++i) {
        if (a.limbs[i] == 0.0) continue;
        for (int32_t j = 0; j <= bLast; ++j) {
            if (b.limbs[j] == 0.0) continue;
            if (i + j > last) break;
            part(i, j, i + j);
        }
    }
}

// r's limbs 0 .. last <- the parts of the limb products a_i b_j with i + j <= last (high parts on
// limb i + j, low parts on i + j + 1 up to last), added limb by limb, each addition carrying once
// into the limb in front. Normalize finishes the carries.
void SumByRows(WorkLong& r, const WorkLong& a, const WorkLong& b, int32_t last) {
    ForEachLimbProduct(a, b, last, [&](int32_t i, int32_t j, int32_t k) {
        double high = 0.0;
        double low = 0.0;
        SplitProduct(a.limbs[i], b.limbs[j], high, low);
        AddWithCarry(r, k, high);
        if (k < last) AddWithCarry(r, k + 1, low);
    });
}

// The same parts where every limb lies in 0 .. 10^10, summed by position in two columns, high
// parts and low parts, so that the products of one row do not wait on each other's carries, and
// carried once at the end. Every part is a whole number of at most 10^10 and a position takes at
// most 2 * 307 of them: each sum is exact, and so the carried limbs are those of the same total,
// which normalisation brings to the same record as the sums by rows.
void SumByColumns(WorkLong& r, const WorkLong& a, const WorkLong& b, int32_t last) {
    // Each limb meets every limb of the other operand: its halves are formed once.
    LimbHalves aHalves[WORK_LIMBS];
    LimbHalves bHalves[WORK_LIMBS];
    for (int32_t i = 0; i <= LastLimb(a); ++i) aHalves[i] = SplitLimb(a.limbs[i]);
    for (int32_t j = 0; j <= LastLimb(b); ++j) bHalves[j] = SplitLimb(b.limbs[j]);
    double highs[WORK_LIMBS] = {};
    double lows[WORK_LIMBS] = {};
    ForEachLimbProduct(a, b, last, [&](int32_t i, int32_t j, int32_t k) {
        double high = 0.0;
        double low = 0.0;
        SplitProductOfHalves(aHalves[i], bHalves[j], high, low);
        highs[k] += high;
        if (k < last) lows[k + 1] += low;
    });
    // Limbs 1 .. last carried into 0 .. 10^10 - 1, the rest into limb 0, in whole numbers.
    int64_t carry = 0;
    for (int32_t k = last; k >= 1; --k) {
        const int64_t v = static_cast<int64_t>(highs[k] + lows[k]) + carry;
        carry = v / kLimbBase;
        r.limbs[k] = static_cast<double>(v - carry * kLimbBase);
    }
    r.limbs[0] = static_cast<double>(static_cast<int64_t>(highs[0]) + carry);
}
}  // namespace

// Product at MaxPrecision(a, b), cut off after limb p + 3 without rounding: partial products
// beyond it are never formed and a low part landing on p + 4 is dropped. a and b are normalised
// in place; the result's error is a.error + b.error plus its own normalisation error. A zero
// operand gives the zero of precision p, with the operands' errors, and no message.
WorkLong& Multipl2Long(WorkLong& result, WorkLong& a, WorkLong& b) {
    const int32_t p = MaxPrecision(a, b);
    const int32_t last = p + GUARD_LIMBS;

    // The sign is taken from the normalised operands, so that a record with a sign but only zero
    // limbs multiplies as the zero it is.
    Normalize(a);
    Normalize(b);
    WorkLong r;
    InitLong(r, p, a.sign * b.sign, 0, 0.0);

    // A zero operand, also one that carries an earlier failure, gives zero; the failure's error
    // travels on and needs no second message.
    if (r.sign == 0) {
        r.error = SumErrors(a.error, b.error);
        result = r;
        return result;
    }

    const double t = static_cast<double>(a.exponent) + static_cast<double>(b.exponent) + 10.0;
    if (std::fabs(t) > MAX_EXPONENT) {
        Report(t > 0 ? Message::Overflow : Message::Underflow);
        r.error = -1;
        result = r;
        return result;
    }
    r.exponent = static_cast<int32_t>(t);

    if (InLimbRange(a) && InLimbRange(b)) {
        SumByColumns(r, a, b, last);
    } else {
        SumByRows(r, a, b, last);
    }

    Normalize(r);
    r.error = SumErrors(a.error, r.error, b.error);
    result = r;
    return result;
}

namespace {

// The limb products of MultiplSmall one after another: each high part added into its limb and
// each low part into the next, with AddWithCarry's single carry; the low part of the last limb's
// product is dropped, zero limbs of a skipped. Any record and any whole m.
void ShortProductPlain(WorkLong& r, const WorkLong& a, double m) {
    const int32_t aLast = LastLimb(a);
    const LimbHalves mHalves = SplitLimb(m);
    for (int32_t i = 0; i <= aLast; ++i) {
        if (a.limbs[i] == 0.0) continue;
        double high = 0.0;
        double low = 0.0;
        SplitProductOfHalves(SplitLimb(a.limbs[i]), mHalves, high, low);
        AddWithCarry(r, i, high);
        if (i == aLast) break;
        AddWithCarry(r, i + 1, low);
    }
}

// Whether ShortProductWhole gives the bits of ShortProductPlain: every live limb of a a whole
// number from 0 to 10^10 - 1 and m a whole number below 10^10.
bool WholeProductApplies(const WorkLong& a, double m) {
    bool whole = m < LIMB_BASE && m == rounding::Nearest(m);
    for (int32_t k = 0; k <= LastLimb(a); ++k) whole &= IsWholeLimb(a.limbs[k]);
    return whole;
}

// ShortProductPlain on whole limbs, without a branch. In the plain order limb i holds the low
// part of product i - 1 (at most 10^10, which never carries) when the high part of product i is
// added, so its carry test sees s_i = low_(i-1) + high_i alone, and the one unit it may carry is
// added to limb i - 1 after that limb's own test. A zero limb of a splits into a zero high and low
// part, which add nothing and carry nothing. So limb i ends as s_i, less 10^10 when s_i exceeds
// it (never for limb 0), plus the carry of s_(i+1), each selected. Behind a's last non-zero limb
// (a factorial's tail of zeros, say) every s_i is 0 but the first, which is a low part: r keeps
// the zeros it was initialised with there, and the loop ends after that first one.
void ShortProductWhole(WorkLong& r, const WorkLong& a, double m) {
    int32_t end = LastLimb(a);
    while (end > 0 && a.limbs[end] == 0.0) --end;
    if (end < LastLimb(a)) ++end;
    const LimbHalves mHalves = SplitWholeLimb(m);
    double high;
    double low;
    SplitWholeProduct(SplitWholeLimb(a.limbs[0]), mHalves, high, low);
    r.limbs[0] = high;
    for (int32_t i = 1; i <= end; ++i) {
        const double carriedLow = low;
        SplitWholeProduct(SplitWholeLimb(a.limbs[i]), mHalves, high, low);
        const double sum = carriedLow + high;
        const double over = Indicator(sum > LIMB_BASE);
        r.limbs[i] = sum - over * LIMB_BASE;
        r.limbs[i - 1] += over;
    }
}

// MultiplSmall with the plain product loop or, where it gives the same bits, the whole-limb one.
WorkLong& ShortProduct(WorkLong& result, const WorkLong& a, double m, bool wholeKernel) {
    WorkLong r;
    InitLong(r, a.precision, a.sign, 0, 0.0);
    if (m < 0) {
        r.sign = -a.sign;
        m = -m;
    } else if (m == 0) {
        InitLong(r, a.precision, 0, 0, 0.0);
    }

    if (r.sign == 0) {
        r.error = a.error;
        CopyLive(result, r);
        return result;
    }

    // An exponent this close to the int32 limit leaves no room for the product's extra limb and
    // normalisation's digit shifts; it is far beyond the exponent limit anyway.
    if (a.exponent > INT32_MAX - 20) {
        Report(Message::ExponentLimit);
        r.error = -1;
        CopyLive(result, r);
        return result;
    }
    r.exponent = a.exponent + 10;

    if (wholeKernel && WholeProductApplies(a, m)) {
        ShortProductWhole(r, a, m);
    } else {
        ShortProductPlain(r, a, m);
    }

    Normalize(r);
    r.error = SumErrors(r.error, a.error);
    CopyLive(result, r);
    return result;
}

}  // namespace

// Product at a's precision for a whole |m| < 10^10; the low part of the last limb's product is
// dropped. a is only read; the result's error is a.error plus its own normalisation error, also
// when a zero operand or multiplier gives zero at once. Whole limbs (every canonical record) take
// the branch-free loop, any other record the plain one; both give the same bits.
WorkLong& MultiplSmall(WorkLong& result, const WorkLong& a, double m) {
    OSTREL2_COUNTED_CALL(SmallProduct, a.precision);
    return ShortProduct(result, a, m, true);
}

WorkLong& MultiplSmallPlain(WorkLong& result, const WorkLong& a, double m) {
    return ShortProduct(result, a, m, false);
}

}  // namespace ostrel2

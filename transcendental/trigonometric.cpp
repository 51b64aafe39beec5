// trigonometric.cpp -- cosine, sine and tangent of a record: reduction by whole half-turns of pi,
// quadrant choice on the double estimate, Taylor series in blocks of 30 terms.
#include "transcendental/trigonometric.h"

#include <cmath>
#include <cstdint>

#include "arith/addition.h"
#include "arith/divide_long.h"
#include "arith/divide_reciprocal.h"
#include "arith/integer_part.h"
#include "arith/multiply_schoolbook.h"
#include "arith/transform/multiply_transform.h"
#include "core/diagnostics.h"
#include "core/worker_helpers.h"
#include "powers/square_root.h"
#include "transcendental/constants.h"

namespace ostrel2 {

namespace {

// Angles whose estimate reaches this (a hair below pi) are reduced by pi first; one between it
// and pi passes through the reduction with no half-turn taken off.
constexpr double kReduceFrom = 3.141592653;
// Quadrant thresholds on the estimate of the reduced angle: about pi/4, the band around pi/2 in
// which the sign of cos is read off the exact difference from pi/2, and about 3 pi/4.
constexpr double kFirstOctant = 0.79;
constexpr double kBandLow = 1.5707;
constexpr double kBandHigh = 1.5708;
constexpr double kLastOctant = 2.356;
// Largest exponent of an accepted angle: |x| < 10^20.
constexpr int32_t kLargestExponent = 10;

// The series add their terms in blocks; each block costs one long reciprocal of the running
// factorial instead of one division per term. 20 blocks reach the terms of degree 1,202.
constexpr int32_t kBlockTerms = 30;
constexpr int32_t kMaxBlocks = 20;

// Tangent near a multiple of pi. sqrt(1 - c^2) / c loses the leading digits that 1 - c^2 =
// sin^2 a cancels: about 2 log10(1 / |sin a|) of the cosine's p + 3 fractional limbs. Below
// 10^-5 that is more than one of the three guard limbs, and the tangent keeps fewer than the
// p + 2 limbs the arctangent's stop test reads (its correction has to fall p + 2 limbs below the
// iterate); from about 10^-15 on the promised limbs go as well, and where a^2 lies beneath the
// last live limb the quotient is 0. A reduced angle within 10^-5 of 0 or of pi therefore takes
// sin / cos of its distance instead (docs/deviations.md).
constexpr double kSmallTangentAngle = 1e-5;
// A reduced angle whose estimate exceeds this may lie within 10^-5 of pi.
constexpr double kNearPi = 3.14158;

// A tiny angle: its exponent lies below -5 (P + 5), P the products' precision, so that a^3 / 6
// falls wholly beyond the last of a's P + 4 limbs and a^2 / 2 beyond that of 1. The series then
// add nothing that lands: cos a = 1 and sin a = tan a = a exactly, at precision P. Such an angle
// takes those values at once; through the series its powers up to the 63rd would leave the
// exponent range for angles below about 10^(-3 * 10^7).
bool IsTinyAngle(const WorkLong& a) { return a.exponent < -5 * (ProductPrecision(a.precision) + 5); }

// a at the products' precision; the added limbs are 0.
WorkLong AtProductPrecision(const WorkLong& a) {
    WorkLong r = a;
    const int32_t precision = ProductPrecision(a.precision);
    for (int32_t k = LastLimb(a) + 1; k <= precision + GUARD_LIMBS; ++k) r.limbs[k] = 0.0;
    r.precision = precision;
    return r;
}

// The product of the two consecutive whole numbers that enter a factorial together at step c:
// (2c - 1) * 2c for the even factorials of the cosine (odd = 0), 2c * (2c + 1) for the odd ones
// of the sine (odd = 1). Below 2^53 for every c of the 20 blocks.
double FactorPair(int32_t c, int32_t odd) {
    const double high = 2.0 * c + odd;
    return (high - 1.0) * high;
}

// The terms k = 2, 3, ... of a Taylor series added to sum in blocks of 30. On entry sum holds the
// terms up to k = 1, pw = y^(2 + odd) and den = (2 + odd)!, the power and factorial of that last
// term. Per block a factor table F[m] = the product of FactorPair(i + r) over r = m + 1 .. 30 is
// built by short products from its end, den is multiplied up to the block's last factorial and
// inverted once; each term is then pw * (1 / den) * F[j], added for even k and subtracted for
// odd k. Returns whether the block's last term fell below the stop rule within 20 blocks.
// y^2 enters every power's product and the block's reciprocal every term's, and each new power
// enters the term's product and then the next power's: their spectra are kept from one product
// to the next (the same bits as fresh transforms), so a term makes 6 of its 12 forward
// transforms.
bool SumBlocks(WorkLong& sum, WorkLong& pw, WorkLong& y2, WorkLong& den, WorkLong& one,
               int32_t precision, int32_t odd) {
    WorkLong factors[kBlockTerms];
    WorkLong reciprocal;
    WorkLong term;
    KeptSpectra keptPower;
    KeptSpectra keptSquare;
    KeptSpectra keptReciprocal;
    for (int32_t block = 0; block < kMaxBlocks; ++block) {
        const int32_t i = 1 + kBlockTerms * block;
        InitLong(factors[kBlockTerms - 1], precision, 1, 0, FactorPair(i + kBlockTerms, odd));
        for (int32_t m = kBlockTerms - 1; m >= 1; --m)
            MultiplSmall(factors[m - 1], factors[m], FactorPair(i + m, odd));
        MultiplLong(den, den, factors[0]);
        DivLong(reciprocal, one, den);
        for (int32_t j = 1; j <= kBlockTerms; ++j) {
            const int32_t k = i + j;
            MultiplLongKept(pw, pw, y2, &keptPower, &keptSquare);
            MultiplLongKept(term, pw, reciprocal, &keptPower, &keptReciprocal);
            if (j < kBlockTerms) MultiplLong(term, term, factors[j]);
            if (std::fmod(static_cast<double>(k), 2.0) == 0.0)
                AddLong(sum, sum, term);
            else
                SubtractLong(sum, sum, term);
        }
        if (IterationDone(sum.precision, sum.exponent, term.exponent)) return true;
    }
    return false;
}

// pi / 2 as pi halved by the short division, pi from the call's holder.
WorkLong& HalfPi(WorkLong& half, ConstantHolder& pi, int32_t precision) {
    return DivSmall(half, pi.At(precision), 2.0);
}

// Whether a whole-number record is odd: the parity of the limb that holds its units digit.
bool IsOdd(const WorkLong& q) {
    if (q.sign == 0) return false;
    const int32_t units = q.exponent / 10;
    if (units < 0 || units > LastLimb(q)) return false;
    return std::fmod(q.limbs[units], 2.0) != 0.0;
}

// a <- a - q * pi with q = FixLong(a / pi), the whole number of half-turns in a; a normalised.
// Returns whether q is odd. pi, the quotient and the product are taken at a's own precision, and
// pi is good to about p + 2 limbs, so an angle of magnitude 10^k keeps about 10 (p + 2) - k
// digits of its reduced value (docs/trigonometric-accuracy.md).
bool ReduceByPi(WorkLong& a, ConstantHolder& holder) {
    WorkLong& pi = holder.At(a.precision);
    WorkLong q;
    DivLong(q, a, pi);
    FixLong(q, q);
    const bool odd = IsOdd(q);
    WorkLong turns;
    MultiplLong(turns, q, pi);
    SubtractLong(a, a, turns);
    Normalize(a);
    return odd;
}

// A call's angle after the front part and the reduction by pi.
struct ReducedAngle {
    WorkLong a;  // |x| less its whole half-turns of pi, normalised
    int32_t s;   // -1 after an odd number of half-turns, else +1
    double v;    // the double estimate of a
};

// The front part of the three workers, on r already built as the answer for a zero angle. A
// flagged argument gives r with error -1, no message; a zero angle gives r itself; an angle of
// 10^20 or more gives r with the worker's message and error -1; a tiny angle gives the series'
// values at once: 1 for the cosine, the angle with x's sign for the sine and the tangent
// (angleIfTiny). Each of these is copied into result and true returned. Otherwise |x| is reduced
// by pi when its estimate reaches 3.141592653 (pi taken from the holder then) and false returned.
bool SettledBeforeSeries(WorkLong& result, WorkLong& r, ReducedAngle& angle, ConstantHolder& pi,
                         const WorkLong& x, Message tooLarge, bool angleIfTiny) {
    if (Failed(x)) {
        FailQuietly(result, r);
        return true;
    }
    WorkLong& a = angle.a;
    a = x;
    a.sign = 1;
    if (Normalize(a) != 0) {  // reported by the normalisation
        FailQuietly(result, r);
        return true;
    }
    if (a.sign == 0) {
        CopyOut(result, r);
        return true;
    }
    if (a.exponent > kLargestExponent) {
        FailWith(result, r, tooLarge);
        return true;
    }
    if (IsTinyAngle(a)) {
        WorkLong tiny = AtProductPrecision(a);
        tiny.sign = x.sign;
        if (!angleIfTiny) tiny = WholeNumber(tiny.precision, 1.0);
        CopyOut(result, tiny);
        return true;
    }
    angle.s = 1;
    angle.v = EstimateDouble(a);
    if (angle.v >= kReduceFrom) {
        if (ReduceByPi(a, pi)) angle.s = -1;
        angle.v = EstimateDouble(a);
    }
    return false;
}

// The series' magnitude with the sign its quadrant gives; a zero keeps sign 0.
WorkLong& WithSign(WorkLong& result, WorkLong& series, int32_t sign) {
    series.sign = series.exponent == ZERO_EXPONENT ? 0 : sign;
    return CopyOut(result, series);
}

// tan a as SinSeries(a) / CosSeries(a), for a reduced angle too small for sqrt(1 - cos^2): the
// quotient keeps the series' relative precision, so tan a = a (1 + a^2 / 3 + ...) to every limb.
// The sign follows a.
WorkLong& SmallAngleTangent(WorkLong& result, const WorkLong& a) {
    WorkLong y = a;
    WorkLong sine;
    SinSeries(sine, y);
    WorkLong cosine;
    CosSeries(cosine, y);
    return DivLong(result, sine, cosine);
}

}  // namespace

// Cosine series 1 - y^2/2 + y^4/4! - ... at y's precision (products at least 5 limbs): blocks of
// 30 terms until a block's last term lies precision + 2 limbs below the sum, every product and
// the block's reciprocal truncated as the transform product truncates. y's error reaches the sum
// through the products. After 20 blocks without convergence: the message and error -1 on the
// partial sum.
WorkLong& CosSeries(WorkLong& result, WorkLong& y) {
    const int32_t p = y.precision;
    WorkLong one = WholeNumber(p, 1.0);
    WorkLong y2;
    MultiplLong(y2, y, y);
    WorkLong pw = y2;
    WorkLong den = WholeNumber(p, 2.0);
    WorkLong sum;
    DivSmall(sum, pw, 2.0);
    SubtractLong(sum, one, sum);
    if (!SumBlocks(sum, pw, y2, den, one, p, 0))
        return FailWith(result, sum, Message::CosNotConverged);
    return CopyOut(result, sum);
}

// Sine series y - y^3/3! + y^5/5! - ..., as the cosine series with the odd factorials; the sum
// takes y's sign. A zero y gives zero after the first two terms. The failure message reports y's
// exponent and leading two limbs.
WorkLong& SinSeries(WorkLong& result, WorkLong& y) {
    const int32_t p = y.precision;
    WorkLong sum = y;
    WorkLong y2;
    MultiplLong(y2, y, y);
    WorkLong pw;
    MultiplLong(pw, y, y2);
    WorkLong one = WholeNumber(p, 1.0);
    WorkLong den = WholeNumber(p, 6.0);
    WorkLong term;
    DivSmall(term, pw, 6.0);
    SubtractLong(sum, sum, term);
    if (sum.sign == 0) return CopyOut(result, sum);
    if (!SumBlocks(sum, pw, y2, den, one, p, 1)) {
        Report(Message::SinNotConverged, y.exponent, y.limbs[0], y.limbs[1]);
        return FailQuietly(result, sum);
    }
    return CopyOut(result, sum);
}

// sqrt(1 - c^2) / c through the transform product, the square root and the reciprocal division,
// at c's precision; never negative for c > 0. A zero c gives zero with error -1, no message.
WorkLong& TanFromCos(WorkLong& result, WorkLong& c) {
    const int32_t p = c.precision;
    WorkLong r;
    InitLong(r, p, 0, 0, 0.0);
    WorkLong one = WholeNumber(p, 1.0);
    if (c.sign == 0) return FailQuietly(result, r);
    MultiplLong(r, c, c);
    SubtractLong(r, one, r);
    SqrLong(r, r);
    return DivLong(result, r, c);
}

// cos x for |x| < 10^20 at x's precision: |x| reduced by whole half-turns of pi (pi taken from
// the holder only when a branch needs it), then one of the two series on the reduced angle, its
// distance from pi/2 or from pi, chosen by the double estimate. cos of a flagged x is 1 with
// error -1; an angle of 10^20 or more prints its message and gives 1 with error -1.
WorkLong& CosLongWith(WorkLong& result, const WorkLong& x, ConstantHolder& pi) {
    const int32_t p = x.precision;
    WorkLong r;
    InitLong(r, p, 1, 0, 1.0);
    ReducedAngle angle;
    if (SettledBeforeSeries(result, r, angle, pi, x, Message::CosAngleTooLarge, false))
        return result;
    WorkLong& a = angle.a;
    const int32_t s = angle.s;
    const double v = angle.v;

    WorkLong y;
    int32_t sign = s;
    if (v < kBandLow) {
        if (v <= kFirstOctant) {
            CosSeries(r, a);
        } else {
            HalfPi(y, pi, p);
            SubtractLong(y, y, a);
            SinSeries(r, y);
        }
    } else if (v < kBandHigh) {
        // Near pi/2 the estimate cannot tell the side; the exact difference does.
        HalfPi(y, pi, p);
        SubtractLong(y, a, y);
        SinSeries(r, y);
        if (y.sign > 0) sign = -s;
    } else if (v > kLastOctant) {
        SubtractLong(y, pi.At(p), a);
        CosSeries(r, y);
        sign = -s;
    } else {
        HalfPi(y, pi, p);
        SubtractLong(y, a, y);
        SinSeries(r, y);
        sign = -s;
    }
    return WithSign(result, r, sign);
}

WorkLong& CosLong(WorkLong& result, const WorkLong& x) {
    ConstantHolder pi(Constant::Pi);
    return CosLongWith(result, x, pi);
}

// sin x for |x| < 10^20 at x's precision, as cos x but with the sine's own thresholds; the sign
// is that of the half-turn parity times x's sign. A flagged x gives 0 with error -1; an angle of
// 10^20 or more its message and 0 with error -1.
WorkLong& SinLong(WorkLong& result, const WorkLong& x) {
    const int32_t p = x.precision;
    const int32_t xSign = x.sign;
    WorkLong r;
    InitLong(r, p, 0, 0, 0.0);
    ReducedAngle angle;
    ConstantHolder pi(Constant::Pi);
    if (SettledBeforeSeries(result, r, angle, pi, x, Message::SinAngleTooLarge, true))
        return result;
    WorkLong& a = angle.a;
    const double v = angle.v;

    WorkLong y;
    if (v >= kLastOctant) {
        SubtractLong(y, pi.At(p), a);
        SinSeries(r, y);
    } else if (v < kFirstOctant) {
        SinSeries(r, a);
    } else {
        HalfPi(y, pi, p);
        SubtractLong(y, a, y);
        CosSeries(r, y);
    }
    return WithSign(result, r, angle.s * xSign);
}

// tan x for |x| < 10^20 at x's precision: |x| reduced by pi (no parity: the period is pi), then
// sqrt(1 - cos^2) / cos from CosLong, which reduces afresh with the same pi holder. A reduced
// angle within 10^-5 of 0 or of pi takes sin / cos of its distance instead, as the cancellation
// in 1 - cos^2 would eat the guard limbs there. The sign is then multiplied by x's. A flagged x
// gives 0 with error -1; an angle of 10^20 or more its message and 0 with error -1; a cosine that
// comes out exactly zero gives 0 with error -1.
WorkLong& TanLongWith(WorkLong& result, const WorkLong& x, ConstantHolder& pi) {
    const int32_t p = x.precision;
    const int32_t xSign = x.sign;
    WorkLong r;
    InitLong(r, p, 0, 0, 0.0);
    // The reduction's parity is not used: the period of tan is pi.
    ReducedAngle angle;
    if (SettledBeforeSeries(result, r, angle, pi, x, Message::TanAngleTooLarge, true))
        return result;
    WorkLong& a = angle.a;
    const double v = angle.v;

    // The distance d of an angle near pi from pi: tan a = -tan d.
    WorkLong d;
    InitLong(d, p, 0, 0, 0.0);
    if (v > kNearPi) SubtractLong(d, pi.At(p), a);

    if (a.sign != 0 && std::fabs(v) < kSmallTangentAngle) {
        SmallAngleTangent(r, a);
    } else if (d.sign != 0 && std::fabs(EstimateDouble(d)) < kSmallTangentAngle) {
        SmallAngleTangent(r, d);
        r.sign = -r.sign;
    } else {
        CosLongWith(r, a, pi);
        TanFromCos(r, r);
    }
    r.sign *= xSign;
    return CopyOut(result, r);
}

WorkLong& TanLong(WorkLong& result, const WorkLong& x) {
    ConstantHolder pi(Constant::Pi);
    return TanLongWith(result, x, pi);
}

}  // namespace ostrel2

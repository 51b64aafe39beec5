// inverse_trigonometric.cpp -- arctangent by Newton's iteration on the tangent, arcsine and
// arccosine through it, and the digit cut that makes starting values just below pi/2.
#include "transcendental/inverse_trigonometric.h"

#include <cmath>
#include <cstdint>

#include "arith/addition.h"
#include "arith/divide_long.h"
#include "arith/divide_reciprocal.h"
#include "arith/transform/multiply_transform.h"
#include "core/diagnostics.h"
#include "core/worker_helpers.h"
#include "powers/square_root.h"
#include "transcendental/constants.h"
#include "transcendental/trigonometric.h"

namespace ostrel2 {

namespace {

// Newton's iteration on tan y = |x| doubles the correct digits per step from the ten of the
// double start; 100 steps are far more than any converging start needs.
constexpr int32_t kMaxNewtonSteps = 100;
// A first Newton step whose estimate lies above this has found the root within a hair of pi/2;
// the start is then rebuilt from pi/2 itself.
constexpr double kNearHalfPi = 1.570796326;
// Lifts a decimal logarithm a hair below a whole number onto it.
constexpr double kLogNudge = 1e-11;

// y <- t >= 0 truncated to ten decimal places: the units in limb 0 and ten decimals in limb 1,
// or, for t below 1, the ten decimals moved up into limb 0. y is a zero record on entry; its sign
// becomes +1 even when no digit survives (t < 10^-10), which the arithmetic takes as zero.
void EncodeStart(WorkLong& y, double t) {
    const double whole = std::floor(t);
    y.exponent = 0;
    y.limbs[0] = whole;
    y.limbs[1] = std::floor((t - whole) * LIMB_BASE);
    if (y.limbs[0] == 0.0) {
        y.limbs[0] = y.limbs[1];
        y.limbs[1] = 0.0;
        y.exponent = -10;
    }
    y.sign = 1;
}

// One Newton step for tan y = a: correction <- (a - tan y) / (1 + tan^2 y), next <- y +
// correction. One tangent (pi from the call's holder), one transform product, one reciprocal
// division, three additions.
void NewtonStep(WorkLong& next, WorkLong& correction, WorkLong& y, WorkLong& a, WorkLong& one,
                ConstantHolder& pi) {
    WorkLong tangent;
    TanLongWith(tangent, y, pi);
    WorkLong w;
    MultiplLong(w, tangent, tangent);
    SubtractLong(tangent, a, tangent);
    AddLong(w, one, w);
    DivLong(correction, tangent, w);
    AddLong(next, y, correction);
}

// Whether a start cut from pi/2 is pi/2 itself: every digit position the cut cleared was zero.
// Both records are canonical.
bool IsHalfPiItself(const WorkLong& start, const WorkLong& halfPi) {
    if (start.sign != halfPi.sign || start.exponent != halfPi.exponent) return false;
    for (int32_t k = 0; k <= LastLimb(halfPi); ++k) {
        if (start.limbs[k] != halfPi.limbs[k]) return false;
    }
    return true;
}

// The decimal order floor(log10 |a|) of a canonical non-zero record, from its leading limb.
int32_t DecimalOrder(const WorkLong& a) {
    return a.exponent + TruncToInt32(std::log10(a.limbs[0]) + kLogNudge);
}

// Whether tan(start) >= a: from there the iteration runs down to the root without overshooting
// it, tan being convex on (0, pi/2).
bool TangentReaches(const WorkLong& start, WorkLong& a, ConstantHolder& pi) {
    WorkLong tangent;
    TanLongWith(tangent, start, pi);
    WorkLong gap;
    SubtractLong(gap, a, tangent);
    return gap.sign <= 0;
}

// Arguments below this exponent are normalised before their square is formed (ordinary ones are
// normalised by the product itself), so that their size can be told.
constexpr int32_t kFarBelowExponent = -999000000;
// The largest exponent of an x whose square x^2 falls below the exponents a product may carry
// (-2,000,000,000): |x| below 10^-1,000,000,000.
constexpr int32_t kTinySquareExponent = -1000000010;

// Whether x (unflagged, non-zero on entry) is so close to 0 that x^2 lies beyond every product.
// An x that far out is normalised in place first; status is set to -1 when that normalisation
// refuses the record (it prints why), which the caller passes on.
bool HasTinySquare(WorkLong& x, int32_t& status) {
    status = 0;
    if (x.exponent >= kFarBelowExponent) return false;
    status = Normalize(x);
    return status != -1 && x.sign != 0 && x.exponent <= kTinySquareExponent;
}

// 1 - x^2 at x's precision (the product carries at least 5 limbs); x is normalised in place.
WorkLong OneMinusSquare(WorkLong& x) {
    WorkLong one = WholeNumber(x.precision, 1.0);
    WorkLong w;
    MultiplLong(w, x, x);
    return SubtractLong(w, one, w);
}

}  // namespace

// v with its last n digit positions cleared, as a shift of the limbs down by n digits (exact
// limb splits; RoundHalfEven removes the noise of the division by 10^d) and the exponent raised
// by n. Nothing is rounded: the value is truncated toward zero. v is only read; the result has
// v's precision and is normalised (a zero when no limb survives). A negative n is taken as 0.
WorkLong& CutDigits(WorkLong& result, const WorkLong& v, int32_t n) {
    if (n < 0) n = 0;
    const int32_t p = v.precision;
    const int32_t last = LastLimb(v);
    WorkLong r;
    InitLong(r, p, 0, 0, 0.0);
    const int32_t q = n / 10;
    const int32_t d = n - 10 * q;
    if (q <= last) {
        const double scale = std::pow(10.0, d);
        const double rise = std::pow(10.0, 10 - d);
        for (int32_t j = 0; q + j < last; ++j) {
            double high = 0.0;
            const double low = std::modf(v.limbs[j] / scale, &high);
            r.limbs[q + j] += high;
            r.limbs[q + j + 1] = rise * RoundHalfEven(scale * low);
        }
        double high = 0.0;
        std::modf(v.limbs[last - q] / scale, &high);
        r.limbs[last] += high;
        for (int32_t i = last; i >= 1; --i) {
            if (r.limbs[i] >= LIMB_BASE) {
                r.limbs[i] -= LIMB_BASE;
                r.limbs[i - 1] += 1.0;
            }
        }
    }
    r.exponent = TruncToInt32(static_cast<double>(v.exponent) + n);
    r.sign = v.sign;
    Normalize(r);
    return CopyOut(result, r);
}

namespace {

// pi / 2 at the given precision, pi from the call's holder halved by the short division.
WorkLong& HalfPiFrom(WorkLong& result, ConstantHolder& pi, int32_t precision) {
    return DivSmall(result, pi.At(precision), 2.0);
}

// pi/2 cut after the given number of decimals, counted on pi/2's own live limbs; as many
// decimals as those limbs hold, or more, leave pi/2 whole.
WorkLong& HalfPiCutAfter(WorkLong& result, const WorkLong& halfPi, int32_t decimals) {
    const int32_t cut = 10 * (halfPi.precision + GUARD_LIMBS) - decimals;
    return CutDigits(result, halfPi, cut > 0 ? cut : 0);
}

}  // namespace

// atan x in [-pi/2, pi/2] at x's precision, by Newton's iteration on tan y = |x| until the
// correction lies precision + 2 limbs below the iterate; the sign is x's. Starts:
// - |x| below 10^(-10(p + 3)) is its own arctangent and is returned as it is;
// - |x| from 10^(5(p + 3) + 10): pi/2 at once from 10^(10(p + 4)), else pi/2 cut after as many
//   decimals as |x|'s exponent; should the tangent there fall short of |x| (the cut left pi/2
//   up to ten digits further off than 1/|x|, from where the iteration would overshoot pi/2), cut
//   after |x|'s decimal order plus one instead;
// - otherwise the double arctangent cut to ten decimals and one Newton step; an estimate above
//   1.570796326 rebuilds the start from pi/2 cut after |x|'s decimal order, or one decimal later
//   if the tangent there is still below |x|.
// The cuts count decimals on pi/2's own live limbs (a quotient: precision max(p, 5)). A start
// cut from pi/2 that equals pi/2 at working precision is the answer, without iterating: its
// tangent would be the exact zero cosine's failure. A flagged x gives 0 with error -1; after 100
// steps without convergence: the message and error -1 on the last iterate. Errors of the
// tangents and products add into the result's. pi/2 and every tangent take pi from the holder,
// so a call computes it once.
WorkLong& AtnLongWith(WorkLong& result, const WorkLong& x, ConstantHolder& pi) {
    const int32_t p = x.precision;
    const int32_t xSign = x.sign;
    WorkLong y;
    InitLong(y, p, 0, 0, 0.0);
    if (Failed(x)) return FailQuietly(result, y);
    WorkLong a = x;
    if (Normalize(a) != 0) return FailQuietly(result, y);  // reported by the normalisation
    if (a.sign == 0) return CopyOut(result, y);
    a.sign = 1;
    WorkLong one = WholeNumber(p, 1.0);

    const int32_t liveDigits = 10 * (p + GUARD_LIMBS);
    if (a.exponent < -liveDigits) {
        a.sign = xSign;
        return CopyOut(result, a);
    }

    WorkLong halfPi;
    InitLong(halfPi, p, 0, 0, 0.0);
    if (a.exponent > liveDigits / 2) {
        HalfPiFrom(halfPi, pi, p);
        if (a.exponent > liveDigits) {
            halfPi.sign = xSign;
            return CopyOut(result, halfPi);
        }
        HalfPiCutAfter(y, halfPi, a.exponent);
        if (!IsHalfPiItself(y, halfPi) && !TangentReaches(y, a, pi))
            HalfPiCutAfter(y, halfPi, DecimalOrder(a) + 1);
    } else {
        const double v = EstimateDouble(a);
        EncodeStart(y, std::atan(v));
        WorkLong w;
        WorkLong correction;
        NewtonStep(w, correction, y, a, one, pi);
        if (EstimateDouble(w) <= kNearHalfPi) {
            y = w;
        } else {
            // The decimal order of |x|; from the record itself where the estimate has left the
            // double range (|x| above 1.8 * 10^308, from precision 59 on).
            const int32_t order =
                std::isfinite(v) ? TruncToInt32(std::log10(v) + kLogNudge) : DecimalOrder(a);
            HalfPiFrom(halfPi, pi, p);
            HalfPiCutAfter(y, halfPi, order);
            if (!TangentReaches(y, a, pi)) HalfPiCutAfter(y, halfPi, order + 1);
        }
    }
    if (halfPi.sign != 0 && IsHalfPiItself(y, halfPi)) {
        halfPi.sign = xSign;
        return CopyOut(result, halfPi);
    }

    WorkLong correction;
    bool converged = false;
    for (int32_t step = 0; step < kMaxNewtonSteps && !converged; ++step) {
        NewtonStep(y, correction, y, a, one, pi);
        converged = IterationDone(p, y.exponent, correction.exponent);
    }
    y.sign = xSign;
    if (!converged) return FailWith(result, y, Message::AtanNotConverged);
    return CopyOut(result, y);
}

WorkLong& AtnLong(WorkLong& result, const WorkLong& x) {
    ConstantHolder pi(Constant::Pi);
    return AtnLongWith(result, x, pi);
}

// asin x for |x| <= 1 at x's precision, as atan(x / sqrt(1 - x^2)); 1 - x^2 is formed at x's
// precision, so |x| = 1 there gives +-pi/2 without the arctangent, and a magnitude above 1 (also
// one beyond the live limbs only) its message and 0 with error -1. x is normalised in place by
// the product. A flagged x gives 0 with error -1; x = 0 gives 0. Below 10^-1,000,000,000, where
// x^2 would fall below the products' exponents, asin x = x + x^3/6 + ... is x itself to far
// beyond the last limb: x at the products' precision (max(p, 5), the precision of its neighbours'
// quotient), limbs beyond x's own 0.
WorkLong& AsnLong(WorkLong& result, WorkLong& x) {
    const int32_t p = x.precision;
    WorkLong r;
    InitLong(r, p, 0, 0, 0.0);
    if (Failed(x)) return FailQuietly(result, r);
    if (x.sign == 0) return CopyOut(result, r);
    int32_t status = 0;
    if (HasTinySquare(x, status)) {
        InitLong(r, ProductPrecision(p), x.sign, x.exponent, 0.0);
        for (int32_t k = 0; k <= LastLimb(x); ++k) r.limbs[k] = x.limbs[k];
        return CopyOut(result, r);
    }
    if (status == -1) return FailQuietly(result, r);  // reported by the normalisation
    WorkLong w = OneMinusSquare(x);
    ConstantHolder pi(Constant::Pi);
    if (w.sign == 0) {
        HalfPiFrom(r, pi, p);
        r.sign = x.sign;
    } else if (w.sign < 0) {
        return FailWith(result, r, Message::AsinDomain);
    } else {
        SqrLong(w, w);
        DivLong(w, x, w);
        AtnLongWith(r, w, pi);
    }
    return CopyOut(result, r);
}

// acos x for |x| <= 1 in [0, pi] at x's precision, as atan(sqrt(1 - x^2) / x), plus pi for a
// negative x; acos 1 = 0, acos -1 = pi and acos 0 = pi/2 without the arctangent. A magnitude
// above 1 at x's precision prints its message and gives 0 with error -1; a flagged x gives 0 with
// error -1. x is normalised in place by the product. Below 10^-1,000,000,000, where x^2 would
// fall below the products' exponents, acos x = pi/2 - x - x^3/6 - ... is pi/2 - x (a truncated
// difference) to far beyond the last limb.
WorkLong& AcsLong(WorkLong& result, WorkLong& x) {
    const int32_t p = x.precision;
    WorkLong r;
    InitLong(r, p, 0, 0, 0.0);
    if (Failed(x)) return FailQuietly(result, r);
    ConstantHolder pi(Constant::Pi);
    int32_t status = 0;
    if (x.sign != 0 && HasTinySquare(x, status)) {
        HalfPiFrom(r, pi, p);
        return SubtractLong(result, r, x);
    }
    if (status == -1) return FailQuietly(result, r);  // reported by the normalisation
    WorkLong w = OneMinusSquare(x);
    if (w.sign == 0) {
        if (x.sign < 0) r = pi.At(p);
        return CopyOut(result, r);
    }
    if (w.sign < 0) return FailWith(result, r, Message::AcosDomain);
    if (x.sign == 0) {
        HalfPiFrom(r, pi, p);
    } else {
        SqrLong(w, w);
        DivLong(w, w, x);
        AtnLongWith(r, w, pi);
        if (x.sign < 0) AddLong(r, pi.At(p), r);
    }
    return CopyOut(result, r);
}

}  // namespace ostrel2

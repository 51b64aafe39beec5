// hyperbolic.cpp -- sinh, cosh and tanh from the two exponentials e^x and e^-x; asinh, acosh and
// atanh as one logarithm each; short series where those formulas would cancel.
//
// The formulas keep three guard limbs beyond the precision. Near 0, sinh and tanh subtract two
// exponentials that agree in their leading digits, and asinh and atanh take the logarithm of
// 1 + (about x): each loses about log10(1/|x|) digits, and below 10^-(10 p + 30) or so the result
// is exactly 0. The exponentials and logarithms themselves keep about two of the guard limbs, so
// below 10^-10 (exponent -20 and lower), where the loss passes one limb, the odd functions are
// summed from their series instead, which have no cancellation. For negative x from -10^10 on,
// asinh's sum x + sqrt(x^2 + 1) loses about log10(2 x^2) digits, 20 or more; there asinh x is
// taken as -asinh(-x). From |x| = 4,943,650,194 on, where e^-|x| leaves the record's exponents,
// tanh x is +-1 outright. docs/deviations.md gives the bounds and the evidence.
#include "transcendental/hyperbolic.h"

#include <cstdint>

#include "arith/addition.h"
#include "arith/divide_long.h"
#include "arith/divide_reciprocal.h"
#include "arith/multiply_schoolbook.h"
#include "arith/transform/multiply_transform.h"
#include "core/diagnostics.h"
#include "core/worker_helpers.h"
#include "powers/exponent_shift.h"
#include "powers/square_root.h"
#include "transcendental/constants.h"
#include "transcendental/exponential.h"

namespace ostrel2 {

namespace {

// Largest exponent of the arguments summed from a series: |x| < 10^-10.
constexpr int32_t kSeriesExponent = -20;
// Smallest exponent from which a negative asinh argument is mirrored: |x| >= 10^10.
constexpr int32_t kMirrorExponent = 10;
// Smallest exponent from which asinh and acosh are ln 2|x|: |x| >= 10^1,000,000,000, where x^2
// reaches the products' exponent limit and 1 / (4 x^2), the formulas' next term, lies 2 x 10^9
// digits below the result.
constexpr int32_t kDoubledLogExponent = 1000000000;
// Acosh arguments above this exponent, or below its negative, are normalised before their square
// is formed (ordinary ones are normalised by the product itself), so that their size can be told.
constexpr int32_t kFarAboveExponent = 999000000;
// Smallest |x| whose tanh is +-1 outright: 4,943,650,194, the whole part of 2,147,000,000 ln 10.
// From there on e^-|x| lies within a unit of the record's smallest exponent, and from
// 4,943,650,194.658... on beyond it, where the exponential refuses it; and 1 - tanh |x| =
// 2 / (e^2|x| + 1), about 10^-4,294,000,000, lies far beyond the last limb of any precision (it
// does so from |x| of about 3,500 on).
constexpr double kUnitTanhMagnitude = 4943650194.0;
constexpr double kFloorInNaturalLog = -static_cast<double>(EXPONENT_FLOOR) * 2.302585092994046;
static_assert(kUnitTanhMagnitude <= kFloorInNaturalLog &&
                  kFloorInNaturalLog < kUnitTanhMagnitude + 1.0,
              "the whole part of the smallest exponent's magnitude times ln 10");

// Whether a normalised, unflagged x has |x| >= kUnitTanhMagnitude: an exponent of 10 or more, or
// exponent 0 and the whole part in its leading limb.
bool ReciprocalExponentialVanishes(const WorkLong& x) {
    return x.error >= 0 && x.sign != 0 &&
           (x.exponent > 0 || (x.exponent == 0 && x.limbs[0] >= kUnitTanhMagnitude));
}

// Whether a normalised, unflagged, non-zero x is small enough for the series.
bool TakesSeries(const WorkLong& x) {
    return x.error >= 0 && x.sign != 0 && x.exponent <= kSeriesExponent;
}

// Factor of each series term over the one before, apart from x^2: numerator / denominator.
struct TermRatio {
    double numerator;
    double denominator;
};

// first + sum_{k >= 1} t_k, t_0 = first, t_k = t_{k-1} x^2 ratio(k), at x.precision (at least 5
// once a product is taken), for |x| < 10^-10: every term lies at least 20 digits below the last,
// so p / 2 + 2 terms reach the stop rule. When x^2 itself lies beyond the stop rule, the sum is
// first alone (and x^2, which may lie below the smallest exponent a product may have, is not
// formed). Each product and short division is truncated.
template <class Ratio>
WorkLong SeriesInSquare(const WorkLong& first, const WorkLong& x, Ratio ratio) {
    WorkLong sum = first;
    const int64_t squareDigits = 2 * (static_cast<int64_t>(x.exponent) + 10);
    if (squareDigits < -(10 * static_cast<int64_t>(x.precision) + 19)) return sum;

    WorkLong base = x;
    WorkLong square;
    MultiplLong(square, base, base);
    WorkLong term = first;
    // x^2 enters every term's product: its spectra are kept (the same bits as fresh transforms).
    KeptSpectra keptSquare;
    for (int32_t k = 1;; ++k) {
        const TermRatio r = ratio(k);
        MultiplLongKept(term, term, square, nullptr, &keptSquare);
        if (r.numerator != 1.0) MultiplSmall(term, term, r.numerator);
        DivSmall(term, term, r.denominator);
        AddLong(sum, sum, term);
        if (IterationDone(sum.precision, sum.exponent, term.exponent)) return sum;
    }
}

// sinh x = x + x^3/3! + x^5/5! + ...
WorkLong SinhSeries(const WorkLong& x) {
    return SeriesInSquare(x, x, [](int32_t k) {
        return TermRatio{1.0, 2.0 * k * (2.0 * k + 1.0)};
    });
}

// cosh x = 1 + x^2/2! + x^4/4! + ...
WorkLong CoshSeries(const WorkLong& x) {
    WorkLong one;
    InitLong(one, x.precision, 1, 0, 1.0);
    return SeriesInSquare(one, x, [](int32_t k) {
        return TermRatio{1.0, (2.0 * k - 1.0) * 2.0 * k};
    });
}

// asinh x = x - (1/2) x^3/3 + (1 3)/(2 4) x^5/5 - ...: t_k = -t_{k-1} x^2 (2k-1)^2 / (2k (2k+1)).
WorkLong AsinhSeries(const WorkLong& x) {
    return SeriesInSquare(x, x, [](int32_t k) {
        const double odd = 2.0 * k - 1.0;
        return TermRatio{-odd * odd, 2.0 * k * (2.0 * k + 1.0)};
    });
}

// atanh x = x + x^3/3 + x^5/5 + ...: t_k = t_{k-1} x^2 (2k-1) / (2k+1).
WorkLong AtanhSeries(const WorkLong& x) {
    return SeriesInSquare(x, x, [](int32_t k) {
        return TermRatio{2.0 * k - 1.0, 2.0 * k + 1.0};
    });
}

// Normalises an unflagged x in place before the size tests (the exponentials and products
// would normalise it next anyway); a flagged x is left for the formulas to refuse.
void NormalizeUnflagged(WorkLong& x) {
    if (x.error >= 0) Normalize(x);
}

// e^x into plus and e^-x into minus, both by ExpLong with one e, x normalised in place by the
// first.
void BothExponentials(WorkLong& plus, WorkLong& minus, WorkLong& x) {
    ConstantHolder e(Constant::E);
    ExpLongWith(plus, x, e);
    minus = x;
    minus.sign = -minus.sign;
    ExpLongWith(minus, minus, e);
}

// (e^x - e^-x) / 2 for sinh (sign -1) or (e^x + e^-x) / 2 for cosh (sign +1): the difference or
// sum truncated and halved by a short division. When an exponential fails (a flagged x, or one
// beyond the exponential's range, which each exponential reports), the result carries the
// exponentials' errors: a sum or difference of their two zeros would drop them.
//
// For kUnitTanhMagnitude <= |x| < 10^10, e^-|x| lies at the record's smallest exponent or beyond
// it and 10^4,294,000,000 or more below e^|x|, so that its sum and difference are e^|x| to the last
// limb: e^|x| alone is taken (with x's sign for sinh), and the refusal of e^-|x| no longer fails
// a result that fits. Where e^|x| itself leaves the record it fails as the result.
WorkLong& HalfExponentials(WorkLong& result, WorkLong& x, int32_t sign) {
    WorkLong plus;
    WorkLong minus;
    WorkLong combined;
    NormalizeUnflagged(x);
    if (ReciprocalExponentialVanishes(x) && x.exponent == 0) {
        ConstantHolder e(Constant::E);
        WorkLong magnitude = x;
        magnitude.sign = 1;
        ExpLongWith(plus, magnitude, e);
        combined = plus;
        if (sign < 0 && x.sign < 0 && combined.sign != 0) combined.sign = -1;
        InitLong(minus, x.precision, 0, 0, 0.0);
    } else {
        BothExponentials(plus, minus, x);
        if (sign < 0) {
            SubtractLong(combined, plus, minus);
        } else {
            AddLong(combined, plus, minus);
        }
    }
    // Halved on its mantissa, its exponent taken out and put back (the same limbs), so that a sum
    // beyond the products' exponent limit, e^|x| up to the top of the record's exponents, is
    // halved like any other; half of a record cannot leave the record's exponents.
    const int64_t shift = TakeExponent(combined);
    WorkLong r;
    DivSmall(r, combined, 2.0);
    PlaceShift(r, shift);
    if (Failed(plus) || Failed(minus)) {
        const int32_t errors = SumErrors(plus.error, minus.error);
        if (errors < r.error) r.error = errors;
    }
    return CopyOut(result, r);
}

// ln 2x for a normalised x > 0 of exponent kDoubledLogExponent or more: 2x formed on x's
// mantissa (at exponent 0, so that a top exponent needs no room above it) and the logarithm taken
// with x's exponent as a shift (LogeOfScaledLong).
WorkLong& LogOfDouble(WorkLong& result, const WorkLong& x) {
    WorkLong m = x;
    m.exponent = 0;
    MultiplSmall(m, m, 2.0);
    ConstantHolder e(Constant::E);
    return LogeOfScaledLong(result, m, x.exponent, e);
}

// Whether a normalised, unflagged x is at least 10^1,000,000,000, where asinh x and acosh x are
// ln 2x.
bool TakesDoubledLog(const WorkLong& x) {
    return x.error >= 0 && x.sign > 0 && x.exponent >= kDoubledLogExponent;
}

// ln(x + sqrt(x^2 + 1)), the formula of asinh; ln 2x from 10^1,000,000,000 on.
WorkLong& AsinhFormula(WorkLong& result, WorkLong& x) {
    if (TakesDoubledLog(x)) return LogOfDouble(result, x);
    WorkLong one;
    InitLong(one, x.precision, 1, 0, 1.0);
    WorkLong w;
    MultiplLong(w, x, x);
    AddLong(w, w, one);
    SqrLong(w, w);
    AddLong(w, x, w);
    return LogeLong(result, w);
}

// A flagged argument of the inverse functions: zero at its precision with its error, no message.
WorkLong& FailedArgument(WorkLong& result, const WorkLong& x) {
    WorkLong r;
    InitLong(r, x.precision, 0, 0, 0.0);
    r.error = SumErrors(x.error, 0);
    return CopyOut(result, r);
}

}  // namespace

// sinh x = (e^x - e^-x) / 2 at x.precision (at least 5); for 0 < |x| < 10^-10 the series. x is
// normalised in place. An argument that the exponential refuses gives zero with the
// exponentials' errors.
WorkLong& SinhLong(WorkLong& result, WorkLong& x) {
    NormalizeUnflagged(x);
    if (TakesSeries(x)) {
        const WorkLong s = SinhSeries(x);
        return CopyOut(result, s);
    }
    return HalfExponentials(result, x, -1);
}

// cosh x = (e^x + e^-x) / 2 at x.precision (at least 5), as sinh but with the sum and no series.
WorkLong& CoshLong(WorkLong& result, WorkLong& x) { return HalfExponentials(result, x, 1); }

// tanh x = (e^x - e^-x) / (e^x + e^-x) at x.precision (at least 5) by the reciprocal division;
// for 0 < |x| < 10^-10 the quotient of the sinh and cosh series; for |x| >= 4,943,650,194
// exactly +-1, with no exponential taken. A refused argument gives the division's report of 0 / 0
// and its error.
WorkLong& TanhLong(WorkLong& result, WorkLong& x) {
    NormalizeUnflagged(x);
    if (TakesSeries(x)) {
        WorkLong s = SinhSeries(x);
        WorkLong c = CoshSeries(x);
        return DivLong(result, s, c);
    }
    if (ReciprocalExponentialVanishes(x)) {
        WorkLong r;
        InitLong(r, ProductPrecision(x.precision), x.sign, 0, 1.0);
        return CopyOut(result, r);
    }
    WorkLong plus;
    WorkLong minus;
    BothExponentials(plus, minus, x);
    WorkLong numerator;
    SubtractLong(numerator, plus, minus);
    AddLong(minus, plus, minus);
    // The sum's exponent taken out of both (the same quotient), so that a sum beyond the
    // products' exponent limit leaves its reciprocal inside their range.
    const int64_t shift = TakeExponent(minus);
    if (numerator.sign != 0) numerator.exponent = static_cast<int32_t>(numerator.exponent - shift);
    return DivLong(result, numerator, minus);
}

// asinh x = ln(x + sqrt(x^2 + 1)) at x.precision (at least 5); for 0 < |x| < 10^-10 the series,
// for x <= -10^10 -asinh(-x), and for x >= 10^1,000,000,000 ln 2x (x^2 would overflow). A zero x
// gives zero (error -1 when it is flagged); a flagged non-zero x reaches the logarithm through the
// intermediate records and is refused there.
WorkLong& AsinhLong(WorkLong& result, WorkLong& x) {
    if (x.sign == 0) {
        WorkLong r;
        InitLong(r, x.precision, 0, 0, 0.0);
        if (Failed(x)) r.error = -1;
        return CopyOut(result, r);
    }
    NormalizeUnflagged(x);
    if (TakesSeries(x)) {
        const WorkLong s = AsinhSeries(x);
        return CopyOut(result, s);
    }
    if (x.error >= 0 && x.sign < 0 && x.exponent >= kMirrorExponent) {
        WorkLong mirrored = x;
        mirrored.sign = 1;
        WorkLong r;
        AsinhFormula(r, mirrored);
        r.sign = -r.sign;
        return CopyOut(result, r);
    }
    return AsinhFormula(result, x);
}

// acosh x = ln(x + sqrt(x^2 - 1)) for x >= 1, at x.precision (at least 5); ln 2x for
// x >= 10^1,000,000,000, where x^2 would overflow (x that far out, or as far below 1, is
// normalised first, and a record the normalisation refuses is passed on with its error).
// x^2 < 1 or a negative x is refused with its message alone: a negative x, or one far below 1, is
// refused before its square, which could leave the products' exponents and report that as well.
// A flagged x gives zero with its error and no message (the logarithm would refuse it quietly in
// the domain, and out of it the failure needs no second report).
WorkLong& AcoshLong(WorkLong& result, WorkLong& x) {
    if (Failed(x)) return FailedArgument(result, x);
    if (x.exponent > kFarAboveExponent || x.exponent < -kFarAboveExponent) {
        if (Normalize(x) == -1) return FailedArgument(result, x);  // reported by the normalisation
        if (TakesDoubledLog(x)) return LogOfDouble(result, x);
    }
    WorkLong w;
    InitLong(w, x.precision, 1, 0, 1.0);
    // A negative x lies below 1, and so does one normalised above with an exponent below
    // -999,000,000.
    const bool belowOne = x.sign == -1 || x.exponent < -kFarAboveExponent;
    if (!belowOne) {
        WorkLong s;
        MultiplLong(s, x, x);
        SubtractLong(w, s, w);
    }
    if (belowOne || w.sign == -1) {
        WorkLong r;
        InitLong(r, x.precision, 0, 0, 0.0);
        return FailWith(result, r, Message::AcoshDomain);
    }
    SqrLong(w, w);
    AddLong(w, x, w);
    return LogeLong(result, w);
}

// atanh x = ln((1 + x) / (1 - x)) / 2 for |x| < 1, at x.precision (at least 5), halved by a short
// division; for 0 < |x| < 10^-10 the series. |x| >= 1 is refused with its message; a flagged x
// gives zero with its error and no message.
WorkLong& AtanhLong(WorkLong& result, WorkLong& x) {
    if (Failed(x)) return FailedArgument(result, x);
    NormalizeUnflagged(x);
    if (TakesSeries(x)) {
        const WorkLong s = AtanhSeries(x);
        return CopyOut(result, s);
    }
    WorkLong one;
    InitLong(one, x.precision, 1, 0, 1.0);
    WorkLong n;
    AddLong(n, one, x);
    WorkLong d;
    SubtractLong(d, one, x);
    if (n.sign <= 0 || d.sign <= 0) {
        WorkLong r;
        InitLong(r, x.precision, 0, 0, 0.0);
        return FailWith(result, r, Message::AtanhDomain);
    }
    DivLong(d, n, d);
    LogeLong(d, d);
    return DivSmall(result, d, 2.0);
}

}  // namespace ostrel2

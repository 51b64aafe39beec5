// condition_reference.cpp -- condition-relative accuracy checks (see condition_reference.h).
#include "support/condition_reference.h"

#include <cstdio>

#include "support/gmp_reference.h"

namespace ostrel2 {
namespace reference {

namespace {

// |cos x|, the slope of sin.
void SineSlope(mpfr_ptr out, mpfr_srcptr x) {
    mpfr_cos(out, x, MPFR_RNDN);
    mpfr_abs(out, out, MPFR_RNDN);
}

// |sin x|, the slope of cos.
void CosineSlope(mpfr_ptr out, mpfr_srcptr x) {
    mpfr_sin(out, x, MPFR_RNDN);
    mpfr_abs(out, out, MPFR_RNDN);
}

// 1 + tan^2 x, the slope of tan.
void TangentSlope(mpfr_ptr out, mpfr_srcptr x) {
    mpfr_tan(out, x, MPFR_RNDN);
    mpfr_sqr(out, out, MPFR_RNDN);
    mpfr_add_ui(out, out, 1, MPFR_RNDN);
}

// 1 / (1 + x^2), the slope of atan.
void ArctangentSlope(mpfr_ptr out, mpfr_srcptr x) {
    mpfr_sqr(out, x, MPFR_RNDN);
    mpfr_add_ui(out, out, 1, MPFR_RNDN);
    mpfr_ui_div(out, 1, out, MPFR_RNDN);
}

// 1 / sqrt(1 - x^2), the slope of asin and acos (infinite at +-1, taken as 0 there: the
// arguments +-1 are tested on their own).
void ArcsineSlope(mpfr_ptr out, mpfr_srcptr x) {
    mpfr_sqr(out, x, MPFR_RNDN);
    mpfr_ui_sub(out, 1, out, MPFR_RNDN);
    mpfr_rec_sqrt(out, out, MPFR_RNDN);
    if (mpfr_inf_p(out)) mpfr_set_zero(out, 1);
}

}  // namespace

const RealFunction kSine = {"sin", mpfr_sin, SineSlope};
const RealFunction kCosine = {"cos", mpfr_cos, CosineSlope};
const RealFunction kTangent = {"tan", mpfr_tan, TangentSlope};
const RealFunction kArctangent = {"atan", mpfr_atan, ArctangentSlope};
const RealFunction kArcsine = {"asin", mpfr_asin, ArcsineSlope};
const RealFunction kArccosine = {"acos", mpfr_acos, ArcsineSlope};

TrueValue::TrueValue(const RealFunction& f, const WorkLong& x, int32_t p)
    : value_(ReferenceBits(p + 4)), x_(ExactValue(x)), precision_(p) {
    Mpfr exact(ReferenceBits(p + 4));
    SetFromRecord(exact.get(), x);
    f.value(value_.get(), exact.get(), MPFR_RNDN);
    Mpfr slope(ReferenceBits(p + 4));
    f.slope(slope.get(), exact.get());
    slope_ = ToRational(slope.get());
}

mpq_class TrueValue::Allowance() const {
    const long limbDigits = 10L * (precision_ + 2);
    mpq_class allowance = abs(x_) * slope_ * Pow10(-limbDigits);
    if (!mpfr_zero_p(value_.get())) {
        // The exponent of the leading limb: 10 floor(log10 |f| / 10), from MPFR's binary one.
        Mpfr size(64);
        mpfr_abs(size.get(), value_.get(), MPFR_RNDN);
        mpfr_log10(size.get(), size.get(), MPFR_RNDD);
        mpfr_div_ui(size.get(), size.get(), 10, MPFR_RNDD);
        mpfr_floor(size.get(), size.get());
        allowance += Pow10(10L * mpfr_get_si(size.get(), MPFR_RNDD) - limbDigits);
    }
    return allowance;
}

Accuracy Measure(const WorkLong& result, const TrueValue& truth, const mpq_class& allowance) {
    Accuracy accuracy;
    if (mpfr_zero_p(truth.get())) {
        accuracy.digits = 0.0;
        accuracy.units = result.sign == 0 ? 0.0 : 1e300;
        return accuracy;
    }
    // |result - f(x)| with the reference's own rounding added (RelativeDistance's slack).
    const mpq_class distance =
        RelativeDistance(result, truth.get()) * abs(ToRational(truth.get()));
    accuracy.digits = CorrectDigits(result, truth.get());
    accuracy.units = allowance == 0 ? 0.0 : mpq_class(distance / allowance).get_d();
    return accuracy;
}

::testing::AssertionResult WithinAllowance(const WorkLong& x, const WorkLong& result,
                                           const TrueValue& truth, const mpq_class& allowance,
                                           double units, Accuracy* measured) {
    ::testing::AssertionResult canonical = IsCanonical(result);
    if (!canonical) return canonical;
    const Accuracy accuracy = Measure(result, truth, allowance);
    if (measured != nullptr) *measured = accuracy;
    if (accuracy.units <= units) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "off by " << accuracy.units << " units of the allowance (at most " << units
           << "), " << accuracy.digits << " correct digits, for x = " << Describe(x) << ": "
           << Describe(result);
}

void AccuracyLog::Add(const std::string& name, int32_t p, const Accuracy& accuracy) {
    Worst& worst = rows_[{name, p}];
    ++worst.cases;
    if (accuracy.digits < worst.digits) worst.digits = accuracy.digits;
    if (accuracy.units > worst.units) worst.units = accuracy.units;
}

AccuracyLog::~AccuracyLog() {
    for (const auto& row : rows_) {
        char line[160];
        std::snprintf(line, sizeof line, "%d cases, worst %.1f correct digits, %.3g units",
                      row.second.cases, row.second.digits, row.second.units);
        ::testing::Test::RecordProperty(
            title_ + "_" + row.first.first + "_p" + std::to_string(row.first.second), line);
    }
}

}  // namespace reference
}  // namespace ostrel2

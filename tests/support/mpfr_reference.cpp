// mpfr_reference.cpp -- MPFR references and accuracy checks (see mpfr_reference.h).
#include "support/mpfr_reference.h"

#include <cmath>
#include <string>

#include "support/gmp_reference.h"

namespace ostrel2 {
namespace reference {

namespace {

// Records reach exponents of two billion decimal digits, far beyond MPFR's default exponent range.
const bool kWidestExponents = [] {
    mpfr_set_emax(mpfr_get_emax_max());
    mpfr_set_emin(mpfr_get_emin_min());
    return true;
}();

// 2^e exactly, for any sign of e.
mpq_class Pow2(long e) {
    mpq_class r = 1;
    if (e >= 0) {
        mpq_mul_2exp(r.get_mpq_t(), r.get_mpq_t(), static_cast<mp_bitcnt_t>(e));
    } else {
        mpq_div_2exp(r.get_mpq_t(), r.get_mpq_t(), static_cast<mp_bitcnt_t>(-e));
    }
    return r;
}

// out <- v * 10^e, rounded to nearest at out's bits (64 more than v's in every use here, so the
// two roundings stay far below one unit of v's last bit).
void ScaleByPowerOfTen(mpfr_ptr out, mpfr_srcptr v, long e) {
    Mpfr power(mpfr_get_prec(out));
    mpfr_set_ui(power.get(), 10, MPFR_RNDN);
    mpfr_pow_si(power.get(), power.get(), e, MPFR_RNDN);
    mpfr_mul(out, v, power.get(), MPFR_RNDN);
}

// The record's digits as a rational of moderate size: x * 10^-exponent.
mpq_class Mantissa(const WorkLong& x) {
    WorkLong m = x;
    m.exponent = 0;
    return ExactValue(m);
}

// The distance |x - true| and the true value's magnitude, both divided by 10^(x.exponent), so that
// records of any exponent compare without rationals of billions of digits. The reference is moved
// by the same power of ten at 64 more bits; its slack is one unit of its own last bit plus that.
struct ScaledComparison {
    mpq_class distance;
    mpq_class magnitude;
};

ScaledComparison Compare(const WorkLong& x, mpfr_srcptr reference) {
    const mpfr_prec_t bits = mpfr_get_prec(reference);
    Mpfr moved(bits + 64);
    ScaleByPowerOfTen(moved.get(), reference, -static_cast<long>(x.exponent));
    const mpq_class truth = ToRational(moved.get());
    const mpq_class slack = Pow2(static_cast<long>(mpfr_get_exp(moved.get())) - bits + 1);
    return {abs(Mantissa(x) - truth) + slack, abs(truth)};
}

}  // namespace

mpfr_prec_t ReferenceBits(int32_t precision) {
    const double digits = 10.0 * (precision + 8) + 64.0;
    return static_cast<mpfr_prec_t>(std::ceil(digits * 3.321928094887362)) + 1;
}

void SetFromRecord(mpfr_ptr out, const WorkLong& x) {
    if (x.sign == 0) {
        mpfr_set_zero(out, 1);
        return;
    }
    Mpfr mantissa(mpfr_get_prec(out) + 64);
    mpfr_set_q(mantissa.get(), Mantissa(x).get_mpq_t(), MPFR_RNDN);
    Mpfr value(mpfr_get_prec(out) + 64);
    ScaleByPowerOfTen(value.get(), mantissa.get(), x.exponent);
    mpfr_set(out, value.get(), MPFR_RNDN);
}

mpq_class ToRational(mpfr_srcptr x) {
    if (mpfr_zero_p(x)) return 0;
    mpz_class m;
    const mpfr_exp_t e = mpfr_get_z_2exp(m.get_mpz_t(), x);
    return mpq_class(m) * Pow2(e);
}

mpq_class RelativeDistance(const WorkLong& x, mpfr_srcptr reference) {
    const ScaledComparison c = Compare(x, reference);
    return c.distance / c.magnitude;
}

double CorrectDigits(const WorkLong& x, mpfr_srcptr reference) {
    Mpfr rel(64);
    mpfr_set_q(rel.get(), RelativeDistance(x, reference).get_mpq_t(), MPFR_RNDU);
    mpfr_log10(rel.get(), rel.get(), MPFR_RNDU);
    return -mpfr_get_d(rel.get(), MPFR_RNDU);
}

::testing::AssertionResult FirstLimbsCorrect(const WorkLong& x, mpfr_srcptr reference,
                                             int32_t limbs) {
    ::testing::AssertionResult canonical = IsCanonical(x);
    if (!canonical) return canonical;
    if (x.sign == 0) return ::testing::AssertionFailure() << "zero result " << Describe(x);
    const ScaledComparison c = Compare(x, reference);
    const mpq_class unit = Pow10(-10L * (limbs - 1));  // one unit of limb limbs - 1, moved
    if (c.distance < unit) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "off by " << ToScientific(c.distance / unit, 5) << " units of limb " << limbs - 1
           << " (" << CorrectDigits(x, reference) << " correct digits): " << Describe(x);
}

::testing::AssertionResult AccuracyTally::Check(const WorkLong& y, mpfr_srcptr reference,
                                                int32_t p, int32_t precision, double minDigits) {
    if (y.error != 0) return ::testing::AssertionFailure() << "error " << y.error;
    if (y.precision != precision) {
        return ::testing::AssertionFailure()
               << "precision " << y.precision << ", expected " << precision;
    }
    ::testing::AssertionResult limbs = FirstLimbsCorrect(y, reference, p);
    if (!limbs) return limbs;
    const double digits = CorrectDigits(y, reference);
    if (digits < worst_) worst_ = digits;
    if (digits > minDigits) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << digits << " correct digits, expected more than " << minDigits << ": "
           << Describe(y);
}

void AccuracyTally::Record(int32_t p) {
    ::testing::Test::RecordProperty("worst_digits_p" + std::to_string(p), std::to_string(worst_));
    worst_ = 1e9;
}

}  // namespace reference
}  // namespace ostrel2

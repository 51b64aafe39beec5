// mpfr_reference.cpp -- MPFR references and accuracy checks (see mpfr_reference.h).
#include "support/mpfr_reference.h"

#include <cmath>
#include <limits>

#include "support/gmp_reference.h"

namespace ostrel2 {
namespace reference {

namespace {

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

// Records reach exponents of two billion decimal digits, far beyond MPFR's default exponent range.
const bool kWidestExponents = [] {
    mpfr_set_emax(mpfr_get_emax_max());
    mpfr_set_emin(mpfr_get_emin_min());
    return true;
}();

}  // namespace

mpfr_prec_t ReferenceBits(int32_t precision) {
    const double digits = 10.0 * (precision + 8) + 64.0;
    return static_cast<mpfr_prec_t>(std::ceil(digits * 3.321928094887362)) + 1;
}

void SetFromRecord(mpfr_ptr out, const WorkLong& x) {
    mpfr_set_q(out, ExactValue(x).get_mpq_t(), MPFR_RNDN);
}

mpq_class ToRational(mpfr_srcptr x) {
    if (mpfr_zero_p(x)) return 0;
    mpz_class m;
    const mpfr_exp_t e = mpfr_get_z_2exp(m.get_mpz_t(), x);
    return mpq_class(m) * Pow2(e);
}

mpq_class ReferenceSlack(mpfr_srcptr reference) {
    return Pow2(static_cast<long>(mpfr_get_exp(reference)) -
                static_cast<long>(mpfr_get_prec(reference)));
}

mpq_class RelativeDistance(const WorkLong& x, mpfr_srcptr reference) {
    const mpq_class truth = ToRational(reference);
    return (abs(ExactValue(x) - truth) + ReferenceSlack(reference)) / abs(truth);
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
    const mpq_class distance = abs(ExactValue(x) - ToRational(reference)) +
                               ReferenceSlack(reference);
    const mpq_class unit = Pow10(static_cast<long>(x.exponent) - 10L * (limbs - 1));
    if (distance < unit) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "off by " << ToScientific(distance / unit, 5) << " units of limb " << limbs - 1
           << " (" << CorrectDigits(x, reference) << " correct digits): " << Describe(x);
}

}  // namespace reference
}  // namespace ostrel2

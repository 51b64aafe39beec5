// mpfr_reference.h -- references for irrational results: MPFR values at a precision far beyond
// the record's, their exact rational form, and the accuracy checks built on them.
//
// An accuracy test computes the true value with MPFR at ReferenceBits(p) (eight limbs and 64
// decimal digits beyond the last live limb of a record of precision p), turns that value and the
// record under test into exact rationals (GMP) and compares those. The reference's own rounding,
// at most one unit of its last bit, is added to every measured distance, so it can only make a
// check stricter, never hide a fault.
#pragma once

#include <gmpxx.h>
#include <gtest/gtest.h>
#include <mpfr.h>

#include <cstdint>

#include "core/long_number.h"

namespace ostrel2 {
namespace reference {

// An MPFR number that clears itself.
class Mpfr {
public:
    explicit Mpfr(mpfr_prec_t bits) { mpfr_init2(value_, bits); }
    ~Mpfr() { mpfr_clear(value_); }
    Mpfr(const Mpfr&) = delete;
    Mpfr& operator=(const Mpfr&) = delete;

    mpfr_ptr get() { return value_; }
    mpfr_srcptr get() const { return value_; }

private:
    mpfr_t value_;
};

// Bits that carry 10 * (precision + 8) + 64 decimal digits.
mpfr_prec_t ReferenceBits(int32_t precision);

// out <- the value of a record, rounded to nearest at out's bits.
void SetFromRecord(mpfr_ptr out, const WorkLong& x);

// The exact rational value of a finite MPFR number.
mpq_class ToRational(mpfr_srcptr x);

// One unit of the last bit of a non-zero reference: a bound on its distance from the true value
// it was rounded from (half a unit, for MPFR's correctly rounded functions, and less than one for
// the few operations the tests chain).
mpq_class ReferenceSlack(mpfr_srcptr reference);

// "The first `limbs` limbs of x are correct": x is canonical and non-zero, and
// |x - true| < one unit of its limb limbs - 1, that is 10^(exponent - 10 (limbs - 1)), where
// |x - true| is bounded by |x - reference| + ReferenceSlack(reference). Cut after that limb, x is
// then the true value cut after the same limb, or one unit of that limb beside it when the true
// value lies within a unit of a limb boundary (2 against 1.9999999999|9999999999..., say) -- the
// one unit a truncating algorithm may leave there.
::testing::AssertionResult FirstLimbsCorrect(const WorkLong& x, mpfr_srcptr reference,
                                             int32_t limbs);

// Relative distance of x from the true value, bounded as above: (|x - reference| +
// ReferenceSlack) / |reference|, exactly.
mpq_class RelativeDistance(const WorkLong& x, mpfr_srcptr reference);

// Correct decimal digits of x: -log10 of RelativeDistance (a double, for reports and bounds).
double CorrectDigits(const WorkLong& x, mpfr_srcptr reference);

}  // namespace reference
}  // namespace ostrel2

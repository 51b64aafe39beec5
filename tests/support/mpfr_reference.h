// mpfr_reference.h -- references for irrational results: MPFR values at a precision far beyond
// the record's, their exact rational form, and the accuracy checks built on them.
//
// An accuracy test computes the true value with MPFR at ReferenceBits(p) (eight limbs and 64
// decimal digits beyond the last live limb of a record of precision p), turns that value and the
// record under test into exact rationals (GMP) and compares those, both divided by 10^exponent of
// the record so that exponents of two billion digits compare as cheaply as small ones. The
// reference's own rounding, two units of its last bit with that division, is added to every
// measured distance, so it can only make a check stricter, never hide a fault.
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

// out <- the value of a record, rounded to nearest at out's bits (any exponent).
void SetFromRecord(mpfr_ptr out, const WorkLong& x);

// The exact rational value of a finite MPFR number.
mpq_class ToRational(mpfr_srcptr x);

// "The first `limbs` limbs of x are correct": x is canonical and non-zero, and
// |x - true| < one unit of its limb limbs - 1, that is 10^(exponent - 10 (limbs - 1)), where
// |x - true| is bounded by |x - reference| + two units of the reference's last bit (its own
// rounding, half a unit for MPFR's correctly rounded functions and less than one for the few
// operations the tests chain, and that of the division by 10^exponent). Cut after that limb, x is
// then the true value cut after the same limb, or one unit of that limb beside it when the true
// value lies within a unit of a limb boundary (2 against 1.9999999999|9999999999..., say) -- the
// one unit a truncating algorithm may leave there.
::testing::AssertionResult FirstLimbsCorrect(const WorkLong& x, mpfr_srcptr reference,
                                             int32_t limbs);

// Relative distance of x from the true value, bounded as above: (|x - reference| + slack) /
// |reference|, exactly.
mpq_class RelativeDistance(const WorkLong& x, mpfr_srcptr reference);

// Correct decimal digits of x: -log10 of RelativeDistance (a double, for reports and bounds).
double CorrectDigits(const WorkLong& x, mpfr_srcptr reference);

// How many random arguments an accuracy test draws at one precision.
struct PrecisionRun {
    int32_t precision;
    int count;
};

// The checks of one result of an accuracy test against its MPFR reference: error 0, the
// precision the worker gives it, its first p limbs correct, and more than minDigits correct
// decimal digits (the worker's own accuracy, which the first p limbs alone would not hold it to).
// The worst digits seen are kept for the test's record.
class AccuracyTally {
public:
    ::testing::AssertionResult Check(const WorkLong& y, mpfr_srcptr reference, int32_t p,
                                     int32_t precision, double minDigits);

    // Records the worst digits as the test property worst_digits_p<p> and starts afresh.
    void Record(int32_t p);

private:
    double worst_ = 1e9;
};

}  // namespace reference
}  // namespace ostrel2

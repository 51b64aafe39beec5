// gmp_reference.h -- exact rational references for the tests: records <-> GMP rationals, record
// builders, canonical-form and accuracy checks, and reproducible random records.
//
// Every expected value in a test comes from exact rational arithmetic on the operands' own exact
// values (ExactValue), never from the code under test. The builders make both canonical records
// (MakeLong) and arbitrary raw ones (MakeRaw) whose slots beyond the live limbs hold a NaN, so a
// worker that reads past its live limbs shows it.
#pragma once

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <random>
#include <string>

#include "core/long_number.h"
#include "ostrel2.h"

namespace ostrel2 {

// gtest prints records through these: fields, live limbs and the exact decimal value.
void PrintTo(const WorkLong& x, std::ostream* os);

namespace reference {

// 10^e exactly, for any sign of e.
mpq_class Pow10(long e);

// The exact value a record denotes: sign * sum of limbs[k] * 10^(exponent - 10k) over the live
// limbs 0 .. precision + 3. Limbs are taken as the exact doubles they hold, so non-canonical
// records (limbs of 10^10 or more, fractions, off-grid exponents) are valued correctly. A sign of
// 0 gives 0. A precision outside 1 .. 303 is clamped to the slots the record has.
mpq_class ExactValue(const WorkLong& x);
mpq_class ExactValue(const LongNumber& x);

// An exact rational from decimal text: [+-]digits[.digits][e[+-]digits], or two such numbers
// separated by '/' for a fraction. Malformed text fails the current test and gives 0.
mpq_class ParseDecimal(const std::string& text);

enum class Rounding { Truncate, Nearest };

// The canonical record of precision p closest to value among those with p + 4 live limbs:
// truncated toward zero (Truncate) or rounded to nearest, ties away from zero (Nearest). Zero
// gives the canonical zero. Slots beyond the live limbs hold NaN.
WorkLong MakeLong(const mpq_class& value, int32_t precision,
                  Rounding rounding = Rounding::Truncate);
WorkLong MakeLong(const std::string& text, int32_t precision,
                  Rounding rounding = Rounding::Truncate);

// A record with exactly the given fields: limbs 0 .. n-1 from the list, further live limbs 0,
// slots beyond the live limbs NaN. Nothing is normalised or checked.
WorkLong MakeRaw(int32_t precision, int32_t sign, int32_t exponent,
                 std::initializer_list<double> limbs, int32_t error = 0);

// Boundary records: the 306 slots copied across; slot 306 of the working record is 0.
LongNumber ToBoundary(const WorkLong& x);
WorkLong FromBoundary(const LongNumber& x);

// Weight of one unit in the last live limb of a non-zero x: 10^(exponent - 10 * (precision + 3)).
// (For a zero, whose exponent is ZERO_EXPONENT, this is a number of two billion digits.)
mpq_class LastLimbUnit(const WorkLong& x);

// |value(x) - exact| in units of x's last live limb. For a zero x: 0 when exact is 0, otherwise
// +infinity.
double ErrorInLastLimbUnits(const WorkLong& x, const mpq_class& exact);

// |value(x) - exact| / |exact|; 0 when both are 0, +infinity when only exact is 0.
double RelativeError(const WorkLong& x, const mpq_class& exact);

// RelativeError(x, exact) * 10^digits, formed exactly before the conversion to double, so that
// relative errors far below the double range (10^-3000 at the largest precision) can be compared.
double ScaledRelativeError(const WorkLong& x, const mpq_class& exact, long digits);

// Scientific text of a rational with the given number of significant digits (truncated),
// e.g. "-3.1415926535e+0"; "0" for zero.
std::string ToScientific(const mpq_class& value, int digits = 40);

// Fields, live limbs and exact value of a record on one line, for failure messages (the value only
// for exponents within +-100,000).
std::string Describe(const WorkLong& x);

// Checks of the canonical form: sign in {-1, 0, 1}; zero as sign 0 with ZERO_EXPONENT; otherwise
// the exponent a multiple of 10, every live limb a whole number in [0, 10^10) and limbs[0] >= 1.
::testing::AssertionResult IsCanonical(const WorkLong& x);

// value(x) == exact.
::testing::AssertionResult HasExactValue(const WorkLong& x, const mpq_class& exact);

// |value(x) - exact| <= units * LastLimbUnit(x).
::testing::AssertionResult WithinLastLimbUnits(const WorkLong& x, const mpq_class& exact,
                                               double units);

// Reproducible random canonical records. Limb patterns favour what breaks limb arithmetic: runs
// of 9,999,999,999, runs of zeros and small limbs, besides uniform limbs.
class RandomLongs {
public:
    explicit RandomLongs(uint64_t seed) : engine_(seed) {}

    // A canonical non-zero record of the given precision with every live limb filled; its
    // exponent is a multiple of 10 drawn from [minExponent, maxExponent]; negative with
    // probability one half when allowNegative.
    WorkLong Next(int32_t precision, int32_t minExponent = -100, int32_t maxExponent = 100,
                  bool allowNegative = true);

    // A whole number uniformly drawn from [lo, hi].
    int64_t Between(int64_t lo, int64_t hi);

    std::mt19937_64& engine() { return engine_; }

private:
    double Limb(int pattern);
    std::mt19937_64 engine_;
};

}  // namespace reference
}  // namespace ostrel2

// gtest prints boundary records through this.
void PrintTo(const LongNumber& x, std::ostream* os);

// real_power_test.cpp -- the 10^10-th root and the (10^10 - 1)-th power against MPFR, and the real
// power x^y: its shortcuts to the integer power and root, its refusals with their messages, and
// the accuracy of the limb-by-limb method against MPFR.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/diagnostics.h"
#include "core/long_number.h"
#include "powers/integer_power.h"
#include "powers/real_power.h"
#include "support/gmp_reference.h"
#include "support/mpfr_reference.h"

namespace ostrel2 {
namespace {

using reference::CorrectDigits;
using reference::ExactValue;
using reference::IsCanonical;
using reference::MakeLong;
using reference::MakeRaw;
using reference::Mpfr;
using reference::Pow10;
using reference::RandomLongs;

int32_t ProductPrecision(int32_t p) { return p < 5 ? 5 : p; }

// Digits of the exact power or root that a result of working precision P keeps: the residual of
// the root and the squarings of the power multiply the products' last-limb errors by up to 10^10,
// so one limb of the three guard limbs goes, and the last live limb is the product's own cut.
double PowerDigitsKept(int32_t p) { return 10.0 * (ProductPrecision(p) + 1) - 1; }
double RootDigitsKept(int32_t p) { return 10.0 * (ProductPrecision(p) + 2) - 2; }

TEST(LimbPowerLong, RaisesToTheTenBillionMinusFirstPower) {
    RandomLongs random(11);
    for (int32_t p : {1, 5, 30, 100}) {
        for (int i = 0; i < 3; ++i) {
            // 1 + d with d between 10^-20 and 10^-10, as the bases of the real power are.
            WorkLong x = random.Next(p, 0, 0, false);
            x.limbs[0] = 1.0;
            x.limbs[1] = 0.0;
            const WorkLong before = x;
            Mpfr exact(reference::ReferenceBits(ProductPrecision(p)));
            reference::SetFromRecord(exact.get(), x);
            mpfr_pow_ui(exact.get(), exact.get(), 9999999999UL, MPFR_RNDN);
            WorkLong r;
            LimbPowerLong(r, x);
            SCOPED_TRACE("precision " + std::to_string(p));
            EXPECT_TRUE(IsCanonical(r));
            EXPECT_EQ(r.precision, ProductPrecision(p));
            EXPECT_EQ(r.error, 0);
            EXPECT_GE(CorrectDigits(r, exact.get()), PowerDigitsKept(p));
            EXPECT_EQ(ExactValue(x), ExactValue(before));  // x is only read
        }
    }
}

TEST(LimbRootLong, TakesTheTenBillionthRootOfEveryMagnitude) {
    RandomLongs random(12);
    struct Case {
        const char* what;
        int32_t exponent;
        double limb0;
        double limb1;  // -1: keep the random limb
    };
    const Case cases[] = {
        {"1 + d, d < 10^-10 (first-order start)", 0, 1, 0},
        {"1 + d, d just above 10^-10", 0, 1, 7},
        {"just below 1", -10, 9999999999, -1},
        {"10^10 and above", 10, -1, -1},
        {"large", 1000, -1, -1},
        {"small", -100000, -1, -1},
    };
    for (int32_t p : {1, 5, 30, 100, 303}) {
        for (const Case& c : cases) {
            if (p == 303 && c.exponent != 0) continue;  // the dearest precision: two cases
            WorkLong x = random.Next(p, c.exponent, c.exponent, false);
            if (c.limb0 >= 0) x.limbs[0] = c.limb0;
            if (c.limb1 >= 0) x.limbs[1] = c.limb1;
            Mpfr exact(reference::ReferenceBits(ProductPrecision(p)));
            reference::SetFromRecord(exact.get(), x);
            mpfr_rootn_ui(exact.get(), exact.get(), 10000000000UL, MPFR_RNDN);
            WorkLong r;
            LimbRootLong(r, x);
            SCOPED_TRACE(std::string(c.what) + " at precision " + std::to_string(p));
            EXPECT_TRUE(IsCanonical(r));
            EXPECT_EQ(r.precision, ProductPrecision(p));
            EXPECT_EQ(r.error, 0);
            EXPECT_GE(CorrectDigits(r, exact.get()), RootDigitsKept(p));
        }
    }
}

// x^(1/N) from MPFR, formed as mantissa^(1/N) 10^(e/N) without writing out 10^e.
void ReferenceLimbRoot(Mpfr& out, const WorkLong& x) {
    WorkLong mantissa = x;
    mantissa.exponent = 0;
    reference::SetFromRecord(out.get(), mantissa);
    mpfr_rootn_ui(out.get(), out.get(), 10000000000UL, MPFR_RNDN);
    Mpfr shift(mpfr_get_prec(out.get()));
    const mpq_class fraction(mpz_class(std::to_string(x.exponent)), mpz_class("10000000000"));
    mpfr_set_q(shift.get(), fraction.get_mpq_t(), MPFR_RNDN);
    mpfr_exp10(shift.get(), shift.get(), MPFR_RNDN);
    mpfr_mul(out.get(), out.get(), shift.get(), MPFR_RNDN);
}

// Arguments at either end of the exponent range are rooted like any other: r^(10^10), about x,
// and the step's other values near x are formed with their exponents taken out. 1,999,999,000 lay
// within the plain step's reach; from 1,999,999,980 (leading limb 3) up, and at -2,000,000,000
// (leading limb 1), a product of the plain step overflowed and the root came back failed.
TEST(LimbRootLong, ArgumentsAtTheEndsOfTheExponentRange) {
    const struct {
        int32_t exponent;
        double limb0;
    } kCases[] = {{1999999000, 9999999999}, {1999999980, 3},          {1999999990, 9999999999},
                  {2000000000, 1},          {2147000000, 9999999999}, {-2000000000, 1},
                  {-2000000010, 9999999999}, {-2147000000, 1}};
    for (const auto& c : kCases) {
        for (int32_t p : {1, 5, 30}) {
            WorkLong x = MakeRaw(p, 1, c.exponent, {c.limb0, 1234567890, 9876543210});
            Mpfr truth(reference::ReferenceBits(ProductPrecision(p)));
            ReferenceLimbRoot(truth, x);
            WorkLong r;
            testing::internal::CaptureStdout();
            LimbRootLong(r, x);
            SCOPED_TRACE("exponent " + std::to_string(c.exponent) + " at precision " +
                         std::to_string(p));
            EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
            EXPECT_EQ(r.error, 0);
            EXPECT_GE(CorrectDigits(r, truth.get()), RootDigitsKept(p));
        }
    }
}

TEST(LimbRootLong, ResultMayBeTheArgumentRecord) {
    WorkLong x = MakeLong("2", 5);
    WorkLong r;
    LimbRootLong(r, x);
    LimbRootLong(x, x);
    EXPECT_EQ(ExactValue(x), ExactValue(r));
}

// x^y from MPFR at the reference precision of a result of precision p.
void ReferencePower(Mpfr& out, const WorkLong& x, const WorkLong& y) {
    Mpfr exponent(mpfr_get_prec(out.get()));
    reference::SetFromRecord(out.get(), x);
    reference::SetFromRecord(exponent.get(), y);
    mpfr_pow(out.get(), out.get(), exponent.get(), MPFR_RNDN);
}

// Whether y lies within 10^-(10 p) of a whole number or of the reciprocal of one, where the real
// power takes the integer power or root of that number instead (tested on its own below).
bool NearWholeOrReciprocal(const WorkLong& y) {
    const mpq_class value = abs(ExactValue(y));
    const mpq_class tolerance = Pow10(-10L * y.precision);
    mpz_class whole = value.get_num() / value.get_den();
    for (const mpz_class& n : {mpz_class(whole), mpz_class(whole + 1)}) {
        if (abs(value - n) < tolerance) return true;
    }
    const mpq_class inverse = 1 / value;
    whole = inverse.get_num() / inverse.get_den();
    for (const mpz_class& n : {mpz_class(whole), mpz_class(whole + 1)}) {
        if (n > 0 && abs(value - mpq_class(1) / n) < tolerance * value) return true;
    }
    return false;
}

// x^y by the general method for full-length x and y (|y ln x| below about 200, where the power is
// well conditioned) at precisions 1 to 100, and for the short exponents 1.5 and -0.25 up to 303.
TEST(PowerXLong, MatchesMpfr) {
    RandomLongs random(4301);
    const struct {
        int32_t precision;
        int count;
    } kRuns[] = {{1, 16}, {5, 16}, {30, 4}, {100, 1}};
    auto check = [](WorkLong x, WorkLong y, int32_t p) {
        Mpfr truth(reference::ReferenceBits(ProductPrecision(p)));
        ReferencePower(truth, x, y);
        const std::string what = "x = " + reference::Describe(x) + ", y = " + reference::Describe(y);
        WorkLong r;
        PowerXLong(r, x, y);
        SCOPED_TRACE("precision " + std::to_string(p) + ", " + what);
        EXPECT_EQ(r.error, 0);
        EXPECT_EQ(r.precision, ProductPrecision(p));
        EXPECT_TRUE(reference::FirstLimbsCorrect(r, truth.get(), p));
        return reference::CorrectDigits(r, truth.get());
    };
    for (const auto& run : kRuns) {
        const int32_t p = run.precision;
        double worst = 1e9;
        for (int i = 0; i < run.count; ++i) {
            WorkLong x = random.Next(p, -20, 20, false);
            WorkLong y;
            do {
                y = random.Next(p, i % 2 ? -10 : 0, 0, true);
                if (y.exponent == 0) y.limbs[0] = static_cast<double>(random.Between(1, 3));
            } while (NearWholeOrReciprocal(y));
            const double digits = check(x, y, p);
            if (digits < worst) worst = digits;
        }
        RecordProperty("worst_digits_p" + std::to_string(p), std::to_string(worst));
    }
    for (int32_t p : {1, 5, 30, 100, 303}) {
        check(MakeLong("2", p), MakeLong("1.5", p), p);
        if (p <= 30) check(MakeLong("0.7", p), MakeLong("-0.25", p), p);
    }
}

// The shortcuts to the integer power and root, and their exact results.
TEST(PowerXLong, WholeAndReciprocalExponentsTakeTheIntegerPowerAndRoot) {
    const struct {
        const char* x;
        const char* y;
        const char* expected;
    } kCases[] = {
        {"2", "10", "1024"}, {"2", "-2", "0.25"}, {"-2", "3", "-8"}, {"-1.5", "-1", "-2/3"},
        {"1e10", "0.3", "1000"},
    };
    for (const auto& c : kCases) {
        for (int32_t p : {1, 6}) {
            WorkLong x = MakeLong(c.x, p);
            WorkLong y = MakeLong(c.y, p);
            WorkLong r;
            testing::internal::CaptureStdout();
            PowerXLong(r, x, y);
            EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
            SCOPED_TRACE(std::string(c.x) + "^" + c.y + " at precision " + std::to_string(p));
            EXPECT_EQ(r.error, 0);
            Mpfr exact(reference::ReferenceBits(ProductPrecision(p)));
            mpfr_set_q(exact.get(), reference::ParseDecimal(c.expected).get_mpq_t(), MPFR_RNDN);
            EXPECT_TRUE(reference::FirstLimbsCorrect(r, exact.get(), p));
        }
    }
    // 8^(the record nearest 1/3) is the cube root of 8.
    WorkLong x = MakeLong("8", 5);
    WorkLong y = MakeLong(mpq_class(1, 3), 5, reference::Rounding::Nearest);
    WorkLong r;
    PowerXLong(r, x, y);
    EXPECT_EQ(r.error, 0);
    Mpfr two(reference::ReferenceBits(5));
    mpfr_set_ui(two.get(), 2, MPFR_RNDN);
    EXPECT_TRUE(reference::FirstLimbsCorrect(r, two.get(), 5));
}

// An exponent within 10 y.precision digits of a whole number n is n: at precision p, y = 3 +
// 10^-(10 p + 10) gives exactly 8 for x = 2, while y = 3 + 10^-(10 p) takes the general method.
// So do the examples of the header and docs/deviations.md: 2^2.000000000000001 with y at
// precision 1 is exactly 4 at x's precision 30, and (-2)^(3 + 10^-22) exactly -8.
TEST(PowerXLong, NearlyWholeExponentsOnBothSidesOfTheCloseness) {
    for (int32_t p : {1, 5}) {
        WorkLong x = MakeLong("2", p);
        WorkLong close = MakeLong(3 + Pow10(-10L * p - 10), p);
        WorkLong r;
        PowerXLong(r, x, close);
        EXPECT_TRUE(reference::HasExactValue(r, 8)) << p;

        WorkLong apart = MakeLong(3 + Pow10(-10L * p), p);
        Mpfr truth(reference::ReferenceBits(ProductPrecision(p)));
        ReferencePower(truth, x, apart);
        PowerXLong(r, x, apart);
        EXPECT_GT(ExactValue(r), 8) << p;
        EXPECT_TRUE(reference::FirstLimbsCorrect(r, truth.get(), p)) << p;
    }
    // The documented examples: x^y is then x^n to x's precision, y's power only to y's.
    WorkLong x = MakeLong("2", 30);
    WorkLong y = MakeLong("2.000000000000001", 1);
    WorkLong r;
    PowerXLong(r, x, y);
    EXPECT_TRUE(reference::HasExactValue(r, 4));
    EXPECT_EQ(r.precision, 30);
    WorkLong minusTwo = MakeLong("-2", 5);
    WorkLong nearThree = MakeLong(3 + Pow10(-22), 1);
    PowerXLong(r, minusTwo, nearThree);
    EXPECT_EQ(r.error, 0);
    EXPECT_TRUE(reference::HasExactValue(r, -8));
}

// The refusals, each with its message byte for byte and zero with error -1 at x's precision, and
// the answers that need no power. 0^y for y < 0 is the reciprocal of 0: a division by zero.
TEST(PowerXLong, RefusalsAndTrivialCases) {
    const std::string tooLarge = MessageText(Message::RealPowerExponentTooLarge);
    const std::string negative = MessageText(Message::RealPowerNegativeBase);
    const std::string overflow = MessageText(Message::RealPowerOverflow);
    const struct {
        const char* name;
        WorkLong x;
        WorkLong y;
        std::string message;
        int error;
        int value;  // the result's value when error is 0
    } kCases[] = {
        {"0^0", MakeLong("0", 4), MakeLong("0", 6), "", 0, 1},
        {"0^-3", MakeLong("0", 4), MakeLong("-3", 6), MessageText(Message::DivisionByZero), -1, 0},
        {"0^-0.5", MakeLong("0", 4), MakeLong("-0.5", 6), MessageText(Message::DivisionByZero), -1, 0},
        {"0^-1e20", MakeLong("0", 4), MakeLong("-1e20", 6), MessageText(Message::DivisionByZero), -1, 0},
        {"0^2.5", MakeLong("0", 4), MakeLong("2.5", 6), "", 0, 0},
        {"0^1e20", MakeLong("0", 4), MakeLong("1e20", 6), "", 0, 0},
        {"-2.5^0", MakeLong("-2.5", 4), MakeLong("0", 6), "", 0, 1},
        {"flagged x", MakeRaw(4, 1, 0, {2}, -1), MakeLong("0.5", 6), "", -1, 0},
        {"flagged y", MakeLong("2", 4), MakeRaw(6, 1, 0, {2}, -1), "", -1, 0},
        {"y = 1.01e12", MakeLong("1.5", 4), MakeLong("1.01e12", 6), tooLarge, -1, 0},
        {"y = -1.01e12", MakeLong("1.5", 4), MakeLong("-1.01e12", 6), tooLarge, -1, 0},
        {"y = 1e12, x = 10", MakeLong("10", 4), MakeLong("1e12", 6), overflow, -1, 0},
        {"y = -1e12, x = 10", MakeLong("10", 4), MakeLong("-1e12", 6), overflow, -1, 0},
        {"(-2)^0.75", MakeLong("-2", 4), MakeLong("0.75", 6), negative, -1, 0},
        {"(-2)^-0.5", MakeLong("-2", 4), MakeLong("-0.5", 6), negative, -1, 0},
        {"(-2)^0.5", MakeLong("-2", 4), MakeLong("0.5", 6), MessageText(Message::RootNegative), -1, 0},
        {"(-2)^(1e10 + 0.5)", MakeLong("-2", 4), MakeLong("10000000000.5", 6), negative, -1, 0},
        {"(-2)^1e10 = 10^(3.01e9)", MakeLong("-2", 4), MakeLong("1e10", 6), overflow, -1, 0},
        {"(-8)^(1/3)", MakeLong("-8", 4), MakeLong(mpq_class(1, 3), 6), MessageText(Message::RootNegative), -1, 0},
    };
    for (const auto& c : kCases) {
        WorkLong x = c.x;
        WorkLong y = c.y;
        WorkLong r;
        testing::internal::CaptureStdout();
        PowerXLong(r, x, y);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.message) << c.name;
        EXPECT_EQ(r.error, c.error) << c.name;
        EXPECT_EQ(r.precision, 4) << c.name;
        EXPECT_TRUE(reference::HasExactValue(r, c.value)) << c.name;
    }
}

// x^y through PowerXLong at precision p: exactly `message` is printed; with a message the result
// is zero with error -1, without one it has error 0 and, against MPFR, its first p limbs correct,
// or `digits` correct digits where it is too ill conditioned for p limbs (digits > 0).
void ExpectPower(WorkLong x, WorkLong y, int32_t p, const std::string& message,
                 double digits = 0.0) {
    Mpfr truth(reference::ReferenceBits(ProductPrecision(p)));
    if (message.empty()) ReferencePower(truth, x, y);
    WorkLong r;
    testing::internal::CaptureStdout();
    PowerXLong(r, x, y);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), message);
    if (!message.empty()) {
        EXPECT_EQ(r.sign, 0);
        EXPECT_EQ(r.error, -1);
        return;
    }
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.precision, ProductPrecision(p));
    if (digits > 0.0) {
        EXPECT_GE(CorrectDigits(r, truth.get()), digits);
    } else {
        EXPECT_TRUE(reference::FirstLimbsCorrect(r, truth.get(), p));
    }
}

// 0^n and 0^y at precisions 1, 5 and 30, by the integer and the real power alike: 1 (exactly, at
// x's precision) for a zero exponent, 0 for a positive one, and for a negative one the division
// by zero that 1 / 0^|y| is (its message, zero at x's precision, error -1).
TEST(PowerXLong, ZeroBaseAtEachPrecision) {
    const std::string divisionByZero = MessageText(Message::DivisionByZero);
    const struct {
        const char* y;
        std::string message;
        int value;
    } kCases[] = {{"0", "", 1}, {"3", "", 0}, {"0.5", "", 0}, {"-1", divisionByZero, 0},
                  {"-3", divisionByZero, 0}, {"-0.5", divisionByZero, 0}};
    for (const auto& c : kCases) {
        for (int32_t p : {1, 5, 30}) {
            for (bool real : {false, true}) {
                WorkLong x = MakeLong("0", p);
                WorkLong y = MakeLong(c.y, p);
                const double n = EstimateDouble(y) * y.sign;
                if (!real && n != std::floor(n)) continue;
                WorkLong r;
                testing::internal::CaptureStdout();
                if (real) {
                    PowerXLong(r, x, y);
                } else {
                    PowerLong(r, x, n);
                }
                SCOPED_TRACE(std::string("0^") + c.y + " at precision " + std::to_string(p) +
                             (real ? " (real power)" : " (integer power)"));
                EXPECT_EQ(testing::internal::GetCapturedStdout(), c.message);
                EXPECT_EQ(r.error, c.message.empty() ? 0 : -1);
                EXPECT_EQ(r.precision, p);
                EXPECT_TRUE(reference::HasExactValue(r, c.value));
            }
        }
    }
}

// A negative base with a whole exponent of 10^10 or more (exponent 10 and beyond, where the
// shortcut to the integer power does not reach) is |x|^y with the sign of y's parity; a y with
// anything below its units is refused, and a power too large for a record overflows in the
// products, as 1.5^(2 x 10^10) does.
TEST(PowerXLong, NegativeBaseWithWholeExponentsFromTenToTheTen) {
    const std::string negative = MessageText(Message::RealPowerNegativeBase);
    const std::string overflow = MessageText(Message::Overflow);
    const struct {
        const char* x;
        const char* y;
        std::string message;
    } kCases[] = {
        {"-1", "1e10", ""},
        {"-1", "10000000001", ""},
        {"-1", "1e30", ""},
        {"-1", "1000000000000000000000000000001", ""},
        {"-1.0000000001", "10000000001", ""},
        {"-0.99999999999", "1000000000002", ""},
        {"-1", "10000000000.5", negative},
        {"-1.5", "2e10", overflow},
    };
    for (const auto& c : kCases) {
        for (int32_t p : {1, 5, 30}) {
            SCOPED_TRACE(std::string("(") + c.x + ")^" + c.y + " at precision " + std::to_string(p));
            ExpectPower(MakeLong(c.x, p), MakeLong(c.y, p), p, c.message);
        }
    }
}

// Powers near or beyond the products' exponent limit of +-2,000,000,000 but within the record's
// +-2,147,000,000 are computed, on both sides of each limit: bases at the ends of the range (whose
// 10^10-th roots once overflowed), results beyond 10^+-2,000,000,000 by the general method, and
// a result one limb beyond the record's exponents refused with the real power's overflow message.
TEST(PowerXLong, ResultsBeyondTheProductsExponentLimit) {
    const std::string overflow = MessageText(Message::RealPowerOverflow);
    const struct {
        const char* name;
        WorkLong x;  // at precision 30, cut to each precision below
        const char* y;
        std::string message;
    } kCases[] = {
        {"(10^2,000,000,000)^0.3", MakeRaw(30, 1, 2000000000, {1}), "0.3", ""},
        {"(9.99 10^2,147,000,009)^0.3", MakeRaw(30, 1, 2147000000, {9990000000}), "0.3", ""},
        {"(10^-2,147,000,000)^0.3", MakeRaw(30, 1, -2147000000, {1}), "0.3", ""},
        {"(10^-2,000,000,000)^-0.7", MakeRaw(30, 1, -2000000000, {1}), "-0.7", ""},
        {"10^1,999,999,990.5 (plain steps)", MakeLong("10", 30), "1999999990.5", ""},
        {"10^2,100,000,000.5", MakeLong("10", 30), "2100000000.5", ""},
        {"10^-2,100,000,000.5", MakeLong("10", 30), "-2100000000.5", ""},
        {"10^2,147,000,009.5", MakeLong("10", 30), "2147000009.5", ""},
        {"10^2,147,000,010.5", MakeLong("10", 30), "2147000010.5", overflow},
        {"10^-2,146,999,999.5", MakeLong("10", 30), "-2146999999.5", ""},
        {"10^-2,147,000,000.5", MakeLong("10", 30), "-2147000000.5", overflow},
        {"2.5...^5,100,000,000.25", MakeLong("2.5123456789012345678901234567890123456789", 30),
         "5100000000.25", ""},
    };
    for (const auto& c : kCases) {
        for (int32_t p : {1, 5, 30}) {
            WorkLong x = c.x;
            x.precision = p;
            SCOPED_TRACE(std::string(c.name) + " at precision " + std::to_string(p));
            ExpectPower(x, MakeLong(c.y, p), p, c.message);
        }
    }
}

// |y| from about 1.01 x 10^12 on is taken wherever the power fits a record, x^(10^E) built by
// E / 10 powers to the 10^10-th: bases within 10^-40 of 1 up to the largest power that fits
// (e^4,940,000,000 = 10^2,145,390,000), and 1 to any power; where the power cannot fit (1.5 to the
// 1.01 x 10^12, e^5,000,000,000, (1 + 10^-20)^(10^2,000,000,000)) the exponent is refused as too
// large, as before. Such a power is as ill conditioned as y is large (a relative change d of x
// changes it by |y| d), so beyond |y| = 10^30 it keeps 10 (P + 2) - log10 |y| digits, not p limbs.
TEST(PowerXLong, ExponentsFromTenToTheTwelveWhereThePowerFits) {
    const std::string tooLarge = MessageText(Message::RealPowerExponentTooLarge);
    const struct {
        const char* x;
        WorkLong y;  // at precision 30, cut to each precision below
        std::string message;
    } kCases[] = {
        {"1.00000000001", MakeLong("1.01e12", 30), ""},
        {"0.99999999999", MakeLong("-1.01e12", 30), ""},
        {"1.00000000000000000001", MakeLong("1e20", 30), ""},
        {"1.00000000000000000001", MakeLong("4.94e29", 30), ""},
        {"1.0000000000000000000000000000000000000001", MakeLong("-3.7e40", 30), ""},
        {"1", MakeLong("1e1000", 30), ""},
        {"1.5", MakeLong("1.01e12", 30), tooLarge},
        {"1.00000000000000000001", MakeLong("5e29", 30), tooLarge},
        {"1.00000000000000000001", MakeRaw(30, 1, 2000000000, {1}), tooLarge},
    };
    for (const auto& c : kCases) {
        for (int32_t p : {1, 5, 30}) {
            WorkLong y = c.y;
            y.precision = p;
            SCOPED_TRACE(std::string(c.x) + "^" + reference::Describe(y) + " at precision " +
                         std::to_string(p));
            const double conditioning = std::log10(std::fabs(EstimateDouble(y)));
            ExpectPower(MakeLong(c.x, p), y, p, c.message,
                        conditioning <= 30.0 ? 0.0 : 10.0 * (ProductPrecision(p) + 2) - conditioning);
        }
    }
}

// 2^-0.5 is not a reciprocal exponent (only +1/n are): the general method gives 1/sqrt(2).
TEST(PowerXLong, NegativeHalfTakesTheGeneralMethod) {
    for (int32_t p : {1, 30}) {
        WorkLong x = MakeLong("2", p);
        WorkLong y = MakeLong("-0.5", p);
        Mpfr truth(reference::ReferenceBits(ProductPrecision(p)));
        ReferencePower(truth, x, y);
        WorkLong r;
        PowerXLong(r, x, y);
        EXPECT_EQ(r.error, 0);
        EXPECT_TRUE(reference::FirstLimbsCorrect(r, truth.get(), p)) << p;
    }
}

// The 10^10-th root of an exact 1 is the same record, so the chain of roots of an exponent far
// below 1 may stop once it reaches 1: 2^(10^-2,000,000,000) is 1, without 200,000,000 roots.
TEST(PowerXLong, ChainOfRootsStopsAtOne) {
    for (int32_t p : {1, 5, 303}) {
        WorkLong one = MakeLong("1", p);
        WorkLong r;
        LimbRootLong(r, one);
        EXPECT_EQ(r.sign, 1);
        EXPECT_EQ(r.exponent, 0);
        EXPECT_EQ(r.precision, p);
        EXPECT_EQ(r.error, 0);
        for (int k = 0; k <= LastLimb(r); ++k) EXPECT_EQ(r.limbs[k], k == 0 ? 1.0 : 0.0) << k;
    }
    WorkLong x = MakeLong("2", 5);
    WorkLong y = MakeRaw(5, 1, -2000000000, {5});
    WorkLong r;
    PowerXLong(r, x, y);
    EXPECT_EQ(r.error, 0);
    EXPECT_TRUE(reference::HasExactValue(r, 1));
}

TEST(PowerXLong, ResultMayBeEitherOperand) {
    WorkLong x = MakeLong("1.25", 5);
    WorkLong y = MakeLong("0.75", 5);
    WorkLong r;
    WorkLong a = x;
    WorkLong b = y;
    PowerXLong(r, a, b);
    a = x;
    b = y;
    PowerXLong(a, a, b);
    EXPECT_EQ(ExactValue(a), ExactValue(r));
    a = x;
    PowerXLong(b, a, b);
    EXPECT_EQ(ExactValue(b), ExactValue(r));
}

}  // namespace
}  // namespace ostrel2

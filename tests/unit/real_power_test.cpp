// real_power_test.cpp -- the 10^10-th root and the (10^10 - 1)-th power against MPFR, and the real
// power x^y: its shortcuts to the integer power and root, its refusals with their messages, and
// the accuracy of the limb-by-limb method against MPFR.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/diagnostics.h"
#include "core/long_number.h"
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

// Near the top of the exponent range r^(10^10) overflows inside a Newton step: the root then
// comes back flagged instead of unfinished with error 0. Lower down it is correct; the reference
// is formed as mantissa^(1/N) 10^(e/N), without writing out 10^e.
TEST(LimbRootLong, OverflowNearTheTopExponentFlagsTheRoot) {
    WorkLong low = MakeRaw(5, 1, 1999999000, {9999999999, 1234567890});
    WorkLong r;
    LimbRootLong(r, low);
    EXPECT_EQ(r.error, 0);
    Mpfr truth(reference::ReferenceBits(5));
    WorkLong mantissa = low;
    mantissa.exponent = 0;
    reference::SetFromRecord(truth.get(), mantissa);
    mpfr_rootn_ui(truth.get(), truth.get(), 10000000000UL, MPFR_RNDN);
    Mpfr shift(reference::ReferenceBits(5));
    const mpq_class tenth(mpz_class(1999999000), mpz_class("10000000000"));
    mpfr_set_q(shift.get(), tenth.get_mpq_t(), MPFR_RNDN);
    mpfr_exp10(shift.get(), shift.get(), MPFR_RNDN);
    mpfr_mul(truth.get(), truth.get(), shift.get(), MPFR_RNDN);
    EXPECT_GE(CorrectDigits(r, truth.get()), RootDigitsKept(5));

    WorkLong top = MakeRaw(5, 1, 1999999990, {9999999999, 1234567890});
    testing::internal::CaptureStdout();
    LimbRootLong(r, top);
    EXPECT_NE(testing::internal::GetCapturedStdout(), "");
    EXPECT_LE(r.error, -1);
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
}

// The refusals, each with its message byte for byte and zero with error -1 at x's precision, and
// the answers that need no power.
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
        {"0^0", MakeLong("0", 4), MakeLong("0", 6), "", 0, 0},
        {"0^-3", MakeLong("0", 4), MakeLong("-3", 6), "", 0, 0},
        {"0^2.5", MakeLong("0", 4), MakeLong("2.5", 6), "", 0, 0},
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
        {"(-2)^1e10", MakeLong("-2", 4), MakeLong("1e10", 6), negative, -1, 0},
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

// exponential_test.cpp -- e^x, ln x and log10 x against MPFR, the identities that tie them, their
// range limits and messages, and what they do to their argument.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "core/diagnostics.h"
#include "core/long_number.h"
#include "transcendental/exponential.h"
#include "support/gmp_reference.h"
#include "support/mpfr_reference.h"
#include "support/unary_accuracy.h"

namespace ostrel2 {
namespace {

using reference::ExactValue;
using reference::FirstLimbsCorrect;
using reference::IsCanonical;
using reference::MakeLong;
using reference::MakeRaw;
using reference::Mpfr;
using reference::Pow10;
using reference::RandomLongs;


// A full-length random record of the given exponent whose leading limb is at most `leadMax`.
WorkLong RandomArgument(RandomLongs& random, int32_t p, int32_t exponent, int64_t leadMax,
                        bool allowNegative = true) {
    WorkLong x = random.Next(p, exponent, exponent, allowNegative);
    x.limbs[0] = static_cast<double>(random.Between(1, leadMax));
    return x;
}

struct PrecisionRun {
    int32_t precision;
    int count;
};

// e^x for full-length arguments of magnitude up to 100 and down to 10^-20, and for the short
// arguments 1.5, -2.25 and 0.001 at every precision up to 303: the first p limbs are correct.
TEST(ExpLong, MatchesMpfr) {
    RandomLongs random(5201);
    const PrecisionRun kRuns[] = {{1, 24}, {5, 24}, {30, 8}, {100, 2}, {303, 1}};
    for (const PrecisionRun& run : kRuns) {
        const int32_t p = run.precision;
        double worst = 1e9;
        auto check = [&](const WorkLong& x) {
            const double digits = reference::CheckUnaryAgainstMpfr(ExpLong, mpfr_exp, x, p);
            if (digits < worst) worst = digits;
        };
        for (int i = 0; i < run.count; ++i) {
            const int32_t exponent = i % 3 == 0 ? 0 : -10 * static_cast<int32_t>(i % 3);
            check(RandomArgument(random, p, exponent, 99));
        }
        for (const char* x : {"1.5", "-2.25", "0.001"}) check(MakeLong(x, p));
        RecordProperty("worst_digits_p" + std::to_string(p), std::to_string(worst));
    }
}

// e^0 is 1 without a power; e^1 is the series of e itself, also without a power.
TEST(ExpLong, ZeroAndOne) {
    for (int32_t p : {1, 30, 303}) {
        WorkLong zero = MakeLong("0", p);
        WorkLong y;
        ExpLong(y, zero);
        EXPECT_TRUE(reference::HasExactValue(y, 1)) << p;
        EXPECT_EQ(y.precision, p);

        WorkLong one = MakeLong("1", p);
        ExpLong(y, one);
        EXPECT_EQ(y.precision, p) << "e is not raised to a power";
        Mpfr e(reference::ReferenceBits(p));
        mpfr_set_ui(e.get(), 1, MPFR_RNDN);
        mpfr_exp(e.get(), e.get(), MPFR_RNDN);
        EXPECT_TRUE(FirstLimbsCorrect(y, e.get(), p)) << p;
    }
}

// exp(a) exp(b) = exp(a + b) and ln(exp x) = x, each within a few units of the last kept limb.
TEST(ExpLong, ProductOfExponentialsAndLogarithmOfExponential) {
    RandomLongs random(5202);
    for (int32_t p : {5, 30}) {
        for (int i = 0; i < 3; ++i) {
            const WorkLong a = RandomArgument(random, p, 0, 20);
            const WorkLong b = RandomArgument(random, p, 0, 20);
            const mpq_class sum = ExactValue(a) + ExactValue(b);
            WorkLong s = MakeLong(sum, p);
            ASSERT_EQ(ExactValue(s), sum);  // a + b fits the record exactly
            WorkLong ea;
            WorkLong eb;
            WorkLong es;
            WorkLong ca = a;
            WorkLong cb = b;
            ExpLong(ea, ca);
            ExpLong(eb, cb);
            ExpLong(es, s);
            const mpq_class product = ExactValue(ea) * ExactValue(eb);
            const mpq_class unit = Pow10(static_cast<long>(es.exponent) - 10L * (p + 1));
            EXPECT_LT(abs(product - ExactValue(es)), unit) << "precision " << p;

            WorkLong back;
            LogeLong(back, ea);
            const mpq_class unitA = Pow10(static_cast<long>(MakeLong(ExactValue(a), 1).exponent) -
                                          10L * (p + 1));
            EXPECT_LT(abs(ExactValue(back) - ExactValue(a)), unitA) << "precision " << p;
        }
    }
}

// |x| up to 1,009,999,999,999 passes the range test (exponent 10, leading limb 100) and is then
// refused by the real power's overflow estimate; from 1.01 x 10^12 on the exponential refuses it
// itself. Both signs alike.
TEST(ExpLong, RangeLimitsAndMessages) {
    const struct {
        const char* x;
        Message message;
    } kCases[] = {
        {"1e12", Message::RealPowerOverflow},
        {"-1e12", Message::RealPowerOverflow},
        {"1009999999999.5", Message::RealPowerOverflow},
        {"1.01e12", Message::ExpRange},
        {"-1.01e12", Message::ExpRange},
        {"1e30", Message::ExpRange},
    };
    for (const auto& c : kCases) {
        WorkLong x = MakeLong(c.x, 4);
        WorkLong y;
        testing::internal::CaptureStdout();
        ExpLong(y, x);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), MessageText(c.message)) << c.x;
        EXPECT_EQ(y.sign, 0) << c.x;
        EXPECT_EQ(y.exponent, ZERO_EXPONENT) << c.x;
        EXPECT_EQ(y.precision, 4) << c.x;
        EXPECT_EQ(y.error, -1) << c.x;
    }
}

// e^1000 and e^-1000 lie far inside the range and come back exact to their precision.
TEST(ExpLong, LargeArgumentsInsideTheRange) {
    for (const char* x : {"1000", "-1000", "123456.789"}) {
        reference::CheckUnaryAgainstMpfr(ExpLong, mpfr_exp, MakeLong(x, 5), 5);
    }
}

// e^x whose exponent lies beyond the products' limit of +-2,000,000,000 but within the record's
// +-2,147,000,000 is computed, whole x by the integer power and others by the general method,
// on both sides of the record's limits: e^4,943,650,217 = 10^2,147,000,009.7 and
// e^-4,943,650,194 = 10^-2,146,999,999.7 fit, one more in magnitude overflows.
TEST(ExpLong, ResultsBeyondTheProductsExponentLimit) {
    const std::string overflow = MessageText(Message::Overflow);
    const std::string realOverflow = MessageText(Message::RealPowerOverflow);
    const struct {
        const char* x;
        std::string message;
    } kCases[] = {
        {"4.7e9", ""},          {"-4.7e9", ""},       {"4700000000.5", ""},
        {"-4700000000.5", ""},  {"4943650217", ""},   {"4943650217.5", ""},
        {"-4943650194", ""},    {"4943650218", overflow},
        {"4943650218.5", realOverflow}, {"-4943650195", overflow},
    };
    for (const auto& c : kCases) {
        for (int32_t p : {1, 5, 30}) {
            WorkLong x = MakeLong(c.x, p);
            SCOPED_TRACE(std::string(c.x) + " at precision " + std::to_string(p));
            if (c.message.empty()) {
                reference::CheckUnaryAgainstMpfr(ExpLong, mpfr_exp, x, p);
                continue;
            }
            WorkLong y;
            testing::internal::CaptureStdout();
            ExpLong(y, x);
            EXPECT_EQ(testing::internal::GetCapturedStdout(), c.message);
            EXPECT_EQ(y.sign, 0);
            EXPECT_EQ(y.error, -1);
        }
    }
}

TEST(ExpLong, FlaggedArgumentGivesZeroWithoutMessage) {
    WorkLong x = MakeRaw(6, 1, 0, {2}, -1);
    WorkLong y;
    testing::internal::CaptureStdout();
    ExpLong(y, x);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(y.sign, 0);
    EXPECT_EQ(y.precision, 6);
    EXPECT_EQ(y.error, -1);
}

// ln x for full-length arguments above and below 1 (folded to 1/x), in the range where the
// integer m is 0 (1 to about 1.904) and where it is not, and for far exponents.
TEST(LogeLong, MatchesMpfr) {
    RandomLongs random(5203);
    const PrecisionRun kRuns[] = {{1, 24}, {5, 24}, {30, 8}, {100, 2}, {303, 1}};
    const int32_t kExponents[] = {0, -10, 100, -1000, 0};
    for (const PrecisionRun& run : kRuns) {
        const int32_t p = run.precision;
        double worst = 1e9;
        auto check = [&](const WorkLong& x) {
            const double digits = reference::CheckUnaryAgainstMpfr(LogeLong, mpfr_log, x, p);
            if (digits < worst) worst = digits;
        };
        for (int i = 0; i < run.count; ++i) {
            const int32_t exponent = kExponents[i % 5];
            // The last of every five has m = 0: 1.1 to 1.8 and more digits.
            WorkLong x = RandomArgument(random, p, exponent, i % 5 == 4 ? 1 : 9999999999, false);
            if (i % 5 == 4) x.limbs[1] = static_cast<double>(random.Between(1, 8)) * 1e9;
            check(x);
        }
        for (const char* x : {"1.5", "0.25", "1e100"}) check(MakeLong(x, p));
        RecordProperty("worst_digits_p" + std::to_string(p), std::to_string(worst));
    }
}

TEST(LogeLong, OneIsZeroAndNonPositiveArgumentsAreRefused) {
    WorkLong one = MakeLong("1", 7);
    WorkLong y;
    testing::internal::CaptureStdout();
    LogeLong(y, one);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(y.sign, 0);
    EXPECT_EQ(y.exponent, ZERO_EXPONENT);
    EXPECT_EQ(y.error, 0);
    EXPECT_EQ(y.precision, 7);

    for (const char* x : {"0", "-2"}) {
        WorkLong a = MakeLong(x, 7);
        testing::internal::CaptureStdout();
        LogeLong(y, a);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), MessageText(Message::LogNotPositive)) << x;
        EXPECT_EQ(y.sign, 0) << x;
        EXPECT_EQ(y.precision, 7) << x;
        EXPECT_EQ(y.error, -1) << x;
    }

    WorkLong flagged = MakeRaw(7, 1, 0, {2}, -1);
    testing::internal::CaptureStdout();
    LogeLong(y, flagged);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(y.sign, 0);
    EXPECT_EQ(y.error, -1);
}

// A record the fuzzer found: its leading limb is a tiny positive fraction and the limb after it
// -1, so the first normalisation lets it through; 1/x then brings the negative limb to the front.
// The logarithm (and the decimal logarithm, which calls it) must come back failed after the
// normalisation's message, not read the limbs as a number (a NaN converted to an integer).
TEST(LogeLong, NegativeLimbBehindATinyLeadingLimbComesBackFailed) {
    for (auto log : {&LogeLong, &Log10Long}) {
        WorkLong x = MakeRaw(26, 1, 7750, {7.752160229431044e-304, -1, 0, 9, 5419827445, 0,
                                           8721573952, 9306112});
        WorkLong y;
        testing::internal::CaptureStdout();
        log(y, x);
        const std::string printed = testing::internal::GetCapturedStdout();
        const std::string format = MessageText(Message::NegativeLimb);
        const std::string text = format.substr(0, format.find('%'));
        EXPECT_EQ(printed.compare(0, text.size(), text), 0) << printed;
        EXPECT_EQ(y.error, -1);
        EXPECT_EQ(y.sign, 0);
    }
}

// ln of a record of the given fields, with the reference formed from the exact mantissa and
// exponent * ln 10, so that exponents of a billion digits need not be written out.
void ReferenceLogOfFar(Mpfr& out, const WorkLong& x) {
    WorkLong mantissa = x;
    mantissa.exponent = 0;
    reference::SetFromRecord(out.get(), mantissa);
    mpfr_log(out.get(), out.get(), MPFR_RNDN);
    Mpfr shift(mpfr_get_prec(out.get()));
    mpfr_set_ui(shift.get(), 10, MPFR_RNDN);
    mpfr_log(shift.get(), shift.get(), MPFR_RNDN);
    mpfr_mul_si(shift.get(), shift.get(), x.exponent, MPFR_RNDN);
    mpfr_add(out.get(), out.get(), shift.get(), MPFR_RNDN);
}

// The folded argument (x, or 1/x below 1) may have an exponent of 930,000,000; from one limb more
// on, on either side of 1, the logarithm is ln(x / 10^e) + e ln 10 (e = x's exponent), out to
// the ends of the record's exponents: 1/x with exponent 930,000,010 (x = 10^-930,000,010 exactly)
// is found after the folding division, 3 x 10^-930,000,010 folds to 930,000,000 and stays on the
// folded path, and from 10^-930,000,020 down 1/x is not formed at all (beyond 10^-2,000,000,000 the
// division would overflow). ln and log10 alike, at precisions 1, 5 and 30.
TEST(LogeLong, ArgumentsOnBothSidesOfTheFoldLimit) {
    const struct {
        int32_t exponent;
        double limb0;
        double limb1;
    } kCases[] = {
        {930000000, 1, 0},           {930000010, 1, 0},           {930000000, 9999999999, 1},
        {-930000000, 1, 0},          {-930000010, 1, 0},          {-930000010, 3, 0},
        {-930000020, 7, 1234567890}, {1999999990, 9999999999, 9}, {2147000000, 9999999999, 9},
        {-2146999000, 2, 0},         {-2147000000, 1, 0},
    };
    for (const auto& c : kCases) {
        for (int32_t p : {1, 5, 30}) {
            const WorkLong x = MakeRaw(p, 1, c.exponent, {c.limb0, c.limb1, 5555555555});
            SCOPED_TRACE("exponent " + std::to_string(c.exponent) + ", limbs " +
                         std::to_string(c.limb0) + " at precision " + std::to_string(p));
            Mpfr truth(reference::ReferenceBits(p < 5 ? 5 : p));
            ReferenceLogOfFar(truth, x);
            for (bool common : {false, true}) {
                WorkLong a = x;
                WorkLong y;
                testing::internal::CaptureStdout();
                (common ? Log10Long : LogeLong)(y, a);
                EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << common;
                EXPECT_EQ(y.error, 0) << common;
                EXPECT_EQ(y.precision, p < 5 ? 5 : p) << common;
                if (common) {
                    Mpfr ln10(mpfr_get_prec(truth.get()));
                    mpfr_set_ui(ln10.get(), 10, MPFR_RNDN);
                    mpfr_log(ln10.get(), ln10.get(), MPFR_RNDN);
                    Mpfr log10(mpfr_get_prec(truth.get()));
                    mpfr_div(log10.get(), truth.get(), ln10.get(), MPFR_RNDN);
                    EXPECT_TRUE(FirstLimbsCorrect(y, log10.get(), p));
                } else {
                    EXPECT_TRUE(FirstLimbsCorrect(y, truth.get(), p));
                }
            }
        }
    }
}

// log10 1000 = 3 and log10 10 = 1 to the working precision; log10 1 is 0 with no error.
TEST(Log10Long, PowersOfTen) {
    for (int32_t p : {1, 5, 30, 100}) {
        for (int power : {1, 3, -7}) {
            WorkLong x = MakeLong(Pow10(power), p);
            WorkLong y;
            Log10Long(y, x);
            SCOPED_TRACE("10^" + std::to_string(power) + " at precision " + std::to_string(p));
            EXPECT_EQ(y.error, 0);
            const mpq_class unit = Pow10(-10L * (p + 1));
            EXPECT_LT(abs(ExactValue(y) - power), unit);
        }
    }
    WorkLong one = MakeLong("1", 5);
    WorkLong y;
    Log10Long(y, one);
    EXPECT_EQ(y.sign, 0);
    EXPECT_EQ(y.error, 0);
}

TEST(Log10Long, MatchesMpfr) {
    RandomLongs random(5204);
    for (int32_t p : {1, 5, 30}) {
        for (int i = 0; i < 4; ++i) {
            reference::CheckUnaryAgainstMpfr(Log10Long, mpfr_log10, random.Next(p, -200, 200, false),
                                             p);
        }
    }
}

// log10 0: the logarithm's message alone. Its zero with error -1 goes on through the division,
// which passes a failed operand on without a second message (the documented division would add
// its overflow report of the zero exponent); a flagged argument prints nothing at all.
TEST(Log10Long, ZeroAndFlaggedArgumentsGiveOneMessageOrNone) {
    WorkLong zero = MakeLong("0", 4);
    WorkLong y;
    testing::internal::CaptureStdout();
    Log10Long(y, zero);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string(MessageText(Message::LogNotPositive)));
    EXPECT_EQ(y.sign, 0);
    EXPECT_EQ(y.error, -1);

    WorkLong flagged = MakeRaw(4, 1, 0, {5}, -1);
    testing::internal::CaptureStdout();
    Log10Long(y, flagged);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(y.sign, 0);
    EXPECT_LE(y.error, -1);
}

// The argument is normalised in place, and the result may be written over it.
TEST(ExponentialAndLogarithms, ArgumentNormalisedInPlaceAndResultMayBeTheArgument) {
    WorkLong x = MakeRaw(4, 1, 7, {5});  // 5 x 10^7, off the grid
    WorkLong copy = x;
    WorkLong y;
    LogeLong(y, copy);
    EXPECT_TRUE(IsCanonical(copy));
    EXPECT_EQ(copy.limbs[0], 50000000.0);
    LogeLong(x, x);
    EXPECT_EQ(ExactValue(x), ExactValue(y));

    WorkLong a = MakeRaw(4, 1, -3, {1500});  // 1.5, off the grid
    WorkLong b = a;
    WorkLong e;
    ExpLong(e, a);
    EXPECT_TRUE(IsCanonical(a));
    ExpLong(b, b);
    EXPECT_EQ(ExactValue(b), ExactValue(e));
}

}  // namespace
}  // namespace ostrel2

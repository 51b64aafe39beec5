// divide_long_test.cpp -- Div2Long, DivSmall and AlignLeadingLimb against hand-derived limbs and
// exact rationals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "arith/divide_long.h"
#include "arith/multiply_schoolbook.h"
#include "core/diagnostics.h"
#include "support/gmp_reference.h"
#include "support/kernel_operands.h"
#include "support/trigonometric_reference.h"

namespace ostrel2 {
namespace {

using reference::ExactValue;
using reference::HasExactValue;
using reference::IsCanonical;
using reference::MakeLong;
using reference::MakeRaw;

// Every live limb of r from `from` on equals `limb`, except the last which equals `lastLimb`.
void ExpectLimbRun(const WorkLong& r, int from, double limb, double lastLimb) {
    for (int k = from; k < LastLimb(r); ++k) EXPECT_EQ(r.limbs[k], limb) << "limb " << k;
    EXPECT_EQ(r.limbs[LastLimb(r)], lastLimb) << "last limb";
}

TEST(AlignLeadingLimb, FillsTheLeadingLimbToTenDigits) {
    WorkLong r;
    // Leading limb 1: nine digits move up from every limb, exponent lowered by 9.
    const WorkLong one = MakeRaw(1, 1, 10, {1, 2345678901, 0, 0, 7});
    AlignLeadingLimb(r, one);
    EXPECT_EQ(r.exponent, 1);
    EXPECT_EQ(r.limbs[0], 1234567890);
    EXPECT_EQ(r.limbs[1], 1000000000);
    EXPECT_EQ(r.limbs[3], 0);
    EXPECT_EQ(r.limbs[4], 7000000000);
    EXPECT_EQ(ExactValue(r), ExactValue(one));

    // A ten-digit leading limb is already aligned; zero is copied unchanged.
    const WorkLong full = MakeRaw(2, -1, 0, {1000000000, 5});
    AlignLeadingLimb(r, full);
    EXPECT_EQ(r.exponent, 0);
    EXPECT_EQ(r.limbs[0], 1000000000);
    EXPECT_EQ(r.limbs[1], 5);
    const WorkLong zero = MakeLong("0", 3);
    AlignLeadingLimb(r, zero);
    EXPECT_EQ(r.sign, 0);
    EXPECT_EQ(r.exponent, ZERO_EXPONENT);

    // Random canonical records keep their value.
    reference::RandomLongs random(5);
    for (int n = 0; n < 300; ++n) {
        const WorkLong x = random.Next(static_cast<int32_t>(random.Between(1, 40)));
        AlignLeadingLimb(r, x);
        ASSERT_EQ(ExactValue(r), ExactValue(x)) << reference::Describe(x);
        ASSERT_GE(r.limbs[0], 1e9);
        ASSERT_LT(r.limbs[0], 1e10);
    }
}

TEST(AlignLeadingLimb, RecordOutOfCanonicalFormIsNormalisedFirst) {
    WorkLong r;
    // A sign with only zero limbs is the zero it denotes, not a logarithm of zero.
    AlignLeadingLimb(r, MakeRaw(1, 1, 0, {0}));
    EXPECT_EQ(r.sign, 0);
    // A leading limb of 10^10 or more.
    const WorkLong big = MakeRaw(1, 1, 0, {12345678901});
    AlignLeadingLimb(r, big);
    EXPECT_EQ(ExactValue(r), 12345678901);
    EXPECT_GE(r.limbs[0], 1e9);
    EXPECT_LT(r.limbs[0], 1e10);
    // A leading limb below 1 on the limb grid: its fraction joins the limbs after it.
    AlignLeadingLimb(r, MakeRaw(2, 1, 0, {0.5, 7}));
    EXPECT_EQ(r.exponent, -10);
    EXPECT_EQ(r.limbs[0], 5000000007);
    for (int k = 1; k <= LastLimb(r); ++k) EXPECT_EQ(r.limbs[k], 0) << k;
    AlignLeadingLimb(r, MakeRaw(2, -1, 0, {0.34, 9999999999}));
    EXPECT_EQ(r.sign, -1);
    EXPECT_EQ(r.exponent, -9);
    EXPECT_EQ(r.limbs[0], 1339999999);
    EXPECT_EQ(r.limbs[1], 9000000000);

    // Fractions of up to 15 significant digits, read exactly as written, wherever they start.
    reference::RandomLongs random(15);
    for (int n = 0; n < 400; ++n) {
        const int64_t digits = random.Between(1, 15);
        const int64_t zeros = random.Between(0, 25);
        const int64_t m = random.Between(1, static_cast<int64_t>(std::pow(10.0, digits)) - 1);
        const std::string text = std::to_string(m) + "e-" + std::to_string(digits + zeros);
        const double limb1 = static_cast<double>(random.Between(0, 9999999999LL));
        const WorkLong x = MakeRaw(5, 1, 0, {std::strtod(text.c_str(), nullptr), limb1});
        AlignLeadingLimb(r, x);
        ASSERT_EQ(ExactValue(r), reference::ParseDecimal(text) + mpq_class(limb1) / 10000000000)
            << text << " " << limb1;
        ASSERT_GE(r.limbs[0], 1e9);
    }
}

// Quotients are developed to P + 5 limbs with every estimate at or below the true limb, and the
// P + 4 limbs kept start with a non-zero limb. The cut or the rounding costs at most two units of
// the last kept limb, a digit shift in normalisation less than one more, so the relative error
// stays below 3 * 10^-(10 (P + 3)). (Measured in units of the normalised last limb the error can
// look 10^9 times larger: normalisation lowers the exponent and lets zeros into that limb.)
constexpr double kQuotientTolerance = 3.0;

double QuotientError(const WorkLong& r, const mpq_class& exact, int32_t P) {
    return reference::ScaledRelativeError(r, exact, 10L * (P + GUARD_LIMBS));
}

// A leading limb between 0 and 1 with an exponent on the limb grid passes the entry and
// normalisation's quick path; it stands for a fraction of its unit. Aligned with the limbs after
// it, such a record divides as the value it denotes. The expected quotients read each limb as the
// decimal it was written as (0.34, not the double nearest to it, whose further digits lie far
// below the ten-digit grid).
TEST(Div2Long, LeadingLimbBelowOneIsAlignedWithTheLimbsAfterIt) {
    struct Case {
        const char* name;
        WorkLong a, b;
        mpq_class quotient;
    };
    using reference::Pow10;
    for (int32_t p : {1, 2, 5, 30}) {
        SCOPED_TRACE("precision " + std::to_string(p));
        const Case cases[] = {
            {"limbs (0.5, 7) / 2", MakeRaw(p, 1, 0, {0.5, 7}), MakeLong("2", p),
             mpq_class(25000000035, 100000000000)},
            {"1 / limb 0.5", MakeLong("1", p), MakeRaw(p, 1, 0, {0.5}), 2},
            {"limbs (0.34, 9999999999) / 1", MakeRaw(p, 1, 0, {0.34, 9999999999}), MakeLong("1", p),
             mpq_class(13399999999, 10000000000)},
            // Kept by the general path of normalisation (above its noise level of 0.9).
            {"limbs (0, 0.95, 3) / -3", MakeRaw(p, 1, 30, {0, 0.95, 3}), MakeLong("-3", p),
             -(mpq_class(95, 100) * Pow10(20) + 3 * Pow10(10)) / 3},
            // A fraction that reaches two limbs down.
            {"limbs (10^-15, 0, 6) / 3", MakeRaw(p, 1, 3000, {1e-15, 0, 6}), MakeLong("3", p),
             (Pow10(2985) + 6 * Pow10(2980)) / 3},
            {"limbs (2.5 * 10^-10, 1) / 5", MakeRaw(p, 1, 0, {2.5e-10, 1}), MakeLong("5", p),
             mpq_class(35, 10) * Pow10(-10) / 5},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            const mpq_class& exact = c.quotient;
            WorkLong r;
            ::testing::internal::CaptureStdout();
            Div2Long(r, c.a, c.b);
            EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
            EXPECT_EQ(r.error, 0);
            EXPECT_TRUE(IsCanonical(r));
            EXPECT_LE(QuotientError(r, exact, p), kQuotientTolerance) << reference::Describe(r);
            // The short division aligns its dividend the same way.
            if (c.b.limbs[0] < 10 && c.b.exponent == 0) {
                DivSmall(r, c.a, c.b.sign * c.b.limbs[0]);
                EXPECT_EQ(r.error, 0);
                EXPECT_LE(QuotientError(r, exact, p), kQuotientTolerance) << reference::Describe(r);
            }
        }
    }
}

TEST(Div2Long, HandDerivedQuotients) {
    WorkLong r;
    // 1/3: every estimate one short, the quotient shifted up and cut without rounding.
    Div2Long(r, MakeLong("1", 2), MakeLong("3", 2));
    EXPECT_TRUE(IsCanonical(r));
    EXPECT_EQ(r.exponent, -10);
    ExpectLimbRun(r, 0, 3333333333, 3333333332);

    // 3/3 = 0.999...9 in all p + 4 limbs.
    Div2Long(r, MakeLong("3", 3), MakeLong("3", 1));
    EXPECT_EQ(r.exponent, -10);
    EXPECT_EQ(r.precision, 3);
    ExpectLimbRun(r, 0, 9999999999, 9999999999);

    // 8/2 = 4 exactly: rounding by the extra limb carries up to the leading limb.
    Div2Long(r, MakeLong("8", 2), MakeLong("2", 2));
    EXPECT_TRUE(HasExactValue(r, 4));
    EXPECT_TRUE(IsCanonical(r));

    // -7 / 0.25 = -28 (rounded path); 7 / -10^-30 crosses limbs.
    Div2Long(r, MakeLong("-7", 1), MakeLong("0.25", 1));
    EXPECT_TRUE(HasExactValue(r, -28));
    Div2Long(r, MakeLong("7", 1), MakeLong("-1e-30", 1));
    EXPECT_TRUE(reference::WithinLastLimbUnits(r, reference::ParseDecimal("-7e30"), 1));
    EXPECT_EQ(r.sign, -1);
}

TEST(Div2Long, ZeroDividendAndZeroDivisor) {
    WorkLong r;
    struct Case {
        const char* name;
        WorkLong a, b;
    };
    ::testing::internal::CaptureStdout();
    Div2Long(r, MakeLong("0", 4), MakeLong("5", 6));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(r.sign, 0);
    EXPECT_EQ(r.exponent, ZERO_EXPONENT);
    EXPECT_EQ(r.precision, 6);
    EXPECT_EQ(r.error, 0);

    // Zero over zero has no quotient: reported as a division by zero, as the reciprocal division
    // does. A canonical zero divisor carries ZERO_EXPONENT, so an ordinary dividend overflows the
    // exponent difference first; a dividend below 10^-100,000,000 reaches the zero test.
    const Case zeroDivisors[] = {
        {"0 / 0", MakeLong("0", 1), MakeLong("0", 2)},
        {"5 / 0", MakeLong("5", 2), MakeLong("0", 1)},
        {"10^-200000000 / 0", MakeRaw(1, 1, -200000000, {1}), MakeLong("0", 2)},
    };
    const char* messages[] = {MessageText(Message::DivisionByZero), MessageText(Message::Overflow),
                              MessageText(Message::DivisionByZero)};
    for (int n = 0; n < 3; ++n) {
        SCOPED_TRACE(zeroDivisors[n].name);
        ::testing::internal::CaptureStdout();
        Div2Long(r, zeroDivisors[n].a, zeroDivisors[n].b);
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), messages[n]);
        EXPECT_EQ(r.sign, 0);
        EXPECT_EQ(r.exponent, ZERO_EXPONENT);
        EXPECT_EQ(r.precision, 2);
        EXPECT_EQ(r.error, -1);
        for (int k = 0; k <= LastLimb(r); ++k) EXPECT_EQ(r.limbs[k], 0) << k;
    }
}

// A zero that carries an error stands for a failure reported where it arose: as dividend or as
// divisor it gives zero with the operands' errors and no second message (its zero exponent would
// otherwise bring the overflow message about). A valid zero dividend passes on the divisor's error.
TEST(Div2Long, FailedZeroOperandsArePassedOnWithoutAMessage) {
    struct Case {
        const char* name;
        WorkLong a, b;
        int32_t error;
    };
    const WorkLong failedZero = MakeRaw(3, 0, ZERO_EXPONENT, {0}, -1);
    const Case cases[] = {
        {"failed 0 / 5", failedZero, MakeLong("5", 2), -1},
        {"5 / failed 0", MakeLong("5", 2), failedZero, -1},
        {"10^-200000000 / failed 0", MakeRaw(1, 1, -200000000, {1}), failedZero, -1},
        {"failed 0 / failed 0", failedZero, failedZero, -2},
        {"failed 0 / failed 5", failedZero, MakeRaw(2, 1, 0, {5}, -2), -3},
        {"0 / failed 5", MakeLong("0", 3), MakeRaw(2, 1, 0, {5}, -2), -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WorkLong r;
        ::testing::internal::CaptureStdout();
        Div2Long(r, c.a, c.b);
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(r.sign, 0);
        EXPECT_EQ(r.exponent, ZERO_EXPONENT);
        EXPECT_EQ(r.precision, 3);
        EXPECT_EQ(r.error, c.error);
    }
    // The short division keeps the failed zero's error as well.
    WorkLong r;
    ::testing::internal::CaptureStdout();
    DivSmall(r, failedZero, 3);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(r.sign, 0);
    EXPECT_EQ(r.error, -1);
}

TEST(Div2Long, ExponentDifferenceLimit) {
    WorkLong r;
    ::testing::internal::CaptureStdout();
    Div2Long(r, MakeRaw(1, 1, 1000000000, {5}), MakeRaw(1, -1, -1000000000, {5}));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(r.error, 0);
    // -10^2000000000, as the cut quotient -0.999...9 * 10^2000000000.
    EXPECT_EQ(r.sign, -1);
    EXPECT_EQ(r.exponent, 1999999990);
    ExpectLimbRun(r, 0, 9999999999, 9999999999);

    ::testing::internal::CaptureStdout();
    Div2Long(r, MakeRaw(1, 1, 1000000000, {5}), MakeRaw(1, -1, -1000000010, {5}));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), MessageText(Message::Overflow));
    EXPECT_EQ(r.error, -1);
    EXPECT_EQ(r.sign, -1);
}

TEST(Div2Long, ErrorsAddOperandsStayAndResultMayBeAnOperand) {
    WorkLong a = MakeLong("1", 1);
    WorkLong b = MakeLong("4", 2);
    a.error = -1;
    b.error = -2;
    const WorkLong aBefore = a;
    Div2Long(a, a, b);
    EXPECT_EQ(a.error, -3);
    EXPECT_EQ(a.precision, 2);
    EXPECT_TRUE(reference::WithinLastLimbUnits(a, mpq_class(1, 4), 1));
    EXPECT_EQ(b.limbs[0], 4);  // only read
    EXPECT_EQ(aBefore.limbs[0], 1);
}

TEST(Div2Long, RandomQuotientsAreWithinTheirLastLimbs) {
    reference::RandomLongs random(31337);
    double worst = 0;
    for (int n = 0; n < 1500; ++n) {
        const int32_t limit = n % 25 == 0 ? MAX_PRECISION : 8;
        const WorkLong a = random.Next(static_cast<int32_t>(random.Between(1, limit)), -300, 300);
        WorkLong b = random.Next(static_cast<int32_t>(random.Between(1, limit)), -300, 300);
        if (n % 3 == 0) {  // one-limb divisors: no partial product falls beyond the window
            for (int k = 1; k <= LastLimb(b); ++k) b.limbs[k] = 0;
        }
        const mpq_class exact = ExactValue(a) / ExactValue(b);
        WorkLong r;
        Div2Long(r, a, b);
        ASSERT_TRUE(IsCanonical(r)) << n;
        ASSERT_EQ(r.precision, MaxPrecision(a, b));
        ASSERT_EQ(r.error, 0);
        ASSERT_EQ(r.sign, a.sign * b.sign);
        const double error = QuotientError(r, exact, r.precision);
        worst = std::max(worst, error);
        ASSERT_LE(error, kQuotientTolerance) << n << "\n  a " << reference::Describe(a) << "\n  b "
                              << reference::Describe(b) << "\n  r " << reference::Describe(r);
    }
    RecordProperty("WorstLastLimbUnits", std::to_string(worst));
}

TEST(DivSmall, HandDerivedQuotients) {
    WorkLong r;
    // 1/2 = 0.4999...9: shifted and cut.
    DivSmall(r, MakeLong("1", 2), 2);
    EXPECT_EQ(r.exponent, -10);
    EXPECT_EQ(r.limbs[0], 4999999999);
    ExpectLimbRun(r, 1, 9999999999, 9999999999);

    DivSmall(r, MakeLong("8", 2), 2);
    EXPECT_TRUE(HasExactValue(r, 4));

    // By -2 the half is negated; by 0.5 the divisor scales to 5 * 10^9 and the quotient doubles.
    DivSmall(r, MakeLong("8", 2), -2);
    EXPECT_TRUE(HasExactValue(r, -4));
    // Scaled by 0.5 the divisor is 5 * 10^9, so every quotient takes the shifted, cut path:
    // -3 / 0.5 comes out as -5.999...9.
    DivSmall(r, MakeLong("-3", 1), 0.5);
    EXPECT_EQ(r.sign, -1);
    EXPECT_EQ(r.exponent, 0);
    EXPECT_EQ(r.limbs[0], 5);
    ExpectLimbRun(r, 1, 9999999999, 9999999999);

    // A power of ten whose logarithm quotient falls short scales to exactly 10^10.
    DivSmall(r, MakeLong("123456789", 1), 1000);
    EXPECT_TRUE(reference::WithinLastLimbUnits(r, mpq_class(123456789, 1000), 1));

    // The result may be the operand.
    WorkLong x = MakeLong("6", 3);
    DivSmall(x, x, 6);
    EXPECT_TRUE(reference::WithinLastLimbUnits(x, 1, 1));
    EXPECT_EQ(x.precision, 3);
}

TEST(DivSmall, ZeroDividendAndZeroDivisor) {
    WorkLong r;
    for (double d : {7.0, 0.0}) {
        ::testing::internal::CaptureStdout();
        DivSmall(r, MakeLong("0", 5), d);
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(r.sign, 0);
        EXPECT_EQ(r.exponent, ZERO_EXPONENT);
        EXPECT_EQ(r.precision, 5);
        EXPECT_EQ(r.error, 0);
    }
    ::testing::internal::CaptureStdout();
    DivSmall(r, MakeLong("-5", 2), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), MessageText(Message::DivisionByZero));
    EXPECT_EQ(r.error, -1);
    EXPECT_EQ(r.sign, -1);
    EXPECT_EQ(r.exponent, 0);
    for (int k = 0; k <= LastLimb(r); ++k) EXPECT_EQ(r.limbs[k], 0) << k;
}

// The short division's exponent, moved by the scaling of the divisor, is formed in floating point;
// one beyond the 32-bit range is reported with the exponent message (and error -1) instead of
// wrapping round. Such records never pass the entry.
TEST(DivSmall, ExponentAtTheTopOfTheRangeIsReported) {
    const WorkLong a = MakeRaw(1, 1, 2147483640, {7});
    WorkLong r;
    ::testing::internal::CaptureStdout();
    DivSmall(r, a, 0.001);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), MessageText(Message::ExponentLimit));
    EXPECT_EQ(r.error, -1);
}

TEST(DivSmall, RandomQuotientsAreWithinTheirLastLimbs) {
    reference::RandomLongs random(2718);
    double worst = 0;
    for (int n = 0; n < 3000; ++n) {
        WorkLong a = random.Next(static_cast<int32_t>(random.Between(1, n % 25 ? 8 : 303)), -300, 300);
        a.error = n % 13 == 0 ? -1 : 0;
        const int64_t kind = random.Between(0, 3);
        const double d = kind == 0   ? static_cast<double>(random.Between(1, 9999999999LL))
                         : kind == 1 ? static_cast<double>(random.Between(1, 1000000))
                         : kind == 2 ? static_cast<double>(random.Between(-99, 99))
                                     : 1e10 - 1;
        if (d == 0) continue;
        const mpq_class exact = ExactValue(a) / mpq_class(d);
        WorkLong r;
        DivSmall(r, a, d);
        ASSERT_TRUE(IsCanonical(r)) << n;
        ASSERT_EQ(r.precision, a.precision);
        ASSERT_EQ(r.error, a.error);
        const double error = QuotientError(r, exact, r.precision);
        worst = std::max(worst, error);
        ASSERT_LE(error, kQuotientTolerance) << n << " d " << d << "\n  a " << reference::Describe(a)
                              << "\n  r " << reference::Describe(r);
    }
    RecordProperty("WorstLastLimbUnits", std::to_string(worst));
}

// DivSmall (the whole-limb quotient loop wherever it applies) against DivSmallPlain, bit for bit
// in the record and in what it prints, at every precision: KernelOperands' records over divisors
// at the ends of what the code allows (1, 2, 10^9, 10^10 and 9,999,999,999 scaled onto the ends of
// [10^9, 10^10], 2^33, fractions of ten digits and fewer, a negative one, and 2^53, whose sixteen
// digits leave the scaled divisor fractional and the plain loop in charge), and a random counter.
TEST(DivSmall, WholeLimbLoopGivesThePlainLoopsBitsAtEveryPrecision) {
    const std::vector<double> divisors = {
        1.0, 2.0, 3.0, 6.0, 7.0, 99999.0, 1e6, 1e9, 1e10, 999999999.0, 9999999999.0,
        8589934592.0, 0.5, 1234567.891, -3.0, 9007199254740992.0};
    reference::RandomLongs random(4711);
    int compared = 0;
    ASSERT_TRUE(reference::SameAsPlainAtEveryPrecision(DivSmall, DivSmallPlain, divisors, 100000,
                                                        random, compared));
    // Many more short quotients, where most of the library's divisions are: random records of
    // precision 1 .. 12 over random whole divisors of up to ten digits.
    for (int n = 0; n < 20000; ++n) {
        const WorkLong a = random.Next(static_cast<int32_t>(random.Between(1, 12)), -300, 300);
        const double d = static_cast<double>(random.Between(1, 9999999999LL));
        WorkLong fast;
        WorkLong plain;
        DivSmall(fast, a, d);
        DivSmallPlain(plain, a, d);
        ASSERT_TRUE(reference::SameRecord(fast, plain)) << n << " d " << d;
    }
    RecordProperty("Quotients", std::to_string(compared + 20000));
}

// DivSmallLeading gives DivSmall's sign, exponent, error and first `limbs` limbs at every
// reach, from none of the quotient to all of it: on KernelOperands' records and on exact
// multiples of the divisor. An exact quotient is where the shortcut must give way: each estimate
// is one short, so the leading limbs come out as ...36 9,999,999,999 9,999,999,999 ... until a
// carry from the limbs it does not divide turns them over to ...37 0 0. It takes the shortcut
// often (its later limbs 0 where DivSmall's are not), so the comparison reaches it.
TEST(DivSmallLeading, LeadingLimbsAreDivSmalls) {
    reference::RandomLongs random(1618);
    int shortcuts = 0;
    int compared = 0;
    for (int32_t p = 1; p <= MAX_PRECISION; p += p < 20 ? 1 : 7) {
        std::vector<WorkLong> dividends = reference::KernelOperands(random, p, 2);
        const double d = static_cast<double>(random.Between(2, 9999999999LL));
        // The random ones and the runs (all nines, a lone 1, nines and zeros in turn) times d.
        for (int j = 0; j < 5; ++j) {
            WorkLong multiple;
            MultiplSmall(multiple, dividends[j], d);
            dividends.push_back(multiple);
        }
        for (const WorkLong& a : dividends) {
            WorkLong whole;
            DivSmall(whole, a, d);
            for (int32_t limbs = -1; limbs <= p + 5; limbs += 1 + p / 10) {
                WorkLong leading;
                DivSmallLeading(leading, a, d, limbs);
                const int32_t kept = std::max(1, std::min(limbs, p + 4));
                bool same = leading.sign == whole.sign && leading.exponent == whole.exponent &&
                            leading.error == whole.error && leading.precision == whole.precision;
                for (int32_t k = 0; k < kept; ++k) same = same && leading.limbs[k] == whole.limbs[k];
                ASSERT_TRUE(same) << "p " << p << " limbs " << limbs << " d " << d << "\n  a "
                                  << reference::Describe(a) << "\n  leading "
                                  << reference::Describe(leading) << "\n  whole "
                                  << reference::Describe(whole);
                bool shortcut = false;
                for (int32_t k = kept; k <= LastLimb(whole); ++k)
                    shortcut = shortcut || leading.limbs[k] != whole.limbs[k];
                shortcuts += shortcut;
                ++compared;
            }
        }
    }
    EXPECT_GT(shortcuts, compared / 4);
    RecordProperty("Shortcuts", std::to_string(shortcuts) + " of " + std::to_string(compared));
}

}  // namespace
}  // namespace ostrel2

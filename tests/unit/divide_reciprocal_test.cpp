// divide_reciprocal_test.cpp -- DivLong against exact rational quotients, its zero and overflow
// answers, signs, precisions and the spread of operand errors.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "arith/divide_long.h"
#include "arith/divide_reciprocal.h"
#include "core/diagnostics.h"
#include "core/long_number.h"
#include "support/gmp_reference.h"

namespace ostrel2 {
namespace {

using reference::ExactValue;
using reference::IsCanonical;
using reference::MakeLong;
using reference::MakeRaw;
using reference::Pow10;
using reference::RandomLongs;

// Relative error bound of the quotient at working precision p, derived in
// docs/reciprocal-division.md: the squared residual of the last tested reciprocal, three product
// errors of four units of limb Q + 2 each, and two cuts of one unit of limb Q + 3 against 1.
mpq_class QuotientBound(int32_t p) {
    const int32_t q = p < 5 ? 5 : p;
    return mpq_class(11, 10) * Pow10(-20L * (p + 1)) + 13 * Pow10(-10L * (q + 2));
}

::testing::AssertionResult WithinQuotientBound(const WorkLong& quotient, const mpq_class& exact,
                                               int32_t p) {
    const mpq_class deviation = abs(ExactValue(quotient) - exact);
    if (deviation <= QuotientBound(p) * abs(exact)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "relative error " << reference::ToScientific(deviation / abs(exact), 5)
           << " exceeds " << reference::ToScientific(QuotientBound(p), 5) << " at precision " << p;
}

TEST(DivLong, RandomQuotientsStayWithinTheDerivedBound) {
    RandomLongs random(20240611);
    const int32_t edges[] = {1, 2, 4, 5, 6, 12, 13, 28, 29, 60, 61, 124, 125, 252, 253, 303};
    auto check = [&](int32_t pa, int32_t pb) {
        WorkLong a = random.Next(pa, -300, 300);
        WorkLong b = random.Next(pb, -300, 300);
        const mpq_class exact = ExactValue(a) / ExactValue(b);
        const int32_t p = pa > pb ? pa : pb;
        SCOPED_TRACE("precisions " + std::to_string(pa) + " / " + std::to_string(pb));
        WorkLong q;
        DivLong(q, a, b);
        EXPECT_TRUE(IsCanonical(q));
        EXPECT_EQ(q.precision, p < 5 ? 5 : p);
        EXPECT_EQ(q.error, 0);
        EXPECT_EQ(q.sign, a.sign * b.sign);
        EXPECT_TRUE(WithinQuotientBound(q, exact, p));
    };
    for (int32_t pa : edges) {
        for (int32_t pb : edges) check(pa, pb);
    }
    for (int i = 0; i < 150; ++i) {
        check(static_cast<int32_t>(random.Between(1, 303)),
              static_cast<int32_t>(random.Between(1, 303)));
    }
}

TEST(DivLong, DivisorOneGivesTheDividendExactly) {
    RandomLongs random(7);
    for (int32_t p : {1, 5, 30, 303}) {
        WorkLong a = random.Next(p);
        const mpq_class exact = ExactValue(a);
        WorkLong one = MakeLong("1", p);
        WorkLong q;
        DivLong(q, a, one);
        EXPECT_TRUE(reference::HasExactValue(q, exact)) << "precision " << p;
        EXPECT_EQ(q.error, 0);
    }
}

TEST(DivLong, ZeroByZeroReportsDivisionByZeroLikeLongDivision) {
    WorkLong a = MakeLong("0", 7);
    WorkLong b = MakeLong("0", 9);
    WorkLong q;
    testing::internal::CaptureStdout();
    DivLong(q, a, b);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), MessageText(Message::DivisionByZero));
    EXPECT_EQ(q.sign, 0);
    EXPECT_EQ(q.exponent, ZERO_EXPONENT);
    EXPECT_EQ(q.precision, 9);
    EXPECT_EQ(q.error, -1);
    for (int k = 0; k <= LastLimb(q); ++k) EXPECT_EQ(q.limbs[k], 0.0);

    WorkLong q2;
    testing::internal::CaptureStdout();
    Div2Long(q2, a, b);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), MessageText(Message::DivisionByZero));
    EXPECT_EQ(q2.sign, 0);
    EXPECT_EQ(q2.exponent, ZERO_EXPONENT);
    EXPECT_EQ(q2.precision, 9);
    EXPECT_EQ(q2.error, -1);
    for (int k = 0; k <= LastLimb(q2); ++k) EXPECT_EQ(q2.limbs[k], 0.0);
}

TEST(DivLong, NonZeroByZeroReportsDivisionByZero) {
    WorkLong a = MakeLong("3", 2);
    WorkLong b = MakeLong("0", 2);
    WorkLong q;
    testing::internal::CaptureStdout();
    DivLong(q, a, b);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), MessageText(Message::DivisionByZero));
    EXPECT_EQ(q.sign, 0);
    EXPECT_EQ(q.error, -1);
}

TEST(DivLong, ZeroDividendGivesZeroWithoutMessage) {
    WorkLong a = MakeLong("0", 3);
    WorkLong b = MakeLong("-7.25", 8);
    WorkLong q;
    testing::internal::CaptureStdout();
    DivLong(q, a, b);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(q.sign, 0);
    EXPECT_EQ(q.exponent, ZERO_EXPONENT);
    EXPECT_EQ(q.precision, 8);
    EXPECT_EQ(q.error, 0);
}

// A zero that carries an error stands for a failure reported where it arose: as dividend or as
// divisor it gives zero with the operands' errors and no second message (neither the overflow
// message its exponent would bring about nor the division-by-zero message). A valid zero
// dividend passes on the divisor's error.
TEST(DivLong, FailedZeroOperandsArePassedOnWithoutAMessage) {
    struct Case {
        const char* name;
        WorkLong a, b;
        int32_t error;
    };
    const WorkLong failedZero = MakeRaw(3, 0, ZERO_EXPONENT, {0}, -1);
    const Case cases[] = {
        {"failed 0 / 5", failedZero, MakeLong("5", 2), -1},
        {"5 / failed 0", MakeLong("5", 2), failedZero, -1},
        {"failed 0 / failed 0", failedZero, failedZero, -2},
        {"0 / failed 0", MakeLong("0", 2), failedZero, -1},
        {"failed 0 / failed 5", failedZero, MakeRaw(2, 1, 0, {5}, -2), -3},
        {"0 / failed 5", MakeLong("0", 3), MakeRaw(2, 1, 0, {5}, -2), -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WorkLong a = c.a, b = c.b, q;
        testing::internal::CaptureStdout();
        DivLong(q, a, b);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(q.sign, 0);
        EXPECT_EQ(q.exponent, ZERO_EXPONENT);
        EXPECT_EQ(q.precision, 3);
        EXPECT_EQ(q.error, c.error);
    }
}

TEST(DivLong, SignsOfDividendAndDivisorMultiply) {
    for (const char* a : {"22", "-22"}) {
        for (const char* b : {"7", "-7"}) {
            WorkLong x = MakeLong(a, 6);
            WorkLong y = MakeLong(b, 6);
            const mpq_class exact = ExactValue(x) / ExactValue(y);
            WorkLong q;
            DivLong(q, x, y);
            EXPECT_EQ(q.sign, x.sign * y.sign) << a << " / " << b;
            EXPECT_TRUE(WithinQuotientBound(q, exact, 6)) << a << " / " << b;
        }
    }
}

TEST(DivLong, PrecisionOneOperandsGiveAPrecisionFiveQuotient) {
    WorkLong a = MakeLong("1", 1);
    WorkLong b = MakeLong("3", 1);
    WorkLong q;
    DivLong(q, a, b);
    EXPECT_EQ(q.precision, 5);
    EXPECT_TRUE(WithinQuotientBound(q, mpq_class(1, 3), 1));
}

TEST(DivLong, ExponentDifferenceOfTwoBillionPassesAndOneLimbMoreOverflows) {
    WorkLong a = MakeRaw(2, 1, 1000000000, {1});
    WorkLong b = MakeRaw(2, 1, -1000000000, {1});
    WorkLong q;
    testing::internal::CaptureStdout();
    DivLong(q, a, b);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(q.error, 0);
    // 10^2,000,000,000, checked by its fields (its exact value has two billion digits).
    EXPECT_EQ(q.sign, 1);
    EXPECT_EQ(q.exponent, 2000000000);
    EXPECT_EQ(q.limbs[0], 1.0);
    for (int k = 1; k <= LastLimb(q); ++k) EXPECT_EQ(q.limbs[k], 0.0) << "limb " << k;

    WorkLong c = MakeRaw(2, 1, 1000000010, {1});
    WorkLong d = MakeRaw(2, 1, -1000000000, {1});
    testing::internal::CaptureStdout();
    DivLong(q, c, d);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), MessageText(Message::Overflow));
    EXPECT_EQ(q.sign, 0);
    EXPECT_EQ(q.exponent, ZERO_EXPONENT);
    EXPECT_EQ(q.error, -1);
}

TEST(DivLong, OperandErrorsMarkTheQuotient) {
    for (int which = 0; which < 2; ++which) {
        WorkLong a = MakeLong("10", 4);
        WorkLong b = MakeLong("4", 4);
        (which == 0 ? a : b).error = -1;
        WorkLong q;
        DivLong(q, a, b);
        EXPECT_LE(q.error, -1) << (which == 0 ? "dividend" : "divisor");
        EXPECT_TRUE(WithinQuotientBound(q, mpq_class(5, 2), 4));
    }
}

TEST(DivLong, ResultMayBeTheDividendRecord) {
    WorkLong a = MakeLong("1", 20);
    WorkLong b = MakeLong("7", 20);
    DivLong(a, a, b);
    EXPECT_TRUE(WithinQuotientBound(a, mpq_class(1, 7), 20));
}

// A divisor left with a negative leading limb by a failed normalisation is no number; the
// Newton iteration on it never settles, and the division must come back after its step limit
// with the long-division failure message and the zero with error -1, not loop.
TEST(DivLong, BrokenDivisorEndsWithAnError) {
    WorkLong a = MakeLong("1", 3);
    WorkLong b = MakeRaw(3, 1, 0, {-3, 5});
    WorkLong q;
    testing::internal::CaptureStdout();
    DivLong(q, a, b);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string failed = MessageText(Message::DivisionFailed);
    ASSERT_GE(out.size(), failed.size());
    EXPECT_EQ(out.substr(out.size() - failed.size()), failed);
    EXPECT_EQ(q.sign, 0);
    EXPECT_EQ(q.exponent, ZERO_EXPONENT);
    EXPECT_EQ(q.error, -1);
}

}  // namespace
}  // namespace ostrel2

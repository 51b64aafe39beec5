// addition_test.cpp -- AddLong and SubtractLong against hand-derived limbs and exact rationals.
#include <gtest/gtest.h>

#include <string>

#include "arith/addition.h"
#include "support/gmp_reference.h"

namespace ostrel2 {
namespace {

using reference::ExactValue;
using reference::HasExactValue;
using reference::IsCanonical;
using reference::MakeLong;
using reference::MakeRaw;

TEST(AddLong, HandDerivedSumsAndDifferences) {
    struct Case {
        const char* name;
        WorkLong a, b;
        bool subtract;
        int32_t sign, exponent;
        double limb0, limb1;
    };
    const Case cases[] = {
        {"1 + 1", MakeRaw(1, 1, 0, {1}), MakeRaw(1, 1, 0, {1}), false, 1, 0, 2, 0},
        {"10^10 + 1", MakeRaw(1, 1, 10, {1}), MakeRaw(1, 1, 0, {1}), false, 1, 10, 1, 1},
        {"9999999999 + 1 carries", MakeRaw(1, 1, 0, {9999999999}), MakeRaw(1, 1, 0, {1}), false,
         1, 10, 1, 0},
        {"1 - 10^-10 borrows", MakeRaw(1, 1, 0, {1}), MakeRaw(1, 1, -10, {1}), true, 1, -10,
         9999999999, 0},
        {"1 - 2 flips the sign", MakeRaw(1, 1, 0, {1}), MakeRaw(1, 1, 0, {2}), true, -1, 0, 1, 0},
        {"-1 + 2", MakeRaw(1, -1, 0, {1}), MakeRaw(1, 1, 0, {2}), false, 1, 0, 1, 0},
        {"-5 - 7", MakeRaw(1, -1, 0, {5}), MakeRaw(1, 1, 0, {7}), true, -1, 0, 12, 0},
        {"10^-10 - 1 leads with b", MakeRaw(1, 1, -10, {1}), MakeRaw(1, 1, 0, {1}), true, -1, -10,
         9999999999, 0},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        WorkLong r;
        if (c.subtract) {
            SubtractLong(r, c.a, c.b);
        } else {
            AddLong(r, c.a, c.b);
        }
        EXPECT_TRUE(IsCanonical(r));
        EXPECT_EQ(r.sign, c.sign);
        EXPECT_EQ(r.exponent, c.exponent);
        EXPECT_EQ(r.limbs[0], c.limb0);
        EXPECT_EQ(r.limbs[1], c.limb1);
        EXPECT_EQ(r.error, 0);
    }
}

TEST(AddLong, CancellationGivesTheCanonicalZeroAtTheLargerPrecision) {
    WorkLong x = MakeLong("-123456789.0123456789012345678901", 3);
    WorkLong y = MakeLong("123456789.0123456789012345678901", 5);
    WorkLong r;
    AddLong(r, x, y);
    EXPECT_EQ(r.sign, 0);
    EXPECT_EQ(r.exponent, ZERO_EXPONENT);
    EXPECT_EQ(r.precision, 5);
    EXPECT_EQ(r.error, 0);
    WorkLong s;
    SubtractLong(s, y, y);
    EXPECT_EQ(s.sign, 0);
    EXPECT_EQ(s.exponent, ZERO_EXPONENT);
}

TEST(AddLong, ZeroOperandGivesAWholeCopyOfTheOtherWithBothErrors) {
    WorkLong y = MakeLong("-42.5", 7);
    y.error = -3;
    for (bool zeroFirst : {true, false}) {
        SCOPED_TRACE(zeroFirst ? "0 + y" : "y + 0");
        WorkLong zero = MakeRaw(2, 0, ZERO_EXPONENT, {0}, -1);
        WorkLong r;
        if (zeroFirst) {
            AddLong(r, zero, y);
        } else {
            AddLong(r, y, zero);
        }
        EXPECT_EQ(r.precision, 7);
        EXPECT_EQ(r.error, -4);  // the zero's failure is passed on
        EXPECT_EQ(r.sign, -1);
        EXPECT_EQ(r.exponent, y.exponent);
        for (int k = 0; k <= LastLimb(y); ++k) EXPECT_EQ(r.limbs[k], y.limbs[k]) << k;
    }
    // A failed zero plus 5 is no valid 5 (the failure of Add(Div(1, 0), 5) must not vanish); the
    // difference passes it on as well.
    WorkLong failedZero = MakeRaw(5, 0, ZERO_EXPONENT, {0}, -1);
    WorkLong five = MakeLong("5", 5);
    WorkLong r;
    AddLong(r, failedZero, five);
    EXPECT_TRUE(HasExactValue(r, 5));
    EXPECT_EQ(r.error, -1);
    SubtractLong(r, five, failedZero);
    EXPECT_TRUE(HasExactValue(r, 5));
    EXPECT_EQ(r.error, -1);
    // Both zero: the zero of the larger precision with the sum of the operands' errors.
    WorkLong z4 = MakeRaw(4, 0, ZERO_EXPONENT, {0}, -1);
    WorkLong z9 = MakeRaw(9, 0, ZERO_EXPONENT, {0}, -1);
    AddLong(r, z4, z9);
    EXPECT_EQ(r.sign, 0);
    EXPECT_EQ(r.exponent, ZERO_EXPONENT);
    EXPECT_EQ(r.precision, 9);
    EXPECT_EQ(r.error, -2);
    WorkLong z4clean = MakeRaw(4, 0, ZERO_EXPONENT, {0});
    WorkLong z9clean = MakeRaw(9, 0, ZERO_EXPONENT, {0});
    AddLong(r, z4clean, z9clean);
    EXPECT_EQ(r.error, 0);
}

TEST(AddLong, SmallOperandIsCutAtItsOwnLastLivePosition) {
    // 1 + 10^-60: six limbs apart, beyond the four live limbs of a precision-1 operand.
    WorkLong one = MakeLong("1", 1);
    WorkLong tiny = MakeLong("1e-60", 1);
    WorkLong r;
    AddLong(r, one, tiny);
    EXPECT_TRUE(HasExactValue(r, 1));
    EXPECT_EQ(r.precision, 1);

    // With the small operand at precision 10 its limbs 0 .. 7 land on positions 6 .. 13; its
    // limbs 8 .. 13 fall beyond and are cut even though the result has room for them.
    WorkLong one1 = MakeLong("1", 1);
    const WorkLong longTiny = MakeLong("1.1111111111111111111111111111111111111111111111111111111111"
                                       "111111111111111111111111111111111111111111111111111111111"
                                       "1111111111111111111111111111111e-60",
                                       10);
    WorkLong tiny10 = longTiny;
    AddLong(r, one1, tiny10);
    EXPECT_EQ(r.precision, 10);
    mpq_class kept = 0;
    for (int k = 0; k <= 7; ++k) kept += mpq_class(longTiny.limbs[k]) * reference::Pow10(-60 - 10 * k);
    EXPECT_TRUE(HasExactValue(r, 1 + kept));
    EXPECT_NE(ExactValue(longTiny), kept);  // the cut removes something
}

TEST(AddLong, OperandsAreNormalisedInPlaceAndSubtractionLeavesBUntouched) {
    WorkLong a = MakeRaw(1, 1, 7, {5});
    WorkLong b = MakeRaw(1, 1, 3, {2});
    WorkLong r;
    AddLong(r, a, b);
    EXPECT_EQ(a.exponent, 0);
    EXPECT_EQ(a.limbs[0], 50000000);
    EXPECT_TRUE(IsCanonical(b));
    EXPECT_TRUE(HasExactValue(r, 50002000));

    WorkLong c = MakeRaw(1, 1, 3, {2});
    const WorkLong before = c;
    WorkLong d = MakeRaw(1, 1, 7, {5});
    SubtractLong(r, d, c);
    EXPECT_TRUE(HasExactValue(r, 49998000));
    EXPECT_EQ(c.exponent, before.exponent);
    EXPECT_EQ(c.limbs[0], before.limbs[0]);
    EXPECT_TRUE(IsCanonical(d));
}

TEST(AddLong, ResultMayBeAnOperand) {
    WorkLong a = MakeLong("9999999999.9999999999", 2);
    WorkLong b = MakeLong("0.0000000001", 1);
    AddLong(a, a, b);
    EXPECT_TRUE(HasExactValue(a, 10000000000));
    EXPECT_EQ(a.precision, 2);

    WorkLong c = MakeLong("5", 1);
    WorkLong d = MakeLong("7", 1);
    SubtractLong(d, c, d);
    EXPECT_TRUE(HasExactValue(d, -2));
    AddLong(c, c, c);
    EXPECT_TRUE(HasExactValue(c, 10));
}

TEST(AddLong, ErrorsOfBothOperandsAreAdded) {
    WorkLong a = MakeLong("1", 1);
    WorkLong b = MakeLong("2", 1);
    a.error = -1;
    b.error = -1;
    WorkLong r;
    AddLong(r, a, b);
    EXPECT_EQ(r.error, -2);
    EXPECT_TRUE(HasExactValue(r, 3));
    SubtractLong(r, a, b);
    EXPECT_EQ(r.error, -2);
}

TEST(AddLong, NegativeLimbInAnOperandIsReportedAndReachesTheResult) {
    WorkLong a = MakeRaw(1, 1, 1, {-3});
    WorkLong b = MakeLong("1", 1);
    WorkLong r;
    ::testing::internal::CaptureStdout();
    AddLong(r, a, b);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("-3.000000"), std::string::npos);
    EXPECT_LE(r.error, -1);
}

// Expected sum: the leading operand plus the other operand's limbs that reach no further than
// its own last live position counted from the leading limb, truncated to the result's p + 4 limbs.
mpq_class ExpectedSum(const WorkLong& a, const WorkLong& b) {
    if (a.sign == 0) return ExactValue(b);
    if (b.sign == 0) return ExactValue(a);
    const bool aLeads = a.exponent >= b.exponent;
    const WorkLong& lead = aLeads ? a : b;
    const WorkLong& other = aLeads ? b : a;
    const long shift = (static_cast<long>(lead.exponent) - other.exponent) / 10;
    mpq_class kept = 0;
    for (long k = 0; k + shift <= LastLimb(other); ++k)
        kept += mpq_class(other.limbs[k]) * reference::Pow10(other.exponent - 10 * k);
    if (other.sign < 0) kept = -kept;
    return ExactValue(lead) + kept;
}

TEST(AddLong, RandomSumsAndDifferencesMatchExactArithmetic) {
    reference::RandomLongs random(20240611);
    for (int n = 0; n < 3000; ++n) {
        const int32_t pa = static_cast<int32_t>(random.Between(1, n % 10 == 0 ? MAX_PRECISION : 12));
        const int32_t pb = static_cast<int32_t>(random.Between(1, n % 10 == 0 ? MAX_PRECISION : 12));
        WorkLong a = random.Next(pa, -200, 200);
        WorkLong b = random.Next(pb, -200, 200);
        if (n % 7 == 0) b.exponent = a.exponent;  // equal exponents: a leads
        if (n % 11 == 0) {                        // near-cancellation: b = -a with a changed tail
            b = a;
            b.sign = -a.sign;
            b.limbs[LastLimb(b)] = static_cast<double>(random.Between(0, 9999999999LL));
        }
        const bool subtract = n % 2 == 1;
        WorkLong negB = b;
        negB.sign = -b.sign;
        const int32_t p = MaxPrecision(a, b);
        const mpq_class exact = ExpectedSum(a, subtract ? negB : b);
        const WorkLong expected = MakeLong(exact, p);
        const mpq_class bValue = ExactValue(b);

        WorkLong r;
        if (subtract) {
            SubtractLong(r, a, b);
            ASSERT_EQ(ExactValue(b), bValue);
        } else {
            AddLong(r, a, b);
        }
        ASSERT_TRUE(IsCanonical(r)) << n;
        ASSERT_EQ(r.precision, p) << n;
        ASSERT_EQ(r.error, 0) << n;
        ASSERT_TRUE(HasExactValue(r, ExactValue(expected)))
            << n << (subtract ? " a - b" : " a + b") << "\n  a " << reference::Describe(a)
            << "\n  b " << reference::Describe(b);
    }
}

}  // namespace
}  // namespace ostrel2

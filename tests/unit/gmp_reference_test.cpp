// gmp_reference_test.cpp -- the test references themselves: exact values, builders, checks.
#include <gtest/gtest.h>

#include <cmath>

#include "support/gmp_reference.h"

namespace ostrel2::reference {
namespace {

TEST(GmpReference, ExactValueOfHandBuiltRecords) {
    // 12 * 10^10 + 34 + 5 * 10^-10 with the last live limb at 10^-30 (precision 1: limbs 0..4).
    WorkLong x = MakeRaw(1, -1, 10, {12, 34, 5, 0, 7});
    EXPECT_EQ(ExactValue(x), -ParseDecimal("120000000034.000000000500000000000000000007"));
    // Non-canonical pieces are valued as they stand: a limb of 10^10 and an odd exponent.
    EXPECT_EQ(ExactValue(MakeRaw(1, 1, 3, {1e10})), ParseDecimal("1e13"));
    // Sign 0 is zero whatever the limbs hold; limbs beyond the live ones do not count.
    EXPECT_EQ(ExactValue(MakeRaw(1, 0, 0, {5})), 0);
    WorkLong y = MakeRaw(1, 1, 0, {1});
    y.limbs[5] = 3;
    EXPECT_EQ(ExactValue(y), 1);
}

TEST(GmpReference, ParseDecimalForms) {
    EXPECT_EQ(ParseDecimal("-1.25e-2"), mpq_class(-1, 80));
    EXPECT_EQ(ParseDecimal("+.5"), mpq_class(1, 2));
    EXPECT_EQ(ParseDecimal("7E3"), 7000);
    EXPECT_EQ(ParseDecimal("1/3"), mpq_class(1, 3));
    EXPECT_EQ(ParseDecimal("2.5/-0.5"), -5);
}

TEST(GmpReference, MakeLongIsCanonicalAndTruncatesOrRounds) {
    struct Case {
        const char* text;
        int32_t precision;
        Rounding rounding;
        int32_t exponent;
        double limb0, limb1, limbLast;
    };
    const Case cases[] = {
        {"1", 1, Rounding::Truncate, 0, 1, 0, 0},
        {"10000000000", 1, Rounding::Truncate, 10, 1, 0, 0},
        {"9999999999.5", 1, Rounding::Truncate, 0, 9999999999, 5000000000, 0},
        {"0.0123", 2, Rounding::Truncate, -10, 123000000, 0, 0},
        {"2/3", 1, Rounding::Truncate, -10, 6666666666, 6666666666, 6666666666},
        {"2/3", 1, Rounding::Nearest, -10, 6666666666, 6666666666, 6666666667},
        // All nines rounding up carries into a new leading limb.
        {"9999999999.99999999999999999999999999999999999999999999999999", 1, Rounding::Nearest,
         10, 1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const WorkLong x = MakeLong(c.text, c.precision, c.rounding);
        EXPECT_TRUE(IsCanonical(x));
        EXPECT_EQ(x.exponent, c.exponent);
        EXPECT_EQ(x.limbs[0], c.limb0);
        EXPECT_EQ(x.limbs[1], c.limb1);
        EXPECT_EQ(x.limbs[c.precision + 3], c.limbLast);
        EXPECT_TRUE(std::isnan(x.limbs[c.precision + 4]));
        EXPECT_LE(ErrorInLastLimbUnits(x, ParseDecimal(c.text)),
                  c.rounding == Rounding::Nearest ? 0.5 : 1.0);
    }
    const WorkLong zero = MakeLong("0", 3);
    EXPECT_EQ(zero.sign, 0);
    EXPECT_EQ(zero.exponent, ZERO_EXPONENT);
    EXPECT_EQ(zero.precision, 3);
}

TEST(GmpReference, CanonicalCheckRejectsEachFault) {
    EXPECT_TRUE(IsCanonical(MakeRaw(1, 1, 0, {1})));
    EXPECT_FALSE(IsCanonical(MakeRaw(1, 1, 7, {5})));
    EXPECT_FALSE(IsCanonical(MakeRaw(1, 1, 0, {0, 5})));
    EXPECT_FALSE(IsCanonical(MakeRaw(1, 1, 0, {5, 1e10})));
    EXPECT_FALSE(IsCanonical(MakeRaw(1, 1, 0, {5, -1})));
    EXPECT_FALSE(IsCanonical(MakeRaw(1, 1, 0, {5, 0.5})));
    EXPECT_FALSE(IsCanonical(MakeRaw(1, 0, 0, {0})));
    EXPECT_FALSE(IsCanonical(MakeRaw(1, 2, 0, {1})));
}

TEST(GmpReference, RandomRecordsAreCanonicalAndInRange) {
    RandomLongs random(7);
    for (int n = 0; n < 200; ++n) {
        const int32_t p = static_cast<int32_t>(random.Between(1, MAX_PRECISION));
        const WorkLong x = random.Next(p, -95, 25);
        ASSERT_TRUE(IsCanonical(x));
        EXPECT_EQ(x.precision, p);
        EXPECT_GE(x.exponent, -90);
        EXPECT_LE(x.exponent, 20);
    }
}

TEST(GmpReference, BoundaryRoundTripAndScientificText) {
    const WorkLong x = MakeLong("-3.14159265358979323846", 2);
    const WorkLong back = FromBoundary(ToBoundary(x));
    EXPECT_EQ(ExactValue(back), ExactValue(x));
    EXPECT_EQ(ExactValue(ToBoundary(x)), ExactValue(x));
    EXPECT_EQ(ToScientific(ParseDecimal("-3.14159"), 3), "-3.14e+0");
    EXPECT_EQ(ToScientific(ParseDecimal("0.000999"), 2), "9.9e-4");
}

}  // namespace
}  // namespace ostrel2::reference

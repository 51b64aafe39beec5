// number_core_test.cpp -- construction of records and the rounding of plain doubles.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/long_number.h"

namespace ostrel2 {
namespace {

WorkLong Filled(double value) {
    WorkLong x;
    x.sign = 7;
    x.exponent = 7;
    x.precision = 7;
    x.error = 7;
    for (double& limb : x.limbs) limb = value;
    return x;
}

TEST(InitLong, ZeroSignReplacesTheExponentButKeepsTheFirstLimb) {
    WorkLong r = Filled(4.0);
    InitLong(r, 3, 0, 123, 7.0);
    EXPECT_EQ(r.sign, 0);
    EXPECT_EQ(r.exponent, ZERO_EXPONENT);
    EXPECT_EQ(r.precision, 3);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.limbs[0], 7.0);
}

TEST(InitLong, ClearsExactlyTheLiveLimbsAfterTheFirst) {
    WorkLong r = Filled(4.0);
    InitLong(r, 5, -1, 20, 3.0);
    EXPECT_EQ(r.sign, -1);
    EXPECT_EQ(r.exponent, 20);
    EXPECT_EQ(r.limbs[0], 3.0);
    for (int k = 1; k <= 8; ++k) EXPECT_EQ(r.limbs[k], 0.0) << "slot " << k;
    for (int k = 9; k < WORK_LIMBS; ++k) EXPECT_EQ(r.limbs[k], 4.0) << "slot " << k;
}

TEST(InitLong, ReachesSlot306AtTheLargestPrecision) {
    WorkLong r = Filled(4.0);
    InitLong(r, MAX_PRECISION, 1, 0, 1.0);
    for (int k = 1; k < WORK_LIMBS; ++k) ASSERT_EQ(r.limbs[k], 0.0) << "slot " << k;
}

TEST(MaxPrecision, LargerInEitherOrder) {
    WorkLong a;
    WorkLong b;
    a.precision = 7;
    b.precision = 12;
    EXPECT_EQ(MaxPrecision(a, b), 12);
    EXPECT_EQ(MaxPrecision(b, a), 12);
    b.precision = 7;
    EXPECT_EQ(MaxPrecision(a, b), 7);
}

struct RoundingCase {
    double x;
    double trunc;
    double away;
    double even;
};

TEST(DoubleRounding, Table) {
    const RoundingCase cases[] = {
        {2.7, 2, 3, 3},       {-2.7, -2, -3, -3},   {2.2, 2, 3, 2},     {-2.2, -2, -3, -2},
        {5.0, 5, 5, 5},       {2.5, 2, 3, 2},       {3.5, 3, 4, 4},     {-2.5, -2, -3, -2},
        {-3.5, -3, -4, -4},   {0.5, 0, 1, 0},       {1.5, 1, 2, 2},     {2.4999, 2, 3, 2},
        {2.5001, 2, 3, 3},    {7.0, 7, 7, 7},       {2.5000000000000004, 2, 3, 3},
        {9999999999.5, 9999999999, 1e10, 1e10},
    };
    for (const RoundingCase& c : cases) {
        EXPECT_EQ(TruncDouble(c.x), c.trunc) << c.x;
        EXPECT_EQ(AwayDouble(c.x), c.away) << c.x;
        EXPECT_EQ(RoundHalfEven(c.x), c.even) << c.x;
    }
}

TEST(DoubleRounding, NegativeResultsOfZeroKeepTheirSign) {
    EXPECT_TRUE(std::signbit(TruncDouble(-0.2)));
    EXPECT_TRUE(std::signbit(RoundHalfEven(-0.5)));
    EXPECT_FALSE(std::signbit(RoundHalfEven(0.5)));
}

TEST(TruncToInt32, SaturatesInsteadOfOverflowing) {
    EXPECT_EQ(TruncToInt32(-2.9), -2);
    EXPECT_EQ(TruncToInt32(2147483646.9), 2147483646);
    EXPECT_EQ(TruncToInt32(1e300), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(TruncToInt32(-1e300), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(TruncToInt32(std::numeric_limits<double>::infinity()),
              std::numeric_limits<int32_t>::max());
    EXPECT_EQ(TruncToInt32(std::nan("")), 0);
}

TEST(IterationDone, EndsWhenTheCorrectionIsBelowThePrecision) {
    // precision 3: the correction must lie more than 49 digits below the value.
    EXPECT_FALSE(IterationDone(3, 0, -40));
    EXPECT_TRUE(IterationDone(3, 0, -50));
    EXPECT_TRUE(IterationDone(3, -10, ZERO_EXPONENT));
    EXPECT_TRUE(IterationDone(303, -2000000000, ZERO_EXPONENT));
}

TEST(EstimateDouble, ReadsTheLeadingTwoLimbs) {
    WorkLong x;
    InitLong(x, 2, 1, -10, 1234567890.0);
    x.limbs[1] = 5000000000.0;
    EXPECT_DOUBLE_EQ(EstimateDouble(x), 0.12345678905);
}

}  // namespace
}  // namespace ostrel2

// long_number_test.cpp -- construction of records and the helpers every worker shares: the larger
// precision, the stop rule of the iterations, the double estimate, the saturating conversion.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

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

TEST(TruncToInt32, SaturatesInsteadOfOverflowing) {
    EXPECT_EQ(TruncToInt32(-2.9), -2);
    EXPECT_EQ(TruncToInt32(2147483646.9), 2147483646);
    EXPECT_EQ(TruncToInt32(1e300), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(TruncToInt32(-1e300), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(TruncToInt32(std::numeric_limits<double>::infinity()),
              std::numeric_limits<int32_t>::max());
    EXPECT_EQ(TruncToInt32(std::nan("")), 0);
}

// The loop ends once the value's exponent exceeds the correction's by more than (p + 1.9) x 10
// digits. At p = 3 that is 49: a gap of 49 goes on, 50 ends it; 45, off the limb grid, goes on
// (a rule of (p + 1) x 10 would end it, one of (p + 2) x 10 would go on at 50). The gap is
// formed in floating point, so exponents far apart do not wrap; a zero correction always ends.
TEST(IterationDone, EndsJustAboveTheThreshold) {
    struct Case {
        int32_t precision, value, correction;
        bool done;
    };
    const Case cases[] = {
        {3, 0, -45, false},          {3, 0, -49, false},
        {3, 0, -50, true},           {3, 7, -42, false},
        {3, 7, -43, true},           {1, 0, -29, false},
        {1, 0, -30, true},           {303, 0, -3049, false},
        {303, 0, -3050, true},       {5, -2000000000, -2000000069, false},
        {5, -2000000000, -2000000070, true},
        {5, 2000000000, -2000000000, true},
        {3, -10, ZERO_EXPONENT, true},
        {303, -2000000000, ZERO_EXPONENT, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IterationDone(c.precision, c.value, c.correction), c.done)
            << "precision " << c.precision << ", exponents " << c.value << " and " << c.correction;
    }
}

TEST(EstimateDouble, ReadsTheLeadingTwoLimbs) {
    WorkLong x;
    InitLong(x, 2, 1, -10, 1234567890.0);
    x.limbs[1] = 5000000000.0;
    EXPECT_DOUBLE_EQ(EstimateDouble(x), 0.12345678905);
}

// The branch-free splits of whole numbers against SplitLimb and SplitProductOfHalves, bit for bit,
// over their whole ranges: x up to 3 * 10^10 - 1 (the short division's estimates) and y up to
// 10^10 (a limb, or the scaled divisor), at the edges of the halves (multiples of 10^5 and their
// neighbours, where x * 10^-5 may round onto the next whole number), and at random.
TEST(SplitWholeProduct, SameBitsAsTheSplitThroughTheDivision) {
    std::vector<double> xs = {0.0, 1.0, 99999.0, 100000.0, 100001.0, 4999999999.0, 5000000000.0,
                              9999899999.0, 9999900000.0, 9999999999.0, 1e10, 10000000001.0,
                              19999999999.0, 20000000000.0, 29999900000.0, 29999999999.0};
    std::mt19937_64 rng(1729);
    std::uniform_int_distribution<int64_t> whole(0, 29999999999LL);
    std::uniform_int_distribution<int64_t> halves(0, 299999);
    for (int i = 0; i < 400; ++i) {
        xs.push_back(static_cast<double>(whole(rng)));
        const double edge = 1e5 * static_cast<double>(halves(rng));
        for (const double near : {edge - 1.0, edge, edge + 1.0})
            if (near >= 0.0) xs.push_back(near);
    }
    uint64_t compared = 0;
    for (const double x : xs) {
        const LimbHalves plain = SplitLimb(x);
        const LimbHalves whole = SplitWholeLimb(x);
        ASSERT_EQ(std::memcmp(&plain, &whole, sizeof plain), 0) << x;
        for (const double y : xs) {
            if (y > LIMB_BASE) continue;
            double high[2];
            double low[2];
            SplitProductOfHalves(plain, SplitLimb(y), high[0], low[0]);
            SplitWholeProduct(whole, SplitWholeLimb(y), high[1], low[1]);
            ASSERT_EQ(std::memcmp(&high[0], &high[1], sizeof(double)), 0) << x << " * " << y;
            ASSERT_EQ(std::memcmp(&low[0], &low[1], sizeof(double)), 0) << x << " * " << y;
            ++compared;
        }
    }
    RecordProperty("Products", std::to_string(compared));
}

// A whole limb is a whole number from +0 to 10^10 - 1; fractions, negatives (-0 too), 10^10 and
// beyond, and no number at all are not.
TEST(IsWholeLimb, OnlyCanonicalLimbs) {
    for (const double x : {0.0, 1.0, 9999999999.0, 123456789.0}) EXPECT_TRUE(IsWholeLimb(x)) << x;
    for (const double x : {-0.0, -1.0, 0.5, 9999999999.5, 1e10, 1e300,
                           std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity()})
        EXPECT_FALSE(IsWholeLimb(x)) << x;
}

// CopyLive copies the header and the live limbs and leaves every slot above them alone.
TEST(CopyLive, HeaderAndLiveLimbsOnly) {
    WorkLong from;
    InitLong(from, 3, -1, 20, 7.0);
    from.error = -2;
    for (int32_t k = 1; k <= LastLimb(from); ++k) from.limbs[k] = k;
    WorkLong to;
    for (double& limb : to.limbs) limb = 5.5;
    CopyLive(to, from);
    EXPECT_EQ(to.sign, -1);
    EXPECT_EQ(to.exponent, 20);
    EXPECT_EQ(to.precision, 3);
    EXPECT_EQ(to.error, -2);
    for (int32_t k = 0; k <= LastLimb(from); ++k) EXPECT_EQ(to.limbs[k], from.limbs[k]) << k;
    for (int32_t k = LastLimb(from) + 1; k < WORK_LIMBS; ++k) EXPECT_EQ(to.limbs[k], 5.5) << k;
}

}  // namespace
}  // namespace ostrel2

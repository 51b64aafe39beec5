// rounding_test.cpp -- the rounding of plain doubles to whole numbers: toward zero, away from
// zero, and to the nearest with ties to the even neighbour.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "core/long_number.h"

namespace ostrel2 {
namespace {

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

uint64_t Bits(double x) {
    uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

// The helpers round in place instead of calling the math library; every double must come out as
// the math library's rounding of it, bit for bit: signed zeros, halves, the edges of 2^52 and
// 2^53, values too large to hold a fraction, infinities, NaN, denormals, and random doubles of
// every magnitude.
TEST(DoubleRounding, SameBitsAsTheMathLibrary) {
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> xs = {0.0, 0.5, 1.0, 1.5, 2.5, 0.49999999999999994, 0.5000000000000001,
                              0.7, 0.3, 1e-310, 4503599627370495.5, 4503599627370496.0,
                              4503599627370497.0, 9007199254740991.0, 9007199254740992.0,
                              9999999999.5, 1e10, 99999.99999999999, 1e300, inf,
                              std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::denorm_min(),
                              std::numeric_limits<double>::max()};
    std::mt19937_64 rng(20240607);
    std::uniform_int_distribution<int> power(-60, 70);
    std::uniform_real_distribution<double> unit(1.0, 2.0);
    for (int i = 0; i < 20000; ++i) xs.push_back(std::ldexp(unit(rng), power(rng)));
    std::uniform_int_distribution<int64_t> whole(0, int64_t{1} << 54);
    for (int i = 0; i < 2000; ++i) {
        const double w = static_cast<double>(whole(rng));
        for (const double d : {0.0, 0.25, 0.5, 0.75}) xs.push_back(w + d);
    }
    const size_t count = xs.size();
    for (size_t i = 0; i < count; ++i) xs.push_back(-xs[i]);
    for (const double x : xs) {
        const double m = std::fabs(x);
        ASSERT_EQ(Bits(FloorDouble(x)), Bits(std::floor(x))) << x;
        ASSERT_EQ(Bits(FloorDoubleSelect(x)), Bits(std::floor(x))) << x;
        ASSERT_EQ(Bits(TruncDouble(x)), Bits(std::trunc(x))) << x;
        ASSERT_EQ(Bits(AwayDouble(x)), Bits(std::copysign(std::ceil(m), x))) << x;
        ASSERT_EQ(Bits(RoundHalfEven(x)), Bits(std::nearbyint(x))) << x;
    }
}

}  // namespace
}  // namespace ostrel2

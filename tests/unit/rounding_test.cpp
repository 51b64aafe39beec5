// rounding_test.cpp -- the rounding of plain doubles to whole numbers: toward zero, away from
// zero, and to the nearest with ties to the even neighbour.
#include <gtest/gtest.h>

#include <cmath>

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

}  // namespace
}  // namespace ostrel2

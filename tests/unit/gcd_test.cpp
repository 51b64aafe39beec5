// gcd_test.cpp -- LCMLong: divisor and cofactors against GMP, rounding of the arguments, the zero
// argument, the step limit and arguments of exponents beyond 214,748,364.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "arith/gcd.h"
#include "core/diagnostics.h"
#include "core/long_number.h"
#include "support/gmp_reference.h"

namespace ostrel2 {
namespace {

using reference::ExactValue;
using reference::HasExactValue;
using reference::IsCanonical;
using reference::MakeLong;
using reference::MakeRaw;
using reference::ParseDecimal;
using reference::RandomLongs;

bool SameBytes(const WorkLong& x, const WorkLong& y) {
    return std::memcmp(&x, &y, sizeof(WorkLong)) == 0;
}

void ExpectOneWithError(const WorkLong& g, int32_t precision, int32_t error) {
    EXPECT_EQ(g.sign, 1);
    EXPECT_EQ(g.exponent, 0);
    EXPECT_EQ(g.limbs[0], 1.0);
    EXPECT_EQ(g.precision, precision);
    EXPECT_EQ(g.error, error);
}

TEST(LCMLong, DivisorAndCofactorsTable) {
    struct Case {
        const char* a;
        const char* b;
        const char* g;
        const char* cofactorA;
        const char* cofactorB;
    };
    const Case cases[] = {
        {"12", "18", "6", "2", "3"},
        {"7", "7", "7", "1", "1"},
        {"-12", "18", "6", "-2", "3"},
        {"12", "-18", "6", "2", "-3"},
        {"18", "12", "6", "3", "2"},
        {"12.4", "18", "6", "2", "3"},      // 12.4 rounds to 12; 12.4 / 6 rounds to 2
        {"17", "5", "1", "17", "5"},
        {"1e30", "1e20", "1e20", "1e10", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + ", " + c.b);
        WorkLong a = MakeLong(c.a, 3);
        WorkLong b = MakeLong(c.b, 3);
        WorkLong g;
        LCMLong(g, a, b);
        EXPECT_EQ(g.error, 0);
        EXPECT_TRUE(IsCanonical(g));
        EXPECT_TRUE(HasExactValue(g, ParseDecimal(c.g)));
        EXPECT_TRUE(HasExactValue(a, ParseDecimal(c.cofactorA)));
        EXPECT_TRUE(HasExactValue(b, ParseDecimal(c.cofactorB)));
    }
}

// Exponents of 300,000,000: the step limit is formed beyond 32 bits. The values have that many
// digits, so the answer is checked by its fields.
TEST(LCMLong, WholeNumbersOfLargeExponentStillSucceed) {
    WorkLong a = MakeRaw(3, 1, 300000000, {12});
    WorkLong b = MakeRaw(3, -1, 300000000, {18});
    WorkLong g;
    LCMLong(g, a, b);
    EXPECT_EQ(g.error, 0);
    EXPECT_EQ(g.sign, 1);
    EXPECT_EQ(g.exponent, 300000000);
    EXPECT_EQ(g.limbs[0], 6.0);
    for (int k = 1; k <= LastLimb(g); ++k) EXPECT_EQ(g.limbs[k], 0.0) << "limb " << k;
    EXPECT_TRUE(HasExactValue(a, 2));
    EXPECT_TRUE(HasExactValue(b, -3));
}

TEST(LCMLong, ArgumentRoundingToZeroGivesOneWithErrorMinusTwo) {
    for (const char* zero : {"0", "0.4", "-0.49"}) {
        for (bool first : {true, false}) {
            SCOPED_TRACE(std::string(zero) + (first ? " first" : " second"));
            WorkLong a = MakeLong(first ? zero : "5", 4);
            WorkLong b = MakeLong(first ? "5" : zero, 6);
            const WorkLong a0 = a;
            const WorkLong b0 = b;
            WorkLong g;
            LCMLong(g, a, b);
            ExpectOneWithError(g, 4, -2);
            EXPECT_TRUE(SameBytes(a, a0));
            EXPECT_TRUE(SameBytes(b, b0));
        }
    }
}

TEST(LCMLong, RandomWholeArgumentsMatchExactDivisorAndCofactors) {
    RandomLongs random(2718);
    auto digits = [&](long n) {
        mpz_class v = 1 + random.Between(0, 8);
        for (long k = 1; k < n; ++k) v = v * 10 + random.Between(0, 9);
        return v;
    };
    for (int i = 0; i < 60; ++i) {
        const int32_t p = static_cast<int32_t>(random.Between(1, 40));
        const long room = 10L * (p + 1);
        const long gDigits = random.Between(1, room / 2);
        const mpz_class common = digits(gDigits);
        mpz_class x = common * digits(random.Between(1, room - gDigits));
        mpz_class y = common * digits(random.Between(1, room - gDigits));
        if (random.Between(0, 1)) x = -x;
        if (random.Between(0, 1)) y = -y;
        mpz_class want;
        mpz_gcd(want.get_mpz_t(), x.get_mpz_t(), y.get_mpz_t());
        WorkLong a = MakeLong(mpq_class(x), p);
        WorkLong b = MakeLong(mpq_class(y), p);
        WorkLong g;
        LCMLong(g, a, b);
        SCOPED_TRACE("gcd(" + x.get_str() + ", " + y.get_str() + ") at precision " +
                     std::to_string(p));
        EXPECT_EQ(g.error, 0);
        EXPECT_TRUE(HasExactValue(g, mpq_class(want)));
        EXPECT_TRUE(HasExactValue(a, mpq_class(x / want)));
        EXPECT_TRUE(HasExactValue(b, mpq_class(y / want)));
    }
}

// An argument's failure stays a failure: in the divisor, whichever of the two numbers it comes
// from (the second is the divisor itself when the first remainder vanishes), in the cofactors,
// and in the answers to a zero argument and a failed search.
TEST(LCMLong, ArgumentErrorsReachTheAnswer) {
    for (int32_t which = 0; which < 2; ++which) {
        SCOPED_TRACE(which == 0 ? "first argument failed" : "second argument failed");
        WorkLong a = MakeLong("12", 3);
        WorkLong b = MakeLong("6", 3);
        (which == 0 ? a : b).error = -1;
        WorkLong g;
        LCMLong(g, a, b);
        EXPECT_TRUE(HasExactValue(g, 6));
        EXPECT_LE(g.error, -1);
        EXPECT_TRUE(HasExactValue(a, 2));
        EXPECT_TRUE(HasExactValue(b, 1));
        EXPECT_LE((which == 0 ? a : b).error, -1);
    }
    WorkLong failedZero = MakeRaw(4, 0, ZERO_EXPONENT, {0}, -1);
    WorkLong five = MakeLong("5", 4);
    WorkLong g;
    LCMLong(g, failedZero, five);
    ExpectOneWithError(g, 4, -3);
    // A search that fails (here on a quotient beyond the precision) adds its own -1.
    WorkLong a = MakeRaw(1, 1, 20000, {3, 1234567891, 1, 2, 3}, -1);
    WorkLong b = MakeLong("7", 1);
    testing::internal::CaptureStdout();
    LCMLong(g, a, b);
    testing::internal::GetCapturedStdout();
    ExpectOneWithError(g, 1, -2);
}

// Consecutive Fibonacci numbers take the most remainder steps for their size. The largest pair
// whose digits fill the record, also scaled by a power of ten far beyond the precision, must end
// within the step limit: these are the longest searches whose remainders stay exact.
TEST(LCMLong, LongestExactSearchesEndWithinTheLimit) {
    const struct {
        int32_t precision;
        long scale;  // both numbers multiplied by 10^scale
    } cases[] = {{1, 0}, {10, 0}, {10, 3000}, {40, 0}, {40, 20000}};
    for (const auto& c : cases) {
        const mpz_class top = mpz_class(1) * reference::Pow10(10L * (c.precision + 4)).get_num();
        mpz_class f0 = 0;
        mpz_class f1 = 1;
        while (f0 + f1 < top) {
            const mpz_class next = f0 + f1;
            f0 = f1;
            f1 = next;
        }
        const mpq_class scale = reference::Pow10(c.scale);
        WorkLong a = MakeLong(mpq_class(f1) * scale, c.precision);
        WorkLong b = MakeLong(mpq_class(f0) * scale, c.precision);
        ASSERT_TRUE(HasExactValue(a, mpq_class(f1) * scale));
        WorkLong g;
        LCMLong(g, a, b);
        SCOPED_TRACE(testing::Message() << "precision " << c.precision << " scale " << c.scale);
        EXPECT_EQ(g.error, 0);
        EXPECT_TRUE(HasExactValue(g, scale));
        EXPECT_TRUE(HasExactValue(a, mpq_class(f1)));
        EXPECT_TRUE(HasExactValue(b, mpq_class(f0)));
    }
}

// The plain step limit, 10 x max(smaller exponent as the arguments arrive, 10), at its boundary:
// consecutive Fibonacci numbers F(n + 1), F(n) of 21 and 22 digits, handed in off canonical form
// with exponent 10 (a first limb above 10^10), so that the limit stays 100. Their exact search
// takes one remainder per step: F(101), F(100) ends within the limit, F(102), F(101) exhausts it
// and gives 1 with error -100, the arguments untouched.
TEST(LCMLong, StepLimitAtItsBoundary) {
    const char* fibonacci[] = {"354224848179261915075", "573147844013817084101",
                               "927372692193078999176"};  // F(100), F(101), F(102)
    auto record = [](const char* digits) {
        const mpz_class v(digits);
        const mpz_class base("10000000000");
        return MakeRaw(3, 1, 10, {mpz_class(v / base).get_d(), mpz_class(v % base).get_d()});
    };
    for (int n = 0; n < 2; ++n) {
        SCOPED_TRACE(n == 0 ? "F(101), F(100)" : "F(102), F(101)");
        WorkLong a = record(fibonacci[n + 1]);
        WorkLong b = record(fibonacci[n]);
        ASSERT_GT(a.limbs[0], 1e10);
        ASSERT_TRUE(HasExactValue(a, mpq_class(mpz_class(fibonacci[n + 1]))));
        const WorkLong a0 = a;
        const WorkLong b0 = b;
        WorkLong g;
        LCMLong(g, a, b);
        if (n == 0) {
            EXPECT_EQ(g.error, 0);
            EXPECT_TRUE(HasExactValue(g, 1));
            EXPECT_TRUE(HasExactValue(a, mpq_class(mpz_class(fibonacci[1]))));
        } else {
            ExpectOneWithError(g, 3, -100);
            EXPECT_TRUE(SameBytes(a, a0));
            EXPECT_TRUE(SameBytes(b, b0));
        }
    }
}

// A remainder whose quotient has more integer digits than the division delivers to the unit
// cannot be exact; the search fails there (1 with error -1 and the remainder's message) instead
// of going on with a wrong remainder, whatever the exponents -- also where 10 x exponent would
// overflow 32 bits -- and leaves the arguments alone.
TEST(LCMLong, QuotientBeyondThePrecisionEndsTheSearchWithAFailure) {
    for (int32_t exponent : {20000, 100000000, 1000000000}) {
        SCOPED_TRACE(exponent);
        WorkLong a = MakeRaw(1, 1, exponent, {3, 1234567891, 1, 2, 3});
        WorkLong b = MakeRaw(1, 1, 300000000, {7});
        if (exponent == 20000) b = MakeLong("7", 1);
        const WorkLong a0 = a;
        const WorkLong b0 = b;
        WorkLong g;
        testing::internal::CaptureStdout();
        LCMLong(g, a, b);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), MessageText(Message::RemainderInexact));
        ExpectOneWithError(g, 1, -1);
        EXPECT_TRUE(SameBytes(a, a0));
        EXPECT_TRUE(SameBytes(b, b0));
    }
}

// The faults this replaced: gcd(3 x 10^200, 9) came out as 9 with a cofactor that was not whole,
// gcd(12 x 10^90, 18) as 18. At precision 5 the quotient's integer part may have 68 digits: up
// to there the gcd is exact, beyond it the search fails. It also fails where a remainder's
// product n y would be cut to the product's 9 limbs: gcd(10^100, y) with y of 90 digits came out
// as 32,800 (the true divisor is 800). A 90-digit y whose last 22 digits are 0 leaves products
// that fit, and the gcd is exact.
TEST(LCMLong, RemainderBoundInTheSearch) {
    static const char kDivisor90[] =
        "987654321098765432109876543210987654321098765432109876543210987654321098765432109876543200";
    static const char kDivisor90Zeros[] =
        "987654321098765432109876543210987654321098765432109876543210987654320000000000000000000000";
    struct Case {
        const char* a;
        const char* b;
        const char* g;  // nullptr: the search fails
    };
    const Case cases[] = {
        {"3e200", "9", nullptr},  {"12e90", "18", nullptr}, {"12e69", "18", nullptr},
        {"12e68", "18", "6"},     {"3e67", "9", "3"},       {"18", "12e68", "6"},
        {"1e100", kDivisor90, nullptr},   {"1e100", kDivisor90Zeros, "8e22"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("gcd(") + c.a + ", " + c.b + ")");
        WorkLong a = MakeLong(c.a, 5);
        WorkLong b = MakeLong(c.b, 5);
        const mpq_class ea = ExactValue(a);
        const mpq_class eb = ExactValue(b);
        WorkLong g;
        testing::internal::CaptureStdout();
        LCMLong(g, a, b);
        const std::string out = testing::internal::GetCapturedStdout();
        if (c.g == nullptr) {
            EXPECT_EQ(out, MessageText(Message::RemainderInexact));
            ExpectOneWithError(g, 5, -1);
            EXPECT_EQ(ExactValue(a), ea);
            EXPECT_EQ(ExactValue(b), eb);
        } else {
            EXPECT_EQ(out, "");
            EXPECT_EQ(g.error, 0);
            EXPECT_TRUE(HasExactValue(g, ParseDecimal(c.g)));
            EXPECT_TRUE(HasExactValue(a, ea / ParseDecimal(c.g)));
            EXPECT_TRUE(HasExactValue(b, eb / ParseDecimal(c.g)));
        }
    }
}

}  // namespace
}  // namespace ostrel2

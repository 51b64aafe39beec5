// integer_part_test.cpp -- AbsLong, FixLong, RoundLong and ModLong: hand tables, exact
// differential checks against GMP, the remainder by zero and remainders of near-whole quotients.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "arith/integer_part.h"
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
using reference::Pow10;
using reference::RandomLongs;

mpz_class Truncated(const mpq_class& v) {
    mpz_class t;
    mpz_tdiv_q(t.get_mpz_t(), v.get_num_mpz_t(), v.get_den_mpz_t());
    return t;
}

// Nearest whole number, exact halves away from zero.
mpz_class RoundedAway(const mpq_class& v) {
    const mpq_class half(1, 2);
    return v >= 0 ? Truncated(v + half) : mpz_class(-Truncated(-v + half));
}

TEST(AbsLong, SignBecomesPositiveAndNothingElseChanges) {
    WorkLong r;
    AbsLong(r, MakeLong("-3", 2));
    EXPECT_TRUE(HasExactValue(r, 3));
    AbsLong(r, MakeLong("3", 2));
    EXPECT_TRUE(HasExactValue(r, 3));

    WorkLong zero = MakeLong("0", 4);
    zero.error = -1;
    AbsLong(r, zero);
    EXPECT_EQ(r.sign, 1);
    EXPECT_EQ(r.exponent, ZERO_EXPONENT);
    EXPECT_EQ(r.error, -1);
    for (int k = 0; k <= LastLimb(r); ++k) EXPECT_EQ(r.limbs[k], 0.0);
}

TEST(FixLongRoundLong, HandTables) {
    struct Case {
        const char* x;
        int32_t precision;
        const char* fixed;
        const char* rounded;
    };
    const Case cases[] = {
        {"2.7", 2, "2", "3"},
        {"-2.7", 2, "-2", "-3"},
        {"0.3", 2, "0", "0"},
        {"-0.3", 2, "0", "0"},
        {"2.5", 2, "2", "3"},
        {"-2.5", 2, "-2", "-3"},
        {"2.4999999999", 2, "2", "2"},
        {"0.5", 2, "0", "1"},
        {"0.4999999999", 2, "0", "0"},
        {"9999999999.5", 2, "9999999999", "10000000000"},
        {"10000000000.5", 2, "10000000000", "10000000001"},
        {"1e-15", 2, "0", "0"},
        {"-1e-15", 2, "0", "0"},
        {"0", 2, "0", "0"},
        {"1e100", 1, "1e100", "1e100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        const WorkLong x = MakeLong(c.x, c.precision);
        WorkLong f;
        FixLong(f, x);
        EXPECT_TRUE(IsCanonical(f));
        EXPECT_TRUE(HasExactValue(f, ParseDecimal(c.fixed)));
        EXPECT_EQ(f.precision, c.precision);
        WorkLong r;
        RoundLong(r, x);
        EXPECT_TRUE(IsCanonical(r));
        EXPECT_TRUE(HasExactValue(r, ParseDecimal(c.rounded)));
        EXPECT_EQ(r.precision, c.precision);
    }
}

TEST(FixLongRoundLong, CarryIntoANewLeadingLimbGivesTheCanonicalPowerOfTen) {
    WorkLong r;
    RoundLong(r, MakeLong("9999999999.5", 2));
    EXPECT_EQ(r.exponent, 10);
    EXPECT_EQ(r.limbs[0], 1.0);
    EXPECT_EQ(r.limbs[1], 0.0);

    WorkLong f;
    FixLong(f, MakeRaw(2, 1, 10, {1, 0, 5000000000}));
    EXPECT_EQ(f.exponent, 10);
    EXPECT_EQ(f.limbs[0], 1.0);
    for (int k = 1; k <= LastLimb(f); ++k) EXPECT_EQ(f.limbs[k], 0.0);
}

TEST(FixLongRoundLong, OperandErrorIsKept) {
    // Also where the answer is the operand unchanged or the canonical zero at once.
    for (const char* value : {"2.5", "0.3", "0", "1e100"}) {
        SCOPED_TRACE(value);
        WorkLong x = MakeLong(value, 3);
        x.error = -2;
        WorkLong r;
        FixLong(r, x);
        EXPECT_EQ(r.error, -2);
        RoundLong(r, x);
        EXPECT_EQ(r.error, -2);
    }
}

TEST(FixLongRoundLong, RandomRecordsMatchExactTruncationAndRounding) {
    RandomLongs random(99);
    for (int i = 0; i < 400; ++i) {
        const int32_t p = static_cast<int32_t>(random.Between(1, 40));
        const WorkLong x = random.Next(p, -60, 10 * (p + 5));
        const mpq_class v = ExactValue(x);
        WorkLong f;
        FixLong(f, x);
        EXPECT_TRUE(HasExactValue(f, Truncated(v))) << reference::Describe(x);
        WorkLong r;
        RoundLong(r, x);
        EXPECT_TRUE(HasExactValue(r, RoundedAway(v))) << reference::Describe(x);
        EXPECT_TRUE(IsCanonical(r));
    }
}

TEST(ModLong, SignTable) {
    struct Case {
        const char* x;
        const char* y;
        const char* remainder;
    };
    const Case cases[] = {
        {"7", "3", "1"},   {"-7", "3", "-1"}, {"7", "-3", "1"}, {"-7", "-3", "-1"},
        {"2.5", "1", "0.5"}, {"1", "3", "1"}, {"0", "5", "0"},  {"6", "3", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.x) + " mod " + c.y);
        WorkLong r;
        ModLong(r, MakeLong(c.x, 3), MakeLong(c.y, 3));
        EXPECT_TRUE(IsCanonical(r));
        EXPECT_TRUE(HasExactValue(r, ParseDecimal(c.remainder)));
        EXPECT_EQ(r.error, 0);
    }
}

TEST(ModLong, SmallerDividendKeepsItsOwnPrecision) {
    WorkLong r;
    ModLong(r, MakeLong("1", 3), MakeLong("3", 1));
    EXPECT_EQ(r.precision, 3);
}

TEST(ModLong, RemainderByZeroIsReportedAsAFailure) {
    for (const char* x : {"7", "0"}) {
        WorkLong r;
        testing::internal::CaptureStdout();
        ModLong(r, MakeLong(x, 4), MakeLong("0", 4));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), MessageText(Message::DivisionByZero));
        EXPECT_EQ(r.sign, 0) << x;
        EXPECT_EQ(r.error, -1) << x;
    }
}

// An operand's failure reaches the remainder along every road, printing nothing more: through
// the whole chain, a quotient that truncates to zero, a remainder that comes out zero, and a
// zero that stands for a failure as dividend or divisor.
TEST(ModLong, OperandErrorReachesTheRemainder) {
    struct Case {
        const char* x;
        int32_t xError;
        const char* y;
        int32_t yError;
        const char* remainder;
    };
    const Case cases[] = {
        {"7", -1, "3", 0, "1"},  {"7", 0, "3", -1, "1"}, {"1", 0, "3", -1, "1"},
        {"6", -1, "3", 0, "0"},  {"6", 0, "3", -1, "0"}, {"0", -1, "3", 0, "0"},
        {"0", 0, "3", -1, "0"},  {"7", 0, "0", -1, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.x) + " (error " + std::to_string(c.xError) + ") mod " + c.y +
                     " (error " + std::to_string(c.yError) + ")");
        WorkLong x = MakeLong(c.x, 3);
        WorkLong y = MakeLong(c.y, 3);
        x.error = c.xError;
        y.error = c.yError;
        WorkLong r;
        testing::internal::CaptureStdout();
        ModLong(r, x, y);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_TRUE(HasExactValue(r, ParseDecimal(c.remainder)));
        EXPECT_LE(r.error, -1);
    }
}

// The most integer-part digits of the quotient for which the remainder is exact, derived in
// docs/truncation-bounds.md from the reciprocal division's error bound: min(20P + 19, 10Q + 18),
// Q = max(P, 5).
long QuotientDigitBound(int32_t p) {
    const long q = p < 5 ? 5 : p;
    return std::min(20L * p + 19, 10 * q + 18);
}

// The remainder and the digits of the truncated quotient, exactly, from the records' values.
struct ExactRemainder {
    mpq_class remainder;
    long quotientDigits;
};

ExactRemainder ExactTruncatedRemainder(const WorkLong& x, const WorkLong& y) {
    const mpq_class ex = ExactValue(x);
    const mpq_class ey = ExactValue(y);
    const mpz_class n = Truncated(ex / ey);
    const long digits = n == 0 ? 0 : static_cast<long>(mpz_class(abs(n)).get_str().size());
    return {ex - mpq_class(n) * ey, digits};
}

// ModLong(x, y) at precision p against the exact remainder: for a quotient of at most
// QuotientDigitBound(p) integer digits the exact remainder with error 0 and no message, beyond
// it the remainder message and the zero with error -1.
void ExpectExactRemainderOrFailure(const WorkLong& x, const WorkLong& y, int32_t p) {
    const ExactRemainder exact = ExactTruncatedRemainder(x, y);
    const long bound = QuotientDigitBound(p);
    SCOPED_TRACE("precision " + std::to_string(p) + ", quotient of " +
                 std::to_string(exact.quotientDigits) + " digits, bound " + std::to_string(bound));
    WorkLong r;
    testing::internal::CaptureStdout();
    ModLong(r, x, y);
    const std::string out = testing::internal::GetCapturedStdout();
    if (exact.quotientDigits <= bound) {
        EXPECT_EQ(out, "");
        EXPECT_EQ(r.error, 0);
        EXPECT_TRUE(HasExactValue(r, exact.remainder));
    } else {
        EXPECT_EQ(out, MessageText(Message::RemainderInexact));
        EXPECT_EQ(r.error, -1);
        EXPECT_EQ(r.sign, 0);
        EXPECT_EQ(r.exponent, ZERO_EXPONENT);
    }
}

// Both sides of the bound, against GMP: whole x = n * y + r with a quotient n of D digits, D at
// the bound and one below (exact remainder, error 0, no message) and one and two above (the
// remainder message, zero with error -1). Divisors have as many digits as leave x within the
// record.
TEST(ModLong, RemainderIsExactUpToTheQuotientDigitBoundAndFailsBeyond) {
    RandomLongs random(8128);
    auto digitsOf = [&](long count, int lowestLead) {
        mpz_class v = lowestLead + random.Between(0, 9 - lowestLead);
        for (long k = 1; k < count; ++k) v = v * 10 + random.Between(0, 9);
        return v;
    };
    for (int32_t p : {1, 2, 3, 4, 5, 6, 12, 30, 303}) {
        const long bound = QuotientDigitBound(p);
        for (long d = bound - 1; d <= bound + 2; ++d) {
            for (int i = 0; i < (p == 303 ? 1 : 4); ++i) {
                const long room = 10L * (p + GUARD_LIMBS + 1) - d;
                const long yDigits = random.Between(1, std::max(1L, std::min(12L, room)));
                mpz_class y = digitsOf(yDigits, 1);
                mpz_class n = digitsOf(d, 2);
                mpz_class x = n * y + mpz_class(random.Between(0, 1000000)) % y;
                if (random.Between(0, 1)) x = -x;
                if (random.Between(0, 1)) y = -y;
                ExpectExactRemainderOrFailure(MakeLong(mpq_class(x), p),
                                              MakeLong(mpq_class(y), p), p);
            }
        }
    }
}

// The faults this replaced, with 10^k mod 7: at precision 5, 10^100 gave 99999999999999999993 and
// 10^85 gave 99991; at precision 30, 10^400 gave 0. Each now fails; the quotients at the bound
// give the true remainder.
TEST(ModLong, PowersOfTenModSeven) {
    const struct {
        int32_t precision;
        long power;
    } cases[] = {{5, 100}, {5, 85}, {30, 400}, {5, 69}, {5, 68}, {1, 40}, {1, 39}, {30, 318}};
    for (const auto& c : cases) {
        SCOPED_TRACE("10^" + std::to_string(c.power) + " mod 7 at precision " +
                     std::to_string(c.precision));
        ExpectExactRemainderOrFailure(MakeLong(Pow10(c.power), c.precision),
                                      MakeLong("7", c.precision), c.precision);
    }
}

// Whole operands whose quotient is accurate to well under one unit: the remainder is exact.
TEST(ModLong, RandomWholeOperandsMatchTruncatedRemainder) {
    RandomLongs random(4242);
    for (int i = 0; i < 200; ++i) {
        const int32_t p = static_cast<int32_t>(random.Between(1, 60));
        const long digits = 10L * (p + 1);
        mpz_class x = 0;
        mpz_class y = 0;
        const long xDigits = random.Between(1, digits);
        const long yDigits = random.Between(1, xDigits);
        for (long k = 0; k < xDigits; ++k) x = x * 10 + random.Between(0, 9);
        for (long k = 0; k < yDigits; ++k) y = y * 10 + random.Between(0, 9);
        if (y == 0) y = 1 + random.Between(0, 8);
        if (random.Between(0, 1)) x = -x;
        if (random.Between(0, 1)) y = -y;
        mpz_class want;
        mpz_tdiv_r(want.get_mpz_t(), x.get_mpz_t(), y.get_mpz_t());
        WorkLong r;
        ModLong(r, MakeLong(mpq_class(x), p), MakeLong(mpq_class(y), p));
        EXPECT_TRUE(HasExactValue(r, mpq_class(want))) << x << " mod " << y << " at " << p;
        EXPECT_TRUE(IsCanonical(r));
    }
}

// x = n * y - 1 (and + 1) with y filling the record: the quotient n - 1 / y sits closer to the
// whole n than the reciprocal division resolves, so it may come out as n itself. The remainder
// must still be y - 1 (or 1), never a value of the wrong size or sign.
TEST(ModLong, NearWholeQuotientsGiveTheRemainderInRange) {
    RandomLongs random(31337);
    for (int32_t p : {1, 2, 5, 12, 20, 60, 124, 303}) {
        for (int i = 0; i < 6; ++i) {
            const int32_t yp = p < 5 ? 5 : p;
            mpz_class y = 0;
            for (long k = 0; k < 10L * (yp + 3) - 1; ++k) y = y * 10 + random.Between(0, 9);
            y += Pow10(10L * (yp + 3) - 1).get_num();
            const long n = random.Between(2, 9);
            const int delta = i % 2 ? 1 : -1;
            const mpz_class x = n * y + delta;
            mpz_class want;
            mpz_tdiv_r(want.get_mpz_t(), x.get_mpz_t(), y.get_mpz_t());
            WorkLong r;
            ModLong(r, MakeLong(mpq_class(x), yp), MakeLong(mpq_class(y), yp));
            EXPECT_TRUE(HasExactValue(r, mpq_class(want))) << "precision " << yp << " n " << n
                                                           << " delta " << delta;
        }
    }
}

}  // namespace
}  // namespace ostrel2

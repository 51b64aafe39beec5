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

// ModLong(x, y) against the exact remainder of the records' values: where the remainder is to
// be exact, that remainder with error 0 and no message; otherwise the remainder message and the
// zero with error -1.
void ExpectRemainderOrFailure(const WorkLong& x, const WorkLong& y, bool exactExpected) {
    const ExactRemainder exact = ExactTruncatedRemainder(x, y);
    WorkLong r;
    testing::internal::CaptureStdout();
    ModLong(r, x, y);
    const std::string out = testing::internal::GetCapturedStdout();
    if (exactExpected) {
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

// ModLong(x, y) at precision p against the exact remainder: for a quotient of at most
// QuotientDigitBound(p) integer digits the exact remainder with error 0 and no message, beyond
// it the remainder message and the zero with error -1.
void ExpectExactRemainderOrFailure(const WorkLong& x, const WorkLong& y, int32_t p) {
    const ExactRemainder exact = ExactTruncatedRemainder(x, y);
    const long bound = QuotientDigitBound(p);
    SCOPED_TRACE("precision " + std::to_string(p) + ", quotient of " +
                 std::to_string(exact.quotientDigits) + " digits, bound " + std::to_string(bound));
    ExpectRemainderOrFailure(x, y, exact.quotientDigits <= bound);
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

// Decimal digits of a whole number's magnitude.
long DigitCount(const mpz_class& v) { return static_cast<long>(mpz_class(abs(v)).get_str().size()); }

// Limbs a non-zero whole number spans in a canonical record: from its leading limb (exponent a
// multiple of 10) down to its lowest non-zero limb.
long LimbsSpanned(const mpz_class& v) {
    long zeros = 0;
    for (mpz_class t = abs(v); t % 10 == 0; t /= 10) ++zeros;
    return (DigitCount(v) - 1) / 10 - zeros / 10 + 1;
}

// Within the quotient bound the remainder is x - n y with one transform product and one
// subtraction at precision Q = max(P, 5). The product keeps Q + 4 limbs where both operands'
// leading limbs have at least six digits (docs/transform-multiplication.md). Whole x = n y + r
// with such n and y, y of 36 digits or more, r between y / 4 and 3y / 4 (so the quotient
// truncates to n itself), and n y spanning Q + 4 limbs (exact) or Q + 5 (the product cut: a
// failure, where the lowest limbs of the remainder came out wrong). Units digits of n and y odd
// and not 5, so n y ends in a non-zero digit.
TEST(ModLong, ProductOfQuotientAndDivisorWithinTheProductsLimbsAndOneLimbMore) {
    RandomLongs random(1009);
    auto digitsOf = [&](long count) {
        mpz_class v = 1 + random.Between(0, 8);
        for (long k = 1; k < count - 1; ++k) v = v * 10 + random.Between(0, 9);
        const int endings[] = {1, 3, 7, 9};
        return mpz_class(v * 10 + endings[random.Between(0, 3)]);
    };
    auto longLeadingLimb = [](long digits) { return (digits - 1) % 10 >= 5; };
    const struct {
        int32_t precision;   // of x
        int32_t yPrecision;  // of y
    } cases[] = {{5, 5}, {5, 1}, {6, 6}, {12, 3}, {30, 30}, {303, 303}};
    for (const auto& c : cases) {
        const int32_t q = std::max(c.precision, 5);
        const long limbs = q + GUARD_LIMBS + 1;
        for (bool beyond : {false, true}) {
            for (int i = 0; i < (c.precision == 303 ? 1 : 3); ++i) {
                mpz_class n;
                mpz_class y;
                mpz_class x;
                do {
                    // y leaves n at least six digits.
                    const long most = std::min(10L * (c.yPrecision + GUARD_LIMBS + 1), 10 * limbs - 6);
                    long yDigits = 0;
                    while (!longLeadingLimb(yDigits)) yDigits = random.Between(36, most);
                    // n y has nDigits + yDigits - 1 or nDigits + yDigits digits: at most 10 limbs'
                    // worth, or more than that.
                    long nDigits = beyond ? 10 * limbs - yDigits + 2 : 10 * limbs - yDigits;
                    while (!longLeadingLimb(nDigits)) nDigits += beyond ? 1 : -1;
                    y = digitsOf(yDigits);
                    n = digitsOf(nDigits);
                    const mpz_class quarter = y / 4;
                    mpz_class r = quarter + 1;
                    for (int k = 0; k < 3; ++k) r = r * 1000003 % (2 * quarter) + quarter + 1;
                    x = n * y + r;
                } while (DigitCount(x) != DigitCount(n * y));
                SCOPED_TRACE(testing::Message() << "precision " << c.precision << "/" << c.yPrecision
                                                << ", n of " << DigitCount(n) << " digits, y of "
                                                << DigitCount(y) << ", n y of " << DigitCount(n * y));
                ASSERT_LE(DigitCount(n), QuotientDigitBound(c.precision) - 1);
                ASSERT_EQ(LimbsSpanned(n * y), beyond ? limbs + 1 : limbs);
                const WorkLong xr = MakeLong(mpq_class(x), c.precision);
                const WorkLong yr = MakeLong(mpq_class(y), c.yPrecision);
                ASSERT_EQ(Truncated(ExactValue(xr) / ExactValue(yr)), n);
                ExpectRemainderOrFailure(xr, yr, !beyond);
            }
        }
    }
}

// Products at the edge of the product's limbs at precision 5 (Q + 4 = 9 limbs, 90 digits), where
// the digit counts of n and y alone do not tell. 2^128 times 5^128 is the single limb 10^128, and
// 9 times (10^90 - 1) / 9 is ninety nines: exact. 9 times (10^90 + 8) / 9 is 10^90 + 8, one limb
// more; 10^100 over a 90-digit y has an 11-digit quotient and a 101-digit product: failures. A
// 13-digit n (leading limb 1,234) times a 78-digit y spans the 9 limbs, but with a leading limb
// below 10^5 the transform keeps one limb less (docs/transform-multiplication.md): a failure, where
// a 20-digit n times a 70-digit y of the same span is exact.
TEST(ModLong, ProductAtTheEdgeOfItsLimbsIsExactOrAFailure) {
    const mpz_class nines = Pow10(90).get_num() - 1;
    const mpz_class y90("98765432109876543210987654321098765432109876543210987654321098765432109876543"
                        "2109876543200");
    const mpz_class y78("7314159265358979323846264338327950288419716939937510582097494459230781640628"
                        "62");
    const mpz_class y70("7314159265358979323846264338327950288419716939937510582097494459230781");
    mpz_class five128 = 1;
    for (int k = 0; k < 128; ++k) five128 *= 5;
    const struct {
        mpq_class x;
        mpz_class y;
        bool exact;
    } cases[] = {
        {Pow10(128) + 12345 * Pow10(40), five128, true},
        {Pow10(128), five128, true},
        {mpq_class(nines), nines / 9, true},
        {Pow10(90) + 7 * Pow10(10), (nines + 9) / 9, false},
        {Pow10(100), y90, false},
        {Pow10(89), y90, true},
        {mpq_class(mpz_class(1234567890123) * y78 + y78 / 2 + 12345), y78, false},
        {mpq_class(mpz_class("98765432109876543211") * y70 + y70 / 2 + 12345), y70, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(reference::ToScientific(c.x) + " mod " +
                     reference::ToScientific(mpq_class(c.y)));
        const WorkLong x = MakeLong(c.x, 5);
        const WorkLong y = MakeLong(mpq_class(c.y), 5);
        ASSERT_EQ(ExactValue(x), c.x);
        ASSERT_EQ(ExactValue(y), mpq_class(c.y));
        ExpectRemainderOrFailure(x, y, c.exact);
    }
}

// The subtraction x - n y keeps the limbs of the operand with the smaller exponent only as far
// as that operand's own Q + 4 limbs reach counted from the leading operand's first limb. x =
// 10^(10(Q + 4)) is one limb above n y = x - s, which fills Q + 4 limbs: with a non-zero last limb
// (s below 10^10) that limb is dropped and the remainder fails; with s a multiple of 10^10 the
// remainder s is exact. The same holds with the quotient one unit short, when the repair by one
// y makes the subtraction instead.
TEST(ModLong, SubtractionThatWouldDropALimbFails) {
    RandomLongs random(65537);
    for (int32_t p : {5, 30, 303}) {
        const long e = 10L * (p + GUARD_LIMBS + 1);
        const mpq_class x = Pow10(e);
        for (long n : {1L, 3L, 7L}) {
            for (bool lastLimbZero : {false, true}) {
                const mpz_class unit = lastLimbZero ? Pow10(10).get_num() : mpz_class(1);
                const mpz_class top = x.get_num() / unit;
                mpz_class s = top % n + n * random.Between(1, 99999999);
                while (s % 5 == 0 || s % 2 == 0) s += n;  // y ends in a digit other than 0, 5
                const mpz_class y = (top - s) / n * unit;
                SCOPED_TRACE(testing::Message() << "precision " << p << ", n " << n
                                                << (lastLimbZero ? ", last limb 0" : ""));
                const WorkLong yr = MakeLong(mpq_class(y), p);
                ASSERT_EQ(ExactValue(yr), mpq_class(y));
                ExpectRemainderOrFailure(MakeLong(x, p), yr, lastLimbZero);
            }
        }
    }
}

// The repair by one y when the quotient comes out one unit short, at precision 1 (quotients of
// 39 digits, the bound): |r| + |y| reaches a new leading limb, so the subtraction (|r| + |y|) - |y|
// keeps y's limbs only up to y's own last but one. With y's last limb 0 that loses nothing and the
// remainder is exact; with a non-zero last limb it is a failure (it came out wrong by that limb).
TEST(ModLong, RepairThatWouldDropTheDivisorsLastLimbFails) {
    const struct {
        const char* x;
        const char* y;
        bool exact;
    } cases[] = {
        {"4203738373921096902892244105065571206279623973192e40",
         "99377022133989496210112839661719233439380000000000", true},
        {"9331915556651782930928900235295547804185981200454e40",
         "-99467007990398761800832031729326032737380000000000", true},
        {"-9050647949779985441964510983854260701147861374561e40",
         "97488894899200654472244419103399612083056205081924", false},
        {"-8454643092196329828687183240095611838886599692874e40",
         "98823812259375036039802170720068098530857965298679", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.x) + " mod " + c.y);
        const WorkLong x = MakeLong(c.x, 1);
        const WorkLong y = MakeLong(c.y, 1);
        ASSERT_EQ(ExactValue(x), ParseDecimal(c.x));
        ASSERT_EQ(ExactValue(y), ParseDecimal(c.y));
        ExpectRemainderOrFailure(x, y, c.exact);
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

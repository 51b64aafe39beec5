// inverse_trigonometric_test.cpp -- AtnLong, AsnLong and AcsLong against MPFR at the exact
// argument, their starts (tiny, huge, near pi/2), convergence of small arguments, the domain
// failures byte for byte, and CutDigits against exact truncation.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "arith/addition.h"
#include "core/diagnostics.h"
#include "core/long_number.h"
#include "support/condition_reference.h"
#include "support/gmp_reference.h"
#include "support/mpfr_reference.h"
#include "support/trigonometric_reference.h"
#include "support/unary_accuracy.h"
#include "transcendental/inverse_trigonometric.h"
#include "transcendental/pi.h"
#include "transcendental/trigonometric.h"

namespace ostrel2 {
namespace {

using reference::Accuracy;
using reference::AccuracyLog;
using reference::Describe;
using reference::ExactValue;
using reference::MakeLong;
using reference::Pow10;
using reference::RandomLongs;
using reference::RealFunction;
using reference::TrueValue;
using reference::Accurate;
using reference::RandomNumber;
using reference::SameRecord;
constexpr double kUnits = reference::kTrigonometricUnits;

WorkLong HalfPi(int32_t p) {
    WorkLong half;
    return HalfPiLong(half, p);
}

// Calls a worker that takes its argument by non-const reference on a copy, and checks that no
// message is printed.
template <typename Worker>
WorkLong Quietly(Worker worker, const WorkLong& x) {
    WorkLong copy = x;
    WorkLong r;
    testing::internal::CaptureStdout();
    worker(r, copy);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << Describe(x);
    return r;
}

TEST(CutDigits, ClearsTheLastDigitPositionsExactly) {
    RandomLongs random(5401);
    for (int32_t p : {1, 5, 30}) {
        const int32_t live = 10 * (p + 3);
        const int32_t kCuts[] = {0, 1, 9, 10, 11, 37, live / 2, live - 1, live, live + 3,
                                 live + 9, live + 10, live + 25};
        for (int32_t n : kCuts) {
            for (int i = 0; i < 3; ++i) {
                const WorkLong v = random.Next(p, -200, 200);
                const mpq_class unit = Pow10(static_cast<long>(v.exponent) - live + n);
                const mpz_class whole(ExactValue(v) / unit);  // truncated toward zero
                WorkLong r;
                CutDigits(r, v, n);
                SCOPED_TRACE("n = " + std::to_string(n) + ", v = " + Describe(v));
                EXPECT_TRUE(reference::IsCanonical(r));
                EXPECT_TRUE(reference::HasExactValue(r, mpq_class(whole) * unit));
                EXPECT_EQ(r.precision, p);
                EXPECT_EQ(r.error, 0);
            }
        }
    }
}

// For pi/2, whose exponent is 0, cutting 10 (p + 3) - k digits keeps k decimals.
TEST(CutDigits, KeepsTheDecimalsOfHalfPi) {
    const WorkLong half = HalfPi(6);
    for (int32_t k : {0, 1, 10, 23, 88}) {
        WorkLong r;
        CutDigits(r, half, 10 * (6 + 3) - k);
        const mpq_class unit = Pow10(-k);
        const mpz_class whole(ExactValue(half) / unit);
        EXPECT_TRUE(reference::HasExactValue(r, mpq_class(whole) * unit)) << k;
    }
    WorkLong r;
    CutDigits(r, half, 0);
    EXPECT_TRUE(SameRecord(r, half));
}

// Arguments from 10^-45 to 10^45 (ordinary, near-pi/2 and huge starts) of either sign.
TEST(AtnLong, RandomArgumentsMatchMpfr) {
    RandomLongs random(5402);
    AccuracyLog log("random");
    const reference::PrecisionRun kRuns[] = {{1, 30},  {2, 12},  {5, 30},
                                             {30, 10}, {100, 3}, {303, 1}};
    for (const auto& run : kRuns) {
        const int32_t p = run.precision;
        for (int i = 0; i < run.count; ++i) {
            const int32_t e = static_cast<int32_t>(random.Between(-45, 45));
            const WorkLong x = RandomNumber(random, p, e, random.Between(0, 1) == 1);
            const WorkLong r = Quietly(AtnLong, x);
            EXPECT_EQ(r.error, 0);
            Accuracy accuracy;
            EXPECT_TRUE(Accurate(reference::kArctangent, x, r, p, &accuracy));
            log.Add("atan", p, accuracy);
        }
    }
}

// Small arguments converge by the stop test (no message, error 0) to every promised limb: the
// tangent of a small iterate is sin / cos there, good to the limbs the stop test reads.
TEST(AtnLong, SmallArgumentsConverge) {
    for (int32_t p : {1, 5, 30, 100}) {
        for (const char* text : {"1e-4", "3.7e-5", "1e-7", "1e-15", "2.5e-21", "1e-40"}) {
            for (bool negative : {false, true}) {
                WorkLong x = MakeLong(text, p);
                if (negative) x.sign = -1;
                const WorkLong r = Quietly(AtnLong, x);
                SCOPED_TRACE(std::string(negative ? "-" : "") + text + " at precision " +
                             std::to_string(p));
                EXPECT_EQ(r.error, 0);
                EXPECT_TRUE(Accurate(reference::kArctangent, x, r, p));
                const TrueValue truth(reference::kArctangent, x, p);
                EXPECT_TRUE(reference::FirstLimbsCorrect(r, truth.get(), p));
            }
        }
    }
}

// Below 10^(-10 (p + 3)) the argument is its own arctangent and comes back as it is; from that
// bound up the iteration runs, and gives the same digits.
TEST(AtnLong, TinyArgumentIsItsOwnArctangent) {
    for (int32_t p : {1, 5, 30}) {
        const int32_t bound = -10 * (p + 3);
        for (int32_t sign : {1, -1}) {
            WorkLong tiny = MakeLong(mpq_class(7, 3) * Pow10(bound - 1), p);
            tiny.sign = sign;
            const WorkLong r = Quietly(AtnLong, tiny);
            EXPECT_TRUE(SameRecord(r, tiny)) << "precision " << p;

            WorkLong edge = MakeLong(mpq_class(7, 3) * Pow10(bound + 9), p);
            edge.sign = sign;
            ASSERT_EQ(edge.exponent, bound);
            const WorkLong s = Quietly(AtnLong, edge);
            EXPECT_EQ(s.error, 0);
            EXPECT_TRUE(Accurate(reference::kArctangent, edge, s, p));
        }
    }
}

// Huge arguments: from 10^(10 (p + 4)) the result is +-pi/2 at once; at an exponent of
// 10 (p + 3) the start cut from pi/2 clears no digit, is pi/2 itself, and is the answer (its
// tangent would be the failure of an exact zero cosine); below it the iteration runs.
TEST(AtnLong, HugeArgumentsStartFromHalfPi) {
    for (int32_t p : {5, 12}) {
        const WorkLong half = HalfPi(p);
        for (int32_t sign : {1, -1}) {
            WorkLong expected = half;
            expected.sign = sign;
            for (int32_t e : {10 * (p + 4), 10 * (p + 4) + 1000, 10 * (p + 3)}) {
                WorkLong x = MakeLong(mpq_class(31, 7) * Pow10(e), p);
                x.sign = sign;
                const WorkLong r = Quietly(AtnLong, x);
                EXPECT_TRUE(SameRecord(r, expected)) << "exponent " << x.exponent;
            }
            for (int32_t e : {10 * (p + 3) - 10, 5 * (p + 3) + 10, 5 * (p + 3) + 1}) {
                WorkLong x = MakeLong(mpq_class(31, 7) * Pow10(e), p);
                x.sign = sign;
                const WorkLong r = Quietly(AtnLong, x);
                EXPECT_EQ(r.error, 0);
                EXPECT_TRUE(Accurate(reference::kArctangent, x, r, p)) << "10^" << e;
            }
        }
    }
}

// A start cut from pi/2 after |x|'s exponent in decimals may lie up to ten digits further from
// pi/2 than 1/|x| (a leading limb of up to ten digits); from there the iteration would overshoot
// pi/2 and run away. Such a start is cut after |x|'s decimal order plus one instead.
TEST(AtnLong, HugeArgumentsWithFullLeadingLimbsConverge) {
    for (int32_t p : {3, 5, 20}) {
        for (const char* lead : {"9.87654321", "3.3", "2.000000001", "9999999999"}) {
            for (int32_t e : {5 * (p + 3) + 10, 10 * (p + 3) - 10}) {
                const WorkLong x = MakeLong(reference::ParseDecimal(lead) * Pow10(e + 9), p);
                const WorkLong r = Quietly(AtnLong, x);
                EXPECT_EQ(r.error, 0);
                EXPECT_TRUE(Accurate(reference::kArctangent, x, r, p)) << lead << "e" << e + 9;
            }
        }
    }
}

// From precision 59 on, ordinary arguments reach beyond the double range (1.8 * 10^308): the
// decimal order of the near-pi/2 start is then read off the record.
TEST(AtnLong, ArgumentsBeyondTheDoubleRange) {
    const int32_t p = 60;
    for (const char* text : {"3e400", "1e308", "2e308", "7.5e324"}) {
        const WorkLong x = MakeLong(text, p);
        const WorkLong r = Quietly(AtnLong, x);
        EXPECT_EQ(r.error, 0);
        EXPECT_TRUE(Accurate(reference::kArctangent, x, r, p)) << text;
    }
}

// atan 1 = pi/4; at 10^10 the first step lands above 1.570796326 and the start is rebuilt from
// pi/2 cut after ten decimals.
TEST(AtnLong, KnownValues) {
    for (int32_t p : {1, 3, 5, 40}) {
        for (const char* text : {"1", "1e10", "1.3e9", "123456789012345", "-0.5"}) {
            const WorkLong x = MakeLong(text, p);
            const WorkLong r = Quietly(AtnLong, x);
            EXPECT_EQ(r.error, 0);
            EXPECT_TRUE(Accurate(reference::kArctangent, x, r, p)) << text << " at " << p;
        }
    }
}

TEST(AtnLong, OfTangentGivesTheAngleBack) {
    RandomLongs random(5403);
    for (int32_t p : {1, 5, 30}) {
        for (int i = 0; i < 5; ++i) {
            // Angles in (-pi/2, pi/2), magnitudes from 10^-8 to 1.5.
            WorkLong x = RandomNumber(random, p, static_cast<int32_t>(random.Between(-8, -1)),
                                      i % 2 == 1);
            x = MakeLong(ExactValue(x) * mpq_class(15, 1), p);
            WorkLong t;
            TanLong(t, x);
            WorkLong back;
            AtnLong(back, t);
            // The tangent's own allowance carried back through atan' = 1 / (1 + t^2), and the
            // arctangent's.
            const TrueValue tangent(reference::kTangent, x, p);
            const TrueValue arctangent(reference::kArctangent, t, p);
            const mpq_class slope = 1 / (1 + ExactValue(t) * ExactValue(t));
            const mpq_class backAllowance =
                reference::TrigonometricAllowance(reference::kArctangent, t, arctangent, p);
            const mpq_class allowed = kUnits * (tangent.Allowance() * slope + backAllowance);
            EXPECT_LE(abs(ExactValue(back) - ExactValue(x)), allowed) << Describe(x);
        }
    }
}

TEST(InverseTrigonometric, FlaggedArgumentGivesZeroWithError) {
    WorkLong x = MakeLong("0.25", 4);
    x.error = -1;
    WorkLong expected = MakeLong("0", 4);
    expected.error = -1;
    EXPECT_TRUE(SameRecord(Quietly(AtnLong, x), expected));
    EXPECT_TRUE(SameRecord(Quietly(AsnLong, x), expected));
    EXPECT_TRUE(SameRecord(Quietly(AcsLong, x), expected));
}

TEST(InverseTrigonometric, SpecialArguments) {
    for (int32_t p : {1, 7}) {
        const WorkLong zero = MakeLong("0", p);
        const WorkLong half = HalfPi(p);
        WorkLong pi;
        int32_t iterations = 0;
        PaiLong(pi, p, iterations);
        WorkLong minusHalf = half;
        minusHalf.sign = -1;
        EXPECT_TRUE(SameRecord(Quietly(AtnLong, zero), zero));
        EXPECT_TRUE(SameRecord(Quietly(AsnLong, zero), zero));
        EXPECT_TRUE(SameRecord(Quietly(AcsLong, zero), half));
        EXPECT_TRUE(SameRecord(Quietly(AsnLong, MakeLong("1", p)), half));
        EXPECT_TRUE(SameRecord(Quietly(AsnLong, MakeLong("-1", p)), minusHalf));
        EXPECT_TRUE(SameRecord(Quietly(AcsLong, MakeLong("1", p)), zero));
        EXPECT_TRUE(SameRecord(Quietly(AcsLong, MakeLong("-1", p)), pi));
    }
}

// |x| > 1 at x's precision, also by one unit of its last limb: the message and zero with error
// -1; one unit below 1 is inside the domain.
TEST(InverseTrigonometric, ArgumentsBeyondOneAreRefused) {
    for (int32_t p : {1, 9}) {
        const mpq_class lastUnit = Pow10(-10L * (p + 3));
        const mpq_class kBeyond[] = {mpq_class(3, 2), 1 + lastUnit, mpq_class(1000000)};
        for (const mpq_class& beyond : kBeyond) {
            for (int32_t sign : {1, -1}) {
                WorkLong x = MakeLong(beyond, p);
                x.sign = sign;
                WorkLong zero = MakeLong("0", p);
                zero.error = -1;
                WorkLong copy = x;
                WorkLong r;
                testing::internal::CaptureStdout();
                AsnLong(r, copy);
                EXPECT_EQ(testing::internal::GetCapturedStdout(), MessageText(Message::AsinDomain));
                EXPECT_TRUE(SameRecord(r, zero));
                copy = x;
                testing::internal::CaptureStdout();
                AcsLong(r, copy);
                EXPECT_EQ(testing::internal::GetCapturedStdout(), MessageText(Message::AcosDomain));
                EXPECT_TRUE(SameRecord(r, zero));
            }
        }
        for (int32_t sign : {1, -1}) {
            WorkLong x = MakeLong(1 - lastUnit, p);
            x.sign = sign;
            const WorkLong s = Quietly(AsnLong, x);
            const WorkLong c = Quietly(AcsLong, x);
            EXPECT_EQ(s.error, 0);
            EXPECT_EQ(c.error, 0);
            EXPECT_TRUE(Accurate(reference::kArcsine, x, s, p));
            EXPECT_TRUE(Accurate(reference::kArccosine, x, c, p));
        }
    }
}

TEST(InverseTrigonometric, RandomArgumentsMatchMpfr) {
    RandomLongs random(5404);
    AccuracyLog log("random");
    const reference::PrecisionRun kRuns[] = {{1, 20}, {5, 20}, {30, 8}, {100, 2}, {303, 1}};
    for (const auto& run : kRuns) {
        const int32_t p = run.precision;
        for (int i = 0; i < run.count; ++i) {
            // Magnitudes from 10^-12 to 1, either sign.
            const int32_t e = static_cast<int32_t>(random.Between(-12, -1));
            const WorkLong x = RandomNumber(random, p, e, random.Between(0, 1) == 1);
            const WorkLong s = Quietly(AsnLong, x);
            const WorkLong c = Quietly(AcsLong, x);
            EXPECT_EQ(s.error, 0);
            EXPECT_EQ(c.error, 0);
            Accuracy accuracy;
            EXPECT_TRUE(Accurate(reference::kArcsine, x, s, p, &accuracy));
            log.Add("asin", p, accuracy);
            EXPECT_TRUE(Accurate(reference::kArccosine, x, c, p, &accuracy));
            log.Add("acos", p, accuracy);
        }
    }
}

// asin and acos of arguments whose square falls below the exponents a product may carry (|x|
// below 10^-1,000,000,000): asin x = x and acos x = pi/2 - x to every limb, on both sides of that
// limit (10^-1,000,000,000 squares to 10^-2,000,000,000, which a product still carries; the
// square of 9.99... x 10^-1,000,000,001 does not), out to the bottom of the record's exponents.
TEST(InverseTrigonometric, ArgumentsWhoseSquareNoProductCarries) {
    const struct {
        int32_t exponent;
        double limb0;
    } kCases[] = {{-1000000000, 1},          {-1000000000, 9999999999}, {-1000000010, 9999999999},
                  {-1000000010, 1},          {-1500000000, 3},          {-2147000000, 1}};
    for (const auto& c : kCases) {
        for (int32_t p : {1, 5, 30}) {
            for (int32_t sign : {1, -1}) {
                const WorkLong x = reference::MakeRaw(p, sign, c.exponent, {c.limb0, 1234567890});
                SCOPED_TRACE(Describe(x) + " at precision " + std::to_string(p));
                reference::CheckUnaryAgainstMpfr(AsnLong, mpfr_asin, x, p);
                reference::CheckUnaryAgainstMpfr(AcsLong, mpfr_acos, x, p);
                EXPECT_EQ(Quietly(AsnLong, x).precision, p < 5 ? 5 : p);
                EXPECT_EQ(Quietly(AcsLong, x).precision, p < 5 ? 5 : p);
            }
        }
    }
}

TEST(InverseTrigonometric, ResultMayBeTheArgument) {
    const WorkLong x = MakeLong("-0.625", 8);
    WorkLong expected;
    WorkLong copy = x;
    AtnLong(expected, copy);
    WorkLong r = x;
    AtnLong(r, r);
    EXPECT_TRUE(SameRecord(r, expected));
    copy = x;
    AsnLong(expected, copy);
    r = x;
    AsnLong(r, r);
    EXPECT_TRUE(SameRecord(r, expected));
    copy = x;
    AcsLong(expected, copy);
    r = x;
    AcsLong(r, r);
    EXPECT_TRUE(SameRecord(r, expected));
}

}  // namespace
}  // namespace ostrel2

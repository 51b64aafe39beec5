// integer_power_test.cpp -- PowerLong and RootLong against MPFR and exact values, their edges of
// range, their failures byte for byte, and what they do to their argument.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "core/diagnostics.h"
#include "core/long_number.h"
#include "powers/integer_power.h"
#include "support/gmp_reference.h"
#include "support/message_text.h"
#include "support/mpfr_reference.h"

namespace ostrel2 {
namespace {

using reference::CorrectDigits;
using reference::ExactValue;
using reference::FirstLimbsCorrect;
using reference::HasExactValue;
using reference::IsCanonical;
using reference::MakeLong;
using reference::MakeRaw;
using reference::Mpfr;
using reference::RandomLongs;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// x^n from MPFR at ReferenceBits(p); x is taken at 64 bits more, since the power multiplies the
// relative error of its conversion by |n| (up to 10^12 < 2^40 here).
void ReferencePower(Mpfr& out, const WorkLong& x, double n) {
    Mpfr base(mpfr_get_prec(out.get()) + 64);
    reference::SetFromRecord(base.get(), x);
    mpfr_pow_si(out.get(), base.get(), static_cast<long>(n), MPFR_RNDN);
}

// The n-th root from MPFR at ReferenceBits(p); the root divides the conversion's error by n.
void ReferenceRoot(Mpfr& out, const WorkLong& x, double n) {
    Mpfr base(mpfr_get_prec(out.get()));
    reference::SetFromRecord(base.get(), x);
    mpfr_rootn_ui(out.get(), base.get(), static_cast<unsigned long>(n), MPFR_RNDN);
}

// The record of a whole number or a short decimal, for the exact cases.
WorkLong Long(const char* text, int32_t p) { return MakeLong(text, p); }

// The message a negative leading limb of -3 prints in normalisation, followed by the worker's.
std::string NegativeLimbMessages(Message worker) {
    return reference::FormattedMessage(Message::NegativeLimb, -3.0) + MessageText(worker);
}

// A call that must answer with the zero of x's precision (6 in every case), its error, and
// exactly the given text on standard output.
struct ZeroAnswer {
    const char* name;
    WorkLong x;
    double n;
    std::string message;
    int32_t error;
};

void ExpectZeroAnswers(WorkLong& (*worker)(WorkLong&, WorkLong&, double),
                       const std::vector<ZeroAnswer>& cases) {
    for (const ZeroAnswer& c : cases) {
        WorkLong x = c.x;
        WorkLong y;
        testing::internal::CaptureStdout();
        worker(y, x, c.n);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.message) << c.name;
        EXPECT_EQ(y.sign, 0) << c.name;
        EXPECT_EQ(y.exponent, ZERO_EXPONENT) << c.name;
        EXPECT_EQ(y.precision, 6) << c.name;
        EXPECT_EQ(y.error, c.error) << c.name;
    }
}

// The worker called with the argument as its result record gives what it gives into a record
// of its own.
void ExpectSameWhenWrittenOverTheArgument(WorkLong& (*worker)(WorkLong&, WorkLong&, double),
                                          WorkLong x, double n) {
    WorkLong copy = x;
    WorkLong y;
    worker(y, copy, n);
    worker(x, x, n);
    EXPECT_EQ(x.sign, y.sign) << n;
    EXPECT_EQ(x.exponent, y.exponent) << n;
    EXPECT_EQ(x.precision, y.precision) << n;
    EXPECT_EQ(x.error, y.error) << n;
    for (int k = 0; k <= LastLimb(y); ++k) EXPECT_EQ(x.limbs[k], y.limbs[k]) << n << " " << k;
}

// ---------------------------------------------------------------------------------------------
// PowerLong

// Random bases and exponents at the precisions 1, 5, 30, 100 and 303 (few at 303): small
// exponents on bases of any size, and exponents up to 10^5 on bases between 1 and 10^10. Each
// power must have its first p limbs correct (reference::FirstLimbsCorrect: less than one unit of
// limb p - 1 from the true power) and beyond that keep the accuracy of binary powering: every
// product is cut a few units below limb P + 2 of its own leading limb (P = max(p, 5)), and each
// squaring doubles the relative error it inherits, so the power keeps 10 (P + 2) digits less
// about log10(4 |n|).
TEST(PowerLong, RandomPowersMatchMpfr) {
    RandomLongs random(5202);
    const reference::PrecisionRun kRuns[] = {{1, 50}, {5, 50}, {30, 30}, {100, 12}, {303, 3}};
    for (const auto& run : kRuns) {
        const int32_t p = run.precision;
        reference::AccuracyTally tally;
        for (int i = 0; i < run.count; ++i) {
            const bool large = i % 3 == 2;
            WorkLong x = large ? random.Next(p, 0, 0, true) : random.Next(p, -60, 60, true);
            double n = static_cast<double>(large ? random.Between(100, 100000)
                                                 : random.Between(0, 40));
            if (random.Between(0, 1) == 1) n = -n;
            const int32_t kept = std::fabs(n) <= 1.0 && n != -1.0 ? p : (p < 5 ? 5 : p);
            Mpfr truth(reference::ReferenceBits(kept));
            ReferencePower(truth, x, n);
            WorkLong y;
            PowerLong(y, x, n);
            const double digits = 10.0 * (kept + 2) - std::log10(4.0 * std::fabs(n) + 1.0) - 1.0;
            EXPECT_TRUE(tally.Check(y, truth.get(), p, kept, digits))
                << "precision " << p << ", n = " << n << ", x = " << reference::Describe(x);
        }
        tally.Record(p);
    }
}

// Exact powers: a product of whole numbers is exact while it fits the record, and 2^-2 is the
// exact reciprocal of 4. The precision is x's for n = 0 and 1, a product's 5 limbs at least
// otherwise.
TEST(PowerLong, ExactPowers) {
    const struct {
        const char* x;
        double n;
        const char* power;
    } kCases[] = {{"2", 10, "1024"},        {"-2", 3, "-8"},          {"2", -2, "0.25"},
                  {"-3", 0, "1"},           {"7.5", 1, "7.5"},        {"1e10", 3, "1e30"},
                  {"-1", 999999999999.0, "-1"}, {"1", 1e12, "1"},     {"-2", -1, "-0.5"},
                  {"9999999999", 2, "99999999980000000001"}, {"0", 0, "1"}};
    for (const auto& c : kCases) {
        for (int32_t p : {1, 30}) {
            WorkLong x = Long(c.x, p);
            WorkLong y;
            testing::internal::CaptureStdout();
            PowerLong(y, x, c.n);
            EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
            SCOPED_TRACE(std::string(c.x) + "^" + std::to_string(c.n) + " at precision " +
                         std::to_string(p));
            EXPECT_TRUE(IsCanonical(y));
            EXPECT_TRUE(HasExactValue(y, reference::ParseDecimal(c.power)));
            EXPECT_EQ(y.error, 0);
            EXPECT_EQ(y.precision, c.n == 0 || c.n == 1 || p >= 5 ? p : 5);
        }
    }
}

// 10^12 is the largest exponent accepted, either sign; one more is refused with its message and
// zero. (1 + 10^-20)^(10^12) = 1 + 10^-8 + ... tests that all 40 bits are powered.
TEST(PowerLong, ExponentRangeEndsAtTenToTheTwelve) {
    for (double n : {1e12, -1e12}) {
        WorkLong x = Long("1.00000000000000000001", 5);
        Mpfr truth(reference::ReferenceBits(5));
        ReferencePower(truth, x, n);
        WorkLong y;
        testing::internal::CaptureStdout();
        PowerLong(y, x, n);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << n;
        EXPECT_EQ(y.error, 0) << n;
        EXPECT_TRUE(FirstLimbsCorrect(y, truth.get(), 5)) << n;
    }
    const std::string kRange = MessageText(Message::PowerExponentRange);
    ExpectZeroAnswers(PowerLong, {{"10^12 + 1", Long("1.5", 6), 1e12 + 1, kRange, -1},
                                  {"-10^12 - 1", Long("1.5", 6), -1e12 - 1, kRange, -1},
                                  {"10^13", Long("1.5", 6), 1e13, kRange, -1},
                                  {"infinity", Long("1.5", 6), kInfinity, kRange, -1},
                                  {"-infinity", Long("1.5", 6), -kInfinity, kRange, -1}});
}

// Exponents whose bits are estimated from log2 one too high: log2(m) lies within 10^-11 of the
// next whole number for m = 2^38 - 1 and 2^39 - 3 .. 2^39 - 1, as a whole exponent or as what
// remains of one after its highest bit. They are whole and must be powered, not refused as
// fractions; 2^38 - 2 and 2^39 - 4 are their neighbours whose estimate was right.
TEST(PowerLong, ExponentsJustBelowAPowerOfTwoArePowered) {
    const double kTwo38 = 274877906944.0;
    const double kTwo39 = 549755813888.0;
    for (double n : {kTwo38 - 1, kTwo39 - 3, kTwo39 - 2, kTwo39 - 1, kTwo39 + kTwo38 - 1,
                     -(kTwo38 - 1), kTwo38 - 2, kTwo39 - 4}) {
        for (int32_t p : {1, 30}) {
            WorkLong x = Long("1.000000000000001", p);
            Mpfr truth(reference::ReferenceBits(p < 5 ? 5 : p));
            ReferencePower(truth, x, n);
            WorkLong y;
            testing::internal::CaptureStdout();
            PowerLong(y, x, n);
            EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << n;
            EXPECT_EQ(y.error, 0) << n;
            EXPECT_TRUE(FirstLimbsCorrect(y, truth.get(), p)) << n << " at precision " << p;
        }
    }
}

// A fractional exponent is found while its bits are split off: the message, and the value 1
// (sign 1, exponent 0, limb 1) with error -1 at x's precision.
TEST(PowerLong, FractionalExponentGivesOneWithItsMessage) {
    for (double n : {2.5, 0.5, -2.5, 1e12 - 0.5, kNaN}) {
        WorkLong x = Long("3", 6);
        WorkLong y;
        testing::internal::CaptureStdout();
        PowerLong(y, x, n);
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  MessageText(Message::PowerExponentNotWhole))
            << n;
        EXPECT_EQ(y.sign, 1) << n;
        EXPECT_EQ(y.exponent, 0) << n;
        EXPECT_EQ(y.limbs[0], 1.0) << n;
        for (int k = 1; k <= LastLimb(y); ++k) EXPECT_EQ(y.limbs[k], 0.0) << n;
        EXPECT_EQ(y.precision, 6) << n;
        EXPECT_EQ(y.error, -1) << n;
    }
}

// The checks in the order they are made: a flagged x (no message), a zero x (0 for n > 0,
// whether whole or in range or not; for n < 0 the division by zero that 1 / 0^|n| is, before n's
// range is looked at), a negative leading limb (before n is looked at), then n. (0^0 is 1:
// ExactPowers.)
TEST(PowerLong, ChecksInTheirOrder) {
    const std::string kDivisionByZero = MessageText(Message::DivisionByZero);
    ExpectZeroAnswers(PowerLong, {
        {"flagged, fractional n", MakeRaw(6, 1, 0, {3}, -1), 2.5, "", -1},
        {"flagged zero", MakeRaw(6, 0, ZERO_EXPONENT, {0}, -2), 3, "", -1},
        {"zero, n = -5", Long("0", 6), -5, kDivisionByZero, -1},
        {"zero, n = -1", Long("0", 6), -1, kDivisionByZero, -1},
        {"zero, fractional n < 0", Long("0", 6), -0.5, kDivisionByZero, -1},
        {"zero, n < 0 out of range", Long("0", 6), -1e13, kDivisionByZero, -1},
        {"zero, fractional n", Long("0", 6), 2.5, "", 0},
        {"zero, n out of range", Long("0", 6), 1e13, "", 0},
        {"negative limb", MakeRaw(6, 1, 0, {-3, 5}), 3,
         NegativeLimbMessages(Message::PowerNegativeLimb), -1},
        {"negative limb, fractional n", MakeRaw(6, 1, 0, {-3, 5}), 2.5,
         NegativeLimbMessages(Message::PowerNegativeLimb), -1},
    });
}

// A power far beyond the exponents a record may carry is reported by the product that meets it:
// 10^(10^9) cubed squares to 10^(2 x 10^9), still accepted, and overflows in the product with
// the third factor.
TEST(PowerLong, OverflowIsReportedByTheProduct) {
    WorkLong x = MakeRaw(3, 1, 1000000000, {1});
    WorkLong y;
    testing::internal::CaptureStdout();
    PowerLong(y, x, 3);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), MessageText(Message::Overflow));
    EXPECT_EQ(y.sign, 0);
    EXPECT_EQ(y.error, -1);
}

// Powers whose exponent lies beyond the products' limit of +-2,000,000,000 but within the
// record's +-2,147,000,000 are computed (error 0, no message, the first p limbs correct), on both
// sides of each limit; one limb beyond the record's exponents they are an overflow.
TEST(PowerLong, ResultsBeyondTheProductsExponentLimit) {
    const std::string kOverflow = MessageText(Message::Overflow);
    const char* kE = "2.718281828459045235360287471352662497757247093699959574966967627724";
    struct Case {
        const char* name;
        WorkLong x;  // at precision 30, cut to each precision below
        double n;
        bool fits;
    };
    const Case kCases[] = {
        {"10^1,999,999,990 (plain steps)", Long("10", 30), 1999999990.0, true},
        {"10^2,000,000,100", Long("10", 30), 2000000100.0, true},
        {"10^2,147,000,009", Long("10", 30), 2147000009.0, true},
        {"10^2,147,000,010", Long("10", 30), 2147000010.0, false},
        {"10^-2,147,000,000", Long("10", 30), -2147000000.0, true},
        {"10^-2,147,000,001", Long("10", 30), -2147000001.0, false},
        {"1 / 10^2,000,000,010", MakeRaw(30, 1, 2000000010, {1}), -1.0, true},
        {"1 / 10^2,147,000,000", MakeRaw(30, 1, 2147000000, {1}), -1.0, true},
        {"1 / (5 x 10^2,147,000,000)", MakeRaw(30, 1, 2147000000, {5}), -1.0, false},
        {"e^4.7e9", Long(kE, 30), 4.7e9, true},
        {"e^-4.7e9", Long(kE, 30), -4.7e9, true},
        {"(-2.5...)^5,100,000,001", Long("-2.5123456789012345678901234567890123456789", 30),
         5100000001.0, true},
    };
    for (const Case& c : kCases) {
        for (int32_t p : {1, 5, 30}) {
            WorkLong x = c.x;
            x.precision = p;
            SCOPED_TRACE(std::string(c.name) + " at precision " + std::to_string(p));
            WorkLong y;
            testing::internal::CaptureStdout();
            PowerLong(y, x, c.n);
            const std::string printed = testing::internal::GetCapturedStdout();
            if (!c.fits) {
                EXPECT_EQ(printed, kOverflow);
                EXPECT_EQ(y.sign, 0);
                EXPECT_EQ(y.error, -1);
                continue;
            }
            Mpfr truth(reference::ReferenceBits(p < 5 ? 5 : p));
            ReferencePower(truth, x, c.n);
            EXPECT_EQ(printed, "");
            EXPECT_EQ(y.error, 0);
            EXPECT_EQ(y.precision, p < 5 ? 5 : p);
            EXPECT_TRUE(FirstLimbsCorrect(y, truth.get(), p));
        }
    }
}

// A power near the ends of the exponent range is built with the exponents taken out of its
// products; it has the limbs the plain steps give the same base moved to exponent 0, for positive
// and negative n, and its exponent moved by n times the base's.
TEST(PowerLong, ShiftedStepsGiveThePlainStepsLimbs) {
    RandomLongs random(5203);
    for (int32_t p : {1, 5, 30}) {
        for (double n : {7.0, -7.0, 123457.0, -2.0}) {
            WorkLong x = random.Next(p, 0, 0, true);
            const int64_t limbShift = static_cast<int64_t>(2.05e9 / (10.0 * std::fabs(n)));
            WorkLong far = x;
            far.exponent = static_cast<int32_t>(10 * limbShift);
            WorkLong plain;
            WorkLong shifted;
            PowerLong(plain, x, n);
            testing::internal::CaptureStdout();
            PowerLong(shifted, far, n);
            EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
            SCOPED_TRACE("n = " + std::to_string(n) + " at precision " + std::to_string(p));
            ASSERT_EQ(shifted.error, 0);
            EXPECT_EQ(shifted.sign, plain.sign);
            EXPECT_EQ(shifted.precision, plain.precision);
            EXPECT_EQ(static_cast<int64_t>(shifted.exponent) - plain.exponent,
                      static_cast<int64_t>(n) * 10 * limbShift);
            for (int k = 0; k <= LastLimb(plain); ++k) EXPECT_EQ(shifted.limbs[k], plain.limbs[k]) << k;
        }
    }
}

TEST(PowerLong, ArgumentIsNormalisedInPlace) {
    WorkLong x = MakeRaw(4, 1, 7, {5});
    WorkLong y;
    PowerLong(y, x, 3);
    EXPECT_TRUE(IsCanonical(x));
    EXPECT_EQ(x.exponent, 0);
    EXPECT_EQ(x.limbs[0], 50000000.0);
    EXPECT_TRUE(HasExactValue(y, mpq_class(125) * reference::Pow10(21)));
}

TEST(PowerLong, ResultMayBeTheArgumentRecord) {
    RandomLongs random(31);
    for (double n : {7.0, -7.0, 1.0, 0.0}) {
        ExpectSameWhenWrittenOverTheArgument(PowerLong, random.Next(30, -20, 20, true), n);
    }
}

// ---------------------------------------------------------------------------------------------
// RootLong

// Random arguments over a wide range of exponents and indices from 2 to 10^6 at the precisions
// 1, 5, 30, 100 and 303 (few at 303). Each root must have its first p limbs correct and beyond
// that keep about P + 2 limbs (P = max(p, 5)): the step's rounding errors, multiplied by n in the
// power r^(n-1), are divided by n again in the correction.
TEST(RootLong, RandomRootsMatchMpfr) {
    RandomLongs random(6303);
    const reference::PrecisionRun kRuns[] = {{1, 40}, {5, 40}, {30, 25}, {100, 10}, {303, 3}};
    for (const auto& run : kRuns) {
        const int32_t p = run.precision;
        const int32_t kept = p < 5 ? 5 : p;
        reference::AccuracyTally tally;
        for (int i = 0; i < run.count; ++i) {
            WorkLong x = random.Next(p, -400, 400, false);
            const double n = static_cast<double>(i % 4 == 3 ? random.Between(31, 1000000)
                                                            : random.Between(2, 30));
            Mpfr truth(reference::ReferenceBits(kept));
            ReferenceRoot(truth, x, n);
            WorkLong r;
            RootLong(r, x, n);
            EXPECT_TRUE(tally.Check(r, truth.get(), p, kept, 10.0 * (kept + 1)))
                << "precision " << p << ", n = " << n << ", x = " << reference::Describe(x);
        }
        tally.Record(p);
    }
}

// The large indices on both sides of each bound: 9,999,999,999 is the last the plain step takes
// (a short product by n, a start of two limbs), 10^10 the first of the scaled step (a start of
// three limbs, r^(n-1) in pieces); 10^12 + 1 is the last whose r^(n-1) PowerLong could take at
// once, 10^12 + 2 the first beyond its range; 2,748,779,069,431 gives the piece r^(2^38 - 1),
// whose bits log2 overestimates; 10^13 is the largest index. Each on a small argument, a large
// and a tiny one, and the largest and smallest the entry points accept, where r^(n-1), about x,
// lies at the ends of the exponent range.
TEST(RootLong, LargeIndicesMatchMpfr) {
    const double kIndices[] = {9999999999.0, 1e10, 1e12 + 1, 1e12 + 2, 2748779069431.0, 1e13};
    const WorkLong kArguments[] = {
        MakeLong("2", 30),
        MakeRaw(30, 1, 1000, {1}),
        MakeRaw(30, 1, -1010, {5000000000}),
        MakeRaw(30, 1, 1999999990, {9999999999, 9999999999, 9999999999}),
        MakeRaw(30, 1, -2147000000, {1, 1}),
    };
    for (double n : kIndices) {
        for (const WorkLong& argument : kArguments) {
            for (int32_t p : {1, 30}) {
                WorkLong x = argument;
                x.precision = p;
                Mpfr truth(reference::ReferenceBits(p < 5 ? 5 : p));
                ReferenceRoot(truth, x, n);
                WorkLong r;
                testing::internal::CaptureStdout();
                RootLong(r, x, n);
                EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
                SCOPED_TRACE("n = " + std::to_string(n) + ", precision " + std::to_string(p) +
                             ", x = " + reference::Describe(x));
                EXPECT_EQ(r.error, 0);
                EXPECT_EQ(r.precision, p < 5 ? 5 : p);
                EXPECT_TRUE(FirstLimbsCorrect(r, truth.get(), p));
                EXPECT_GT(CorrectDigits(r, truth.get()), 10.0 * ((p < 5 ? 5 : p) + 1));
            }
        }
    }
    WorkLong x = MakeLong("2", 303);
    Mpfr truth(reference::ReferenceBits(303));
    ReferenceRoot(truth, x, 1e13);
    WorkLong r;
    RootLong(r, x, 1e13);
    EXPECT_TRUE(FirstLimbsCorrect(r, truth.get(), 303));
}

// Small indices at the ends of the exponent range take the scaled step too (within 100 digits of
// the ends, where n r^(n-1) and the reciprocals of the plain step leave the range); just inside,
// the plain step still serves.
TEST(RootLong, ArgumentsAtTheEndsOfTheExponentRangeMatchMpfr) {
    const WorkLong kArguments[] = {
        MakeRaw(5, 1, 1999999900, {9999999999, 9999999999}),
        MakeRaw(5, 1, 1999999910, {9999999999, 9999999999}),
        MakeRaw(5, 1, 2000000000, {9999999999, 9999999999}),
        MakeRaw(5, 1, -1999999900, {1, 1}),
        MakeRaw(5, 1, -1999999910, {1, 1}),
        MakeRaw(5, 1, -2147000000, {3}),
    };
    for (double n : {2.0, 3.0, 10.0, 11.0, 12345.0, 300000000.0, 9999999999.0}) {
        for (const WorkLong& argument : kArguments) {
            WorkLong x = argument;
            Mpfr truth(reference::ReferenceBits(5));
            ReferenceRoot(truth, x, n);
            WorkLong r;
            testing::internal::CaptureStdout();
            RootLong(r, x, n);
            EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
            SCOPED_TRACE("n = " + std::to_string(n) + ", x = " + reference::Describe(x));
            EXPECT_EQ(r.error, 0);
            EXPECT_TRUE(FirstLimbsCorrect(r, truth.get(), 5));
            EXPECT_GT(CorrectDigits(r, truth.get()), 60.0);
        }
    }
}

// Exact roots: the double start is already the root and the first correction is zero.
TEST(RootLong, ExactRoots) {
    const struct {
        const char* x;
        double n;
        const char* root;
    } kCases[] = {{"8", 3, "2"}, {"1e30", 3, "1e10"}, {"1024", 10, "2"}, {"0.0625", 4, "0.5"}};
    for (const auto& c : kCases) {
        for (int32_t p : {1, 30}) {
            WorkLong x = Long(c.x, p);
            WorkLong r;
            RootLong(r, x, c.n);
            SCOPED_TRACE(std::string(c.x) + " root " + std::to_string(c.n) + " at precision " +
                         std::to_string(p));
            EXPECT_TRUE(IsCanonical(r));
            EXPECT_TRUE(HasExactValue(r, reference::ParseDecimal(c.root)));
            EXPECT_EQ(r.error, 0);
        }
    }
}

// Index 1 returns x as it stands: not normalised, even with a negative limb, and no message.
TEST(RootLong, IndexOneReturnsTheArgumentUntouched) {
    for (WorkLong x : {MakeRaw(4, 1, 7, {5}), MakeRaw(4, 1, 0, {-3, 5})}) {
        const WorkLong before = x;
        WorkLong r;
        testing::internal::CaptureStdout();
        RootLong(r, x, 1);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        for (const WorkLong* w : {&r, &x}) {
            EXPECT_EQ(w->sign, before.sign);
            EXPECT_EQ(w->exponent, before.exponent);
            EXPECT_EQ(w->precision, before.precision);
            EXPECT_EQ(w->error, 0);
            for (int k = 0; k <= LastLimb(before); ++k) EXPECT_EQ(w->limbs[k], before.limbs[k]);
        }
    }
}

// The checks in the order they are made, each reporting only the first that fails: a flagged x
// (no message), a zero x (zero, whatever n is), a negative x, an index that is not positive, not
// whole, above 10^13, and last a negative leading limb.
TEST(RootLong, ChecksInTheirOrder) {
    const std::string kNegative = MessageText(Message::RootNegative);
    const std::string kNotPositive = MessageText(Message::RootIndexNotPositive);
    const std::string kNotWhole = MessageText(Message::RootIndexNotWhole);
    const std::string kRange = MessageText(Message::RootIndexRange);
    ExpectZeroAnswers(RootLong, {
        {"flagged, index 0", MakeRaw(6, 1, 0, {8}, -1), 0, "", -1},
        {"flagged negative", MakeRaw(6, -1, 0, {8}, -2), 3, "", -1},
        {"zero, index -2", Long("0", 6), -2, "", 0},
        {"zero, index 2.5", Long("0", 6), 2.5, "", 0},
        {"zero, index 10^13 + 1", Long("0", 6), 1e13 + 1, "", 0},
        {"negative", Long("-8", 6), 3, kNegative, -1},
        {"negative, index 0", Long("-8", 6), 0, kNegative, -1},
        {"index 0", Long("8", 6), 0, kNotPositive, -1},
        {"index -1", Long("8", 6), -1, kNotPositive, -1},
        {"index -infinity", Long("8", 6), -kInfinity, kNotPositive, -1},
        {"index NaN", Long("8", 6), kNaN, kNotPositive, -1},
        {"index 2.5", Long("8", 6), 2.5, kNotWhole, -1},
        {"index 0.5", Long("8", 6), 0.5, kNotWhole, -1},
        {"index infinity", Long("8", 6), kInfinity, kNotWhole, -1},
        {"index 10^13 + 1", Long("8", 6), 1e13 + 1, kRange, -1},
        {"index 10^13 + 1.5", Long("8", 6), 1e13 + 1.5, kNotWhole, -1},
        {"negative limb, index 0", MakeRaw(6, 1, 0, {-3, 5}), 0, kNotPositive, -1},
        {"negative limb, index 10^14", MakeRaw(6, 1, 0, {-3, 5}), 1e14, kRange, -1},
        {"negative limb", MakeRaw(6, 1, 0, {-3, 5}), 3,
         NegativeLimbMessages(Message::RootNegativeLimb), -1},
    });
}

TEST(RootLong, ArgumentIsNormalisedInPlace) {
    WorkLong x = MakeRaw(4, 1, 7, {8});
    WorkLong r;
    RootLong(r, x, 3);
    EXPECT_TRUE(IsCanonical(x));
    EXPECT_EQ(x.exponent, 0);
    EXPECT_EQ(x.limbs[0], 80000000.0);
    Mpfr truth(reference::ReferenceBits(5));
    ReferenceRoot(truth, x, 3);
    EXPECT_TRUE(FirstLimbsCorrect(r, truth.get(), 5));
}

TEST(RootLong, ResultMayBeTheArgumentRecord) {
    RandomLongs random(41);
    for (double n : {2.0, 7.0, 1e13}) {
        ExpectSameWhenWrittenOverTheArgument(RootLong, random.Next(30, -20, 20, false), n);
    }
}

}  // namespace
}  // namespace ostrel2

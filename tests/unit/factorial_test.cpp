// factorial_test.cpp -- FactorialLong against GMP's exact factorials, its truncation, the largest
// argument against MPFR, and the refused arguments.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "core/diagnostics.h"
#include "core/long_number.h"
#include "powers/factorial.h"
#include "support/gmp_reference.h"
#include "support/mpfr_reference.h"

namespace ostrel2 {
namespace {

using reference::ExactValue;
using reference::HasExactValue;
using reference::IsCanonical;
using reference::Pow10;
using reference::RandomLongs;

mpz_class ExactFactorial(unsigned long n) {
    mpz_class f;
    mpz_fac_ui(f.get_mpz_t(), n);
    return f;
}

// Every short product is cut after limb p + 3 of its own digits, its leading limb 1 or more, so
// each loses less than 10^-(10 (p + 2)) of its value (10^-(10 (p + 3)) more where a carry makes a
// new leading limb); n of them lose less than 1.1 n 10^-(10 (p + 2)), and never add anything.
::testing::AssertionResult WithinTruncation(const WorkLong& f, const mpz_class& exact, int32_t n,
                                            int32_t p) {
    const mpq_class value = ExactValue(f);
    const mpq_class truth(exact);
    if (value > truth) return ::testing::AssertionFailure() << "above " << n << "!";
    const mpq_class bound = mpq_class(11 * n, 10) * Pow10(-10L * (p + 2)) * truth;
    if (truth - value <= bound) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << n << "! short by " << reference::ToScientific((truth - value) / truth, 5)
           << " of its value at precision " << p;
}

// Random n at the precisions 1, 5, 30, 100 and 303 (few at 303): the result has exactly the
// precision p, error 0, is exact while n! has at most 10 (p + 2) digits (then no factor's last
// live limb is in use, and no low part is dropped), and otherwise lies below n! within the
// truncations (WithinTruncation), which keeps far more than its first p limbs.
TEST(FactorialLong, RandomArgumentsMatchGmp) {
    RandomLongs random(4404);
    const reference::PrecisionRun kRuns[] = {{1, 40}, {5, 40}, {30, 20}, {100, 10}, {303, 3}};
    for (const auto& run : kRuns) {
        const int32_t p = run.precision;
        for (int i = 0; i < run.count; ++i) {
            const int32_t n = static_cast<int32_t>(i % 2 == 0 ? random.Between(0, 60)
                                                              : random.Between(61, 3000));
            const mpz_class exact = ExactFactorial(static_cast<unsigned long>(n));
            WorkLong f;
            FactorialLong(f, n, p);
            SCOPED_TRACE(std::to_string(n) + "! at precision " + std::to_string(p));
            EXPECT_TRUE(IsCanonical(f));
            EXPECT_EQ(f.precision, p);
            EXPECT_EQ(f.error, 0);
            EXPECT_TRUE(WithinTruncation(f, exact, n, p));
            if (mpz_sizeinbase(exact.get_mpz_t(), 10) <= static_cast<size_t>(10 * (p + 2))) {
                EXPECT_TRUE(HasExactValue(f, mpq_class(exact)));
            }
        }
    }
}

// 20! = 2,432,902,008,176,640,000 has 19 digits and is exact at every precision, also below 5;
// 0! and 1! are 1.
TEST(FactorialLong, SmallFactorialsAreExactAtEveryPrecision) {
    const struct {
        int32_t n;
        const char* value;
    } kCases[] = {{0, "1"}, {1, "1"}, {20, "2432902008176640000"}};
    for (const auto& c : kCases) {
        for (int32_t p : {1, 2, 4, 5, 303}) {
            WorkLong f;
            testing::internal::CaptureStdout();
            FactorialLong(f, c.n, p);
            EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
            SCOPED_TRACE(std::to_string(c.n) + "! at precision " + std::to_string(p));
            EXPECT_TRUE(IsCanonical(f));
            EXPECT_TRUE(HasExactValue(f, reference::ParseDecimal(c.value)));
            EXPECT_EQ(f.precision, p);
            EXPECT_EQ(f.error, 0);
        }
    }
}

// 1,000,000! is the largest accepted: 8.26393168833124006237664610317... x 10^5,565,708, against
// MPFR's factorial (its exact value has 5.5 million digits). At precision 1 the million
// truncations leave more than 23 correct digits.
TEST(FactorialLong, OneMillionIsAccepted) {
    WorkLong f;
    testing::internal::CaptureStdout();
    FactorialLong(f, 1000000, 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(f.error, 0);
    EXPECT_EQ(f.precision, 1);
    EXPECT_EQ(f.exponent, 5565700);
    EXPECT_EQ(f.limbs[0], 826393168.0);
    EXPECT_EQ(f.limbs[1], 8331240062.0);
    reference::Mpfr truth(reference::ReferenceBits(1));
    mpfr_fac_ui(truth.get(), 1000000, MPFR_RNDN);
    EXPECT_TRUE(reference::FirstLimbsCorrect(f, truth.get(), 1));
    EXPECT_GT(reference::CorrectDigits(f, truth.get()), 23.0);
}

// Outside 0 .. 1,000,000 the message and the zero of the precision with error -1.
TEST(FactorialLong, ArgumentsOutsideTheRangeAreRefused) {
    for (int32_t n : {1000001, -1, std::numeric_limits<int32_t>::max(),
                      std::numeric_limits<int32_t>::min()}) {
        for (int32_t p : {1, 30}) {
            WorkLong f;
            testing::internal::CaptureStdout();
            FactorialLong(f, n, p);
            EXPECT_EQ(testing::internal::GetCapturedStdout(), MessageText(Message::FactorialRange))
                << n;
            EXPECT_EQ(f.sign, 0) << n;
            EXPECT_EQ(f.exponent, ZERO_EXPONENT) << n;
            EXPECT_EQ(f.precision, p) << n;
            EXPECT_EQ(f.error, -1) << n;
            for (int k = 0; k <= LastLimb(f); ++k) EXPECT_EQ(f.limbs[k], 0.0) << n;
        }
    }
}

}  // namespace
}  // namespace ostrel2

// square_root_test.cpp -- SqrLong against MPFR, its exact roots, its failures and what it does
// to its argument.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/diagnostics.h"
#include "core/long_number.h"
#include "powers/square_root.h"
#include "support/gmp_reference.h"
#include "support/message_text.h"
#include "support/mpfr_reference.h"

namespace ostrel2 {
namespace {

using reference::ExactValue;
using reference::HasExactValue;
using reference::IsCanonical;
using reference::MakeLong;
using reference::MakeRaw;
using reference::Mpfr;
using reference::RandomLongs;

// sqrt(x) from MPFR at ReferenceBits(p), x taken exactly (the binary rounding of its decimal
// value costs half a unit of the last bit, and the root halves it).
void ReferenceRoot(Mpfr& out, const WorkLong& x) {
    reference::SetFromRecord(out.get(), x);
    mpfr_sqrt(out.get(), out.get(), MPFR_RNDN);
}

// Random arguments over a wide range of exponents at the precisions 1, 5, 30, 100 and 303 (few at
// 303). Each root must have its first p limbs correct (reference::FirstLimbsCorrect: less than
// one unit of limb p - 1 from the true root) and, beyond that, lie within the 1.9 limbs the stop
// rule leaves: the final correction lies more than 10 P + 19 digits below the root, and the
// root's own products and quotients are truncated a few units below limb P + 2, so the root keeps
// P + 1 limbs and more (P = max(p, 5), the product's precision).
TEST(SqrLong, RandomArgumentsMatchMpfr) {
    RandomLongs random(4101);
    const reference::PrecisionRun kRuns[] = {{1, 60}, {5, 60}, {30, 40}, {100, 20}, {303, 4}};
    for (const auto& run : kRuns) {
        const int32_t p = run.precision;
        const int32_t kept = p < 5 ? 5 : p;
        reference::AccuracyTally tally;
        for (int i = 0; i < run.count; ++i) {
            WorkLong x = random.Next(p, -400, 400, false);
            Mpfr truth(reference::ReferenceBits(kept));
            ReferenceRoot(truth, x);
            WorkLong y;
            SqrLong(y, x);
            EXPECT_TRUE(tally.Check(y, truth.get(), p, kept, 10.0 * (kept + 1)))
                << "precision " << p << ", x = " << reference::Describe(x);
        }
        tally.Record(p);
    }
}

// Perfect squares whose double start is already the root: the first correction is zero, which
// ends the loop, and the root is exact. 10^10 starts from limb 0 = 1 at exponent 5, off the grid
// of multiples of 10, and must come back canonical as 100000.
TEST(SqrLong, ExactRoots) {
    const struct {
        const char* x;
        const char* root;
    } kCases[] = {{"4", "2"}, {"1e10", "100000"}, {"1.21", "1.1"}, {"1e-20", "1e-10"},
                  {"99980001", "9999"}, {"6.25e-302", "2.5e-151"}};
    for (const auto& c : kCases) {
        for (int32_t p : {1, 7, 303}) {
            WorkLong x = MakeLong(c.x, p);
            WorkLong y;
            SqrLong(y, x);
            SCOPED_TRACE(std::string(c.x) + " at precision " + std::to_string(p));
            EXPECT_TRUE(IsCanonical(y));
            EXPECT_TRUE(HasExactValue(y, reference::ParseDecimal(c.root)));
            EXPECT_EQ(y.error, 0);
        }
    }
    WorkLong x = MakeLong("1e10", 3);
    WorkLong y;
    SqrLong(y, x);
    EXPECT_EQ(y.exponent, 0);
    EXPECT_EQ(y.limbs[0], 100000.0);
}

// sqrt(10) = 3.16227766016837933199889354443271853372...: the double start gives limb 0 = 3 and
// limb 1 = 1622776601, and Newton's steps only extend them.
TEST(SqrLong, RootOfTenKeepsTheStartingLimbs) {
    WorkLong x = MakeLong("10", 2);
    WorkLong y;
    SqrLong(y, x);
    EXPECT_EQ(y.exponent, 0);
    EXPECT_EQ(y.limbs[0], 3.0);
    EXPECT_EQ(y.limbs[1], 1622776601.0);
    EXPECT_EQ(y.limbs[2], 6837933199.0);
    EXPECT_EQ(y.limbs[3], 8893544432.0);
}

// The root of x * 10^(2k) is the root of x with exponent k: the start and every step scale
// exactly when k is a multiple of 10, right up to the ends of the exponent range and beyond them
// to the +-2,147,000,000 the entry points accept, where the square of the root would leave the
// products' range if the steps were not taken on x moved next to exponent 0.
TEST(SqrLong, FarExponentsScaleTheRootExactly) {
    RandomLongs random(77);
    for (int32_t p : {1, 30}) {
        for (int32_t e0 : {0, 10}) {
            WorkLong x = random.Next(p, e0, e0, false);
            WorkLong base;
            WorkLong copy = x;
            SqrLong(base, copy);
            for (int32_t shift : {1999999980, -2000000000, 20, 2147000000, -2147000000}) {
                WorkLong far = x;
                far.exponent += shift;
                WorkLong y;
                testing::internal::CaptureStdout();
                SqrLong(y, far);
                EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
                SCOPED_TRACE("exponent " + std::to_string(far.exponent));
                EXPECT_EQ(y.error, 0);
                EXPECT_EQ(y.exponent, base.exponent + shift / 2);
                for (int k = 0; k <= LastLimb(y); ++k) EXPECT_EQ(y.limbs[k], base.limbs[k]) << k;
            }
        }
    }
}

TEST(SqrLong, ZeroGivesZeroWithoutMessage) {
    WorkLong x = MakeLong("0", 9);
    WorkLong y;
    testing::internal::CaptureStdout();
    SqrLong(y, x);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(y.sign, 0);
    EXPECT_EQ(y.exponent, ZERO_EXPONENT);
    EXPECT_EQ(y.precision, 9);
    EXPECT_EQ(y.error, 0);
}

// The failures in the order they are tested: a flagged x (no message) before its sign, the sign
// before the limbs.
TEST(SqrLong, FailuresGiveZeroWithTheirMessages) {
    const struct {
        const char* name;
        WorkLong x;
        std::string message;
    } kCases[] = {
        {"negative", MakeLong("-4", 6), MessageText(Message::SqrtNegative)},
        {"flagged", MakeRaw(6, 1, 0, {4}, -1), ""},
        {"flagged negative", MakeRaw(6, -1, 0, {4}, -3), ""},
        {"negative leading limb", MakeRaw(6, 1, 0, {-3, 5}),
         reference::FormattedMessage(Message::NegativeLimb, -3.0) +
             MessageText(Message::SqrtNegativeLimb)},
    };
    for (const auto& c : kCases) {
        WorkLong x = c.x;
        WorkLong y;
        testing::internal::CaptureStdout();
        SqrLong(y, x);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.message) << c.name;
        EXPECT_EQ(y.sign, 0) << c.name;
        EXPECT_EQ(y.exponent, ZERO_EXPONENT) << c.name;
        EXPECT_EQ(y.precision, 6) << c.name;
        EXPECT_EQ(y.error, -1) << c.name;
    }
}

// A negative limb after the leading one survives normalisation's quick path; the sums and the
// products read it differently and the iteration never settles. The step limit ends it with the
// message of a record with negative elements (without the limit this call does not return; the
// intermediate normalisations report the negative limbs they meet on the way).
TEST(SqrLong, UnsettledIterationEndsAtTheStepLimit) {
    WorkLong x = MakeRaw(6, 1, 0, {5, -9999999999.0});
    WorkLong y;
    testing::internal::CaptureStdout();
    SqrLong(y, x);
    const std::string printed = testing::internal::GetCapturedStdout();
    const std::string last = MessageText(Message::SqrtNegativeLimb);
    ASSERT_GE(printed.size(), last.size());
    EXPECT_EQ(printed.substr(printed.size() - last.size()), last);
    EXPECT_EQ(y.sign, 0);
    EXPECT_EQ(y.error, -1);
}

// The argument comes back in canonical form: 5 at exponent 7 is 50,000,000 at exponent 0.
TEST(SqrLong, ArgumentIsNormalisedInPlace) {
    WorkLong x = MakeRaw(4, 1, 7, {5});
    WorkLong y;
    SqrLong(y, x);
    EXPECT_TRUE(IsCanonical(x));
    EXPECT_EQ(x.exponent, 0);
    EXPECT_EQ(x.limbs[0], 50000000.0);
    EXPECT_TRUE(HasExactValue(x, 50000000));
    Mpfr truth(reference::ReferenceBits(5));
    ReferenceRoot(truth, x);
    EXPECT_TRUE(reference::FirstLimbsCorrect(y, truth.get(), 5));
}

TEST(SqrLong, ResultMayBeTheArgumentRecord) {
    RandomLongs random(9);
    for (int32_t p : {1, 30, 303}) {
        WorkLong x = random.Next(p, -50, 50, false);
        WorkLong copy = x;
        WorkLong y;
        SqrLong(y, copy);
        SqrLong(x, x);
        EXPECT_EQ(x.exponent, y.exponent);
        EXPECT_EQ(x.precision, y.precision);
        for (int k = 0; k <= LastLimb(y); ++k) EXPECT_EQ(x.limbs[k], y.limbs[k]) << k;
    }
}

}  // namespace
}  // namespace ostrel2

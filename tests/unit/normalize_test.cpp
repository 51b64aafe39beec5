// normalize_test.cpp -- canonical form after carries, leading zero limbs, off-grid exponents, and
// the three reports of normalisation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/diagnostics.h"
#include "core/long_number.h"
#include "support/gmp_reference.h"
#include "support/message_text.h"

namespace ostrel2 {
namespace {

using reference::ExactValue;
using reference::IsCanonical;
using reference::MakeRaw;

constexpr auto Formatted = &reference::FormattedMessage;

struct Case {
    const char* name;
    int32_t exponent;
    std::vector<double> limbs;       // input limbs 0.. (precision 2: six live limbs)
    int32_t wantExponent;
    std::vector<double> wantLimbs;   // expected live limbs 0..; the rest must be 0
};

TEST(Normalize, CanonicalFormTable) {
    const Case cases[] = {
        {"quick path carry", 20, {5, 1e10 + 3}, 20, {6, 3}},
        {"carry into limb 0", 0, {9999999999, 1e10}, 10, {1, 0, 0}},
        {"shift toward the front", 7, {5}, 0, {50000000}},
        {"shift toward the end", 3, {1234567890, 0}, 10, {123, 4567890000}},
        {"negative off-grid exponent", -3, {5}, -10, {50000000}},
        {"two leading zero limbs", 0, {0, 0, 42, 0, 0, 0}, -20, {42, 0, 0, 0, 0, 0}},
        {"noise below 0.9 is cleared", 5, {0.5, 7}, -10, {700000}},
        {"sixteen-digit leading limb", 0, {1e16}, 10, {1000000, 0}},
        {"long leading limb moves into the zero limb before it", 0, {0, 123456789012.0}, 0,
         {12, 3456789012}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WorkLong x = MakeRaw(2, 1, c.exponent, {});
        for (size_t k = 0; k < c.limbs.size(); ++k) x.limbs[k] = c.limbs[k];
        const mpq_class before = ExactValue(x);
        testing::internal::CaptureStdout();
        const int32_t status = Normalize(x);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(status, 0);
        EXPECT_EQ(x.exponent, c.wantExponent);
        for (int k = 0; k <= LastLimb(x); ++k) {
            const double want = k < static_cast<int>(c.wantLimbs.size()) ? c.wantLimbs[k] : 0.0;
            EXPECT_EQ(x.limbs[k], want) << "limb " << k;
        }
        EXPECT_TRUE(IsCanonical(x));
        const bool noise = c.limbs[0] > 0 && c.limbs[0] < 1;
        if (c.limbs.size() <= 2 && c.limbs[0] < 1e16 && !noise) {
            EXPECT_EQ(ExactValue(x), before) << "the value must not change";
        }
    }
}

TEST(Normalize, AllNoiseBecomesTheCanonicalZeroKeepingPrecisionAndError) {
    // limbs[0] of 0 keeps the record off the quick path, which trusts a positive leading limb.
    WorkLong x = MakeRaw(4, -1, 30, {0, 0.9, 0, 0.1, 0.5}, -2);
    EXPECT_EQ(Normalize(x), 0);
    EXPECT_EQ(x.sign, 0);
    EXPECT_EQ(x.exponent, ZERO_EXPONENT);
    EXPECT_EQ(x.precision, 4);
    EXPECT_EQ(x.error, -2);
    for (int k = 0; k <= LastLimb(x); ++k) EXPECT_EQ(x.limbs[k], 0.0);
}

TEST(Normalize, NegativeLeadingLimbIsReportedAndLeftPartWay) {
    WorkLong x = MakeRaw(2, 1, 1, {-3, 5});
    testing::internal::CaptureStdout();
    EXPECT_EQ(Normalize(x), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), Formatted(Message::NegativeLimb, -3.0));
    EXPECT_EQ(x.error, -1);
    EXPECT_EQ(x.limbs[0], -3.0);
    EXPECT_EQ(x.exponent, 1);
}

TEST(Normalize, OverlongLeadingLimbIsReportedButCompleted) {
    WorkLong x = MakeRaw(2, 1, 0, {1e16});
    testing::internal::CaptureStdout();
    EXPECT_EQ(Normalize(x), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              Formatted(Message::LeadingLimbOverflow, 1e16));
    EXPECT_EQ(Formatted(Message::LeadingLimbOverflow, 1e16).find("10000000000000000.000000"),
              Formatted(Message::LeadingLimbOverflow, 1e16).size() - 25);
    EXPECT_EQ(x.error, -1);
    EXPECT_EQ(x.limbs[0], 1000000.0);
    EXPECT_EQ(x.exponent, 10);
}

TEST(Normalize, ExponentLimitIsInclusive) {
    WorkLong ok = MakeRaw(2, 1, 1999999990, {9999999999, 1e10});
    testing::internal::CaptureStdout();
    EXPECT_EQ(Normalize(ok), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(ok.exponent, 2000000000);
    EXPECT_EQ(ok.error, 0);

    WorkLong over = MakeRaw(2, 1, 2000000000, {9999999999, 1e10});
    testing::internal::CaptureStdout();
    EXPECT_EQ(Normalize(over), -2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), MessageText(Message::ExponentLimit));
    EXPECT_EQ(over.exponent, 2000000010);
    EXPECT_EQ(over.error, -1);
    EXPECT_EQ(over.limbs[0], 1.0);
}

TEST(Normalize, QuickPathDoesNotCheckTheExponent) {
    WorkLong x = MakeRaw(2, 1, 2100000000, {5, 1e10 + 1});
    testing::internal::CaptureStdout();
    EXPECT_EQ(Normalize(x), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(x.error, 0);
    EXPECT_EQ(x.limbs[0], 6.0);
}

TEST(Normalize, PrecisionLargestUsesSlot306) {
    // The last live limb of a precision-303 record is slot 306: a carry out of it must arrive.
    WorkLong x = MakeRaw(MAX_PRECISION, 1, 0, {1});
    x.limbs[306] = 1e10;
    x.limbs[305] = 9999999999;
    EXPECT_EQ(Normalize(x), 0);
    EXPECT_EQ(x.limbs[304], 1.0);
    EXPECT_EQ(x.limbs[305], 0.0);
    EXPECT_EQ(x.limbs[306], 0.0);
}

TEST(Normalize, RandomOffGridRecordsKeepTheirValueWhereNoDigitIsPushedOut) {
    reference::RandomLongs random(0x5eed);
    for (int round = 0; round < 300; ++round) {
        const int32_t precision = static_cast<int32_t>(random.Between(1, MAX_PRECISION));
        WorkLong x = random.Next(precision);
        x.limbs[LastLimb(x)] = 0.0;  // room for a shift toward the end
        const int shift = static_cast<int>(random.Between(-9, 9));
        x.exponent += shift;
        // The same value with the exponent moved off the grid: scale the exact value back.
        const mpq_class want = ExactValue(x);
        Normalize(x);
        ASSERT_TRUE(IsCanonical(x)) << reference::Describe(x);
        ASSERT_EQ(ExactValue(x), want) << "precision " << precision << " shift " << shift;
    }
}

}  // namespace
}  // namespace ostrel2

// decimal_text_test.cpp -- decimal text to records and back: exact parsing, truncation of excess
// digits, rejection of malformed text, rounded and exact formatting, round trips.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/gmp_reference.h"
#include "text/decimal_text.h"

namespace ostrel2::text {
namespace {

using reference::ExactValue;
using reference::ParseDecimal;
using reference::Pow10;

// A boundary record with the given fields, further slots 0.
LongNumber Record(int32_t precision, int32_t sign, int32_t exponent,
                  std::initializer_list<double> limbs, int32_t error = 0) {
    LongNumber x;
    std::memset(&x, 0, sizeof x);
    x.sign = sign;
    x.exponent = exponent;
    x.precision = precision;
    x.error = error;
    int k = 0;
    for (double limb : limbs) x.limbs[k++] = limb;
    return x;
}

std::string FormatText(const LongNumber& x, FormatMode mode = FormatMode::Rounded) {
    char buffer[kTextCapacity];
    EXPECT_EQ(Format(x, mode, buffer, sizeof buffer), FormatStatus::Ok);
    return buffer;
}

LongNumber ParseOk(const std::string& text, int32_t precision, bool* inexact = nullptr) {
    LongNumber x;
    std::memset(&x, 0xCD, sizeof x);
    EXPECT_EQ(Parse(text.c_str(), precision, x, inexact), ParseStatus::Ok) << text;
    return x;
}

// Same fields and same 306 slots.
::testing::AssertionResult SameRecord(const LongNumber& a, const LongNumber& b) {
    if (std::memcmp(&a, &b, sizeof a) == 0) return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure();
    failure << "sign " << a.sign << "/" << b.sign << " exponent " << a.exponent << "/"
            << b.exponent << " precision " << a.precision << "/" << b.precision << " error "
            << a.error << "/" << b.error;
    for (int k = 0; k < OSTREL2_LIMB_SLOTS; ++k) {
        if (std::memcmp(&a.limbs[k], &b.limbs[k], sizeof(double)) != 0) {
            failure << " first differing slot " << k << ": " << a.limbs[k] << "/" << b.limbs[k];
            break;
        }
    }
    return failure;
}

TEST(DecimalTextParse, CanonicalRecordsOfHandDerivedValues) {
    constexpr double kZero = -2100000000;
    struct Case {
        const char* text;
        int32_t sign;
        int32_t exponent;
        std::vector<double> limbs;
    };
    const Case cases[] = {
        {"1", 1, 0, {1}},
        {"-1.5", -1, 0, {1, 5000000000}},
        {"123", 1, 0, {123}},
        {"1e10", 1, 10, {1}},
        {"0.001", 1, -10, {10000000}},
        {"+.5", 1, -10, {5000000000}},
        {"5.", 1, 0, {5}},
        {"007.50", 1, 0, {7, 5000000000}},
        {"1E+3", 1, 0, {1000}},
        {"12345678901234567890", 1, 10, {1234567890, 1234567890}},
        {"-1.25e-300", -1, -300, {1, 2500000000}},
        {"9999999999.9999999999", 1, 0, {9999999999, 9999999999}},
        {"0.0000000001", 1, -10, {1}},
        {"31415.9265358979323846", 1, 0, {31415, 9265358979, 3238460000}},
        {"1e2000000009", 1, 2000000000, {1000000000}},
        {"1e-2000000000", 1, -2000000000, {1}},
        {"1e2000000010", 1, 2000000010, {1}},
        {"9.9e2147000009", 1, 2147000000, {9900000000}},
        {"-1e-2147000000", -1, -2147000000, {1}},
        {"0", 0, static_cast<int32_t>(kZero), {}},
        {"-0.000", 0, static_cast<int32_t>(kZero), {}},
        {"0e99999999999999999999", 0, static_cast<int32_t>(kZero), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        bool inexact = true;
        const LongNumber x = ParseOk(c.text, 3, &inexact);
        EXPECT_FALSE(inexact);
        LongNumber expected = Record(3, c.sign, c.exponent, {});
        for (size_t k = 0; k < c.limbs.size(); ++k) expected.limbs[k] = c.limbs[k];
        EXPECT_TRUE(SameRecord(x, expected));
        if (std::abs(c.exponent) < 100000) {
            EXPECT_EQ(ExactValue(x), ParseDecimal(c.text));
        }
    }
}

TEST(DecimalTextParse, MalformedTextIsRejectedWithItsPlace) {
    struct Case {
        const char* text;
        ParseStatus status;
        size_t offset;
    };
    const Case cases[] = {
        {"", ParseStatus::Empty, 0},
        {"-", ParseStatus::NoDigits, 1},
        {".", ParseStatus::NoDigits, 1},
        {"+.e5", ParseStatus::NoDigits, 2},
        {"+-1", ParseStatus::BadCharacter, 1},
        {"abc", ParseStatus::BadCharacter, 0},
        {" 1", ParseStatus::BadCharacter, 0},
        {"1 ", ParseStatus::BadCharacter, 1},
        {"1.2.3", ParseStatus::BadCharacter, 3},
        {"0x10", ParseStatus::BadCharacter, 1},
        {"1e5.0", ParseStatus::BadCharacter, 3},
        {"1,5", ParseStatus::BadCharacter, 1},
        {"1e", ParseStatus::ExponentNoDigits, 2},
        {"1e+", ParseStatus::ExponentNoDigits, 3},
        {"2E-x", ParseStatus::ExponentNoDigits, 3},
        {"1e2147000010", ParseStatus::ExponentRange, 0},
        {"1e-2147000001", ParseStatus::ExponentRange, 0},
        {"-7e99999999999999999999999", ParseStatus::ExponentRange, 0},
        {"0.1e-2147000000", ParseStatus::ExponentRange, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        LongNumber x = Record(2, 1, 0, {42});
        const LongNumber before = x;
        size_t offset = 999;
        EXPECT_EQ(Parse(c.text, 2, x, nullptr, &offset), c.status);
        EXPECT_EQ(offset, c.offset);
        EXPECT_TRUE(SameRecord(x, before)) << "record must stay untouched";
        EXPECT_STRNE(ParseStatusText(c.status), "");
    }
    LongNumber x;
    EXPECT_EQ(Parse(nullptr, 2, x), ParseStatus::Empty);
    EXPECT_EQ(Parse("1", 0, x), ParseStatus::PrecisionRange);
    EXPECT_EQ(Parse("1", 304, x), ParseStatus::PrecisionRange);
    EXPECT_EQ(Parse("1", -5, x), ParseStatus::PrecisionRange);
}

// Digits beyond the live limbs are cut off toward zero: the record's value is the exact value
// truncated to a multiple of the last live limb's unit, with the sign kept.
TEST(DecimalTextParse, ExcessDigitsAreTruncatedTowardZero) {
    reference::RandomLongs random(20240611);
    for (int32_t precision : {1, 2, 7, 302, 303}) {
        const int slots = precision + 4 < OSTREL2_LIMB_SLOTS ? precision + 4 : OSTREL2_LIMB_SLOTS;
        for (int trial = 0; trial < 20; ++trial) {
            std::string text = random.Between(0, 1) ? "-" : "";
            const int64_t length = random.Between(1, slots * 10 + 40);
            const int64_t point = random.Between(0, length);
            for (int64_t k = 0; k < length; ++k) {
                if (k == point) text += '.';
                text += static_cast<char>('0' + random.Between(k == 0 ? 1 : 0, 9));
            }
            text += "e" + std::to_string(random.Between(-500, 500));
            SCOPED_TRACE(text);
            bool inexact = false;
            const LongNumber x = ParseOk(text, precision, &inexact);
            const mpq_class exact = ParseDecimal(text);
            const mpq_class unit = Pow10(static_cast<long>(x.exponent) - 10L * (slots - 1));
            const mpq_class q = abs(exact) / unit;
            mpz_class whole;
            mpz_tdiv_q(whole.get_mpz_t(), q.get_num_mpz_t(), q.get_den_mpz_t());
            mpq_class truncated = mpq_class(whole) * unit;
            if (exact < 0) truncated = -truncated;
            EXPECT_EQ(ExactValue(x), truncated);
            EXPECT_EQ(inexact, truncated != exact);
            EXPECT_TRUE(x.limbs[0] >= 1 && x.limbs[0] < 1e10);
            for (int k = slots; k < OSTREL2_LIMB_SLOTS; ++k) ASSERT_EQ(x.limbs[k], 0.0) << k;
        }
    }
}

TEST(DecimalTextParse, InexactOnlyWhenANonZeroDigitIsCut) {
    // Precision 1: five limbs; a leading limb of one digit leaves room for 41 digits.
    const std::string fits = "1." + std::string(39, '0') + "7";
    bool inexact = true;
    ParseOk(fits, 1, &inexact);
    EXPECT_FALSE(inexact);
    ParseOk(fits + "000000", 1, &inexact);
    EXPECT_FALSE(inexact);
    const LongNumber cut = ParseOk(fits + "0003", 1, &inexact);
    EXPECT_TRUE(inexact);
    EXPECT_EQ(ExactValue(cut), ParseDecimal(fits));
    // Far more digits than any record holds, the only non-zero one at the very end.
    const std::string huge = "5." + std::string(5000, '0');
    ParseOk(huge, 303, &inexact);
    EXPECT_FALSE(inexact);
    const LongNumber tail = ParseOk(huge + "1", 303, &inexact);
    EXPECT_TRUE(inexact);
    EXPECT_EQ(ExactValue(tail), 5);
    // Precision 303: 306 slots exist, so the last digit kept is the 3,051st after a leading 1.
    const std::string full = "1." + std::string(3049, '0') + "9";
    EXPECT_EQ(ExactValue(ParseOk(full, 303, &inexact)), ParseDecimal(full));
    EXPECT_FALSE(inexact);
    EXPECT_EQ(ExactValue(ParseOk(full + "9", 303, &inexact)), ParseDecimal(full + "0"));
    EXPECT_TRUE(inexact);
}

TEST(DecimalTextFormat, RoundedAndExactText) {
    struct Case {
        LongNumber record;
        FormatMode mode;
        const char* text;
    };
    const Case cases[] = {
        {Record(1, 1, 0, {1}), FormatMode::Rounded, "1"},
        {Record(2, -1, 0, {1, 5000000000}), FormatMode::Rounded, "-1.5"},
        // A leading limb of one digit: the next limb is shown as well (ten digits promised).
        {Record(1, -1, 0, {1, 5000000000}), FormatMode::Rounded, "-1.5"},
        {Record(1, 1, 10, {1, 2345678901}), FormatMode::Rounded, "12345678901"},
        {Record(4, 0, -2100000000, {}), FormatMode::Rounded, "0"},
        {Record(4, 1, 50, {}), FormatMode::Rounded, "0"},  // signed, every limb 0
        {Record(2, 1, 10, {1}), FormatMode::Rounded, "10000000000"},
        {Record(2, 1, -10, {10000000}), FormatMode::Rounded, "0.001"},
        {Record(2, 1, 20, {1}), FormatMode::Rounded, "100000000000000000000"},
        {Record(2, 1, 30, {1}), FormatMode::Rounded, "1e30"},
        {Record(2, 1, 20, {12}), FormatMode::Rounded, "1200000000000000000000"},
        {Record(2, 1, 20, {120}), FormatMode::Rounded, "1.2e22"},
        {Record(3, 1, 20, {1234, 5678901234, 5678901234}), FormatMode::Rounded,
         "123456789012345678901234"},
        {Record(2, 1, 20, {1234, 5678901234, 5678901234}), FormatMode::Rounded,
         "123456789012345678901234"},
        // No zero before the point stands for a digit rounded away: scientific then.
        {Record(1, 1, 20, {1234, 5678901234, 5678901234}), FormatMode::Rounded,
         "1.2345678901235e23"},
        {Record(1, 1, 50, {1234, 5678901234, 5678901234}), FormatMode::Rounded,
         "1.2345678901235e53"},
        {Record(1, 1, 10, {1234567890, 1}), FormatMode::Rounded, "1.23456789e19"},
        {Record(5, 1, 50, {1234567890, 1234567890, 1234567890, 1234567890, 1234567890, 1234567891}),
         FormatMode::Rounded, "1.234567890123456789012345678901234567890123456789e59"},
        // ... but a zero that is a digit of the rounded text is written.
        {Record(1, 1, 0, {1234567890, 1}), FormatMode::Rounded, "1234567890"},
        {Record(2, 1, -10, {1000}), FormatMode::Rounded, "0.0000001"},
        {Record(2, 1, -10, {100}), FormatMode::Rounded, "1e-8"},
        {Record(2, -1, -300, {1, 2500000000}), FormatMode::Rounded, "-1.25e-300"},
        {Record(1, 1, 2000000000, {9, 0, 1}), FormatMode::Rounded, "9e2000000000"},
        {Record(1, 1, 2000000000, {9, 1}), FormatMode::AllLimbs, "9.0000000001e2000000000"},
        // Half-even on the guard limbs; at precision 1 a full first limb is all that shows.
        {Record(1, 1, 0, {1000000001, 5000000000}), FormatMode::Rounded, "1000000002"},
        {Record(1, 1, 0, {1000000002, 5000000000}), FormatMode::Rounded, "1000000002"},
        {Record(1, 1, 0, {1000000002, 5000000000, 0, 0, 1}), FormatMode::Rounded, "1000000003"},
        {Record(1, 1, 0, {1000000002, 4999999999, 9999999999, 9999999999, 9999999999}),
         FormatMode::Rounded, "1000000002"},
        {Record(1, -1, 0, {1000000002, 5000000001}), FormatMode::Rounded, "-1000000003"},
        {Record(1, -1, 0, {1000000003, 5000000000}), FormatMode::Rounded, "-1000000004"},
        {Record(1, 1, 0, {1, 2, 3, 4, 5}), FormatMode::Rounded, "1.0000000002"},
        {Record(1, 1, 0, {2, 4999999999, 5000000000}), FormatMode::Rounded, "2.5"},
        {Record(1, 1, 0, {9999999999, 5000000001}), FormatMode::Rounded, "10000000000"},
        {Record(1, 1, -10, {9999999999, 5000000000}), FormatMode::Rounded, "1"},
        {Record(1, 1, 0, {1, 2345678901, 5000000000}), FormatMode::Rounded, "1.2345678902"},
        {Record(1, 1, 0, {1, 2345678902, 5000000000}), FormatMode::Rounded, "1.2345678902"},
        {Record(2, 1, 0, {1, 2345678901, 5000000000}), FormatMode::Rounded, "1.23456789015"},
        // A slot beyond the live limbs (precision 1: slots 0 .. 4) never counts.
        {Record(1, 1, 0, {1, 0, 0, 0, 0, 9999999999}), FormatMode::AllLimbs, "1"},
        {Record(1, 1, 0, {1, 2, 3, 4, 5}), FormatMode::AllLimbs,
         "1.0000000002000000000300000000040000000005"},
        // The error field does not change the text.
        {Record(3, 1, 0, {1, 5000000000}, -1), FormatMode::Rounded, "1.5"},
        {Record(3, 0, -2100000000, {}, -3), FormatMode::Rounded, "0"},
        // Records off the canonical grid still have their value written.
        {Record(1, 1, 3, {5}), FormatMode::Rounded, "5000"},
        {Record(1, 1, 10, {0, 7}), FormatMode::Rounded, "7"},
        {Record(1, 1, 10, {0, 7, 5000000000}), FormatMode::Rounded, "7.5"},
        {Record(1, 1, 10, {0, 7000000001, 5000000000}), FormatMode::Rounded, "7000000002"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatText(c.record, c.mode), c.text);
    }
}

TEST(DecimalTextFormat, RecordsWithoutDecimalTextAndShortBuffers) {
    const double nan = std::nan("");
    const LongNumber bad[] = {
        Record(1, 1, 0, {1e10}),      Record(1, 1, 0, {1, -1}),  Record(1, 1, 0, {1, 0.5}),
        Record(1, 1, 0, {1, 0, nan}), Record(1, 2, 0, {1}),      Record(0, 1, 0, {1}),
        Record(304, 1, 0, {1}),       Record(1, 1, 0, {1, 0, 0, 0, 1e300}),
    };
    for (const LongNumber& x : bad) {
        char buffer[kTextCapacity] = "junk";
        EXPECT_EQ(Format(x, FormatMode::Rounded, buffer, sizeof buffer), FormatStatus::NotWellFormed);
        EXPECT_STREQ(buffer, "");
    }
    char small[5] = "junk";
    EXPECT_EQ(Format(Record(2, -1, 0, {1, 5000000000}), FormatMode::Rounded, small, 4),
              FormatStatus::BufferTooSmall);
    EXPECT_STREQ(small, "");
    EXPECT_EQ(Format(Record(2, -1, 0, {1, 5000000000}), FormatMode::Rounded, small, 5),
              FormatStatus::Ok);
    EXPECT_STREQ(small, "-1.5");
}

// The longest texts: every slot of precision 303 full of nines, far from the point.
TEST(DecimalTextFormat, LongestTextsFitTheCapacity) {
    for (int32_t exponent : {0, 3000, -3000}) {
        LongNumber x = Record(303, -1, exponent, {});
        for (double& limb : x.limbs) limb = 9999999999;
        char buffer[kTextCapacity];
        ASSERT_EQ(Format(x, FormatMode::AllLimbs, buffer, sizeof buffer), FormatStatus::Ok);
        EXPECT_EQ(ExactValue(x), ParseDecimal(buffer));
        ASSERT_EQ(Format(x, FormatMode::Rounded, buffer, sizeof buffer), FormatStatus::Ok);
        EXPECT_EQ(ParseDecimal(buffer), -Pow10(static_cast<long>(exponent) + 10));
    }
    // At the ends of the exponent range the value is too large for an exact check; the text is
    // the run of 3,060 nines in scientific form.
    for (int32_t exponent : {-2000000000, 2000000000}) {
        LongNumber x = Record(303, -1, exponent, {});
        for (double& limb : x.limbs) limb = 9999999999;
        char buffer[kTextCapacity];
        ASSERT_EQ(Format(x, FormatMode::AllLimbs, buffer, sizeof buffer), FormatStatus::Ok);
        EXPECT_EQ(std::string(buffer),
                  "-9." + std::string(3059, '9') + "e" + std::to_string(exponent + 9LL));
        ASSERT_EQ(Format(x, FormatMode::Rounded, buffer, sizeof buffer), FormatStatus::Ok);
        EXPECT_EQ(std::string(buffer), "-1e" + std::to_string(exponent + 10LL));
    }
}

// The rounded text against exact half-even rounding of the value to the unit of the last limb
// shown: limb p - 1, or limb p when limb 0 has fewer than ten digits.
TEST(DecimalTextFormat, RoundedTextMatchesExactHalfEvenRounding) {
    reference::RandomLongs random(77);
    for (int32_t precision : {1, 2, 5, 40, 303}) {
        for (int trial = 0; trial < 25; ++trial) {
            const LongNumber x = reference::ToBoundary(random.Next(precision, -400, 400));
            const mpq_class exact = ExactValue(x);
            const long shown = precision + (x.limbs[0] < 1e9 ? 1 : 0);
            const mpq_class unit = Pow10(static_cast<long>(x.exponent) - 10L * (shown - 1));
            const mpq_class q = abs(exact) / unit;
            mpz_class down;
            mpz_fdiv_q(down.get_mpz_t(), q.get_num_mpz_t(), q.get_den_mpz_t());
            const mpq_class fraction = q - down;
            if (fraction > mpq_class(1, 2) || (fraction == mpq_class(1, 2) && mpz_odd_p(down.get_mpz_t())))
                ++down;
            mpq_class expected = mpq_class(down) * unit;
            if (exact < 0) expected = -expected;
            const std::string text = FormatText(x);
            SCOPED_TRACE(text);
            EXPECT_EQ(ParseDecimal(text), expected);
            EXPECT_EQ(ParseDecimal(FormatText(x, FormatMode::AllLimbs)), exact);
        }
    }
}

TEST(DecimalTextRoundTrip, CanonicalTextComesBackUnchanged) {
    const char* texts[] = {
        "0", "1", "-1.5", "123.456", "1e30", "-1.25e-300", "0.0000001", "1e-8", "1e21", "1200000000000000000000", "1.2e22",
        "100000000000000000000", "12345678901234567890", "-0.5",
        "3.14159265358979323846264338327950288419716939937510582097494459",
        "2.718281828459045235360287471352662497757e-2000000000",
        "9.999999999999999999e2000000009", "4.2e100", "-7.00000000000000000000000000001",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        EXPECT_EQ(FormatText(ParseOk(text, 8)), text);
        EXPECT_EQ(FormatText(ParseOk(text, 8), FormatMode::AllLimbs), text);
    }
    // Texts in other spellings come back in the canonical one.
    const std::pair<const char*, const char*> spellings[] = {
        {"+.5", "0.5"}, {"1e10", "10000000000"}, {"007.50", "7.5"}, {"-0", "0"},
        {"1.2E+3", "1200"}, {"0.000125e4", "1.25"}, {"1000e-11", "1e-8"},
    };
    for (const auto& [text, canonical] : spellings) {
        EXPECT_EQ(FormatText(ParseOk(text, 3)), canonical) << text;
    }
}

// Random digit strings that fit the shown limbs: the text read back gives the same record.
TEST(DecimalTextRoundTrip, RandomValuesSurviveFormatAndParse) {
    reference::RandomLongs random(5150);
    for (int32_t precision : {1, 3, 303}) {
        for (int trial = 0; trial < 30; ++trial) {
            const int64_t length = random.Between(1, precision * 10 - 9);
            std::string text = random.Between(0, 1) ? "-" : "";
            for (int64_t k = 0; k < length; ++k) {
                text += static_cast<char>('0' + random.Between(k == 0 ? 1 : 0, 9));
            }
            text += "e" + std::to_string(random.Between(-3000, 3000));
            SCOPED_TRACE(text);
            bool inexact = true;
            const LongNumber x = ParseOk(text, precision, &inexact);
            EXPECT_FALSE(inexact);
            EXPECT_EQ(ExactValue(x), ParseDecimal(text));
            const std::string shown = FormatText(x);
            EXPECT_EQ(ParseDecimal(shown), ParseDecimal(text));
            EXPECT_TRUE(SameRecord(ParseOk(shown, precision), x));
        }
    }
}

}  // namespace
}  // namespace ostrel2::text

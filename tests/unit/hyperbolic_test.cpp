// hyperbolic_test.cpp -- the six hyperbolic functions against MPFR, both sides of each boundary
// where a formula gives way to a series or a mirror, cosh^2 - sinh^2 = 1, the domain failures and
// the refused arguments with their messages, and aliasing.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "arith/transform/multiply_transform.h"
#include "core/diagnostics.h"
#include "core/long_number.h"
#include "transcendental/hyperbolic.h"
#include "support/gmp_reference.h"
#include "support/mpfr_reference.h"
#include "support/unary_accuracy.h"

namespace ostrel2 {
namespace {

using reference::ExactValue;
using reference::FirstLimbsCorrect;
using reference::MakeLong;
using reference::MakeRaw;
using reference::Mpfr;
using reference::Pow10;
using reference::RandomLongs;

struct Function {
    const char* name;
    reference::UnaryWorker worker;
    reference::MpfrUnary reference;
};

const Function kSinh{"sinh", SinhLong, mpfr_sinh};
const Function kCosh{"cosh", CoshLong, mpfr_cosh};
const Function kTanh{"tanh", TanhLong, mpfr_tanh};
const Function kAsinh{"asinh", AsinhLong, mpfr_asinh};
const Function kAcosh{"acosh", AcoshLong, mpfr_acosh};
const Function kAtanh{"atanh", AtanhLong, mpfr_atanh};
const Function kOdd[] = {kSinh, kTanh, kAsinh, kAtanh};


// The worker's result for x has its first p limbs correct against MPFR, and no error. Returns
// the correct digits.
double CheckAgainstMpfr(const Function& f, const WorkLong& x, int32_t p) {
    SCOPED_TRACE(f.name);
    return reference::CheckUnaryAgainstMpfr(f.worker, f.reference, x, p);
}

// A full-length random record of the given exponent and sign whose leading limb is at most
// `leadMax`.
WorkLong RandomArgument(RandomLongs& random, int32_t p, int32_t exponent, int64_t leadMax,
                        int32_t sign) {
    WorkLong x = random.Next(p, exponent, exponent, false);
    x.limbs[0] = static_cast<double>(random.Between(1, leadMax));
    x.sign = sign;
    return x;
}

// Full-length arguments where each formula holds (|x| from 10^-10 to 20, atanh inside (-1, 1),
// acosh from 1 to 20) at precisions 1 to 100, and the short argument 0.75 (acosh 1.75) at 303.
TEST(Hyperbolic, MatchesMpfr) {
    RandomLongs random(5501);
    const struct {
        int32_t precision;
        int count;
    } kRuns[] = {{1, 8}, {5, 8}, {30, 3}, {100, 1}};
    const Function kAll[] = {kSinh, kCosh, kTanh, kAsinh, kAcosh, kAtanh};
    for (const auto& run : kRuns) {
        const int32_t p = run.precision;
        for (const Function& f : kAll) {
            double worst = 1e9;
            for (int i = 0; i < run.count; ++i) {
                // Below 1 (|x| from 10^-10) and from 1 to 20, alternately; acosh only from 1,
                // atanh only below 1.
                const bool belowOne =
                    f.worker == AtanhLong || (f.worker != AcoshLong && i % 2 == 0);
                const int32_t sign = f.worker == AcoshLong || i % 4 < 2 ? 1 : -1;
                const WorkLong x = belowOne ? RandomArgument(random, p, -10, 9999999999, sign)
                                            : RandomArgument(random, p, 0, 19, sign);
                const double digits = CheckAgainstMpfr(f, x, p);
                if (digits < worst) worst = digits;
            }
            RecordProperty(std::string(f.name) + "_worst_digits_p" + std::to_string(p),
                           std::to_string(worst));
        }
    }
    for (const Function& f : kAll) {
        CheckAgainstMpfr(f, MakeLong(f.worker == AcoshLong ? "1.75" : "0.75", 303), 303);
    }
}

// Small arguments: below 10^-10 (exponent -20 and lower) the odd functions are summed from their
// series. Both sides of the boundary, full-length, and on down to 10^-(10 p) and beyond, where
// the formulas would give exactly 0. Besides the first p limbs, the series keep 5 digits more:
// the formulas lose about log10(1/|x|) digits of the 30 their guard limbs hold, at most 10 down
// to 10^-10, but 20 at 10^-20, which leaves the promised limbs without a margin (and takes them
// at precision 30).
TEST(Hyperbolic, SmallArgumentsKeepTheirLimbs) {
    RandomLongs random(5502);
    auto check = [](const Function& f, const WorkLong& x, int32_t p) {
        EXPECT_GE(CheckAgainstMpfr(f, x, p), 10.0 * p + 5) << f.name << " at precision " << p;
    };
    for (int32_t p : {1, 5, 30, 100}) {
        for (const Function& f : kOdd) {
            // The last formula argument, 1.xxx... x 10^-10, then the series: 9.99... x 10^-11 and
            // 1.xxx... x 10^-20, all limbs filled.
            CheckAgainstMpfr(f, RandomArgument(random, p, -10, 1, 1), p);
            check(f, RandomArgument(random, p, -20, 9999999999, -1), p);
            check(f, RandomArgument(random, p, -20, 1, 1), p);
            check(f, RandomArgument(random, p, -10 * p - 10, 9999999999, -1), p);
            check(f, MakeRaw(p, 1, -10 * p - 1000, {3}), p);
        }
    }
    for (const Function& f : kOdd) check(f, MakeLong("-1.5e-15", 303), 303);
}

// sinh of 10^-(10 p + 100) is that argument, not 0, and so are tanh, asinh and atanh; the
// argument's square lies below the smallest exponent a product may have and is never formed.
TEST(Hyperbolic, FarBelowOneTheOddFunctionsAreTheirArgument) {
    for (const Function& f : kOdd) {
        WorkLong x = MakeRaw(5, -1, -2000000000, {7});
        WorkLong y;
        testing::internal::CaptureStdout();
        f.worker(y, x);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << f.name;
        EXPECT_EQ(y.error, 0) << f.name;
        EXPECT_EQ(y.sign, -1) << f.name;
        EXPECT_EQ(y.exponent, -2000000000) << f.name;
        EXPECT_EQ(y.limbs[0], 7.0) << f.name;
    }
}

// asinh of a negative x: x + sqrt(x^2 + 1) cancels about log10(2 x^2) digits. Up to |x| < 10^10
// the formula keeps the limbs; from 10^10 on asinh x = -asinh(-x). Far out the formula's sum
// reaches zero or below, which the logarithm would refuse.
TEST(AsinhLong, NegativeArgumentsOnBothSidesOfTheMirror) {
    RandomLongs random(5503);
    for (int32_t p : {1, 5, 30, 100}) {
        CheckAgainstMpfr(kAsinh, RandomArgument(random, p, 0, 9999999999, -1), p);
        CheckAgainstMpfr(kAsinh, RandomArgument(random, p, 10, 1, -1), p);
        CheckAgainstMpfr(kAsinh, RandomArgument(random, p, 20, 9999999999, -1), p);
        CheckAgainstMpfr(kAsinh, RandomArgument(random, p, 1000, 9999999999, -1), p);
    }
}

// Arguments far from 0: asinh and acosh from 10^1,000,000,000 on are ln 2|x| (x^2 would pass the
// products' exponents); just below, the formulas run and take the logarithm of about 2x beyond the
// fold's exponent limit. Both sides, out to the top of the record's exponents, asinh of either
// sign. sinh, cosh and tanh of +-4.7 x 10^9, whose e^|x| = 10^2,041,184,064.9 lies beyond the
// products' limit and within the record's.
TEST(Hyperbolic, ArgumentsFarFromZero) {
    const struct {
        int32_t exponent;
        double limb0;
    } kHuge[] = {{999999990, 9999999999}, {1000000000, 1}, {1500000000, 3},
                 {2147000000, 9999999999}};
    for (int32_t p : {1, 5, 30}) {
        for (const auto& c : kHuge) {
            const WorkLong x = MakeRaw(p, 1, c.exponent, {c.limb0, 1234567890, 5});
            WorkLong negative = x;
            negative.sign = -1;
            SCOPED_TRACE("exponent " + std::to_string(c.exponent) + " at precision " +
                         std::to_string(p));
            CheckAgainstMpfr(kAsinh, x, p);
            CheckAgainstMpfr(kAsinh, negative, p);
            CheckAgainstMpfr(kAcosh, x, p);
        }
        for (const char* text : {"4.7e9", "-4.7e9"}) {
            for (const Function& f : {kSinh, kCosh, kTanh}) {
                CheckAgainstMpfr(f, MakeLong(text, p), p);
            }
        }
    }
}

// tanh from |x| = 4,943,650,194 on is exactly +-1: sign, exponent 0, limbs 1, 0, 0, ... at
// max(p, 5), error 0 and no message. Beyond 4,943,650,194.658... e^-|x| would leave the record's
// exponents and the quotient failed; 10^10 and 1,234,567,890,123.5 are where that showed first.
// MPFR's tanh rounds to +-1 there too.
TEST(TanhLong, FromTheUnitBoundItIsExactlyOne) {
    const char* const kArguments[] = {"1e10",    "-1e10",  "1234567890123.5", "-1234567890123.5",
                                      "1.01e12", "4.95e9", "-4.95e9",         "4943650194",
                                      "-4943650194.6582160836"};
    auto check = [](const char* text, int32_t p) {
        SCOPED_TRACE(std::string("tanh ") + text + " at precision " + std::to_string(p));
        CheckAgainstMpfr(kTanh, MakeLong(text, p), p);
        WorkLong x = MakeLong(text, p);
        WorkLong y;
        testing::internal::CaptureStdout();
        TanhLong(y, x);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(y.error, 0);
        EXPECT_EQ(y.sign, text[0] == '-' ? -1 : 1);
        EXPECT_EQ(y.exponent, 0);
        EXPECT_EQ(y.precision, p < TRANSFORM_MIN_PRECISION ? TRANSFORM_MIN_PRECISION : p);
        EXPECT_EQ(y.limbs[0], 1.0);
        for (int32_t k = 1; k <= LastLimb(y); ++k) EXPECT_EQ(y.limbs[k], 0.0) << "limb " << k;
    };
    for (int32_t p : {1, 5, 30}) {
        for (const char* text : kArguments) check(text, p);
    }
    check("-1e10", 303);
    check("4.95e9", 303);
}

// sinh and cosh from |x| = 4,943,650,194 to 10^10 take e^|x| alone: from 4,943,650,194.658... on
// e^-|x| leaves the record's exponents, and its refusal failed results that fit, up to about
// 10^2,147,000,009.7. Beyond, e^|x| itself overflows: one report, error -1.
TEST(Hyperbolic, SinhAndCoshWhereTheReciprocalExponentialLeavesTheRecord) {
    for (int32_t p : {1, 5, 30}) {
        for (const char* text : {"4943650194", "-4943650194.6582160836", "4943650200",
                                 "-4943650215", "4943650217.5"}) {
            for (const Function& f : {kSinh, kCosh}) {
                SCOPED_TRACE(std::string(text) + " at precision " + std::to_string(p));
                CheckAgainstMpfr(f, MakeLong(text, p), p);
            }
        }
    }
    CheckAgainstMpfr(kCosh, MakeLong("-4943650200", 303), 303);
    const std::string overflow = MessageText(Message::Overflow);
    for (const Function& f : {kSinh, kCosh}) {
        for (const char* text : {"4943650218", "-9999999999"}) {
            WorkLong x = MakeLong(text, 5);
            WorkLong y;
            testing::internal::CaptureStdout();
            f.worker(y, x);
            EXPECT_EQ(testing::internal::GetCapturedStdout(), overflow) << f.name << " " << text;
            EXPECT_EQ(y.sign, 0) << f.name << " " << text;
            EXPECT_EQ(y.error, -1) << f.name << " " << text;
        }
    }
}

// Just below the bound, 4,943,650,193.9999999999, tanh is still the quotient of the exponentials,
// with the limbs it had before the bound was drawn: 1 at precisions 5 and 303, 0.99...9 at 30.
TEST(TanhLong, JustBelowTheUnitBoundTheQuotientStands) {
    const struct {
        int32_t precision;
        int32_t exponent;
        double leading;  // limbs 0 .. p + 2
        double last;     // limb p + 3
    } kCases[] = {{1, 0, 1, 0}, {5, 0, 1, 0}, {30, -10, 9999999999, 7657351325},
                  {303, 0, 1, 0}};
    for (const auto& c : kCases) {
        for (int32_t sign : {1, -1}) {
            const WorkLong x = MakeRaw(c.precision, sign, 0, {4943650193, 9999999999});
            SCOPED_TRACE("sign " + std::to_string(sign) + " at precision " +
                         std::to_string(c.precision));
            CheckAgainstMpfr(kTanh, x, c.precision);
            WorkLong copy = x;
            WorkLong y;
            TanhLong(y, copy);
            EXPECT_EQ(y.error, 0);
            EXPECT_EQ(y.sign, sign);
            EXPECT_EQ(y.exponent, c.exponent);
            const int32_t last = LastLimb(y);
            EXPECT_EQ(y.limbs[0], c.leading);
            for (int32_t k = 1; k < last; ++k) {
                EXPECT_EQ(y.limbs[k], c.leading == 1 ? 0.0 : c.leading) << "limb " << k;
            }
            EXPECT_EQ(y.limbs[last], c.last);
        }
    }
}

// cosh^2 x - sinh^2 x = 1 within a few units of the squares' last kept limb.
TEST(Hyperbolic, CoshSquaredMinusSinhSquaredIsOne) {
    RandomLongs random(5504);
    for (int32_t p : {5, 30}) {
        for (int i = 0; i < 4; ++i) {
            WorkLong x = RandomArgument(random, p, i % 2 ? 0 : -10, 9, i % 2 ? 1 : -1);
            WorkLong c;
            WorkLong s;
            WorkLong a = x;
            WorkLong b = x;
            CoshLong(c, a);
            SinhLong(s, b);
            const mpq_class cc = ExactValue(c) * ExactValue(c);
            const mpq_class difference = cc - ExactValue(s) * ExactValue(s);
            const mpq_class unit = cc * Pow10(-10L * (p + 1));
            EXPECT_LT(abs(difference - 1), unit) << "precision " << p << " " << reference::Describe(x);
        }
    }
}

// sinh and cosh of an argument that the exponential refuses carry the exponentials' errors (each
// exponential prints its message); tanh of a flagged argument gives the division's 0 / 0. One
// limb inside the range, the functions answer without error.
TEST(Hyperbolic, RefusedArgumentsComeBackFlagged) {
    const std::string range = MessageText(Message::ExpRange);
    const std::string overflow = MessageText(Message::RealPowerOverflow);
    const struct {
        Function f;
        WorkLong x;
        std::string message;
    } kCases[] = {
        {kSinh, MakeLong("1.01e12", 5), range + range},
        {kCosh, MakeLong("-1.01e12", 5), range + range},
        {kSinh, MakeLong("1e12", 5), overflow + overflow},
        {kCosh, MakeLong("1e12", 5), overflow + overflow},
        // A flagged argument: both exponentials fail quietly; their zero over zero is a failure
        // passed on, without the division's own message, also beyond the bound from which an
        // unflagged tanh is +-1.
        {kTanh, MakeRaw(5, 1, 0, {3}, -1), ""},
        {kTanh, MakeRaw(5, -1, 20, {3}, -1), ""},
        // Inside the range, but the powers of e overflow: the integer power's own reports, in
        // its own order ("*" below: some message).
        {kSinh, MakeLong("5e9", 5), "*"},
        {kCosh, MakeLong("-5e9", 5), "*"},
        {kSinh, MakeRaw(5, 1, 0, {3}, -1), ""},
        {kCosh, MakeRaw(5, 1, 0, {3}, -1), ""},
    };
    for (const auto& c : kCases) {
        WorkLong x = c.x;
        WorkLong y;
        testing::internal::CaptureStdout();
        c.f.worker(y, x);
        const std::string printed = testing::internal::GetCapturedStdout();
        if (c.message == "*") {
            EXPECT_NE(printed.find(MessageText(Message::Overflow)), std::string::npos) << c.f.name;
        } else {
            EXPECT_EQ(printed, c.message) << c.f.name;
        }
        EXPECT_EQ(y.sign, 0) << c.f.name;
        EXPECT_LE(y.error, -1) << c.f.name;
    }
    CheckAgainstMpfr(kSinh, MakeLong("-1000", 5), 5);
    CheckAgainstMpfr(kCosh, MakeLong("1000", 5), 5);
}

TEST(Hyperbolic, ZerosAndOnes) {
    const struct {
        Function f;
        const char* x;
        int value;
    } kCases[] = {{kSinh, "0", 0}, {kCosh, "0", 1}, {kTanh, "0", 0},
                  {kAsinh, "0", 0}, {kAcosh, "1", 0}, {kAtanh, "0", 0}};
    for (const auto& c : kCases) {
        WorkLong x = MakeLong(c.x, 6);
        WorkLong y;
        testing::internal::CaptureStdout();
        c.f.worker(y, x);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << c.f.name;
        // cosh 0 halves 2 by a short division, which leaves 0.99...9 (last limb 9,999,999,999).
        EXPECT_TRUE(reference::WithinLastLimbUnits(y, c.value, 1)) << c.f.name;
        EXPECT_EQ(y.error, 0) << c.f.name;
    }
    // asinh of a flagged zero is zero with error -1, and no logarithm is taken.
    WorkLong flagged = MakeRaw(6, 0, ZERO_EXPONENT, {0}, -1);
    WorkLong y;
    AsinhLong(y, flagged);
    EXPECT_EQ(y.sign, 0);
    EXPECT_EQ(y.error, -1);
}

// acosh below 1 or of a negative x, atanh from |x| = 1 on: the message alone (its bytes on
// standard output, and its English text once to a sink), and zero of the argument's precision
// with error -1. acosh far from 1 on either side of it, where x^2 would leave the products'
// exponents (and was reported so ahead of the domain), among them a far-below x that is not
// normalised.
TEST(Hyperbolic, DomainFailures) {
    const struct {
        Function f;
        WorkLong x;
        Message message;
    } kCases[] = {
        {kAcosh, MakeLong("0.5", 7), Message::AcoshDomain},
        {kAcosh, MakeLong("0", 7), Message::AcoshDomain},
        {kAcosh, MakeLong("-1", 7), Message::AcoshDomain},
        {kAcosh, MakeLong("-2", 7), Message::AcoshDomain},
        {kAcosh, MakeRaw(7, -1, 1000000010, {1}), Message::AcoshDomain},
        {kAcosh, MakeRaw(7, -1, 2146999990, {99}), Message::AcoshDomain},
        {kAcosh, MakeRaw(7, -1, 2147000000, {9999999999, 1}), Message::AcoshDomain},
        {kAcosh, MakeRaw(7, 1, -2147000000, {1}), Message::AcoshDomain},
        {kAcosh, MakeRaw(7, -1, -1500000000, {5}), Message::AcoshDomain},
        {kAcosh, MakeRaw(7, 1, -1500000000, {0, 0, 5}), Message::AcoshDomain},
        {kAtanh, MakeLong("1", 7), Message::AtanhDomain},
        {kAtanh, MakeLong("-1", 7), Message::AtanhDomain},
        {kAtanh, MakeLong("2", 7), Message::AtanhDomain},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.f.name) + " " + reference::Describe(c.x));
        WorkLong x = c.x;
        WorkLong y;
        testing::internal::CaptureStdout();
        c.f.worker(y, x);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), MessageText(c.message));
        EXPECT_EQ(y.sign, 0);
        EXPECT_EQ(y.exponent, ZERO_EXPONENT);
        EXPECT_EQ(y.precision, 7);
        EXPECT_EQ(y.error, -1);

        char english[256] = "";
        MessageSink sink;
        sink.english = english;
        sink.englishCapacity = sizeof english;
        x = c.x;
        {
            CatchMessages caught(sink);
            c.f.worker(y, x);
        }
        EXPECT_EQ(sink.count, 1);
        EXPECT_STREQ(english, EnglishText(c.message));
    }
}

TEST(Hyperbolic, ResultMayBeTheArgumentRecord) {
    const Function kAll[] = {kSinh, kCosh, kTanh, kAsinh, kAcosh, kAtanh};
    for (const Function& f : kAll) {
        for (const char* text : {"0.375", "-2e-15"}) {
            if (f.worker == AcoshLong && text[0] == '-') continue;
            WorkLong x = MakeLong(f.worker == AcoshLong ? "1.375" : text, 5);
            WorkLong copy = x;
            WorkLong y;
            f.worker(y, copy);
            f.worker(x, x);
            EXPECT_EQ(ExactValue(x), ExactValue(y)) << f.name << " " << text;
        }
    }
}

}  // namespace
}  // namespace ostrel2

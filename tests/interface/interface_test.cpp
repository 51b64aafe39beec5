// interface_test.cpp -- the exports as a caller sees them: the precision guard, untouched
// argument records, results written whole, the largest precision, and values against exact
// rational arithmetic.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ostrel2.h"
#include "support/gmp_reference.h"

namespace {

using ostrel2::reference::ExactValue;
using ostrel2::reference::FromBoundary;
using ostrel2::reference::RandomLongs;
using ostrel2::reference::ToBoundary;

using Unary = LongNumber*(OSTREL2_CALL*)(LongNumber*, const LongNumber*);
using Binary = LongNumber*(OSTREL2_CALL*)(LongNumber*, const LongNumber*, const LongNumber*);

struct UnaryExport {
    const char* name;
    Unary call;
};
struct BinaryExport {
    const char* name;
    Binary call;
};

const UnaryExport kUnary[] = {
    {"Abs_XL", Abs_XL},
    {"Fix_XL", Fix_XL},
    {"Round_XL", Round_XL},
};

const BinaryExport kBinary[] = {
    {"Mod_XL", Mod_XL},           {"Add_XL", Add_XL},         {"Subtract_XL", Subtract_XL},
    {"Multipl2_XL", Multipl2_XL}, {"Multipl_XL", Multipl_XL}, {"Div2_XL", Div2_XL},
    {"Div_XL", Div_XL},
};

LongNumber Random(RandomLongs& random, int32_t precision, int32_t lo = -60, int32_t hi = 60) {
    return ToBoundary(random.Next(precision, lo, hi));
}

LongNumber Garbage(unsigned char byte) {
    LongNumber x;
    std::memset(&x, byte, sizeof x);
    return x;
}

// The guard's answer: zero at precision 303 with error -1, every limb slot 0.
void ExpectGuardRecord(const LongNumber& r) {
    EXPECT_EQ(r.sign, 0);
    EXPECT_EQ(r.exponent, -2100000000);
    EXPECT_EQ(r.precision, 303);
    EXPECT_EQ(r.error, -1);
    for (int k = 0; k < OSTREL2_LIMB_SLOTS; ++k) ASSERT_EQ(r.limbs[k], 0.0) << "slot " << k;
}

TEST(Interface, VersionNumber) {
    EXPECT_EQ(Version_XL(), 20091025);
    EXPECT_EQ(Version_XL(), 20091025);
}

TEST(Interface, GuardRefusesPrecisionsOutsideOneTo303) {
    RandomLongs random(11);
    const int32_t refused[] = {304, 400, 0, -1, INT_MIN, INT_MAX};
    for (int32_t precision : refused) {
        SCOPED_TRACE(precision);
        LongNumber good = Random(random, 303);
        LongNumber bad = Random(random, 5);
        bad.precision = precision;
        for (const BinaryExport& e : kBinary) {
            SCOPED_TRACE(e.name);
            for (int side = 0; side < 2; ++side) {
                LongNumber r = Garbage(0xAB);
                testing::internal::CaptureStdout();
                LongNumber* returned = side == 0 ? e.call(&r, &bad, &good) : e.call(&r, &good, &bad);
                EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
                EXPECT_EQ(returned, &r);
                ExpectGuardRecord(r);
            }
        }
        for (const UnaryExport& e : kUnary) {
            SCOPED_TRACE(e.name);
            LongNumber r = Garbage(0xAB);
            EXPECT_EQ(e.call(&r, &bad), &r);
            ExpectGuardRecord(r);
        }
    }
}

TEST(Interface, GcdGuardAnswersOneAndLeavesTheArgumentsAlone) {
    RandomLongs random(12);
    LongNumber x = Random(random, 20);
    LongNumber y = Random(random, 5);
    y.precision = 304;
    const LongNumber x0 = x;
    const LongNumber y0 = y;
    LongNumber r = Garbage(0xCD);
    EXPECT_EQ(LCM_XL(&r, &x, &y), &r);
    EXPECT_EQ(r.sign, 1);
    EXPECT_EQ(r.exponent, 0);
    EXPECT_EQ(r.precision, 20);
    EXPECT_EQ(r.error, -1);
    EXPECT_EQ(r.limbs[0], 1.0);
    for (int k = 1; k < OSTREL2_LIMB_SLOTS; ++k) ASSERT_EQ(r.limbs[k], 0.0);
    EXPECT_EQ(std::memcmp(&x, &x0, sizeof x), 0);
    EXPECT_EQ(std::memcmp(&y, &y0, sizeof y), 0);

    // x itself out of range: the 1 comes at precision 303, since x's own precision cannot be used.
    x.precision = 0;
    y.precision = 5;
    LCM_XL(&r, &x, &y);
    EXPECT_EQ(r.precision, 303);
    EXPECT_EQ(r.error, -1);
    EXPECT_EQ(r.limbs[0], 1.0);
}

TEST(Interface, GcdHandsTheCofactorsBack) {
    LongNumber x = ToBoundary(ostrel2::reference::MakeLong("12", 4));
    LongNumber y = ToBoundary(ostrel2::reference::MakeLong("18", 4));
    LongNumber r;
    LCM_XL(&r, &x, &y);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(ExactValue(r), 6);
    EXPECT_EQ(ExactValue(x), 2);
    EXPECT_EQ(ExactValue(y), 3);
}

// Workers normalise their operands in place; the caller's records must never show it.
TEST(Interface, ArgumentRecordsAreNeverWritten) {
    RandomLongs random(13);
    for (int round = 0; round < 40; ++round) {
        const int32_t p = static_cast<int32_t>(random.Between(1, 303));
        LongNumber x = Random(random, p);
        LongNumber y = Random(random, static_cast<int32_t>(random.Between(1, 303)));
        if (round % 2 == 1) {
            // Off the limb grid and with a carry pending: normalisation has work to do.
            x.exponent += 7;
            x.limbs[1] += 1e10;
            y.exponent -= 3;
        }
        const LongNumber x0 = x;
        const LongNumber y0 = y;
        LongNumber r;
        testing::internal::CaptureStdout();
        for (const BinaryExport& e : kBinary) {
            e.call(&r, &x, &y);
            ASSERT_EQ(std::memcmp(&x, &x0, sizeof x), 0) << e.name;
            ASSERT_EQ(std::memcmp(&y, &y0, sizeof y), 0) << e.name;
        }
        for (const UnaryExport& e : kUnary) {
            e.call(&r, &x);
            ASSERT_EQ(std::memcmp(&x, &x0, sizeof x), 0) << e.name;
        }
        testing::internal::GetCapturedStdout();
    }
}

// A result record may be one of the arguments: the answer is the same as into a fresh record.
TEST(Interface, ResultMayBeAnArgument) {
    RandomLongs random(14);
    for (const BinaryExport& e : kBinary) {
        const LongNumber x = Random(random, 30);
        const LongNumber y = Random(random, 12);
        LongNumber fresh;
        e.call(&fresh, &x, &y);
        LongNumber a = x;
        e.call(&a, &a, &y);
        EXPECT_EQ(std::memcmp(&a, &fresh, sizeof a), 0) << e.name;
        LongNumber b = y;
        e.call(&b, &x, &b);
        EXPECT_EQ(std::memcmp(&b, &fresh, sizeof b), 0) << e.name;
    }
}

// Precision 303 uses every one of the 306 slots of the record; the arithmetic runs on one more.
TEST(Interface, LargestPrecisionThroughEveryExport) {
    RandomLongs random(15);
    const LongNumber x = Random(random, 303);
    const LongNumber y = Random(random, 303);
    LongNumber r;
    for (const BinaryExport& e : kBinary) {
        e.call(&r, &x, &y);
        EXPECT_EQ(r.error, 0) << e.name;
        EXPECT_EQ(r.precision, 303) << e.name;
    }
    for (const UnaryExport& e : kUnary) {
        e.call(&r, &x);
        EXPECT_EQ(r.error, 0) << e.name;
        EXPECT_EQ(r.precision, 303) << e.name;
    }
    LongNumber gx = ToBoundary(ostrel2::reference::MakeLong("123456789012345678901234567890", 303));
    LongNumber gy = ToBoundary(ostrel2::reference::MakeLong("987654321098765432109876543210", 303));
    LCM_XL(&r, &gx, &gy);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(ExactValue(r), mpq_class("9000000000900000000090"));
}

// Workers leave whatever their stack held in the slots above a result's live limbs; the caller
// gets zeros there, so the same call writes the same 2,464 bytes everywhere.
TEST(Interface, SlotsAboveTheLiveLimbsOfAResultAreZero) {
    RandomLongs random(17);
    const LongNumber x = Random(random, 3);
    const LongNumber y = Random(random, 2);
    auto expectZeroAbove = [](const LongNumber& r, const char* name) {
        for (int k = r.precision + 4; k < OSTREL2_LIMB_SLOTS; ++k) {
            ASSERT_EQ(r.limbs[k], 0.0) << name << ", slot " << k;
        }
    };
    for (const BinaryExport& e : kBinary) {
        LongNumber r = Garbage(0x5A);
        e.call(&r, &x, &y);
        expectZeroAbove(r, e.name);
    }
    for (const UnaryExport& e : kUnary) {
        LongNumber r = Garbage(0x5A);
        e.call(&r, &x);
        expectZeroAbove(r, e.name);
    }
}

// A failure's record (the zero with error -1 that Div_XL(1, 0) returns) or a number that carries
// an error, passed to any export in either place, gives a result that still reports failure, and
// no export prints a second message for it: Add_XL(Div_XL(1, 0), 5) is no valid 5.
TEST(Interface, FailedArgumentsArePassedOnByEveryExport) {
    const LongNumber one = ToBoundary(ostrel2::reference::MakeLong("1", 5));
    const LongNumber zero = ToBoundary(ostrel2::reference::MakeLong("0", 5));
    const LongNumber five = ToBoundary(ostrel2::reference::MakeLong("5", 5));
    LongNumber divisionByZero;
    testing::internal::CaptureStdout();
    Div_XL(&divisionByZero, &one, &zero);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(divisionByZero.error, -1);
    LongNumber failedSeven = ToBoundary(ostrel2::reference::MakeLong("7", 5));
    failedSeven.error = -1;

    // The error of one call's result, after checking that the call printed nothing.
    auto quietError = [](const char* what, const std::function<LongNumber()>& call) {
        testing::internal::CaptureStdout();
        const LongNumber r = call();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << what;
        return r.error;
    };
    for (const LongNumber& failed : {divisionByZero, failedSeven}) {
        SCOPED_TRACE(failed.sign == 0 ? "Div_XL(1, 0)" : "7 with error -1");
        for (const BinaryExport& e : kBinary) {
            const std::string first = std::string(e.name) + " (failed, 5)";
            const std::string second = std::string(e.name) + " (5, failed)";
            EXPECT_LE(quietError(first.c_str(),
                                 [&] { LongNumber r; return *e.call(&r, &failed, &five); }),
                      -1)
                << first;
            EXPECT_LE(quietError(second.c_str(),
                                 [&] { LongNumber r; return *e.call(&r, &five, &failed); }),
                      -1)
                << second;
        }
        for (const UnaryExport& e : kUnary) {
            EXPECT_LE(quietError(e.name, [&] { LongNumber r; return *e.call(&r, &failed); }), -1)
                << e.name;
        }
        for (int side = 0; side < 2; ++side) {
            LongNumber x = side == 0 ? failed : five;
            LongNumber y = side == 0 ? five : failed;
            EXPECT_LE(quietError("LCM_XL", [&] { LongNumber r; return *LCM_XL(&r, &x, &y); }), -1)
                << "LCM_XL, failed argument " << (side == 0 ? "x" : "y");
        }
    }
}

// Values against exact rationals, relative to the precision of the result: the four operations
// through the boundary keep at least p limbs of the answer.
TEST(Interface, ValuesAgainstExactArithmetic) {
    RandomLongs random(16);
    for (int round = 0; round < 200; ++round) {
        const int32_t p = static_cast<int32_t>(random.Between(1, 303));
        const LongNumber x = Random(random, p, -200, 200);
        const LongNumber y = Random(random, p, -200, 200);
        const mpq_class ex = ExactValue(x);
        const mpq_class ey = ExactValue(y);
        struct Expect {
            Binary call;
            const char* name;
            mpq_class exact;
        } rows[] = {
            {Add_XL, "Add_XL", ex + ey},           {Subtract_XL, "Subtract_XL", ex - ey},
            {Multipl2_XL, "Multipl2_XL", ex * ey}, {Multipl_XL, "Multipl_XL", ex * ey},
            {Div2_XL, "Div2_XL", ex / ey},         {Div_XL, "Div_XL", ex / ey},
        };
        for (const Expect& row : rows) {
            LongNumber r;
            row.call(&r, &x, &y);
            ASSERT_EQ(r.error, 0) << row.name;
            const mpq_class got = ExactValue(r);
            if (row.exact == 0) {
                ASSERT_EQ(got, 0) << row.name;
                continue;
            }
            const mpq_class relative = abs((got - row.exact) / row.exact);
            ASSERT_LE(relative, ostrel2::reference::Pow10(-10L * p))
                << row.name << " at precision " << p << ": " << ostrel2::reference::Describe(FromBoundary(r));
        }
    }
}

}  // namespace

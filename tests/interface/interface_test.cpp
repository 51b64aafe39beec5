// interface_test.cpp -- the exports as a caller sees them: the precision guard, untouched
// argument records, results written whole, the largest precision, and values against exact
// rational arithmetic. The boundary tests run over every built export of api/export_table.h.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "api/export_kinds.h"
#include "ostrel2.h"
#include "support/export_sampling.h"
#include "support/gmp_reference.h"

namespace {

using ostrel2::api::Arguments;
using ostrel2::api::Export;
using ostrel2::api::Kind;
using ostrel2::api::kExports;
using ostrel2::api::RecordCount;
using ostrel2::api::TakesDouble;
using ostrel2::reference::ExactValue;
using ostrel2::reference::FromBoundary;
using ostrel2::reference::IsDear;
using ostrel2::reference::kDearPrecisions;
using ostrel2::reference::RandomLongs;
using ostrel2::reference::ToBoundary;

using Binary = LongNumber*(OSTREL2_CALL*)(LongNumber*, const LongNumber*, const LongNumber*);

// Calls e with the records it takes among x and y and ordinary plain arguments: n = 2, and the
// precision argument(s) `precision` (Factorial_XL's n is 5). Returns what the export returned.
LongNumber* Call(const Export& e, LongNumber* result, const LongNumber* x, const LongNumber* y,
                 int32_t precision = 10) {
    Arguments a;
    a.result = result;
    a.x = const_cast<LongNumber*>(x);
    a.y = const_cast<LongNumber*>(y);
    a.n = 2.0;
    a.first = e.kind == Kind::IntPrecision ? 5 : precision;
    a.second = precision;
    e.invoke(a);
    return a.returned;
}

// The exports that take argument records and only read them.
bool ReadsRecords(const Export& e) { return RecordCount(e.kind) > 0 && e.kind != Kind::Cofactors; }

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

// Every record argument, and the precision argument of Pai_XL and Factorial_XL, is refused
// outside 1 .. 303 with the guard's record and without a message.
TEST(Interface, GuardRefusesPrecisionsOutsideOneTo303) {
    RandomLongs random(11);
    const int32_t refused[] = {304, 400, 0, -1, INT_MIN, INT_MAX};
    for (int32_t precision : refused) {
        SCOPED_TRACE(precision);
        LongNumber good = Random(random, 303);
        LongNumber bad = Random(random, 5);
        bad.precision = precision;
        for (const Export& e : kExports) {
            if (e.kind == Kind::Version || e.kind == Kind::Cofactors) continue;
            SCOPED_TRACE(e.name);
            const int sides = RecordCount(e.kind) > 0 ? RecordCount(e.kind) : 1;
            for (int side = 0; side < sides; ++side) {
                LongNumber r = Garbage(0xAB);
                testing::internal::CaptureStdout();
                LongNumber* returned = RecordCount(e.kind) == 0
                                           ? Call(e, &r, nullptr, nullptr, precision)
                                           : Call(e, &r, side == 0 ? &bad : &good, side == 1 ? &bad : &good);
                EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
                EXPECT_EQ(returned, &r);
                ExpectGuardRecord(r);
            }
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

// Workers normalise their operands in place; the caller's records must never show it. The cheap
// exports meet 40 random pairs of precisions, the dear ones the sampled precisions; every other
// pair is off the limb grid with a carry pending, so that normalisation has work to do.
TEST(Interface, ArgumentRecordsAreNeverWritten) {
    RandomLongs random(13);
    const auto callEach = [&random](bool dear, int32_t p, int32_t q, bool shifted) {
        LongNumber x = Random(random, p);
        LongNumber y = Random(random, q);
        if (shifted) {
            x.exponent += 7;
            x.limbs[1] += 1e10;
            y.exponent -= 3;
        }
        const LongNumber x0 = x;
        const LongNumber y0 = y;
        LongNumber r;
        testing::internal::CaptureStdout();
        for (const Export& e : kExports) {
            if (!ReadsRecords(e) || IsDear(e) != dear) continue;
            Call(e, &r, &x, &y);
            EXPECT_EQ(std::memcmp(&x, &x0, sizeof x), 0) << e.name << " at precisions " << p << ", " << q;
            EXPECT_EQ(std::memcmp(&y, &y0, sizeof y), 0) << e.name << " at precisions " << p << ", " << q;
            x = x0;
            y = y0;
        }
        testing::internal::GetCapturedStdout();
    };
    for (int round = 0; round < 40; ++round) {
        const int32_t p = static_cast<int32_t>(random.Between(1, 303));
        callEach(false, p, static_cast<int32_t>(random.Between(1, 303)), round % 2 == 1);
    }
    for (int32_t p : kDearPrecisions) {
        for (bool shifted : {false, true}) callEach(true, p, p, shifted);
    }
}

// A result record may be one of the arguments: the answer is the same as into a fresh record.
TEST(Interface, ResultMayBeAnArgument) {
    RandomLongs random(14);
    for (const Export& e : kExports) {
        if (!ReadsRecords(e)) continue;
        const LongNumber x = Random(random, 30);
        const LongNumber y = Random(random, 12);
        LongNumber fresh;
        testing::internal::CaptureStdout();
        Call(e, &fresh, &x, &y);
        LongNumber a = x;
        Call(e, &a, &a, &y);
        EXPECT_EQ(std::memcmp(&a, &fresh, sizeof a), 0) << e.name;
        if (RecordCount(e.kind) == 2) {
            LongNumber b = y;
            Call(e, &b, &x, &b);
            EXPECT_EQ(std::memcmp(&b, &fresh, sizeof b), 0) << e.name;
        }
        testing::internal::GetCapturedStdout();
    }
}

// Precision 303 uses every one of the 306 slots of the record; the arithmetic runs on one more.
// A function outside its domain may fail on the random records, but only cleanly. The argument
// records stay as they were, also at the precision that ArgumentRecordsAreNeverWritten leaves
// out for the dear exports.
TEST(Interface, LargestPrecisionThroughEveryExport) {
    RandomLongs random(15);
    const LongNumber x0 = Random(random, 303);
    const LongNumber y0 = Random(random, 303);
    LongNumber r;
    for (const Export& e : kExports) {
        if (!ReadsRecords(e)) continue;
        LongNumber x = x0;
        LongNumber y = y0;
        testing::internal::CaptureStdout();
        Call(e, &r, &x, &y);
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_TRUE(r.error == 0 || (r.error < 0 && !printed.empty())) << e.name << ": error " << r.error;
        EXPECT_EQ(r.precision, 303) << e.name;
        EXPECT_EQ(std::memcmp(&x, &x0, sizeof x), 0) << e.name;
        EXPECT_EQ(std::memcmp(&y, &y0, sizeof y), 0) << e.name;
    }
    LongNumber gx = ToBoundary(ostrel2::reference::MakeLong("123456789012345678901234567890", 303));
    LongNumber gy = ToBoundary(ostrel2::reference::MakeLong("987654321098765432109876543210", 303));
    LCM_XL(&r, &gx, &gy);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(ExactValue(r), mpq_class("9000000000900000000090"));
}

// Values through the boundary, at least one row for every built export (an export without one
// fails EveryExportHasValueCases). Arguments in the order of the export's kind: records as
// decimal text read at the row's precision, a double or an int as decimal text; the precision
// argument of Pai_XL and Factorial_XL is the row's precision. The result must be within a
// relative 10^-digits of the exact value given.
struct ValueCase {
    const char* name;
    int32_t precision;
    std::vector<const char*> arguments;
    const char* expected;
    long digits;
};

const ValueCase kValueCases[] = {
    {"Version_XL", 1, {}, "20091025", 0},
    {"Abs_XL", 2, {"-1.5"}, "1.5", 20},
    {"Fix_XL", 2, {"-1.5"}, "-1", 20},
    {"Round_XL", 2, {"2.5"}, "3", 20},
    {"Round_XL", 2, {"-2.5"}, "-3", 20},
    {"Mod_XL", 3, {"-7", "3"}, "-1", 30},
    {"Add_XL", 3, {"1.5", "2.25"}, "3.75", 30},
    {"Subtract_XL", 3, {"1", "3"}, "-2", 30},
    {"Multipl2_XL", 3, {"123", "-0.5"}, "-61.5", 30},
    {"Multipl_XL", 6, {"2", "0.3"}, "0.6", 60},
    {"Div2_XL", 5, {"1", "8"}, "0.125", 50},
    {"Div_XL", 5, {"1", "3"}, "1/3", 50},
    {"Sqr_XL", 5, {"2"}, "1.41421356237309504880168872420969807856967187537694807317667973799", 45},
    {"Power_XL", 5, {"2", "10"}, "1024", 50},
    {"Power_XL", 5, {"-2", "-3"}, "-0.125", 50},
    {"Root_XL", 5, {"8", "3"}, "2", 50},
    {"Pai_XL", 5, {}, "3.14159265358979323846264338327950288419716939937510582097494459230781", 45},
    {"Factorial_XL", 5, {"20"}, "2432902008176640000", 50},
    {"PowerX_XL", 5, {"2", "0.5"},
     "1.414213562373095048801688724209698078569671875376948073176679737990732", 45},
    {"Cos_XL", 5, {"1"},
     "0.5403023058681397174009366074429766037323104206179222276700972553811004", 45},
    {"Sin_XL", 5, {"1"},
     "0.8414709848078965066525023216302989996225630607983710656727517099919104", 45},
    {"Tan_XL", 5, {"1"},
     "1.557407724654902230506974807458360173087250772381520038383946605698861", 45},
    {"Asn_XL", 5, {"0.5"},
     "0.5235987755982988730771072305465838140328615665625176368291574320513027", 45},
    {"Acs_XL", 5, {"0.5"},
     "1.047197551196597746154214461093167628065723133125035273658314864102605", 45},
    {"Atn_XL", 5, {"1"},
     "0.7853981633974483096156608458198757210492923498437764552437361480769541", 45},
    {"Exp_XL", 5, {"1"},
     "2.718281828459045235360287471352662497757247093699959574966967627724077", 45},
    {"Loge_XL", 5, {"10"},
     "2.302585092994045684017991454684364207601101488628772976033327900967573", 45},
    {"Log10_XL", 5, {"2"},
     "0.3010299956639811952137388947244930267681898814621085413104274611271082", 45},
    {"Sinh_XL", 5, {"1"},
     "1.175201193643801456882381850595600815155717981334095870229565413013308", 45},
    {"Cosh_XL", 5, {"1"},
     "1.543080634815243778477905620757061682601529112365863704737402214710769", 45},
    {"Tanh_XL", 5, {"1"},
     "0.7615941559557648881194582826047935904127685972579365515968105001219532", 45},
    {"Asinh_XL", 5, {"1"},
     "0.8813735870195430252326093249797923090281603282616354107532956086533772", 45},
    {"Acosh_XL", 5, {"2"},
     "1.316957896924816708625046347307968444026981971467516479768472256920460", 45},
    {"Atanh_XL", 5, {"0.5"},
     "0.5493061443340548456976226184612628523237452789113747258673471668187471", 45},
    {"LCM_XL", 4, {"12", "18"}, "6", 40},
};

TEST(Interface, EveryExportHasValueCases) {
    for (const Export& e : kExports) {
        bool found = false;
        for (const ValueCase& c : kValueCases) found = found || std::strcmp(c.name, e.name) == 0;
        EXPECT_TRUE(found) << e.name << " has no row in kValueCases";
    }
}

TEST(Interface, ValueCasesThroughTheBoundary) {
    for (const ValueCase& c : kValueCases) {
        const Export* e = nullptr;
        for (const Export& candidate : kExports) {
            if (std::strcmp(candidate.name, c.name) == 0) e = &candidate;
        }
        ASSERT_NE(e, nullptr) << c.name << " is not a built export";
        SCOPED_TRACE(c.name);
        // The records, the double, and Factorial_XL's n; a precision argument is the row's.
        const int wanted = RecordCount(e->kind) + (TakesDouble(e->kind) ? 1 : 0) +
                           (e->kind == Kind::IntPrecision ? 1 : 0);
        ASSERT_EQ(c.arguments.size(), static_cast<size_t>(wanted));
        LongNumber x{};
        LongNumber y{};
        LongNumber r{};
        Arguments a;
        a.result = &r;
        a.x = &x;
        a.y = &y;
        a.first = c.precision;
        a.second = c.precision;
        for (size_t k = 0; k < c.arguments.size(); ++k) {
            if (static_cast<int>(k) < RecordCount(e->kind)) {
                (k == 0 ? x : y) = ToBoundary(ostrel2::reference::MakeLong(c.arguments[k], c.precision));
            } else if (TakesDouble(e->kind)) {
                a.n = std::strtod(c.arguments[k], nullptr);
            } else {
                a.first = static_cast<int32_t>(std::strtol(c.arguments[k], nullptr, 10));
            }
        }
        e->invoke(a);
        const mpq_class exact = ostrel2::reference::ParseDecimal(c.expected);
        if (e->kind == Kind::Version) {
            EXPECT_EQ(mpq_class(a.version), exact);
            continue;
        }
        ASSERT_EQ(r.error, 0);
        const mpq_class got = ExactValue(r);
        if (exact == 0) {
            EXPECT_EQ(got, 0);
            continue;
        }
        EXPECT_LE(abs((got - exact) / exact), ostrel2::reference::Pow10(-c.digits))
            << ostrel2::reference::Describe(FromBoundary(r));
    }
}

// Workers leave whatever their stack held in the slots above a result's live limbs; the caller
// gets zeros there, so the same call writes the same 2,464 bytes everywhere.
TEST(Interface, SlotsAboveTheLiveLimbsOfAResultAreZero) {
    RandomLongs random(17);
    for (const Export& e : kExports) {
        if (e.kind == Kind::Version) continue;
        LongNumber x = Random(random, 3, -2, 2);
        LongNumber y = Random(random, 2, -2, 2);
        x.sign = 1;  // a positive x lies in the domain of the roots and logarithms
        LongNumber r = Garbage(0x5A);
        Arguments a;
        a.result = &r;
        a.x = &x;
        a.y = &y;
        a.n = 2.0;
        a.first = 3;
        a.second = 3;
        testing::internal::CaptureStdout();
        e.invoke(a);
        testing::internal::GetCapturedStdout();
        for (int k = r.precision + 4; k < OSTREL2_LIMB_SLOTS; ++k) {
            ASSERT_EQ(r.limbs[k], 0.0) << e.name << ", slot " << k;
        }
    }
}

// A failure's record (the zero with error -1 that Div_XL(1, 0) returns) or a number that carries
// an error, passed to any export in any record place, gives a result that still reports failure,
// and no export prints a second message for it: Add_XL(Div_XL(1, 0), 5) is no valid 5.
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

    for (const LongNumber& failed : {divisionByZero, failedSeven}) {
        SCOPED_TRACE(failed.sign == 0 ? "Div_XL(1, 0)" : "7 with error -1");
        for (const Export& e : kExports) {
            for (int place = 0; place < RecordCount(e.kind); ++place) {
                LongNumber x = place == 0 ? failed : five;
                LongNumber y = place == 1 ? failed : five;
                LongNumber r;
                Arguments a;
                a.result = &r;
                a.x = &x;
                a.y = &y;
                a.n = 2.0;
                testing::internal::CaptureStdout();
                e.invoke(a);
                EXPECT_EQ(testing::internal::GetCapturedStdout(), "")
                    << e.name << ", failed argument " << (place == 0 ? "x" : "y");
                EXPECT_LE(r.error, -1) << e.name << ", failed argument " << (place == 0 ? "x" : "y");
            }
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

// trigonometric_test.cpp -- CosLong, SinLong, TanLong and their series against MPFR at the exact
// argument, the quadrant thresholds and the reduction by pi bit for bit, the tangent of small
// angles, the failures byte for byte, symmetry and aliasing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "arith/addition.h"
#include "arith/divide_long.h"
#include "core/diagnostics.h"
#include "core/long_number.h"
#include "support/condition_reference.h"
#include "support/gmp_reference.h"
#include "support/mpfr_reference.h"
#include "support/trigonometric_reference.h"
#include "transcendental/pi.h"
#include "transcendental/trigonometric.h"

namespace ostrel2 {
namespace {

using reference::Accuracy;
using reference::AccuracyLog;
using reference::Describe;
using reference::ExactValue;
using reference::MakeLong;
using reference::MakeRaw;
using reference::Mpfr;
using reference::Pow10;
using reference::RandomLongs;
using reference::RealFunction;
using reference::TrueValue;
using reference::Accurate;
using reference::RandomNumber;
using reference::SameRecord;
constexpr double kUnits = reference::kTrigonometricUnits;

using Worker = WorkLong& (*)(WorkLong&, const WorkLong&);

struct Export {
    const RealFunction& function;
    Worker worker;
};
const Export kExports[] = {
    {reference::kCosine, CosLong}, {reference::kSine, SinLong}, {reference::kTangent, TanLong}};

// Whether two records are the same bits in every field and live limb.
// Half of the angles are uniform in (-7, 7): every quadrant and threshold, and the first
// reductions; the others are spread over the magnitudes 10^-30 .. 10^19; either sign.
WorkLong RandomAngle(RandomLongs& random, int32_t p) {
    const bool negative = random.Between(0, 1) == 1;
    if (random.Between(0, 1) == 0) {
        const mpq_class value = (reference::RandomMantissa(random, p) - 1) * mpq_class(7, 9);
        return MakeLong(negative ? mpq_class(-value) : value, p);
    }
    return RandomNumber(random, p, static_cast<int32_t>(random.Between(-30, 19)), negative);
}

WorkLong Pi(int32_t p) {
    WorkLong pi;
    int32_t iterations = 0;
    return PaiLong(pi, p, iterations);
}

// The true value of a constant expression at the precision of a record: pi * m + offset.
WorkLong NearMultipleOfPi(int32_t p, long m, const char* offset) {
    Mpfr pi(reference::ReferenceBits(p + 4));
    mpfr_const_pi(pi.get(), MPFR_RNDN);
    return MakeLong(reference::ToRational(pi.get()) * m + reference::ParseDecimal(offset), p,
                    reference::Rounding::Nearest);
}

TEST(Trigonometric, RandomAnglesMatchMpfrWithinTheirConditioning) {
    RandomLongs random(5301);
    AccuracyLog log("random");
    const reference::PrecisionRun kRuns[] = {{1, 40}, {5, 40}, {30, 16}, {100, 5}, {303, 2}};
    for (const auto& run : kRuns) {
        for (int i = 0; i < run.count; ++i) {
            const WorkLong x = RandomAngle(random, run.precision);
            for (const Export& e : kExports) {
                WorkLong r;
                e.worker(r, x);
                SCOPED_TRACE(e.function.name);
                EXPECT_EQ(r.error, 0);
                Accuracy accuracy;
                EXPECT_TRUE(Accurate(e.function, x, r, run.precision, &accuracy));
                log.Add(e.function.name, run.precision, accuracy);
            }
        }
    }
}

// The reduction takes whole half-turns of pi off |x| at x's own precision: q = FixLong(x / pi)
// and x - q pi are formed with a pi good to about p + 2 limbs (its last two carry the reciprocal
// division's and the products' truncations), so the reduced angle is off by about q times pi's
// error, |x| 10^(-10 (p + 2)): a sine of size 1 keeps 10 (p + 2) - log10 |x| digits, less up to
// two for the truncations -- the function's conditioning with respect to that reduction. From
// about 10^18 on that is below the promised 10 p digits (48.8 of 50 at 9.6 x 10^19, p = 5).
TEST(Trigonometric, ReductionKeepsAllButTheAngleDigits) {
    RandomLongs random(5302);
    AccuracyLog log("reduction");
    for (int32_t p : {5, 30}) {
        for (int32_t e : {0, 4, 8, 12, 16, 19}) {  // |x| from 10^e to 10^(e + 1)
            for (int i = 0; i < 6; ++i) {
                const WorkLong x = RandomNumber(random, p, e, i % 2 == 1);
                WorkLong s;
                SinLong(s, x);
                Accuracy accuracy;
                EXPECT_TRUE(Accurate(reference::kSine, x, s, p, &accuracy));
                log.Add("sin_1e" + std::to_string(e), p, accuracy);
                // A sine near 0 loses more to its own smallness than to the reduction.
                if (abs(ExactValue(s)) > mpq_class(1, 100)) {
                    EXPECT_GE(accuracy.digits, 10.0 * (p + 2) - e - 3) << Describe(x);
                }
            }
        }
    }
}

// The series a worker is to call for a reduced angle a in [0, pi), built from the pieces.
enum class Branch { CosOfA, SinOfHalfPiMinusA, SinOfAMinusHalfPi, CosOfPiMinusA, SinOfPiMinusA,
                    CosOfAMinusHalfPi, SinOfA };

WorkLong Through(Branch branch, const WorkLong& angle) {
    WorkLong a = angle;
    WorkLong pi = Pi(a.precision);
    WorkLong half;
    DivSmall(half, pi, 2.0);
    WorkLong y;
    WorkLong r;
    switch (branch) {
        case Branch::CosOfA: return CosSeries(r, a);
        case Branch::SinOfA: return SinSeries(r, a);
        case Branch::SinOfHalfPiMinusA: return SinSeries(r, SubtractLong(y, half, a));
        case Branch::SinOfAMinusHalfPi: return SinSeries(r, SubtractLong(y, a, half));
        case Branch::CosOfAMinusHalfPi: return CosSeries(r, SubtractLong(y, a, half));
        case Branch::CosOfPiMinusA: return CosSeries(r, SubtractLong(y, pi, a));
        case Branch::SinOfPiMinusA: return SinSeries(r, SubtractLong(y, pi, a));
    }
    return r;
}

// The thresholds on the double estimate choose the series, and so the result bits: at exactly
// 0.79 the cosine takes its own series and the sine the cosine series of a - pi/2; at exactly
// 2.356 the cosine takes the sine series of a - pi/2 and the sine that of pi - a; in the band
// 1.5707 .. 1.5708 the side of pi/2 gives the sign; from 3.141592653 up to pi the angle passes
// the reduction unchanged.
TEST(Trigonometric, QuadrantThresholdsChooseTheSeries) {
    const struct {
        const char* angle;
        Worker worker;
        Branch branch;
        int32_t sign;
    } kCases[] = {
        {"0.79", CosLong, Branch::CosOfA, 1},
        {"0.7900000001", CosLong, Branch::SinOfHalfPiMinusA, 1},
        {"1.5706999999", CosLong, Branch::SinOfHalfPiMinusA, 1},
        {"1.5707", CosLong, Branch::SinOfAMinusHalfPi, 1},
        {"1.5707963267", CosLong, Branch::SinOfAMinusHalfPi, 1},
        {"1.5707963268", CosLong, Branch::SinOfAMinusHalfPi, -1},
        {"1.5707999999", CosLong, Branch::SinOfAMinusHalfPi, -1},
        {"1.5708", CosLong, Branch::SinOfAMinusHalfPi, -1},
        {"2.356", CosLong, Branch::SinOfAMinusHalfPi, -1},
        {"2.3560000001", CosLong, Branch::CosOfPiMinusA, -1},
        {"3.141592653", CosLong, Branch::CosOfPiMinusA, -1},
        {"3.14159265358", CosLong, Branch::CosOfPiMinusA, -1},
        {"0.7899999999", SinLong, Branch::SinOfA, 1},
        {"0.79", SinLong, Branch::CosOfAMinusHalfPi, 1},
        {"2.3559999999", SinLong, Branch::CosOfAMinusHalfPi, 1},
        {"2.356", SinLong, Branch::SinOfPiMinusA, 1},
        {"3.141592652", SinLong, Branch::SinOfPiMinusA, 1},
        {"3.141592653", SinLong, Branch::SinOfPiMinusA, 1},
        {"3.14159265358", SinLong, Branch::SinOfPiMinusA, 1},
    };
    for (int32_t p : {2, 30}) {
        for (const auto& c : kCases) {
            const WorkLong x = MakeLong(c.angle, p);
            WorkLong expected = Through(c.branch, x);
            expected.sign = c.sign;
            WorkLong r;
            c.worker(r, x);
            EXPECT_TRUE(SameRecord(r, expected))
                << (c.worker == CosLong ? "cos " : "sin ") << c.angle << " at precision " << p;
        }
    }
}

// cos of pi/2 itself (at working precision) is the exact zero: the band's difference is zero.
TEST(Trigonometric, CosineOfHalfPiIsZero) {
    for (int32_t p : {1, 5, 40}) {
        WorkLong half;
        HalfPiLong(half, p);
        WorkLong c;
        CosLong(c, half);
        EXPECT_EQ(c.sign, 0) << "precision " << p;
        EXPECT_EQ(c.exponent, ZERO_EXPONENT);
        EXPECT_EQ(c.error, 0);
    }
}

// Reduced by an odd number of half-turns the sign flips; by an even number it stays.
TEST(Trigonometric, OddMultiplesOfPiFlipTheSign) {
    const struct {
        long turns;
        const char* offset;
        int32_t cosSign;
        int32_t sinSign;
    } kCases[] = {{3, "0.1", -1, -1}, {2, "0.1", 1, 1}, {1, "0.5", -1, -1}, {-3, "-0.1", -1, 1},
                  {1000001, "1", -1, -1}, {4, "-0.2", 1, -1}};
    for (int32_t p : {1, 20}) {
        for (const auto& c : kCases) {
            const WorkLong x = NearMultipleOfPi(p, c.turns, c.offset);
            WorkLong cs;
            CosLong(cs, x);
            WorkLong sn;
            SinLong(sn, x);
            SCOPED_TRACE(std::to_string(c.turns) + " pi + " + c.offset);
            EXPECT_EQ(cs.sign, c.cosSign);
            EXPECT_EQ(sn.sign, c.sinSign);
            EXPECT_TRUE(Accurate(reference::kCosine, x, cs, p));
            EXPECT_TRUE(Accurate(reference::kSine, x, sn, p));
        }
    }
}

// tan a from sqrt(1 - cos^2) / cos cancels about 2 |log10 a| digits of the cosine's p + 3
// fractional limbs; from a < 10^-5 on (more than one guard limb cancelled) tan is sin / cos.
// Down to 10^-5 the quotient keeps its bits; below, every limb holds even where a^2 lies
// beneath the last live limb (there the quotient gave tan = 0). The angles within 10^-5 of a
// multiple of pi take the same turn after the reduction.
TEST(TanLong, SmallAnglesKeepEveryLimb) {
    const char* kAngles[] = {"0.001", "1.00000001e-5", "1e-5",  "9.9999999999e-6", "1e-7",
                             "1e-12", "3.3e-16",       "1e-25", "2e-41",           "7.5e-200"};
    for (int32_t p : {1, 5, 30, 100}) {
        for (const char* text : kAngles) {
            for (int32_t sign : {1, -1}) {
                WorkLong x = MakeLong(text, p);
                x.sign = sign;
                WorkLong t;
                TanLong(t, x);
                SCOPED_TRACE(std::string(sign < 0 ? "-" : "") + text + " at precision " +
                             std::to_string(p));
                EXPECT_EQ(t.error, 0);
                EXPECT_TRUE(Accurate(reference::kTangent, x, t, p));
                const TrueValue truth(reference::kTangent, x, p);
                EXPECT_TRUE(reference::FirstLimbsCorrect(t, truth.get(), p));
                if (EstimateDouble(x) >= 1e-5 || EstimateDouble(x) <= -1e-5) {
                    WorkLong quotient;
                    CosLong(quotient, x);
                    TanFromCos(quotient, quotient);
                    quotient.sign *= sign;
                    EXPECT_TRUE(SameRecord(t, quotient));
                }
            }
        }
    }
    for (int32_t p : {1, 5, 30}) {
        for (long turns : {1L, 2L, 7L}) {
            for (const char* offset : {"1e-4", "-2e-5", "9e-6", "-1e-11", "2e-13", "-3e-30"}) {
                const WorkLong x = NearMultipleOfPi(p, turns, offset);
                WorkLong t;
                TanLong(t, x);
                SCOPED_TRACE(std::to_string(turns) + " pi + " + offset);
                EXPECT_EQ(t.error, 0);
                EXPECT_TRUE(Accurate(reference::kTangent, x, t, p));
            }
        }
    }
}

// The quotient itself loses the guard limbs below the boundary: at 10^-16 its last digits are
// off far beyond the condition bound, and at 10^-50 (p = 1, products of precision 5: the square
// beneath the last of their 9 limbs) it is the tangent 0.
TEST(TanLong, QuotientFormulaFailsBelowTheBoundary) {
    for (const auto& c : {std::pair<const char*, int32_t>{"1e-16", 5}, {"1e-16", 30}}) {
        WorkLong x = MakeLong(c.first, c.second);
        WorkLong q;
        CosLong(q, x);
        TanFromCos(q, q);
        const TrueValue truth(reference::kTangent, x, c.second);
        EXPECT_FALSE(reference::WithinAllowance(x, q, truth, truth.Allowance(), kUnits))
            << c.first;
    }
    WorkLong x = MakeLong("1e-50", 1);
    WorkLong q;
    CosLong(q, x);
    TanFromCos(q, q);
    EXPECT_EQ(q.sign, 0);
    WorkLong t;
    TanLong(t, x);
    EXPECT_TRUE(reference::HasExactValue(t, ExactValue(x)));
}

// An angle below 10^(-5 (P + 5)), P = max(p, 5) the products' precision, has its cube beneath its
// own last live limb and its square beneath that of 1: the series give cos = 1 and sin = tan = the
// angle itself, and the workers give those at once -- also where the series' powers would leave
// the exponent range. One limb higher the last limbs show the cube.
TEST(Trigonometric, TinyAnglesGiveTheSeriesValuesAtOnce) {
    RandomLongs random(5306);
    for (int32_t p : {1, 5, 30}) {
        // The highest tiny exponent: the multiple of 10 next below -5 (P + 5).
        const int32_t tiny = -10 * (5 * ((p < 5 ? 5 : p) + 5) / 10 + 1);
        for (const int32_t e : {tiny + 10, tiny, tiny - 10, tiny - 400}) {
            for (int32_t sign : {1, -1}) {
                WorkLong x = random.Next(p, e, e, false);
                x.sign = sign;
                WorkLong y = x;
                WorkLong series;
                CosSeries(series, y);
                WorkLong r;
                CosLong(r, x);
                EXPECT_TRUE(SameRecord(r, series)) << "cos at exponent " << e;
                y = x;
                SinSeries(series, y);
                SinLong(r, x);
                EXPECT_TRUE(SameRecord(r, series)) << "sin at exponent " << e;
                if (e == tiny + 10) {
                    EXPECT_FALSE(reference::HasExactValue(r, ExactValue(x)));
                } else {
                    TanLong(r, x);
                    EXPECT_TRUE(SameRecord(r, series)) << "tan at exponent " << e;
                }
            }
        }
        // Exponent -10^9: checked by fields, its exact value has a billion digits.
        const WorkLong x = MakeRaw(p, -1, -1000000000, {1234567, 89});
        WorkLong expected = MakeRaw(p < 5 ? 5 : p, -1, -1000000000, {1234567, 89});
        WorkLong r;
        testing::internal::CaptureStdout();
        SinLong(r, x);
        EXPECT_TRUE(SameRecord(r, expected));
        TanLong(r, x);
        EXPECT_TRUE(SameRecord(r, expected));
        CosLong(r, x);
        EXPECT_TRUE(SameRecord(r, MakeLong("1", p < 5 ? 5 : p)));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    }
}

TEST(Trigonometric, SinSquaredPlusCosSquaredIsOne) {
    RandomLongs random(5303);
    for (int32_t p : {1, 5, 30, 100}) {
        for (int i = 0; i < 6; ++i) {
            const WorkLong x = RandomAngle(random, p);
            WorkLong s;
            SinLong(s, x);
            WorkLong c;
            CosLong(c, x);
            const mpq_class sum = ExactValue(s) * ExactValue(s) + ExactValue(c) * ExactValue(c);
            // Each of sin and cos within its allowance: a unit of limb p + 2 of a value of size
            // at most 1, and one of x.
            const mpq_class allowed =
                4 * kUnits * (Pow10(-10L * (p + 2)) + Pow10(x.exponent - 10L * (p + 2)));
            EXPECT_LE(abs(sum - 1), allowed) << Describe(x);
        }
    }
}

TEST(Trigonometric, ZeroAngle) {
    for (int32_t p : {1, 12}) {
        const WorkLong kZeros[] = {MakeLong("0", p), MakeRaw(p, 1, 0, {0.0, 0.0}),
                                   MakeRaw(p, -1, 30, {0.0})};
        for (const WorkLong& zero : kZeros) {
            WorkLong c;
            WorkLong s;
            WorkLong t;
            testing::internal::CaptureStdout();
            CosLong(c, zero);
            SinLong(s, zero);
            TanLong(t, zero);
            EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
            EXPECT_TRUE(SameRecord(c, MakeLong("1", p)));
            EXPECT_TRUE(SameRecord(s, MakeLong("0", p)));
            EXPECT_TRUE(SameRecord(t, MakeLong("0", p)));
        }
    }
}

// 10^20 and beyond are refused with the worker's message (cos: 1, sin and tan: 0, error -1);
// just below 10^20 the angle is reduced.
TEST(Trigonometric, AnglesFromTenToTheTwentyAreRefused) {
    const struct {
        Worker worker;
        Message message;
        const char* value;
    } kCases[] = {{CosLong, Message::CosAngleTooLarge, "1"},
                  {SinLong, Message::SinAngleTooLarge, "0"},
                  {TanLong, Message::TanAngleTooLarge, "0"}};
    for (const auto& c : kCases) {
        for (const char* angle : {"1e20", "-1e20", "3.5e300"}) {
            const WorkLong x = MakeLong(angle, 3);
            WorkLong r;
            testing::internal::CaptureStdout();
            c.worker(r, x);
            EXPECT_EQ(testing::internal::GetCapturedStdout(), MessageText(c.message)) << angle;
            WorkLong expected = MakeLong(c.value, 3);
            expected.error = -1;
            EXPECT_TRUE(SameRecord(r, expected)) << angle;
        }
        const WorkLong x = MakeLong("99999999999999999999.12", 3);
        WorkLong r;
        testing::internal::CaptureStdout();
        c.worker(r, x);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(r.error, 0);
    }
}

TEST(Trigonometric, FlaggedArgumentGivesItsValueWithErrorAndNoMessage) {
    for (int32_t error : {-1, -3}) {
        WorkLong x = MakeLong("0.5", 4);
        x.error = error;
        WorkLong c;
        WorkLong s;
        WorkLong t;
        testing::internal::CaptureStdout();
        CosLong(c, x);
        SinLong(s, x);
        TanLong(t, x);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        WorkLong one = MakeLong("1", 4);
        one.error = -1;
        WorkLong zero = MakeLong("0", 4);
        zero.error = -1;
        EXPECT_TRUE(SameRecord(c, one));
        EXPECT_TRUE(SameRecord(s, zero));
        EXPECT_TRUE(SameRecord(t, zero));
    }
}

// sin and tan are odd, cos even, bit for bit: all three work on |x|.
TEST(Trigonometric, SymmetryIsExact) {
    RandomLongs random(5304);
    for (int32_t p : {1, 7, 30}) {
        for (int i = 0; i < 4; ++i) {
            WorkLong x = RandomAngle(random, p);
            x.sign = 1;
            WorkLong minus = x;
            minus.sign = -1;
            for (const Export& e : kExports) {
                WorkLong r;
                e.worker(r, x);
                WorkLong m;
                e.worker(m, minus);
                if (e.worker != CosLong) m.sign = -m.sign;
                EXPECT_TRUE(SameRecord(m, r)) << e.function.name;
            }
        }
    }
}

TEST(Trigonometric, ResultMayBeTheArgument) {
    for (const Export& e : kExports) {
        const WorkLong x = MakeLong("-2.75", 9);
        WorkLong expected;
        e.worker(expected, x);
        WorkLong r = x;
        e.worker(r, r);
        EXPECT_TRUE(SameRecord(r, expected)) << e.function.name;
    }
    WorkLong y = MakeLong("0.3", 6);
    WorkLong copy = y;
    WorkLong expected;
    CosSeries(expected, copy);
    CosSeries(y, y);
    EXPECT_TRUE(SameRecord(y, expected));
    y = MakeLong("0.3", 6);
    SinSeries(expected, copy);
    SinSeries(y, y);
    EXPECT_TRUE(SameRecord(y, expected));
    WorkLong c = MakeLong("0.6", 6);
    copy = c;
    TanFromCos(expected, copy);
    TanFromCos(c, c);
    EXPECT_TRUE(SameRecord(c, expected));
}

// The series on their own: within their reach (|y| up to about 0.79) every limb but the last
// few, and exactly 1 and 0 at y = 0.
TEST(TrigonometricSeries, MatchMpfrUpToAQuarterTurn) {
    RandomLongs random(5305);
    for (int32_t p : {1, 5, 30, 100, 303}) {
        for (int i = 0; i < (p == 303 ? 1 : 4); ++i) {
            const WorkLong x = MakeLong(
                ExactValue(RandomNumber(random, p, -1, i % 2 == 1)) * mpq_class(79, 100), p);
            WorkLong y = x;
            WorkLong c;
            CosSeries(c, y);
            WorkLong s;
            SinSeries(s, y);
            EXPECT_EQ(c.error, 0);
            EXPECT_EQ(s.error, 0);
            EXPECT_TRUE(Accurate(reference::kCosine, x, c, p));
            EXPECT_TRUE(Accurate(reference::kSine, x, s, p));
        }
    }
    WorkLong zero = MakeLong("0", 3);
    WorkLong c;
    CosSeries(c, zero);
    EXPECT_TRUE(reference::HasExactValue(c, 1));
    WorkLong s;
    SinSeries(s, zero);
    EXPECT_EQ(s.sign, 0);
    EXPECT_EQ(s.error, 0);
}

// 20 blocks do not reach the terms' decline for y = 1000: the message, error -1.
TEST(TrigonometricSeries, UnconvergedSeriesReport) {
    WorkLong y = MakeLong("1000", 1);
    WorkLong c;
    testing::internal::CaptureStdout();
    CosSeries(c, y);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), MessageText(Message::CosNotConverged));
    EXPECT_EQ(c.error, -1);

    y = MakeLong("1000.5", 1);
    WorkLong s;
    testing::internal::CaptureStdout();
    SinSeries(s, y);
    char expected[256];
    std::snprintf(expected, sizeof expected, MessageText(Message::SinNotConverged), 0L, 1000.0,
                  5000000000.0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
    EXPECT_EQ(s.error, -1);
}

// A cosine that is exactly zero has no tangent: zero with error -1 and no message, also through
// TanLong at pi/2 itself.
TEST(TanLong, ExactlyZeroCosineGivesZeroWithError) {
    WorkLong zero = MakeLong("0", 4);
    WorkLong t;
    testing::internal::CaptureStdout();
    TanFromCos(t, zero);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(t.sign, 0);
    EXPECT_EQ(t.error, -1);

    WorkLong half;
    HalfPiLong(half, 6);
    testing::internal::CaptureStdout();
    TanLong(t, half);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(t.sign, 0);
    EXPECT_EQ(t.error, -1);
}

}  // namespace
}  // namespace ostrel2

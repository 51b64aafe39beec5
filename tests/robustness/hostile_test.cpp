// hostile_test.cpp -- records no caller should send, sent to every export: refused ones get the
// guard's error record, the rest finish quickly with finite limbs, and argument records are
// never written (but by a successful LCM_XL). Also the 64-bit exponent moves of Normalize, its
// answer to non-finite limbs, and the saturating error sums.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>
#include <random>
#include <string>

#include "core/diagnostics.h"
#include "core/long_number.h"
#include "api/export_kinds.h"
#include "support/export_sampling.h"
#include "support/gmp_reference.h"

namespace {

using namespace ostrel2::api;
using ostrel2::WorkLong;
using ostrel2::reference::IsDear;
using ostrel2::reference::kDearPrecisions;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

LongNumber Simple(int32_t sign, int32_t exponent, int32_t precision, std::initializer_list<double> limbs) {
    LongNumber x;
    std::memset(&x, 0, sizeof x);
    x.sign = sign;
    x.exponent = exponent;
    x.precision = precision;
    int k = 0;
    for (double v : limbs) x.limbs[k++] = v;
    return x;
}

LongNumber One() { return Simple(1, 0, 5, {1}); }

struct Call {
    LongNumber result;
    LongNumber x;
    LongNumber y;
    double seconds;  // processor time of the call: a loaded machine does not stretch it
};

// Calls e with x (and y); plain arguments are ordinary values.
Call CallExport(const Export& e, const LongNumber& x, const LongNumber& y) {
    Call c;
    std::memset(&c.result, 0x5A, sizeof c.result);
    c.x = x;
    c.y = y;
    Arguments a;
    a.result = &c.result;
    a.x = &c.x;
    a.y = &c.y;
    a.n = 2.0;
    a.first = 20;
    a.second = 20;
    const std::clock_t start = std::clock();
    e.invoke(a);
    c.seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    return c;
}

// A hostile record and what it is, for the traces.
struct Case {
    const char* what;
    LongNumber record;
};

// Calls every export that takes records with each case's record as x and, where it reads one, as
// y (the other argument 1), and hands check the export, the x and y it sent and the call.
template <size_t N, typename Check>
void CallWithEachCaseInEachPosition(const Case (&cases)[N], Check check) {
    for (const Export& e : kExports) {
        for (const Case& c : cases) {
            for (int slot = 0; slot < RecordCount(e.kind); ++slot) {
                SCOPED_TRACE(std::string(e.name) + ", " + c.what + (slot ? " as y" : " as x"));
                const LongNumber x = slot == 0 ? c.record : One();
                const LongNumber y = slot == 1 ? c.record : One();
                check(e, x, y, CallExport(e, x, y));
            }
        }
    }
}

// Records the guard refuses, as x and as y of every export that takes records.
TEST(HostileRecords, RefusedRecordsGetTheGuardRecord) {
    const Case cases[] = {
        {"NaN leading limb", Simple(1, 0, 5, {kNaN})},
        {"NaN in the last live limb", Simple(1, 0, 5, {1, 0, 0, 0, 0, 0, 0, 0, kNaN})},
        {"+inf limb", Simple(1, 0, 5, {1, kInf})},
        {"-inf limb", Simple(-1, 0, 5, {-kInf})},
        {"limb -10^300 after the leading limb", Simple(1, 0, 5, {5, -1e300})},
        {"limb -10^10", Simple(1, 0, 5, {1, 0, -1e10})},
        {"sign 7", Simple(7, 0, 5, {1})},
        {"sign INT_MIN", Simple(std::numeric_limits<int32_t>::min(), 0, 5, {1})},
        {"positive error", [] { LongNumber x = One(); x.error = 1; return x; }()},
        {"exponent INT_MIN", Simple(1, std::numeric_limits<int32_t>::min(), 5, {5})},
        {"exponent INT_MAX", Simple(1, std::numeric_limits<int32_t>::max(), 5, {5})},
        {"precision 0", Simple(1, 0, 0, {1})},
        {"precision 304", Simple(1, 0, 304, {1})},
    };
    CallWithEachCaseInEachPosition(cases, [](const Export& e, const LongNumber& x,
                                             const LongNumber& y, const Call& r) {
        EXPECT_EQ(r.result.error, -1);
        if (e.kind == Kind::Cofactors) {
            EXPECT_EQ(r.result.sign, 1);
            EXPECT_EQ(r.result.limbs[0], 1.0);
        } else {
            EXPECT_EQ(r.result.sign, 0);
            EXPECT_EQ(r.result.exponent, ostrel2::ZERO_EXPONENT);
            EXPECT_EQ(r.result.precision, 303);
        }
        // Neither argument record is written, the refused one or the other.
        EXPECT_EQ(std::memcmp(&r.x, &x, sizeof r.x), 0);
        if (RecordCount(e.kind) == 2) {
            EXPECT_EQ(std::memcmp(&r.y, &y, sizeof r.y), 0);
        }
    });
}

// Records the guard accepts but normalisation refuses (a negative limb ahead of the leading
// limb, on and off the exponent grid; a carry past the largest exponent): every export that
// reads the record reports a failure, however it was going to use the value.
TEST(HostileRecords, RecordsNormalisationRefusesComeBackFailed) {
    const Case cases[] = {
        {"leading limb -3, exponent 1", Simple(1, 1, 5, {-3})},
        {"leading limb -3, exponent 0", Simple(1, 0, 5, {-3})},
        {"leading limb -1, x 0.5 after", Simple(1, -10, 7, {-1, 5e9})},
        {"carry past the largest exponent", Simple(1, ostrel2::EXPONENT_CEILING, 5, {1e300})},
    };
    CallWithEachCaseInEachPosition(cases, [](const Export& e, const LongNumber&,
                                             const LongNumber&, const Call& r) {
        // Abs_XL only turns the sign and hands the rest of the record back as it came.
        if (std::string(e.name) == "Abs_XL") return;
        EXPECT_LT(r.result.error, 0);
    });
}

// A NaN beyond the live limbs plays no part: the record is accepted.
TEST(HostileRecords, SlotsBeyondTheLiveLimbsAreNotExamined) {
    LongNumber x = Simple(1, 0, 5, {3});
    LongNumber withNaN = x;
    for (int k = 9; k < OSTREL2_LIMB_SLOTS; ++k) withNaN.limbs[k] = kNaN;
    for (const Export& e : kExports) {
        if (RecordCount(e.kind) == 0 || e.kind == Kind::RecordDouble || e.kind == Kind::Cofactors) continue;
        SCOPED_TRACE(e.name);
        const Call clean = CallExport(e, x, x);
        const Call poisoned = CallExport(e, withNaN, withNaN);
        EXPECT_EQ(poisoned.result.error, clean.result.error);
        EXPECT_EQ(std::memcmp(&poisoned.result, &clean.result, sizeof clean.result), 0);
    }
}

// Finite but wild limbs pass the guard; every export finishes within seconds of processor time
// with finite live limbs and an accepted precision.
TEST(HostileRecords, WildFiniteLimbsFinishQuicklyWithFiniteResults) {
    const LongNumber cases[] = {
        Simple(1, 1, 5, {-3}),
        Simple(1, 0, 5, {5, -9999999999.0}),
        Simple(1, 0, 5, {1, 3e20, 7}),
        Simple(1, 0, 5, {1.7e308, 1.7e308, 1.7e308}),
        Simple(-1, 0, 5, {0.5, 0.25, 1e-300}),
        Simple(1, 0, 5, {1e16}),
        Simple(1, 7, 303, {4.5e15, 9.9e15, 1e300, -2e9, 3.5}),
        Simple(1, 2000000000, 5, {9999999999, 1e10}),
        Simple(1, -2100000000, 5, {0, 0, 4}),
        Simple(-1, ostrel2::EXPONENT_FLOOR, 5, {0, 0, 0, 0, 1}),
        Simple(1, ostrel2::EXPONENT_CEILING, 5, {1e300}),
    };
    double worst = 0.0;
    std::string slowest;
    for (const Export& e : kExports) {
        if (RecordCount(e.kind) == 0) continue;
        // y only for the exports that read it.
        const size_t ys = RecordCount(e.kind) == 2 ? sizeof cases / sizeof cases[0] : 1;
        for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
            for (size_t j = 0; j < ys; j += 3) {
                const std::string what = std::string(e.name) + " case " + std::to_string(i) + "," + std::to_string(j);
                SCOPED_TRACE(what);
                const Call r = CallExport(e, cases[i], cases[j]);
                if (r.seconds > worst) {
                    worst = r.seconds;
                    slowest = what;
                }
                EXPECT_LT(r.seconds, 5.0);
                ASSERT_GE(r.result.precision, 1);
                ASSERT_LE(r.result.precision, 303);
                for (int k = 0; k < r.result.precision + 4 && k < OSTREL2_LIMB_SLOTS; ++k) {
                    ASSERT_TRUE(std::isfinite(r.result.limbs[k])) << "limb " << k;
                }
            }
        }
    }
    std::printf("slowest call on wild limbs: %.3f s (%s)\n", worst, slowest.c_str());
}

// Whatever the caller's records hold, no export but LCM_XL writes them. Records of accepted
// headers run from precision 1 to 277 (random ones to 303) for the cheap exports, over the
// sampled precisions for the dear ones.
TEST(HostileRecords, ArgumentRecordsAreNeverWritten) {
    std::mt19937_64 engine(20091025);
    ostrel2::reference::RandomLongs random(7);
    constexpr int kSampled = sizeof kDearPrecisions / sizeof kDearPrecisions[0];
    for (const Export& e : kExports) {
        if (RecordCount(e.kind) == 0 || e.kind == Kind::Cofactors) continue;
        SCOPED_TRACE(e.name);
        for (int round = 0; round < 24; ++round) {
            const bool dear = IsDear(e);
            const int32_t sampled = kDearPrecisions[(round / 3) % kSampled];
            LongNumber records[2];
            for (LongNumber& x : records) {
                if (round % 3 == 0) {
                    x = ostrel2::reference::ToBoundary(random.Next(dear ? sampled : 1 + round * 12));
                } else {
                    unsigned char* bytes = reinterpret_cast<unsigned char*>(&x);
                    for (size_t k = 0; k < sizeof x; ++k) bytes[k] = static_cast<unsigned char>(engine());
                    // Every other garbage record gets an accepted header, so the workers run on it.
                    if (round % 3 == 1) {
                        const int32_t drawn = 1 + static_cast<int32_t>(engine() % 303);
                        x.precision = dear ? sampled : drawn;
                        x.sign = 1;
                        x.error = 0;
                        x.exponent = 10 * static_cast<int32_t>(engine() % 200) - 1000;
                        for (double& limb : x.limbs) if (!std::isfinite(limb)) limb = 1.0;
                    }
                }
            }
            const Call r = CallExport(e, records[0], records[1]);
            EXPECT_EQ(std::memcmp(&r.x, &records[0], sizeof r.x), 0) << "round " << round;
            EXPECT_EQ(std::memcmp(&r.y, &records[1], sizeof r.y), 0) << "round " << round;
        }
    }
}

WorkLong Work(int32_t exponent, std::initializer_list<double> limbs, int32_t precision = 5) {
    WorkLong x;
    ostrel2::InitLong(x, precision, 1, exponent, 0.0);
    int k = 0;
    for (double v : limbs) x.limbs[k++] = v;
    return x;
}

std::string Captured(void (*body)()) {
    testing::internal::CaptureStdout();
    body();
    return testing::internal::GetCapturedStdout();
}

// Exponent moves that leave the representable range end at its edges, reported, never wrapped.
TEST(NormalizeHardening, ExponentMovesStayInRange) {
    static WorkLong x;
    // Two leading zero limbs removed from the lowest exponent: the floor, with the overflow message.
    x = Work(ostrel2::EXPONENT_FLOOR, {0, 0, 7});
    std::string out = Captured([] { ostrel2::Normalize(x); });
    EXPECT_EQ(x.exponent, ostrel2::EXPONENT_FLOOR);
    EXPECT_EQ(x.error, -1);
    EXPECT_EQ(out, ostrel2::MessageText(ostrel2::Message::Overflow));
    // A leading limb of 10^10 at the highest exponent: held at the ceiling, reported by the limit.
    x = Work(ostrel2::EXPONENT_CEILING, {1e10});
    out = Captured([] { EXPECT_EQ(ostrel2::Normalize(x), -2); });
    EXPECT_EQ(x.exponent, ostrel2::EXPONENT_CEILING);
    EXPECT_EQ(x.error, -1);
    EXPECT_EQ(out, ostrel2::MessageText(ostrel2::Message::ExponentLimit));
    // An off-grid exponent near the top of int32 moves onto the grid without wrapping.
    x = Work(2147483647, {5});
    Captured([] { ostrel2::Normalize(x); });
    EXPECT_GT(x.exponent, 0);
    EXPECT_EQ(x.exponent % 10, 0);
    EXPECT_EQ(x.error, -1);
    // An ordinary record is untouched by the wide arithmetic.
    x = Work(7, {5});
    EXPECT_EQ(ostrel2::Normalize(x), 0);
    EXPECT_EQ(x.exponent, 0);
    EXPECT_EQ(x.limbs[0], 50000000.0);
    EXPECT_EQ(x.error, 0);
}

// A NaN or infinite live limb turns the record into the canonical zero with error -1 and the
// leading-limb message, instead of recursing on it without end.
TEST(NormalizeHardening, NonFiniteLimbsBecomeAnErrorZero) {
    static WorkLong x;
    for (double bad : {kNaN, kInf, -kInf}) {
        x = Work(0, {1, 2, bad, 4});
        std::string out = Captured([] { EXPECT_EQ(ostrel2::Normalize(x), -1); });
        EXPECT_EQ(x.sign, 0);
        EXPECT_EQ(x.exponent, ostrel2::ZERO_EXPONENT);
        EXPECT_EQ(x.error, -1);
        for (int k = 0; k <= ostrel2::LastLimb(x); ++k) EXPECT_EQ(x.limbs[k], 0.0);
        char expected[200];
        std::snprintf(expected, sizeof expected, ostrel2::MessageText(ostrel2::Message::LeadingLimbOverflow), bad);
        EXPECT_EQ(out, expected);
    }
    // The largest finite leading limb takes its bounded number of repeated passes.
    x = Work(0, {1.7e308});
    Captured([] { ostrel2::Normalize(x); });
    EXPECT_TRUE(std::isfinite(x.limbs[0]));
    EXPECT_EQ(x.error, -1);
}

TEST(ErrorSums, SaturateAtTheEndsOfTheRange) {
    constexpr int32_t lo = std::numeric_limits<int32_t>::min();
    constexpr int32_t hi = std::numeric_limits<int32_t>::max();
    struct Case { int32_t a, b, c, sum; };
    const Case cases[] = {
        {0, 0, 0, 0},       {-1, -1, 0, -2},        {-1, -2, -3, -6},
        {lo, -1, 0, lo},    {lo, lo, lo, lo},       {-2000000000, -2000000000, 0, lo},
        {hi, 1, 0, hi},     {lo, hi, 0, -1},        {-5, 0, lo + 5, lo},
    };
    for (const Case& c : cases) EXPECT_EQ(ostrel2::SumErrors(c.a, c.b, c.c), c.sum) << c.a << " " << c.b << " " << c.c;
}

}  // namespace

// entry_frames_test.cpp -- the frame of each argument kind with a stand-in worker: the guard, the
// hand-over of api/export_table.h (which record the worker writes into), private copies, and the
// result written whole, independently of any real worker.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "api/entry_frames.h"
#include "core/long_number.h"
#include "ostrel2.h"

namespace ostrel2 {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// What the stand-in worker saw.
struct Probe {
    int calls = 0;
    const WorkLong* result = nullptr;
    const WorkLong* x = nullptr;
    const WorkLong* y = nullptr;
    double slot306 = -1.0;   // x's slot 306 as the worker got it
    int32_t precision = 0;  // the precision argument
    int32_t whole = 0;      // Factorial_XL's n
    int32_t counter = -1;   // Pai_XL's counter as the worker got it
    double n = 0.0;
};

// The stand-in worker: notes its records, scribbles on its operands, then writes 4 at precision 5
// into its result with garbage left above the live limbs.
void Scribble(Probe& probe, WorkLong& r, WorkLong* a, WorkLong* b) {
    ++probe.calls;
    probe.result = &r;
    probe.x = a;
    probe.y = b;
    if (a != nullptr) probe.slot306 = a->limbs[BOUNDARY_LIMBS];
    if (a != nullptr) a->limbs[0] = 123.0;
    if (b != nullptr) b->limbs[0] = 123.0;
    InitLong(r, 5, 1, 0, 4.0);
    for (int k = 9; k < WORK_LIMBS; ++k) r.limbs[k] = 7.0;
}

// Every frame through one signature: result, x, y, the precision argument.
struct Frame {
    const char* name;
    int records;            // argument records the frame takes
    bool takesPrecision;    // a precision argument (Pai_XL, Factorial_XL)
    bool overX;             // the worker's result record is the copy of x
    std::function<LongNumber*(LongNumber*, LongNumber*, LongNumber*, int32_t, Probe&)> run;
};

const Frame kFrames[] = {
    {"OneRecord", 1, false, false,
     [](LongNumber* r, LongNumber* x, LongNumber*, int32_t, Probe& p) {
         return entry::OneRecord(r, x, [&](WorkLong& w, WorkLong& a) { Scribble(p, w, &a, nullptr); });
     }},
    {"OneRecordOverX", 1, false, true,
     [](LongNumber* r, LongNumber* x, LongNumber*, int32_t, Probe& p) {
         return entry::OneRecordOverX(r, x, [&](WorkLong& w, WorkLong& a) { Scribble(p, w, &a, nullptr); });
     }},
    {"TwoRecords", 2, false, false,
     [](LongNumber* r, LongNumber* x, LongNumber* y, int32_t, Probe& p) {
         return entry::TwoRecords(r, x, y, [&](WorkLong& w, WorkLong& a, WorkLong& b) { Scribble(p, w, &a, &b); });
     }},
    {"TwoRecordsOverX", 2, false, true,
     [](LongNumber* r, LongNumber* x, LongNumber* y, int32_t, Probe& p) {
         return entry::TwoRecordsOverX(r, x, y,
                                       [&](WorkLong& w, WorkLong& a, WorkLong& b) { Scribble(p, w, &a, &b); });
     }},
    {"RecordDouble", 1, false, true,
     [](LongNumber* r, LongNumber* x, LongNumber*, int32_t, Probe& p) {
         return entry::RecordDouble(r, x, kNaN, [&](WorkLong& w, WorkLong& a, double n) {
             p.n = n;
             Scribble(p, w, &a, nullptr);
         });
     }},
    {"Precision", 0, true, false,
     [](LongNumber* r, LongNumber*, LongNumber*, int32_t precision, Probe& p) {
         return entry::Precision(r, precision, [&](WorkLong& w, int32_t q, int32_t& counter) {
             p.precision = q;
             p.counter = counter;
             counter = 99;
             Scribble(p, w, nullptr, nullptr);
         });
     }},
    {"IntPrecision", 0, true, false,
     [](LongNumber* r, LongNumber*, LongNumber*, int32_t precision, Probe& p) {
         return entry::IntPrecision(r, -5, precision, [&](WorkLong& w, int32_t n, int32_t q) {
             p.whole = n;
             p.precision = q;
             Scribble(p, w, nullptr, nullptr);
         });
     }},
    {"Cofactors", 2, false, false,
     [](LongNumber* r, LongNumber* x, LongNumber* y, int32_t, Probe& p) {
         return entry::Cofactors(r, x, y, [&](WorkLong& w, WorkLong& a, WorkLong& b) { Scribble(p, w, &a, &b); });
     }},
};

// 3 at precision 5 with NaN in every slot beyond the live limbs, as a caller may leave them.
LongNumber Three() {
    LongNumber x;
    std::memset(&x, 0, sizeof x);
    x.sign = 1;
    x.precision = 5;
    x.limbs[0] = 3.0;
    for (int k = 9; k < OSTREL2_LIMB_SLOTS; ++k) x.limbs[k] = kNaN;
    return x;
}

bool SameBytes(const LongNumber& a, const LongNumber& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(EntryFrames, RefusedArgumentsGetTheGuardRecordAndNoWorkerCall) {
    for (const Frame& f : kFrames) {
        for (int32_t refused : {0, -1, 304}) {
            const int slots = f.takesPrecision ? 1 : f.records;
            for (int slot = 0; slot < slots; ++slot) {
                SCOPED_TRACE(std::string(f.name) + " precision " + std::to_string(refused) + " in argument " +
                             std::to_string(slot));
                LongNumber x = Three();
                LongNumber y = Three();
                if (!f.takesPrecision) (slot == 0 ? x : y).precision = refused;
                LongNumber r;
                std::memset(&r, 0xAB, sizeof r);
                Probe probe;
                EXPECT_EQ(f.run(&r, &x, &y, f.takesPrecision ? refused : 5, probe), &r);
                EXPECT_EQ(probe.calls, 0);
                EXPECT_EQ(r.error, -1);
                const bool one = std::strcmp(f.name, "Cofactors") == 0;
                EXPECT_EQ(r.sign, one ? 1 : 0);
                EXPECT_EQ(r.exponent, one ? 0 : ZERO_EXPONENT);
                EXPECT_EQ(r.limbs[0], one ? 1.0 : 0.0);
                // The 1 of the greatest common divisor takes x's precision when x's is accepted.
                EXPECT_EQ(r.precision, one && slot == 1 ? 5 : MAX_PRECISION);
                for (int k = 1; k < OSTREL2_LIMB_SLOTS; ++k) ASSERT_EQ(r.limbs[k], 0.0) << "slot " << k;
            }
        }
    }
}

// The edges of the accepted range reach the worker; a double or an int n is not the guard's.
TEST(EntryFrames, AcceptedPrecisionsReachTheWorker) {
    for (const Frame& f : kFrames) {
        for (int32_t accepted : {1, 303}) {
            SCOPED_TRACE(std::string(f.name) + " precision " + std::to_string(accepted));
            LongNumber x = Three();
            for (int k = 9; k < OSTREL2_LIMB_SLOTS; ++k) x.limbs[k] = 0.0;  // all live at 303
            x.precision = accepted;
            LongNumber y = x;
            LongNumber r;
            Probe probe;
            f.run(&r, &x, &y, accepted, probe);
            EXPECT_EQ(probe.calls, 1);
            EXPECT_EQ(r.error, 0);
            if (f.takesPrecision) {
                EXPECT_EQ(probe.precision, accepted);
            }
        }
    }
    Probe probe;
    LongNumber r;
    kFrames[6].run(&r, nullptr, nullptr, 20, probe);  // IntPrecision: n = -5, precision 20
    EXPECT_EQ(probe.whole, -5);
    EXPECT_EQ(probe.precision, 20);
    LongNumber x = Three();
    kFrames[4].run(&r, &x, nullptr, 0, probe);  // RecordDouble: n is NaN
    EXPECT_TRUE(std::isnan(probe.n));
    kFrames[5].run(&r, nullptr, nullptr, 7, probe);  // Precision: the counter starts at 0
    EXPECT_EQ(probe.precision, 7);
    EXPECT_EQ(probe.counter, 0);
}

// Which private record the worker writes into, as the kinds of the export table say.
TEST(EntryFrames, HandOverOfEachKind) {
    for (const Frame& f : kFrames) {
        SCOPED_TRACE(f.name);
        LongNumber x = Three();
        LongNumber y = Three();
        LongNumber r;
        Probe probe;
        f.run(&r, &x, &y, 5, probe);
        ASSERT_EQ(probe.calls, 1);
        EXPECT_EQ(probe.x != nullptr, f.records >= 1);
        EXPECT_EQ(probe.y != nullptr, f.records == 2);
        EXPECT_EQ(probe.result == probe.x, f.overX);
        EXPECT_NE(static_cast<const void*>(probe.result), static_cast<const void*>(&r));
        if (f.records >= 1) {
            EXPECT_NE(static_cast<const void*>(probe.x), static_cast<const void*>(&x));
            EXPECT_EQ(probe.slot306, 0.0);  // the working record's extra slot starts at 0
        }
        if (f.records == 2) {
            EXPECT_NE(probe.y, probe.result);
        }
    }
}

// The worker's scribbles never reach the caller's records (but the replaced cofactors do), and
// the result is written whole: the live limbs as the worker left them, every slot above them 0.
TEST(EntryFrames, PrivateCopiesAndResultWrittenWhole) {
    for (const Frame& f : kFrames) {
        SCOPED_TRACE(f.name);
        const LongNumber x0 = Three();
        LongNumber x = x0;
        LongNumber y = x0;
        LongNumber r;
        std::memset(&r, 0xAB, sizeof r);
        Probe probe;
        f.run(&r, &x, &y, 5, probe);
        EXPECT_EQ(r.sign, 1);
        EXPECT_EQ(r.precision, 5);
        EXPECT_EQ(r.limbs[0], 4.0);
        for (int k = 1; k < OSTREL2_LIMB_SLOTS; ++k) ASSERT_EQ(r.limbs[k], 0.0) << "slot " << k;
        if (std::strcmp(f.name, "Cofactors") != 0) {
            EXPECT_TRUE(SameBytes(x, x0));
            EXPECT_TRUE(SameBytes(y, x0));
        }
    }
}

// The greatest common divisor writes back only a record its worker replaced, and writes it whole.
TEST(EntryFrames, CofactorsGoBackOnlyWhenReplaced) {
    const Frame& cofactors = kFrames[7];
    LongNumber x = Three();
    LongNumber y = Three();
    LongNumber r;
    Probe probe;
    cofactors.run(&r, &x, &y, 5, probe);
    EXPECT_EQ(x.limbs[0], 123.0);
    EXPECT_EQ(y.limbs[0], 123.0);
    for (int k = 9; k < OSTREL2_LIMB_SLOTS; ++k) ASSERT_EQ(x.limbs[k], 0.0) << "slot " << k;

    // A worker that leaves its operands as they came: the caller's bytes stay, NaN slots and all.
    const LongNumber x0 = Three();
    x = x0;
    y = x0;
    entry::Cofactors(&r, &x, &y, [](WorkLong& g, WorkLong&, WorkLong&) { InitLong(g, 5, 1, 0, 1.0); });
    EXPECT_TRUE(SameBytes(x, x0));
    EXPECT_TRUE(SameBytes(y, x0));
}

}  // namespace
}  // namespace ostrel2

// constants_test.cpp -- the records kept per precision: what is kept, what never is, first use
// from many threads at once; the kept constants against fresh ones; and the real power fed the
// kept root of e against the power that iterates the root itself.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <limits>
#include <thread>
#include <vector>

#include "core/long_number.h"
#include "powers/real_power.h"
#include "support/trigonometric_reference.h"
#include "transcendental/constants.h"

namespace ostrel2 {
namespace {


// A record the computation below would give at this precision: its limbs spell the precision, so
// that a record read from the wrong slot shows.
WorkLong Marked(int32_t precision, int32_t recordPrecision, int32_t error) {
    WorkLong r;
    InitLong(r, recordPrecision, 1, 10 * precision, 1.0 + precision);
    for (int32_t k = 1; k <= LastLimb(r); ++k) r.limbs[k] = 1000.0 * precision + k;
    r.error = error;
    return r;
}

// Counts its calls; fails (error -1) on the first `failures` of them, and gives records of
// precision `recordPrecision` (the request's own when 0).
struct CountingCompute {
    std::atomic<int32_t>* calls;
    int32_t failures;
    int32_t recordPrecision;
    WorkLong& operator()(WorkLong& result, int32_t precision) const {
        const int32_t call = calls->fetch_add(1);
        const int32_t rp = recordPrecision != 0 ? recordPrecision : (precision > 5 ? precision : 5);
        result = Marked(precision, rp, call < failures ? -1 : 0);
        return result;
    }
};

// Each row asks one fresh precision of one table three times: how many computations that takes,
// and the error the last request sees.
TEST(KeptRecords, KeepsSuccessesOnlyAndOnlyInsideTheirRange) {
    struct Case {
        const char* what;
        int32_t precision;
        int32_t failures;         // computations that fail before the first success
        int32_t recordPrecision;  // 0: max(p, 5)
        int32_t computations;     // after three requests
    };
    const Case cases[] = {
        {"a success is kept", 7, 0, 0, 1},
        {"a precision below 5 keeps its five-limb record", 2, 0, 0, 1},
        {"the largest precision", MAX_PRECISION, 0, 0, 1},
        {"a failure is computed again, the success after it kept", 40, 1, 0, 2},
        {"failures are never kept", 41, 3, 0, 3},
        {"a record longer than its slot is never kept", 3, 0, 6, 3},
        {"precision 0 lies outside the table", 0, 0, 5, 3},
        {"precision 304 lies outside the table", MAX_PRECISION + 1, 0, 5, 3},
    };
    static KeptRecords table;
    for (const Case& c : cases) {
        std::atomic<int32_t> calls{0};
        const CountingCompute compute{&calls, c.failures, c.recordPrecision};
        WorkLong first;
        table.Get(first, c.precision, compute);
        WorkLong r;
        for (int request = 0; request < 2; ++request) {
            for (double& limb : r.limbs) limb = std::numeric_limits<double>::quiet_NaN();
            table.Get(r, c.precision, compute);
        }
        EXPECT_EQ(calls.load(), c.computations) << c.what;
        const int32_t lastError = c.failures >= 3 ? -1 : 0;
        const int32_t rp =
            c.recordPrecision != 0 ? c.recordPrecision : (c.precision > 5 ? c.precision : 5);
        EXPECT_TRUE(reference::SameRecord(r, Marked(c.precision, rp, lastError))) << c.what;
    }
    // The rows above left every other precision alone.
    std::atomic<int32_t> calls{0};
    WorkLong r;
    table.Get(r, 8, CountingCompute{&calls, 0, 0});
    EXPECT_EQ(calls.load(), 1);
}

// Eight threads ask for the same precision of an empty table at once: each gets the whole record,
// whether it computed it or read it, and once one is published the table computes no more.
TEST(KeptRecords, ConcurrentFirstUseGivesEveryThreadTheWholeRecord) {
    static KeptRecords table;
    constexpr int kThreads = 8;
    std::atomic<int32_t> calls{0};
    std::atomic<int32_t> ready{0};
    std::vector<WorkLong> results(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ++ready;
            while (ready.load() < kThreads) {
            }
            for (int32_t p = MAX_PRECISION; p >= MAX_PRECISION - 20; --p) {
                table.Get(results[t], p, CountingCompute{&calls, 0, 0});
            }
        });
    }
    for (std::thread& t : threads) t.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_TRUE(reference::SameRecord(results[t], Marked(MAX_PRECISION - 20, MAX_PRECISION - 20, 0)));
    EXPECT_GE(calls.load(), 21);
    EXPECT_LE(calls.load(), 21 * kThreads);
    const int32_t before = calls.load();
    WorkLong r;
    for (int32_t p = MAX_PRECISION; p >= MAX_PRECISION - 20; --p)
        table.Get(r, p, CountingCompute{&calls, 0, 0});
    EXPECT_EQ(calls.load(), before);
}

// The kept constants are the fresh ones, byte for byte, when first computed and when read again;
// the precisions take in the products' floor of 5 limbs.
TEST(ConstantLong, KeptConstantsAreTheFreshOnes) {
    for (Constant kind : {Constant::Pi, Constant::E, Constant::Ln10, Constant::ERoot}) {
        for (int32_t p : {1, 4, 5, 6, 33}) {
            WorkLong fresh;
            FreshConstant(fresh, kind, p);
            ASSERT_EQ(fresh.error, 0);
            for (int request = 0; request < 2; ++request) {
                WorkLong kept;
                for (double& limb : kept.limbs) limb = std::numeric_limits<double>::quiet_NaN();
                ConstantLong(kept, kind, p);
                EXPECT_TRUE(reference::SameRecord(kept, fresh))
                    << "constant " << static_cast<int>(kind) << ", p = " << p << ", request "
                    << request;
            }
        }
    }
}

// A base other than e, 1.0000000002, whose 10^10-th power stays in range, and its first root as
// the power would iterate it.
constexpr int32_t kPowerPrecision = 6;

WorkLong SmallBase() {
    WorkLong x;
    InitLong(x, kPowerPrecision, 1, 0, 1.0);
    x.limbs[1] = 2.0;
    return x;
}

WorkLong& RootOfSmallBase(WorkLong& root, int32_t /*precision*/) {
    WorkLong x = SmallBase();
    return LimbRootLong(root, x);
}

WorkLong KeptE() {
    WorkLong e;
    ConstantLong(e, Constant::E, kPowerPrecision);
    return e;
}

// x^y with the first root of x handed in gives the bits of the power that iterates it, for each
// way the power comes to its first root: y's leading limb a fraction (the root before the
// leading power), one limb below the units or several, after skipped zero limbs, a negative y
// (a reciprocal at the end), and y of 10^10 and more, whose base is no longer x when the roots
// begin (the handed-in root must then go unused).
TEST(PowerXLongWith, AHandedInFirstRootGivesTheBitsOfTheIteratedOne) {
    struct Case {
        const char* what;
        WorkLong (*base)();
        RootOfBase root;
        int32_t exponent;
        double limbs[3];
        int32_t sign;
    };
    const Case cases[] = {
        {"e^1.5", KeptE, KeptRootOfE, 0, {1.0, 5e9, 0.0}, 1},
        {"a zero limb skipped", KeptE, KeptRootOfE, 0, {2.0, 0.0, 1234.0}, 1},
        {"e^0.5: the root before the leading power", KeptE, KeptRootOfE, -10, {5e9, 0.0, 0.0}, 1},
        {"three roots before the leading power", KeptE, KeptRootOfE, -30, {7.0, 3.0, 0.0}, 1},
        {"a negative y", KeptE, KeptRootOfE, 0, {3.0, 1.0, 2.0}, -1},
        {"y above 10^10", SmallBase, RootOfSmallBase, 10, {1.0, 0.0, 5e9}, 1},
    };
    for (const Case& c : cases) {
        WorkLong y;
        InitLong(y, kPowerPrecision, c.sign, c.exponent, c.limbs[0]);
        y.limbs[1] = c.limbs[1];
        y.limbs[2] = c.limbs[2];
        WorkLong base = c.base();
        WorkLong exponent = y;
        WorkLong iterated;
        PowerXLong(iterated, base, exponent);
        base = c.base();
        exponent = y;
        WorkLong handedIn;
        PowerXLongWith(handedIn, base, exponent, c.root);
        EXPECT_EQ(iterated.error, 0) << c.what;
        EXPECT_TRUE(reference::SameRecord(handedIn, iterated)) << c.what;
    }
}

}  // namespace
}  // namespace ostrel2

// thread_test.cpp -- every export called from several threads at once on one shared set of
// inputs gives byte for byte the results of a single-threaded run, and the constants the library
// keeps come out the same when many threads meet them first at once.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "robustness_inputs.h"

namespace {

using namespace ostrel2_robust;

struct Job {
    const Export* e;
    Inputs in;  // shared, read by every thread; LCM_XL gets private copies
};

struct Output {
    LongNumber result;
    LongNumber x;  // LCM_XL's cofactors
    LongNumber y;
    int32_t version;
};

Output RunJob(const Job& job) {
    Output out;
    std::memset(&out, 0, sizeof out);
    Arguments a;
    a.result = &out.result;
    // Records are read through const pointers; only LCM_XL writes them, so it gets copies.
    out.x = job.in.x;
    out.y = job.in.y;
    const bool writes = job.e->kind == Kind::Cofactors;
    a.x = writes ? &out.x : const_cast<LongNumber*>(&job.in.x);
    a.y = writes ? &out.y : const_cast<LongNumber*>(&job.in.y);
    a.n = job.in.n;
    a.first = job.in.first;
    a.second = job.in.second;
    job.e->invoke(a);
    out.version = a.version;
    return out;
}

// Eight threads meet pi, e, its root and ln 10 for the first time at the same precision, each
// through the four exports that take them, in an order of its own: some compute the constants,
// some read what another published, and every one gets the bytes a later call (which reads the
// kept constants) gets. Precision 23 is asked for by no other test of this program, so the
// constants are new to the process whichever test runs first; this test comes first all the same.
TEST(Threads, ConcurrentFirstUseOfTheKeptConstants) {
    constexpr int32_t kPrecision = 23;
    constexpr int kThreads = 8;
    constexpr int kCalls = 4;  // Pai_XL, Exp_XL(1.5), Log10_XL(1.5), Sin_XL(1)
    LongNumber one;
    LongNumber oneAndHalf;
    std::memset(&one, 0, sizeof one);
    one.sign = 1;
    one.precision = kPrecision;
    one.limbs[0] = 1.0;
    oneAndHalf = one;
    oneAndHalf.limbs[1] = 5e9;
    auto call = [&](int which, LongNumber* result) {
        switch (which) {
            case 0: Pai_XL(result, kPrecision); break;
            case 1: Exp_XL(result, &oneAndHalf); break;
            case 2: Log10_XL(result, &oneAndHalf); break;
            default: Sin_XL(result, &one); break;
        }
    };

    std::vector<std::array<LongNumber, kCalls>> results(kThreads);
    std::atomic<int> waiting{kThreads};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            // All start together, so that the first requests overlap.
            --waiting;
            while (waiting.load() > 0) {
            }
            for (int k = 0; k < kCalls; ++k) {
                const int which = (k + t) % kCalls;
                call(which, &results[t][which]);
            }
        });
    }
    for (std::thread& t : threads) t.join();

    for (int which = 0; which < kCalls; ++which) {
        LongNumber later;
        call(which, &later);
        EXPECT_EQ(later.error, 0) << which;
        for (int t = 0; t < kThreads; ++t) {
            EXPECT_EQ(std::memcmp(&results[t][which], &later, sizeof later), 0)
                << "call " << which << ", thread " << t;
        }
    }
}

TEST(Threads, ConcurrentCallsMatchTheSingleThreadedRun) {
    std::vector<Job> jobs;
    for (const Export& e : kExports) {
        // Three input sets at precision 303 for a cheap export; one at each sampled precision
        // for a dear one (the transform tables they share are those the cheap ones read at 303).
        if (!IsDear(e)) {
            for (const Inputs& in : DemandingInputs(e.kind, 11, 3)) jobs.push_back({&e, in});
            continue;
        }
        for (int32_t p : kDearPrecisions) {
            for (const Inputs& in : DemandingInputs(e.kind, 11 + p, 1, p)) jobs.push_back({&e, in});
        }
    }
    std::vector<Output> expected;
    for (const Job& job : jobs) expected.push_back(RunJob(job));

    constexpr int kThreads = 4;
    constexpr int kRounds = 2;
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                // Each thread walks the jobs from a different starting point, so different
                // exports overlap in time.
                for (size_t k = 0; k < jobs.size(); ++k) {
                    const size_t j = (k + t * jobs.size() / kThreads) % jobs.size();
                    const Output out = RunJob(jobs[j]);
                    if (std::memcmp(&out, &expected[j], sizeof out) != 0) ++mismatches;
                }
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace

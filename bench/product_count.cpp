// product_count.cpp -- counts the transform products of one call of the workers built on them at
// precision 303, and sets their time beside that many products.
//
// Built as a counting program (product_counter.h): the linker redirects every call of MultiplLong
// to a counting wrapper, which counts and forwards to the real product; the workers themselves
// are the library's unchanged code. For each call it prints the products per call (the mean over
// a few random arguments, with the range), the time per call, the time of that many products
// alone, and the share of the call's time spent outside the products. Times are the thread's CPU
// time, so that other work on a shared machine does not enter them. Single-threaded.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <random>
#include <time.h>

#include "arith/divide_reciprocal.h"
#include "arith/multiply_transform.h"
#include "core/long_number.h"
#include "powers/integer_power.h"
#include "powers/square_root.h"
#include "product_counter.h"
#include "records.h"
#include "transcendental/pi.h"

namespace {

constexpr int32_t kPrecision = 303;
constexpr int kArguments = 8;  // random arguments per call
constexpr int kRounds = 5;     // timing rounds; the fastest counts

double ThreadSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// CPU seconds per run of f over all arguments, the fastest of kRounds rounds.
double SecondsPerRound(const std::function<void(int)>& f) {
    double best = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        const double start = ThreadSeconds();
        for (int i = 0; i < kArguments; ++i) f(i);
        best = std::min(best, ThreadSeconds() - start);
    }
    return best;
}

}  // namespace

int main() {
    std::mt19937_64 rng(20240917);
    ostrel2::WorkLong x[kArguments];
    ostrel2::WorkLong y[kArguments];
    for (int i = 0; i < kArguments; ++i) {
        x[i] = ostrel2_bench::Working(ostrel2_bench::RandomRecord(rng, kPrecision, 0));
        x[i].sign = 1;
        y[i] = ostrel2_bench::Working(ostrel2_bench::RandomRecord(rng, kPrecision, 0));
    }

    // One product at precision 303, the unit of the comparison (100 per argument, for a time
    // well above the clock's resolution).
    const double product = SecondsPerRound([&](int i) {
        for (int k = 0; k < 100; ++k) {
            ostrel2::WorkLong r;
            ostrel2::MultiplLong(r, x[i], y[i]);
        }
    }) / (100.0 * kArguments);

    const struct {
        const char* name;
        std::function<void(int)> call;
    } kCalls[] = {
        {"DivLong", [&](int i) { ostrel2::WorkLong r; ostrel2::DivLong(r, x[i], y[i]); }},
        {"SqrLong", [&](int i) { ostrel2::WorkLong r; ostrel2::SqrLong(r, x[i]); }},
        {"RootLong (7)", [&](int i) { ostrel2::WorkLong r; ostrel2::RootLong(r, x[i], 7.0); }},
        {"PowerLong (12,345)",
         [&](int i) { ostrel2::WorkLong r; ostrel2::PowerLong(r, x[i], 12345.0); }},
        {"PaiLong",
         [&](int) { ostrel2::WorkLong r; int32_t k = 0; ostrel2::PaiLong(r, kPrecision, k); }},
    };

    std::printf("precision %d; one MultiplLong %.2f us\n", kPrecision, product * 1e6);
    std::printf("%-20s %9s %11s %12s %15s %9s\n", "call", "products", "range", "us per call",
                "us in products", "outside");
    for (const auto& c : kCalls) {
        int64_t fewest = INT64_MAX;
        int64_t most = 0;
        int64_t total = 0;
        for (int i = 0; i < kArguments; ++i) {
            ostrel2_bench::ResetProducts();
            c.call(i);
            const int64_t count = ostrel2_bench::Products();
            fewest = std::min(fewest, count);
            most = std::max(most, count);
            total += count;
        }
        const double mean = static_cast<double>(total) / kArguments;
        const double call = SecondsPerRound(c.call) / kArguments;
        const double inProducts = mean * product;
        std::printf("%-20s %9.2f %5lld..%-5lld %12.1f %15.1f %8.1f%%\n", c.name, mean,
                    static_cast<long long>(fewest), static_cast<long long>(most), call * 1e6,
                    inProducts * 1e6, 100.0 * (call - inProducts) / inProducts);
    }
    return 0;
}

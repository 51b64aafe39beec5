// trig_product_count.cpp -- transform products in one call of the trigonometric workers and
// their inverses at precision 303, and the call's time.
//
// Built as a counting program (bench/product_counter.h): every call of MultiplLong made from
// another object file (the series, the reduction, pi, the square root, the reciprocal division)
// goes through the counter. The workers are the library's unchanged code. For each worker and
// argument it prints the products and the call's time, the best of a few repeats. With
// arguments, only the cases named "worker:x" among them run, once each: under callgrind the
// instructions inside and outside MultiplLong give the call's own work beside its products,
// free of the timing noise of a shared machine.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/long_number.h"
#include "product_counter.h"
#include "transcendental/inverse_trigonometric.h"
#include "transcendental/pi.h"
#include "transcendental/trigonometric.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kPrecision = 303;
constexpr int kRepeats = 5;

// The record of units + tenBillionths * 10^-10 at precision 303.
ostrel2::WorkLong Argument(double units, double tenBillionths) {
    ostrel2::WorkLong x;
    ostrel2::InitLong(x, kPrecision, 1, 0, units);
    x.limbs[1] = tenBillionths;
    ostrel2::Normalize(x);
    return x;
}

}  // namespace

int main(int argc, char** argv) {
    using Worker = ostrel2::WorkLong& (*)(ostrel2::WorkLong&, ostrel2::WorkLong&);
    struct Case {
        const char* name;
        Worker worker;
        double units;
        double tenBillionths;
        const char* argument;
    };
    // The const-argument workers wrapped to one signature.
    static Worker sine = [](ostrel2::WorkLong& r, ostrel2::WorkLong& x) -> ostrel2::WorkLong& {
        return ostrel2::SinLong(r, x);
    };
    static Worker cosine = [](ostrel2::WorkLong& r, ostrel2::WorkLong& x) -> ostrel2::WorkLong& {
        return ostrel2::CosLong(r, x);
    };
    static Worker tangent = [](ostrel2::WorkLong& r, ostrel2::WorkLong& x) -> ostrel2::WorkLong& {
        return ostrel2::TanLong(r, x);
    };
    static Worker arctangent = [](ostrel2::WorkLong& r,
                                  ostrel2::WorkLong& x) -> ostrel2::WorkLong& {
        return ostrel2::AtnLong(r, x);
    };
    // pi at the argument's precision, which the reduction and most quadrants compute once.
    static Worker pi = [](ostrel2::WorkLong& r, ostrel2::WorkLong& x) -> ostrel2::WorkLong& {
        int32_t iterations = 0;
        return ostrel2::PaiLong(r, x.precision, iterations);
    };
    const Case kCases[] = {
        {"pi", pi, 1, 0, ""},
        {"sin", sine, 0, 5e9, "0.5"},        {"sin", sine, 1, 0, "1"},
        {"sin", sine, 2, 0, "2"},            {"sin", sine, 100, 0, "100"},
        {"cos", cosine, 0, 5e9, "0.5"},      {"cos", cosine, 1, 0, "1"},
        {"cos", cosine, 2, 0, "2"},          {"cos", cosine, 100, 0, "100"},
        {"tan", tangent, 0, 5e9, "0.5"},     {"tan", tangent, 1, 0, "1"},
        {"tan", tangent, 2, 0, "2"},         {"tan", tangent, 100, 0, "100"},
        {"atan", arctangent, 0, 3e9, "0.3"}, {"atan", arctangent, 0, 9e9, "0.9"},
        {"atan", arctangent, 10, 0, "10"},   {"asin", ostrel2::AsnLong, 0, 3e9, "0.3"},
        {"asin", ostrel2::AsnLong, 0, 9e9, "0.9"},
        {"acos", ostrel2::AcsLong, 0, 3e9, "0.3"},
        {"acos", ostrel2::AcsLong, 0, 9e9, "0.9"},
    };
    std::printf("precision %d, best of %d\n", kPrecision, kRepeats);
    std::printf("%-5s %-5s %9s %10s\n", "", "x", "products", "call ms");
    for (const Case& c : kCases) {
        int repeats = argc > 1 ? 0 : kRepeats;
        for (int i = 1; i < argc; ++i) {
            if (std::string(c.name) + ":" + c.argument == argv[i]) repeats = 1;
        }
        if (repeats == 0) continue;
        double bestCall = 1e300;
        int64_t count = 0;
        for (int repeat = 0; repeat < repeats; ++repeat) {
            ostrel2::WorkLong x = Argument(c.units, c.tenBillionths);
            ostrel2::WorkLong r;
            ostrel2_bench::ResetProducts();
            const Clock::time_point start = Clock::now();
            c.worker(r, x);
            const double call = std::chrono::duration<double>(Clock::now() - start).count();
            if (r.error != 0) {
                std::printf("%s(%s): error %d\n", c.name, c.argument, r.error);
                return 1;
            }
            if (call < bestCall) bestCall = call;
            count = ostrel2_bench::Products();
        }
        std::printf("%-5s %-5s %9lld %10.2f\n", c.name, c.argument, static_cast<long long>(count),
                    bestCall * 1e3);
    }
    return 0;
}

// div_product_count.cpp -- counts the Multipl products of one reciprocal division at each precision.
//
// Built as a counting program (product_counter.h): the linker redirects the division's calls of
// MultiplLong to a counting wrapper, which counts and forwards to the real product. The division
// itself is the library's unchanged code. For each benchmark precision it divides the operand
// pairs the benchmarks use and prints their mean count, the smallest and largest count over more
// pairs, the Newton iterations they stand for ((count - 1) / 2), and a line
// --div_products=P:N,... (the mean over the benchmark's own pairs) for the benchmark program.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>

#include "arith/divide_reciprocal.h"
#include "core/long_number.h"
#include "product_counter.h"
#include "records.h"

namespace {

constexpr int kPairs = 64;      // operand pairs divided at each precision
constexpr int kBenchPairs = 8;  // the first pairs, which the benchmark of Div_XL cycles through

}  // namespace

int main() {
    std::printf("%-6s %14s %12s %17s\n", "p", "mean products", "range", "Newton iterations");
    char flag[256] = "--div_products=";
    for (int32_t p : ostrel2_bench::kPrecisions) {
        // The same operands as the benchmark of Div_XL (seed 1, both exponents 0), and more.
        std::mt19937_64 rng(1 * 1000003u + static_cast<uint64_t>(p));
        int32_t fewest = INT32_MAX;
        int32_t most = 0;
        int32_t benchTotal = 0;
        for (int i = 0; i < kPairs; ++i) {
            ostrel2::WorkLong a = ostrel2_bench::Working(ostrel2_bench::RandomRecord(rng, p, 0));
            ostrel2::WorkLong b = ostrel2_bench::Working(ostrel2_bench::RandomRecord(rng, p, 0));
            ostrel2::WorkLong q;
            ostrel2_bench::ResetProducts();
            ostrel2::DivLong(q, a, b);
            const int32_t productCount = static_cast<int32_t>(ostrel2_bench::Products());
            if (q.error != 0) {
                std::printf("p=%d: division returned error %d\n", p, q.error);
                return 1;
            }
            if (i < kBenchPairs) benchTotal += productCount;
            if (productCount < fewest) fewest = productCount;
            if (productCount > most) most = productCount;
        }
        const double mean = static_cast<double>(benchTotal) / kBenchPairs;
        std::printf("%-6d %14.2f %6d..%-5d %8d..%d\n", p, mean, fewest, most, (fewest - 1) / 2,
                    (most - 1) / 2);
        char entry[32];
        std::snprintf(entry, sizeof entry, "%s%d:%.3g", p == 5 ? "" : ",", p, mean);
        std::strncat(flag, entry, sizeof flag - std::strlen(flag) - 1);
    }
    std::printf("%s\n", flag);
    return 0;
}

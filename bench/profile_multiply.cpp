// profile_multiply.cpp -- repeats Multipl_XL at precision 303 for a profiler to sample.
//
// Usage: ostrel2_profile_multiply [calls] (default 2000). The operands are the benchmark's
// random full-length records, so a profile shows where the time of one product goes.
#include <cstdio>
#include <cstdlib>
#include <random>

#include "ostrel2.h"
#include "records.h"

int main(int argc, char** argv) {
    const long calls = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 2000;
    std::mt19937_64 rng(1 * 1000003u + 303u);
    const LongNumber x = ostrel2_bench::RandomRecord(rng, 303, 0);
    const LongNumber y = ostrel2_bench::RandomRecord(rng, 303, 0);
    LongNumber result;
    double checksum = 0;
    for (long i = 0; i < calls; ++i) {
        Multipl_XL(&result, &x, &y);
        checksum += result.limbs[1];
    }
    std::printf("%ld products, error %d, checksum %.0f\n", calls, result.error, checksum);
    return result.error == 0 ? 0 : 1;
}

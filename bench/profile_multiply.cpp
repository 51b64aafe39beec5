// profile_multiply.cpp -- repeats Multipl_XL (or Div_XL) at one precision for a profiler to sample.
//
// Usage: ostrel2_profile_multiply [calls] [precision] [Multipl_XL|Div_XL] (defaults 2000, 303,
// Multipl_XL). The operands are the benchmark's random full-length records, so a profile (or an
// instruction count under callgrind) shows where the time of one call goes.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "ostrel2.h"
#include "records.h"

int main(int argc, char** argv) {
    const long calls = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 2000;
    const int32_t precision = argc > 2 ? static_cast<int32_t>(std::strtol(argv[2], nullptr, 10)) : 303;
    const char* name = argc > 3 ? argv[3] : "Multipl_XL";
    const bool divide = std::strcmp(name, "Div_XL") == 0;
    if (!divide && std::strcmp(name, "Multipl_XL") != 0) {
        std::fprintf(stderr, "unknown export %s (Multipl_XL or Div_XL)\n", name);
        return 2;
    }
    std::mt19937_64 rng(1 * 1000003u + static_cast<uint64_t>(precision));
    const LongNumber x = ostrel2_bench::RandomRecord(rng, precision, 0);
    const LongNumber y = ostrel2_bench::RandomRecord(rng, precision, 0);
    LongNumber result;
    double checksum = 0;
    for (long i = 0; i < calls; ++i) {
        if (divide) {
            Div_XL(&result, &x, &y);
        } else {
            Multipl_XL(&result, &x, &y);
        }
        checksum += result.limbs[1];
    }
    std::printf("%ld calls of %s at precision %d, error %d, checksum %.0f\n", calls, name,
                precision, result.error, checksum);
    return result.error == 0 ? 0 : 1;
}

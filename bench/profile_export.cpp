// profile_export.cpp -- repeats one export on one argument set for a profiler to sample.
//
// Usage: ostrel2_profile [KEY [CALLS [PRECISION]]]
//   KEY is "export|arguments" as in the tables (default "Multipl_XL|random"), CALLS the number
//   of calls (default 2000), PRECISION the precision (default 303). The calls cycle through the
//   set's operands, the same as the timing and counting programs use.
//
// Before the calls, one product of another export at the same precision (Multipl_XL, or Div_XL
// when Multipl_XL is profiled) builds the transform's shared tables, so that a profile collected
// inside the export alone (callgrind --toggle-collect=EXPORT) does not count their one-time set-up.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "api/export_kinds.h"
#include "argument_sets.h"
#include "ostrel2.h"
#include "records.h"

int main(int argc, char** argv) {
    const std::string key = argc > 1 ? argv[1] : "Multipl_XL|random";
    const long count = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 2000;
    const int32_t precision =
        argc > 3 ? static_cast<int32_t>(std::strtol(argv[3], nullptr, 10)) : 303;
    const ostrel2_bench::ArgumentSet* set = nullptr;
    for (const ostrel2_bench::ArgumentSet& candidate : ostrel2_bench::ArgumentSets()) {
        if (ostrel2_bench::Key(candidate) == key) set = &candidate;
    }
    if (set == nullptr) {
        std::fprintf(stderr, "ostrel2_profile: no argument set \"%s\"\n", key.c_str());
        return 2;
    }
    ostrel2_bench::BoundCalls calls(*set, precision);
    {
        std::mt19937_64 rng(precision);
        const LongNumber x = ostrel2_bench::RandomRecord(rng, precision, 0);
        const LongNumber y = ostrel2_bench::RandomRecord(rng, precision, 0);
        LongNumber warm;
        if (set->exportName == std::string("Multipl_XL")) {
            Div_XL(&warm, &x, &y);
        } else {
            Multipl_XL(&warm, &x, &y);
        }
    }
    int32_t error = 0;
    double checksum = 0;
    for (long i = 0; i < count; ++i) {
        calls.Run(static_cast<int>(i % calls.Distinct()));
        if (error == 0) error = calls.Result().error;
        checksum += calls.Result().limbs[1];
    }
    std::printf("%ld calls of %s at precision %d, error %d, checksum %.0f\n", count, key.c_str(),
                precision, error, checksum);
    return error == 0 ? 0 : 1;
}

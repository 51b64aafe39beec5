// robustness_inputs.h -- argument sets shared by the thread and stack tests: for each export, the
// argument records and plain values that make it work hardest at precision 303.
#pragma once

#include <vector>

#include "api/export_kinds.h"
#include "support/gmp_reference.h"

namespace ostrel2_robust {

using namespace ostrel2::api;

struct Inputs {
    LongNumber x;
    LongNumber y;
    double n = 2.0;
    int32_t first = 303;
    int32_t second = 303;
};

// Full records of precision 303: every live limb non-zero, of moderate exponent; integers for
// the integer-part exports so that their remainders and searches run.
inline std::vector<Inputs> DemandingInputs(Kind kind, uint64_t seed, int count) {
    ostrel2::reference::RandomLongs random(seed);
    std::vector<Inputs> v;
    for (int k = 0; k < count; ++k) {
        Inputs in;
        const bool integers = kind == Kind::Cofactors;
        const int32_t lo = integers ? 60 : -40;
        const int32_t hi = integers ? 120 : 40;
        in.x = ostrel2::reference::ToBoundary(random.Next(303, lo, hi));
        in.y = ostrel2::reference::ToBoundary(random.Next(303, lo, hi));
        in.n = 2.0 + k;
        in.first = k == 0 ? 303 : 20 + k;
        in.second = 303;
        v.push_back(in);
    }
    return v;
}

}  // namespace ostrel2_robust

// robustness_inputs.h -- argument sets shared by the thread and stack tests: for each export, the
// argument records and plain values that make it work hard at a given precision.
#pragma once

#include <vector>

#include "api/export_kinds.h"
#include "support/export_sampling.h"
#include "support/gmp_reference.h"

namespace ostrel2_robust {

using namespace ostrel2::api;
using ostrel2::reference::IsDear;
using ostrel2::reference::kDearPrecisions;

struct Inputs {
    LongNumber x;
    LongNumber y;
    double n = 2.0;
    int32_t first = 303;
    int32_t second = 303;
};

// Records of the given precision with every live limb filled (with `limbs` above 0, the leading
// `limbs` of them: a short argument in a long record), of moderate exponent; integers for the
// greatest common divisor so that its remainders and searches run.
inline std::vector<Inputs> DemandingInputs(Kind kind, uint64_t seed, int count, int32_t precision = 303,
                                           int limbs = 0) {
    ostrel2::reference::RandomLongs random(seed);
    std::vector<Inputs> v;
    for (int k = 0; k < count; ++k) {
        Inputs in;
        const bool integers = kind == Kind::Cofactors;
        const int32_t lo = integers ? 60 : -40;
        const int32_t hi = integers ? 120 : 40;
        in.x = ostrel2::reference::ToBoundary(random.Next(precision, lo, hi));
        in.y = ostrel2::reference::ToBoundary(random.Next(precision, lo, hi));
        if (limbs > 0) {
            for (int slot = limbs; slot < OSTREL2_LIMB_SLOTS; ++slot) in.x.limbs[slot] = in.y.limbs[slot] = 0.0;
        }
        in.n = 2.0 + k;
        in.first = k == 0 ? precision : 20 + k;
        in.second = precision;
        v.push_back(in);
    }
    return v;
}

}  // namespace ostrel2_robust

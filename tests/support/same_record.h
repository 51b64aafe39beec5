// same_record.h -- whether two records are the same bytes where a record has meaning: the header
// and the live limbs (what lies beyond the last live limb plays no part).
#pragma once

#include <cstring>

#include "core/long_number.h"

namespace ostrel2 {
namespace reference {

inline bool SameRecord(const WorkLong& x, const WorkLong& y) {
    if (x.sign != y.sign || x.exponent != y.exponent || x.precision != y.precision ||
        x.error != y.error)
        return false;
    return std::memcmp(x.limbs, y.limbs, (LastLimb(x) + 1) * sizeof(double)) == 0;
}

}  // namespace reference
}  // namespace ostrel2

// constants.cpp -- pi, e and ln 10 at a given precision, and the holder that keeps them for a call.
#include "transcendental/constants.h"

#include <cstdint>

#include "transcendental/exponential.h"
#include "transcendental/pi.h"

namespace ostrel2 {

WorkLong& FreshConstant(WorkLong& result, Constant kind, int32_t precision) {
    switch (kind) {
        case Constant::Pi: {
            int32_t iterations = 0;
            return PaiLong(result, precision, iterations);
        }
        case Constant::E:
            return ELong(result, precision);
        case Constant::Ln10:
            break;
    }
    return Ln10Long(result, precision);
}

WorkLong& ConstantLong(WorkLong& result, Constant kind, int32_t precision) {
    return FreshConstant(result, kind, precision);
}

WorkLong& ConstantHolder::At(int32_t precision) {
    for (int32_t k = 0; k < count_; ++k) {
        if (held_[k] == precision) return records_[k];
    }
    const int32_t slot = count_ < 2 ? count_++ : 1;
    held_[slot] = precision;
    return ConstantLong(records_[slot], kind_, precision);
}

}  // namespace ostrel2

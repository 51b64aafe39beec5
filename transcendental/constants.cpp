// constants.cpp -- pi, e, ln 10 and the root of e at a given precision, the records kept of them
// for the process, and the holder that hands them to a call.
#include "transcendental/constants.h"

#include <cstdint>
#include <cstring>

#include "powers/real_power.h"
#include "transcendental/exponential.h"
#include "transcendental/pi.h"

namespace ostrel2 {

namespace {

constexpr int32_t kConstantCount = 4;

// The kept records of each constant. Constant-initialised: no code runs for them when the module
// loads or unloads.
KeptRecords kept[kConstantCount];

}  // namespace

void KeptRecords::Keep(const WorkLong& record, Slot& slot, int32_t precision) {
    if (record.error != 0 || record.precision < 1) return;
    if (LastLimb(record) >= KeptCapacity(precision)) return;
    int32_t expected = kEmpty;
    if (!slot.state.compare_exchange_strong(expected, kWriting, std::memory_order_acquire))
        return;
    slot.sign = record.sign;
    slot.exponent = record.exponent;
    slot.precision = record.precision;
    std::memcpy(limbs_ + KeptOffset(precision), record.limbs,
                static_cast<size_t>(LastLimb(record) + 1) * sizeof(double));
    slot.state.store(kPublished, std::memory_order_release);
}

void KeptRecords::CopyKept(WorkLong& result, const Slot& slot, int32_t precision) const {
    result.sign = slot.sign;
    result.exponent = slot.exponent;
    result.precision = slot.precision;
    result.error = 0;
    std::memcpy(result.limbs, limbs_ + KeptOffset(precision),
                static_cast<size_t>(LastLimb(result) + 1) * sizeof(double));
}

WorkLong& FreshConstant(WorkLong& result, Constant kind, int32_t precision) {
    switch (kind) {
        case Constant::Pi: {
            int32_t iterations = 0;
            return PaiLong(result, precision, iterations);
        }
        case Constant::E:
            return ELong(result, precision);
        case Constant::Ln10:
            return Ln10Long(result, precision);
        case Constant::ERoot:
            break;
    }
    WorkLong e;
    ConstantLong(e, Constant::E, precision);
    return LimbRootLong(result, e);
}

WorkLong& ConstantLong(WorkLong& result, Constant kind, int32_t precision) {
    return kept[static_cast<int32_t>(kind)].Get(
        result, precision,
        [kind](WorkLong& r, int32_t p) -> WorkLong& { return FreshConstant(r, kind, p); });
}

WorkLong& KeptPaiLong(WorkLong& result, int32_t precision, int32_t& /*iterations*/) {
    return ConstantLong(result, Constant::Pi, precision);
}

WorkLong& KeptRootOfE(WorkLong& result, int32_t precision) {
    return ConstantLong(result, Constant::ERoot, precision);
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

// constants.h -- pi, e, ln 10 and the first 10^10-th root of e at a given precision: computed once
// per process and precision, kept read-only, and handed to every call that needs them.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/long_number.h"

namespace ostrel2 {

// The constants the transcendental workers take at their argument's precision.
enum class Constant : int32_t {
    Pi,     // PaiLong
    E,      // ELong, the series of e
    Ln10,   // Ln10Long, the logarithm of 10 by LogeLong
    ERoot,  // e^(1/10^10): LimbRootLong of the kept e, the first root the real power takes of e
};

// result <- the constant computed afresh at the given precision by its worker.
WorkLong& FreshConstant(WorkLong& result, Constant kind, int32_t precision);

// result <- the constant at the given precision: the very record FreshConstant gives (sign,
// exponent, precision, error and every live limb). For a precision of 1 .. MAX_PRECISION it is
// computed on the first request in the process and kept (KeptRecords); later requests copy it.
WorkLong& ConstantLong(WorkLong& result, Constant kind, int32_t precision);

// The worker of Pai_XL: pi at the given precision from ConstantLong. The counter of the export's
// frame is not written (a kept pi runs no iterations).
WorkLong& KeptPaiLong(WorkLong& result, int32_t precision, int32_t& iterations);

// e^(1/10^10) at the given precision, from ConstantLong: the root PowerXLong would take of the
// kept e, handed to it by the exponential.
WorkLong& KeptRootOfE(WorkLong& result, int32_t precision);

// The live limbs a kept record of this precision may hold, and where they start in the packed
// array of a table: 9 for each precision up to 5, p + 4 beyond.
constexpr int32_t KeptCapacity(int32_t precision) {
    return (precision > 5 ? precision : 5) + GUARD_LIMBS + 1;
}
constexpr int32_t KeptOffset(int32_t precision) {
    return precision <= 5 ? 9 * (precision - 1) : (precision + 3) * (precision + 4) / 2;
}
constexpr int32_t KEPT_LIMBS = KeptOffset(MAX_PRECISION + 1);
static_assert(KEPT_LIMBS == 47278, "the packed limbs of precisions 1 .. 303");

// Records kept per precision 1 .. MAX_PRECISION for the life of the process: the first request
// at a precision computes the record, and a successful one (error 0) is published for every later
// request; a failed one is handed back but never kept, so each request that meets the failure
// computes it again and prints its messages again. Any number of threads may ask at once: until a
// record is published each of them computes its own (the same computation, so the same bytes),
// one of them writes it once, and it is read-only from then on. A published record is marked by
// an atomic flag written with release order after the limbs and read with acquire order before
// them, so a reader sees either no record or the whole of it; there is no lock and no waiting, and
// nothing to set up or tear down (the storage is constant-initialised and trivially destroyed, so
// the module may be loaded and unloaded at any time).
//
// A record of precision p has at most max(p, 5) + 4 live limbs (products and quotients keep at
// least 5 limbs); the limbs of all precisions are packed into one array, 47,278 doubles
// (378,224 bytes), beside 304 headers: about 383 kB of zero-initialised static storage per table,
// of which only the pages a process touches become resident.
class KeptRecords {
public:
    constexpr KeptRecords() = default;
    KeptRecords(const KeptRecords&) = delete;
    KeptRecords& operator=(const KeptRecords&) = delete;

    // result <- the record at this precision: the kept one, or compute(result, precision), kept
    // if it succeeded. A precision outside 1 .. MAX_PRECISION is always computed.
    template <typename Compute>
    WorkLong& Get(WorkLong& result, int32_t precision, Compute compute) {
        if (precision < 1 || precision > MAX_PRECISION) return compute(result, precision);
        Slot& slot = slots_[precision];
        if (slot.state.load(std::memory_order_acquire) == kPublished) {
            CopyKept(result, slot, precision);
            return result;
        }
        compute(result, precision);
        Keep(result, slot, precision);
        return result;
    }

private:
    static constexpr int32_t kEmpty = 0;
    static constexpr int32_t kWriting = 1;
    static constexpr int32_t kPublished = 2;

    struct Slot {
        std::atomic<int32_t> state{kEmpty};
        int32_t sign = 0;
        int32_t exponent = 0;
        int32_t precision = 0;
    };

    // Publishes a successful record that fits its slot, unless another thread has claimed the
    // slot first.
    void Keep(const WorkLong& record, Slot& slot, int32_t precision);
    void CopyKept(WorkLong& result, const Slot& slot, int32_t precision) const;

    Slot slots_[MAX_PRECISION + 1] = {};
    double limbs_[KEPT_LIMBS] = {};
};

// One call's copy of a constant. The first request at a precision fills it by ConstantLong,
// later requests at that precision, from the branches, the inner workers and the Newton steps of
// the same call, get that record again. Two precisions are held at once: a call works at its
// argument's precision p, and where p is below 5 the products carry some records up to 5, so
// an inner worker may ask at 5 as well; a third precision takes the place of the second.
//
// The record is handed out for writing because the products normalise their operands in place;
// the constant is canonical, so that leaves it as it is, and the kept record itself is never
// handed out.
class ConstantHolder {
public:
    explicit ConstantHolder(Constant kind) : kind_(kind), count_(0), held_{0, 0} {}
    ConstantHolder(const ConstantHolder&) = delete;
    ConstantHolder& operator=(const ConstantHolder&) = delete;

    WorkLong& At(int32_t precision);

private:
    Constant kind_;
    int32_t count_;     // records filled, 0 to 2
    int32_t held_[2];   // the precision of each filled record
    WorkLong records_[2];
};

}  // namespace ostrel2

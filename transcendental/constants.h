// constants.h -- pi, e and ln 10 at a given precision, computed once for a call and handed on.
#pragma once

#include <cstdint>

#include "core/long_number.h"

namespace ostrel2 {

// The constants the transcendental workers take at their argument's precision.
enum class Constant : int32_t {
    Pi,    // PaiLong
    E,     // ELong, the series of e
    Ln10,  // Ln10Long, the logarithm of 10 by LogeLong
};

// result <- the constant computed afresh at the given precision by its worker.
WorkLong& FreshConstant(WorkLong& result, Constant kind, int32_t precision);

// result <- the constant at the given precision: the very record FreshConstant gives (sign,
// exponent, precision, error and every live limb).
WorkLong& ConstantLong(WorkLong& result, Constant kind, int32_t precision);

// One call's copy of a constant. The first request at a precision fills it by ConstantLong,
// later requests at that precision, from the branches, the inner workers and the Newton steps of
// the same call, get that record again. Two precisions are held at once: a call works at its
// argument's precision p, and where p is below 5 the products carry some records up to 5, so
// an inner worker may ask at 5 as well; a third precision takes the place of the second.
//
// The record is handed out for writing because the products normalise their operands in place;
// the constant is canonical, so that leaves it as it is.
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

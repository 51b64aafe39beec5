// entry_frames.h -- the frame every entry point runs, one per argument kind: guard, private
// copies, one worker call, copy back.
//
// Each frame checks every argument record (and a precision argument), copies the records into
// storage of its own so that nothing a worker does reaches the caller's memory, calls the worker
// with the hand-over of its kind (api/export_table.h) and copies the result record out whole. A
// refused argument gets the guard's error record and the worker is not called. Nothing is kept
// between calls. api/exports.cpp instantiates the frames with the workers of the table.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/long_number.h"
#include "ostrel2.h"

namespace ostrel2::entry {

// Precision accepted at the boundary: 1 .. 303. A precision below 1 would leave a record without
// its leading limb and guard limbs, so it is refused like an oversized one; the precision
// argument of Pai_XL and Factorial_XL is held to the same range.
inline bool PrecisionAccepted(int32_t precision) {
    return precision >= 1 && precision <= MAX_PRECISION;
}

// A record the arithmetic can work on: an accepted precision, a sign of -1, 0 or +1, an error of 0
// or below, an exponent within EXPONENT_FLOOR .. EXPONENT_CEILING (far beyond the limit of
// 2,000,000,000 and the zero exponent, with room for the workers' shifts), and live limbs that are
// all finite and above -10^10. Anything else (a NaN or infinite limb, a sign of 7, a positive error
// that would cancel a failure in the error sums) gets the guard's error record, decided here once
// rather than met half way through a worker. A limb of -10^10 or below is refused because the
// subtraction resolves a negative limb one borrow of 10^10 at a time: -10^300 would take 10^290
// borrows. Limbs that are fractional, slightly negative or far above 10^10 are accepted:
// normalisation reports or resolves them.
inline bool Accepted(const LongNumber* x) {
    int32_t header[4];
    std::memcpy(header, x, sizeof header);
    const int32_t sign = header[0];
    const int32_t exponent = header[1];
    const int32_t precision = header[2];
    const int32_t error = header[3];
    if (!PrecisionAccepted(precision)) return false;
    if (sign < -1 || sign > 1 || error > 0) return false;
    if (exponent < EXPONENT_FLOOR || exponent > EXPONENT_CEILING) return false;
    const char* limbs = reinterpret_cast<const char*>(x) + offsetof(LongNumber, limbs);
    const int32_t live = LiveSlots(precision);
    for (int32_t k = 0; k < live; ++k) {
        double limb;
        std::memcpy(&limb, limbs + k * sizeof(double), sizeof limb);
        if (!std::isfinite(limb) || limb <= -LIMB_BASE) return false;
    }
    return true;
}

// The bytes of a record's header and of its first `slots` limb slots.
inline size_t RecordBytes(int32_t slots) {
    return offsetof(LongNumber, limbs) + static_cast<size_t>(slots) * sizeof(double);
}

// The header and live limbs of an accepted record, with slot 306 of the working record taken as 0.
// The slots above the live limbs are not copied (at p = 5 that is 2,376 of 2,464 bytes): no worker
// reads a slot beyond its record's last live limb, so what lies there plays no part.
inline void Load(WorkLong& work, const LongNumber* x) {
    std::memcpy(&work, x, RecordBytes(LiveSlots(x->precision)));
    work.limbs[BOUNDARY_LIMBS] = 0.0;
}

// The caller's 306 slots whole, slot 306 taken as 0: for the frame that compares the record after
// the worker with the caller's bytes.
inline void LoadWhole(WorkLong& work, const LongNumber* x) {
    std::memcpy(&work, x, sizeof(LongNumber));
    work.limbs[BOUNDARY_LIMBS] = 0.0;
}

// Writes the header and live limbs of a working record over the caller's record (slot 306 is
// dropped) and every slot above the live limbs as 0: workers leave whatever their stack held
// there, and none of that may reach the caller (the same call must give the same bytes everywhere).
inline LongNumber* Store(LongNumber* destination, const WorkLong& work) {
    const int32_t firstDead = LiveSlots(work.precision);
    std::memcpy(destination, &work, RecordBytes(firstDead));
    char* limbs = reinterpret_cast<char*>(destination) + offsetof(LongNumber, limbs);
    std::memset(limbs + firstDead * sizeof(double), 0,
                (BOUNDARY_LIMBS - firstDead) * sizeof(double));
    return destination;
}

// The guard's answer to a refused argument: zero at precision 303 with error -1.
inline LongNumber* GuardRecord(LongNumber* result) {
    WorkLong record;
    InitLong(record, MAX_PRECISION, 0, 0, 0.0);
    record.error = -1;
    return Store(result, record);
}

// x; worker(own result, x).
template <typename Worker>
LongNumber* OneRecord(LongNumber* result, const LongNumber* x, Worker worker) {
    if (!Accepted(x)) return GuardRecord(result);
    WorkLong a;
    WorkLong r;
    Load(a, x);
    worker(r, a);
    return Store(result, r);
}

// x; worker(x, x): the result is written over the copy of x.
template <typename Worker>
LongNumber* OneRecordOverX(LongNumber* result, const LongNumber* x, Worker worker) {
    if (!Accepted(x)) return GuardRecord(result);
    WorkLong a;
    Load(a, x);
    worker(a, a);
    return Store(result, a);
}

// x, y; worker(own result, x, y).
template <typename Worker>
LongNumber* TwoRecords(LongNumber* result, const LongNumber* x, const LongNumber* y,
                       Worker worker) {
    if (!Accepted(x) || !Accepted(y)) return GuardRecord(result);
    WorkLong a;
    WorkLong b;
    WorkLong r;
    Load(a, x);
    Load(b, y);
    worker(r, a, b);
    return Store(result, r);
}

// x, y; worker(x, x, y): the result is written over the copy of x.
template <typename Worker>
LongNumber* TwoRecordsOverX(LongNumber* result, const LongNumber* x, const LongNumber* y,
                            Worker worker) {
    if (!Accepted(x) || !Accepted(y)) return GuardRecord(result);
    WorkLong a;
    WorkLong b;
    Load(a, x);
    Load(b, y);
    worker(a, a, b);
    return Store(result, a);
}

// x, n; worker(x, x, n). Only x is guarded: n is the worker's to check.
template <typename Worker>
LongNumber* RecordDouble(LongNumber* result, const LongNumber* x, double n, Worker worker) {
    if (!Accepted(x)) return GuardRecord(result);
    WorkLong a;
    Load(a, x);
    worker(a, a, n);
    return Store(result, a);
}

// precision; worker(own result, precision, own counter). The counter is the worker's; the frame
// does not read it afterwards.
template <typename Worker>
LongNumber* Precision(LongNumber* result, int32_t precision, Worker worker) {
    if (!PrecisionAccepted(precision)) return GuardRecord(result);
    WorkLong r;
    int32_t counter = 0;
    worker(r, precision, counter);
    return Store(result, r);
}

// n, precision; worker(own result, n, precision). Only the precision is guarded: n is the
// worker's to check.
template <typename Worker>
LongNumber* IntPrecision(LongNumber* result, int32_t n, int32_t precision, Worker worker) {
    if (!PrecisionAccepted(precision)) return GuardRecord(result);
    WorkLong r;
    worker(r, n, precision);
    return Store(result, r);
}

// x, y; worker(own result, x, y) on copies of the caller's records, which go back into the
// caller's x and y only where the worker replaced them (the cofactors of a success); on failure
// the caller's records are not written at all. The guard answers with the number 1 at the
// precision of x, or at 303 when x's own precision is out of range.
template <typename Worker>
LongNumber* Cofactors(LongNumber* result, LongNumber* x, LongNumber* y, Worker worker) {
    if (!Accepted(x) || !Accepted(y)) {
        WorkLong one;
        const int32_t precision = PrecisionAccepted(x->precision) ? x->precision : MAX_PRECISION;
        InitLong(one, precision, 1, 0, 1.0);
        one.error = -1;
        return Store(result, one);
    }
    WorkLong a;
    WorkLong b;
    WorkLong g;
    LoadWhole(a, x);
    LoadWhole(b, y);
    worker(g, a, b);
    if (std::memcmp(&a, x, sizeof(LongNumber)) != 0) Store(x, a);
    if (std::memcmp(&b, y, sizeof(LongNumber)) != 0) Store(y, b);
    return Store(result, g);
}

}  // namespace ostrel2::entry

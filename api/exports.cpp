// exports.cpp -- the exported entry points: guard, private copies, one worker, copy back.
//
// Every entry point checks the precision of each argument record, copies the records into its
// own storage so that nothing a worker does reaches the caller's memory, calls its worker and
// copies the result record out whole. Nothing is kept between calls.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "arith/addition.h"
#include "arith/divide_long.h"
#include "arith/divide_reciprocal.h"
#include "arith/gcd.h"
#include "arith/integer_part.h"
#include "arith/multiply_schoolbook.h"
#include "arith/multiply_transform.h"
#include "core/long_number.h"
#include "ostrel2.h"

namespace {

using ostrel2::WorkLong;

static_assert(sizeof(LongNumber) == 2464, "the boundary record is 2,464 bytes");
static_assert(offsetof(LongNumber, sign) == 0, "sign at offset 0");
static_assert(offsetof(LongNumber, exponent) == 4, "exponent at offset 4");
static_assert(offsetof(LongNumber, precision) == 8, "precision at offset 8");
static_assert(offsetof(LongNumber, error) == 12, "error at offset 12");
static_assert(offsetof(LongNumber, limbs) == 16, "limbs at offset 16");
static_assert(OSTREL2_LIMB_SLOTS == ostrel2::BOUNDARY_LIMBS, "boundary slots agree");
static_assert(offsetof(WorkLong, limbs) == offsetof(LongNumber, limbs),
              "a working record begins with the boundary record's layout");

// Precision accepted at the boundary: 1 .. 303. A precision below 1 would leave a record without
// its leading limb and guard limbs, so it is refused like an oversized one.
bool PrecisionAccepted(int32_t precision) {
    return precision >= 1 && precision <= ostrel2::MAX_PRECISION;
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
bool Accepted(const LongNumber* x) {
    int32_t header[4];
    std::memcpy(header, x, sizeof header);
    const int32_t sign = header[0];
    const int32_t exponent = header[1];
    const int32_t precision = header[2];
    const int32_t error = header[3];
    if (!PrecisionAccepted(precision)) return false;
    if (sign < -1 || sign > 1 || error > 0) return false;
    if (exponent < ostrel2::EXPONENT_FLOOR || exponent > ostrel2::EXPONENT_CEILING) return false;
    const char* limbs = reinterpret_cast<const char*>(x) + offsetof(LongNumber, limbs);
    const int32_t live = std::min(precision + ostrel2::GUARD_LIMBS + 1, ostrel2::BOUNDARY_LIMBS);
    for (int32_t k = 0; k < live; ++k) {
        double limb;
        std::memcpy(&limb, limbs + k * sizeof(double), sizeof limb);
        if (!std::isfinite(limb) || limb <= -ostrel2::LIMB_BASE) return false;
    }
    return true;
}

// The caller's 306 slots, with slot 306 of the working record taken as 0.
void Load(WorkLong& work, const LongNumber* x) {
    std::memcpy(&work, x, sizeof(LongNumber));
    work.limbs[ostrel2::BOUNDARY_LIMBS] = 0.0;
}

// Writes the first 306 slots of a working record over the caller's record; slot 306 is dropped.
// Slots above the live limbs are written as 0: workers leave whatever their stack held there, and
// none of that may reach the caller (the same call must give the same bytes everywhere).
LongNumber* Store(LongNumber* destination, const WorkLong& work) {
    std::memcpy(destination, &work, sizeof(LongNumber));
    const int32_t firstDead = std::max(0, std::min(work.precision + ostrel2::GUARD_LIMBS + 1,
                                                   ostrel2::BOUNDARY_LIMBS));
    char* limbs = reinterpret_cast<char*>(destination) + offsetof(LongNumber, limbs);
    std::memset(limbs + firstDead * sizeof(double), 0,
                (ostrel2::BOUNDARY_LIMBS - firstDead) * sizeof(double));
    return destination;
}

// The guard's answer to a refused argument: zero at precision 303 with error -1.
LongNumber* GuardRecord(LongNumber* result) {
    WorkLong record;
    ostrel2::InitLong(record, ostrel2::MAX_PRECISION, 0, 0, 0.0);
    record.error = -1;
    return Store(result, record);
}

template <typename Worker>
LongNumber* OneRecord(LongNumber* result, const LongNumber* x, Worker worker) {
    if (!Accepted(x)) return GuardRecord(result);
    WorkLong a;
    WorkLong r;
    Load(a, x);
    worker(r, a);
    return Store(result, r);
}

// Two-record exports whose worker writes its result over the copy of x.
template <typename Worker>
LongNumber* TwoRecords(LongNumber* result, const LongNumber* x, const LongNumber* y,
                       Worker worker) {
    if (!Accepted(x) || !Accepted(y)) return GuardRecord(result);
    WorkLong a;
    WorkLong b;
    Load(a, x);
    Load(b, y);
    worker(a, a, b);
    return Store(result, a);
}

}  // namespace

extern "C" {

int32_t OSTREL2_CALL Version_XL(void) { return OSTREL2_VERSION; }

LongNumber* OSTREL2_CALL Abs_XL(LongNumber* result, const LongNumber* x) {
    return OneRecord(result, x, [](WorkLong& r, WorkLong& a) { ostrel2::AbsLong(r, a); });
}

LongNumber* OSTREL2_CALL Fix_XL(LongNumber* result, const LongNumber* x) {
    return OneRecord(result, x, [](WorkLong& r, WorkLong& a) { ostrel2::FixLong(r, a); });
}

LongNumber* OSTREL2_CALL Round_XL(LongNumber* result, const LongNumber* x) {
    return OneRecord(result, x, [](WorkLong& r, WorkLong& a) { ostrel2::RoundLong(r, a); });
}

// The remainder is written into a third private record.
LongNumber* OSTREL2_CALL Mod_XL(LongNumber* result, const LongNumber* x, const LongNumber* y) {
    return TwoRecords(result, x, y, [](WorkLong& r, WorkLong& a, WorkLong& b) {
        WorkLong remainder;
        ostrel2::ModLong(remainder, a, b);
        r = remainder;
    });
}

LongNumber* OSTREL2_CALL Add_XL(LongNumber* result, const LongNumber* x, const LongNumber* y) {
    return TwoRecords(result, x, y, [](WorkLong& r, WorkLong& a, WorkLong& b) {
        ostrel2::AddLong(r, a, b);
    });
}

LongNumber* OSTREL2_CALL Subtract_XL(LongNumber* result, const LongNumber* x,
                                     const LongNumber* y) {
    return TwoRecords(result, x, y, [](WorkLong& r, WorkLong& a, WorkLong& b) {
        ostrel2::SubtractLong(r, a, b);
    });
}

LongNumber* OSTREL2_CALL Multipl2_XL(LongNumber* result, const LongNumber* x,
                                     const LongNumber* y) {
    return TwoRecords(result, x, y, [](WorkLong& r, WorkLong& a, WorkLong& b) {
        ostrel2::Multipl2Long(r, a, b);
    });
}

LongNumber* OSTREL2_CALL Multipl_XL(LongNumber* result, const LongNumber* x,
                                    const LongNumber* y) {
    return TwoRecords(result, x, y, [](WorkLong& r, WorkLong& a, WorkLong& b) {
        ostrel2::MultiplLong(r, a, b);
    });
}

LongNumber* OSTREL2_CALL Div2_XL(LongNumber* result, const LongNumber* x, const LongNumber* y) {
    return TwoRecords(result, x, y, [](WorkLong& r, WorkLong& a, WorkLong& b) {
        ostrel2::Div2Long(r, a, b);
    });
}

LongNumber* OSTREL2_CALL Div_XL(LongNumber* result, const LongNumber* x, const LongNumber* y) {
    return TwoRecords(result, x, y, [](WorkLong& r, WorkLong& a, WorkLong& b) {
        ostrel2::DivLong(r, a, b);
    });
}

// The greatest common divisor works on copies of the caller's records and hands the cofactors
// back into them only when it replaced them (on success); on failure the caller's records are
// not written at all. Its guard answers with the number 1 at the precision of x, or at 303 when
// x's own precision is out of range.
LongNumber* OSTREL2_CALL LCM_XL(LongNumber* result, LongNumber* x, LongNumber* y) {
    if (!Accepted(x) || !Accepted(y)) {
        WorkLong one;
        const int32_t precision =
            PrecisionAccepted(x->precision) ? x->precision : ostrel2::MAX_PRECISION;
        ostrel2::InitLong(one, precision, 1, 0, 1.0);
        one.error = -1;
        return Store(result, one);
    }
    WorkLong a;
    WorkLong b;
    WorkLong g;
    Load(a, x);
    Load(b, y);
    ostrel2::LCMLong(g, a, b);
    if (std::memcmp(&a, x, sizeof(LongNumber)) != 0) Store(x, a);
    if (std::memcmp(&b, y, sizeof(LongNumber)) != 0) Store(y, b);
    return Store(result, g);
}

}  // extern "C"

// worker_helpers.h -- the moves every worker makes: telling a failed record, building a small
// whole number, and leaving by the failure exit.
//
// A worker body keeps one order: the operand's error, zero and special values, domain failures
// with their messages, the normalisation failure, the start value, the loop on IterationDone,
// the copy out. The helpers here are the pieces of that order that would otherwise be re-typed
// in every worker.
#pragma once

#include <cstdint>

#include "core/diagnostics.h"
#include "core/long_number.h"

namespace ostrel2 {

// Whether a record is the result of a failure (any negative error).
inline bool Failed(const WorkLong& x) { return x.error < 0; }

// The record of a whole number at the given precision: sign from the value, exponent 0,
// limbs[0] = |value|, every further live limb 0, error 0. Canonical for |value| from 1 to
// 10^10 - 1; a larger whole value (a power of two above 10^10, say) is carried into a limb of
// its own by the next normalisation. 0 gives the canonical zero.
WorkLong WholeNumber(int32_t precision, double value);

// The copy out, the last step of every worker: result <- record's header and live limbs, and
// result's address back. The slots above the live limbs are not copied: at precision 3 that is
// 2,344 of the record's 2,472 bytes, and no worker reads them.
inline WorkLong& CopyOut(WorkLong& result, const WorkLong& record) {
    CopyLive(result, record);
    return result;
}

// The failure exit with a message: prints it, sets record.error to -1 and copies the record out.
WorkLong& FailWith(WorkLong& result, WorkLong& record, Message message);

// The failure exit of a flagged operand: no message (the failure was reported where it arose),
// record.error set to -1, the record copied out.
WorkLong& FailQuietly(WorkLong& result, WorkLong& record);

}  // namespace ostrel2

// exports.cpp -- the exported entry points, one for each row of api/export_table.h.
//
// Each entry point runs the frame of its argument kind (api/entry_frames.h) around its worker:
// guard, private copies, the worker, copy back.
#include <cstddef>
#include <type_traits>

#include "api/entry_frames.h"
#include "api/export_kinds.h"
#include "api/workers.h"
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

// Every export is declared in ostrel2.h with the function type of its kind: a missing or
// different declaration stops the build here.
#define OSTREL2_REQUIRE_DECLARATION(ordinal, name, kind, bytes, cost, command, summary, worker) \
    static_assert(std::is_same_v<decltype(&name),                                               \
                                 ostrel2::api::FunctionOf<ostrel2::api::Kind::kind>>,           \
                  #name " is declared in ostrel2.h with arguments other than its kind's");
OSTREL2_EXPORTS(OSTREL2_REQUIRE_DECLARATION)
#undef OSTREL2_REQUIRE_DECLARATION

}  // namespace

// The entry point of each kind around its worker.
#define OSTREL2_ENTRY_Version(name, worker) \
    int32_t OSTREL2_CALL name(void) { return OSTREL2_VERSION; }
#define OSTREL2_ENTRY_OneRecord(name, worker)                                    \
    LongNumber* OSTREL2_CALL name(LongNumber* result, const LongNumber* x) {     \
        return ostrel2::entry::OneRecord(result, x, ostrel2::worker);            \
    }
#define OSTREL2_ENTRY_OneRecordOverX(name, worker)                               \
    LongNumber* OSTREL2_CALL name(LongNumber* result, const LongNumber* x) {     \
        return ostrel2::entry::OneRecordOverX(result, x, ostrel2::worker);       \
    }
#define OSTREL2_ENTRY_TwoRecords(name, worker)                                           \
    LongNumber* OSTREL2_CALL name(LongNumber* result, const LongNumber* x,               \
                                  const LongNumber* y) {                                 \
        return ostrel2::entry::TwoRecords(result, x, y, ostrel2::worker);                \
    }
#define OSTREL2_ENTRY_TwoRecordsOverX(name, worker)                                      \
    LongNumber* OSTREL2_CALL name(LongNumber* result, const LongNumber* x,               \
                                  const LongNumber* y) {                                 \
        return ostrel2::entry::TwoRecordsOverX(result, x, y, ostrel2::worker);           \
    }
#define OSTREL2_ENTRY_RecordDouble(name, worker)                                           \
    LongNumber* OSTREL2_CALL name(LongNumber* result, const LongNumber* x, double n) {     \
        return ostrel2::entry::RecordDouble(result, x, n, ostrel2::worker);                \
    }
#define OSTREL2_ENTRY_Precision(name, worker)                                    \
    LongNumber* OSTREL2_CALL name(LongNumber* result, int32_t precision) {       \
        return ostrel2::entry::Precision(result, precision, ostrel2::worker);    \
    }
#define OSTREL2_ENTRY_IntPrecision(name, worker)                                         \
    LongNumber* OSTREL2_CALL name(LongNumber* result, int32_t n, int32_t precision) {    \
        return ostrel2::entry::IntPrecision(result, n, precision, ostrel2::worker);      \
    }
#define OSTREL2_ENTRY_Cofactors(name, worker)                                               \
    LongNumber* OSTREL2_CALL name(LongNumber* result, LongNumber* x, LongNumber* y) {       \
        return ostrel2::entry::Cofactors(result, x, y, ostrel2::worker);                    \
    }

#define OSTREL2_ENTRY(ordinal, name, kind, bytes, cost, command, summary, worker) \
    OSTREL2_ENTRY_##kind(name, worker)

extern "C" {
OSTREL2_EXPORTS(OSTREL2_ENTRY)
}  // extern "C"

// export_kinds.h -- the exports as C++ callers see them: each argument kind's function type, one
// invoker for every export, and the rows of api/export_table.h as arrays.
//
// kExports holds the exports with an invoker each, in ordinal order. Instantiating an invoker
// checks at compile time that the export's declaration in ostrel2.h has the function type of its
// kind in the table.
#pragma once

#include <cstdint>
#include <type_traits>

#include "api/export_table.h"
#include "ostrel2.h"

namespace ostrel2::api {

// The function types of the kinds, as ostrel2.h declares the exports.
using VersionFn = int32_t(OSTREL2_CALL*)(void);
using OneRecordFn = LongNumber*(OSTREL2_CALL*)(LongNumber*, const LongNumber*);
using TwoRecordsFn = LongNumber*(OSTREL2_CALL*)(LongNumber*, const LongNumber*, const LongNumber*);
using RecordDoubleFn = LongNumber*(OSTREL2_CALL*)(LongNumber*, const LongNumber*, double);
using PrecisionFn = LongNumber*(OSTREL2_CALL*)(LongNumber*, int32_t);
using IntPrecisionFn = LongNumber*(OSTREL2_CALL*)(LongNumber*, int32_t, int32_t);
using CofactorsFn = LongNumber*(OSTREL2_CALL*)(LongNumber*, LongNumber*, LongNumber*);

template <Kind K>
struct KindFunction;
template <> struct KindFunction<Kind::Version> { using type = VersionFn; };
template <> struct KindFunction<Kind::OneRecord> { using type = OneRecordFn; };
template <> struct KindFunction<Kind::OneRecordOverX> { using type = OneRecordFn; };
template <> struct KindFunction<Kind::TwoRecords> { using type = TwoRecordsFn; };
template <> struct KindFunction<Kind::TwoRecordsOverX> { using type = TwoRecordsFn; };
template <> struct KindFunction<Kind::RecordDouble> { using type = RecordDoubleFn; };
template <> struct KindFunction<Kind::Precision> { using type = PrecisionFn; };
template <> struct KindFunction<Kind::IntPrecision> { using type = IntPrecisionFn; };
template <> struct KindFunction<Kind::Cofactors> { using type = CofactorsFn; };

// The function type of an export of kind K.
template <Kind K>
using FunctionOf = typename KindFunction<K>::type;

// Argument records an export reads (0, 1 or 2).
constexpr int RecordCount(Kind kind) {
    switch (kind) {
        case Kind::OneRecord:
        case Kind::OneRecordOverX:
        case Kind::RecordDouble: return 1;
        case Kind::TwoRecords:
        case Kind::TwoRecordsOverX:
        case Kind::Cofactors: return 2;
        default: return 0;
    }
}

// Plain int arguments an export takes (the precision of Pai_XL; n and precision of Factorial_XL).
constexpr int IntCount(Kind kind) {
    return kind == Kind::Precision ? 1 : kind == Kind::IntPrecision ? 2 : 0;
}

constexpr bool TakesDouble(Kind kind) { return kind == Kind::RecordDouble; }

// Bytes a 32-bit standard-call export of this kind removes from the stack: 4 for the result
// address, 4 for each record address and int, 8 for a double.
constexpr int StackBytes(Kind kind) {
    if (kind == Kind::Version) return 0;
    return 4 + 4 * RecordCount(kind) + 4 * IntCount(kind) + (TakesDouble(kind) ? 8 : 0);
}

// Every argument an export may take; each export reads the ones of its kind.
struct Arguments {
    LongNumber* result = nullptr;
    LongNumber* x = nullptr;
    LongNumber* y = nullptr;
    double n = 0.0;
    int32_t first = 0;   // the precision of Precision, the n of IntPrecision
    int32_t second = 0;  // the precision of IntPrecision
    int32_t version = 0; // what Version_XL returned
    LongNumber* returned = nullptr;  // what any other export returned
};

// Calls export F of kind K with the arguments of its kind.
template <Kind K, auto F>
void Invoke(Arguments& a) {
    static_assert(std::is_same_v<decltype(F), FunctionOf<K>>,
                  "the declaration in ostrel2.h does not take the arguments of the export's kind "
                  "in api/export_table.h");
    if constexpr (K == Kind::Version) {
        a.version = F();
    } else if constexpr (K == Kind::RecordDouble) {
        a.returned = F(a.result, a.x, a.n);
    } else if constexpr (K == Kind::Precision) {
        a.returned = F(a.result, a.first);
    } else if constexpr (K == Kind::IntPrecision) {
        a.returned = F(a.result, a.first, a.second);
    } else if constexpr (RecordCount(K) == 1) {
        a.returned = F(a.result, a.x);
    } else {
        a.returned = F(a.result, a.x, a.y);
    }
}

// A row of the table.
struct Export {
    int ordinal;
    const char* name;
    Kind kind;
    int bytes;
    Cost cost;
    const char* command;
    const char* summary;
    void (*invoke)(Arguments&);
};

#define OSTREL2_EXPORT_ROW(ordinal, name, kind, bytes, cost, command, summary, worker) \
    {ordinal, #name, Kind::kind, bytes, Cost::cost, command, summary, &Invoke<Kind::kind, &name>},

// The exports in ordinal order.
inline constexpr Export kExports[] = {OSTREL2_EXPORTS(OSTREL2_EXPORT_ROW)};

#undef OSTREL2_EXPORT_ROW

inline constexpr int kExportCount = sizeof kExports / sizeof kExports[0];

namespace detail {

constexpr bool SameText(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// The table's own consistency: ordinals 1 .. 33 in order, byte counts that fit the kinds, and
// names and commands that occur once.
constexpr bool TableConsistent() {
    if (kExportCount != OSTREL2_EXPORT_COUNT) return false;
    for (int i = 0; i < kExportCount; ++i) {
        if (kExports[i].ordinal != i + 1) return false;
        if (kExports[i].bytes != StackBytes(kExports[i].kind)) return false;
        for (int j = 0; j < i; ++j) {
            if (SameText(kExports[i].name, kExports[j].name)) return false;
            if (SameText(kExports[i].command, kExports[j].command)) return false;
        }
    }
    return true;
}

}  // namespace detail

static_assert(detail::TableConsistent(),
              "api/export_table.h: ordinals must run 1 .. 33 in order, the bytes must fit the "
              "kind, and names and commands must be distinct");

}  // namespace ostrel2::api

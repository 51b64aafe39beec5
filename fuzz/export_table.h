// export_table.h -- a uniform way to call any export: its name, its argument kinds and an invoker.
//
// The table is built from export_list.h. The kind of each export follows from its declared
// function type, so the list names the export and nothing else.
#pragma once

#include <cstdint>
#include <type_traits>

#include "ostrel2.h"

namespace ostrel2_robust {

// What an export takes after its result record.
enum class Kind {
    Version,       // nothing, and no result record
    OneRecord,     // x
    TwoRecords,    // x, y
    RecordDouble,  // x, n: double
    Precision,     // precision: int
    IntPrecision,  // n: int, precision: int
    Cofactors,     // x, y, both written back on success
};

using VersionFn = int32_t(OSTREL2_CALL*)(void);
using OneRecordFn = LongNumber*(OSTREL2_CALL*)(LongNumber*, const LongNumber*);
using TwoRecordsFn = LongNumber*(OSTREL2_CALL*)(LongNumber*, const LongNumber*, const LongNumber*);
using RecordDoubleFn = LongNumber*(OSTREL2_CALL*)(LongNumber*, const LongNumber*, double);
using PrecisionFn = LongNumber*(OSTREL2_CALL*)(LongNumber*, int32_t);
using IntPrecisionFn = LongNumber*(OSTREL2_CALL*)(LongNumber*, int32_t, int32_t);
using CofactorsFn = LongNumber*(OSTREL2_CALL*)(LongNumber*, LongNumber*, LongNumber*);

// Every argument an export may take; each export reads the ones of its kind.
struct Arguments {
    LongNumber* result = nullptr;
    LongNumber* x = nullptr;
    LongNumber* y = nullptr;
    double n = 0.0;
    int32_t first = 0;   // the int of Precision, the n of IntPrecision
    int32_t second = 0;  // the precision of IntPrecision
    int32_t version = 0; // what Version_XL returned
};

template <typename F>
constexpr Kind KindOf() {
    if constexpr (std::is_same_v<F, VersionFn>) return Kind::Version;
    else if constexpr (std::is_same_v<F, OneRecordFn>) return Kind::OneRecord;
    else if constexpr (std::is_same_v<F, TwoRecordsFn>) return Kind::TwoRecords;
    else if constexpr (std::is_same_v<F, RecordDoubleFn>) return Kind::RecordDouble;
    else if constexpr (std::is_same_v<F, PrecisionFn>) return Kind::Precision;
    else if constexpr (std::is_same_v<F, IntPrecisionFn>) return Kind::IntPrecision;
    else {
        static_assert(std::is_same_v<F, CofactorsFn>, "an export of an unknown shape");
        return Kind::Cofactors;
    }
}

template <auto F>
void Invoke(Arguments& a) {
    using Fn = decltype(F);
    if constexpr (std::is_same_v<Fn, VersionFn>) a.version = F();
    else if constexpr (std::is_same_v<Fn, OneRecordFn>) F(a.result, a.x);
    else if constexpr (std::is_same_v<Fn, TwoRecordsFn>) F(a.result, a.x, a.y);
    else if constexpr (std::is_same_v<Fn, RecordDoubleFn>) F(a.result, a.x, a.n);
    else if constexpr (std::is_same_v<Fn, PrecisionFn>) F(a.result, a.first);
    else if constexpr (std::is_same_v<Fn, IntPrecisionFn>) F(a.result, a.first, a.second);
    else F(a.result, a.x, a.y);
}

struct Export {
    const char* name;
    Kind kind;
    void (*invoke)(Arguments&);
};

// Argument records an export reads (0, 1 or 2).
constexpr int RecordCount(Kind kind) {
    switch (kind) {
        case Kind::OneRecord:
        case Kind::RecordDouble: return 1;
        case Kind::TwoRecords:
        case Kind::Cofactors: return 2;
        default: return 0;
    }
}

#define OSTREL2_EXPORT(name) {#name, KindOf<decltype(&name)>(), &Invoke<&name>},
inline constexpr Export kExports[] = {
#include "export_list.h"
};
#undef OSTREL2_EXPORT

inline constexpr int kExportCount = sizeof kExports / sizeof kExports[0];

}  // namespace ostrel2_robust

/* export_calls.c -- dispatch of one call through the pointer type of the export's kind. */
#include "export_calls.h"

#include <string.h>

intptr_t InvokeExport(ExportAddress fn, enum ExportKind kind, LongNumber* result, const CallArgs* a) {
    switch (kind) {
    case KIND_VERSION: return ((VersionFn)fn)();
    case KIND_ONE: return ((OneRecordFn)fn)(result, a->x);
    case KIND_TWO:
    case KIND_LCM: return ((TwoRecordFn)fn)(result, a->x, a->y);
    case KIND_POWER: return ((PowerFn)fn)(result, a->x, a->real);
    case KIND_PAI: return ((PaiFn)fn)(result, a->int0);
    case KIND_FACTORIAL: return ((FactorialFn)fn)(result, a->int0, a->int1);
    }
    return 0;
}

int ExportKindOf(const char* name) {
#define OSTREL2_KIND_OF(ordinal, export_name, kind, bytes) \
    if (strcmp(name, #export_name) == 0) return kind;
    OSTREL2_EXPORT_TABLE(OSTREL2_KIND_OF)
#undef OSTREL2_KIND_OF
    return -1;
}

int KindHasX(enum ExportKind kind) {
    return kind == KIND_ONE || kind == KIND_TWO || kind == KIND_LCM || kind == KIND_POWER;
}

int KindHasY(enum ExportKind kind) { return kind == KIND_TWO || kind == KIND_LCM; }

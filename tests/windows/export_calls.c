/* export_calls.c -- the exports of the table, and dispatch of one call through the pointer
 * type of the export's kind. */
#include "export_calls.h"

#define OSTREL2_LANDED_ROW(ordinal, name, kind, bytes, cost, command, summary, worker) \
    {#name, ordinal, OSTREL2_KIND(kind), bytes, OSTREL2_COST(cost)},
const struct LandedExport kLandedExports[] = {OSTREL2_EXPORTS(OSTREL2_LANDED_ROW)};
#undef OSTREL2_LANDED_ROW
const int kLandedExportCount = (int)(sizeof kLandedExports / sizeof kLandedExports[0]);

const struct LandedExport* LandedExportByOrdinal(int ordinal) {
    int i;
    for (i = 0; i < kLandedExportCount; ++i)
        if (kLandedExports[i].ordinal == ordinal) return &kLandedExports[i];
    return NULL;
}

intptr_t InvokeExport(ExportAddress fn, enum Ostrel2ExportKind kind, LongNumber* result, const CallArgs* a) {
    switch (kind) {
    case OSTREL2_KIND_Version: return ((VersionFn)fn)();
    case OSTREL2_KIND_OneRecord:
    case OSTREL2_KIND_OneRecordOverX: return ((OneRecordFn)fn)(result, a->x);
    case OSTREL2_KIND_TwoRecords:
    case OSTREL2_KIND_TwoRecordsOverX:
    case OSTREL2_KIND_Cofactors: return ((TwoRecordFn)fn)(result, a->x, a->y);
    case OSTREL2_KIND_RecordDouble: return ((PowerFn)fn)(result, a->x, a->real);
    case OSTREL2_KIND_Precision: return ((PaiFn)fn)(result, a->int0);
    case OSTREL2_KIND_IntPrecision: return ((FactorialFn)fn)(result, a->int0, a->int1);
    }
    return 0;
}

int KindHasX(enum Ostrel2ExportKind kind) { return kind != OSTREL2_KIND_Version && kind != OSTREL2_KIND_Precision && kind != OSTREL2_KIND_IntPrecision; }

int KindHasY(enum Ostrel2ExportKind kind) {
    return kind == OSTREL2_KIND_TwoRecords || kind == OSTREL2_KIND_TwoRecordsOverX || kind == OSTREL2_KIND_Cofactors;
}

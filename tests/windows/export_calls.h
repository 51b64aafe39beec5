/* export_calls.h -- calling any export through a pointer typed as a macro declares it, and the
 * layout of the cross-platform corpus file shared by the recorder and the Windows client. */
#ifndef OSTREL2_EXPORT_CALLS_H
#define OSTREL2_EXPORT_CALLS_H

#include <stdint.h>
#include <stdio.h>

#include "api/export_table.h"
#include "ostrel2.h"

/* An export the library defines: a row of api/export_table.h. */
struct LandedExport {
    const char* name;
    int ordinal;
    enum Ostrel2ExportKind kind;
    int bytes; /* removed from the stack by the 32-bit standard-call function */
    enum Ostrel2ExportCost cost;
};

/* The exports in ordinal order. */
extern const struct LandedExport kLandedExports[];
extern const int kLandedExportCount;

/* The export of this ordinal, NULL for a number out of range. */
const struct LandedExport* LandedExportByOrdinal(int ordinal);

/* A export's address as the loader hands it out (GetProcAddress or dlsym). */
typedef void (*ExportAddress)(void);

/* The pointer types a macro's Declare statements amount to: records ByRef, int as ByVal Long,
 * double as ByVal Double, the returned address as Long (LongPtr on 64-bit). */
typedef int32_t(OSTREL2_CALL* VersionFn)(void);
typedef intptr_t(OSTREL2_CALL* OneRecordFn)(LongNumber* result, LongNumber* x);
typedef intptr_t(OSTREL2_CALL* TwoRecordFn)(LongNumber* result, LongNumber* x, LongNumber* y);
typedef intptr_t(OSTREL2_CALL* PowerFn)(LongNumber* result, LongNumber* x, double n);
typedef intptr_t(OSTREL2_CALL* PaiFn)(LongNumber* result, int32_t precision);
typedef intptr_t(OSTREL2_CALL* FactorialFn)(LongNumber* result, int32_t n, int32_t precision);

/* Arguments of one call; the fields a kind does not use are ignored. */
typedef struct CallArgs {
    LongNumber* x;
    LongNumber* y;
    int32_t int0; /* precision of Pai_XL, n of Factorial_XL */
    int32_t int1; /* precision of Factorial_XL */
    double real;  /* n of Power_XL and Root_XL */
} CallArgs;

/* Calls fn of the given kind and returns what it returned. */
intptr_t InvokeExport(ExportAddress fn, enum Ostrel2ExportKind kind, LongNumber* result, const CallArgs* args);

/* Which argument records an export of this kind takes (and a corpus entry carries). */
int KindHasX(enum Ostrel2ExportKind kind);
int KindHasY(enum Ostrel2ExportKind kind);

/* Corpus file: the 8 magic bytes, then entries up to the end of the file. An entry is a
 * CorpusHeader followed by x (kinds with x), y (kinds with y), the result record, for the
 * greatest common divisor x and y as the call left them, and last what the call printed: a
 * uint32_t byte count and the bytes. All integers little-endian. */
#define CORPUS_MAGIC "OSTRELC3"
#define CORPUS_MAX_DIAGNOSTICS 8192 /* most bytes one call may print */
typedef struct CorpusHeader {
    int32_t ordinal;
    int32_t int0;
    int32_t int1;
    int32_t tag; /* which recorder case produced the entry, for the failure report */
    double real;
    double seconds; /* processor time the call took when it was recorded, for a sampled replay */
} CorpusHeader;

#endif /* OSTREL2_EXPORT_CALLS_H */

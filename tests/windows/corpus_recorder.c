/* corpus_recorder.c -- runs every landed export of the Linux library over a fixed set of cases
 * and writes the inputs, whole result records and printed diagnostics to a corpus file for the
 * Windows client and the Linux replayer. The diagnostics also go to standard output, in order. */
#include <dlfcn.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "diagnostics_capture.h"
#include "export_calls.h"

/* Fill of the slots above a record's live limbs: a caller's leftovers, never part of a value. */
static const double kDeadSlot = 7777777777.0;
static const int32_t kZeroExponent = -2100000000;

typedef struct Recorder {
    FILE* out;
    long entries;
    int failed; /* a call printed more than an entry holds, or the capture broke */
    unsigned long long seed; /* state of the case generator (local to one run) */
} Recorder;

static unsigned long long NextRandom(Recorder* r) {
    unsigned long long z = (r->seed += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

static double RandomLimb(Recorder* r) { return (double)(NextRandom(r) % 10000000000ULL); }

/* Slots a record of precision p may fill in the 306 boundary slots. */
static int LastSlot(int32_t p) {
    int last = p + 3;
    if (last > OSTREL2_LIMB_SLOTS - 1) last = OSTREL2_LIMB_SLOTS - 1;
    if (last < 0) last = 0;
    return last;
}

/* sign * first * 10^exponent at precision p, further live limbs 0, dead slots filled. */
static void Plain(LongNumber* x, int32_t p, int32_t sign, int32_t exponent, double first) {
    int k;
    x->sign = sign;
    x->exponent = sign == 0 ? kZeroExponent : exponent;
    x->precision = p;
    x->error = 0;
    for (k = 0; k < OSTREL2_LIMB_SLOTS; ++k) x->limbs[k] = k <= LastSlot(p) ? 0.0 : kDeadSlot;
    x->limbs[0] = first;
}

/* A canonical value with `digits` random limbs (at most the live ones) and limb exponent e. */
static void Random(Recorder* r, LongNumber* x, int32_t p, int32_t e, int digits) {
    int k;
    Plain(x, p, (NextRandom(r) & 1) ? -1 : 1, 10 * e, 1.0 + (double)(NextRandom(r) % 9999999999ULL));
    for (k = 1; k < digits && k <= LastSlot(p); ++k) x->limbs[k] = RandomLimb(r);
}

static void Emit(Recorder* r, const struct LandedExport* ex, ExportAddress fn, int tag,
                 const LongNumber* x, const LongNumber* y, int32_t int0, int32_t int1, double real) {
    enum Ostrel2ExportKind kind = ex->kind;
    LongNumber cx, cy, result;
    CallArgs args;
    CorpusHeader header;
    char printed[CORPUS_MAX_DIAGNOSTICS];
    long length;
    uint32_t bytes;
    clock_t began;
    double seconds;
    if (x) cx = *x; else memset(&cx, 0, sizeof cx);
    if (y) cy = *y; else memset(&cy, 0, sizeof cy);
    memset(&result, 0xA5, sizeof result);
    args.x = &cx;
    args.y = &cy;
    args.int0 = int0;
    args.int1 = int1;
    args.real = real;
    began = clock();
    InvokeExport(fn, kind, &result, &args);
    seconds = (double)(clock() - began) / CLOCKS_PER_SEC;
    length = TakeDiagnostics(printed, sizeof printed);
    if (length < 0 || length > (long)sizeof printed) {
        fprintf(stderr, "%s: cannot keep what the call printed (%ld bytes)\n", ex->name, length);
        r->failed = 1;
        length = 0;
    }
    bytes = (uint32_t)length;
    memset(&header, 0, sizeof header);
    header.ordinal = ex->ordinal;
    header.int0 = int0;
    header.int1 = int1;
    header.tag = tag;
    header.real = real;
    header.seconds = seconds;
    fwrite(&header, sizeof header, 1, r->out);
    if (KindHasX(kind)) fwrite(x, sizeof *x, 1, r->out);
    if (KindHasY(kind)) fwrite(y, sizeof *y, 1, r->out);
    fwrite(&result, sizeof result, 1, r->out);
    if (kind == OSTREL2_KIND_Cofactors) {
        fwrite(&cx, sizeof cx, 1, r->out);
        fwrite(&cy, sizeof cy, 1, r->out);
    }
    fwrite(&bytes, sizeof bytes, 1, r->out);
    fwrite(printed, 1, bytes, r->out);
    ++r->entries;
}

/* The out-of-the-ordinary arguments every record export meets at a few precisions: zero,
 * halves, values at the exponent limits, records that are not canonical, records that carry
 * an error, and precisions the guard refuses. Returns how many it built. */
enum { EDGE_COUNT = 18 };
static int EdgeRecords(LongNumber* e, int32_t p) {
    int n = 0;
    Plain(&e[n++], p, 0, 0, 0.0);                          /* zero */
    Plain(&e[n++], p, 1, 0, 1.0);                          /* 1 */
    Plain(&e[n++], p, -1, 0, 7.0);                         /* -7 */
    Plain(&e[n], p, 1, 0, 2.0); e[n++].limbs[1] = 5e9;     /* 2.5 */
    Plain(&e[n], p, -1, 0, 2.0); e[n++].limbs[1] = 5e9; /* -2.5 */
    Plain(&e[n], p, 1, -10, 5e9);  n++;                    /* 0.5 */
    Plain(&e[n++], p, 1, 1999999990, 9999999999.0);        /* near the largest exponent */
    Plain(&e[n++], p, -1, -1999999990, 1.0);               /* tiny */
    Plain(&e[n], p, 1, 0, 0.0); e[n++].limbs[1] = 5.0;     /* sign 1 with a zero leading limb */
    Plain(&e[n], p, 1, 0, 3.0); e[n++].limbs[1] = 1.5e10;  /* limb of 10^10 or more */
    Plain(&e[n], p, 1, 10, 3.0); e[n].limbs[LastSlot(p) > 2 ? 2 : LastSlot(p)] = -3.0; n++; /* negative limb */
    Plain(&e[n++], p, 1, 7, 123.0);                        /* exponent not a multiple of 10 */
    Plain(&e[n], p, 1, 0, 4.0); e[n++].error = -1;         /* carries an error */
    Plain(&e[n], p, -1, 20, 6.0); e[n++].error = -3;
    Plain(&e[n++], 304, 1, 0, 1.0);                        /* refused precisions */
    Plain(&e[n++], 0, 1, 0, 1.0);
    Plain(&e[n++], -5, 1, 0, 1.0);
    Plain(&e[n++], INT_MIN, 1, 0, 1.0);
    return n;
}

/* A dear export (api/export_table.h) may take a second for one call at precision 303, and the
 * corpus is replayed under Wine and qemu: its ordinary arguments come at the first five
 * precisions, every 16th and the largest; its edge records at the edge precisions but the
 * largest; its operands of different precisions where x has at most 40 limbs. */
static int DearPrecision(int32_t p) { return p <= 5 || p % 16 == 0 || p == OSTREL2_MAX_PRECISION; }

static void RecordExport(Recorder* r, const struct LandedExport* ex, ExportAddress fn) {
    static const int32_t kEdgePrecisions[] = {1, 4, 5, 40, 303};
    enum Ostrel2ExportKind kind = ex->kind;
    int dear = ex->cost == OSTREL2_COST_Dear;
    LongNumber x, y, edges[EDGE_COUNT];
    int32_t p;
    size_t i;
    int j, k, count;
    if (kind == OSTREL2_KIND_Version) return;
    for (p = 1; p <= OSTREL2_MAX_PRECISION; ++p) {
        /* Ordinary arguments at every precision (a dear export's at a sample of them). */
        int32_t ex0 = (int32_t)(NextRandom(r) % 7) - 3;
        if (dear && !DearPrecision(p)) continue;
        if (kind == OSTREL2_KIND_Cofactors) {
            /* whole numbers g * a and g * b (below 10^10, exact) and a rounded one */
            double g = (double)(1 + NextRandom(r) % 99999), a = (double)(1 + NextRandom(r) % 99999);
            double b = (double)(1 + NextRandom(r) % 99999);
            Plain(&x, p, 1, 0, g * a);
            Plain(&y, p, (p & 1) ? 1 : -1, 0, g * b);
            if (p % 3 == 0) y.limbs[1] = 4e9;
        } else {
            Random(r, &x, p, ex0, p + 4);
            Random(r, &y, p, ex0 - (int32_t)(NextRandom(r) % 5), p + 4);
        }
        Emit(r, ex, fn, 1, &x, &y, p, p, 2.0 + (double)(p % 5));
    }
    for (i = 0; i < sizeof kEdgePrecisions / sizeof kEdgePrecisions[0]; ++i) {
        p = kEdgePrecisions[i];
        if (dear && p == OSTREL2_MAX_PRECISION) continue;
        count = EdgeRecords(edges, p);
        Random(r, &y, p, 0, p + 4);
        for (j = 0; j < count; ++j) {
            Emit(r, ex, fn, 100 + j, &edges[j], &y, p, p, 3.0);
            if (KindHasY(kind)) {
                Emit(r, ex, fn, 200 + j, &y, &edges[j], p, p, 3.0);
                if (p == 1 || p == OSTREL2_MAX_PRECISION)
                    for (k = 0; k < count; k += 3) Emit(r, ex, fn, 300 + j * 32 + k, &edges[j], &edges[k], p, p, 3.0);
            }
        }
    }
    /* Operands of different precisions. */
    {
        static const int32_t kPairs[][2] = {{1, 303}, {303, 1}, {4, 5}, {5, 4}, {302, 303}, {2, 40}};
        for (i = 0; i < sizeof kPairs / sizeof kPairs[0]; ++i) {
            if (dear && kPairs[i][0] > 40) continue;
            Random(r, &x, kPairs[i][0], 1, kPairs[i][0] + 4);
            Random(r, &y, kPairs[i][1], 0, kPairs[i][1] + 4);
            Emit(r, ex, fn, 400 + (int)i, &x, &y, kPairs[i][0], kPairs[i][1], 0.5);
        }
    }
    /* Plain arguments out of range for the exports that take them. */
    if (kind == OSTREL2_KIND_Precision || kind == OSTREL2_KIND_IntPrecision || kind == OSTREL2_KIND_RecordDouble) {
        static const int32_t kInts[] = {-1, 0, 304, 400, INT_MAX, INT_MIN};
        static const double kReals[] = {0.0, -1.0, 0.5, 1e10, -2147483649.0};
        Plain(&x, 10, 1, 0, 2.0);
        for (i = 0; i < sizeof kInts / sizeof kInts[0]; ++i) Emit(r, ex, fn, 500 + (int)i, &x, &x, kInts[i], 10, 2.0);
        for (i = 0; i < sizeof kReals / sizeof kReals[0]; ++i) Emit(r, ex, fn, 600 + (int)i, &x, &x, 5, kInts[i], kReals[i]);
    }
}

int main(int argc, char** argv) {
    Recorder recorder;
    void* library;
    int i;
    if (argc != 3) {
        fprintf(stderr, "usage: %s LIBRARY.so CORPUS-FILE\n", argv[0]);
        return 2;
    }
    library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        fprintf(stderr, "cannot load %s: %s\n", argv[1], dlerror());
        return 1;
    }
    recorder.out = fopen(argv[2], "wb");
    if (!recorder.out) {
        perror(argv[2]);
        return 1;
    }
    recorder.entries = 0;
    recorder.failed = 0;
    if (StartDiagnosticsCapture() != 0) {
        perror("catching standard output");
        return 1;
    }
    recorder.seed = 20091025ULL;
    fwrite(CORPUS_MAGIC, 1, 8, recorder.out);
    for (i = 0; i < kLandedExportCount; ++i) {
        void* symbol = dlsym(library, kLandedExports[i].name);
        ExportAddress fn;
        if (!symbol) {
            fprintf(stderr, "export %s is missing from %s\n", kLandedExports[i].name, argv[1]);
            return 1;
        }
        memcpy(&fn, &symbol, sizeof fn);
        RecordExport(&recorder, &kLandedExports[i], fn);
    }
    if (fclose(recorder.out) != 0) {
        perror(argv[2]);
        return 1;
    }
    if (recorder.failed) return 1;
    fprintf(stderr, "recorded %ld calls of %d exports into %s\n", recorder.entries, kLandedExportCount, argv[2]);
    return 0;
}

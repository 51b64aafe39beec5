/* corpus_replay.c -- replays the byte-identity corpus against a loaded build of the library. */
#include "corpus_replay.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

/* One corpus entry as read from the file. */
typedef struct Entry {
    CorpusHeader h;
    const struct LandedExport* ex;
    LongNumber x, y, want, wantX, wantY;
    uint32_t printedBytes;
    char printed[CORPUS_MAX_DIAGNOSTICS];
} Entry;

typedef struct Replay {
    Tally* t;
    const ExportAddress* byOrdinal;
    const ReplayOptions* options;
    FILE* in;
    long reported; /* differences described so far */
} Replay;

static void Fail(Replay* rp, const char* what, long index) {
    ++rp->t->failed;
    fprintf(stderr, "FAIL: corpus entry %ld %s\n", index, what);
}

static int ReadRecord(FILE* in, LongNumber* x) { return fread(x, sizeof *x, 1, in) == 1; }

/* Reads the entry at the file's position: 1 when read, 0 at the end of the file, -1 when the
 * entry is broken or its export not loaded (counted as a failure). */
static int ReadEntry(Replay* rp, Entry* e, long index) {
    enum Ostrel2ExportKind kind;
    int ok = 1;
    if (fread(&e->h, sizeof e->h, 1, rp->in) != 1) return 0;
    e->ex = LandedExportByOrdinal(e->h.ordinal);
    if (!e->ex || !rp->byOrdinal[e->h.ordinal]) {
        Fail(rp, "calls an export that is not loaded", index);
        return -1;
    }
    kind = e->ex->kind;
    memset(&e->x, 0, sizeof e->x);
    memset(&e->y, 0, sizeof e->y);
    if (KindHasX(kind)) ok = ok && ReadRecord(rp->in, &e->x);
    if (KindHasY(kind)) ok = ok && ReadRecord(rp->in, &e->y);
    ok = ok && ReadRecord(rp->in, &e->want);
    if (kind == OSTREL2_KIND_Cofactors) ok = ok && ReadRecord(rp->in, &e->wantX) && ReadRecord(rp->in, &e->wantY);
    ok = ok && fread(&e->printedBytes, sizeof e->printedBytes, 1, rp->in) == 1 &&
         e->printedBytes <= sizeof e->printed && fread(e->printed, 1, e->printedBytes, rp->in) == e->printedBytes;
    if (!ok) Fail(rp, "is cut short", index);
    return ok ? 1 : -1;
}

/* Where two records first differ, for the failure report. */
static void DescribeDifference(char* out, size_t size, const LongNumber* got, const LongNumber* want) {
    int k;
    if (memcmp(got, want, 16) != 0) {
        snprintf(out, size, "header: got %d %d %d %d, want %d %d %d %d", got->sign, got->exponent, got->precision,
                 got->error, want->sign, want->exponent, want->precision, want->error);
        return;
    }
    for (k = 0; k < OSTREL2_LIMB_SLOTS; ++k)
        if (memcmp(&got->limbs[k], &want->limbs[k], 8) != 0) {
            snprintf(out, size, "limb %d: got %.17g, want %.17g", k, got->limbs[k], want->limbs[k]);
            return;
        }
    snprintf(out, size, "no difference");
}

/* Makes the entry's call and counts whether it gave what was recorded. */
static void ReplayEntry(Replay* rp, const Entry* e, long index) {
    enum Ostrel2ExportKind kind = e->ex->kind;
    LongNumber cx = e->x, cy = e->y, r;
    CallArgs a;
    char where[160] = "";
    a.x = &cx;
    a.y = &cy;
    a.int0 = e->h.int0;
    a.int1 = e->h.int1;
    a.real = e->h.real;
    memset(&r, 0xA5, sizeof r);
    InvokeExport(rp->byOrdinal[e->h.ordinal], kind, &r, &a);
    if (memcmp(&r, &e->want, sizeof r) != 0) {
        DescribeDifference(where, sizeof where, &r, &e->want);
    } else if (kind == OSTREL2_KIND_Cofactors &&
               (memcmp(&cx, &e->wantX, sizeof cx) != 0 || memcmp(&cy, &e->wantY, sizeof cy) != 0)) {
        snprintf(where, sizeof where, "cofactors written back differ");
    } else if (kind != OSTREL2_KIND_Cofactors && (memcmp(&cx, &e->x, sizeof cx) != 0 || memcmp(&cy, &e->y, sizeof cy) != 0)) {
        snprintf(where, sizeof where, "an argument record was changed");
    }
    if (rp->options->takeDiagnostics) {
        char printed[CORPUS_MAX_DIAGNOSTICS];
        long length = rp->options->takeDiagnostics(printed, sizeof printed);
        if (!where[0] && (length != (long)e->printedBytes || memcmp(printed, e->printed, e->printedBytes) != 0))
            snprintf(where, sizeof where, "printed %ld bytes of diagnostics that differ from the %lu recorded", length,
                     (unsigned long)e->printedBytes);
    }
    if (!where[0]) {
        ++rp->t->passed;
        return;
    }
    ++rp->t->failed;
    if (rp->reported++ < 20)
        fprintf(stderr, "FAIL: corpus entry %ld (%s, case %d, precision %d/%d): %s\n", index, e->ex->name, e->h.tag,
                e->x.precision, e->y.precision, where);
}

static double ProcessorSeconds(void) { return (double)clock() / CLOCKS_PER_SEC; }

/* i with its lowest `bits` bits in reverse order: 0, N/2, N/4, 3N/4, ... for i = 0, 1, 2, 3. */
static long ReverseBits(long i, int bits) {
    long r = 0;
    int b;
    for (b = 0; b < bits; ++b) r = (r << 1) | ((i >> b) & 1);
    return r;
}

/* Replays a sample of each export's entries within the processor-time budget. Each export gets
 * an even share of the budget and what the exports before it left unspent; one whose calls run
 * over it takes nothing from the ones after it. Within its share an export's calls are taken
 * coarse to fine (the first, the middle one, the quarters, ...), so that a sample spans all its
 * cases. A call expected to end after the share is passed over (but an export always makes its
 * first call): its expected time is the time its recording took, scaled by how much slower the
 * calls replayed so far ran than their recording (under emulation some fifty times), which keeps
 * an export whose dearest calls take far longer than its share to the calls it can afford. */
static long ReplayWithinBudget(Replay* rp, Entry* e) {
    long* offsets = NULL;
    int* ordinals = NULL;
    long* own = NULL;
    long entries = 0, capacity = 0, replayed = 0, i;
    int ordinal, exportsPresent = 0, status;
    double banked = 0;                        /* processor seconds the exports so far left unspent */
    double replayedSeconds = 0, recordedSeconds = 0; /* of the calls so far, for the slowdown */
    int present[OSTREL2_EXPORT_COUNT + 1] = {0};
    /* Index the entries: where each begins and whose it is. */
    for (;;) {
        long offset = ftell(rp->in);
        if ((status = ReadEntry(rp, e, entries)) <= 0) break;
        if (entries == capacity) {
            capacity = capacity ? 2 * capacity : 4096;
            offsets = realloc(offsets, (size_t)capacity * sizeof *offsets);
            ordinals = realloc(ordinals, (size_t)capacity * sizeof *ordinals);
            if (!offsets || !ordinals) { /* dies without a count, which the caller counts as a failure */
                fprintf(stderr, "FAIL: out of memory indexing the corpus\n");
                exit(1);
            }
        }
        offsets[entries] = offset;
        ordinals[entries++] = e->h.ordinal;
        if (!present[e->h.ordinal]++) ++exportsPresent;
    }
    own = malloc((size_t)(entries ? entries : 1) * sizeof *own);
    if (status < 0 || !own) exportsPresent = 0;
    for (ordinal = 1; ordinal <= OSTREL2_EXPORT_COUNT && exportsPresent > 0; ++ordinal) {
        long n = 0, done = 0, span = 1;
        int bits = 0;
        double began = ProcessorSeconds(), share, deadline;
        if (!present[ordinal]) continue;
        for (i = 0; i < entries; ++i)
            if (ordinals[i] == ordinal) own[n++] = i;
        while (span < n) span <<= 1, ++bits;
        share = rp->options->budgetSeconds / exportsPresent + banked;
        deadline = began + share;
        for (i = 0; i < span; ++i) {
            long k = ReverseBits(i, bits);
            double slowdown = recordedSeconds > 0 ? replayedSeconds / recordedSeconds : 1, start;
            if (k >= n) continue;
            fseek(rp->in, offsets[own[k]], SEEK_SET);
            if (ReadEntry(rp, e, own[k]) <= 0) break;
            start = ProcessorSeconds();
            if (done > 0 && start + e->h.seconds * slowdown > deadline) continue;
            ReplayEntry(rp, e, own[k]);
            ++done;
            replayedSeconds += ProcessorSeconds() - start;
            recordedSeconds += e->h.seconds;
            if (ProcessorSeconds() >= deadline) break;
        }
        banked = share - (ProcessorSeconds() - began);
        if (banked < 0) banked = 0;
        if (done < n)
            fprintf(stderr, "%s: replayed %ld of its %ld calls within the time budget\n",
                    LandedExportByOrdinal(ordinal)->name, done, n);
        replayed += done;
    }
    free(own);
    free(offsets);
    free(ordinals);
    fprintf(stderr, "replayed %ld of %ld corpus calls, %ld differed\n", replayed, entries, rp->reported);
    return replayed;
}

void ReplayCorpus(Tally* t, const ExportAddress byOrdinal[OSTREL2_EXPORT_COUNT + 1], const char* path,
                  const ReplayOptions* options) {
    Entry e;
    char magic[8];
    long replayed = 0;
    Replay rp;
    rp.t = t;
    rp.byOrdinal = byOrdinal;
    rp.options = options;
    rp.reported = 0;
    rp.in = fopen(path, "rb");
    if (!rp.in || fread(magic, 1, 8, rp.in) != 8 || memcmp(magic, CORPUS_MAGIC, 8) != 0) {
        ++t->failed;
        fprintf(stderr, "FAIL: cannot read the corpus %s\n", path);
        if (rp.in) fclose(rp.in);
        return;
    }
    if (options->takeDiagnostics) { /* what was printed before the first call is not its */
        char ignored[CORPUS_MAX_DIAGNOSTICS];
        options->takeDiagnostics(ignored, sizeof ignored);
    }
    if (options->budgetSeconds > 0) {
        replayed = ReplayWithinBudget(&rp, &e);
    } else {
        while (ReadEntry(&rp, &e, replayed) > 0) ReplayEntry(&rp, &e, replayed++);
        fprintf(stderr, "replayed %ld corpus calls, %ld differed\n", replayed, rp.reported);
    }
    fclose(rp.in);
    if (replayed > 0) ++t->passed;
    else {
        ++t->failed;
        fprintf(stderr, "FAIL: the corpus holds no calls\n");
    }
}

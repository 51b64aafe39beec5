/* windows_client.c -- loads Ostrel2.dll as a macro host would and checks every landed export:
 * names and ordinals, hand-derived results, untouched arguments, the guard's error records, the
 * stack and registers a standard-call callee must keep (32-bit), and byte-identical results
 * against the corpus recorded from the Linux library.
 *
 * Usage: ostrel2_windows_client.exe Ostrel2.dll CORPUS-FILE
 * The client's own report goes to standard error; standard output carries only the library's
 * diagnostics, so that the caller can compare them with the ones the Linux library printed. */
#include <windows.h>

#include <math.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "corpus_replay.h"

#define ZERO_EXPONENT (-2100000000)

static void Check(Tally* t, int ok, const char* format, ...) {
    if (ok) {
        ++t->passed;
        return;
    }
    ++t->failed;
    {
        va_list args;
        va_start(args, format);
        fputs("FAIL: ", stderr);
        vfprintf(stderr, format, args);
        fputc('\n', stderr);
        va_end(args);
    }
}

/* The loaded exports, by ordinal (0 where the export has not landed). */
typedef struct Exports {
    ExportAddress byOrdinal[OSTREL2_EXPORT_COUNT + 1];
    const char* names[OSTREL2_EXPORT_COUNT + 1];
    enum Ostrel2ExportKind kinds[OSTREL2_EXPORT_COUNT + 1];
} Exports;

static ExportAddress Find(const Exports* e, int ordinal) { return e->byOrdinal[ordinal]; }

/* sign * first * 10^exponent + second * 10^(exponent - 10) at precision p. */
static void Make(LongNumber* x, int32_t p, int32_t sign, int32_t exponent, double first, double second) {
    int k;
    memset(x, 0, sizeof *x);
    x->sign = sign;
    x->exponent = sign == 0 ? ZERO_EXPONENT : exponent;
    x->precision = p;
    for (k = 0; k < OSTREL2_LIMB_SLOTS; ++k) x->limbs[k] = k <= p + 3 ? 0.0 : 5555555555.0;
    x->limbs[0] = first;
    x->limbs[1] = second;
}

static int LastLive(const LongNumber* r) {
    int last = r->precision + 3;
    return last > OSTREL2_LIMB_SLOTS - 1 ? OSTREL2_LIMB_SLOTS - 1 : last;
}

/* The result is sign * (first + second * 10^-10) * 10^exponent, canonical, error 0. */
static void ExpectValue(Tally* t, const char* what, const LongNumber* r, int32_t sign, int32_t exponent,
                        double first, double second) {
    int k, restZero = 1;
    for (k = 2; k <= LastLive(r); ++k) restZero = restZero && r->limbs[k] == 0.0;
    Check(t, r->sign == sign && r->exponent == exponent && r->error == 0 && r->limbs[0] == first &&
                 r->limbs[1] == second && restZero,
          "%s: got sign %d exponent %d error %d limbs %.0f %.0f (rest zero %d), want %d %d 0 %.0f %.0f", what,
          r->sign, r->exponent, r->error, r->limbs[0], r->limbs[1], restZero, sign, exponent, first, second);
}

/* Concurrent first use of the constants the library keeps per precision (pi, e, its first
 * 10^10-th root, ln 10): eight threads, started together, each call Pai_XL, Exp_XL(1.5),
 * Log10_XL(1.5) and Sin_XL(1) at one precision in an order of their own, before anything else in
 * the process has met that precision. Each result must be the bytes a later call gives. */
#define FIRST_USE_THREADS 8
#define FIRST_USE_CALLS 4
#define FIRST_USE_PRECISION 23
static const int kFirstUseOrdinals[FIRST_USE_CALLS] = {16, 23, 25, 18}; /* Pai, Exp, Log10, Sin */

typedef struct FirstUse {
    const Exports* e;
    int thread;
    volatile LONG* waiting;
    LongNumber results[FIRST_USE_CALLS];
} FirstUse;

static void FirstUseCall(const Exports* e, int which, LongNumber* result) {
    LongNumber x;
    ExportAddress fn = Find(e, kFirstUseOrdinals[which]);
    if (which == 0) {
        ((PaiFn)fn)(result, FIRST_USE_PRECISION);
        return;
    }
    if (which == 3) {
        Make(&x, FIRST_USE_PRECISION, 1, 0, 1, 0);
    } else {
        Make(&x, FIRST_USE_PRECISION, 1, 0, 1, 5e9);
    }
    ((OneRecordFn)fn)(result, &x);
}

static DWORD WINAPI FirstUseThread(LPVOID argument) {
    FirstUse* u = (FirstUse*)argument;
    int k;
    InterlockedDecrement(u->waiting);
    while (InterlockedCompareExchange(u->waiting, 0, 0) > 0) {
    }
    for (k = 0; k < FIRST_USE_CALLS; ++k) {
        const int which = (k + u->thread) % FIRST_USE_CALLS;
        FirstUseCall(u->e, which, &u->results[which]);
    }
    return 0;
}

static void CheckConcurrentFirstUse(Tally* t, const Exports* e) {
    static FirstUse uses[FIRST_USE_THREADS];
    HANDLE threads[FIRST_USE_THREADS];
    volatile LONG waiting = FIRST_USE_THREADS;
    int i, which, started = 0;
    for (which = 0; which < FIRST_USE_CALLS; ++which) {
        if (Find(e, kFirstUseOrdinals[which]) == NULL) return;
    }
    for (i = 0; i < FIRST_USE_THREADS; ++i) {
        uses[i].e = e;
        uses[i].thread = i;
        uses[i].waiting = &waiting;
        threads[i] = CreateThread(NULL, 0, FirstUseThread, &uses[i], 0, NULL);
        Check(t, threads[i] != NULL, "first use: cannot start thread %d (error %lu)", i, GetLastError());
        if (threads[i] == NULL) break;
        ++started;
    }
    if (started < FIRST_USE_THREADS) {
        /* the started ones would wait for ever for the rest: release them */
        InterlockedExchange(&waiting, 0);
    }
    WaitForMultipleObjects((DWORD)started, threads, TRUE, INFINITE);
    for (i = 0; i < started; ++i) CloseHandle(threads[i]);
    if (started < FIRST_USE_THREADS) return;
    for (which = 0; which < FIRST_USE_CALLS; ++which) {
        LongNumber later;
        FirstUseCall(e, which, &later);
        Check(t, later.error == 0, "first use: export %d failed (error %d)", kFirstUseOrdinals[which], later.error);
        for (i = 0; i < FIRST_USE_THREADS; ++i) {
            Check(t, memcmp(&uses[i].results[which], &later, sizeof later) == 0,
                  "first use: export %d on thread %d differs from the later call", kFirstUseOrdinals[which], i);
        }
    }
}

static void CheckLoading(Tally* t, HMODULE dll, Exports* e) {
    int i;
    memset(e, 0, sizeof *e);
    for (i = 0; i < kLandedExportCount; ++i) {
        const char* name = kLandedExports[i].name;
        int ordinal = kLandedExports[i].ordinal;
        FARPROC byName = GetProcAddress(dll, name);
        FARPROC byOrdinal = ordinal >= 1 && ordinal <= OSTREL2_EXPORT_COUNT ? GetProcAddress(dll, MAKEINTRESOURCEA(ordinal)) : NULL;
        Check(t, byName != NULL, "%s: not found by name", name);
        Check(t, byName != NULL && byName == byOrdinal, "%s: ordinal %d gives another address", name, ordinal);
        if (byName && ordinal >= 1 && ordinal <= OSTREL2_EXPORT_COUNT) {
            memcpy(&e->byOrdinal[ordinal], &byName, sizeof byName);
            e->names[ordinal] = name;
            e->kinds[ordinal] = kLandedExports[i].kind;
        }
    }
    /* Decorated names must not be reachable: a host asks for the plain name only. */
    Check(t, GetProcAddress(dll, "_Add_XL@12") == NULL && GetProcAddress(dll, "Add_XL@12") == NULL,
          "decorated names are exported");
}

/* Results a reader can derive by hand from the record's definition. */
static void CheckValues(Tally* t, const Exports* e) {
    LongNumber x, y, r, x0, y0;
    ExportAddress fn;
    if ((fn = Find(e, 1)) != NULL) Check(t, ((VersionFn)fn)() == 20091025, "Version_XL is not 20,091,025");
    if ((fn = Find(e, 6)) != NULL) {
        Make(&x, 5, 1, 0, 1, 0);
        Make(&y, 5, 1, 0, 2, 0);
        ((TwoRecordFn)fn)(&r, &x, &y);
        ExpectValue(t, "Add_XL 1 + 2", &r, 1, 0, 3, 0);
        Make(&x, 5, 1, 0, 1, 5e9);
        Make(&y, 5, -1, 0, 1, 5e9);
        ((TwoRecordFn)fn)(&r, &x, &y);
        ExpectValue(t, "Add_XL 1.5 + -1.5", &r, 0, ZERO_EXPONENT, 0, 0);
        Make(&x, 3, 1, 0, 9999999999.0, 0);
        Make(&y, 3, 1, 0, 1, 0);
        ((TwoRecordFn)fn)(&r, &x, &y);
        ExpectValue(t, "Add_XL carry into a new limb", &r, 1, 10, 1, 0);
    }
    if ((fn = Find(e, 7)) != NULL) {
        Make(&x, 5, 1, 0, 1, 0);
        Make(&y, 5, 1, 0, 2, 0);
        ((TwoRecordFn)fn)(&r, &x, &y);
        ExpectValue(t, "Subtract_XL 1 - 2", &r, -1, 0, 1, 0);
    }
    if ((fn = Find(e, 8)) != NULL) {
        Make(&x, 4, 1, 0, 123, 0);
        Make(&y, 4, -1, 10, 1, 0);
        ((TwoRecordFn)fn)(&r, &x, &y);
        ExpectValue(t, "Multipl2_XL 123 * -10^10", &r, -1, 10, 123, 0);
    }
    if ((fn = Find(e, 9)) != NULL) {
        Make(&x, 6, 1, 0, 2, 0);
        Make(&y, 6, 1, -10, 3e9, 0);
        ((TwoRecordFn)fn)(&r, &x, &y);
        ExpectValue(t, "Multipl_XL 2 * 0.3", &r, 1, -10, 6e9, 0);
    }
    if ((fn = Find(e, 10)) != NULL) {
        int k, nines = 1;
        /* the estimate of each quotient limb is lowered by one: 8 / 2 is rounded back to exactly
         * 4 by the extra limb, 3 / 3 is cut off as 0.999...9 in all P + 4 limbs */
        Make(&x, 5, 1, 0, 8, 0);
        Make(&y, 5, 1, 0, 2, 0);
        ((TwoRecordFn)fn)(&r, &x, &y);
        ExpectValue(t, "Div2_XL 8 / 2", &r, 1, 0, 4, 0);
        Make(&x, 5, 1, 0, 3, 0);
        Make(&y, 5, 1, 0, 3, 0);
        ((TwoRecordFn)fn)(&r, &x, &y);
        for (k = 0; k <= 8; ++k) nines = nines && r.limbs[k] == 9999999999.0;
        Check(t, r.sign == 1 && r.exponent == -10 && r.error == 0 && nines, "Div2_XL 3 / 3 is not 0.999...9");
    }
    if ((fn = Find(e, 11)) != NULL) {
        double estimate;
        Make(&x, 5, 1, 0, 1, 0);
        Make(&y, 5, 1, 0, 4, 0);
        ((TwoRecordFn)fn)(&r, &x, &y);
        estimate = (r.limbs[0] + r.limbs[1] * 1e-10) * pow(10.0, r.exponent);
        Check(t, r.error == 0 && r.sign == 1 && fabs(estimate - 0.25) < 1e-15, "Div_XL 1 / 4 gave %.17g", estimate);
    }
    if ((fn = Find(e, 2)) != NULL) {
        Make(&x, 2, -1, 0, 1, 5e9);
        ((OneRecordFn)fn)(&r, &x);
        ExpectValue(t, "Abs_XL -1.5", &r, 1, 0, 1, 5e9);
    }
    if ((fn = Find(e, 3)) != NULL) {
        Make(&x, 2, -1, 0, 1, 5e9);
        ((OneRecordFn)fn)(&r, &x);
        ExpectValue(t, "Fix_XL -1.5", &r, -1, 0, 1, 0);
    }
    if ((fn = Find(e, 4)) != NULL) {
        static const struct { int32_t sign; double whole, want; } kHalves[] = {{-1, 1, 2}, {1, 2, 3}, {1, 0, 1}};
        size_t i;
        for (i = 0; i < sizeof kHalves / sizeof kHalves[0]; ++i) {
            char what[64];
            if (kHalves[i].whole == 0) Make(&x, 2, kHalves[i].sign, -10, 5e9, 0);
            else Make(&x, 2, kHalves[i].sign, 0, kHalves[i].whole, 5e9);
            ((OneRecordFn)fn)(&r, &x);
            snprintf(what, sizeof what, "Round_XL %s%.0f.5", kHalves[i].sign < 0 ? "-" : "", kHalves[i].whole);
            ExpectValue(t, what, &r, kHalves[i].sign, 0, kHalves[i].want, 0);
        }
    }
    if ((fn = Find(e, 5)) != NULL) {
        Make(&x, 3, 1, 0, 7, 0);
        Make(&y, 3, 1, 0, 3, 0);
        ((TwoRecordFn)fn)(&r, &x, &y);
        ExpectValue(t, "Mod_XL 7 mod 3", &r, 1, 0, 1, 0);
        Make(&x, 3, -1, 0, 7, 0);
        ((TwoRecordFn)fn)(&r, &x, &y);
        ExpectValue(t, "Mod_XL -7 mod 3", &r, -1, 0, 1, 0);
    }
    if ((fn = Find(e, 33)) != NULL) {
        Make(&x, 4, 1, 0, 12, 0);
        Make(&y, 4, 1, 0, 18, 0);
        ((TwoRecordFn)fn)(&r, &x, &y);
        ExpectValue(t, "LCM_XL of 12 and 18", &r, 1, 0, 6, 0);
        ExpectValue(t, "LCM_XL cofactor of 12", &x, 1, 0, 2, 0);
        ExpectValue(t, "LCM_XL cofactor of 18", &y, 1, 0, 3, 0);
        /* a zero operand fails and leaves the caller's records alone */
        Make(&x, 4, 1, 0, 12, 0);
        Make(&y, 4, 0, 0, 0, 0);
        x0 = x;
        y0 = y;
        ((TwoRecordFn)fn)(&r, &x, &y);
        Check(t, r.error < 0 && memcmp(&x, &x0, sizeof x) == 0 && memcmp(&y, &y0, sizeof y) == 0,
              "LCM_XL with a zero operand: error %d, records kept %d %d", r.error, memcmp(&x, &x0, sizeof x) == 0,
              memcmp(&y, &y0, sizeof y) == 0);
    }
}

/* The arguments of an ordinary call of each kind, at precision 10. */
static void OrdinaryArgs(CallArgs* a, LongNumber* x, LongNumber* y) {
    int k;
    Make(x, 10, -1, 10, 1234567890, 1234567890);
    Make(y, 10, 1, 0, 987654321, 9876543210.0);
    for (k = 2; k <= 13; ++k) {
        x->limbs[k] = 1000000007.0 * k;
        y->limbs[k] = 999999937.0 * (k + 1);
    }
    a->x = x;
    a->y = y;
    a->int0 = 10;
    a->int1 = 10;
    a->real = 3.0;
}

static int IsFill(const void* p, size_t n, unsigned char fill) {
    const unsigned char* b = (const unsigned char*)p;
    size_t i;
    for (i = 0; i < n; ++i)
        if (b[i] != fill) return 0;
    return 1;
}

/* Every call writes the whole result record, returns its address, leaves the arguments alone
 * (but for the cofactors of LCM_XL) and gives the same result when the result record is x. */
static void CheckRecordHandling(Tally* t, const Exports* e) {
    int ordinal;
    for (ordinal = 2; ordinal <= OSTREL2_EXPORT_COUNT; ++ordinal) {
        ExportAddress fn = Find(e, ordinal);
        enum Ostrel2ExportKind kind;
        LongNumber x, y, x0, y0, r, alias;
        CallArgs a;
        intptr_t returned;
        int k, untouched = 1, whole = 1;
        if (!fn) continue;
        kind = e->kinds[ordinal];
        OrdinaryArgs(&a, &x, &y);
        x0 = x;
        y0 = y;
        memset(&r, 0xCC, sizeof r);
        returned = InvokeExport(fn, kind, &r, &a);
        Check(t, returned == (intptr_t)&r, "%s: returned %p, not the result's address %p", e->names[ordinal],
              (void*)returned, (void*)&r);
        whole = !IsFill(&r, 16, 0xCC);
        for (k = 0; k < OSTREL2_LIMB_SLOTS; ++k) whole = whole && !IsFill(&r.limbs[k], 8, 0xCC);
        Check(t, whole, "%s: the result record is not written whole", e->names[ordinal]);
        if (kind != OSTREL2_KIND_Cofactors) {
            untouched = memcmp(&x, &x0, sizeof x) == 0 && memcmp(&y, &y0, sizeof y) == 0;
            Check(t, untouched, "%s: an argument record was changed", e->names[ordinal]);
            if (KindHasX(kind)) {
                alias = x;
                a.x = &alias;
                InvokeExport(fn, kind, &alias, &a);
                Check(t, memcmp(&alias, &r, sizeof r) == 0, "%s: result differs when it is also x",
                      e->names[ordinal]);
            }
        }
    }
}

/* A refused precision gives zero at precision 303 with error -1, and LCM_XL the number 1. */
static void CheckGuard(Tally* t, const Exports* e) {
    static const int32_t kRefused[] = {304, 0, -1, 2147483647};
    int ordinal;
    size_t i;
    for (ordinal = 2; ordinal <= OSTREL2_EXPORT_COUNT; ++ordinal) {
        ExportAddress fn = Find(e, ordinal);
        enum Ostrel2ExportKind kind;
        if (!fn) continue;
        kind = e->kinds[ordinal];
        for (i = 0; i < sizeof kRefused / sizeof kRefused[0]; ++i) {
            int side;
            for (side = 0; side < 2; ++side) {
                LongNumber x, y, x0, y0, r;
                CallArgs a;
                int k, zeros = 1;
                int32_t wantPrecision = 303;
                if (side == 1 && !KindHasY(kind) && kind != OSTREL2_KIND_IntPrecision) continue;
                OrdinaryArgs(&a, &x, &y);
                x.precision = 20;
                y.precision = 303;
                if (side == 0) x.precision = kRefused[i];
                else y.precision = kRefused[i];
                a.int0 = a.int1 = 10;
                if (kind == OSTREL2_KIND_Precision) a.int0 = kRefused[i];
                if (kind == OSTREL2_KIND_IntPrecision) a.int1 = kRefused[i];
                x0 = x;
                y0 = y;
                memset(&r, 0xCC, sizeof r);
                InvokeExport(fn, kind, &r, &a);
                if (kind == OSTREL2_KIND_Cofactors) {
                    if (side == 1) wantPrecision = 20;
                    for (k = 1; k < OSTREL2_LIMB_SLOTS && k <= wantPrecision + 3; ++k) zeros = zeros && r.limbs[k] == 0.0;
                    Check(t, r.sign == 1 && r.exponent == 0 && r.precision == wantPrecision && r.error == -1 &&
                                 r.limbs[0] == 1.0 && zeros,
                          "LCM_XL guard (%s precision %d): sign %d exponent %d precision %d error %d limb %.0f",
                          side ? "y" : "x", kRefused[i], r.sign, r.exponent, r.precision, r.error, r.limbs[0]);
                } else {
                    for (k = 0; k < OSTREL2_LIMB_SLOTS; ++k) zeros = zeros && r.limbs[k] == 0.0;
                    Check(t, r.sign == 0 && r.exponent == ZERO_EXPONENT && r.precision == 303 && r.error == -1 && zeros,
                          "%s guard (%s precision %d): sign %d exponent %d precision %d error %d", e->names[ordinal],
                          side ? "second" : "first", kRefused[i], r.sign, r.exponent, r.precision, r.error);
                }
                Check(t, memcmp(&x, &x0, sizeof x) == 0 && memcmp(&y, &y0, sizeof y) == 0,
                      "%s guard: an argument record was changed", e->names[ordinal]);
            }
        }
    }
}

#if defined(_WIN32) && !defined(_WIN64)
typedef struct ProbeReport {
    int32_t eax, stackDelta, ebx, edi, ebp, anchor, fpuStatus, fpuControl, mxcsr;
} ProbeReport;
int32_t ProbeCall(void* fn, const uint32_t* words, int32_t count, int32_t misalign, ProbeReport* report);

/* Calls each export from a stack misaligned by 0, 4, 8 and 12 bytes and checks that it removes
 * exactly its arguments, keeps ebx, esi, edi and ebp, leaves the x87 stack empty and the x87 and
 * SSE control words as they were, and gives the same result as the typed call. */
static void CheckStackDiscipline(Tally* t, const Exports* e) {
    int ordinal;
    unsigned short controlBefore;
    uint32_t mxcsrBefore;
    __asm__ volatile("fnstcw %0" : "=m"(controlBefore));
    __asm__ volatile("stmxcsr %0" : "=m"(mxcsrBefore));
    for (ordinal = 1; ordinal <= OSTREL2_EXPORT_COUNT; ++ordinal) {
        ExportAddress fn = Find(e, ordinal);
        enum Ostrel2ExportKind kind;
        LongNumber x, y, r, reference;
        CallArgs a;
        uint32_t words[5];
        int32_t count = 0, misalign;
        void* target;
        if (!fn) continue;
        memcpy(&target, &fn, sizeof target);
        kind = e->kinds[ordinal];
        OrdinaryArgs(&a, &x, &y);
        memset(&reference, 0, sizeof reference);
        {
            intptr_t value = InvokeExport(fn, kind, &reference, &a);
            if (kind == OSTREL2_KIND_Version) memcpy(&reference, &value, sizeof value);
        }
        if (kind != OSTREL2_KIND_Version) words[count++] = (uint32_t)(uintptr_t)&r;
        switch (kind) {
        case OSTREL2_KIND_Version: break;
        case OSTREL2_KIND_OneRecord:
        case OSTREL2_KIND_OneRecordOverX: words[count++] = (uint32_t)(uintptr_t)&x; break;
        case OSTREL2_KIND_TwoRecords:
        case OSTREL2_KIND_TwoRecordsOverX:
        case OSTREL2_KIND_Cofactors:
            words[count++] = (uint32_t)(uintptr_t)&x;
            words[count++] = (uint32_t)(uintptr_t)&y;
            break;
        case OSTREL2_KIND_RecordDouble:
            words[count++] = (uint32_t)(uintptr_t)&x;
            memcpy(&words[count], &a.real, sizeof a.real);
            count += 2;
            break;
        case OSTREL2_KIND_Precision: words[count++] = (uint32_t)a.int0; break;
        case OSTREL2_KIND_IntPrecision:
            words[count++] = (uint32_t)a.int0;
            words[count++] = (uint32_t)a.int1;
            break;
        }
        for (misalign = 0; misalign < 16; misalign += 4) {
            ProbeReport report;
            int sameResult;
            LongNumber x1, y1;
            if (kind == OSTREL2_KIND_Cofactors) { /* give the cofactor call the same inputs each time */
                OrdinaryArgs(&a, &x1, &y1);
                x = x1;
                y = y1;
            }
            memset(&r, 0xCC, sizeof r);
            memset(&report, 0, sizeof report);
            ProbeCall(target, words, count, misalign, &report);
            if (kind == OSTREL2_KIND_Version) sameResult = report.eax == 20091025;
            else sameResult = report.eax == (int32_t)(uintptr_t)&r && memcmp(&r, &reference, sizeof r) == 0;
            Check(t, report.stackDelta == 0, "%s (misaligned %d): stack pointer off by %d bytes", e->names[ordinal],
                  misalign, report.stackDelta);
            Check(t, report.ebx == 0x0BB0BB0B && report.edi == 0x0DD0DD0D && report.ebp == (report.anchor ^ 0x5A5A5A5A),
                  "%s (misaligned %d): a callee-saved register changed", e->names[ordinal], misalign);
            Check(t, (report.fpuStatus & 0x3800) == 0 && report.fpuControl == controlBefore &&
                         (uint32_t)report.mxcsr == mxcsrBefore,
                  "%s (misaligned %d): floating-point state left changed (status %04x control %04x mxcsr %08x)",
                  e->names[ordinal], misalign, report.fpuStatus, report.fpuControl, report.mxcsr);
            Check(t, sameResult, "%s (misaligned %d): result differs from the typed call", e->names[ordinal], misalign);
        }
    }
}
#endif

/* The line the client prints between its own checks and the corpus replay (see
 * scripts/windows-test.sh, which compares what follows it with the Linux library's stream). */
#define CORPUS_STREAM_MARKER "== corpus replay =="

int main(int argc, char** argv) {
    /* every entry in order; the caller compares the printed diagnostics as one stream */
    const ReplayOptions wholeCorpus = {0.0, NULL};
    Tally t = {0, 0};
    Exports e;
    HMODULE dll;
    if (argc != 3) {
        fprintf(stderr, "usage: %s Ostrel2.dll CORPUS-FILE\n", argv[0]);
        return 2;
    }
    dll = LoadLibraryA(argv[1]);
    if (!dll) {
        fprintf(stderr, "FAIL: cannot load %s (error %lu)\n0 passed, 1 failed\n", argv[1], GetLastError());
        return 1;
    }
    fprintf(stderr, "%s-bit client, %d landed exports\n", sizeof(void*) == 4 ? "32" : "64", kLandedExportCount);
    CheckLoading(&t, dll, &e);
    /* first, so that the constants are new to the process */
    CheckConcurrentFirstUse(&t, &e);
    CheckValues(&t, &e);
    CheckRecordHandling(&t, &e);
    CheckGuard(&t, &e);
#if defined(_WIN32) && !defined(_WIN64)
    CheckStackDiscipline(&t, &e);
#endif
    /* The checks above may print diagnostics of their own (a negative ordinary argument meets
     * the square root, say); the stream compared with the corpus starts after this line. */
    fputs(CORPUS_STREAM_MARKER "\n", stdout);
    fflush(stdout);
    ReplayCorpus(&t, e.byOrdinal, argv[2], &wholeCorpus);
    fflush(stdout);
    fprintf(stderr, "%ld passed, %ld failed\n", t.passed, t.failed);
    FreeLibrary(dll);
    return t.failed == 0 ? 0 : 1;
}

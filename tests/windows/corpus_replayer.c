/* corpus_replayer.c -- replays the byte-identity corpus against a Linux build of the library
 * loaded by path. scripts/windows-test.sh runs it on the 32-bit x86 build (natively, or under
 * qemu-i386 where the kernel cannot run 32-bit programs) to check the compiler's 32-bit SSE2
 * code against the results and diagnostics recorded from the 64-bit library.
 *
 * Usage: ostrel2_corpus_replayer LIBRARY.so CORPUS-FILE [SECONDS]
 * SECONDS > 0 replays a sample of each export's calls within that much processor time (see
 * ReplayOptions); without it, every call. The report goes to standard error and ends with
 * "N passed, N failed"; standard output carries only the library's diagnostics. */
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "corpus_replay.h"
#include "diagnostics_capture.h"

int main(int argc, char** argv) {
    ExportAddress byOrdinal[OSTREL2_EXPORT_COUNT + 1] = {0};
    ReplayOptions options = {0.0, TakeDiagnostics};
    Tally t = {0, 0};
    void* library;
    int i;
    if (argc < 3 || argc > 4 || (argc == 4 && (options.budgetSeconds = strtod(argv[3], NULL)) < 0)) {
        fprintf(stderr, "usage: %s LIBRARY.so CORPUS-FILE [SECONDS]\n", argv[0]);
        return 2;
    }
    library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!library || StartDiagnosticsCapture() != 0) {
        fprintf(stderr, "FAIL: cannot load %s or catch its output: %s\n0 passed, 1 failed\n", argv[1],
                library ? "no scratch file" : dlerror());
        return 1;
    }
    fprintf(stderr, "%d-bit replayer, %d landed exports\n", (int)(8 * sizeof(void*)), kLandedExportCount);
    for (i = 0; i < kLandedExportCount; ++i) {
        void* symbol = dlsym(library, kLandedExports[i].name);
        if (symbol) {
            memcpy(&byOrdinal[kLandedExports[i].ordinal], &symbol, sizeof symbol);
            ++t.passed;
        } else {
            fprintf(stderr, "FAIL: export %s is missing from %s\n", kLandedExports[i].name, argv[1]);
            ++t.failed;
        }
    }
    ReplayCorpus(&t, byOrdinal, argv[2], &options);
    fprintf(stderr, "%ld passed, %ld failed\n", t.passed, t.failed);
    return t.failed == 0 ? 0 : 1;
}

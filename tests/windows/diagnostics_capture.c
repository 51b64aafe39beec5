/* diagnostics_capture.c -- the library's standard output caught call by call through a scratch
 * file on file descriptor 1. */
#define _POSIX_C_SOURCE 200809L
#include "diagnostics_capture.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/types.h>
#include <unistd.h>

/* The original standard output, where caught text is passed on. One capture per process. */
static int passOn = -1;

int StartDiagnosticsCapture(void) {
    FILE* scratch;
    fflush(stdout);
    scratch = tmpfile();
    if (!scratch) return -1;
    passOn = dup(STDOUT_FILENO);
    if (passOn < 0 || dup2(fileno(scratch), STDOUT_FILENO) < 0) return -1;
    /* fd 1 now shares the scratch file's offset; the FILE stays open for the life of the process */
    return 0;
}

long TakeDiagnostics(char* buffer, size_t size) {
    char chunk[4096];
    off_t length, done = 0;
    fflush(stdout);
    length = lseek(STDOUT_FILENO, 0, SEEK_CUR);
    if (length < 0) return -1;
    while (done < length) {
        ssize_t n = pread(STDOUT_FILENO, chunk, sizeof chunk, done);
        ssize_t k;
        if (n <= 0) return -1;
        for (k = 0; k < n; ++k)
            if ((size_t)(done + k) < size) buffer[done + k] = chunk[k];
        if (write(passOn, chunk, (size_t)n) != n) return -1;
        done += n;
    }
    if (ftruncate(STDOUT_FILENO, 0) != 0 || lseek(STDOUT_FILENO, 0, SEEK_SET) != 0) return -1;
    return (long)length;
}

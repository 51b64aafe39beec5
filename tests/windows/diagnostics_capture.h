/* diagnostics_capture.h -- catches what the library prints to standard output during each call
 * (POSIX programs only: the corpus recorder and the Linux replayer). */
#ifndef OSTREL2_DIAGNOSTICS_CAPTURE_H
#define OSTREL2_DIAGNOSTICS_CAPTURE_H

#include <stddef.h>

/* Turns file descriptor 1 into a scratch file that TakeDiagnostics empties after each call; what
 * it takes is passed on to the original standard output, so that the stream as a whole stays
 * what the library printed. Returns 0 on success, -1 (with errno) otherwise. */
int StartDiagnosticsCapture(void);

/* Flushes stdout and copies what the library printed since the last call into buffer (at most
 * size bytes; a longer text is cut). Returns the full length of the text, -1 on an error. */
long TakeDiagnostics(char* buffer, size_t size);

#endif /* OSTREL2_DIAGNOSTICS_CAPTURE_H */

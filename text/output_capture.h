// output_capture.h -- the library's standard output caught in a private file around calls.
//
// The library prints its diagnostics with C stdio on `stdout`. Between BeginCapture and
// EndCapture that output lands in the given file instead. With the GNU C library, where `stdout`
// is a variable a program may assign, the stream is swapped for the file: only C stdio output to
// `stdout` is caught, and writes straight to descriptor 1 (another thread's, an interpreter's own
// output) go out as usual. Elsewhere descriptor 1 is pointed at the file, which catches every
// write to it. EndCapture puts things back and leaves the file positioned at its start for
// reading. One capture at a time per process: callers serialise.
#pragma once

#include <cstdio>

namespace ostrel2::text {

struct OutputCapture {
    std::FILE* file = nullptr;         // where the output goes; the caller's
    std::FILE* savedStream = nullptr;  // `stdout` before the capture (stream swap)
    int savedDescriptor = -1;          // a duplicate of descriptor 1, -1 if it was closed
    bool active = false;
};

// A new temporary file for the caught output, on a descriptor above the three standard ones (a
// closed descriptor 1 stays closed); null when none can be made.
std::FILE* OpenCaptureFile();

// Flushes standard output, empties `file` and sends standard output there. Returns false, with
// nothing changed, when that cannot be done (output then goes where it went).
bool BeginCapture(OutputCapture& capture, std::FILE* file);

// Flushes the caught output, puts standard output back and rewinds the file.
void EndCapture(OutputCapture& capture);

}  // namespace ostrel2::text

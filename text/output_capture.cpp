// output_capture.cpp -- the library's standard output caught in a private file around calls.
#include "text/output_capture.h"

#if defined(__GLIBC__)
#define OSTREL2_SWAP_STDOUT 1
#endif

#if defined(_WIN32)
#include <io.h>
#define dup _dup
#define dup2 _dup2
#define close _close
#define fileno _fileno
#define ftruncate _chsize
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace ostrel2::text {

namespace {
constexpr int kStandardOutput = 1;
constexpr int kFirstFreeDescriptor = 3;
}  // namespace

std::FILE* OpenCaptureFile() {
    std::FILE* file = std::tmpfile();
#if !defined(_WIN32)
    if (file != nullptr && fileno(file) < kFirstFreeDescriptor) {
        const int moved = fcntl(fileno(file), F_DUPFD_CLOEXEC, kFirstFreeDescriptor);
        std::FILE* reopened = moved >= 0 ? fdopen(moved, "w+b") : nullptr;
        if (reopened == nullptr && moved >= 0) close(moved);
        std::fclose(file);  // frees the standard descriptor it took
        file = reopened;
    }
#endif
    return file;
}

bool BeginCapture(OutputCapture& capture, std::FILE* file) {
    capture = OutputCapture{};
    if (file == nullptr) return false;
    std::fflush(stdout);
    std::rewind(file);
    if (ftruncate(fileno(file), 0) != 0) return false;
#if defined(OSTREL2_SWAP_STDOUT)
    capture.savedStream = stdout;
    stdout = file;
#else
    if (fileno(file) == kStandardOutput) return false;  // opened while descriptor 1 was closed
    const int saved = dup(kStandardOutput);              // -1: descriptor 1 is closed
    if (dup2(fileno(file), kStandardOutput) < 0) {
        if (saved >= 0) close(saved);
        return false;
    }
    capture.savedDescriptor = saved;
#endif
    capture.file = file;
    capture.active = true;
    return true;
}

void EndCapture(OutputCapture& capture) {
    if (!capture.active) return;
    std::fflush(stdout);
#if defined(OSTREL2_SWAP_STDOUT)
    stdout = capture.savedStream;
#else
    if (capture.savedDescriptor >= 0) {
        dup2(capture.savedDescriptor, kStandardOutput);
        close(capture.savedDescriptor);
    } else {
        close(kStandardOutput);
    }
#endif
    capture.active = false;
    std::fflush(capture.file);
    std::rewind(capture.file);
}

}  // namespace ostrel2::text

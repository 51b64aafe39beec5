// ostrel2.cpp -- command-line calculator: decimal text in, one export of the library, decimal text out.
//
//   ostrel2 <function> <arguments...> [--precision N] [--all]
//
// Each argument is read into a record of precision N limbs (default 5), the export is called
// through the public C interface, and the result is written rounded half-even to N limbs, or
// with every live limb exactly under --all. A result whose error field is not 0 is followed by
// the line "error: <value>" and exit status 1. Usage errors give exit status 2.
//
// The library prints its diagnostics on standard output in code page 932. The program catches
// that output around each call (standard output is pointed at a temporary file for the call) and
// writes it back converted to UTF-8, so the messages read correctly on a UTF-8 terminal.
#include <errno.h>
#include <iconv.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "api/export_kinds.h"
#include "ostrel2.h"
#include "text/decimal_text.h"

namespace {

using ostrel2::text::FormatMode;

constexpr int32_t kDefaultPrecision = 5;
constexpr int kExitOk = 0;
constexpr int kExitResultError = 1;
constexpr int kExitUsage = 2;
constexpr int kMostOperands = 2;

// The program's functions are the built exports of api/export_table.h: a command name, a summary
// and an argument kind each. What a function reads from the command line follows from its kind.
using ostrel2::api::Arguments;
using ostrel2::api::Export;
using ostrel2::api::kExports;
using ostrel2::api::Kind;
using ostrel2::api::RecordCount;
using ostrel2::api::TakesDouble;

// The operands on the command line, for the usage text. Pai_XL and Factorial_XL take their
// precision from --precision.
const char* Operands(Kind kind) {
    if (kind == Kind::RecordDouble) return "x n";
    if (kind == Kind::IntPrecision) return "n";
    if (RecordCount(kind) == 1) return "x";
    if (RecordCount(kind) == 2) return "x y";
    return "";
}

int OperandCount(Kind kind) {
    return RecordCount(kind) + (TakesDouble(kind) ? 1 : 0) + (kind == Kind::IntPrecision ? 1 : 0);
}

void PrintUsage(FILE* out) {
    std::fprintf(out,
                 "usage: ostrel2 <function> <arguments...> [--precision N] [--all]\n"
                 "\n"
                 "Arguments are decimal numbers such as 2, -1.25e-300 or +.5, read at N limbs of\n"
                 "ten digits (1 .. 303, default %d). The result is written rounded half-even to N\n"
                 "limbs; --all writes every live limb (N + 3 guard limbs) exactly. A result whose\n"
                 "error field is not 0 is followed by \"error: <value>\" and exit status 1.\n"
                 "\n"
                 "functions:\n",
                 kDefaultPrecision);
    for (const Export& f : kExports) {
        char head[32];
        std::snprintf(head, sizeof head, "%s %s", f.command, Operands(f.kind));
        std::fprintf(out, "  %-12s %s\n", head, f.summary);
    }
}

// "ostrel2: <problem>: <detail>" and the usage text on standard error; exit status 2.
int UsageError(const char* problem, const char* detail) {
    std::fprintf(stderr, "ostrel2: %s: %s\n\n", problem, detail);
    PrintUsage(stderr);
    return kExitUsage;
}

// Converts code page 932 bytes from `in` to UTF-8 on standard output. A byte sequence that is not
// code page 932 comes out as '?'; without a converter the bytes pass unchanged.
void WriteAsUtf8(FILE* in) {
    iconv_t converter = iconv_open("UTF-8", "CP932");
    char input[4096];
    char output[4096 * 3];
    size_t pending = 0;
    for (;;) {
        const size_t got = std::fread(input + pending, 1, sizeof input - pending, in);
        const bool atEnd = got == 0;
        pending += got;
        if (pending == 0) break;
        if (converter == reinterpret_cast<iconv_t>(-1)) {
            std::fwrite(input, 1, pending, stdout);
            pending = 0;
            if (atEnd) break;
            continue;
        }
        char* from = input;
        size_t left = pending;
        while (left > 0) {
            char* to = output;
            size_t room = sizeof output;
            const size_t status = iconv(converter, &from, &left, &to, &room);
            std::fwrite(output, 1, sizeof output - room, stdout);
            if (status != static_cast<size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            if (errno == EINVAL && !atEnd) break;  // a character split across reads
            std::fputc('?', stdout);                // not code page 932, or cut off at the end
            ++from;
            --left;
        }
        std::memmove(input, from, left);
        pending = left;
        if (atEnd && pending == 0) break;
    }
    if (converter != reinterpret_cast<iconv_t>(-1)) iconv_close(converter);
}

// Standard output pointed at a temporary file for the length of one library call.
struct Capture {
    FILE* file = nullptr;
    int saved = -1;
};

void BeginCapture(Capture& capture) {
    std::fflush(stdout);
    capture.file = std::tmpfile();
    if (capture.file == nullptr) return;  // no capture: diagnostics go out as they are
    capture.saved = dup(STDOUT_FILENO);
    if (capture.saved < 0 || dup2(fileno(capture.file), STDOUT_FILENO) < 0) {
        if (capture.saved >= 0) close(capture.saved);
        std::fclose(capture.file);
        capture.file = nullptr;
        capture.saved = -1;
    }
}

void EndCapture(Capture& capture) {
    std::fflush(stdout);
    if (capture.file == nullptr) return;
    dup2(capture.saved, STDOUT_FILENO);
    close(capture.saved);
    std::rewind(capture.file);
    WriteAsUtf8(capture.file);
    std::fclose(capture.file);
    std::fflush(stdout);
}

// Writes a record as decimal text on its own line; a record that has no decimal text (limbs out
// of range) is shown field by field instead.
void PrintRecord(const LongNumber& x, FormatMode mode) {
    char text[ostrel2::text::kTextCapacity];
    if (ostrel2::text::Format(x, mode, text, sizeof text) == ostrel2::text::FormatStatus::Ok) {
        std::printf("%s\n", text);
        return;
    }
    std::printf("record: sign %ld exponent %ld precision %ld error %ld limbs",
                static_cast<long>(x.sign), static_cast<long>(x.exponent),
                static_cast<long>(x.precision), static_cast<long>(x.error));
    int last = x.precision + 3;
    if (last < 0) last = 0;
    if (last > OSTREL2_LIMB_SLOTS - 1) last = OSTREL2_LIMB_SLOTS - 1;
    for (int k = 0; k <= last; ++k) std::printf(" %.17g", x.limbs[k]);
    std::printf("\n");
}

bool ReadPrecision(const char* text, int32_t& precision) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < 1 || value > OSTREL2_MAX_PRECISION) {
        return false;
    }
    precision = static_cast<int32_t>(value);
    return true;
}

bool ReadInteger(const char* text, int32_t& value) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < INT32_MIN || v > INT32_MAX) return false;
    value = static_cast<int32_t>(v);
    return true;
}

bool ReadDouble(const char* text, double& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return errno == 0 && end != text && *end == '\0' && std::isfinite(value);
}

// Reads a decimal operand; a malformed one is a usage error. Digits beyond the record's live
// limbs are cut off, and a note says so.
bool ReadOperand(const char* text, int32_t precision, LongNumber& record) {
    bool inexact = false;
    size_t offset = 0;
    const auto status = ostrel2::text::Parse(text, precision, record, &inexact, &offset);
    if (status != ostrel2::text::ParseStatus::Ok) {
        std::fprintf(stderr, "ostrel2: '%s': %s (at offset %zu)\n", text,
                     ostrel2::text::ParseStatusText(status), offset);
        return false;
    }
    if (inexact) {
        std::fprintf(stderr,
                     "ostrel2: note: '%s' has more digits than %ld limbs hold; the rest are "
                     "cut off\n",
                     text, static_cast<long>(precision));
    }
    return true;
}

int Finish(const LongNumber& result, FormatMode mode) {
    PrintRecord(result, mode);
    if (result.error != 0) {
        std::printf("error: %ld\n", static_cast<long>(result.error));
        return kExitResultError;
    }
    return kExitOk;
}

// Calls the export with the operands, capturing the library's diagnostics, and prints the result.
int Run(const Export& f, const char* const* operands, int32_t precision, FormatMode mode) {
    static_assert(sizeof(LongNumber) == 2464, "the boundary record is 2,464 bytes");
    Arguments a;
    if (f.kind == Kind::Version) {
        f.invoke(a);
        std::printf("%ld\n", static_cast<long>(a.version));
        return kExitOk;
    }
    LongNumber x;
    LongNumber y;
    LongNumber result;
    std::memset(&result, 0, sizeof result);
    Capture capture;
    const int records = RecordCount(f.kind);
    if (records >= 1 && !ReadOperand(operands[0], precision, x)) return kExitUsage;
    if (records >= 2 && !ReadOperand(operands[1], precision, y)) return kExitUsage;
    double n = 0;
    if (TakesDouble(f.kind) && !ReadDouble(operands[1], n)) {
        return UsageError("not a number", operands[1]);
    }
    int32_t whole = 0;
    if (f.kind == Kind::IntPrecision && !ReadInteger(operands[0], whole)) {
        return UsageError("not a 32-bit whole number", operands[0]);
    }
    a.result = &result;
    a.x = &x;
    a.y = &y;
    a.n = n;
    a.first = f.kind == Kind::IntPrecision ? whole : precision;  // f(n, precision) or f(precision)
    a.second = precision;

    BeginCapture(capture);
    f.invoke(a);
    EndCapture(capture);

    if (f.kind == Kind::Cofactors && result.error == 0) {
        // g, then the cofactors the export wrote back into x and y.
        PrintRecord(result, mode);
        PrintRecord(x, mode);
        PrintRecord(y, mode);
        return kExitOk;
    }
    return Finish(result, mode);
}

}  // namespace

int main(int argc, char** argv) {
    int32_t precision = kDefaultPrecision;
    FormatMode mode = FormatMode::Rounded;
    const char* positional[1 + kMostOperands + 1] = {};
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            PrintUsage(stdout);
            return kExitOk;
        }
        if (std::strcmp(arg, "--all") == 0) {
            mode = FormatMode::AllLimbs;
        } else if (std::strcmp(arg, "--precision") == 0 || std::strcmp(arg, "-p") == 0) {
            if (i + 1 >= argc) return UsageError("option needs a value", arg);
            if (!ReadPrecision(argv[++i], precision)) {
                return UsageError("precision must be a whole number from 1 to 303", argv[i]);
            }
        } else if (std::strncmp(arg, "--precision=", 12) == 0) {
            if (!ReadPrecision(arg + 12, precision)) {
                return UsageError("precision must be a whole number from 1 to 303", arg + 12);
            }
        } else if (arg[0] == '-' && arg[1] == '-') {
            return UsageError("unknown option", arg);
        } else {
            // Anything else, "-1.5" included, is the function name or an operand.
            if (count == 1 + kMostOperands) return UsageError("too many arguments", arg);
            positional[count++] = arg;
        }
    }
    if (count == 0) return UsageError("no function given", "see the list below");
    const Export* function = nullptr;
    for (const Export& f : kExports) {
        if (std::strcmp(f.command, positional[0]) == 0) function = &f;
    }
    if (function == nullptr) return UsageError("unknown function", positional[0]);
    if (count - 1 != OperandCount(function->kind)) {
        std::fprintf(stderr, "ostrel2: %s takes %d argument(s): %s %s\n", function->command,
                     OperandCount(function->kind), function->command, Operands(function->kind));
        return kExitUsage;
    }
    return Run(*function, positional + 1, precision, mode);
}

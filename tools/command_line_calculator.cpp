// command_line_calculator.cpp -- the ostrel2 program: decimal text in, one export of the
// library, decimal text out.
//
//   ostrel2 [options] <function> <arguments...>
//
// Each argument is read into a record of precision N limbs (--precision N, or --digits D for
// N = ceil(D / 10); default 5), the export is called through the public C interface, and the
// result is written with the 10 x N significant digits it promises, rounded half-even, or with
// every live limb exactly under --all. Standard output carries results only. A result whose
// error field is not 0 gives the line "error: <value>" on standard error and exit status 1;
// usage errors give exit status 2, a failure to write the results exit status 3.
//
// The library prints its diagnostics on standard output in code page 932. The program catches
// that output around each call (standard output is pointed at a temporary file for the call) and
// writes it to standard error converted to UTF-8, so the messages read correctly on a UTF-8
// terminal and never mix with the results.
#include <errno.h>
#include <iconv.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "api/export_kinds.h"
#include "ostrel2.h"
#include "text/decimal_text.h"
#include "text/output_capture.h"

namespace {

using ostrel2::text::FormatMode;

constexpr int32_t kDefaultPrecision = 5;
constexpr int kExitOk = 0;
constexpr int kExitResultError = 1;
constexpr int kExitUsage = 2;
constexpr int kExitWriteError = 3;
constexpr int kDigitsPerLimb = 10;
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
                 "usage: ostrel2 [options] <function> <arguments...>\n"
                 "\n"
                 "Arguments are decimal numbers such as 2, -1.25e-300 or +.5, read at N limbs of\n"
                 "ten digits. The result is written with the 10 x N significant digits it\n"
                 "promises, rounded half-even. The library's messages and \"error: <value>\" for\n"
                 "a failed result (exit status 1) go to standard error.\n"
                 "\n"
                 "options:\n"
                 "  -p, --precision N  limbs of ten digits, 1 .. 303 (default %d)\n"
                 "  --digits D         at least D significant digits (precision ceil(D / 10))\n"
                 "  --all              write every live limb (N + 3 guard limbs) exactly\n"
                 "  --version          the program's version and the library's interface version\n"
                 "  -h, --help         this text\n"
                 "  --                 ends the options: every later argument is an operand\n"
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

// Converts code page 932 bytes from `in` to UTF-8 on `out`. A byte sequence that is not code
// page 932 comes out as '?'; without a converter the bytes pass unchanged.
void WriteAsUtf8(FILE* in, FILE* out) {
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
            std::fwrite(input, 1, pending, out);
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
            std::fwrite(output, 1, sizeof output - room, out);
            if (status != static_cast<size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            if (errno == EINVAL && !atEnd) break;  // a character split across reads
            std::fputc('?', out);                   // not code page 932, or cut off at the end
            ++from;
            --left;
        }
        std::memmove(input, from, left);
        pending = left;
        if (atEnd && pending == 0) break;
    }
    if (converter != reinterpret_cast<iconv_t>(-1)) iconv_close(converter);
}

// The library's output during one call: caught in a temporary file, then written to standard
// error converted to UTF-8.
struct Capture {
    ostrel2::text::OutputCapture output;
    FILE* file = nullptr;
};

void BeginCapture(Capture& capture) {
    capture.file = ostrel2::text::OpenCaptureFile();
    if (!ostrel2::text::BeginCapture(capture.output, capture.file) && capture.file != nullptr) {
        std::fclose(capture.file);  // no capture: diagnostics go out as they are
        capture.file = nullptr;
    }
}

void EndCapture(Capture& capture) {
    if (capture.file == nullptr) return;
    ostrel2::text::EndCapture(capture.output);
    WriteAsUtf8(capture.file, stderr);
    std::fclose(capture.file);
    std::fflush(stderr);
}

// Writes a record as decimal text on its own line; a record that has no decimal text (limbs out
// of range) is shown field by field instead.
// Prints a record as text. Rounded text shows the digits of the precision asked for: a result may
// carry more limbs than that (products and quotients keep at least 5), but only the limbs of the
// arguments' precision are promised, so the digits beyond them are rounded away. --all shows
// every live limb of the record as it is.
void PrintRecord(const LongNumber& x, FormatMode mode, int32_t asked) {
    char text[ostrel2::text::kTextCapacity];
    LongNumber shown = x;
    if (mode == FormatMode::Rounded && shown.precision > asked) shown.precision = asked;
    if (ostrel2::text::Format(shown, mode, text, sizeof text) == ostrel2::text::FormatStatus::Ok) {
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

int Finish(const LongNumber& result, FormatMode mode, int32_t asked) {
    PrintRecord(result, mode, asked);
    if (result.error != 0) {
        std::fprintf(stderr, "error: %ld\n", static_cast<long>(result.error));
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
        PrintRecord(result, mode, precision);
        PrintRecord(x, mode, precision);
        PrintRecord(y, mode, precision);
        return kExitOk;
    }
    return Finish(result, mode, precision);
}

// What the command line asks for.
struct Request {
    int32_t precision = kDefaultPrecision;
    FormatMode mode = FormatMode::Rounded;
    const char* positional[1 + kMostOperands + 1] = {};
    int count = 0;
};

enum class Parsed { Run, Help, Version, Failed };

// --digits D: the fewest limbs holding D significant digits.
bool ReadDigits(const char* text, int32_t& precision) {
    int32_t digits = 0;
    if (!ReadInteger(text, digits) || digits < 1 || digits > OSTREL2_MAX_PRECISION * kDigitsPerLimb) {
        return false;
    }
    precision = (digits + kDigitsPerLimb - 1) / kDigitsPerLimb;
    return true;
}

// The options that set the precision: "--name N" or "--name=N" (and a short form).
struct PrecisionOption {
    const char* name;
    const char* shortName;
    bool (*read)(const char* text, int32_t& precision);
    const char* problem;
};

const PrecisionOption kPrecisionOptions[] = {
    {"--precision", "-p", ReadPrecision, "precision must be a whole number from 1 to 303"},
    {"--digits", nullptr, ReadDigits, "digits must be a whole number from 1 to 3030"},
};

enum class Matched { No, Yes, Failed };

// Reads argv[i] as one of the precision options, advancing i past a separate value.
Matched ReadPrecisionOption(int argc, char** argv, int& i, int32_t& precision, int& status) {
    const char* arg = argv[i];
    for (const PrecisionOption& option : kPrecisionOptions) {
        const size_t length = std::strlen(option.name);
        const char* value = nullptr;
        if (std::strcmp(arg, option.name) == 0 ||
            (option.shortName != nullptr && std::strcmp(arg, option.shortName) == 0)) {
            if (i + 1 >= argc) {
                status = UsageError("option needs a value", arg);
                return Matched::Failed;
            }
            value = argv[++i];
        } else if (std::strncmp(arg, option.name, length) == 0 && arg[length] == '=') {
            value = arg + length + 1;
        } else {
            continue;
        }
        if (!option.read(value, precision)) {
            status = UsageError(option.problem, value);
            return Matched::Failed;
        }
        return Matched::Yes;
    }
    return Matched::No;
}

Parsed ParseCommandLine(int argc, char** argv, Request& request, int& status) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (optionsEnded) {
            // after "--" every argument is the function name or an operand
        } else if (std::strcmp(arg, "--") == 0) {
            optionsEnded = true;
            continue;
        } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            return Parsed::Help;
        } else if (std::strcmp(arg, "--version") == 0) {
            return Parsed::Version;
        } else if (std::strcmp(arg, "--all") == 0) {
            request.mode = FormatMode::AllLimbs;
            continue;
        } else {
            const Matched matched = ReadPrecisionOption(argc, argv, i, request.precision, status);
            if (matched == Matched::Failed) return Parsed::Failed;
            if (matched == Matched::Yes) continue;
            if (arg[0] == '-' && arg[1] == '-') {
                status = UsageError("unknown option", arg);
                return Parsed::Failed;
            }
        }
        // Anything else, "-1.5" included, is the function name or an operand.
        if (request.count == 1 + kMostOperands) {
            status = UsageError("too many arguments", arg);
            return Parsed::Failed;
        }
        request.positional[request.count++] = arg;
    }
    return Parsed::Run;
}

int Dispatch(int argc, char** argv) {
    Request request;
    int status = kExitOk;
    switch (ParseCommandLine(argc, argv, request, status)) {
        case Parsed::Failed: return status;
        case Parsed::Help: PrintUsage(stdout); return kExitOk;
        case Parsed::Version:
            std::printf("ostrel2 %s (library interface version %ld)\n", OSTREL2_PACKAGE_VERSION,
                        static_cast<long>(Version_XL()));
            return kExitOk;
        case Parsed::Run: break;
    }
    if (request.count == 0) return UsageError("no function given", "see the list below");
    const char* name = request.positional[0];
    const Export* function = nullptr;
    for (const Export& f : kExports) {
        if (std::strcmp(f.command, name) == 0) function = &f;
    }
    if (function == nullptr) return UsageError("unknown function", name);
    if (request.count - 1 != OperandCount(function->kind)) {
        std::fprintf(stderr, "ostrel2: %s takes %d argument(s): %s %s\n", function->command,
                     OperandCount(function->kind), function->command, Operands(function->kind));
        return kExitUsage;
    }
    return Run(*function, request.positional + 1, request.precision, request.mode);
}

}  // namespace

// Results that could not be written (a full disk, a closed pipe) fail the run whatever it
// computed.
int main(int argc, char** argv) {
    const int status = Dispatch(argc, argv);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "ostrel2: cannot write the results: %s\n", std::strerror(errno));
        return kExitWriteError;
    }
    return status;
}

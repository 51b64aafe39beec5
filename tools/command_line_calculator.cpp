// command_line_calculator.cpp -- the ostrel2 program: decimal text in, the library's exports,
// decimal text out.
//
//   ostrel2 [options] <function> <arguments...>
//   ostrel2 [options] -e <expression>
//
// Each argument is read into a record of precision N limbs (--precision N, or --digits D for
// N = ceil(D / 10); default 5), the export is computed through the text library's caught calls,
// and the result is written with the 10 x N significant digits it promises, rounded half-even,
// or with every live limb exactly under --all. The expression mode (tools/expression.h) makes
// one call per operation. Standard output carries results only. The library's messages go to
// standard error, in English, or under --japanese in the library's own Japanese text converted
// to UTF-8; none of its bytes reaches standard output. A result whose error field is not 0 gives
// the line "error: <value>" on standard error and exit status 1; usage mistakes give one line
// naming the mistake and exit status 2, a failure to write the results exit status 3.
#include <errno.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "api/export_kinds.h"
#include "ostrel2.h"
#include "ostrel2_text.h"
#include "tools/calculator_output.h"
#include "tools/expression.h"

namespace {

using namespace ostrel2::calculator;
using ostrel2::api::Export;
using ostrel2::api::kExports;
using ostrel2::api::Kind;
using ostrel2::api::RecordCount;
using ostrel2::api::TakesDouble;
using ostrel2::text::FormatMode;

constexpr int32_t kDefaultPrecision = 5;
constexpr int kDigitsPerLimb = 10;
constexpr int kMostOperands = 2;

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
                 "       ostrel2 [options] -e <expression>\n"
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
                 "  -e, --expression E compute the expression E, e.g. 'sqrt(2) * pi / 3': the\n"
                 "                     functions below, + - * / %% ^ and parentheses, every\n"
                 "                     operation one call at precision N, left to right\n"
                 "  --japanese         the library's messages in its own Japanese text\n"
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

// --precision N: 1 .. 303 limbs.
bool ReadPrecision(const char* text, int32_t& precision) {
    int32_t value = 0;
    if (!ReadInteger(text, value) || value < 1 || value > OSTREL2_MAX_PRECISION) return false;
    precision = value;
    return true;
}

// --digits D: the fewest limbs holding D significant digits.
bool ReadDigits(const char* text, int32_t& precision) {
    int32_t digits = 0;
    if (!ReadInteger(text, digits) || digits < 1 || digits > OSTREL2_MAX_PRECISION * kDigitsPerLimb) {
        return false;
    }
    precision = (digits + kDigitsPerLimb - 1) / kDigitsPerLimb;
    return true;
}

// Reads a decimal operand; a malformed one is a usage error. Digits beyond the record's live
// limbs are cut off, and a note says so.
bool ReadOperand(const char* text, int32_t precision, LongNumber& record, int& status) {
    bool inexact = false;
    size_t offset = 0;
    const auto parsed = ostrel2::text::Parse(text, precision, record, &inexact, &offset);
    if (parsed != ostrel2::text::ParseStatus::Ok) {
        char detail[96];
        std::snprintf(detail, sizeof detail, "%s at offset %zu",
                      ostrel2::text::ParseStatusText(parsed), offset);
        status = UsageError(text, detail);
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

// Computes the export on the operands and prints the result (and the cofactors of gcd).
int Run(const Export& f, const char* const* operands, int32_t precision, const OutputStyle& style) {
    if (f.kind == Kind::Version) {
        std::printf("%ld\n", static_cast<long>(Version_XL()));
        return kExitOk;
    }
    LongNumber x;
    LongNumber y;
    LongNumber result;
    std::memset(&result, 0, sizeof result);
    Ostrel2Call call = {};
    call.function = f.name;
    call.result = &result;
    call.x = &x;
    call.y = &y;
    call.precision = precision;
    int status = kExitOk;
    const int records = RecordCount(f.kind);
    if (records >= 1 && !ReadOperand(operands[0], precision, x, status)) return status;
    if (records >= 2 && !ReadOperand(operands[1], precision, y, status)) return status;
    if (TakesDouble(f.kind) && !ReadDouble(operands[1], call.n)) {
        return UsageError("not a number", operands[1]);
    }
    if (f.kind == Kind::IntPrecision && !ReadInteger(operands[0], call.whole)) {
        return UsageError("not a 32-bit whole number", operands[0]);
    }

    Ostrel2Messages messages;
    ostrel2_text_call(&call, &messages);
    WriteMessages(messages, style);

    PrintRecord(result, style, precision);
    if (result.error != 0) {
        PrintErrorValue(result);
        return kExitResultError;
    }
    if (f.kind == Kind::Cofactors) {  // the cofactors the export wrote back into x and y
        PrintRecord(x, style, precision);
        PrintRecord(y, style, precision);
    }
    return kExitOk;
}

// What the command line asks for.
struct Request {
    int32_t precision = kDefaultPrecision;
    OutputStyle style;
    const char* expression = nullptr;
    const char* positional[1 + kMostOperands + 1] = {};
    int count = 0;
};

enum class Parsed { Run, Help, Version, Failed };

// The options that take a value: "--name V", "--name=V", and a short form "-x V" or "-xV".
struct ValueOption {
    const char* name;
    const char* shortName;
    bool (*read)(const char* text, Request& request);
    const char* problem;
};

const ValueOption kValueOptions[] = {
    {"--precision", "-p",
     [](const char* text, Request& r) { return ReadPrecision(text, r.precision); },
     "precision must be a whole number from 1 to 303"},
    {"--digits", nullptr, [](const char* text, Request& r) { return ReadDigits(text, r.precision); },
     "digits must be a whole number from 1 to 3030"},
    {"--expression", "-e",
     [](const char* text, Request& r) {
         r.expression = text;
         return true;
     },
     "no expression"},
};

enum class Matched { No, Yes, Failed };

// Reads argv[i] as one of the options with a value, advancing i past a separate value.
Matched ReadValueOption(int argc, char** argv, int& i, Request& request, int& status) {
    const char* arg = argv[i];
    for (const ValueOption& option : kValueOptions) {
        const size_t length = std::strlen(option.name);
        const size_t shortLength = option.shortName != nullptr ? std::strlen(option.shortName) : 0;
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
        } else if (option.shortName != nullptr &&
                   std::strncmp(arg, option.shortName, shortLength) == 0) {
            value = arg + shortLength;  // "-p3" is "-p 3"
        } else {
            continue;
        }
        if (!option.read(value, request)) {
            status = UsageError(option.problem, value);
            return Matched::Failed;
        }
        return Matched::Yes;
    }
    return Matched::No;
}

// An operand may begin with a minus sign ("-1.5", "-.5"); any other argument that begins with
// one is an option.
bool LooksLikeOption(const char* arg) {
    return arg[0] == '-' && arg[1] != '\0' && arg[1] != '.' && !(arg[1] >= '0' && arg[1] <= '9');
}

Parsed ParseCommandLine(int argc, char** argv, Request& request, int& status) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!optionsEnded && LooksLikeOption(arg)) {
            if (std::strcmp(arg, "--") == 0) {
                optionsEnded = true;
            } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
                return Parsed::Help;
            } else if (std::strcmp(arg, "--version") == 0) {
                return Parsed::Version;
            } else if (std::strcmp(arg, "--all") == 0) {
                request.style.mode = FormatMode::AllLimbs;
            } else if (std::strcmp(arg, "--japanese") == 0) {
                request.style.japanese = true;
            } else {
                const Matched matched = ReadValueOption(argc, argv, i, request, status);
                if (matched == Matched::Failed) return Parsed::Failed;
                if (matched == Matched::No) {
                    status = UsageError("unknown option", arg);
                    return Parsed::Failed;
                }
            }
            continue;
        }
        // The function name or an operand.
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
    if (request.expression != nullptr) {
        if (request.count > 0) {
            return UsageError("an expression takes no function or operands beside it",
                              request.positional[0]);
        }
        return EvaluateExpression(request.expression, request.precision, request.style);
    }
    if (request.count == 0) return UsageError("no function given", "ostrel2 <function> <arguments...>");
    const char* name = request.positional[0];
    const Export* function = nullptr;
    for (const Export& f : kExports) {
        if (std::strcmp(f.command, name) == 0) function = &f;
    }
    if (function == nullptr) return UsageError("unknown function", name);
    if (request.count - 1 != OperandCount(function->kind)) {
        char detail[64];
        std::snprintf(detail, sizeof detail, "%s %s", function->command, Operands(function->kind));
        char problem[64];
        std::snprintf(problem, sizeof problem, "%s takes %d argument(s)", function->command,
                      OperandCount(function->kind));
        return UsageError(problem, detail);
    }
    return Run(*function, request.positional + 1, request.precision, request.style);
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

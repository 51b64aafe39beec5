// calculator_output.h -- what the ostrel2 program writes: results on standard output, the
// library's messages and the program's own on standard error.
#pragma once

#include <cstdint>
#include <cstdio>

#include "ostrel2_text.h"
#include "text/decimal_text.h"

namespace ostrel2::calculator {

constexpr int kExitOk = 0;
constexpr int kExitResultError = 1;
constexpr int kExitUsage = 2;
constexpr int kExitWriteError = 3;

// How results and messages are written.
struct OutputStyle {
    text::FormatMode mode = text::FormatMode::Rounded;  // --all: AllLimbs
    bool japanese = false;                              // --japanese: the library's own text
};

// "ostrel2: <problem>: <detail> (see ostrel2 --help)" on standard error; exit status 2.
int UsageError(const char* problem, const char* detail);

// Writes the messages of a call on standard error, a line each: in English, or in the style's
// Japanese (the library's code page 932 text converted to UTF-8). A message that has no Japanese
// text (a failure the library reports through the error field alone) is written in English.
void WriteMessages(const Ostrel2Messages& messages, const OutputStyle& style);

// Writes a record on its own line of standard output: the digits of `asked` limbs rounded
// half-even, or every live limb under --all. A record without decimal text is shown field by
// field.
void PrintRecord(const LongNumber& x, const OutputStyle& style, int32_t asked);

// "error: <value>" on standard error.
void PrintErrorValue(const LongNumber& x);

}  // namespace ostrel2::calculator

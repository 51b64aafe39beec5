// diagnostics.h -- every message the library prints, as its exact code page 932 bytes.
//
// Failures are reported in the result's error field and, for the user reading the console of
// the host, by a short Japanese line on standard output. The text is Shift-JIS (code page 932)
// whatever the platform, so the bytes are spelled out here rather than left to the compiler's
// source character set. Each message is a printf format; the %f ones take the offending limb.
#pragma once

#include <cstdint>

namespace ostrel2 {

enum class Message {
    NegativeLimb,          // "多倍長数の要素に負の数がある。%f\n"
    LeadingLimbOverflow,   // "多倍長数先頭の要素桁数オーバー %f\n"
    ExponentLimit,         // "数値の指数が2,000,000,000を越えています。続行できません。\n"
    Overflow,              // "計算結果がオーバーフローしました。\n"
    DivisionByZero,        // "多倍長数のゼロでの除算エラー\n"
    DivisionFailed,        // "多倍長数の除算で計算が不能→プログラムエラー\n"
};

// The printf format of a message, in code page 932 bytes.
const char* MessageText(Message message);

// Prints a message without a value.
void Report(Message message);

// Prints a message whose format holds one %f, with the given value.
void Report(Message message, double value);

// Dump of a failed long division: the header line "%ld  %ld  %ld  %ld  \n" and the per-position
// lines "%ld  %f  %f  %f  %f  \n".
void ReportDivisionHeader(int32_t position, int32_t exponentA, int32_t exponentB, int32_t shift);
void ReportDivisionRow(int32_t position, double dividendLimb, double divisorLimb,
                       double quotient, double remainder);

}  // namespace ostrel2

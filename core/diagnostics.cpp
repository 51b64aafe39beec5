// diagnostics.cpp -- printing of the library's code page 932 messages to standard output.
#include "core/diagnostics.h"

#include <cstdio>

namespace ostrel2 {

namespace {

// Each string is the Shift-JIS encoding of the text in the comment beside it. Bytes of 0x80 and
// above are escaped; a literal break ("" "") keeps a following hex digit out of an escape.
constexpr const char* kTexts[] = {
    // 多倍長数の要素に負の数がある。%f\n
    "\x91\xBD\x94{\x92\xB7\x90\x94\x82\xCC\x97v\x91" "f\x82\xC9\x95\x89\x82\xCC\x90\x94\x82\xAA"
    "\x82\xA0\x82\xE9\x81" "B%f\n",
    // 多倍長数先頭の要素桁数オーバー %f\n
    "\x91\xBD\x94{\x92\xB7\x90\x94\x90\xE6\x93\xAA\x82\xCC\x97v\x91" "f\x8C\x85\x90\x94\x83I\x81["
    "\x83o\x81[ %f\n",
    // 数値の指数が2,000,000,000を越えています。続行できません。\n
    "\x90\x94\x92l\x82\xCC\x8Ew\x90\x94\x82\xAA" "2,000,000,000\x82\xF0\x89z\x82\xA6\x82\xC4\x82\xA2"
    "\x82\xDC\x82\xB7\x81" "B\x91\xB1\x8Ds\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x81" "B\n",
    // 計算結果がオーバーフローしました。\n
    "\x8Cv\x8EZ\x8C\x8B\x89\xCA\x82\xAA\x83I\x81[\x83o\x81[\x83t\x83\x8D\x81[\x82\xB5\x82\xDC\x82"
    "\xB5\x82\xBD\x81" "B\n",
    // 多倍長数のゼロでの除算エラー\n
    "\x91\xBD\x94{\x92\xB7\x90\x94\x82\xCC\x83[\x83\x8D\x82\xC5\x82\xCC\x8F\x9C\x8EZ\x83G\x83\x89"
    "\x81[\n",
    // 多倍長数の除算で計算が不能→プログラムエラー\n
    "\x91\xBD\x94{\x92\xB7\x90\x94\x82\xCC\x8F\x9C\x8EZ\x82\xC5\x8Cv\x8EZ\x82\xAA\x95s\x94\x5C\x81"
    "\xA8\x83v\x83\x8D\x83O\x83\x89\x83\x80\x83G\x83\x89\x81[\n",
};

}  // namespace

const char* MessageText(Message message) { return kTexts[static_cast<int>(message)]; }

// Messages are flushed at once so that they keep their order with the host's own output and
// reach a reader even if the host never flushes.
void Report(Message message) {
    std::fputs(MessageText(message), stdout);
    std::fflush(stdout);
}

void Report(Message message, double value) {
    std::printf(MessageText(message), value);
    std::fflush(stdout);
}

void ReportDivisionHeader(int32_t position, int32_t exponentA, int32_t exponentB, int32_t shift) {
    std::printf("%ld  %ld  %ld  %ld  \n", static_cast<long>(position), static_cast<long>(exponentA),
                static_cast<long>(exponentB), static_cast<long>(shift));
    std::fflush(stdout);
}

void ReportDivisionRow(int32_t position, double dividendLimb, double divisorLimb,
                       double quotient, double remainder) {
    std::printf("%ld  %f  %f  %f  %f  \n", static_cast<long>(position), dividendLimb, divisorLimb,
                quotient, remainder);
    std::fflush(stdout);
}

}  // namespace ostrel2

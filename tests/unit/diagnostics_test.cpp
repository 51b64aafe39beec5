// diagnostics_test.cpp -- every message is the code page 932 encoding of its Japanese text.
//
// The expected bytes are produced here by the C library's own converter from the UTF-8 text, so
// the table in the library and this test are two independent spellings of each message.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "core/diagnostics.h"

namespace ostrel2 {
namespace {

std::string ToCodePage932(const std::string& utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string in = utf8;
    std::string out(in.size() * 2 + 16, '\0');
    char* src = in.data();
    char* dst = out.data();
    size_t left = in.size();
    size_t room = out.size();
    EXPECT_NE(iconv(cd, &src, &left, &dst, &room), static_cast<size_t>(-1));
    iconv_close(cd);
    out.resize(out.size() - room);
    return out;
}

TEST(Diagnostics, EveryMessageIsItsCodePage932Text) {
    const std::pair<Message, const char*> table[] = {
        {Message::NegativeLimb, "多倍長数の要素に負の数がある。%f\n"},
        {Message::LeadingLimbOverflow, "多倍長数先頭の要素桁数オーバー %f\n"},
        {Message::ExponentLimit, "数値の指数が2,000,000,000を越えています。続行できません。\n"},
        {Message::Overflow, "計算結果がオーバーフローしました。\n"},
        {Message::DivisionByZero, "多倍長数のゼロでの除算エラー\n"},
        {Message::DivisionFailed, "多倍長数の除算で計算が不能→プログラムエラー\n"},
    };
    for (const auto& [message, utf8] : table) {
        EXPECT_EQ(std::string(MessageText(message)), ToCodePage932(utf8)) << utf8;
    }
}

TEST(Diagnostics, ValueMessagesPrintTheLimbWithPercentF) {
    testing::internal::CaptureStdout();
    Report(Message::NegativeLimb, -3.0);
    Report(Message::Overflow);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              ToCodePage932("多倍長数の要素に負の数がある。-3.000000\n計算結果がオーバーフローしました。\n"));
}

TEST(Diagnostics, DivisionDumpFormats) {
    testing::internal::CaptureStdout();
    ReportDivisionHeader(3, -20, 10, -39);
    ReportDivisionRow(0, 1234567890.0, 5.0, 0.0, -1.0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "3  -20  10  -39  \n0  1234567890.000000  5.000000  0.000000  -1.000000  \n");
}

}  // namespace
}  // namespace ostrel2

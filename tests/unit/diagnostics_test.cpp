// diagnostics_test.cpp -- every message is the code page 932 encoding of its Japanese text and
// has an English line taking the same values; a thread's sink catches both.
//
// The expected bytes are produced here by the C library's own converter from the UTF-8 text, so
// the table in the library and this test are two independent spellings of each message.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cstring>
#include <string>
#include <thread>

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

// Every message of the enumeration, with its text as the user reads it.
const std::pair<Message, const char*> kEveryMessage[] = {
    {Message::NegativeLimb, "多倍長数の要素に負の数がある。%f\n"},
    {Message::LeadingLimbOverflow, "多倍長数先頭の要素桁数オーバー %f\n"},
    {Message::ExponentLimit, "数値の指数が2,000,000,000を越えています。続行できません。\n"},
    {Message::Overflow, "計算結果がオーバーフローしました。\n"},
    {Message::Underflow, "計算結果がオーバーフローしました。\n"},
    {Message::DivisionByZero, "多倍長数のゼロでの除算エラー\n"},
    {Message::DivisionByZeroAsOverflow, "計算結果がオーバーフローしました。\n"},
    {Message::DivisionFailed, "多倍長数の除算で計算が不能→プログラムエラー\n"},
    {Message::RemainderInexact, "多倍長数の剰余計算不可（商の整数部が精度の桁数を超える）\n"},
    {Message::SqrtNegative, "超長計算不可（負の値の平方根）\n"},
    {Message::SqrtNegativeLimb, "超長平方根計算不可（多倍長数内に負の要素）\n"},
    {Message::PowerNegativeLimb, "超長累乗計算不可（多倍長数内に負の要素）\n"},
    {Message::PowerExponentRange, "指数が範囲外です（指数は-1,000,000,000,000～1,000,000,000,000の範囲内のみを取り扱います）。\n"},
    {Message::PowerExponentNotWhole, "与えられた指数が整数ではない。\n"},
    {Message::RootNegative, "多倍長数累乗根計算不可（負の値の累乗根）\n"},
    {Message::RootIndexNotPositive, "多倍長数累乗根計算不可（根数がゼロもしくは負）\n"},
    {Message::RootIndexNotWhole, "多倍長数累乗根計算不可（根数が整数ではない）\n"},
    {Message::RootIndexRange, "多倍長数累乗根計算範囲外（累乗根は(1/1)～(1/10,000,000,000,000)の範囲内のみを取扱う）\n"},
    {Message::RootNegativeLimb, "多倍長数累乗根計算不可（多倍長数内に負の要素）\n"},
    {Message::RealPowerExponentTooLarge, "指数の絶対値が大きすぎて取り扱えない。\n"},
    {Message::RealPowerNegativeBase, "負の値の累乗計算は整数値のべき数のみを取り扱います。\n"},
    {Message::RealPowerOverflow, "実数指数の累乗計算でオーバーフローしました。\n"},
    {Message::RealPowerUnderflow, "実数指数の累乗計算でオーバーフローしました。\n"},
    {Message::FactorialRange, "多倍長計算範囲外（階乗の計算は1,000,000以下の正の値を取り扱います）\n"},
    {Message::PiPrecisionTooLarge, "桁数が１０００万桁と大きすぎてこのルーチンでは取り扱いません(ボールウェインの４次の収束公式によるπの超長桁計算)"},
    {Message::PiNotConverged, "収斂しませんでした(ボールウェインの４次の収束公式によるπの計算)"},
    {Message::ExpRange, "多倍長計算範囲外（自然対数の底eのべき乗が大き過ぎて取り扱えない）\n"},
    {Message::ENotConverged, "自然対数底eの多倍長数:十分に収斂しませんでした。\n"},
    {Message::LogNotPositive, "多倍長計算範囲外（対数計算は正の値を取扱う）\n"},
    {Message::LogOverflow, "自然対数の多倍長計算オーバーフロー \n"},
    {Message::LogNotConverged, "自然対数の多倍長計算:十分に収斂しませんでした。\n"},
    {Message::CosAngleTooLarge, "COSの多倍長計算の指定の角度の絶対値過大 \n"},
    {Message::SinAngleTooLarge, "SINの多倍長計算の指定の角度の絶対値過大 \n"},
    {Message::TanAngleTooLarge, "TANの多倍長計算の指定の角度の絶対値過大 \n"},
    {Message::CosNotConverged, "COSの多倍長計算:十分に収斂しませんでした。\n"},
    {Message::SinNotConverged, "SINの多倍長計算:十分に収斂しませんでした。%ld  %f  %f\n"},
    {Message::AtanNotConverged, "ATANの多倍長計算:十分に収斂しませんでした。\n"},
    {Message::AsinDomain, "絶対値が１よりも大きな数字の逆正弦は求められません。\n"},
    {Message::AcosDomain, "絶対値が１よりも大きな数字の逆余弦は求められません。\n"},
    {Message::AcoshDomain, "この範囲には Acosh の解はありません。\n"},
    {Message::AtanhDomain, "この範囲には Atanh の解はありません。\n"},
    {Message::GcdZeroOperand, ""},
    {Message::GcdStepLimit, ""},
    {Message::RecordRefused, ""},
    {Message::PrecisionRefused, ""},
    {Message::OperandFailed, ""},
};

TEST(Diagnostics, EveryMessageIsItsCodePage932Text) {
    ASSERT_EQ(sizeof kEveryMessage / sizeof kEveryMessage[0], static_cast<size_t>(MESSAGE_COUNT));
    for (int i = 0; i < MESSAGE_COUNT; ++i) {
        const auto& [message, utf8] = kEveryMessage[i];
        ASSERT_EQ(static_cast<int>(message), i) << "the table follows the enumeration's order";
        EXPECT_EQ(std::string(MessageText(message)), ToCodePage932(utf8)) << utf8;
    }
}

TEST(Diagnostics, SineSeriesReportPrintsExponentAndTwoLimbs) {
    testing::internal::CaptureStdout();
    Report(Message::SinNotConverged, -20, 12.0, 3.5);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              ToCodePage932("SINの多倍長計算:十分に収斂しませんでした。-20  12.000000  3.500000\n"));
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

// The printf conversions of a format, in order ("%ld %f %f" for the sine series' report).
std::string Conversions(const char* format) {
    std::string found;
    for (const char* c = format; *c != '\0'; ++c) {
        if (*c != '%') continue;
        ++c;
        while (*c == 'l') found += *c++;
        found += *c;
        found += ' ';
    }
    return found;
}

// Every message has an English line of its own (checked by the table's static assertion in count
// and here in content): printable ASCII, one line feed at the end, and the conversions of the
// Japanese format, so that a report formats the same values in both languages.
TEST(Diagnostics, EveryMessageHasAnEnglishLineTakingTheSameValues) {
    for (int i = 0; i < MESSAGE_COUNT; ++i) {
        const Message message = static_cast<Message>(i);
        const std::string english = EnglishText(message);
        ASSERT_GT(english.size(), 1u) << i;
        EXPECT_EQ(english.find('\n'), english.size() - 1) << english;
        for (char c : english) {
            if (c != '\n') {
                EXPECT_TRUE(c >= ' ' && c <= '~') << english;
            }
        }
        const char* original = MessageText(message);
        if (original[0] != '\0') {
            EXPECT_EQ(Conversions(english.c_str()), Conversions(original)) << english;
        }
    }
}

// Messages that print the same Japanese line as another say in English what happened.
TEST(Diagnostics, SharedJapaneseLinesHaveTheirOwnEnglish) {
    const std::pair<Message, Message> kShared[] = {
        {Message::Underflow, Message::Overflow},
        {Message::DivisionByZeroAsOverflow, Message::Overflow},
        {Message::RealPowerUnderflow, Message::RealPowerOverflow},
    };
    for (const auto& [message, printedAs] : kShared) {
        EXPECT_STREQ(MessageText(message), MessageText(printedAs));
        EXPECT_STRNE(EnglishText(message), EnglishText(printedAs));
    }
    EXPECT_STREQ(EnglishText(Message::DivisionByZeroAsOverflow),
                 EnglishText(Message::DivisionByZero));
}

TEST(Diagnostics, QuietMessagesPrintNothing) {
    testing::internal::CaptureStdout();
    Report(Message::GcdZeroOperand);
    Report(Message::OperandFailed);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

// A sink catches both texts of every report and standard output gets nothing; when it goes, the
// thread's messages go back to where they went before it.
TEST(Diagnostics, SinkCatchesBothLanguagesAndIsRestored) {
    char original[256] = "";
    char english[256] = "";
    MessageSink sink;
    sink.original = original;
    sink.originalCapacity = sizeof original;
    sink.english = english;
    sink.englishCapacity = sizeof english;
    testing::internal::CaptureStdout();
    {
        CatchMessages caught(sink);
        EXPECT_EQ(CurrentSink(), &sink);
        Report(Message::NegativeLimb, -3.0);
        Report(Message::GcdZeroOperand);
        ReportDivisionHeader(3, -20, 10, -39);
    }
    EXPECT_EQ(CurrentSink(), nullptr);
    Report(Message::DivisionByZero);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), ToCodePage932("多倍長数のゼロでの除算エラー\n"));
    const std::string wantOriginal =
        ToCodePage932("多倍長数の要素に負の数がある。-3.000000\n") + "3  -20  10  -39  \n";
    EXPECT_EQ(original, wantOriginal);
    EXPECT_EQ(sink.originalLength, wantOriginal.size());
    EXPECT_EQ(std::string(english), std::string("a limb of the record is negative: -3.000000\n") +
                                        EnglishText(Message::GcdZeroOperand) +
                                        "3  -20  10  -39  \n");
    EXPECT_EQ(sink.englishLength, std::strlen(english));
    EXPECT_EQ(sink.count, 3);
}

// A full buffer keeps its text NUL-terminated and its length counting; a null one only counts.
TEST(Diagnostics, SinkBuffersCutAndCount) {
    char english[8];
    MessageSink sink;
    sink.english = english;
    sink.englishCapacity = sizeof english;
    {
        CatchMessages caught(sink);
        Report(Message::DivisionByZero);
        Report(Message::DivisionByZero);
    }
    EXPECT_STREQ(english, "divisio");
    EXPECT_EQ(sink.englishLength, 2 * std::strlen(EnglishText(Message::DivisionByZero)));
    EXPECT_EQ(sink.originalLength, 2 * std::strlen(MessageText(Message::DivisionByZero)));
    EXPECT_EQ(sink.count, 2);
}

// Each thread has its sink: another thread's reports neither reach it nor are caught by it.
TEST(Diagnostics, SinksBelongToTheirThread) {
    MessageSink sink;
    CatchMessages caught(sink);
    testing::internal::CaptureStdout();
    std::thread other([] { Report(Message::DivisionByZero); });
    other.join();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), MessageText(Message::DivisionByZero));
    EXPECT_EQ(sink.count, 0);
}

}  // namespace
}  // namespace ostrel2

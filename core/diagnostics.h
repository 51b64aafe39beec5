// diagnostics.h -- every message the library reports: its exact code page 932 bytes, its English
// text, and where it goes.
//
// Failures are reported in the result's error field and, for the user reading the console of
// the host, by a short Japanese line on standard output. The text is Shift-JIS (code page 932)
// whatever the platform, so the bytes are spelled out here rather than left to the compiler's
// source character set. Each message is a printf format: the %f ones take the offending value,
// the sine series' one an exponent and two limbs. The two messages of the pi iteration end
// without a line feed.
//
// Every message also has an English text, a printf format taking the same values, one line
// ending in a line feed. It says what happened where the Japanese line says something else for
// the case: a few messages share their Japanese bytes with another (an underflow prints the
// overflow's line, a long division by zero too) and differ in English only. The quiet messages
// at the end have no Japanese text: they print nothing and exist for the English reader of a
// failure the library has always reported through the error field alone.
//
// A thread may catch its messages in a MessageSink instead (CatchMessages): each report is then
// written there in both languages, and nothing reaches standard output. Only the callers that
// offer the messages as text (the text library, the program) set a sink; the shared library of
// the _XL exports never does, so its callers see standard output exactly as before.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ostrel2 {

enum class Message {
    NegativeLimb,               // 多倍長数の要素に負の数がある。%f\n
    LeadingLimbOverflow,        // 多倍長数先頭の要素桁数オーバー %f\n
    ExponentLimit,              // 数値の指数が2,000,000,000を越えています。続行できません。\n
    Overflow,                   // 計算結果がオーバーフローしました。\n
    Underflow,                  // (the bytes of Overflow) a result below the exponent range
    DivisionByZero,             // 多倍長数のゼロでの除算エラー\n
    DivisionByZeroAsOverflow,   // (the bytes of Overflow) the long division by zero
    DivisionFailed,             // 多倍長数の除算で計算が不能→プログラムエラー\n
    RemainderInexact,           // 多倍長数の剰余計算不可（商の整数部が精度の桁数を超える）\n
    SqrtNegative,               // 超長計算不可（負の値の平方根）\n
    SqrtNegativeLimb,           // 超長平方根計算不可（多倍長数内に負の要素）\n
    PowerNegativeLimb,          // 超長累乗計算不可（多倍長数内に負の要素）\n
    PowerExponentRange,         // 指数が範囲外です（指数は-1,000,000,000,000～1,000,000,000,000の範囲内のみを取り扱います）。\n
    PowerExponentNotWhole,      // 与えられた指数が整数ではない。\n
    RootNegative,               // 多倍長数累乗根計算不可（負の値の累乗根）\n
    RootIndexNotPositive,       // 多倍長数累乗根計算不可（根数がゼロもしくは負）\n
    RootIndexNotWhole,          // 多倍長数累乗根計算不可（根数が整数ではない）\n
    RootIndexRange,             // 多倍長数累乗根計算範囲外（累乗根は(1/1)～(1/10,000,000,000,000)の範囲内のみを取扱う）\n
    RootNegativeLimb,           // 多倍長数累乗根計算不可（多倍長数内に負の要素）\n
    RealPowerExponentTooLarge,  // 指数の絶対値が大きすぎて取り扱えない。\n
    RealPowerNegativeBase,      // 負の値の累乗計算は整数値のべき数のみを取り扱います。\n
    RealPowerOverflow,          // 実数指数の累乗計算でオーバーフローしました。\n
    RealPowerUnderflow,         // (the bytes of RealPowerOverflow) a result below the range
    FactorialRange,             // 多倍長計算範囲外（階乗の計算は1,000,000以下の正の値を取り扱います）\n
    PiPrecisionTooLarge,        // 桁数が１０００万桁と大きすぎてこのルーチンでは取り扱いません(ボールウェインの４次の収束公式によるπの超長桁計算)
    PiNotConverged,             // 収斂しませんでした(ボールウェインの４次の収束公式によるπの計算)
    ExpRange,                   // 多倍長計算範囲外（自然対数の底eのべき乗が大き過ぎて取り扱えない）\n
    ENotConverged,              // 自然対数底eの多倍長数:十分に収斂しませんでした。\n
    LogNotPositive,             // 多倍長計算範囲外（対数計算は正の値を取扱う）\n
    LogOverflow,                // 自然対数の多倍長計算オーバーフロー \n
    LogNotConverged,            // 自然対数の多倍長計算:十分に収斂しませんでした。\n
    CosAngleTooLarge,           // COSの多倍長計算の指定の角度の絶対値過大 \n
    SinAngleTooLarge,           // SINの多倍長計算の指定の角度の絶対値過大 \n
    TanAngleTooLarge,           // TANの多倍長計算の指定の角度の絶対値過大 \n
    CosNotConverged,            // COSの多倍長計算:十分に収斂しませんでした。\n
    SinNotConverged,            // SINの多倍長計算:十分に収斂しませんでした。%ld  %f  %f\n
    AtanNotConverged,           // ATANの多倍長計算:十分に収斂しませんでした。\n
    AsinDomain,                 // 絶対値が１よりも大きな数字の逆正弦は求められません。\n
    AcosDomain,                 // 絶対値が１よりも大きな数字の逆余弦は求められません。\n
    AcoshDomain,                // この範囲には Acosh の解はありません。\n
    AtanhDomain,                // この範囲には Atanh の解はありません。\n
    // Quiet: nothing printed, an English text only.
    GcdZeroOperand,             // a rounded operand of the greatest common divisor is zero
    GcdStepLimit,               // the Euclidean steps ran out
    RecordRefused,              // an argument record refused at the entry point
    PrecisionRefused,           // a precision argument refused at the entry point
    OperandFailed,              // an operand carries an earlier failure
    Count  // number of messages; not a message
};

constexpr int MESSAGE_COUNT = static_cast<int>(Message::Count);

// The printf format of a message, in code page 932 bytes ("" for a quiet message).
const char* MessageText(Message message);

// The printf format of a message in English: the same conversions as MessageText, in the same
// order, and one line ending in a line feed.
const char* EnglishText(Message message);

// Where the messages of one thread go while it is set: both texts of every report, appended to
// two caller-owned buffers. A buffer may be null or full: its length still counts every byte
// reported, and what it holds stays NUL-terminated. Nothing is allocated.
struct MessageSink {
    char* original = nullptr;  // code page 932, the bytes standard output would have had
    std::size_t originalCapacity = 0;
    std::size_t originalLength = 0;
    char* english = nullptr;
    std::size_t englishCapacity = 0;
    std::size_t englishLength = 0;
    int32_t count = 0;  // reports, quiet messages included
};

// Sends the calling thread's messages to `sink` for as long as it lives, then back to where they
// went before (standard output, or an enclosing sink).
class CatchMessages {
public:
    explicit CatchMessages(MessageSink& sink);
    ~CatchMessages();
    CatchMessages(const CatchMessages&) = delete;
    CatchMessages& operator=(const CatchMessages&) = delete;

private:
    MessageSink* previous_;
};

// The calling thread's sink, null when its messages go to standard output.
MessageSink* CurrentSink();

// Prints a message without a value (a quiet one prints nothing and reaches a sink only).
void Report(Message message);

// Prints a message whose format holds one %f, with the given value.
void Report(Message message, double value);

// Prints a message whose format holds %ld and two %f (the sine series' report of its argument:
// exponent, limb 0, limb 1).
void Report(Message message, int32_t whole, double first, double second);

// Dump of a failed long division: the header line "%ld  %ld  %ld  %ld  \n" and the per-position
// lines "%ld  %f  %f  %f  %f  \n".
void ReportDivisionHeader(int32_t position, int32_t exponentA, int32_t exponentB, int32_t shift);
void ReportDivisionRow(int32_t position, double dividendLimb, double divisorLimb,
                       double quotient, double remainder);

}  // namespace ostrel2

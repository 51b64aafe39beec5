// diagnostics.cpp -- the library's messages in code page 932 and in English, printed on standard
// output or caught in the calling thread's sink.
#include "core/diagnostics.h"

#include <cstdarg>
#include <cstdio>

namespace ostrel2 {

namespace {

// Each string is the Shift-JIS encoding of the text in the comment beside it. Bytes of 0x80 and
// above are escaped; a literal break ("" "") keeps a following hex digit out of an escape.

// 計算結果がオーバーフローしました。\n
constexpr char kOverflowText[] =
    "\x8Cv\x8EZ\x8C\x8B\x89\xCA\x82\xAA\x83I\x81[\x83o\x81[\x83t\x83\x8D\x81[\x82\xB5\x82\xDC"
    "\x82\xB5\x82\xBD\x81" "B\n";
// 実数指数の累乗計算でオーバーフローしました。\n
constexpr char kRealPowerOverflowText[] =
    "\x8E\xC0\x90\x94\x8Ew\x90\x94\x82\xCC\x97\xDD\x8F\xE6\x8Cv\x8EZ\x82\xC5\x83I\x81[\x83o"
    "\x81[\x83t\x83\x8D\x81[\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81" "B\n";

constexpr const char* kTexts[] = {
    // 多倍長数の要素に負の数がある。%f\n
    "\x91\xBD\x94{\x92\xB7\x90\x94\x82\xCC\x97v\x91" "f\x82\xC9\x95\x89\x82\xCC\x90\x94\x82"
    "\xAA\x82\xA0\x82\xE9\x81" "B%f\n",
    // 多倍長数先頭の要素桁数オーバー %f\n
    "\x91\xBD\x94{\x92\xB7\x90\x94\x90\xE6\x93\xAA\x82\xCC\x97v\x91" "f\x8C\x85\x90\x94\x83I"
    "\x81[\x83o\x81[ %f\n",
    // 数値の指数が2,000,000,000を越えています。続行できません。\n
    "\x90\x94\x92l\x82\xCC\x8Ew\x90\x94\x82\xAA" "2,000,000,000\x82\xF0\x89z\x82\xA6\x82\xC4"
    "\x82\xA2\x82\xDC\x82\xB7\x81" "B\x91\xB1\x8Ds\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1"
    "\x81" "B\n",
    kOverflowText,
    kOverflowText,  // an underflow
    // 多倍長数のゼロでの除算エラー\n
    "\x91\xBD\x94{\x92\xB7\x90\x94\x82\xCC\x83[\x83\x8D\x82\xC5\x82\xCC\x8F\x9C\x8EZ\x83G\x83"
    "\x89\x81[\n",
    kOverflowText,  // the long division by zero
    // 多倍長数の除算で計算が不能→プログラムエラー\n
    "\x91\xBD\x94{\x92\xB7\x90\x94\x82\xCC\x8F\x9C\x8EZ\x82\xC5\x8Cv\x8EZ\x82\xAA\x95s\x94\\"
    "\x81\xA8\x83v\x83\x8D\x83O\x83\x89\x83\x80\x83G\x83\x89\x81[\n",
    // 多倍長数の剰余計算不可（商の整数部が精度の桁数を超える）\n
    "\x91\xBD\x94{\x92\xB7\x90\x94\x82\xCC\x8F\xE8\x97]\x8Cv\x8EZ\x95s\x89\xC2\x81i\x8F\xA4"
    "\x82\xCC\x90\xAE\x90\x94\x95\x94\x82\xAA\x90\xB8\x93x\x82\xCC\x8C\x85\x90\x94\x82\xF0"
    "\x92\xB4\x82\xA6\x82\xE9\x81j\n",
    // 超長計算不可（負の値の平方根）\n
    "\x92\xB4\x92\xB7\x8Cv\x8EZ\x95s\x89\xC2\x81i\x95\x89\x82\xCC\x92l\x82\xCC\x95\xBD\x95"
    "\xFB\x8D\xAA\x81j\n",
    // 超長平方根計算不可（多倍長数内に負の要素）\n
    "\x92\xB4\x92\xB7\x95\xBD\x95\xFB\x8D\xAA\x8Cv\x8EZ\x95s\x89\xC2\x81i\x91\xBD\x94{\x92"
    "\xB7\x90\x94\x93\xE0\x82\xC9\x95\x89\x82\xCC\x97v\x91" "f\x81j\n",
    // 超長累乗計算不可（多倍長数内に負の要素）\n
    "\x92\xB4\x92\xB7\x97\xDD\x8F\xE6\x8Cv\x8EZ\x95s\x89\xC2\x81i\x91\xBD\x94{\x92\xB7\x90"
    "\x94\x93\xE0\x82\xC9\x95\x89\x82\xCC\x97v\x91" "f\x81j\n",
    // 指数が範囲外です（指数は-1,000,000,000,000～1,000,000,000,000の範囲内のみを取り扱います）。\n
    "\x8Ew\x90\x94\x82\xAA\x94\xCD\x88\xCD\x8AO\x82\xC5\x82\xB7\x81i\x8Ew\x90\x94\x82\xCD-1,0"
    "00,000,000,000\x81`1,000,000,000,000\x82\xCC\x94\xCD\x88\xCD\x93\xE0\x82\xCC\x82\xDD\x82"
    "\xF0\x8E\xE6\x82\xE8\x88\xB5\x82\xA2\x82\xDC\x82\xB7\x81j\x81" "B\n",
    // 与えられた指数が整数ではない。\n
    "\x97^\x82\xA6\x82\xE7\x82\xEA\x82\xBD\x8Ew\x90\x94\x82\xAA\x90\xAE\x90\x94\x82\xC5\x82"
    "\xCD\x82\xC8\x82\xA2\x81" "B\n",
    // 多倍長数累乗根計算不可（負の値の累乗根）\n
    "\x91\xBD\x94{\x92\xB7\x90\x94\x97\xDD\x8F\xE6\x8D\xAA\x8Cv\x8EZ\x95s\x89\xC2\x81i\x95"
    "\x89\x82\xCC\x92l\x82\xCC\x97\xDD\x8F\xE6\x8D\xAA\x81j\n",
    // 多倍長数累乗根計算不可（根数がゼロもしくは負）\n
    "\x91\xBD\x94{\x92\xB7\x90\x94\x97\xDD\x8F\xE6\x8D\xAA\x8Cv\x8EZ\x95s\x89\xC2\x81i\x8D"
    "\xAA\x90\x94\x82\xAA\x83[\x83\x8D\x82\xE0\x82\xB5\x82\xAD\x82\xCD\x95\x89\x81j\n",
    // 多倍長数累乗根計算不可（根数が整数ではない）\n
    "\x91\xBD\x94{\x92\xB7\x90\x94\x97\xDD\x8F\xE6\x8D\xAA\x8Cv\x8EZ\x95s\x89\xC2\x81i\x8D"
    "\xAA\x90\x94\x82\xAA\x90\xAE\x90\x94\x82\xC5\x82\xCD\x82\xC8\x82\xA2\x81j\n",
    // 多倍長数累乗根計算範囲外（累乗根は(1/1)～(1/10,000,000,000,000)の範囲内のみを取扱う）\n
    "\x91\xBD\x94{\x92\xB7\x90\x94\x97\xDD\x8F\xE6\x8D\xAA\x8Cv\x8EZ\x94\xCD\x88\xCD\x8AO\x81"
    "i\x97\xDD\x8F\xE6\x8D\xAA\x82\xCD(1/1)\x81`(1/10,000,000,000,000)\x82\xCC\x94\xCD\x88"
    "\xCD\x93\xE0\x82\xCC\x82\xDD\x82\xF0\x8E\xE6\x88\xB5\x82\xA4\x81j\n",
    // 多倍長数累乗根計算不可（多倍長数内に負の要素）\n
    "\x91\xBD\x94{\x92\xB7\x90\x94\x97\xDD\x8F\xE6\x8D\xAA\x8Cv\x8EZ\x95s\x89\xC2\x81i\x91"
    "\xBD\x94{\x92\xB7\x90\x94\x93\xE0\x82\xC9\x95\x89\x82\xCC\x97v\x91" "f\x81j\n",
    // 指数の絶対値が大きすぎて取り扱えない。\n
    "\x8Ew\x90\x94\x82\xCC\x90\xE2\x91\xCE\x92l\x82\xAA\x91\xE5\x82\xAB\x82\xB7\x82\xAC\x82"
    "\xC4\x8E\xE6\x82\xE8\x88\xB5\x82\xA6\x82\xC8\x82\xA2\x81" "B\n",
    // 負の値の累乗計算は整数値のべき数のみを取り扱います。\n
    "\x95\x89\x82\xCC\x92l\x82\xCC\x97\xDD\x8F\xE6\x8Cv\x8EZ\x82\xCD\x90\xAE\x90\x94\x92l\x82"
    "\xCC\x82\xD7\x82\xAB\x90\x94\x82\xCC\x82\xDD\x82\xF0\x8E\xE6\x82\xE8\x88\xB5\x82\xA2\x82"
    "\xDC\x82\xB7\x81" "B\n",
    kRealPowerOverflowText,
    kRealPowerOverflowText,  // an underflow
    // 多倍長計算範囲外（階乗の計算は1,000,000以下の正の値を取り扱います）\n
    "\x91\xBD\x94{\x92\xB7\x8Cv\x8EZ\x94\xCD\x88\xCD\x8AO\x81i\x8AK\x8F\xE6\x82\xCC\x8Cv\x8EZ"
    "\x82\xCD" "1,000,000\x88\xC8\x89\xBA\x82\xCC\x90\xB3\x82\xCC\x92l\x82\xF0\x8E\xE6\x82"
    "\xE8\x88\xB5\x82\xA2\x82\xDC\x82\xB7\x81j\n",
    // 桁数が１０００万桁と大きすぎてこのルーチンでは取り扱いません(ボールウェインの４次の収束公式によるπの超長桁計算)
    "\x8C\x85\x90\x94\x82\xAA\x82P\x82O\x82O\x82O\x96\x9C\x8C\x85\x82\xC6\x91\xE5\x82\xAB\x82"
    "\xB7\x82\xAC\x82\xC4\x82\xB1\x82\xCC\x83\x8B\x81[\x83`\x83\x93\x82\xC5\x82\xCD\x8E\xE6"
    "\x82\xE8\x88\xB5\x82\xA2\x82\xDC\x82\xB9\x82\xF1(\x83{\x81[\x83\x8B\x83" "E\x83" "F\x83"
    "" "C\x83\x93\x82\xCC\x82S\x8E\x9F\x82\xCC\x8E\xFB\x91\xA9\x8C\xF6\x8E\xAE\x82\xC9\x82"
    "\xE6\x82\xE9\x83\xCE\x82\xCC\x92\xB4\x92\xB7\x8C\x85\x8Cv\x8EZ)",
    // 収斂しませんでした(ボールウェインの４次の収束公式によるπの計算)
    "\x8E\xFB\x9D\xCA\x82\xB5\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD(\x83{\x81[\x83"
    "\x8B\x83" "E\x83" "F\x83" "C\x83\x93\x82\xCC\x82S\x8E\x9F\x82\xCC\x8E\xFB\x91\xA9\x8C"
    "\xF6\x8E\xAE\x82\xC9\x82\xE6\x82\xE9\x83\xCE\x82\xCC\x8Cv\x8EZ)",
    // 多倍長計算範囲外（自然対数の底eのべき乗が大き過ぎて取り扱えない）\n
    "\x91\xBD\x94{\x92\xB7\x8Cv\x8EZ\x94\xCD\x88\xCD\x8AO\x81i\x8E\xA9\x91R\x91\xCE\x90\x94"
    "\x82\xCC\x92\xEA" "e\x82\xCC\x82\xD7\x82\xAB\x8F\xE6\x82\xAA\x91\xE5\x82\xAB\x89\xDF\x82"
    "\xAC\x82\xC4\x8E\xE6\x82\xE8\x88\xB5\x82\xA6\x82\xC8\x82\xA2\x81j\n",
    // 自然対数底eの多倍長数:十分に収斂しませんでした。\n
    "\x8E\xA9\x91R\x91\xCE\x90\x94\x92\xEA" "e\x82\xCC\x91\xBD\x94{\x92\xB7\x90\x94:\x8F\\"
    "\x95\xAA\x82\xC9\x8E\xFB\x9D\xCA\x82\xB5\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD"
    "\x81" "B\n",
    // 多倍長計算範囲外（対数計算は正の値を取扱う）\n
    "\x91\xBD\x94{\x92\xB7\x8Cv\x8EZ\x94\xCD\x88\xCD\x8AO\x81i\x91\xCE\x90\x94\x8Cv\x8EZ\x82"
    "\xCD\x90\xB3\x82\xCC\x92l\x82\xF0\x8E\xE6\x88\xB5\x82\xA4\x81j\n",
    // 自然対数の多倍長計算オーバーフロー \n
    "\x8E\xA9\x91R\x91\xCE\x90\x94\x82\xCC\x91\xBD\x94{\x92\xB7\x8Cv\x8EZ\x83I\x81[\x83o\x81["
    "\x83t\x83\x8D\x81[ \n",
    // 自然対数の多倍長計算:十分に収斂しませんでした。\n
    "\x8E\xA9\x91R\x91\xCE\x90\x94\x82\xCC\x91\xBD\x94{\x92\xB7\x8Cv\x8EZ:\x8F\\\x95\xAA\x82"
    "\xC9\x8E\xFB\x9D\xCA\x82\xB5\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81" "B\n",
    // COSの多倍長計算の指定の角度の絶対値過大 \n
    "COS\x82\xCC\x91\xBD\x94{\x92\xB7\x8Cv\x8EZ\x82\xCC\x8Ew\x92\xE8\x82\xCC\x8Ap\x93x\x82"
    "\xCC\x90\xE2\x91\xCE\x92l\x89\xDF\x91\xE5 \n",
    // SINの多倍長計算の指定の角度の絶対値過大 \n
    "SIN\x82\xCC\x91\xBD\x94{\x92\xB7\x8Cv\x8EZ\x82\xCC\x8Ew\x92\xE8\x82\xCC\x8Ap\x93x\x82"
    "\xCC\x90\xE2\x91\xCE\x92l\x89\xDF\x91\xE5 \n",
    // TANの多倍長計算の指定の角度の絶対値過大 \n
    "TAN\x82\xCC\x91\xBD\x94{\x92\xB7\x8Cv\x8EZ\x82\xCC\x8Ew\x92\xE8\x82\xCC\x8Ap\x93x\x82"
    "\xCC\x90\xE2\x91\xCE\x92l\x89\xDF\x91\xE5 \n",
    // COSの多倍長計算:十分に収斂しませんでした。\n
    "COS\x82\xCC\x91\xBD\x94{\x92\xB7\x8Cv\x8EZ:\x8F\\\x95\xAA\x82\xC9\x8E\xFB\x9D\xCA\x82"
    "\xB5\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81" "B\n",
    // SINの多倍長計算:十分に収斂しませんでした。%ld  %f  %f\n
    "SIN\x82\xCC\x91\xBD\x94{\x92\xB7\x8Cv\x8EZ:\x8F\\\x95\xAA\x82\xC9\x8E\xFB\x9D\xCA\x82"
    "\xB5\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81" "B%ld  %f  %f\n",
    // ATANの多倍長計算:十分に収斂しませんでした。\n
    "ATAN\x82\xCC\x91\xBD\x94{\x92\xB7\x8Cv\x8EZ:\x8F\\\x95\xAA\x82\xC9\x8E\xFB\x9D\xCA\x82"
    "\xB5\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81" "B\n",
    // 絶対値が１よりも大きな数字の逆正弦は求められません。\n
    "\x90\xE2\x91\xCE\x92l\x82\xAA\x82P\x82\xE6\x82\xE8\x82\xE0\x91\xE5\x82\xAB\x82\xC8\x90"
    "\x94\x8E\x9A\x82\xCC\x8Bt\x90\xB3\x8C\xB7\x82\xCD\x8B\x81\x82\xDF\x82\xE7\x82\xEA\x82"
    "\xDC\x82\xB9\x82\xF1\x81" "B\n",
    // 絶対値が１よりも大きな数字の逆余弦は求められません。\n
    "\x90\xE2\x91\xCE\x92l\x82\xAA\x82P\x82\xE6\x82\xE8\x82\xE0\x91\xE5\x82\xAB\x82\xC8\x90"
    "\x94\x8E\x9A\x82\xCC\x8Bt\x97]\x8C\xB7\x82\xCD\x8B\x81\x82\xDF\x82\xE7\x82\xEA\x82\xDC"
    "\x82\xB9\x82\xF1\x81" "B\n",
    // この範囲には Acosh の解はありません。\n
    "\x82\xB1\x82\xCC\x94\xCD\x88\xCD\x82\xC9\x82\xCD Acosh \x82\xCC\x89\xF0\x82\xCD\x82\xA0"
    "\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81" "B\n",
    // この範囲には Atanh の解はありません。\n
    "\x82\xB1\x82\xCC\x94\xCD\x88\xCD\x82\xC9\x82\xCD Atanh \x82\xCC\x89\xF0\x82\xCD\x82\xA0"
    "\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81" "B\n",
    // The quiet messages print nothing.
    "", "", "", "", "",
};

static_assert(sizeof kTexts / sizeof kTexts[0] == MESSAGE_COUNT,
              "one text for every message of the enumeration");

// The English texts, in the order of the enumeration: what happened, in the words of the
// function's user.
constexpr const char* kEnglish[] = {
    "a limb of the record is negative: %f\n",
    "a limb of the record does not fit in ten digits: %f\n",
    "the result overflows: its decimal exponent would exceed 2,000,000,000\n",
    "the result overflows: its magnitude lies beyond 10^2,000,000,000\n",
    "the result underflows: its magnitude lies below 10^-2,000,000,000\n",
    "division by zero\n",
    "division by zero\n",
    "the division could not be completed (an internal failure of the long division)\n",
    "the remainder cannot be computed: the quotient's integer part has more digits than the "
    "precision holds\n",
    "square root of a negative number\n",
    "square root of a record with a negative limb\n",
    "power of a record with a negative limb\n",
    "the exponent is out of range: whole powers take exponents from -1,000,000,000,000 to "
    "1,000,000,000,000\n",
    "the exponent is not a whole number\n",
    "root of a negative number\n",
    "the index of the root is zero or negative\n",
    "the index of the root is not a whole number\n",
    "the index of the root is out of range: roots take indices from 1 to 10,000,000,000,000\n",
    "root of a record with a negative limb\n",
    "the exponent of the real power is too large in magnitude\n",
    "a negative number raised to a power that is not a whole number\n",
    "the real power overflows: its magnitude lies beyond 10^2,000,000,000\n",
    "the real power underflows: its magnitude lies below 10^-2,000,000,000\n",
    "factorial out of range: n must be a whole number from 0 to 1,000,000\n",
    "pi: the precision is too large for the iteration\n",
    "pi: the iteration did not converge\n",
    "exp: the magnitude of the argument is too large\n",
    "e: the series did not converge\n",
    "logarithm of zero or of a negative number\n",
    "logarithm: the argument's exponent is too large to fold\n",
    "logarithm: the series did not converge\n",
    "cos: the magnitude of the angle is 10^20 or more\n",
    "sin: the magnitude of the angle is 10^20 or more\n",
    "tan: the magnitude of the angle is 10^20 or more\n",
    "cos: the series did not converge\n",
    "sin: the series did not converge: %ld  %f  %f\n",
    "atan: the iteration did not converge\n",
    "asin of a number whose magnitude exceeds 1\n",
    "acos of a number whose magnitude exceeds 1\n",
    "acosh of a number below 1\n",
    "atanh of a number whose magnitude is 1 or more\n",
    "gcd: an operand rounds to zero (the cofactors of zero are not defined; error -2)\n",
    "gcd: the remainders did not reach zero within the step limit (the error is minus the "
    "limit)\n",
    "an argument record was refused: its precision is outside 1 .. 303, or its sign, error, "
    "exponent or limbs are not those of a number\n",
    "the precision is outside 1 .. 303\n",
    "an operand carries the error of an earlier failure\n",
};

static_assert(sizeof kEnglish / sizeof kEnglish[0] == MESSAGE_COUNT,
              "one English text for every message of the enumeration");

// The sink of each thread; null sends its messages to standard output.
thread_local MessageSink* currentSink = nullptr;

// Appends printf output to a buffer of the sink, counting every byte in `length` even where the
// buffer has no room left for it.
void Append(char* buffer, std::size_t capacity, std::size_t& length, const char* format, ...) {
    std::va_list values;
    va_start(values, format);
    const bool room = buffer != nullptr && length < capacity;
    const int written = std::vsnprintf(room ? buffer + length : nullptr,
                                       room ? capacity - length : 0, format, values);
    va_end(values);
    if (written > 0) length += static_cast<std::size_t>(written);
}

// Writes one report: to the sink in both languages, else to standard output in code page 932.
// Messages are flushed at once so that they keep their order with the host's own output and
// reach a reader even if the host never flushes.
template <typename... Values>
void Write(const char* original, const char* english, Values... values) {
    if (MessageSink* sink = currentSink) {
        Append(sink->original, sink->originalCapacity, sink->originalLength, original, values...);
        Append(sink->english, sink->englishCapacity, sink->englishLength, english, values...);
        ++sink->count;
        return;
    }
    if (original[0] == '\0') return;  // a quiet message
    std::printf(original, values...);
    std::fflush(stdout);
}

}  // namespace

const char* MessageText(Message message) { return kTexts[static_cast<int>(message)]; }

const char* EnglishText(Message message) { return kEnglish[static_cast<int>(message)]; }

CatchMessages::CatchMessages(MessageSink& sink) : previous_(currentSink) { currentSink = &sink; }

CatchMessages::~CatchMessages() { currentSink = previous_; }

MessageSink* CurrentSink() { return currentSink; }

void Report(Message message) { Write(MessageText(message), EnglishText(message)); }

void Report(Message message, double value) {
    Write(MessageText(message), EnglishText(message), value);
}

void Report(Message message, int32_t whole, double first, double second) {
    Write(MessageText(message), EnglishText(message), static_cast<long>(whole), first, second);
}

// The dump of a failed long division is numbers only: the same line in both languages.
void ReportDivisionHeader(int32_t position, int32_t exponentA, int32_t exponentB, int32_t shift) {
    constexpr const char* kHeader = "%ld  %ld  %ld  %ld  \n";
    Write(kHeader, kHeader, static_cast<long>(position), static_cast<long>(exponentA),
          static_cast<long>(exponentB), static_cast<long>(shift));
}

void ReportDivisionRow(int32_t position, double dividendLimb, double divisorLimb,
                       double quotient, double remainder) {
    constexpr const char* kRow = "%ld  %f  %f  %f  %f  \n";
    Write(kRow, kRow, static_cast<long>(position), dividendLimb, divisorLimb, quotient, remainder);
}

}  // namespace ostrel2

// expression.cpp -- the ostrel2 program's expression mode: a recursive-descent evaluator that
// makes one library call per operation, in reading order.
#include "tools/expression.h"

#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <string>

#include "api/export_kinds.h"

namespace ostrel2::calculator {

namespace {

using api::Export;
using api::Kind;

// Nested parentheses, arguments, signs and exponents: each level holds a few records on the
// stack beside the library's own use of it (up to some hundreds of kilobytes in a dear call).
constexpr int kDeepestNesting = 64;
constexpr int kMostArguments = 2;
constexpr int kLongestShownToken = 24;  // characters of a token quoted in a message

enum class TokenKind { Number, Name, Symbol, End, Bad };

struct Token {
    TokenKind kind = TokenKind::End;
    size_t offset = 0;
    size_t length = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNamePart(char c) { return IsNameStart(c) || IsDigit(c); }

// The token at `at`, blanks skipped. A number is digits with an optional fraction and an
// exponent ("2", "1.5", ".5", "1e-300"); "e" without digits after it is not part of the number.
Token Scan(const char* text, size_t at) {
    while (std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    Token t;
    t.offset = at;
    const char c = text[at];
    size_t k = at;
    if (c == '\0') {
        t.kind = TokenKind::End;
    } else if (IsDigit(c) || (c == '.' && IsDigit(text[at + 1]))) {
        while (IsDigit(text[k])) ++k;
        if (text[k] == '.') {
            ++k;
            while (IsDigit(text[k])) ++k;
        }
        if (text[k] == 'e' || text[k] == 'E') {
            size_t e = k + 1;
            if (text[e] == '+' || text[e] == '-') ++e;
            if (IsDigit(text[e])) {
                while (IsDigit(text[e])) ++e;
                k = e;
            }
        }
        t.kind = TokenKind::Number;
    } else if (IsNameStart(c)) {
        while (IsNamePart(text[k])) ++k;
        t.kind = TokenKind::Name;
    } else if (c == '*' && text[at + 1] == '*') {
        k += 2;
        t.kind = TokenKind::Symbol;
    } else if (std::strchr("+-*/%^(),", c) != nullptr) {
        k += 1;
        t.kind = TokenKind::Symbol;
    } else {
        k += 1;
        t.kind = TokenKind::Bad;
    }
    t.length = k - at;
    return t;
}

struct Parser {
    const char* text;
    int32_t precision;
    const OutputStyle& style;
    Token token;  // the next token
    int depth = 0;
    int status = kExitOk;  // set by the failure that stops the evaluation
};

void Advance(Parser& p) { p.token = Scan(p.text, p.token.offset + p.token.length); }

bool At(const Parser& p, const char* symbol) {
    return p.token.kind == TokenKind::Symbol && p.token.length == std::strlen(symbol) &&
           std::strncmp(p.text + p.token.offset, symbol, p.token.length) == 0;
}

int Shown(const Token& t) {
    return static_cast<int>(t.length < kLongestShownToken ? t.length : kLongestShownToken);
}

// The expression on a line of its own and a caret under `offset`, on standard error.
void PointAt(const char* text, size_t offset) {
    std::fputs("  ", stderr);
    for (const char* c = text; *c != '\0'; ++c) {
        std::fputc(std::iscntrl(static_cast<unsigned char>(*c)) ? ' ' : *c, stderr);
    }
    std::fprintf(stderr, "\n  %*s^\n", static_cast<int>(offset), "");
}

// A mistake in the expression: "ostrel2: offset N: <what>", the expression and the caret.
// Stops the evaluation with exit status 2.
#if defined(__GNUC__)
__attribute__((format(printf, 3, 4)))
#endif
bool Mistake(Parser& p, size_t offset, const char* format, ...) {
    std::fprintf(stderr, "ostrel2: offset %zu: ", offset);
    std::va_list values;
    va_start(values, format);
    std::vfprintf(stderr, format, values);
    va_end(values);
    std::fputc('\n', stderr);
    PointAt(p.text, offset);
    p.status = kExitUsage;
    return false;
}

// Counts one level of nesting for as long as it lives.
struct Nesting {
    Parser& p;
    explicit Nesting(Parser& parser) : p(parser) { ++p.depth; }
    ~Nesting() { --p.depth; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;
};

// Drops the limbs of a result beyond the guard limbs of the asked precision (a product or a
// quotient keeps at least 5 limbs): toward zero, as reading its full text back would.
void KeepPrecision(LongNumber& x, int32_t precision) {
    if (x.precision <= precision) return;
    x.precision = precision;
    for (int k = precision + 4; k < OSTREL2_LIMB_SLOTS; ++k) x.limbs[k] = 0.0;
}

// One operation: the export's call, its result cut back to the asked precision into `value`.
// Its messages go to standard error with a caret under `at`; a failure stops the evaluation.
bool Operate(Parser& p, const Token& at, Ostrel2Call& call, LongNumber& value) {
    LongNumber result;
    Ostrel2Messages messages;
    call.result = &result;
    ostrel2_text_call(&call, &messages);
    const bool failed = result.error != 0;
    if (messages.count > 0) {
        WriteMessages(messages, p.style);
    } else if (failed) {
        std::fputs("the operation failed\n", stderr);
    }
    if (messages.count > 0 || failed) PointAt(p.text, at.offset);
    if (failed) {
        PrintErrorValue(result);
        p.status = kExitResultError;
        return false;
    }
    KeepPrecision(result, p.precision);
    value = result;
    return true;
}

bool Binary(Parser& p, const Token& at, const char* function, LongNumber& x, LongNumber& y) {
    Ostrel2Call call = {};
    call.function = function;
    call.x = &x;
    call.y = &y;
    return Operate(p, at, call, x);
}

bool ReadNumber(Parser& p, const Token& t, LongNumber& value) {
    const std::string literal(p.text + t.offset, t.length);
    bool inexact = false;
    size_t bad = 0;
    const text::ParseStatus status = text::Parse(literal.c_str(), p.precision, value, &inexact, &bad);
    if (status != text::ParseStatus::Ok) {
        return Mistake(p, t.offset + bad, "%s", text::ParseStatusText(status));
    }
    if (inexact) {
        std::fprintf(stderr,
                     "ostrel2: note: the number at offset %zu has more digits than %ld limbs "
                     "hold; the rest are cut off\n",
                     t.offset, static_cast<long>(p.precision));
    }
    return true;
}

// The nearest double of a record (the n of power and root).
double NearestDouble(const LongNumber& x) {
    char digits[text::kTextCapacity];
    text::Format(x, text::FormatMode::AllLimbs, digits, sizeof digits);
    return std::strtod(digits, nullptr);
}

// A whole number for factorial's n: a value beyond the 32-bit range is held at its edge, where
// the library refuses it with its own message.
bool WholeArgument(Parser& p, const LongNumber& x, size_t offset, int32_t& n) {
    char digits[text::kTextCapacity];
    text::Format(x, text::FormatMode::AllLimbs, digits, sizeof digits);
    const double value = std::strtod(digits, nullptr);
    if (value >= 2147483647.0) {
        n = INT32_MAX;
    } else if (value <= -2147483648.0) {
        n = INT32_MIN;
    } else if (std::strchr(digits, '.') != nullptr) {  // below 10^10: positional text
        return Mistake(p, offset, "factorial takes a whole number, not %s", digits);
    } else {
        n = static_cast<int32_t>(value);
    }
    return true;
}

int OperandCount(Kind kind) {
    return api::RecordCount(kind) + (api::TakesDouble(kind) ? 1 : 0) +
           (kind == Kind::IntPrecision ? 1 : 0);
}

bool Sum(Parser& p, LongNumber& value);

// A function of the program by its command name; the version takes no part in expressions.
const Export* FindFunction(const Parser& p, const Token& name) {
    for (const Export& f : api::kExports) {
        if (f.kind != Kind::Version && std::strlen(f.command) == name.length &&
            std::strncmp(f.command, p.text + name.offset, name.length) == 0) {
            return &f;
        }
    }
    return nullptr;
}

// name, name() or name(arguments): the function's call on its evaluated arguments.
bool Function(Parser& p, const Token& name, LongNumber& value) {
    const Export* f = FindFunction(p, name);
    if (f == nullptr) {
        return Mistake(p, name.offset, "unknown function '%.*s'", Shown(name),
                       p.text + name.offset);
    }
    const int wanted = OperandCount(f->kind);
    LongNumber arguments[kMostArguments];
    size_t starts[kMostArguments] = {};
    int count = 0;
    if (At(p, "(")) {
        Advance(p);
        while (!At(p, ")")) {
            if (count == kMostArguments) break;
            starts[count] = p.token.offset;
            if (!Sum(p, arguments[count])) return false;
            ++count;
            if (!At(p, ",")) break;
            Advance(p);
        }
        if (!At(p, ")")) {
            return Mistake(p, p.token.offset, "expected ')': %s takes %d argument(s)", f->command,
                           wanted);
        }
        Advance(p);
    } else if (wanted > 0) {
        return Mistake(p, p.token.offset, "expected '(' after %s", f->command);
    }
    if (count != wanted) {
        return Mistake(p, name.offset, "%s takes %d argument(s), not %d", f->command, wanted,
                       count);
    }
    Ostrel2Call call = {};
    call.function = f->name;
    call.precision = p.precision;
    if (f->kind == Kind::IntPrecision) {
        if (!WholeArgument(p, arguments[0], starts[0], call.whole)) return false;
    } else if (api::TakesDouble(f->kind)) {
        call.x = &arguments[0];
        call.n = NearestDouble(arguments[1]);
    } else {
        call.x = &arguments[0];
        call.y = &arguments[1];
    }
    return Operate(p, name, call, value);
}

// A number, a function, or a parenthesised sum.
bool Primary(Parser& p, LongNumber& value) {
    const Token t = p.token;
    if (t.kind == TokenKind::Number) {
        Advance(p);
        return ReadNumber(p, t, value);
    }
    if (t.kind == TokenKind::Name) {
        Advance(p);
        return Function(p, t, value);
    }
    if (At(p, "(")) {
        Advance(p);
        if (!Sum(p, value)) return false;
        if (!At(p, ")")) {
            return Mistake(p, p.token.offset, "expected ')' to close the '(' at offset %zu",
                           t.offset);
        }
        Advance(p);
        return true;
    }
    if (t.kind == TokenKind::End) return Mistake(p, t.offset, "the expression ends early");
    return Mistake(p, t.offset, "expected a number, not '%.*s'", Shown(t), p.text + t.offset);
}

bool Signed(Parser& p, LongNumber& value);

// primary [^ signed]: right to left, so 2^3^2 is 2^9.
bool Power(Parser& p, LongNumber& value) {
    if (!Primary(p, value)) return false;
    if (!At(p, "^") && !At(p, "**")) return true;
    const Token op = p.token;
    Advance(p);
    LongNumber exponent;
    if (!Signed(p, exponent)) return false;
    return Binary(p, op, "PowerX_XL", value, exponent);
}

// [+ or -] signed, or a power: -2^2 is -(2^2). Every nested level passes through here.
bool Signed(Parser& p, LongNumber& value) {
    Nesting level(p);
    if (p.depth > kDeepestNesting) {
        return Mistake(p, p.token.offset, "more than %d levels of nesting", kDeepestNesting);
    }
    if (!At(p, "-") && !At(p, "+")) return Power(p, value);
    const bool negate = At(p, "-");
    Advance(p);
    if (!Signed(p, value)) return false;
    if (negate) value.sign = -value.sign;
    return true;
}

// signed {* / % signed}, left to right.
bool Product(Parser& p, LongNumber& value) {
    if (!Signed(p, value)) return false;
    for (;;) {
        const char* function = At(p, "*") ? "Multipl_XL"
                               : At(p, "/") ? "Div_XL"
                               : At(p, "%") ? "Mod_XL"
                                            : nullptr;
        if (function == nullptr) return true;
        const Token op = p.token;
        Advance(p);
        LongNumber right;
        if (!Signed(p, right) || !Binary(p, op, function, value, right)) return false;
    }
}

// product {+ - product}, left to right.
bool Sum(Parser& p, LongNumber& value) {
    if (!Product(p, value)) return false;
    for (;;) {
        const char* function = At(p, "+") ? "Add_XL" : At(p, "-") ? "Subtract_XL" : nullptr;
        if (function == nullptr) return true;
        const Token op = p.token;
        Advance(p);
        LongNumber right;
        if (!Product(p, right) || !Binary(p, op, function, value, right)) return false;
    }
}

}  // namespace

int EvaluateExpression(const char* expression, int32_t precision, const OutputStyle& style) {
    Parser p{expression, precision, style, Scan(expression, 0)};
    if (p.token.kind == TokenKind::End) {
        Mistake(p, p.token.offset, "empty expression");
        return p.status;
    }
    LongNumber value;
    if (!Sum(p, value)) return p.status;
    if (p.token.kind != TokenKind::End) {
        Mistake(p, p.token.offset, "expected an operator, not '%.*s'", Shown(p.token),
                p.text + p.token.offset);
        return p.status;
    }
    PrintRecord(value, style, precision);
    return kExitOk;
}

}  // namespace ostrel2::calculator

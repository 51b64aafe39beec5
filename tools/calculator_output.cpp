// calculator_output.cpp -- results, messages and usage errors of the ostrel2 program.
#include "tools/calculator_output.h"

#include <errno.h>
#include <iconv.h>

#include <cstring>

namespace ostrel2::calculator {

namespace {

// Writes code page 932 bytes to `out` as UTF-8. A byte sequence that is not code page 932 comes
// out as '?'; without a converter the bytes pass unchanged.
void WriteAsUtf8(const char* bytes, size_t length, FILE* out) {
    iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        std::fwrite(bytes, 1, length, out);
        return;
    }
    char* from = const_cast<char*>(bytes);
    size_t left = length;
    char output[1024];
    while (left > 0) {
        char* to = output;
        size_t room = sizeof output;
        const size_t status = iconv(converter, &from, &left, &to, &room);
        std::fwrite(output, 1, sizeof output - room, out);
        if (status == static_cast<size_t>(-1) && errno != E2BIG) {
            std::fputc('?', out);  // not code page 932, or cut off at the end
            ++from;
            --left;
        }
    }
    iconv_close(converter);
}

}  // namespace

int UsageError(const char* problem, const char* detail) {
    std::fprintf(stderr, "ostrel2: %s: %s (see ostrel2 --help)\n", problem, detail);
    return kExitUsage;
}

void WriteMessages(const Ostrel2Messages& messages, const OutputStyle& style) {
    if (messages.count == 0) return;
    const size_t held = std::strlen(messages.original);
    if (style.japanese && held > 0) {
        WriteAsUtf8(messages.original, held, stderr);
        // The messages of the pi iteration end without a line feed.
        if (messages.original[held - 1] != '\n') std::fputc('\n', stderr);
    } else {
        std::fputs(messages.english, stderr);
    }
    std::fflush(stderr);
}

// Rounded text shows the digits of the precision asked for: a result may carry more limbs than
// that (products and quotients keep at least 5), but only the limbs of the arguments' precision
// are promised, so the digits beyond them are rounded away. --all shows every live limb of the
// record as it is.
void PrintRecord(const LongNumber& x, const OutputStyle& style, int32_t asked) {
    char text[text::kTextCapacity];
    LongNumber shown = x;
    if (style.mode == text::FormatMode::Rounded && shown.precision > asked) shown.precision = asked;
    if (text::Format(shown, style.mode, text, sizeof text) == text::FormatStatus::Ok) {
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

void PrintErrorValue(const LongNumber& x) {
    std::fprintf(stderr, "error: %ld\n", static_cast<long>(x.error));
}

}  // namespace ostrel2::calculator

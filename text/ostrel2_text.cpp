// ostrel2_text.cpp -- the C companion library: decimal text <-> records for C callers, over the
// C++ helpers of decimal_text.h, and the exports computed with their messages caught
// (caught_call.h).
#include "ostrel2_text.h"

#include "text/caught_call.h"
#include "text/decimal_text.h"

#ifndef OSTREL2_PACKAGE_VERSION
#error "OSTREL2_PACKAGE_VERSION is set by the build from the file VERSION"
#endif

namespace {

using ostrel2::text::FormatMode;
using ostrel2::text::FormatStatus;
using ostrel2::text::ParseStatus;

static_assert(OSTREL2_TEXT_CAPACITY == ostrel2::text::kTextCapacity, "one text capacity");

// The C codes of the parse statuses, in the order of ParseStatus.
constexpr int kParseCodes[] = {
    OSTREL2_TEXT_OK,           OSTREL2_TEXT_EMPTY,          OSTREL2_TEXT_NO_DIGITS,
    OSTREL2_TEXT_BAD_CHARACTER, OSTREL2_TEXT_EXPONENT_NO_DIGITS, OSTREL2_TEXT_EXPONENT_RANGE,
    OSTREL2_TEXT_PRECISION_RANGE,
};
static_assert(static_cast<int>(ParseStatus::PrecisionRange) + 1 ==
                  sizeof kParseCodes / sizeof kParseCodes[0],
              "every parse status has its C code");

int FormatCode(FormatStatus status) {
    switch (status) {
        case FormatStatus::Ok: return OSTREL2_TEXT_OK;
        case FormatStatus::NotWellFormed: return OSTREL2_TEXT_NOT_WELL_FORMED;
        case FormatStatus::BufferTooSmall: return OSTREL2_TEXT_BUFFER_TOO_SMALL;
    }
    return OSTREL2_TEXT_NOT_WELL_FORMED;
}

}  // namespace

extern "C" {

int ostrel2_text_parse(const char* text, int32_t precision, LongNumber* record, int* inexact,
                       size_t* bad_offset) {
    bool cut = false;
    const ParseStatus status = ostrel2::text::Parse(text, precision, *record, &cut, bad_offset);
    if (status == ParseStatus::Ok && inexact != nullptr) *inexact = cut ? 1 : 0;
    return kParseCodes[static_cast<int>(status)];
}

int ostrel2_text_format(const LongNumber* record, int mode, char* buffer, size_t capacity) {
    if (buffer == nullptr) return OSTREL2_TEXT_BUFFER_TOO_SMALL;
    if (mode != OSTREL2_TEXT_ROUNDED && mode != OSTREL2_TEXT_ALL_LIMBS) {
        if (capacity > 0) buffer[0] = '\0';
        return OSTREL2_TEXT_NOT_WELL_FORMED;
    }
    const FormatMode how = mode == OSTREL2_TEXT_ALL_LIMBS ? FormatMode::AllLimbs : FormatMode::Rounded;
    return FormatCode(ostrel2::text::Format(*record, how, buffer, capacity));
}

const char* ostrel2_text_status_message(int status) {
    switch (status) {
        case OSTREL2_TEXT_NOT_WELL_FORMED: return "record without decimal text";
        case OSTREL2_TEXT_BUFFER_TOO_SMALL: return "buffer too small for the text";
        default: break;
    }
    for (int k = 0; k < static_cast<int>(sizeof kParseCodes / sizeof kParseCodes[0]); ++k) {
        if (kParseCodes[k] == status) return ostrel2::text::ParseStatusText(static_cast<ParseStatus>(k));
    }
    return "unknown status";
}

int ostrel2_text_call(const Ostrel2Call* call, Ostrel2Messages* messages) {
    ostrel2::MessageSink sink;
    if (messages != nullptr) {
        messages->count = 0;
        messages->printed = 0;
        messages->original[0] = '\0';
        messages->english[0] = '\0';
        sink.original = messages->original;
        sink.originalCapacity = sizeof messages->original;
        sink.english = messages->english;
        sink.englishCapacity = sizeof messages->english;
    }
    if (call == nullptr) return -1;
    const ostrel2::text::CaughtExport* f = ostrel2::text::FindCaughtExport(call->function);
    if (f == nullptr) return -1;
    ostrel2::api::Arguments a;
    a.result = call->result;
    a.x = call->x;
    a.y = call->y;
    a.n = call->n;
    // f(precision) or f(n, precision), as the export table's kinds take them.
    a.first = f->kind == ostrel2::api::Kind::IntPrecision ? call->whole : call->precision;
    a.second = call->precision;
    if (!ostrel2::text::ArgumentsComplete(*f, a)) return -1;
    ostrel2::text::CallCaught(*f, a, sink);
    if (messages != nullptr) {
        messages->count = sink.count;
        messages->printed = sink.originalLength;
    }
    return sink.count;
}

const char* ostrel2_text_version(void) { return OSTREL2_PACKAGE_VERSION; }

}  // extern "C"

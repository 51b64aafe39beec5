// ostrel2_text.cpp -- the C companion library: decimal text <-> records for C callers, over the
// C++ helpers of decimal_text.h.
#include "ostrel2_text.h"

#include <cstdio>
#include <mutex>

#include "text/decimal_text.h"
#include "text/output_capture.h"

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

using RecordFn = LongNumber*(OSTREL2_CALL*)(LongNumber*, const LongNumber*);
using TwoRecordsFn = LongNumber*(OSTREL2_CALL*)(LongNumber*, LongNumber*, LongNumber*);
using RecordAndDoubleFn = LongNumber*(OSTREL2_CALL*)(LongNumber*, const LongNumber*, double);
using PrecisionFn = LongNumber*(OSTREL2_CALL*)(LongNumber*, int32_t);
using IntegerAndPrecisionFn = LongNumber*(OSTREL2_CALL*)(LongNumber*, int32_t, int32_t);

// Whether the call names a function and every record its kind reads.
bool Complete(const Ostrel2Call& call) {
    if (call.function == nullptr || call.result == nullptr) return false;
    switch (call.kind) {
        case OSTREL2_CALL_RECORD:
        case OSTREL2_CALL_RECORD_AND_DOUBLE: return call.x != nullptr;
        case OSTREL2_CALL_TWO_RECORDS: return call.x != nullptr && call.y != nullptr;
        case OSTREL2_CALL_PRECISION:
        case OSTREL2_CALL_INTEGER_AND_PRECISION: return true;
        default: return false;
    }
}

void Invoke(const Ostrel2Call& call) {
    switch (call.kind) {
        case OSTREL2_CALL_RECORD:
            reinterpret_cast<RecordFn>(call.function)(call.result, call.x);
            break;
        case OSTREL2_CALL_TWO_RECORDS:
            reinterpret_cast<TwoRecordsFn>(call.function)(call.result, call.x, call.y);
            break;
        case OSTREL2_CALL_RECORD_AND_DOUBLE:
            reinterpret_cast<RecordAndDoubleFn>(call.function)(call.result, call.x, call.n);
            break;
        case OSTREL2_CALL_PRECISION:
            reinterpret_cast<PrecisionFn>(call.function)(call.result, call.precision);
            break;
        case OSTREL2_CALL_INTEGER_AND_PRECISION:
            reinterpret_cast<IntegerAndPrecisionFn>(call.function)(call.result, call.whole,
                                                                   call.precision);
            break;
        default: break;
    }
}

// Descriptor 1 is one per process: one caught call at a time, each into the same private file,
// emptied before every call.
std::mutex captureLock;
std::FILE* captureFile = nullptr;

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

long ostrel2_text_call(const Ostrel2Call* call, char* message, size_t capacity) {
    if (message != nullptr && capacity > 0) message[0] = '\0';
    if (call == nullptr || !Complete(*call)) return -1;
    std::lock_guard<std::mutex> hold(captureLock);
    if (captureFile == nullptr) captureFile = ostrel2::text::OpenCaptureFile();
    ostrel2::text::OutputCapture capture;
    const bool caught = ostrel2::text::BeginCapture(capture, captureFile);
    Invoke(*call);
    if (!caught) return 0;
    ostrel2::text::EndCapture(capture);
    long printed = 0;
    for (int c; (c = std::fgetc(captureFile)) != EOF; ++printed) {
        if (message != nullptr && static_cast<size_t>(printed) + 1 < capacity) {
            message[printed] = static_cast<char>(c);
            message[printed + 1] = '\0';
        }
    }
    return printed;
}

const char* ostrel2_text_version(void) { return OSTREL2_PACKAGE_VERSION; }

}  // extern "C"

// decimal_text.h -- decimal text to boundary records and back, for the program, tests and benchmarks.
//
// Parse reads "[+-]digits[.digits][e[+-]digits]" (also "+.5", "7.", "1E-3") into a canonical
// LongNumber of a chosen precision p. The record holds p + 4 live limbs of ten digits, but a
// LongNumber has only 306 slots, so at precision 303 the last live limb (slot 306) does not
// exist: Parse fills min(p + 4, 306) limbs. Digits beyond those limbs are truncated toward zero
// (the same direction as the library's own limb arithmetic) and Parse says so in `inexact`.
//
// Format writes a record as decimal text: by default the 10 x precision significant digits the
// record promises, as the whole limbs from its leading non-zero limb that hold them (`precision`
// limbs, one more when the leading limb has fewer than ten digits), rounded half-even on the rest
// of the live limbs; on request every live limb exactly. Trailing zeros are dropped; the value zero
// is "0"; the form is positional ("123.45", "0.00012", "1200000000000000000000") unless that would
// need more than 20 zeros after the digits up to the point, a zero there in place of a digit
// rounded away, or more than 6 zeros between the point and the digits; then it is scientific
// ("1.5e-300", "1e30", "1e-8", "1.234567890123456789012345678901234567890123456789e59"). A
// record's error field does not change what Format writes. Nothing is allocated; no exceptions.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ostrel2.h"

namespace ostrel2::text {

enum class ParseStatus {
    Ok,
    Empty,              // no text at all
    NoDigits,           // a sign or point without any digit in the number
    BadCharacter,       // a character that does not belong to a decimal number
    ExponentNoDigits,   // "e" not followed by digits
    ExponentRange,      // the value's exponent lies outside +-2,147,000,000
    PrecisionRange,     // precision outside 1 .. 303
};

// A short English description of a status, e.g. "unexpected character".
const char* ParseStatusText(ParseStatus status);

// Parses text into record at the given precision. On success the record is canonical with error 0
// and slots beyond its live limbs 0; inexact (if given) tells whether non-zero digits were cut off.
// `badOffset` (if given) receives the offset of the offending character on failure. On failure the
// record is left untouched.
ParseStatus Parse(const char* text, int32_t precision, LongNumber& record, bool* inexact = nullptr,
                  std::size_t* badOffset = nullptr);

enum class FormatMode {
    Rounded,   // the promised significant digits, rounded half-even on the rest
    AllLimbs,  // every live limb, exactly
};

enum class FormatStatus {
    Ok,
    NotWellFormed,   // sign not -1/0/1, precision outside 1 .. 303, or a live limb that is not a
                     // whole number in [0, 10^10); such a record has no decimal text
    BufferTooSmall,  // capacity below what the text needs (kTextCapacity is always enough)
};

// Room enough for the text of any well-formed record, terminating NUL included.
constexpr std::size_t kTextCapacity = 3200;

// Writes the text of record into buffer (NUL-terminated). On failure buffer holds "".
FormatStatus Format(const LongNumber& record, FormatMode mode, char* buffer, std::size_t capacity);

}  // namespace ostrel2::text

// decimal_text.cpp -- parsing of decimal text into records and formatting of records as text.
#include "text/decimal_text.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/long_number.h"

namespace ostrel2::text {

namespace {

constexpr int32_t kMaxPrecision = OSTREL2_MAX_PRECISION;
constexpr int kSlots = OSTREL2_LIMB_SLOTS;             // limb slots of a boundary record
constexpr int kDigitsPerLimb = 10;
constexpr int kMaxDigits = kSlots * kDigitsPerLimb;    // most digits a record can hold
constexpr double kLimbBase = 1e10;
// Largest exponent of a record the library takes: the entry points accept -2,147,000,000 ..
// 2,147,000,000 and compute with any exponent in between.
constexpr int64_t kExponentLimit = 2147000000;
constexpr int32_t kZeroExponent = -2100000000;         // exponent of the value zero
constexpr int64_t kExponentCap = 10000000000000LL;     // written exponents saturate here
constexpr int64_t kMostPaddingBeforePoint = 20;        // "1e20", "1.2e21" are still positional
constexpr int64_t kMostZerosAfterPoint = 6;            // "0.0000001" is still positional

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// floor(a / b) for b > 0.
int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

void ClearRecord(LongNumber& record, int32_t precision) {
    std::memset(&record, 0, sizeof record);
    record.precision = precision;
}

// A bounded writer: remembers when the text would not fit.
struct Writer {
    char* buffer;
    std::size_t capacity;
    std::size_t length;
    bool overflow;

    void Put(char c) {
        if (length + 1 < capacity) {
            buffer[length++] = c;
        } else {
            overflow = true;
        }
    }
    void Put(const char* s, std::size_t n) {
        for (std::size_t k = 0; k < n; ++k) Put(s[k]);
    }
    void Repeat(char c, int64_t n) {
        for (int64_t k = 0; k < n && !overflow; ++k) Put(c);
    }
};

}  // namespace

const char* ParseStatusText(ParseStatus status) {
    switch (status) {
        case ParseStatus::Ok: return "ok";
        case ParseStatus::Empty: return "empty number";
        case ParseStatus::NoDigits: return "number without digits";
        case ParseStatus::BadCharacter: return "unexpected character in number";
        case ParseStatus::ExponentNoDigits: return "exponent without digits";
        case ParseStatus::ExponentRange: return "exponent out of range (beyond 10^+-2147000000)";
        case ParseStatus::PrecisionRange: return "precision out of range 1 .. 303";
    }
    return "unknown status";
}

// Scans the text once. Significant digits (from the first non-zero one) are kept up to what the
// largest record can hold; beyond that only whether a non-zero digit was seen is remembered.
// The first significant digit has the decimal exponent E = (digits before the point) - 1 -
// (index of that digit) + (written exponent); the record's exponent is E rounded down to a
// multiple of 10, so limb 0 takes the first E - exponent + 1 digits and every further limb ten.
ParseStatus Parse(const char* text, int32_t precision, LongNumber& record, bool* inexact,
                  std::size_t* badOffset) {
    if (precision < 1 || precision > kMaxPrecision) return ParseStatus::PrecisionRange;
    if (text == nullptr || text[0] == '\0') {
        if (badOffset != nullptr) *badOffset = 0;
        return ParseStatus::Empty;
    }
    std::size_t i = 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';

    char digits[kMaxDigits];
    int kept = 0;
    bool droppedNonZero = false;
    int64_t mantissaDigits = 0;
    int64_t beforePoint = -1;
    int64_t firstNonZero = -1;
    for (;; ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            if (firstNonZero < 0 && c != '0') firstNonZero = mantissaDigits;
            if (firstNonZero >= 0) {
                if (kept < kMaxDigits) {
                    digits[kept++] = c;
                } else if (c != '0') {
                    droppedNonZero = true;
                }
            }
            ++mantissaDigits;
        } else if (c == '.' && beforePoint < 0) {
            beforePoint = mantissaDigits;
        } else {
            break;
        }
    }
    if (beforePoint < 0) beforePoint = mantissaDigits;
    if (mantissaDigits == 0) {
        if (badOffset != nullptr) *badOffset = i;
        const char c = text[i];
        return (c == '\0' || c == 'e' || c == 'E') ? ParseStatus::NoDigits
                                                   : ParseStatus::BadCharacter;
    }

    int64_t written = 0;
    if (text[i] == 'e' || text[i] == 'E') {
        ++i;
        bool exponentNegative = false;
        if (text[i] == '+' || text[i] == '-') exponentNegative = text[i++] == '-';
        if (!IsDigit(text[i])) {
            if (badOffset != nullptr) *badOffset = i;
            return ParseStatus::ExponentNoDigits;
        }
        for (; IsDigit(text[i]); ++i) {
            written = written * 10 + (text[i] - '0');
            if (written > kExponentCap) written = kExponentCap;
        }
        if (exponentNegative) written = -written;
    }
    if (text[i] != '\0') {
        if (badOffset != nullptr) *badOffset = i;
        return ParseStatus::BadCharacter;
    }

    if (firstNonZero < 0) {  // "0", "-0.000", "0e99": the canonical zero
        ClearRecord(record, precision);
        record.exponent = kZeroExponent;
        if (inexact != nullptr) *inexact = false;
        return ParseStatus::Ok;
    }

    const int64_t leadExponent = beforePoint - 1 - firstNonZero + written;
    const int64_t exponent = FloorDiv(leadExponent, kDigitsPerLimb) * kDigitsPerLimb;
    if (exponent > kExponentLimit || exponent < -kExponentLimit) {
        if (badOffset != nullptr) *badOffset = 0;
        return ParseStatus::ExponentRange;
    }
    // Digit j of the kept digits lands at position j + offset of the run of limbs, limb k
    // covering positions 10k .. 10k + 9; the first limb's leading positions stay zero.
    const int offset = kDigitsPerLimb - static_cast<int>(leadExponent - exponent + 1);
    const int slots = LiveSlots(precision);
    const int capacity = slots * kDigitsPerLimb - offset;

    ClearRecord(record, precision);
    record.sign = negative ? -1 : 1;
    record.exponent = static_cast<int32_t>(exponent);
    for (int j = 0; j < kept && j < capacity; ++j) {
        const int position = j + offset;
        double& limb = record.limbs[position / kDigitsPerLimb];
        limb = limb * 10 + (digits[j] - '0');
    }
    // Limbs whose last digits were not given still need their place values.
    const int lastPosition = (kept < capacity ? kept : capacity) + offset - 1;
    for (int position = lastPosition + 1; position % kDigitsPerLimb != 0; ++position) {
        record.limbs[position / kDigitsPerLimb] *= 10;
    }
    bool cut = droppedNonZero;
    for (int j = capacity; j < kept && !cut; ++j) cut = digits[j] != '0';
    if (inexact != nullptr) *inexact = cut;
    return ParseStatus::Ok;
}

// The digits shown are those of the limbs from the leading non-zero limb on: the whole limbs that
// hold the 10 x precision significant digits the record promises, rounded half-even on the rest of
// the live limbs (Rounded), or all of them (AllLimbs). A leading limb of fewer than ten digits
// leaves the `precision` limbs it starts short of that, so one more limb is shown then. A spare
// '0' ahead of them takes the carry when rounding turns 9...9 into 10...0.
FormatStatus Format(const LongNumber& record, FormatMode mode, char* buffer,
                    std::size_t capacity) {
    if (capacity > 0) buffer[0] = '\0';
    const int32_t precision = record.precision;
    if (precision < 1 || precision > kMaxPrecision) return FormatStatus::NotWellFormed;
    if (record.sign < -1 || record.sign > 1) return FormatStatus::NotWellFormed;
    Writer out{buffer, capacity, 0, false};
    auto finish = [&]() {
        if (capacity > 0) buffer[out.overflow ? 0 : out.length] = '\0';
        return out.overflow || capacity == 0 ? FormatStatus::BufferTooSmall : FormatStatus::Ok;
    };

    const int slots = LiveSlots(precision);
    int leading = -1;
    if (record.sign != 0) {
        for (int k = 0; k < slots; ++k) {
            const double limb = record.limbs[k];
            if (!(limb >= 0.0 && limb < kLimbBase) || std::floor(limb) != limb) {
                return FormatStatus::NotWellFormed;
            }
            if (leading < 0 && limb != 0.0) leading = k;
        }
    }
    if (leading < 0) {  // sign 0, or a signed record whose live limbs are all 0
        out.Put('0');
        return finish();
    }

    constexpr double kFullLimb = kLimbBase / 10;  // a limb of ten digits is at least this
    const int promised = precision + (record.limbs[leading] < kFullLimb ? 1 : 0);
    const int end = (mode == FormatMode::Rounded && leading + promised < slots)
                        ? leading + promised
                        : slots;
    // A non-zero digit beyond the shown limbs is rounded away: no zero may stand in its place.
    bool dropped = false;
    for (int k = end; k < slots; ++k) dropped = dropped || record.limbs[k] != 0.0;
    char digits[1 + kMaxDigits];
    int count = 0;
    digits[count++] = '0';
    for (int k = leading; k < end; ++k) {
        auto value = static_cast<uint64_t>(record.limbs[k]);
        for (int d = kDigitsPerLimb - 1; d >= 0; --d) {
            digits[count + d] = static_cast<char>('0' + value % 10);
            value /= 10;
        }
        count += kDigitsPerLimb;
    }
    // Decimal exponent of digits[0], the spare position.
    const int64_t spareExponent =
        static_cast<int64_t>(record.exponent) - int64_t{kDigitsPerLimb} * leading + 9 + 1;

    if (dropped) {
        const double half = kLimbBase / 2;
        const double next = record.limbs[end];
        bool up = next > half;
        if (next == half) {
            bool beyond = false;
            for (int k = end + 1; k < slots; ++k) beyond = beyond || record.limbs[k] != 0.0;
            up = beyond || ((digits[count - 1] - '0') % 2 == 1);
        }
        for (int k = count - 1; up && k >= 0; --k) {
            if (digits[k] == '9') {
                digits[k] = '0';
            } else {
                ++digits[k];
                up = false;
            }
        }
    }

    int first = 0;
    while (digits[first] == '0') ++first;  // a non-zero digit exists: leading limb is non-zero
    int last = count - 1;
    while (digits[last] == '0') --last;
    const char* run = digits + first;
    const int64_t n = last - first + 1;
    const int64_t e = spareExponent - first;  // exponent of run[0]

    if (record.sign < 0) out.Put('-');
    // Positional unless more than 20 zeros would pad the digits up to the point, or a zero there
    // would stand in place of a digit rounded away, or more than 6 zeros would stand between the
    // point and the digits.
    const int64_t padding = e + 1 - n;
    const int64_t lastShown = spareExponent - (count - 1);  // exponent of the last digit kept
    const bool padOnlyZeros = !dropped || lastShown <= 0;
    const bool positional = e >= 0 ? padding <= 0 || (padding <= kMostPaddingBeforePoint && padOnlyZeros)
                                   : e >= -(kMostZerosAfterPoint + 1);
    if (positional) {
        if (e >= 0) {
            const int64_t whole = e + 1;
            if (n <= whole) {
                out.Put(run, static_cast<std::size_t>(n));
                out.Repeat('0', whole - n);
            } else {
                out.Put(run, static_cast<std::size_t>(whole));
                out.Put('.');
                out.Put(run + whole, static_cast<std::size_t>(n - whole));
            }
        } else {
            out.Put("0.", 2);
            out.Repeat('0', -e - 1);
            out.Put(run, static_cast<std::size_t>(n));
        }
    } else {
        out.Put(run[0]);
        if (n > 1) {
            out.Put('.');
            out.Put(run + 1, static_cast<std::size_t>(n - 1));
        }
        char exponentText[32];
        const int length = std::snprintf(exponentText, sizeof exponentText, "e%lld",
                                         static_cast<long long>(e));
        out.Put(exponentText, static_cast<std::size_t>(length));
    }
    return finish();
}

}  // namespace ostrel2::text

// record_codec.h -- fuzz input bytes to argument records and plain values, and back.
//
// A record is coded compactly so that a mutation of a few bytes changes its sign, exponent,
// precision, error or one limb, rather than spreading 2,464 random bytes over it:
//
//   form      1 byte   bits 0-1 sign (+1, -1, 0, or a raw signed byte that follows),
//                      bit 2 error is a raw signed 32-bit value that follows (else 0),
//                      bit 3 exponent is a raw signed 32-bit value (else 10 * a signed 16-bit one),
//                      bit 4 limbs past the coded ones repeat them (else they are 0),
//                      bit 5 slots beyond the live limbs hold a NaN pattern (else 0)
//   [sign]    1 byte   when the sign bits are 3
//   exponent  2 or 4 bytes
//   precision 2 bytes  (value mod 312) - 4, so -4 .. 307: both sides of the accepted range
//   [error]   4 bytes
//   count     1 byte   coded limbs, mod 64
//   limbs     per limb a tag byte: tag mod 4 = 0: 5 bytes, a whole number mod 10^10;
//                      1: 8 raw bytes of a double; 2: the whole number tag / 4;
//                      3: one of the special values below, chosen by tag / 4
//
// Input that runs out reads as zero bytes, so every input decodes.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "ostrel2.h"

namespace ostrel2_robust {

inline constexpr double kSpecialLimbs[] = {
    9999999999.0, 1e10, -1.0, 0.5, 1e16, -1e300, 1e300,
    std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(), 4503599627370497.0, -9999999999.0,
};
inline constexpr int kSpecialCount = sizeof kSpecialLimbs / sizeof kSpecialLimbs[0];

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }
    uint64_t Unsigned(int bytes) {
        uint64_t v = 0;
        for (int k = 0; k < bytes; ++k) v |= static_cast<uint64_t>(Byte()) << (8 * k);
        return v;
    }
    int32_t Int32() { return static_cast<int32_t>(static_cast<uint32_t>(Unsigned(4))); }
    int16_t Int16() { return static_cast<int16_t>(static_cast<uint16_t>(Unsigned(2))); }
    double Double() {
        const uint64_t bits = Unsigned(8);
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

// Fills *out whole from the coded form.
inline void DecodeRecord(ByteReader& in, LongNumber* out) {
    LongNumber r;
    std::memset(&r, 0, sizeof r);
    const uint8_t form = in.Byte();
    const int signBits = form & 3;
    r.sign = signBits == 0 ? 1 : signBits == 1 ? -1 : signBits == 2 ? 0
                                                 : static_cast<int8_t>(in.Byte());
    r.exponent = (form & 8) ? in.Int32() : 10 * static_cast<int32_t>(in.Int16());
    r.precision = static_cast<int32_t>(in.Unsigned(2) % 312) - 4;
    r.error = (form & 4) ? in.Int32() : 0;
    const int count = in.Byte() % 64;
    double coded[64];
    for (int k = 0; k < count; ++k) {
        const uint8_t tag = in.Byte();
        switch (tag & 3) {
            case 0: coded[k] = static_cast<double>(in.Unsigned(5) % 10000000000ull); break;
            case 1: coded[k] = in.Double(); break;
            case 2: coded[k] = static_cast<double>(tag >> 2); break;
            default: coded[k] = kSpecialLimbs[(tag >> 2) % kSpecialCount]; break;
        }
    }
    const int live = r.precision + 4;
    for (int k = 0; k < OSTREL2_LIMB_SLOTS; ++k) {
        if (k >= live && (form & 32)) {
            const uint64_t pattern = 0x7FF8DEADBEEF0000ull | static_cast<uint64_t>(k);
            std::memcpy(&r.limbs[k], &pattern, sizeof pattern);
        } else if (k < count) {
            r.limbs[k] = coded[k];
        } else if ((form & 16) && count > 0) {
            r.limbs[k] = coded[k % count];
        }
    }
    std::memcpy(out, &r, sizeof r);
}

// The double argument: tag mod 3 = 0: a signed byte; 1: 8 raw bytes; 2: a signed 16-bit / 4.
inline double DecodeDouble(ByteReader& in) {
    const uint8_t tag = in.Byte();
    switch (tag % 3) {
        case 0: return static_cast<int8_t>(in.Byte());
        case 1: return in.Double();
        default: return in.Int16() / 4.0;
    }
}

// An int argument: tag even: (16-bit value mod 330) - 10; odd: 4 raw bytes.
inline int32_t DecodeInt(ByteReader& in) {
    const uint8_t tag = in.Byte();
    if (tag & 1) return in.Int32();
    return static_cast<int32_t>(in.Unsigned(2) % 330) - 10;
}

// The coder's inverse, for the seed corpus.
class ByteWriter {
public:
    void Byte(uint8_t b) { bytes.push_back(b); }
    void Unsigned(uint64_t v, int count) {
        for (int k = 0; k < count; ++k) Byte(static_cast<uint8_t>(v >> (8 * k)));
    }
    void Double(double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof v);
        Unsigned(bits, 8);
    }
    std::vector<uint8_t> bytes;
};

struct RecordSeed {
    int32_t sign = 1;
    int32_t exponent = 0;       // coded as exponent / 10 when a multiple of 10 in range
    int32_t precision = 5;      // -4 .. 307
    int32_t error = 0;
    std::vector<double> limbs;  // whole numbers below 10^10 coded exactly, others raw
    bool repeat = false;        // limbs past the coded ones repeat them
    bool garbageTail = false;   // NaN pattern beyond the live limbs
};

inline void EncodeRecord(ByteWriter& out, const RecordSeed& s) {
    const bool rawExponent = s.exponent % 10 != 0 || s.exponent / 10 > 32767 ||
                             s.exponent / 10 < -32768;
    int signBits = s.sign == 1 ? 0 : s.sign == -1 ? 1 : s.sign == 0 ? 2 : 3;
    uint8_t form = static_cast<uint8_t>(signBits | (s.error != 0 ? 4 : 0) | (rawExponent ? 8 : 0) |
                                        (s.repeat ? 16 : 0) | (s.garbageTail ? 32 : 0));
    out.Byte(form);
    if (signBits == 3) out.Byte(static_cast<uint8_t>(s.sign));
    if (rawExponent) {
        out.Unsigned(static_cast<uint32_t>(s.exponent), 4);
    } else {
        out.Unsigned(static_cast<uint16_t>(static_cast<int16_t>(s.exponent / 10)), 2);
    }
    out.Unsigned(static_cast<uint16_t>(s.precision + 4), 2);
    if (s.error != 0) out.Unsigned(static_cast<uint32_t>(s.error), 4);
    const size_t count = s.limbs.size() < 63 ? s.limbs.size() : 63;
    out.Byte(static_cast<uint8_t>(count));
    for (size_t k = 0; k < count; ++k) {
        const double v = s.limbs[k];
        if (v >= 0 && v < 1e10 && v == std::floor(v)) {
            out.Byte(0);
            out.Unsigned(static_cast<uint64_t>(v), 5);
        } else {
            out.Byte(1);
            out.Double(v);
        }
    }
}

inline void EncodeDouble(ByteWriter& out, double v) {
    out.Byte(1);
    out.Double(v);
}

inline void EncodeInt(ByteWriter& out, int32_t v) {
    out.Byte(1);
    out.Unsigned(static_cast<uint32_t>(v), 4);
}

}  // namespace ostrel2_robust

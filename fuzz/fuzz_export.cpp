// fuzz_export.cpp -- the fuzz target of one export, chosen at build time by OSTREL2_FUZZ_EXPORT.
//
// The input decodes into the export's argument records and plain values (record_codec.h). The
// records sit at addresses that are 4 but not 8 bytes aligned, as a caller's records may. After
// the call the target checks what must hold for any input whatever: the argument records are
// byte for byte as they were (LCM_XL may write its cofactors into them), the result has a precision from 1
// to 303 and finite live limbs, and Version_XL answers its number. Crashes, sanitizer reports,
// failed checks and slow calls (libFuzzer's -timeout) are findings.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "api/export_kinds.h"
#include "record_codec.h"

#ifndef OSTREL2_FUZZ_EXPORT
#error "OSTREL2_FUZZ_EXPORT names the export to fuzz"
#endif

namespace {

using namespace ostrel2_robust;
using namespace ostrel2::api;

const Export& Target() {
    static const Export* found = [] {
        for (const Export& e : kExports) {
            if (std::strcmp(e.name, OSTREL2_FUZZ_EXPORT) == 0) return &e;
        }
        std::fprintf(stderr, "no export named %s\n", OSTREL2_FUZZ_EXPORT);
        std::abort();
    }();
    return *found;
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "%s: %s\n", OSTREL2_FUZZ_EXPORT, what);
    std::abort();
}

// A dear export (api/export_table.h) takes up to seconds for one call at precision 303, several
// times that under the sanitizers: its argument records' accepted precisions above this fold
// back into 1 .. kDearPrecisionLimit, where a call takes a fraction of a second even on wild
// limbs, so that the fuzzer spends its time on many inputs and a slow unit means a fault. The
// refused precisions stay as they are.
constexpr int32_t kDearPrecisionLimit = 30;

void DecodeArgument(ByteReader& in, LongNumber* at, bool dear) {
    DecodeRecord(in, at);
    if (!dear) return;
    unsigned char* field = reinterpret_cast<unsigned char*>(at) + offsetof(LongNumber, precision);
    int32_t precision;
    std::memcpy(&precision, field, sizeof precision);
    if (precision > kDearPrecisionLimit && precision <= OSTREL2_MAX_PRECISION) {
        precision = 1 + (precision - 1) % kDearPrecisionLimit;
        std::memcpy(field, &precision, sizeof precision);
    }
}

// Three records at offset 4 of an 8-byte aligned buffer.
struct Frame {
    alignas(8) unsigned char bytes[3 * sizeof(LongNumber) + 8];
    LongNumber* At(int k) {
        return reinterpret_cast<LongNumber*>(bytes + 4 + k * sizeof(LongNumber));
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Export& e = Target();
    ByteReader in(data, size);
    Frame frame;
    std::memset(frame.bytes, 0xA5, sizeof frame.bytes);
    Arguments a;
    a.result = frame.At(0);
    a.x = frame.At(1);
    a.y = frame.At(2);
    const int records = RecordCount(e.kind);
    const bool dear = e.cost == Cost::Dear;
    if (records >= 1) DecodeArgument(in, a.x, dear);
    if (records >= 2) DecodeArgument(in, a.y, dear);
    if (TakesDouble(e.kind)) a.n = DecodeDouble(in);
    if (IntCount(e.kind) >= 1) a.first = DecodeInt(in);
    if (IntCount(e.kind) >= 2) a.second = DecodeInt(in);

    LongNumber x0;
    LongNumber y0;
    std::memcpy(&x0, a.x, sizeof x0);
    std::memcpy(&y0, a.y, sizeof y0);

    e.invoke(a);

    if (e.kind == Kind::Version) {
        if (a.version != OSTREL2_VERSION) Fail("wrong version number");
        return 0;
    }
    LongNumber r;
    std::memcpy(&r, a.result, sizeof r);
    if (e.kind != Kind::Cofactors) {
        if (std::memcmp(&x0, a.x, sizeof x0) != 0) Fail("argument x changed");
        if (std::memcmp(&y0, a.y, sizeof y0) != 0) Fail("argument y changed");
    }
    if (r.precision < 1 || r.precision > OSTREL2_MAX_PRECISION) Fail("result precision out of range");
    const int live = r.precision + 4 < OSTREL2_LIMB_SLOTS ? r.precision + 4 : OSTREL2_LIMB_SLOTS;
    for (int k = 0; k < live; ++k) {
        if (!std::isfinite(r.limbs[k])) Fail("result limb not finite");
    }
    return 0;
}

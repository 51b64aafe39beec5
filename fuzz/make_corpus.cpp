// make_corpus.cpp -- writes the seed corpus of every fuzz target: canonical values, edge records
// and records that take the error paths, in the coded form of record_codec.h.
//
// Usage: ostrel2_fuzz_corpus <directory>; the seeds of export E go to <directory>/E/.
#include <sys/stat.h>

#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "api/export_kinds.h"
#include "record_codec.h"

namespace {

using namespace ostrel2_robust;
using namespace ostrel2::api;

RecordSeed Number(int32_t sign, int32_t exponent, int32_t precision, std::vector<double> limbs,
                  bool repeat = false) {
    RecordSeed s;
    s.sign = sign;
    s.exponent = exponent;
    s.precision = precision;
    s.limbs = std::move(limbs);
    s.repeat = repeat;
    return s;
}

std::vector<RecordSeed> Seeds() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<RecordSeed> v;
    // Canonical values.
    v.push_back(Number(1, 0, 1, {1}));
    v.push_back(Number(-1, 0, 5, {1, 5000000000}));
    v.push_back(Number(1, 0, 10, {123}));
    v.push_back(Number(1, 10, 5, {1}));
    v.push_back(Number(1, -10, 5, {10000000}));
    v.push_back(Number(0, -2100000000, 5, {}));
    v.push_back(Number(1, 0, 20, {7}));
    v.push_back(Number(1, 0, 20, {2, 5000000000}));
    v.push_back(Number(1, 0, 20, {3, 1415926535, 8979323846, 2643383279}));
    // Every live limb filled, at the largest and a middle precision.
    v.push_back(Number(1, 0, 303, {9999999999}, true));
    v.push_back(Number(-1, 30, 303, {1234567890, 9876543210 % 10000000000, 5555555555}, true));
    v.push_back(Number(1, -20, 150, {3333333333}, true));
    v.push_back(Number(1, 0, 303, {1, 0, 0, 0, 0, 0, 7}, true));
    // Exponent edges.
    v.push_back(Number(1, 2000000000, 5, {1}));
    v.push_back(Number(1, 1999999990, 5, {9999999999, 9999999999}));
    v.push_back(Number(1, -2000000000, 5, {1}));
    v.push_back(Number(1, 1000000000, 5, {3}));
    v.push_back(Number(1, 2147483647, 5, {5}));
    v.push_back(Number(1, -2147483647 - 1, 5, {5}));
    v.push_back(Number(1, 7, 5, {5}));
    v.push_back(Number(1, -3, 5, {5}));
    // Precision edges: the guard refuses 0, negative and 304 up.
    v.push_back(Number(1, 0, 304, {1}));
    v.push_back(Number(1, 0, 0, {1}));
    v.push_back(Number(1, 0, -3, {1}));
    // Non-canonical and hostile limbs.
    v.push_back(Number(1, 0, 5, {0, 0, 42}));
    v.push_back(Number(1, 5, 5, {0.5, 7}));
    v.push_back(Number(1, 1, 5, {-3}));
    v.push_back(Number(1, 0, 5, {1e16}));
    v.push_back(Number(1, 0, 5, {5, -1e300}));
    v.push_back(Number(1, 0, 5, {1.7e308, 1.7e308}));
    v.push_back(Number(1, 0, 5, {1, nan}));
    v.push_back(Number(1, 0, 5, {inf}));
    v.push_back(Number(1, 0, 303, {1e15, 3.5, -2e10}, true));
    RecordSeed tail = Number(1, 0, 5, {2});
    tail.garbageTail = true;
    v.push_back(tail);
    // Errors and garbage signs.
    RecordSeed erred = Number(1, 0, 5, {3});
    erred.error = -1;
    v.push_back(erred);
    erred.error = -2147483647 - 1;
    v.push_back(erred);
    RecordSeed zeroErred = Number(0, -2100000000, 5, {});
    zeroErred.error = -1;
    v.push_back(zeroErred);
    v.push_back(Number(7, 0, 5, {1}));
    v.push_back(Number(-2147483647 - 1, 0, 5, {1}));
    return v;
}

void Write(const std::string& directory, int index, const ByteWriter& w) {
    const std::string path = directory + "/seed-" + std::to_string(index);
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(w.bytes.data(), 1, w.bytes.size(), f);
        std::fclose(f);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    mkdir(root.c_str(), 0777);
    const std::vector<RecordSeed> seeds = Seeds();
    const double doubles[] = {2, 3, 0.5, -2, 0, 1e10, 303, -1e300, 2.5};
    const int32_t ints[] = {20, 303, 304, 0, -1, 1, 400, 2147483647};
    for (const Export& e : kExports) {
        const std::string dir = root + "/" + e.name;
        mkdir(dir.c_str(), 0777);
        int index = 0;
        const int records = RecordCount(e.kind);
        if (records == 0) {
            for (int32_t i : ints) {
                for (int32_t j : ints) {
                    ByteWriter w;
                    EncodeInt(w, i);
                    if (IntCount(e.kind) == 2) EncodeInt(w, j);
                    Write(dir, index++, w);
                    if (IntCount(e.kind) != 2) break;
                }
            }
            continue;
        }
        // Each seed as x (with y = 1 .. and a small double); pairs of a few canonical seeds.
        for (size_t k = 0; k < seeds.size(); ++k) {
            for (size_t m = 0; m < (records == 2 ? seeds.size() : 1); m += (records == 2 ? 5 : 1)) {
                ByteWriter w;
                EncodeRecord(w, seeds[k]);
                if (records == 2) EncodeRecord(w, seeds[(k + m) % seeds.size()]);
                if (TakesDouble(e.kind)) EncodeDouble(w, doubles[k % 9]);
                Write(dir, index++, w);
            }
        }
    }
    return 0;
}

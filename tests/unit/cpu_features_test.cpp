// cpu_features_test.cpp -- the one question asked of the processor: the answer agrees with the
// system's own list of the processor's features, and the two-lane width never runs AVX loops.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "core/cpu_features.h"

namespace ostrel2 {
namespace {

// Whether the first "flags" line of /proc/cpuinfo lists word; false in found where there is none.
bool CpuInfoLists(const std::string& word, bool& found) {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    found = false;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("flags", 0) != 0) continue;
        found = true;
        std::istringstream words(line.substr(line.find(':') + 1));
        std::string listed;
        while (words >> listed)
            if (listed == word) return true;
        return false;
    }
    return false;
}

// Linux lists avx only where the processor has it and the kernel saves the 256-bit registers,
// the same two conditions the library's check asks.
TEST(CpuFeatures, AvxAnswerAgreesWithTheSystemsFeatureList) {
#if OSTREL2_AVX_PATHS && defined(__linux__)
    bool found = false;
    const bool listed = CpuInfoLists("avx", found);
    if (!found) GTEST_SKIP() << "no feature list in /proc/cpuinfo";
    EXPECT_EQ(CpuHasAvx(), listed);
#else
    EXPECT_FALSE(CpuHasAvx()) << "the 256-bit loops are not built here";
#endif
}

// The library runs the widest set unless OSTREL2_KERNELS names a narrower one; the two-lane
// width runs SSE2 loops where they are compiled, and neither it nor the portable one runs AVX.
TEST(CpuFeatures, EachWidthRunsItsOwnLoops) {
    const char* asked = std::getenv("OSTREL2_KERNELS");
    if (asked == nullptr) {
        EXPECT_EQ(LibraryKernelSet(), WidestKernelSet());
    }
    EXPECT_EQ(RunsAvx(VectorWidth::Widest), LibraryKernelSet() == KernelSet::Avx);
    EXPECT_EQ(RunsSse2(VectorWidth::Widest), LibraryKernelSet() != KernelSet::Portable);
    EXPECT_FALSE(RunsAvx(VectorWidth::Narrow));
    EXPECT_EQ(RunsSse2(VectorWidth::Narrow), OSTREL2_SSE2 == 1);
    EXPECT_FALSE(RunsAvx(VectorWidth::Portable));
    EXPECT_FALSE(RunsSse2(VectorWidth::Portable));
}

}  // namespace
}  // namespace ostrel2

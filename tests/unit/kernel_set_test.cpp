// kernel_set_test.cpp -- the engine's dispatch: the one question asked of the processor agrees
// with the system's own list of its features, the library runs the widest set it may, every
// runnable set is found by name, and the record scans Normalize makes give the same answers in
// every set at every count and position (the transforms' and conversions' kernels are compared
// bit for bit in real_dft_test.cpp, multiply_transform_test.cpp and direct_convolution_test.cpp).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "arith/transform/kernel_set.h"

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
TEST(KernelSets, AvxAnswerAgreesWithTheSystemsFeatureList) {
#if OSTREL2_AVX_PATHS && defined(__linux__)
    bool found = false;
    const bool listed = CpuInfoLists("avx", found);
    if (!found) GTEST_SKIP() << "no feature list in /proc/cpuinfo";
    EXPECT_EQ(WidestKernelSet() == KernelSet::Avx, listed);
#else
    EXPECT_NE(WidestKernelSet(), KernelSet::Avx) << "the AVX set is not built here";
#endif
}

// The library runs the widest set unless OSTREL2_KERNELS names a narrower one; the runnable sets
// run from the portable one up to the widest, each found as itself, and a set wider than the
// processor runs falls back to the widest.
TEST(KernelSets, TheLibraryRunsTheWidestSetAndEachRunnableSetIsFound) {
    const char* asked = std::getenv("OSTREL2_KERNELS");
    if (asked == nullptr) {
        EXPECT_EQ(LibraryKernels().set, WidestKernelSet());
    } else if (std::string(asked) == "portable") {
        EXPECT_EQ(LibraryKernels().set, KernelSet::Portable);
    }
    const KernelSetList runnable = RunnableKernelSets();
    ASSERT_GE(runnable.count, 1);
    EXPECT_EQ(runnable.sets[0], KernelSet::Portable);
    EXPECT_EQ(runnable.sets[runnable.count - 1], WidestKernelSet());
    for (KernelSet set : runnable) EXPECT_EQ(KernelsFor(set).set, set) << KernelSetName(set);
    EXPECT_EQ(KernelsFor(KernelSet::Avx).set, WidestKernelSet());
#if defined(__SSE2__) || defined(_M_X64)
    EXPECT_GE(runnable.count, 2) << "the SSE2 set is built wherever the compiler targets SSE2";
#endif
}

// Whether a limb needs a carry (at least the bound) and whether all are finite, for every count
// up to 9 and the odd limb at every position: the answer must not depend on which register, or
// which tail, holds it.
TEST(KernelSets, RecordScansGiveTheSameAnswersInEverySet) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double bound = 1e10;
    struct Odd {
        double value;
        bool atLeast, finite;
    };
    const Odd odds[] = {{bound, true, true}, {3e15, true, true}, {-0.0, false, true},
                        {inf, true, false}, {-inf, false, false}, {nan, false, false}};
    for (KernelSet set : RunnableKernelSets()) {
        const TransformKernels& kernels = KernelsFor(set);
        for (int count = 0; count <= 9; ++count) {
            double limbs[9];
            for (int i = 0; i < count; ++i) limbs[i] = 9999999999.0 - i;
            EXPECT_FALSE(kernels.anyAtLeast(limbs, count, bound)) << KernelSetName(set) << " " << count;
            EXPECT_TRUE(kernels.allFinite(limbs, count)) << KernelSetName(set) << " " << count;
            for (int at = 0; at < count; ++at) {
                for (const Odd& odd : odds) {
                    const double kept = limbs[at];
                    limbs[at] = odd.value;
                    EXPECT_EQ(kernels.anyAtLeast(limbs, count, bound), odd.atLeast)
                        << KernelSetName(set) << " count " << count << " at " << at << " " << odd.value;
                    EXPECT_EQ(kernels.allFinite(limbs, count), odd.finite)
                        << KernelSetName(set) << " count " << count << " at " << at << " " << odd.value;
                    limbs[at] = kept;
                }
            }
        }
    }
}

}  // namespace
}  // namespace ostrel2

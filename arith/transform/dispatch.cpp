// dispatch.cpp -- the engine's one choice of kernel set: the question asked of the processor (does
// it run AVX), the sets this build compiled, and the library's set, chosen once.
#include <cstdlib>
#include <cstring>

#include "arith/transform/kernel_set.h"
#include "arith/transform/lanes.h"

#if !defined(OSTREL2_AVX_PATHS)
#define OSTREL2_AVX_PATHS 0
#endif

namespace ostrel2 {

namespace {

bool CpuRunsAvx() {
#if OSTREL2_AVX_PATHS && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    // The runtime's check covers the operating system too: AVX counts only where the processor
    // has it and the system saves the 256-bit registers across task switches.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx");
#else
    return false;
#endif
}

}  // namespace

KernelSet WidestKernelSet() {
    static const KernelSet widest = CpuRunsAvx() ? KernelSet::Avx
                                    : OSTREL2_SSE2 ? KernelSet::Sse2
                                                   : KernelSet::Portable;
    return widest;
}

const TransformKernels& KernelsFor(KernelSet set) {
    const KernelSet widest = WidestKernelSet();
    if (set > widest) set = widest;
#if OSTREL2_AVX_PATHS
    if (set == KernelSet::Avx) return kAvxKernels;
#endif
#if OSTREL2_SSE2
    if (set == KernelSet::Sse2) return kSse2Kernels;
#endif
    return kPortableKernels;
}

const TransformKernels& ChooseLibraryKernels() {
    const char* asked = std::getenv("OSTREL2_KERNELS");
    if (asked != nullptr && std::strcmp(asked, "portable") == 0) return KernelsFor(KernelSet::Portable);
    if (asked != nullptr && std::strcmp(asked, "sse2") == 0) return KernelsFor(KernelSet::Sse2);
    return KernelsFor(WidestKernelSet());
}

KernelSetList RunnableKernelSets() {
    KernelSetList list{{KernelSet::Portable, KernelSet::Sse2, KernelSet::Avx}, 1};
    const KernelSet widest = WidestKernelSet();
    list.count = widest == KernelSet::Avx ? 3 : widest == KernelSet::Sse2 ? 2 : 1;
    return list;
}

const char* KernelSetName(KernelSet set) {
    return set == KernelSet::Avx ? "avx" : set == KernelSet::Sse2 ? "sse2" : "portable";
}

}  // namespace ostrel2

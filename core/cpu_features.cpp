// cpu_features.cpp -- the question the library asks of the processor, does it run AVX, and the
// choice of the loops the fast paths run.
#include "core/cpu_features.h"

#include <cstdlib>
#include <cstring>

namespace ostrel2 {

namespace {

bool AskCpuForAvx() {
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
    static const KernelSet widest = AskCpuForAvx() ? KernelSet::Avx
                                    : OSTREL2_SSE2 ? KernelSet::Sse2
                                                   : KernelSet::Portable;
    return widest;
}

KernelSet ChooseKernelSet() {
    const KernelSet widest = WidestKernelSet();
    const char* asked = std::getenv("OSTREL2_KERNELS");
    if (asked == nullptr) return widest;
    if (std::strcmp(asked, "portable") == 0) return KernelSet::Portable;
    if (std::strcmp(asked, "sse2") == 0 && widest != KernelSet::Portable) return KernelSet::Sse2;
    return widest;
}

}  // namespace ostrel2

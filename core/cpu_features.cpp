// cpu_features.cpp -- the one question the library asks of the processor: does it run AVX.
#include "core/cpu_features.h"

namespace ostrel2 {

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

}  // namespace ostrel2

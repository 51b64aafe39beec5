// kernels_sse2.cpp -- the SSE2 kernel set: the kernels two doubles per 128-bit register, finished
// at one. Compiled wherever the compiler targets SSE2 (every x86-64 build; 32-bit x86 with -msse2).
#include "arith/transform/kernel_set_body.h"

#if OSTREL2_SSE2
namespace ostrel2 {

constexpr TransformKernels kSse2Kernels = KernelsOf<Lanes2>::Table(KernelSet::Sse2);

}  // namespace ostrel2
#endif

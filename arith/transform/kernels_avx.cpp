// kernels_avx.cpp -- the AVX kernel set: the kernels four doubles per 256-bit register, finished
// at two and one. The build compiles this file alone for AVX (-mavx, where the compiler takes it
// on x86) and defines OSTREL2_AVX_PATHS; the dispatch chooses the set only where the processor
// runs AVX.
#include "arith/transform/kernel_set_body.h"

#if OSTREL2_AVX_PATHS
#if !defined(__AVX__)
#error "kernels_avx.cpp is compiled for AVX (-mavx) wherever OSTREL2_AVX_PATHS is set"
#endif

namespace ostrel2 {

constexpr TransformKernels kAvxKernels = KernelsOf<Lanes4>::Table(KernelSet::Avx);

}  // namespace ostrel2
#endif  // OSTREL2_AVX_PATHS

// kernels_portable.cpp -- the portable kernel set: the kernels in plain C++ at two doubles per
// register (one complex entry), finished at one. Every processor runs it; those without SSE2
// (ARM among them) run nothing else.
#include "arith/transform/kernel_set_body.h"

namespace ostrel2 {

constexpr TransformKernels kPortableKernels = KernelsOf<PlainLanes<2>>::Table(KernelSet::Portable);

}  // namespace ostrel2

// multiply_transform.cpp -- the product of two records by convolution of base-100,000 digits
// through the real discrete Fourier transform: upper x upper plus the two cross products
// (product_steps.h), on the shared-table pieces of the library's kernel set, and at transform
// length 32 formed term by term instead, with the transforms' bits.
#include "arith/transform/multiply_transform.h"

#include "arith/transform/kernel_set.h"
#include "arith/transform/product_steps.h"
#include "core/call_counting.h"

namespace ostrel2 {

WorkLong& MultiplLong(WorkLong& result, WorkLong& a, WorkLong& b) {
    OSTREL2_COUNTED_CALL(Product, MaxPrecision(a, b));
    SharedTransforms transforms{LibraryKernels()};
    return MultiplyThrough(result, a, b, transforms);
}

WorkLong& MultiplLongKept(WorkLong& result, WorkLong& a, WorkLong& b, KeptSpectra* keepA,
                          KeptSpectra* keepB) {
    OSTREL2_COUNTED_CALL(Product, MaxPrecision(a, b));
    SharedTransforms transforms{LibraryKernels()};
    return MultiplyThrough(result, a, b, transforms, keepA, keepB);
}

}  // namespace ostrel2

// direct_convolution_avx.cpp -- the convolution loop of direct_convolution_vector.h four lanes
// wide. Compiled for AVX; direct_convolution.cpp calls it only where CpuHasAvx().
#include "arith/direct_convolution_vector.h"

#if OSTREL2_AVX_PATHS
#if !defined(__AVX__)
#error "direct_convolution_avx.cpp is compiled for AVX (-mavx) wherever OSTREL2_AVX_PATHS is set"
#endif

namespace ostrel2 {

int DirectConvolveAvx(double half, const double* U, int lu, const double* Vd, int lv, double* out) {
    return ConvolveBlocks<Lanes4>(half, U, lu, Vd, lv, out);
}

}  // namespace ostrel2

#endif  // OSTREL2_AVX_PATHS

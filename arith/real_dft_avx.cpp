// real_dft_avx.cpp -- the vector stages of real_dft_vector.h four lanes wide. Compiled for AVX;
// real_dft_fast.cpp calls these only where CpuHasAvx().
#include "arith/real_dft_vector.h"

#if OSTREL2_AVX_PATHS
#if !defined(__AVX__)
#error "real_dft_avx.cpp is compiled for AVX (-mavx) wherever OSTREL2_AVX_PATHS is set"
#endif

namespace ostrel2 {

void ComplexStagesAvx(int n, double* a, const double* w, const double* rot, bool backward) {
    ComplexStages<Lanes4>(n, a, w, rot, backward);
}

void ComplexStagesOfHalfAvx(int n, const double* d, const uint16_t* g, double* a, const double* w,
                            const double* rot) {
    ComplexStagesOfHalf<Lanes4>(n, d, g, a, w, rot);
}

void RealSplitAvx(int n, double* a, const double* wr, const double* wi, bool backward) {
    if (backward) {
        RealSplit<Lanes2, true>(RealSplit<Lanes4, true>(2, n, a, wr, wi), n, a, wr, wi);
    } else {
        RealSplit<Lanes2, false>(RealSplit<Lanes4, false>(2, n, a, wr, wi), n, a, wr, wi);
    }
}

void SpectrumProductAvx(int n, const double* U, double* V) {
    SpectrumProduct<Lanes2>(SpectrumProduct<Lanes4>(2, n, U, V), n, U, V);
}

void SpectrumProductAddAvx(int n, const double* U, const double* V, double* S) {
    SpectrumProductAdd<Lanes2>(SpectrumProductAdd<Lanes4>(2, n, U, V, S), n, U, V, S);
}

}  // namespace ostrel2

#endif  // OSTREL2_AVX_PATHS

// transform_digits_avx.cpp -- the vector loops of transform_digits_vector.h four lanes wide.
// Compiled for AVX; transform_digits_fast.cpp calls these only where CpuHasAvx().
#include "arith/transform_digits_vector.h"

#include "arith/transform_digits.h"

#if OSTREL2_AVX_PATHS
#if !defined(__AVX__)
#error "transform_digits_avx.cpp is compiled for AVX (-mavx) wherever OSTREL2_AVX_PATHS is set"
#endif

namespace ostrel2 {

int SplitLimbsAvx(int first, int j, int last, const double* limbs, double* D) {
    return SplitLimbs<Lanes4>(TRANSFORM_BASE, first, j, last, limbs, D);
}

bool AnyLiftedAvx(int& k, int filled, const double* D) {
    return AnyLifted<Lanes4>(TRANSFORM_BASE / 2, k, filled, D);
}

int BalanceAllAvx(int k, int filled, double* D) {
    return BalanceAll<Lanes4>(TRANSFORM_BASE, k, filled, D);
}

int RoundPositionsAvx(int j, int end, const double* x, double scale, uint64_t* code, bool track,
                      RoundState& state, double& most) {
    return RoundPositions<Lanes4>(j, end, x, scale, code, track, state, most);
}

}  // namespace ostrel2

#endif  // OSTREL2_AVX_PATHS

// direct_convolution.cpp -- exact convolutions of two digit halves, term by term, for the short
// lengths where the transforms' fixed costs outweigh their n log n: in registers of positions,
// each register summing its positions' terms (the kernel set's convolve loop).
#include "arith/transform/engine.h"
#include "arith/transform/kernel_set.h"

namespace ostrel2 {

namespace {

// Digits past the last non-zero one add nothing; the halves of a short operand end early.
int LiveDigits(int h, const double* D) {
    while (h > 0 && D[h - 1] == 0.0) --h;
    return h;
}

constexpr int kOutSlots = DIRECT_MAX_LENGTH + 2 * CONVOLUTION_PAD;

// out[0 .. n - 1] <- (n/2) sum over i + j = k of U[i] V[j], every step exact (see engine.h);
// out has kOutSlots slots.
void Convolve(int n, const double* U, const double* V, double* out, const TransformKernels& kernels) {
    const int h = n / 2;
    const int lu = LiveDigits(h, U);
    const int lv = LiveDigits(h, V);
    int k = 0;
    if (lu > 0 && lv > 0) {
        // V with zeros on either side, so that every load of a register of positions reads
        // digits or zeros.
        double padded[DIRECT_MAX_LENGTH / 2 + 2 * CONVOLUTION_PAD];
        double* Vd = padded + CONVOLUTION_PAD;
        for (int j = -CONVOLUTION_PAD; j < 0; ++j) Vd[j] = 0.0;
        for (int j = 0; j < lv; ++j) Vd[j] = V[j];
        for (int j = lv; j < lv + CONVOLUTION_PAD; ++j) Vd[j] = 0.0;
        k = kernels.convolve(h, U, lu, Vd, lv, out);
    }
    for (; k < n; ++k) out[k] = 0.0;
}

}  // namespace

void DirectProduct(int n, const double* U, double* V, const TransformKernels& kernels) {
    double C[kOutSlots];
    Convolve(n, U, V, C, kernels);
    for (int k = 0; k < n; ++k) V[k] = C[k];
    V[n] = U[n] * V[n];
    V[n + 1] = U[n + 1] + V[n + 1];
    V[n + 2] = U[n + 2] * V[n + 2];
}

void DirectProductAdd(int n, const double* U, const double* V, double* S, const TransformKernels& kernels) {
    double C[kOutSlots];
    Convolve(n, U, V, C, kernels);
    for (int k = 0; k < n; ++k) S[k] = C[k] + S[k];
    S[n] = U[n] * V[n] + S[n];
}

}  // namespace ostrel2

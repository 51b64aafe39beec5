// direct_convolution.cpp -- exact convolutions of two digit halves, term by term: in vectors of
// positions (four lanes where the processor runs AVX), each register summing its positions' terms.
#include "arith/direct_convolution.h"

#include "arith/direct_convolution_vector.h"
#include "core/cpu_features.h"

namespace ostrel2 {

namespace {

// Digits past the last non-zero one add nothing; the halves of a short operand end early.
int LiveDigits(int h, const double* D) {
    while (h > 0 && D[h - 1] == 0.0) --h;
    return h;
}

constexpr int kOutSlots = DIRECT_MAX_LENGTH + 2 * CONVOLUTION_PAD;

// out[0 .. n - 1] <- (n/2) sum over i + j = k of U[i] V[j], every step exact (see the header);
// out has kOutSlots slots.
void Convolve(int n, const double* U, const double* V, double* out, VectorWidth width) {
    const int h = n / 2;
    const int lu = LiveDigits(h, U);
    const int lv = LiveDigits(h, V);
    const double half = h;
    int k = 0;
    (void)width;  // unused where no vector loops are built
#if OSTREL2_SSE2
    if (lu > 0 && lv > 0 && RunsSse2(width)) {
        // V with zeros on either side, so that every load of a register of positions reads
        // digits or zeros.
        double padded[DIRECT_MAX_LENGTH / 2 + 2 * CONVOLUTION_PAD];
        double* Vd = padded + CONVOLUTION_PAD;
        for (int j = -CONVOLUTION_PAD; j < 0; ++j) Vd[j] = 0.0;
        for (int j = 0; j < lv; ++j) Vd[j] = V[j];
        for (int j = lv; j < lv + CONVOLUTION_PAD; ++j) Vd[j] = 0.0;
#if OSTREL2_AVX_PATHS
        k = RunsAvx(width) ? DirectConvolveAvx(half, U, lu, Vd, lv, out)
                           : ConvolveBlocks<Lanes2>(half, U, lu, Vd, lv, out);
#else
        k = ConvolveBlocks<Lanes2>(half, U, lu, Vd, lv, out);
#endif
    }
#endif
    if (lu > 0 && lv > 0) {
        for (; k < lu + lv - 1; ++k) {
            const int first = k - (lv - 1) > 0 ? k - (lv - 1) : 0;
            const int last = k < lu - 1 ? k : lu - 1;
            double sum = 0.0;
            for (int i = first; i <= last; ++i) sum += half * U[i] * V[k - i];
            out[k] = sum;
        }
    }
    for (; k < n; ++k) out[k] = 0.0;
}

}  // namespace

void DirectProduct(int n, const double* U, double* V, VectorWidth width) {
    double C[kOutSlots];
    Convolve(n, U, V, C, width);
    for (int k = 0; k < n; ++k) V[k] = C[k];
    V[n] = U[n] * V[n];
    V[n + 1] = U[n + 1] + V[n + 1];
    V[n + 2] = U[n + 2] * V[n + 2];
}

void DirectProductAdd(int n, const double* U, const double* V, double* S, VectorWidth width) {
    double C[kOutSlots];
    Convolve(n, U, V, C, width);
    for (int k = 0; k < n; ++k) S[k] = C[k] + S[k];
    S[n] = U[n] * V[n] + S[n];
}

}  // namespace ostrel2

// real_dft.cpp -- the real transform and spectrum products of the transform product, through the
// shared tables and the kernel set given: the bit reversal by the tables' exchanges, the complex
// stages and the real-split pass, and the packing of R[0] and R[n/2]. Bit for bit the reference
// transform with tables of each call's own (tests/support/transform_reference.h).
#include <cstdint>
#include <utility>

#include "arith/transform/engine.h"
#include "arith/transform/tables.h"

namespace ostrel2 {

namespace {

// The bit reversal of a length-n transform through the table of its exchanges.
void SharedBitReverse(const SharedTables& t, int n, double* a) {
    const int k = Log2(n);
    for (int i = t.pairStart[k]; i < t.pairStart[k + 1]; i += 2) {
        double* x = a + t.pairs[i];
        double* y = a + t.pairs[i + 1];
        std::swap(x[0], y[0]);
        std::swap(x[1], y[1]);
    }
}

}  // namespace

void SharedRealDft(int n, int direction, double* a, const TransformKernels& kernels) {
    const SharedTables& t = TransformTables();
    if (direction >= 0) {
        if (n > 4) {
            SharedBitReverse(t, n, a);
            kernels.complexStages(n, a, t, false);
            kernels.realSplit(n, a, t, false);
        } else if (n == 4) {
            kernels.complexStages(n, a, t, false);
        }
        const double difference = a[0] - a[1];
        a[0] += a[1];
        a[1] = difference;
    } else {
        a[1] = 0.5 * (a[0] - a[1]);
        a[0] -= a[1];
        if (n > 4) {
            a[1] = -a[1];
            kernels.realSplit(n, a, t, true);
            a[n / 2 + 1] = -a[n / 2 + 1];
            SharedBitReverse(t, n, a);
            kernels.complexStages(n, a, t, true);
        } else if (n == 4) {
            // Four reals: the two-entry transform is its own conjugate, forward in both directions.
            kernels.complexStages(n, a, t, false);
        }
    }
}

void SharedRealDftOfHalf(int n, const double* d, double* a, const TransformKernels& kernels) {
    if (n < 16) {
        for (int i = 0; i < n / 2; ++i) a[i] = d[i];
        for (int i = n / 2; i < n; ++i) a[i] = 0.0;
        SharedRealDft(n, 1, a, kernels);
        return;
    }
    const SharedTables& t = TransformTables();
    kernels.complexStagesOfHalf(n, d, a, t);
    kernels.realSplit(n, a, t, false);
    const double difference = a[0] - a[1];
    a[0] += a[1];
    a[1] = difference;
}

void SharedSpectrumProduct(int n, const double* U, double* V, const TransformKernels& kernels) {
    V[0] = U[0] * V[0];
    V[1] = U[1] * V[1];
    kernels.spectrumProduct(n, U, V);
}

void SharedSpectrumProductAdd(int n, const double* U, const double* V, double* S,
                              const TransformKernels& kernels) {
    S[0] = U[0] * V[0] + S[0];
    S[1] = U[1] * V[1] + S[1];
    kernels.spectrumProductAdd(n, U, V, S);
}

}  // namespace ostrel2

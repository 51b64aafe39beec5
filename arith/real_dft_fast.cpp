// real_dft_fast.cpp -- the shared-table real transform and spectrum products of the transform
// multiplication: the tables, built once, and the choice of vector width for each call. The
// stages themselves are written once for both widths in real_dft_vector.h.
#include "arith/real_dft_fast.h"

#include <cstdint>
#include <utility>

#include "arith/real_dft_vector.h"
#include "core/cpu_features.h"

namespace ostrel2 {

namespace {

// The rotations of every pair of blocks (see ROTATION_STRIDE), each value twice in a row.
void BuildRotations(const double* w, double* rot) {
    for (int p = 0; p < ROTATION_PAIRS; ++p) {
        Twiddles first;
        Twiddles second;
        PairTwiddles(w, 2 * p + 2, first, second);
        const double f[6] = {first.w1r, first.w1i, first.w2r, first.w2i, first.w3r, first.w3i};
        const double g[6] = {second.w1r, second.w1i, second.w2r, second.w2i, second.w3r, second.w3i};
        double* r = rot + ROTATION_STRIDE * p;
        for (int c = 0; c < 6; ++c) {
            r[4 * c] = r[4 * c + 1] = f[c];
            r[4 * c + 2] = r[4 * c + 3] = g[c];
        }
    }
}

// Tables for the longest transform and, for every length, the exchanges of its bit reversal as
// pairs of indices into a (entries e < reverse(e) only).
struct SharedTables {
    double w[DFT_TABLE_SLOTS];
    int nw;
    int nc;
    uint16_t pairs[2 * DFT_MAX_LENGTH];
    int pairStart[12];  // pairs of length 2^k in pairs[pairStart[k] .. pairStart[k + 1])
    // Rotations of the real-split steps of length 2^k, each twice in a row for vector loads:
    // splitR / splitI + splitStart[k] + 2i - 2 hold wkr = 0.5 - c[nc - kk] and wki = c[kk] of
    // step j = 2i, formed once with the plain pass's operations.
    double splitR[DFT_MAX_LENGTH];
    double splitI[DFT_MAX_LENGTH];
    int splitStart[12];
    // For length 2^k, where the even complex entry p lands after the bit reversal of an input
    // whose upper half is zero: gather[gatherStart[k] + p/2] = the double offset 2 reverse(p).
    uint16_t gather[DFT_MAX_LENGTH / 2];
    int gatherStart[12];
    double rot[ROTATION_PAIRS * ROTATION_STRIDE];  // see BuildRotations
};

SharedTables BuildSharedTables() {
    SharedTables t{};
    int ip[DFT_INDEX_SLOTS] = {};
    t.nw = DFT_MAX_LENGTH / 4;
    t.nc = DFT_MAX_LENGTH / 4;
    MakeTwiddleTable(t.nw, ip, t.w);
    MakeCosineTable(t.nc, ip, t.w + t.nw);
    int count = 0;
    for (int k = 0; k <= 10; ++k) {
        t.pairStart[k] = count;
        const int entries = (1 << k) / 2;
        if (entries < 4) continue;
        const int bits = k - 1;
        for (int e = 0; e < entries; ++e) {
            int r = 0;
            for (int b = 0; b < bits; ++b)
                if (e & (1 << b)) r |= 1 << (bits - 1 - b);
            if (e < r) {
                t.pairs[count++] = static_cast<uint16_t>(2 * e);
                t.pairs[count++] = static_cast<uint16_t>(2 * r);
            }
        }
    }
    t.pairStart[11] = count;
    const double* c = t.w + t.nw;
    int at = 0;
    for (int k = 0; k <= 10; ++k) {
        t.splitStart[k] = at;
        const int n = 1 << k;
        const int m = n >> 1;
        if (n <= 4) continue;
        const int ks = 2 * t.nc / m;
        int kk = 0;
        for (int j = 2; j < m; j += 2) {
            kk += ks;
            const double wkr = 0.5 - c[t.nc - kk];
            const double wki = c[kk];
            t.splitR[at] = t.splitR[at + 1] = wkr;
            t.splitI[at] = t.splitI[at + 1] = wki;
            at += 2;
        }
    }
    t.splitStart[11] = at;
    at = 0;
    for (int k = 0; k <= 10; ++k) {
        t.gatherStart[k] = at;
        const int entries = (1 << k) / 2;
        if (entries < 2) continue;
        const int bits = k - 1;
        for (int p = 0; p < entries; p += 2) {
            int r = 0;
            for (int b = 0; b < bits; ++b)
                if (p & (1 << b)) r |= 1 << (bits - 1 - b);
            t.gather[at++] = static_cast<uint16_t>(2 * r);
        }
    }
    t.gatherStart[11] = at;
    BuildRotations(t.w, t.rot);
    return t;
}

const SharedTables& Shared() {
    static const SharedTables tables = BuildSharedTables();
    return tables;
}

int Log2(int n) {
    int k = 0;
    while ((1 << k) < n) ++k;
    return k;
}

// The bit reversal of a length-n transform through the table of its exchanges.
void SharedBitReverse(const SharedTables& t, int n, double* a) {
    const int k = Log2(n);
    for (int i = t.pairStart[k]; i < t.pairStart[k + 1]; i += 2) {
        double* x = a + t.pairs[i];
        double* y = a + t.pairs[i + 1];
#if OSTREL2_SSE2
        // Each complex entry moved whole in one register.
        const __m128d entry = _mm_loadu_pd(x);
        _mm_storeu_pd(x, _mm_loadu_pd(y));
        _mm_storeu_pd(y, entry);
#else
        std::swap(x[0], y[0]);
        std::swap(x[1], y[1]);
#endif
    }
}

// The complex transform of n >= 8 doubles, bit-reversed on entry: four lanes wide where the
// width runs AVX and n >= 16 (the first stage's quarters hold one entry, its later blocks pair
// up), two lanes where it runs SSE2, the plain stages otherwise.
void FastComplex(const SharedTables& t, int n, double* a, bool backward, VectorWidth width) {
    (void)width;  // unused where no vector loops are built
#if OSTREL2_SSE2
    if (RunsSse2(width)) {
        if (n == 8) {
            // The radix-4 last stage of span 2 alone.
            if (backward) {
                LastStage<Lanes2, true>(n, 2, a);
            } else {
                LastStage<Lanes2, false>(n, 2, a);
            }
            return;
        }
#if OSTREL2_AVX_PATHS
        if (RunsAvx(width)) {
            ComplexStagesAvx(n, a, t.w, t.rot, backward);
            return;
        }
#endif
        ComplexStages<Lanes2>(n, a, t.w, t.rot, backward);
        return;
    }
#endif
    if (backward) {
        ComplexBackward(n, a, t.w);
    } else {
        ComplexForward(n, a, t.w);
    }
}

// Real-split pass through the shared step rotations. Backward, its steps alone: the caller
// changes the signs of a[1] and a[n/2 + 1] around it.
void SharedSplit(const SharedTables& t, int n, double* a, bool backward, VectorWidth width) {
    (void)width;
#if OSTREL2_SSE2
    if (RunsSse2(width)) {
        const int at = t.splitStart[Log2(n)];
        const double* wr = t.splitR + at;
        const double* wi = t.splitI + at;
#if OSTREL2_AVX_PATHS
        if (n >= 16 && RunsAvx(width)) {
            RealSplitAvx(n, a, wr, wi, backward);
            return;
        }
#endif
        if (backward) {
            RealSplit<Lanes2, true>(2, n, a, wr, wi);
        } else {
            RealSplit<Lanes2, false>(2, n, a, wr, wi);
        }
        return;
    }
#endif
    if (backward) {
        RealSplitBackwardSteps(n, a, t.nc, t.w + t.nw);
    } else {
        RealSplitForward(n, a, t.nc, t.w + t.nw);
    }
}

}  // namespace

void SharedRealDft(int n, int direction, double* a, VectorWidth width) {
    const SharedTables& t = Shared();
    if (direction >= 0) {
        if (n > 4) {
            SharedBitReverse(t, n, a);
            FastComplex(t, n, a, false, width);
            SharedSplit(t, n, a, false, width);
        } else if (n == 4) {
            ComplexForward(n, a, t.w);
        }
        const double difference = a[0] - a[1];
        a[0] += a[1];
        a[1] = difference;
    } else {
        a[1] = 0.5 * (a[0] - a[1]);
        a[0] -= a[1];
        if (n > 4) {
            a[1] = -a[1];
            SharedSplit(t, n, a, true, width);
            a[n / 2 + 1] = -a[n / 2 + 1];
            SharedBitReverse(t, n, a);
            FastComplex(t, n, a, true, width);
        } else if (n == 4) {
            ComplexForward(n, a, t.w);
        }
    }
}

void SharedRealDftOfHalf(int n, const double* d, double* a, VectorWidth width) {
#if OSTREL2_SSE2
    if (n >= 16 && RunsSse2(width)) {
        const SharedTables& t = Shared();
        const uint16_t* g = t.gather + t.gatherStart[Log2(n)];
#if OSTREL2_AVX_PATHS
        if (RunsAvx(width)) {
            ComplexStagesOfHalfAvx(n, d, g, a, t.w, t.rot);
        } else {
            ComplexStagesOfHalf<Lanes2>(n, d, g, a, t.w, t.rot);
        }
#else
        ComplexStagesOfHalf<Lanes2>(n, d, g, a, t.w, t.rot);
#endif
        SharedSplit(t, n, a, false, width);
        const double difference = a[0] - a[1];
        a[0] += a[1];
        a[1] = difference;
        return;
    }
#endif
    for (int i = 0; i < n / 2; ++i) a[i] = d[i];
    for (int i = n / 2; i < n; ++i) a[i] = 0.0;
    SharedRealDft(n, 1, a, width);
}

void SharedSpectrumProduct(int n, const double* U, double* V, VectorWidth width) {
    (void)width;  // unused where no vector loops are built
    V[0] = U[0] * V[0];
    V[1] = U[1] * V[1];
#if OSTREL2_AVX_PATHS
    if (RunsAvx(width)) {
        SpectrumProductAvx(n, U, V);
        return;
    }
#endif
    int k = 2;
#if OSTREL2_SSE2
    if (RunsSse2(width)) k = SpectrumProduct<Lanes2>(k, n, U, V);
#endif
    for (; k < n; k += 2) {
        const double re = U[k] * V[k] - U[k + 1] * V[k + 1];
        const double im = U[k] * V[k + 1] + U[k + 1] * V[k];
        V[k] = re;
        V[k + 1] = im;
    }
}

void SharedSpectrumProductAdd(int n, const double* U, const double* V, double* S,
                              VectorWidth width) {
    (void)width;
    S[0] = U[0] * V[0] + S[0];
    S[1] = U[1] * V[1] + S[1];
#if OSTREL2_AVX_PATHS
    if (RunsAvx(width)) {
        SpectrumProductAddAvx(n, U, V, S);
        return;
    }
#endif
    int k = 2;
#if OSTREL2_SSE2
    if (RunsSse2(width)) k = SpectrumProductAdd<Lanes2>(k, n, U, V, S);
#endif
    for (; k < n; k += 2) {
        const double re = U[k] * V[k] - U[k + 1] * V[k + 1];
        const double im = U[k] * V[k + 1] + U[k + 1] * V[k];
        S[k] = re + S[k];
        S[k + 1] = im + S[k + 1];
    }
}

}  // namespace ostrel2

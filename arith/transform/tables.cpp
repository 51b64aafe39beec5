// tables.cpp -- the transform's tables: twiddles, cosines, bit reversal and the block rotations,
// for one length (the reference transform's work areas) and shared by every product transform.
#include "arith/transform/tables.h"

#include <cmath>

namespace ostrel2 {

namespace {

// Exchanges the complex entries (a[x], a[x+1]) and (a[y], a[y+1]).
inline void SwapEntries(double* a, int x, int y) {
    const double re = a[x];
    const double im = a[x + 1];
    a[x] = a[y];
    a[x + 1] = a[y + 1];
    a[y] = re;
    a[y + 1] = im;
}

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

}  // namespace

void PairTwiddles(const double* w, int k1, Twiddles& first, Twiddles& second) {
    const double wk2r = w[k1];
    const double wk2i = w[k1 + 1];
    double wk1r = w[2 * k1];
    double wk1i = w[2 * k1 + 1];
    first.w1r = wk1r;
    first.w1i = wk1i;
    first.w2r = wk2r;
    first.w2i = wk2i;
    first.w3r = wk1r - 2 * wk2i * wk1i;
    first.w3i = 2 * wk2i * wk1r - wk1i;
    wk1r = w[2 * k1 + 2];
    wk1i = w[2 * k1 + 3];
    second.w1r = wk1r;
    second.w1i = wk1i;
    second.w2r = -wk2i;
    second.w2i = wk2r;
    second.w3r = wk1r - 2 * wk2r * wk1i;
    second.w3i = 2 * wk2r * wk1r - wk1i;
}

void MakeTwiddleTable(int nw, int* ip, double* w) {
    ip[0] = nw;
    ip[1] = 1;
    if (nw > 2) {
        const int h = nw >> 1;
        const double delta = std::atan(1.0) / h;
        w[0] = 1;
        w[1] = 0;
        w[h] = std::cos(delta * h);
        w[h + 1] = w[h];
        if (h > 2) {
            for (int j = 2; j < h; j += 2) {
                const double x = std::cos(delta * j);
                const double y = std::sin(delta * j);
                w[j] = x;
                w[j + 1] = y;
                w[nw - j] = y;
                w[nw - j + 1] = x;
            }
            BitReverse(nw, ip + 2, w);
        }
    }
}

void MakeCosineTable(int nc, int* ip, double* c) {
    ip[1] = nc;
    if (nc > 1) {
        const int h = nc >> 1;
        const double delta = std::atan(1.0) / h;
        c[0] = std::cos(delta * h);
        c[h] = 0.5 * c[0];
        for (int j = 1; j < h; ++j) {
            c[j] = 0.5 * std::cos(delta * j);
            c[nc - j] = 0.5 * std::sin(delta * j);
        }
    }
}

void BitReverse(int n, int* ip, double* a) {
    ip[0] = 0;
    int l = n;
    int m = 1;
    while ((m << 3) < l) {
        l >>= 1;
        for (int j = 0; j < m; ++j) ip[m + j] = ip[j] + l;
        m <<= 1;
    }
    const int m2 = 2 * m;
    if ((m << 3) == l) {
        for (int k = 0; k < m; ++k) {
            for (int j = 0; j < k; ++j) {
                const int j1 = 2 * j + ip[k];
                const int k1 = 2 * k + ip[j];
                SwapEntries(a, j1, k1);
                SwapEntries(a, j1 + m2, k1 + 2 * m2);
                SwapEntries(a, j1 + 2 * m2, k1 + m2);
                SwapEntries(a, j1 + 3 * m2, k1 + 3 * m2);
            }
            const int k1 = 2 * k + m2 + ip[k];
            SwapEntries(a, k1, k1 + m2);
        }
    } else {
        for (int k = 1; k < m; ++k) {
            for (int j = 0; j < k; ++j) {
                const int j1 = 2 * j + ip[k];
                const int k1 = 2 * k + ip[j];
                SwapEntries(a, j1, k1);
                SwapEntries(a, j1 + m2, k1 + m2);
            }
        }
    }
}

const SharedTables& TransformTables() {
    static const SharedTables tables = BuildSharedTables();
    return tables;
}

}  // namespace ostrel2

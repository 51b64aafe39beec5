// real_dft.cpp -- the real discrete Fourier transform, plain: tables, bit reversal, the radix-4
// complex stages and the real-split passes. The reference of the product's fast transform
// (real_dft_fast.cpp), which must give these bits.
#include "arith/real_dft.h"

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

// One radix-4 butterfly on the entries at j, j + l, j + 2l, j + 3l (indices in doubles):
// with y0 = x0 + x1, y1 = x0 - x1, y2 = x2 + x3, y3 = x2 - x3, the entries become
// y0 + y2, w1 (y1 + i y3), w2 (y0 - y2), w3 (y1 - i y3).
inline void Butterfly(double* a, int j, int l, const Twiddles& t) {
    const int j1 = j + l;
    const int j2 = j1 + l;
    const int j3 = j2 + l;
    const double y0r = a[j] + a[j1];
    const double y0i = a[j + 1] + a[j1 + 1];
    const double y1r = a[j] - a[j1];
    const double y1i = a[j + 1] - a[j1 + 1];
    const double y2r = a[j2] + a[j3];
    const double y2i = a[j2 + 1] + a[j3 + 1];
    const double y3r = a[j2] - a[j3];
    const double y3i = a[j2 + 1] - a[j3 + 1];
    a[j] = y0r + y2r;
    a[j + 1] = y0i + y2i;
    double xr = y0r - y2r;
    double xi = y0i - y2i;
    a[j2] = t.w2r * xr - t.w2i * xi;
    a[j2 + 1] = t.w2r * xi + t.w2i * xr;
    xr = y1r - y3i;
    xi = y1i + y3r;
    a[j1] = t.w1r * xr - t.w1i * xi;
    a[j1 + 1] = t.w1r * xi + t.w1i * xr;
    xr = y1r + y3i;
    xi = y1i - y3r;
    a[j3] = t.w3r * xr - t.w3i * xi;
    a[j3 + 1] = t.w3r * xi + t.w3i * xr;
}

// The butterfly with unit rotations.
inline void ButterflyUnit(double* a, int j, int l) {
    const int j1 = j + l;
    const int j2 = j1 + l;
    const int j3 = j2 + l;
    const double y0r = a[j] + a[j1];
    const double y0i = a[j + 1] + a[j1 + 1];
    const double y1r = a[j] - a[j1];
    const double y1i = a[j + 1] - a[j1 + 1];
    const double y2r = a[j2] + a[j3];
    const double y2i = a[j2 + 1] + a[j3 + 1];
    const double y3r = a[j2] - a[j3];
    const double y3i = a[j2 + 1] - a[j3 + 1];
    a[j] = y0r + y2r;
    a[j + 1] = y0i + y2i;
    a[j2] = y0r - y2r;
    a[j2 + 1] = y0i - y2i;
    a[j1] = y1r - y3i;
    a[j1 + 1] = y1i + y3r;
    a[j3] = y1r + y3i;
    a[j3 + 1] = y1i - y3r;
}

// The butterfly of the block whose rotations are the eighth root of unity r = (c, c), i = r^2
// and r^3 = (-c, c); c = w[2] enters both parts of each rotation.
inline void ButterflyEighth(double* a, int j, int l, double c) {
    const int j1 = j + l;
    const int j2 = j1 + l;
    const int j3 = j2 + l;
    const double y0r = a[j] + a[j1];
    const double y0i = a[j + 1] + a[j1 + 1];
    const double y1r = a[j] - a[j1];
    const double y1i = a[j + 1] - a[j1 + 1];
    const double y2r = a[j2] + a[j3];
    const double y2i = a[j2 + 1] + a[j3 + 1];
    const double y3r = a[j2] - a[j3];
    const double y3i = a[j2 + 1] - a[j3 + 1];
    a[j] = y0r + y2r;
    a[j + 1] = y0i + y2i;
    a[j2] = y2i - y0i;
    a[j2 + 1] = y0r - y2r;
    double xr = y1r - y3i;
    double xi = y1i + y3r;
    a[j1] = c * (xr - xi);
    a[j1 + 1] = c * (xr + xi);
    xr = y3i + y1r;
    xi = y3r - y1i;
    a[j3] = c * (xi - xr);
    a[j3 + 1] = c * (xi + xr);
}

// Radix-4 stage of span l over blocks of m = 4l doubles: block 0 unrotated, block 1 by the
// eighth root, and each later pair of blocks with rotations from the twiddle table.
void Radix4Stage(int n, int l, double* a, const double* w) {
    const int m = 4 * l;
    for (int j = 0; j < l; j += 2) ButterflyUnit(a, j, l);
    if (m < n) {
        const double c = w[2];
        for (int j = m; j < l + m; j += 2) ButterflyEighth(a, j, l, c);
    }
    int k1 = 0;
    for (int k = 2 * m; k < n; k += 2 * m) {
        k1 += 2;
        Twiddles first;
        Twiddles second;
        PairTwiddles(w, k1, first, second);
        for (int j = k; j < l + k; j += 2) Butterfly(a, j, l, first);
        for (int j = k + m; j < l + k + m; j += 2) Butterfly(a, j, l, second);
    }
}

// The stages the two complex directions share; returns the span of the last stage.
int SharedStages(int n, double* a, const double* w) {
    int l = 2;
    if (n > 8) {
        Radix4FirstStage(n, a, w);
        l = 8;
        while (4 * l < n) {
            Radix4MiddleStage(n, l, a, w);
            l *= 4;
        }
    }
    return l;
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

void Radix4FirstStage(int n, double* a, const double* w) { Radix4Stage(n, 2, a, w); }

void Radix4MiddleStage(int n, int l, double* a, const double* w) { Radix4Stage(n, l, a, w); }

void ComplexForward(int n, double* a, const double* w) {
    const int l = SharedStages(n, a, w);
    if (4 * l == n) {
        for (int j = 0; j < l; j += 2) ButterflyUnit(a, j, l);
    } else {
        for (int j = 0; j < l; j += 2) {
            const int j1 = j + l;
            const double xr = a[j] - a[j1];
            const double xi = a[j + 1] - a[j1 + 1];
            a[j] += a[j1];
            a[j + 1] += a[j1 + 1];
            a[j1] = xr;
            a[j1 + 1] = xi;
        }
    }
}

void ComplexBackward(int n, double* a, const double* w) {
    const int l = SharedStages(n, a, w);
    if (4 * l == n) {
        for (int j = 0; j < l; j += 2) {
            ButterflyUnit(a, j, l);
            a[j + 1] = -a[j + 1];
            a[j + l + 1] = -a[j + l + 1];
            a[j + 2 * l + 1] = -a[j + 2 * l + 1];
            a[j + 3 * l + 1] = -a[j + 3 * l + 1];
        }
    } else {
        for (int j = 0; j < l; j += 2) {
            const int j1 = j + l;
            const double xr = a[j] - a[j1];
            const double xi = a[j + 1] - a[j1 + 1];
            a[j] += a[j1];
            a[j + 1] = -(a[j + 1] + a[j1 + 1]);
            a[j1] = xr;
            a[j1 + 1] = -xi;
        }
    }
}

void RealSplitForward(int n, double* a, int nc, const double* c) {
    const int m = n >> 1;
    const int ks = 2 * nc / m;
    int kk = 0;
    for (int j = 2; j < m; j += 2) {
        const int k = n - j;
        kk += ks;
        const double wkr = 0.5 - c[nc - kk];
        const double wki = c[kk];
        const double xr = a[j] - a[k];
        const double xi = a[j + 1] + a[k + 1];
        const double yr = wkr * xr - wki * xi;
        const double yi = wkr * xi + wki * xr;
        a[j] -= yr;
        a[j + 1] -= yi;
        a[k] += yr;
        a[k + 1] -= yi;
    }
}

void RealSplitBackward(int n, double* a, int nc, const double* c) {
    a[1] = -a[1];
    RealSplitBackwardSteps(n, a, nc, c);
    a[n / 2 + 1] = -a[n / 2 + 1];
}

void RealSplitBackwardSteps(int n, double* a, int nc, const double* c) {
    const int m = n >> 1;
    const int ks = 2 * nc / m;
    int kk = 0;
    for (int j = 2; j < m; j += 2) {
        const int k = n - j;
        kk += ks;
        const double wkr = 0.5 - c[nc - kk];
        const double wki = c[kk];
        const double xr = a[j] - a[k];
        const double xi = a[j + 1] + a[k + 1];
        const double yr = wkr * xr + wki * xi;
        const double yi = wkr * xi - wki * xr;
        a[j] -= yr;
        a[j + 1] = yi - a[j + 1];
        a[k] += yr;
        a[k + 1] = yi - a[k + 1];
    }
}

void RealDft(int n, int direction, double* a, int* ip, double* w) {
    int nw = ip[0];
    if (n > 4 * nw) {
        nw = n >> 2;
        MakeTwiddleTable(nw, ip, w);
    }
    int nc = ip[1];
    if (n > 4 * nc) {
        nc = n >> 2;
        MakeCosineTable(nc, ip, w + nw);
    }
    if (direction >= 0) {
        if (n > 4) {
            BitReverse(n, ip + 2, a);
            ComplexForward(n, a, w);
            RealSplitForward(n, a, nc, w + nw);
        } else if (n == 4) {
            ComplexForward(n, a, w);
        }
        const double difference = a[0] - a[1];
        a[0] += a[1];
        a[1] = difference;
    } else {
        a[1] = 0.5 * (a[0] - a[1]);
        a[0] -= a[1];
        if (n > 4) {
            RealSplitBackward(n, a, nc, w + nw);
            BitReverse(n, ip + 2, a);
            ComplexBackward(n, a, w);
        } else if (n == 4) {
            ComplexForward(n, a, w);
        }
    }
}

}  // namespace ostrel2

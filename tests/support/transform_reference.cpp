// transform_reference.cpp -- the reference pieces of the transform product: the real transform
// with per-call tables and its radix-4 stages written out in scalar form, the serial digit
// conversions, and the product through them.
#include "support/transform_reference.h"

#include <cmath>
#include <cstdint>

#include "arith/transform/engine.h"
#include "arith/transform/kernel_set.h"
#include "arith/transform/product_steps.h"
#include "arith/transform/tables.h"
#include "arith/transform/transform_digits_steps.h"

namespace ostrel2 {
namespace reference {

namespace {

// The first half of a radix-4 butterfly on the entries x0 .. x3 at j, j + l, j + 2l, j + 3l
// (indices in doubles): y0 = x0 + x1, y1 = x0 - x1, y2 = x2 + x3, y3 = x2 - x3. The entries then
// become y0 + y2, w1 (y1 + i y3), w2 (y0 - y2), w3 (y1 - i y3); entry 0 is stored here.
struct Halves {
    int j1, j2, j3;
    double y0r, y0i, y1r, y1i, y2r, y2i, y3r, y3i;
};

inline Halves FirstHalf(double* a, int j, int l) {
    Halves h;
    h.j1 = j + l;
    h.j2 = h.j1 + l;
    h.j3 = h.j2 + l;
    h.y0r = a[j] + a[h.j1];
    h.y0i = a[j + 1] + a[h.j1 + 1];
    h.y1r = a[j] - a[h.j1];
    h.y1i = a[j + 1] - a[h.j1 + 1];
    h.y2r = a[h.j2] + a[h.j3];
    h.y2i = a[h.j2 + 1] + a[h.j3 + 1];
    h.y3r = a[h.j2] - a[h.j3];
    h.y3i = a[h.j2 + 1] - a[h.j3 + 1];
    a[j] = h.y0r + h.y2r;
    a[j + 1] = h.y0i + h.y2i;
    return h;
}

// The butterfly with the rotations t.
inline void Butterfly(double* a, int j, int l, const Twiddles& t) {
    const Halves h = FirstHalf(a, j, l);
    double xr = h.y0r - h.y2r;
    double xi = h.y0i - h.y2i;
    a[h.j2] = t.w2r * xr - t.w2i * xi;
    a[h.j2 + 1] = t.w2r * xi + t.w2i * xr;
    xr = h.y1r - h.y3i;
    xi = h.y1i + h.y3r;
    a[h.j1] = t.w1r * xr - t.w1i * xi;
    a[h.j1 + 1] = t.w1r * xi + t.w1i * xr;
    xr = h.y1r + h.y3i;
    xi = h.y1i - h.y3r;
    a[h.j3] = t.w3r * xr - t.w3i * xi;
    a[h.j3 + 1] = t.w3r * xi + t.w3i * xr;
}

// The butterfly with unit rotations.
inline void ButterflyUnit(double* a, int j, int l) {
    const Halves h = FirstHalf(a, j, l);
    a[h.j2] = h.y0r - h.y2r;
    a[h.j2 + 1] = h.y0i - h.y2i;
    a[h.j1] = h.y1r - h.y3i;
    a[h.j1 + 1] = h.y1i + h.y3r;
    a[h.j3] = h.y1r + h.y3i;
    a[h.j3 + 1] = h.y1i - h.y3r;
}

// The butterfly of the block whose rotations are the eighth root of unity r = (c, c), i = r^2
// and r^3 = (-c, c); c = w[2] enters both parts of each rotation.
inline void ButterflyEighth(double* a, int j, int l, double c) {
    const Halves h = FirstHalf(a, j, l);
    a[h.j2] = h.y2i - h.y0i;
    a[h.j2 + 1] = h.y0r - h.y2r;
    double xr = h.y1r - h.y3i;
    double xi = h.y1i + h.y3r;
    a[h.j1] = c * (xr - xi);
    a[h.j1 + 1] = c * (xr + xi);
    xr = h.y3i + h.y1r;
    xi = h.y3r - h.y1i;
    a[h.j3] = c * (xi - xr);
    a[h.j3 + 1] = c * (xi + xr);
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
        Radix4Stage(n, 2, a, w);
        l = 8;
        while (4 * l < n) {
            Radix4Stage(n, l, a, w);
            l *= 4;
        }
    }
    return l;
}


// Transforms with tables in work areas of the call's own, built on its first forward transform.
struct PerCallTables {
    static constexpr bool kReusesSpectra = false;  // the reference transforms both operands always
    int ip[DFT_INDEX_SLOTS];
    double w[DFT_TABLE_SLOTS];
    void Start() { ip[0] = 0; }
    static bool Sure() { return true; }
    static void Product(int n, const double* U, double* V) { SpectrumProduct(n, U, V); }
    // S <- U (.) V + S; V is left holding U (.) V.
    static void ProductAdd(int n, const double* U, double* V, double* S) {
        SpectrumProduct(n, U, V);
        SpectrumAdd(n, V, S);
    }
    void Forward(int n, double* a) { RealDft(n, 1, a, ip, w); }
    void ForwardDigits(double B, int n, int off, const WorkLong& x, double* X) {
        ToTransformDigits(B, n, off, x, X);
        Forward(n, X);
    }
    void Backward(int n, double* a) { RealDft(n, -1, a, ip, w); }
    static void Convert(int m, double B, int n, double* X, WorkLong& out) {
        FromTransformDigits(m, B, n, X, out);
    }
};

// The steps j = 2, 4, .. < n/2 of a real-split pass: step(j, k, wkr, wki, xr, xi) with the
// partner k = n - j, the step's rotation wkr = 0.5 - c[nc - kk], wki = c[kk] from the cosine
// table c of nc entries (kk stepping by 4 nc / n), and x = (a[j] - a[k], a[j+1] + a[k+1]).
template <class Step>
void RealSplitSteps(int n, double* a, int nc, const double* c, Step step) {
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
        step(j, k, wkr, wki, xr, xi);
    }
}

}  // namespace

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
    RealSplitSteps(n, a, nc, c, [a](int j, int k, double wkr, double wki, double xr, double xi) {
        const double yr = wkr * xr - wki * xi;
        const double yi = wkr * xi + wki * xr;
        a[j] -= yr;
        a[j + 1] -= yi;
        a[k] += yr;
        a[k + 1] -= yi;
    });
}

void RealSplitBackward(int n, double* a, int nc, const double* c) {
    a[1] = -a[1];
    RealSplitSteps(n, a, nc, c, [a](int j, int k, double wkr, double wki, double xr, double xi) {
        const double yr = wkr * xr + wki * xi;
        const double yi = wkr * xi - wki * xr;
        a[j] -= yr;
        a[j + 1] = yi - a[j + 1];
        a[k] += yr;
        a[k + 1] = yi - a[k + 1];
    });
    a[n / 2 + 1] = -a[n / 2 + 1];
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

void ToTransformDigits(double B, int n, int off, const WorkLong& x, double* X) {
    const int h = n / 2;
    const int first = off / 2;
    const int last = LastLimbOfHalf(n, off, x);
    int pos = 0;
    for (int j = first; j <= last; ++j) {
        const double high = TruncDigit(x.limbs[j] / B);
        X[pos++] = high;
        X[pos++] = x.limbs[j] - B * high;
    }
    while (pos < n) X[pos++] = 0.0;
    DigitHeader(X, x, off, X + n);
    BalanceDigits(B, h, X);
}

void SpectrumProduct(int n, const double* U, double* V) {
    V[0] = U[0] * V[0];
    V[1] = U[1] * V[1];
    for (int k = 2; k < n; k += 2) {
        const double re = U[k] * V[k] - U[k + 1] * V[k + 1];
        const double im = U[k] * V[k + 1] + U[k + 1] * V[k];
        V[k] = re;
        V[k + 1] = im;
    }
    V[n] = U[n] * V[n];
    V[n + 1] = U[n + 1] + V[n + 1];
    V[n + 2] = U[n + 2] * V[n + 2];
}

void SpectrumAdd(int n, const double* U, double* V) {
    for (int i = 0; i <= n; ++i) V[i] = U[i] + V[i];
}

void FromTransformDigits(int m, double B, int n, double* X, WorkLong& out) {
    double T[DFT_MAX_LENGTH];
    const DigitCarryIn in = StartConversion(m, B, n, X, out);
    const double carry = SerialDigits(m, B, in, X, T);
    FinishConversion(in, carry, m, B, n, X, T, LimbRule::Floor, out);
}

WorkLong& MultiplLongPerCallTables(WorkLong& result, WorkLong& a, WorkLong& b) {
    PerCallTables transforms;
    return MultiplyThrough(result, a, b, transforms);
}

WorkLong& MultiplLongWith(KernelSet set, WorkLong& result, WorkLong& a, WorkLong& b) {
    SharedTransforms transforms{KernelsFor(set)};
    return MultiplyThrough(result, a, b, transforms);
}

}  // namespace reference
}  // namespace ostrel2

// transform_digits.cpp -- the plain digit conversions of the transform multiplication: limbs to
// balanced base-100,000 digits, spectrum products and sums, and the serial conversion of the
// backward transform's values into limbs.
#include "arith/transform_digits.h"

#include <cmath>
#include <cstdint>

#include "arith/transform_digits_steps.h"

namespace ostrel2 {

int TransformLength(int32_t precision) {
    int n = 32;
    while (n < 2 * (precision + GUARD_LIMBS + 1)) n *= 2;
    return n;
}

void BalanceDigits(double B, int top, double* D) {
    const double halfBase = B / 2;
    double carry = 0.0;
    for (int k = top - 1; k >= 2; --k) {
        const double v = D[k] + carry;
        const bool over = v >= halfBase;  // selected, not branched: digits are random
        D[k] = over ? v - B : v;
        carry = over ? 1.0 : 0.0;
    }
    D[1] += carry;
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

// Each position, with the carries from below, is rounded and cut into three base-B digits c1 (two
// positions up), d1 (one up) and T[j] (kept). c1 is taken one too small, so that every T[j] is in
// 0 .. B - 1 even where the balanced positions are negative. The carry into position 0 is
// B c1 + c2.
double SerialDigits(int m, double B, const DigitCarryIn& in, const double* X, double* T) {
    const double B2 = B * B;
    double c1 = in.c1;
    double c2 = in.c2;
    for (int j = m - 1; j >= 1; --j) {
        double x = (in.scale * X[j - in.flag] + c2 + 0.5) / B2;
        c2 = c1;
        c1 = TruncDigit(x) - 1;
        x = (x - c1) * B;
        const double d1 = TruncDigit(x);
        T[j] = TruncDigit((x - d1) * B);
        c2 = c2 + d1;
    }
    return B * c1 + c2;
}

void FromTransformDigits(int m, double B, int n, double* X, WorkLong& out) {
    double T[DFT_MAX_LENGTH];
    const DigitCarryIn in = StartConversion(m, B, n, X, out);
    const double carry = SerialDigits(m, B, in, X, T);
    FinishConversion(in, carry, m, B, n, X, T, LimbRule::Floor, out);
}

}  // namespace ostrel2

// transform_digits_steps.h -- the steps the product's digit conversions
// (arith/transform/transform_digits.cpp) and the reference ones the tests keep
// (tests/support/transform_reference.cpp) share, written once. The short ones are inline, so that
// each conversion compiles them into its own code.
#pragma once

#include <cmath>
#include <cstdint>

#include "arith/transform/engine.h"
#include "core/long_number.h"

namespace ostrel2 {

// Truncation toward zero with the same result as std::trunc for every double (signed zeros,
// infinities and NaN included), through a 32-bit conversion: the values met in the digit
// conversions are small, and the general sequence is several times slower on the carry chain.
inline double TruncDigit(double x) {
    return std::fabs(x) < 2147483647.0 ? std::copysign(static_cast<double>(static_cast<int32_t>(x)), x)
                                       : std::trunc(x);
}

// The last limb of x that the half starting at digit off takes: the half spans n/2 digits (n/4
// limbs), cut at x's last live limb.
inline int LastLimbOfHalf(int n, int off, const WorkLong& x) {
    int last = (off + n / 2) / 2 - 1;
    if (last > LastLimb(x)) last = LastLimb(x);
    if (last > WORK_LIMBS - 1) last = WORK_LIMBS - 1;
    return last;
}

// The three header slots of x's half from digit off on, whose plain top digit is D[0]: the top
// digit, the position of digit 0 in units of five decimal digits, and the sign.
inline void DigitHeader(const double* D, const WorkLong& x, int off, double* H) {
    H[0] = D[0];
    H[1] = static_cast<double>(x.exponent / 5 + 1 - off);
    H[2] = static_cast<double>(x.sign);
}

// Balances digits 2 .. top - 1 into -B/2 .. B/2 - 1 from the end toward the front; the last carry
// goes into position 1, and position 0 keeps its plain value.
void BalanceDigits(double B, int top, double* D);

// What a conversion of the backward transform knows before it cuts positions m - 1 .. 1 into
// digits: the carry the positions below m send up, as the base-B digits c1 (taken one too small)
// and c2, and the two-digit flag of the top product.
struct DigitCarryIn {
    double scale;  // 2/n: the backward transform is n/2 times the convolution
    int flag;      // 1 when the top product has two digits (everything below moves down one)
    double c1;
    double c2;
    int used;  // output positions any limb reads: m, but at most 2 (out.precision + 4)
    double u;  // the carry's estimate in units of B^2, whose truncation gives c1 + 1
    double w;  // the estimate less c1 B^2, in units of B, plus 0.5: its truncation gives c2
};

// The start of the conversion: sets X[0] to the exact top product, n/2 |X[n]|.
inline DigitCarryIn StartConversion(int m, double B, int n, double* X, const WorkLong& out) {
    DigitCarryIn in;
    in.scale = 2.0 / n;
    const double B2 = B * B;

    // Position 0 is the product of the top digits, known exactly; flag 1 when it has two digits,
    // which then occupy output positions 0 and 1 and shift everything below by one.
    const double t = std::fabs(X[n]);
    in.flag = t + 0.5 >= B ? 1 : 0;
    X[0] = (n / 2) * t;

    // Carry from the positions below the converted ones, with up to three positions of fraction.
    const int j0 = m - in.flag;
    const double weights[4] = {1.0, 1.0 / B, 1.0 / B2, 1.0 / (B2 * B)};
    double acc = 0.0;
    for (int i = 0; i < 4 && j0 + i < n; ++i) acc += X[j0 + i] * weights[i];
    const double u = (in.scale * acc + 0.5) / B2;
    in.c1 = TruncDigit(u) - 1;
    const double w = (u - in.c1) * B + 0.5;
    in.c2 = TruncDigit(w);
    in.u = u;
    in.w = w;

    // Output positions at or beyond 2J never reach a limb (T[2J - 1] is the last one read).
    const int J = out.precision + GUARD_LIMBS + 1;
    in.used = m < 2 * J ? m : 2 * J;
    return in;
}

// Digits of the rounded positions m - 1 .. 1 into T[1 .. m - 1] by the serial rule; returns
// the carry into position 0.
double SerialDigits(int m, double B, const DigitCarryIn& in, const double* X, double* T);

// How a limb is formed from its two digits: the reference conversion's
// floor(B T[i] + T[i + 1] + 0.1), or the sum itself plus 0, the same value wherever every T is a
// whole number.
enum class LimbRule { Floor, WholeSum };

// The end of the conversion: position 0 from the carry into it, then out's sign, exponent and
// limbs from T[0 .. used - 1], and the leading zero limbs shifted out.
inline void FinishConversion(const DigitCarryIn& in, double carry, int m, double B, int n,
                             const double* X, double* T, LimbRule rule, WorkLong& out) {
    int flag = in.flag;
    double V = carry + 0.5;
    if (flag == 0) V += in.scale * X[0];
    const double top = TruncDigit(V / B);
    T[0] = TruncDigit(V - B * top);
    if (top > 0) {
        for (int j = in.used - 1; j >= 1; --j) T[j] = T[j - 1];
        T[0] = top;
        ++flag;
    }

    const double e = std::floor(flag + X[n + 1] + 0.5);
    int64_t exponent = 5 * (static_cast<int64_t>(e) - 1);
    out.sign = X[n + 2] > 0.5 ? 1 : -1;
    out.error = 0;

    // Positions at or beyond m count as digit 0.
    const int J = out.precision + GUARD_LIMBS + 1;
    for (int i = m; i < 2 * J; ++i) T[i] = 0.0;
    // The reference conversion keeps the library's floor. Every T position holds a whole number (a
    // carried digit, a truncation or 0), so B T[i] + T[i + 1] is a whole number too (or not
    // finite), and floor(x + 0.1) of a whole number x is x itself; adding +0 gives the floor's +0
    // where the sum is -0. The product's conversion takes that shortcut.
    const bool floor = rule == LimbRule::Floor;
    if (exponent % 10 == 0) {
        if (floor) {
            for (int j = 0; j < J; ++j) out.limbs[j] = std::floor(B * T[2 * j] + T[2 * j + 1] + 0.1);
        } else {
            for (int j = 0; j < J; ++j) out.limbs[j] = (B * T[2 * j] + T[2 * j + 1]) + 0.0;
        }
    } else {
        exponent += 5;
        out.limbs[0] = T[0];
        if (floor) {
            for (int j = 1; j < J; ++j) out.limbs[j] = std::floor(B * T[2 * j - 1] + T[2 * j] + 0.1);
        } else {
            for (int j = 1; j < J; ++j) out.limbs[j] = (B * T[2 * j - 1] + T[2 * j]) + 0.0;
        }
        if (T[2 * J - 1] > B / 2) out.limbs[J - 1] += 1;
    }

    int z = 0;
    while (z < J && !(out.limbs[z] > 0)) ++z;
    if (z == J) z = 0;
    if (z > 0) {
        exponent -= 10 * static_cast<int64_t>(z);
        for (int j = 0; j + z < J; ++j) out.limbs[j] = out.limbs[j + z];
        for (int j = J - z; j < J; ++j) out.limbs[j] = 0.0;
    }
    if (exponent > INT32_MAX) exponent = INT32_MAX;
    if (exponent < INT32_MIN) exponent = INT32_MIN;
    out.exponent = static_cast<int32_t>(exponent);
}

}  // namespace ostrel2

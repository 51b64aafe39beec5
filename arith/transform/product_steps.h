// product_steps.h -- the steps of the transform product, written once over the pieces that run
// them (a Transforms type): the front part (precision, operands normalised, zero shortcut,
// exponent bound), the three products of the digit halves, and the sum of the main and the cross
// products. multiply_transform.cpp runs them on the shared-table pieces of a kernel set
// (SharedTransforms), and at transform length 32 on the term-by-term products (DirectProducts);
// the tests run them on the reference pieces with tables of each call's own
// (tests/support/transform_reference.h), whose bits the library must give.
//
// A Transforms type provides: kReusesSpectra (whether a square's and kept spectra may stand in
// for transforms), Start() (before each product), Sure() (false where its pieces could not vouch
// for the transforms' bits), Product and ProductAdd of two spectra, ForwardDigits (a digit half,
// transformed), Backward, and Convert (positions to limbs).
#pragma once

#include <cstdint>
#include <cstring>

#include "arith/transform/engine.h"
#include "arith/transform/multiply_transform.h"
#include "core/diagnostics.h"
#include "core/long_number.h"

namespace ostrel2 {

// The transform product's view of a KeptSpectra.
struct KeptSpectraAccess {
    static int& Length(KeptSpectra& k) { return k.n_; }
    static WorkLong& Digits(KeptSpectra& k) { return k.digits_; }
    static double* Upper(KeptSpectra& k) { return k.upper_; }
    static double* Lower(KeptSpectra& k) { return k.lower_; }
};

// Copies the fields and live limbs of a finished product into the caller's record.
inline void CopyProduct(WorkLong& result, const WorkLong& r) {
    result.sign = r.sign;
    result.exponent = r.exponent;
    result.precision = r.precision;
    result.error = r.error;
    for (int32_t k = 0; k <= LastLimb(r); ++k) result.limbs[k] = r.limbs[k];
}

// Transforms through the tables shared by all calls, digits by whole-number carries.
struct SharedTransforms {
    static constexpr bool kReusesSpectra = true;  // a square's, kept ones
    const TransformKernels& kernels;
    void Start() {}
    static bool Sure() { return true; }
    void Product(int n, const double* U, double* V) const {
        SharedSpectrumProduct(n, U, V, kernels);
        V[n] = U[n] * V[n];
        V[n + 1] = U[n + 1] + V[n + 1];
        V[n + 2] = U[n + 2] * V[n + 2];
    }
    // ProductAdd in one pass, V only read: each sum is the same operation on the same operands.
    void ProductAdd(int n, const double* U, const double* V, double* S) const {
        SharedSpectrumProductAdd(n, U, V, S, kernels);
        S[n] = U[n] * V[n] + S[n];
    }
    // The digits go to a half-length area; the transform reads them and fills all of X. (The
    // product's conversions work in the base B = TRANSFORM_BASE alone.)
    void ForwardDigits(double, int n, int off, const WorkLong& x, double* X) const {
        double D[DFT_MAX_LENGTH / 2 + 1];
        ToTransformHalfDigits(n, off, x, D, X + n, kernels);
        SharedRealDftOfHalf(n, D, X, kernels);
    }
    void Backward(int n, double* a) const { SharedRealDft(n, -1, a, kernels); }
    void Convert(int m, double, int n, double* X, WorkLong& out) const {
        FromTransformDigitsCarried(m, n, X, out, kernels);
    }
};

// The products of the short lengths, formed term by term: the exact convolutions that the backward
// transforms hold up to their noise, converted by the same rule. They give the transforms' bits
// wherever the carry estimate is clear of the noise (FromExactConvolution), and say so in Sure().
// No spectra: the digits stay digits, and Backward has nothing to do.
struct DirectProducts {
    static constexpr bool kReusesSpectra = true;  // a square's products are symmetric here too
    const TransformKernels& kernels;
    bool sure = true;
    void Start() {}
    bool Sure() const { return sure; }
    void Product(int n, const double* U, double* V) const { DirectProduct(n, U, V, kernels); }
    void ProductAdd(int n, const double* U, const double* V, double* S) const {
        DirectProductAdd(n, U, V, S, kernels);
    }
    void ForwardDigits(double, int n, int off, const WorkLong& x, double* X) const {
        ToTransformHalfDigits(n, off, x, X, X + n, kernels);
    }
    static void Backward(int, double*) {}
    void Convert(int m, double, int n, double* X, WorkLong& out) {
        if (sure) sure = FromExactConvolution(m, n, X, out, kernels);
    }
};

// Whether b's digit halves are a's: the same record, or records alike in everything the digit
// conversion reads (sign, exponent, precision and the live limbs, compared as bits).
inline bool SameDigits(const WorkLong& a, const WorkLong& b) {
    if (&a == &b) return true;
    if (a.sign != b.sign || a.exponent != b.exponent || a.precision != b.precision) return false;
    return std::memcmp(a.limbs, b.limbs, (LastLimb(a) + 1) * sizeof(double)) == 0;
}

// keep <- the spectra of x's halves at length n, unless it holds them already.
template <class Transforms>
void KeepSpectra(Transforms& transforms, int n, const WorkLong& x, KeptSpectra& keep) {
    using K = KeptSpectraAccess;
    WorkLong& digits = K::Digits(keep);
    if (K::Length(keep) == n && SameDigits(x, digits)) return;
    transforms.ForwardDigits(TRANSFORM_BASE, n, 0, x, K::Upper(keep));
    transforms.ForwardDigits(TRANSFORM_BASE, n, n / 2, x, K::Lower(keep));
    K::Length(keep) = n;
    digits.sign = x.sign;
    digits.exponent = x.exponent;
    digits.precision = x.precision;
    std::memcpy(digits.limbs, x.limbs, (LastLimb(x) + 1) * sizeof(double));
}

// R <- the main product (upper x upper) and L <- the sum of the cross products of a and b at
// transform length n, through the pieces of Transforms; false where those pieces could not vouch
// for the transforms' bits (the direct products' carry estimate too near a step).
template <class Transforms>
bool FormHalves(Transforms& transforms, int n, const WorkLong& a, const WorkLong& b, WorkLong& R,
                WorkLong& L, KeptSpectra* keepA = nullptr, KeptSpectra* keepB = nullptr) {
    const double B = TRANSFORM_BASE;
    const int h = n / 2;
    double X1[DIGIT_ARRAY_SLOTS];
    double X2[DIGIT_ARRAY_SLOTS];
    double X3[DIGIT_ARRAY_SLOTS];
    transforms.Start();

    if (Transforms::kReusesSpectra && SameDigits(a, b)) {
        // A square: b's spectra are a's, so two forward transforms serve. Each spectrum product
        // is symmetric in its operands (re = ur vr - ui vi, im = ur vi + ui vr, and IEEE products
        // and sums do not depend on the order of their operands), so a lower x a upper has the
        // bits of a upper x a lower, and the cross products' sum (product + S) is S + S.
        if (KeptSpectra* keep = keepA ? keepA : keepB) {
            KeepSpectra(transforms, n, a, *keep);
            std::memcpy(X1, KeptSpectraAccess::Upper(*keep), (n + 3) * sizeof(double));
            std::memcpy(X2, KeptSpectraAccess::Lower(*keep), (n + 3) * sizeof(double));
        } else {
            transforms.ForwardDigits(B, n, 0, a, X1);
            transforms.ForwardDigits(B, n, h, a, X2);
        }
        transforms.Product(n, X1, X2);  // a upper x a lower
        transforms.Product(n, X1, X1);  // a upper x a upper
        transforms.Backward(n, X1);
        transforms.Convert(n, B, n, X1, R);
        for (int i = 0; i <= n; ++i) X2[i] = X2[i] + X2[i];
    } else if constexpr (Transforms::kReusesSpectra) {
        // As below, with a kept operand's spectra read where they stay and copied where a
        // product overwrites them.
        const int slots = n + 3;
        if (keepA) KeepSpectra(transforms, n, a, *keepA);
        if (keepB) KeepSpectra(transforms, n, b, *keepB);
        if (keepA) {
            std::memcpy(X1, KeptSpectraAccess::Upper(*keepA), slots * sizeof(double));
        } else {
            transforms.ForwardDigits(B, n, 0, a, X1);
        }
        if (keepB) {
            std::memcpy(X2, KeptSpectraAccess::Lower(*keepB), slots * sizeof(double));
        } else {
            transforms.ForwardDigits(B, n, h, b, X2);
        }
        transforms.Product(n, X1, X2);  // a upper x b lower
        const double* bUpper = X3;
        if (keepB) {
            bUpper = KeptSpectraAccess::Upper(*keepB);
        } else {
            transforms.ForwardDigits(B, n, 0, b, X3);
        }
        transforms.Product(n, bUpper, X1);  // a upper x b upper
        transforms.Backward(n, X1);
        transforms.Convert(n, B, n, X1, R);
        const double* aLower = X1;
        if (keepA) {
            aLower = KeptSpectraAccess::Lower(*keepA);
        } else {
            transforms.ForwardDigits(B, n, h, a, X1);
        }
        transforms.ProductAdd(n, aLower, bUpper, X2);  // plus a lower x b upper
    } else {
        transforms.ForwardDigits(B, n, 0, a, X1);
        transforms.ForwardDigits(B, n, h, b, X2);
        transforms.Product(n, X1, X2);  // a upper x b lower
        transforms.ForwardDigits(B, n, 0, b, X3);
        transforms.Product(n, X3, X1);  // a upper x b upper
        transforms.Backward(n, X1);
        transforms.Convert(n, B, n, X1, R);
        transforms.ForwardDigits(B, n, h, a, X1);
        transforms.ProductAdd(n, X1, X3, X2);  // plus a lower x b upper
    }
    transforms.Backward(n, X2);
    transforms.Convert(h, B, n, X2, L);
    return transforms.Sure();
}

// The product at P = max(a.precision, b.precision) clamped into [5, 506] (and to the slots a
// record has). The lower halves' product is never formed: the result is truncated below it,
// apart from rounding limb P + 3 by the next digit (odd exponents) and by the cross products'
// next limb. a and b are normalised in place; the result's error is a.error + b.error plus its own.
// A zero operand gives the zero of precision P with the operands' errors, and no message.
template <class Transforms>
WorkLong& MultiplyThrough(WorkLong& result, WorkLong& a, WorkLong& b, Transforms& transforms,
                          KeptSpectra* keepA = nullptr, KeptSpectra* keepB = nullptr) {
    int32_t P = MaxPrecision(a, b);
    if (P < TRANSFORM_MIN_PRECISION) P = TRANSFORM_MIN_PRECISION;
    if (P > TRANSFORM_MAX_PRECISION) P = TRANSFORM_MAX_PRECISION;
    if (P > MAX_PRECISION) P = MAX_PRECISION;

    // The sign is taken from the normalised operands, so that a record with a sign but only zero
    // limbs multiplies as the zero it is.
    Normalize(a);
    Normalize(b);
    const int32_t sign = a.sign * b.sign;
    WorkLong R;
    // A zero operand, also one that carries an earlier failure, gives zero; the failure's error
    // travels on and needs no second message.
    if (sign == 0) {
        InitLong(R, P, sign, 0, 0.0);
        R.error = SumErrors(a.error, b.error);
        CopyProduct(result, R);
        return result;
    }
    const int64_t exponentSum = static_cast<int64_t>(a.exponent) + b.exponent;
    if (exponentSum > MAX_EXPONENT || exponentSum < -static_cast<int64_t>(MAX_EXPONENT)) {
        Report(exponentSum > 0 ? Message::Overflow : Message::Underflow);
        InitLong(R, P, sign, 0, 0.0);
        R.sign = 0;
        R.error = -1;
        CopyProduct(result, R);
        return result;
    }
    // The digit conversions set every other field and every live limb of R and L.
    R.precision = P;
    WorkLong L;
    L.precision = P;
    const int n = TransformLength(P);
    bool formed = false;
    if constexpr (Transforms::kReusesSpectra) {
        if (n <= DIRECT_MAX_LENGTH) {
            DirectProducts direct{transforms.kernels};
            formed = FormHalves(direct, n, a, b, R, L);
        }
    }
    if (!formed) FormHalves(transforms, n, a, b, R, L, keepA, keepB);

    // The cross products lie s limbs below the main product.
    const int64_t s = (static_cast<int64_t>(R.exponent) - L.exponent) / 10;
    const int64_t last = P + GUARD_LIMBS;
    for (int64_t k = s > 0 ? s : 0; k <= last && k - s <= last; ++k) {
        R.limbs[k] += L.limbs[k - s];
    }
    const int64_t next = last + 1 - s;
    if (next >= 0 && next <= last && L.limbs[next] > LIMB_BASE / 2) R.limbs[last] += 1;

    Normalize(R);
    R.error = SumErrors(a.error, R.error, b.error);
    CopyProduct(result, R);
    return result;
}

}  // namespace ostrel2

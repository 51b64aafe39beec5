// multiply_transform.cpp -- the product of two records by convolution of base-100,000 digits
// through the real discrete Fourier transform: upper x upper plus the two cross products.
// MultiplLong runs it on the fast pieces (real_dft_fast.h, transform_digits_fast.h), and at
// transform length 32 forms the convolutions term by term instead (direct_convolution.h), with
// the transforms' bits; MultiplLongPerCallTables, the reference for the tests, on the plain ones.
#include "arith/multiply_transform.h"

#include <cstdint>
#include <cstring>

#include "arith/direct_convolution.h"
#include "arith/real_dft.h"
#include "arith/real_dft_fast.h"
#include "arith/transform_digits.h"
#include "arith/transform_digits_fast.h"
#include "arith/transform_testing.h"
#include "core/diagnostics.h"

namespace ostrel2 {

namespace {

// Copies the fields and live limbs of a finished product into the caller's record.
void CopyProduct(WorkLong& result, const WorkLong& r) {
    result.sign = r.sign;
    result.exponent = r.exponent;
    result.precision = r.precision;
    result.error = r.error;
    for (int32_t k = 0; k <= LastLimb(r); ++k) result.limbs[k] = r.limbs[k];
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

// Transforms through the tables shared by all calls, digits by whole-number carries.
struct SharedTransforms {
    static constexpr bool kReusesSpectra = true;  // a square's, kept ones
    void Start() {}
    static bool Sure() { return true; }
    static void Product(int n, const double* U, double* V) {
        SharedSpectrumProduct(n, U, V);
        V[n] = U[n] * V[n];
        V[n + 1] = U[n + 1] + V[n + 1];
        V[n + 2] = U[n + 2] * V[n + 2];
    }
    // ProductAdd in one pass, V only read: each sum is the same operation on the same operands.
    static void ProductAdd(int n, const double* U, const double* V, double* S) {
        SharedSpectrumProductAdd(n, U, V, S);
        S[n] = U[n] * V[n] + S[n];
    }
    // The digits go to a half-length area; the transform reads them and fills all of X. (The
    // fast conversions work in the base B = TRANSFORM_BASE alone.)
    static void ForwardDigits(double, int n, int off, const WorkLong& x, double* X) {
        double D[DFT_MAX_LENGTH / 2 + 1];
        ToTransformHalfDigits(n, off, x, D, X + n);
        SharedRealDftOfHalf(n, D, X);
    }
    void Backward(int n, double* a) { SharedRealDft(n, -1, a); }
    static void Convert(int m, double, int n, double* X, WorkLong& out) {
        FromTransformDigitsCarried(m, n, X, out);
    }
};

// The products of the short lengths, formed term by term: the exact convolutions that the backward
// transforms hold up to their noise, converted by the same rule. They give the transforms' bits
// wherever the carry estimate is clear of the noise (FromExactConvolution), and say so in Sure().
// No spectra: the digits stay digits, and Backward has nothing to do.
struct DirectProducts {
    static constexpr bool kReusesSpectra = true;  // a square's products are symmetric here too
    bool sure = true;
    void Start() {}
    bool Sure() const { return sure; }
    static void Product(int n, const double* U, double* V) { DirectProduct(n, U, V); }
    static void ProductAdd(int n, const double* U, const double* V, double* S) {
        DirectProductAdd(n, U, V, S);
    }
    static void ForwardDigits(double, int n, int off, const WorkLong& x, double* X) {
        ToTransformHalfDigits(n, off, x, X, X + n);
    }
    static void Backward(int, double*) {}
    void Convert(int m, double, int n, double* X, WorkLong& out) {
        if (sure) sure = FromExactConvolution(m, n, X, out);
    }
};

// Whether b's digit halves are a's: the same record, or records alike in everything the digit
// conversion reads (sign, exponent, precision and the live limbs, compared as bits).
bool SameDigits(const WorkLong& a, const WorkLong& b) {
    if (&a == &b) return true;
    if (a.sign != b.sign || a.exponent != b.exponent || a.precision != b.precision) return false;
    return std::memcmp(a.limbs, b.limbs, (LastLimb(a) + 1) * sizeof(double)) == 0;
}

// keep <- the spectra of x's halves at length n, unless it holds them already.
template <class Transforms>
void KeepSpectra(Transforms& transforms, int n, const WorkLong& x, KeptSpectra& keep) {
    if (keep.n == n && SameDigits(x, keep.digits)) return;
    transforms.ForwardDigits(TRANSFORM_BASE, n, 0, x, keep.upper);
    transforms.ForwardDigits(TRANSFORM_BASE, n, n / 2, x, keep.lower);
    keep.n = n;
    keep.digits.sign = x.sign;
    keep.digits.exponent = x.exponent;
    keep.digits.precision = x.precision;
    std::memcpy(keep.digits.limbs, x.limbs, (LastLimb(x) + 1) * sizeof(double));
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
            std::memcpy(X1, keep->upper, (n + 3) * sizeof(double));
            std::memcpy(X2, keep->lower, (n + 3) * sizeof(double));
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
            std::memcpy(X1, keepA->upper, slots * sizeof(double));
        } else {
            transforms.ForwardDigits(B, n, 0, a, X1);
        }
        if (keepB) {
            std::memcpy(X2, keepB->lower, slots * sizeof(double));
        } else {
            transforms.ForwardDigits(B, n, h, b, X2);
        }
        transforms.Product(n, X1, X2);  // a upper x b lower
        const double* bUpper = X3;
        if (keepB) {
            bUpper = keepB->upper;
        } else {
            transforms.ForwardDigits(B, n, 0, b, X3);
        }
        transforms.Product(n, bUpper, X1);  // a upper x b upper
        transforms.Backward(n, X1);
        transforms.Convert(n, B, n, X1, R);
        const double* aLower = X1;
        if (keepA) {
            aLower = keepA->lower;
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
            DirectProducts direct;
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

}  // namespace

WorkLong& MultiplLongPerCallTables(WorkLong& result, WorkLong& a, WorkLong& b) {
    PerCallTables transforms;
    return MultiplyThrough(result, a, b, transforms);
}

WorkLong& MultiplLong(WorkLong& result, WorkLong& a, WorkLong& b) {
    SharedTransforms transforms;
    return MultiplyThrough(result, a, b, transforms);
}

WorkLong& MultiplLongKept(WorkLong& result, WorkLong& a, WorkLong& b, KeptSpectra* keepA,
                          KeptSpectra* keepB) {
    SharedTransforms transforms;
    return MultiplyThrough(result, a, b, transforms, keepA, keepB);
}

}  // namespace ostrel2

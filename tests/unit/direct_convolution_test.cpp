// Tests of the products formed term by term at the short transform lengths: their values are
// the exact convolutions, the transforms' noise on the same products stays far inside the
// clearance the conversion asks of the carry estimate, and where the estimate lies within it the
// product is formed through the transforms, with their bits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

#include "arith/transform/engine.h"
#include "arith/transform/kernel_set.h"
#include "arith/transform/multiply_transform.h"
#include "support/gmp_reference.h"
#include "support/transform_reference.h"

namespace ostrel2 {
namespace {

bool SameRecord(const WorkLong& x, const WorkLong& y) {
    if (x.sign != y.sign || x.exponent != y.exponent || x.precision != y.precision ||
        x.error != y.error)
        return false;
    return std::memcmp(x.limbs, y.limbs, (LastLimb(x) + 1) * sizeof(double)) == 0;
}

// Digit halves as the conversion makes them: position 0 plain (0 .. 99,999), position 1 up to
// 100,000, the rest balanced into -50,000 .. 49,999; the half may end early (trailing zeros).
enum class Digits { Random, Largest, Smallest, Alternating, Short };

void FillHalf(Digits kind, int h, std::mt19937_64& engine, double* D) {
    std::uniform_int_distribution<int> balanced(-50000, 49999);
    const int live = kind == Digits::Short ? 1 + static_cast<int>(engine() % h) : h;
    for (int i = 0; i < h; ++i) {
        double d = balanced(engine);
        if (kind == Digits::Largest) d = 49999;
        if (kind == Digits::Smallest) d = -50000;
        if (kind == Digits::Alternating) d = i % 2 ? -50000 : 49999;
        if (i == 0) d = kind == Digits::Random || kind == Digits::Short ? engine() % 100000 : 99999;
        if (i == 1) d = kind == Digits::Random || kind == Digits::Short ? engine() % 100001 : 100000;
        D[i] = i < live ? d : 0.0;
    }
}

// n/2 times the linear convolution, in whole numbers.
void ExactConvolution(int n, const double* U, const double* V, int64_t* C) {
    const int h = n / 2;
    for (int k = 0; k < n; ++k) C[k] = 0;
    for (int i = 0; i < h; ++i)
        for (int j = 0; j < h; ++j)
            C[i + j] += static_cast<int64_t>(U[i]) * static_cast<int64_t>(V[j]) * h;
}

const Digits kKinds[] = {Digits::Random, Digits::Largest, Digits::Smallest, Digits::Alternating,
                         Digits::Short};

// The direct values are the exact convolution in every kernel set, the header slots are formed as
// the spectrum product forms them, and a square (U and V the same array) works in place.
TEST(DirectConvolution, ValuesAreTheExactConvolution) {
    std::mt19937_64 engine(32);
    for (int n = 32; n <= DIRECT_MAX_LENGTH; n *= 2) {
        for (Digits kind : kKinds) {
            for (int round = 0; round < 50; ++round) {
                double U[DIGIT_ARRAY_SLOTS], V[DIGIT_ARRAY_SLOTS], S[DIGIT_ARRAY_SLOTS];
                FillHalf(kind, n / 2, engine, U);
                FillHalf(Digits::Random, n / 2, engine, V);
                U[n] = U[0], U[n + 1] = 3, U[n + 2] = -1;
                V[n] = V[0], V[n + 1] = -7, V[n + 2] = 1;
                int64_t exact[DFT_MAX_LENGTH], square[DFT_MAX_LENGTH];
                ExactConvolution(n, U, V, exact);
                ExactConvolution(n, U, U, square);
                for (KernelSet set : RunnableKernelSets()) {
                    const TransformKernels& kernels = KernelsFor(set);
                    double W[DIGIT_ARRAY_SLOTS], Q[DIGIT_ARRAY_SLOTS];
                    std::copy(V, V + n + 3, W);
                    std::copy(U, U + n + 3, Q);
                    DirectProduct(n, U, W, kernels);
                    DirectProduct(n, Q, Q, kernels);
                    for (int k = 0; k < n; ++k) {
                        ASSERT_EQ(W[k], static_cast<double>(exact[k])) << "n " << n << " k " << k;
                        ASSERT_EQ(Q[k], static_cast<double>(square[k])) << "n " << n << " k " << k;
                    }
                    EXPECT_EQ(W[n], U[0] * V[0]);
                    EXPECT_EQ(W[n + 1], -4.0);
                    EXPECT_EQ(W[n + 2], -1.0);
                    std::copy(W, W + n + 3, S);
                    DirectProductAdd(n, U, U, S, kernels);
                    for (int k = 0; k < n; ++k)
                        ASSERT_EQ(S[k], static_cast<double>(exact[k] + square[k])) << "k " << k;
                    EXPECT_EQ(S[n], U[0] * U[0] + U[0] * V[0]);
                    EXPECT_EQ(S[n + 1], -4.0);
                }
            }
        }
    }
}

// The same products through the transforms (forward transforms of both halves, spectrum
// product, backward transform) differ from the exact values by the transforms' noise alone. At
// the lengths formed directly it must stay far below the clearance the conversion asks of the
// carry estimate: the direct products can only vouch for the transforms' bits through it.
TEST(DirectConvolution, TransformNoiseStaysFarInsideTheClearance) {
    std::mt19937_64 engine(33);
    double worst = 0.0;
    for (int n = 32; n <= DIRECT_MAX_LENGTH; n *= 2) {
        for (Digits kind : kKinds) {
            for (Digits other : kKinds) {
                for (int round = 0; round < 40; ++round) {
                    double U[DIGIT_ARRAY_SLOTS], V[DIGIT_ARRAY_SLOTS];
                    double A[DIGIT_ARRAY_SLOTS], B[DIGIT_ARRAY_SLOTS];
                    FillHalf(kind, n / 2, engine, U);
                    FillHalf(other, n / 2, engine, V);
                    SharedRealDftOfHalf(n, U, A);
                    SharedRealDftOfHalf(n, V, B);
                    SharedSpectrumProduct(n, A, B);
                    SharedRealDft(n, -1, B);
                    int64_t exact[DFT_MAX_LENGTH];
                    ExactConvolution(n, U, V, exact);
                    for (int k = 1; k < n; ++k) {
                        const double noise =
                            std::fabs(B[k] - static_cast<double>(exact[k])) * 2.0 / n;
                        worst = std::max(worst, noise);
                    }
                }
            }
        }
    }
    // A sum of two cross products carries at most twice one product's noise.
    RecordProperty("worst_noise", std::to_string(worst));
    EXPECT_LT(2 * worst, CARRY_CLEARANCE / 64) << "worst noise " << worst;
}

// A half-length array of exact convolution values whose carry estimate (positions m - 1 ..)
// lands exactly on a step of its second truncation: 49,999 and 50,000 give an estimate of
// 49,999.5 + 0.5 units, half a base unit on top of the step; shift moves it off by that many units.
void StepAtCarryEstimate(int n, double shift, double* X) {
    for (int k = 0; k <= n + 2; ++k) X[k] = 0.0;
    const double half = n / 2;
    X[3] = 123 * half;
    X[n / 2 - 1] = (49999 + shift) * half;
    X[n / 2] = 50000 * half;
    X[n] = 150000;  // a two-digit top product: the estimate starts one position up
    X[n + 1] = 2;
    X[n + 2] = 1;
}

// The conversion of exact values refuses a carry estimate on a step (there the transforms' noise
// could decide either way) and takes one just outside the clearance, with the record the
// transform conversion gives for the same values.
TEST(DirectConvolution, CarryEstimateOnAStepIsLeftToTheTransforms) {
    const int n = 32;
    for (double shift : {0.0, 0.2, -0.2, 0.3, 1.0, -1.0, 300.0}) {
        double X[DIGIT_ARRAY_SLOTS];
        StepAtCarryEstimate(n, shift, X);
        double Y[DIGIT_ARRAY_SLOTS];
        std::copy(X, X + n + 3, Y);
        WorkLong direct, carried;
        InitLong(direct, 5, 1, 0, 0.0);
        InitLong(carried, 5, 1, 0, 0.0);
        const WorkLong untouched = direct;
        const bool taken = FromExactConvolution(n / 2, n, X, direct);
        // Shifts of 0.2 and 0.3 units are exact values of no product, but show where the
        // clearance ends.
        EXPECT_EQ(taken, std::fabs(shift) > CARRY_CLEARANCE) << "shift " << shift;
        FromTransformDigitsCarried(n / 2, n, Y, carried);
        if (taken) {
            EXPECT_TRUE(SameRecord(direct, carried)) << "shift " << shift;
        } else {
            EXPECT_TRUE(SameRecord(direct, untouched)) << "shift " << shift;
        }
    }
}

// Operands whose cross products put that step into the carry estimate: a's upper half ends in
// the digits 0, 1 (limb 7 = 1), a's lower half is zero, b's lower half holds the digits 49,999
// and 50,000 (limb 8 = 4,999,950,000), and a's top digit is at least 3, so that the cross
// products' top product has two digits. The product must give the bits of the transforms.
TEST(DirectConvolution, ProductWithTheEstimateOnAStepHasTheTransformsBits) {
    reference::RandomLongs random(34);
    const int n = TransformLength(5);
    ASSERT_LE(n, DIRECT_MAX_LENGTH);
    for (int round = 0; round < 200; ++round) {
        WorkLong a = random.Next(5, -50, 50);
        WorkLong b = random.Next(5, -50, 50);
        a.limbs[0] = static_cast<double>(random.Between(3, 99999)) * 100000 + random.Between(0, 99999);
        for (int32_t k = 1; k <= LastLimb(a); ++k) {
            if (k < 7 && random.Between(0, 1)) a.limbs[k] = static_cast<double>(random.Between(0, 9999999999));
            if (k == 7) a.limbs[k] = 1;
            if (k > 7) a.limbs[k] = 0;
        }
        for (int32_t k = 8; k <= LastLimb(b); ++k) b.limbs[k] = k == 8 ? 4999950000.0 : 0.0;

        // The cross products' conversion meets the step.
        double aUpper[DIGIT_ARRAY_SLOTS], bLower[DIGIT_ARRAY_SLOTS];
        ToTransformHalfDigits(n, 0, a, aUpper, aUpper + n);
        ToTransformHalfDigits(n, n / 2, b, bLower, bLower + n);
        DirectProduct(n, aUpper, bLower);
        WorkLong L;
        InitLong(L, 5, 1, 0, 0.0);
        ASSERT_FALSE(FromExactConvolution(n / 2, n, bLower, L)) << "round " << round;

        WorkLong a2 = a, b2 = b;
        WorkLong product, perCall;
        MultiplLong(product, a, b);
        reference::MultiplLongPerCallTables(perCall, a2, b2);
        ASSERT_TRUE(SameRecord(product, perCall))
            << "round " << round << "\n product  " << reference::Describe(product)
            << "\n per call " << reference::Describe(perCall);
    }
}

// Every precision formed directly, densely: random operands, limbs at the balancing edges and all
// nines, squares, against the products with per-call tables, bit for bit, in every kernel set.
TEST(DirectConvolution, ShortProductsGiveThePerCallTablesBits) {
    reference::RandomLongs random(35);
    const double edges[] = {4999949999.0, 4999950000.0, 49999.0, 9999949999.0, 9999999999.0, 0.0};
    int32_t direct = 1;
    while (TransformLength(direct + 1 < TRANSFORM_MIN_PRECISION ? TRANSFORM_MIN_PRECISION : direct + 1) <=
           DIRECT_MAX_LENGTH)
        ++direct;
    for (int32_t p = 1; p <= direct + 1; ++p) {
        for (int round = 0; round < 1500; ++round) {
            WorkLong a = random.Next(p, -200, 200);
            WorkLong b = random.Next(static_cast<int32_t>(random.Between(1, direct)), -200, 200);
            for (WorkLong* x : {&a, &b}) {
                if (round % 3 == 0) continue;
                for (int32_t k = 1; k <= LastLimb(*x); ++k)
                    if (random.Between(0, 2) == 0) x->limbs[k] = edges[random.Between(0, 5)];
            }
            if (round % 5 == 0) b = a;
            WorkLong a2 = a, b2 = b;
            WorkLong perCall;
            reference::MultiplLongPerCallTables(perCall, a2, b2);
            for (KernelSet set : RunnableKernelSets()) {
                WorkLong x = a, y = b, product;
                reference::MultiplLongWith(set, product, x, y);
                ASSERT_TRUE(SameRecord(product, perCall))
                    << "p = " << p << ", round " << round << ", " << KernelSetName(set)
                    << "\n product  " << reference::Describe(product) << "\n per call "
                    << reference::Describe(perCall);
            }
        }
    }
}

}  // namespace
}  // namespace ostrel2

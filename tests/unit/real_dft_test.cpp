// real_dft_test.cpp -- the real transform against its definition as a direct sum, for every
// power-of-two length 2 .. 1024, in both directions, and the rules for building its tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "arith/transform/engine.h"
#include "arith/transform/kernel_set.h"
#include "arith/transform/tables.h"
#include "support/transform_reference.h"

namespace ostrel2 {
namespace {

using reference::RealDft;
using Reals = std::vector<double>;

constexpr long double kPi = 3.141592653589793238462643383279502884L;

// Packed spectrum by the direct O(n^2) sum: a[0] = R[0], a[1] = R[n/2], a[2k] = R[k],
// a[2k+1] = I[k], R + iI = sum_j a[j] e^{+2 pi i jk/n}.
Reals DirectForward(const Reals& a) {
    const int n = static_cast<int>(a.size());
    Reals out(n);
    for (int k = 0; k <= n / 2; ++k) {
        long double re = 0;
        long double im = 0;
        for (int j = 0; j < n; ++j) {
            const long double angle = 2 * kPi * ((static_cast<long>(j) * k) % n) / n;
            re += a[j] * std::cos(angle);
            im += a[j] * std::sin(angle);
        }
        if (k == 0) {
            out[0] = static_cast<double>(re);
        } else if (k == n / 2) {
            out[1] = static_cast<double>(re);
        } else {
            out[2 * k] = static_cast<double>(re);
            out[2 * k + 1] = static_cast<double>(im);
        }
    }
    return out;
}

// Unscaled backward transform of a packed spectrum by the direct sum:
// a[k] = (R[0] + R[n/2] cos(pi k))/2 + sum_{0<j<n/2} R[j] cos(2 pi jk/n) + I[j] sin(2 pi jk/n).
Reals DirectBackward(const Reals& s) {
    const int n = static_cast<int>(s.size());
    Reals out(n);
    for (int k = 0; k < n; ++k) {
        long double v = (static_cast<long double>(s[0]) + (k % 2 == 0 ? s[1] : -s[1])) / 2;
        for (int j = 1; j < n / 2; ++j) {
            const long double angle = 2 * kPi * ((static_cast<long>(j) * k) % n) / n;
            v += s[2 * j] * std::cos(angle) + s[2 * j + 1] * std::sin(angle);
        }
        out[k] = static_cast<double>(v);
    }
    return out;
}

Reals RandomReals(int n, std::mt19937_64& engine) {
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    Reals a(n);
    for (double& x : a) x = dist(engine);
    return a;
}

double MaxDifference(const Reals& x, const Reals& y) {
    double d = 0;
    for (size_t i = 0; i < x.size(); ++i) d = std::max(d, std::fabs(x[i] - y[i]));
    return d;
}

// Fresh work areas: ip[0] = 0 forces the tables to be built on the first call.
struct WorkAreas {
    int ip[DFT_INDEX_SLOTS] = {};
    double w[DFT_TABLE_SLOTS] = {};
};

// Rounding error of a transform of inputs bounded by 1: a few ulps of n per stage.
double Tolerance(int n) { return 1e-14 * n * std::log2(2.0 * n); }

TEST(RealDft, ForwardMatchesDirectSumAtEveryLength) {
    std::mt19937_64 engine(11);
    for (int n = 2; n <= DFT_MAX_LENGTH; n *= 2) {
        const Reals input = RandomReals(n, engine);
        Reals a = input;
        WorkAreas work;
        RealDft(n, 1, a.data(), work.ip, work.w);
        EXPECT_LE(MaxDifference(a, DirectForward(input)), Tolerance(n)) << "n = " << n;
    }
}

TEST(RealDft, BackwardMatchesDirectSumAtEveryLength) {
    std::mt19937_64 engine(12);
    for (int n = 2; n <= DFT_MAX_LENGTH; n *= 2) {
        const Reals spectrum = RandomReals(n, engine);
        Reals a = spectrum;
        WorkAreas work;
        RealDft(n, -1, a.data(), work.ip, work.w);
        EXPECT_LE(MaxDifference(a, DirectBackward(spectrum)), Tolerance(n)) << "n = " << n;
    }
}

TEST(RealDft, ForwardThenBackwardScalesByHalfTheLength) {
    std::mt19937_64 engine(13);
    for (int n = 2; n <= DFT_MAX_LENGTH; n *= 2) {
        const Reals input = RandomReals(n, engine);
        Reals a = input;
        WorkAreas work;
        RealDft(n, 1, a.data(), work.ip, work.w);
        RealDft(n, -1, a.data(), work.ip, work.w);
        Reals expected = input;
        for (double& x : expected) x *= n / 2;
        EXPECT_LE(MaxDifference(a, expected), Tolerance(n)) << "n = " << n;
    }
}

TEST(RealDft, UnitImpulseHasFlatSpectrumAndComesBackAsHalfTheLength) {
    for (int n = 2; n <= DFT_MAX_LENGTH; n *= 2) {
        Reals a(n, 0.0);
        a[0] = 1.0;
        WorkAreas work;
        RealDft(n, 1, a.data(), work.ip, work.w);
        for (int k = 0; k < n; ++k) {
            const double expected = (k < 2 || k % 2 == 0) ? 1.0 : 0.0;
            EXPECT_NEAR(a[k], expected, Tolerance(n)) << "n = " << n << ", k = " << k;
        }
        RealDft(n, -1, a.data(), work.ip, work.w);
        for (int k = 0; k < n; ++k)
            EXPECT_NEAR(a[k], k == 0 ? n / 2 : 0.0, Tolerance(n)) << "n = " << n << ", k = " << k;
    }
}

TEST(RealDft, ShortLengthsByHand) {
    WorkAreas work;
    double two[2] = {3.0, 5.0};
    RealDft(2, 1, two, work.ip, work.w);
    EXPECT_EQ(two[0], 8.0);
    EXPECT_EQ(two[1], -2.0);
    EXPECT_EQ(work.ip[0], 0) << "no twiddle table at n = 2";

    // n = 4: R[0] = 10, R[2] = -2, R[1] + i I[1] = (1 - 3) + i (2 - 4).
    double four[4] = {1.0, 2.0, 3.0, 4.0};
    RealDft(4, 1, four, work.ip, work.w);
    EXPECT_EQ(four[0], 10.0);
    EXPECT_EQ(four[1], -2.0);
    EXPECT_EQ(four[2], -2.0);
    EXPECT_EQ(four[3], -2.0);
    RealDft(4, -1, four, work.ip, work.w);
    EXPECT_EQ(four[0], 2.0);
    EXPECT_EQ(four[1], 4.0);
    EXPECT_EQ(four[2], 6.0);
    EXPECT_EQ(four[3], 8.0);
}

// The cyclic convolution of small whole numbers comes back exactly after rounding.
TEST(RealDft, SpectrumProductGivesHalfLengthTimesCyclicConvolution) {
    std::mt19937_64 engine(14);
    std::uniform_int_distribution<int> digit(-50000, 49999);
    for (int n = 4; n <= DFT_MAX_LENGTH; n *= 2) {
        Reals x(n), y(n);
        for (int i = 0; i < n; ++i) {
            x[i] = digit(engine);
            y[i] = digit(engine);
        }
        WorkAreas work;
        Reals fx = x, fy = y;
        RealDft(n, 1, fx.data(), work.ip, work.w);
        RealDft(n, 1, fy.data(), work.ip, work.w);
        Reals p(n);
        p[0] = fx[0] * fy[0];
        p[1] = fx[1] * fy[1];
        for (int k = 2; k < n; k += 2) {
            p[k] = fx[k] * fy[k] - fx[k + 1] * fy[k + 1];
            p[k + 1] = fx[k] * fy[k + 1] + fx[k + 1] * fy[k];
        }
        RealDft(n, -1, p.data(), work.ip, work.w);
        for (int k = 0; k < n; ++k) {
            long long exact = 0;
            for (int i = 0; i < n; ++i)
                exact += static_cast<long long>(x[i]) * static_cast<long long>(y[(k - i + n) % n]);
            EXPECT_EQ(std::nearbyint(p[k] * 2 / n), static_cast<double>(exact))
                << "n = " << n << ", k = " << k;
        }
    }
}

// The spectrum products, alone and added to a third spectrum, are bit for bit the plain formulas
// (ur vr - ui vi, ur vi + ui vr), then + S, in every kernel set; entries of +-0 check the signs of
// zeros.
TEST(RealDft, SharedSpectrumProductsGiveThePlainFormulasBits) {
    std::mt19937_64 engine(19);
    for (int n = 2; n <= DFT_MAX_LENGTH; n *= 2) {
        for (int round = 0; round < 4; ++round) {
            Reals u = RandomReals(n, engine), v = RandomReals(n, engine), s = RandomReals(n, engine);
            if (round % 2 == 1) {
                for (int i = 0; i < n; i += 3) u[i] = -0.0;
                for (int i = 1; i < n; i += 4) v[i] = 0.0;
                for (int i = 0; i < n; i += 2) s[i] = -0.0;
            }
            Reals product(n), sum(n);
            product[0] = u[0] * v[0];
            product[1] = u[1] * v[1];
            for (int k = 2; k < n; k += 2) {
                product[k] = u[k] * v[k] - u[k + 1] * v[k + 1];
                product[k + 1] = u[k] * v[k + 1] + u[k + 1] * v[k];
            }
            for (int i = 0; i < n; ++i) sum[i] = product[i] + s[i];
            for (KernelSet set : RunnableKernelSets()) {
                const TransformKernels& kernels = KernelsFor(set);
                Reals shared = v;
                SharedSpectrumProduct(n, u.data(), shared.data(), kernels);
                ASSERT_EQ(std::memcmp(shared.data(), product.data(), n * sizeof(double)), 0)
                    << n << " " << KernelSetName(set);
                Reals added = s;
                SharedSpectrumProductAdd(n, u.data(), v.data(), added.data(), kernels);
                ASSERT_EQ(std::memcmp(added.data(), sum.data(), n * sizeof(double)), 0)
                    << n << " " << KernelSetName(set);
            }
        }
    }
}

TEST(RealDft, BitReversePermutesEntriesIntoBitReversedOrder) {
    for (int n = 4; n <= DFT_MAX_LENGTH; n *= 2) {
        const int entries = n / 2;
        int bits = 0;
        while ((1 << bits) < entries) ++bits;
        Reals a(n);
        for (int e = 0; e < entries; ++e) {
            a[2 * e] = e;
            a[2 * e + 1] = -e;
        }
        int ip[DFT_INDEX_SLOTS] = {};
        BitReverse(n, ip, a.data());
        for (int e = 0; e < entries; ++e) {
            int reversed = 0;
            for (int b = 0; b < bits; ++b)
                if (e & (1 << b)) reversed |= 1 << (bits - 1 - b);
            EXPECT_EQ(a[2 * e], reversed) << "n = " << n << ", entry " << e;
            EXPECT_EQ(a[2 * e + 1], -reversed) << "n = " << n << ", entry " << e;
        }
    }
}

TEST(RealDft, TablesAreRebuiltOnlyForALongerTransform) {
    std::mt19937_64 engine(15);
    WorkAreas work;
    Reals a = RandomReals(256, engine);
    RealDft(256, 1, a.data(), work.ip, work.w);
    EXPECT_EQ(work.ip[0], 64);
    EXPECT_EQ(work.ip[1], 64);

    // A shorter transform uses the tables as they are.
    double before[DFT_TABLE_SLOTS];
    std::memcpy(before, work.w, sizeof before);
    a = RandomReals(64, engine);
    RealDft(64, -1, a.data(), work.ip, work.w);
    EXPECT_EQ(work.ip[0], 64);
    EXPECT_EQ(work.ip[1], 64);
    EXPECT_EQ(std::memcmp(before, work.w, sizeof before), 0);

    // A longer one rebuilds both, sized for exactly its own length.
    a = RandomReals(1024, engine);
    RealDft(1024, 1, a.data(), work.ip, work.w);
    EXPECT_EQ(work.ip[0], 256);
    EXPECT_EQ(work.ip[1], 256);

    // ip[0] = 0 rebuilds the twiddle table, and through ip[1] = 1 the cosine table too.
    work.ip[0] = 0;
    work.ip[1] = 256;
    a = RandomReals(32, engine);
    RealDft(32, 1, a.data(), work.ip, work.w);
    EXPECT_EQ(work.ip[0], 8);
    EXPECT_EQ(work.ip[1], 8);
}

// Tables built for a longer transform hold the same angles with the same bits, so a short
// transform through them is bit for bit the transform through tables of its own length.
TEST(RealDft, LongTablesGiveTheSameBitsAsTablesOfTheOwnLength) {
    std::mt19937_64 engine(16);
    WorkAreas longTables;
    Reals warm(DFT_MAX_LENGTH, 0.0);
    RealDft(DFT_MAX_LENGTH, 1, warm.data(), longTables.ip, longTables.w);
    for (int n = 2; n <= DFT_MAX_LENGTH; n *= 2) {
        for (int direction : {1, -1}) {
            const Reals input = RandomReals(n, engine);
            Reals viaLong = input;
            Reals viaOwn = input;
            WorkAreas own;
            RealDft(n, direction, viaLong.data(), longTables.ip, longTables.w);
            RealDft(n, direction, viaOwn.data(), own.ip, own.w);
            EXPECT_EQ(std::memcmp(viaLong.data(), viaOwn.data(), n * sizeof(double)), 0)
                << "n = " << n << ", direction " << direction;
        }
    }
}

// The transform through the shared tables (with its own bit reversal and kernel stages) is bit for
// bit the reference transform with tables of the call's own, in every kernel set, on random reals
// and on the balanced digit sequences the multiplication feeds it.
TEST(RealDft, SharedTransformGivesTheSameBitsAsThePlainOne) {
    std::mt19937_64 engine(17);
    std::uniform_int_distribution<int> digit(-50000, 49999);
    for (int n = 2; n <= DFT_MAX_LENGTH; n *= 2) {
        for (int round = 0; round < 20; ++round) {
            Reals input = RandomReals(n, engine);
            if (round % 2 == 1)
                for (double& x : input) x = digit(engine) * (round % 4 == 1 ? 1.0 : 1e6);
            for (int direction : {1, -1}) {
                Reals plain = input;
                WorkAreas own;
                RealDft(n, direction, plain.data(), own.ip, own.w);
                for (KernelSet set : RunnableKernelSets()) {
                    Reals shared = input;
                    SharedRealDft(n, direction, shared.data(), KernelsFor(set));
                    ASSERT_EQ(std::memcmp(shared.data(), plain.data(), n * sizeof(double)), 0)
                        << "n = " << n << ", direction " << direction << ", round " << round
                        << ", " << KernelSetName(set);
                }
            }
        }
    }
}

// The forward transform of a sequence with a zero upper half, read from its lower half alone, is
// bit for bit the reference forward transform of the whole sequence, in every kernel set: on random reals, on balanced
// digits with trailing zeros (the multiplication's lower halves), and with -0 entries, which the
// full butterfly turns into +0.
TEST(RealDft, TransformOfAHalfGivesTheSameBitsAsThePlainOne) {
    std::mt19937_64 engine(18);
    std::uniform_int_distribution<int> digit(-50000, 49999);
    for (int n = 2; n <= DFT_MAX_LENGTH; n *= 2) {
        for (int round = 0; round < 12; ++round) {
            Reals half = RandomReals(n / 2, engine);
            if (round % 3 == 1) {
                const int live = std::uniform_int_distribution<int>(0, n / 2)(engine);
                for (int i = 0; i < n / 2; ++i) half[i] = i < live ? digit(engine) : 0.0;
            }
            if (round % 3 == 2)
                for (int i = 0; i < n / 2; i += 3) half[i] = -0.0;
            Reals plain(n, 0.0);
            std::copy(half.begin(), half.end(), plain.begin());
            WorkAreas own;
            RealDft(n, 1, plain.data(), own.ip, own.w);
            for (KernelSet set : RunnableKernelSets()) {
                Reals shared(n, 1.0);
                SharedRealDftOfHalf(n, half.data(), shared.data(), KernelsFor(set));
                ASSERT_EQ(std::memcmp(shared.data(), plain.data(), n * sizeof(double)), 0)
                    << "n = " << n << ", round " << round << ", " << KernelSetName(set);
            }
        }
    }
}

}  // namespace
}  // namespace ostrel2

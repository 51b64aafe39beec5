// multiply_transform_test.cpp -- the transform product against exact rational products, against
// the schoolbook product where both keep every digit, and on the cases that break it: the
// two-digit top product, the longest transform, zeros, the exponent bound and short operands.
// The shared-table product is checked bit for bit against the product with per-call tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <string>

#include "arith/multiply_schoolbook.h"
#include "arith/transform/engine.h"
#include "arith/transform/kernel_set.h"
#include "arith/transform/multiply_transform.h"
#include "core/diagnostics.h"
#include "support/gmp_reference.h"
#include "support/transform_reference.h"

namespace ostrel2 {
namespace {

using reference::ExactValue;
using reference::HasExactValue;
using reference::IsCanonical;
using reference::MakeLong;
using reference::MakeRaw;
using reference::MultiplLongPerCallTables;
using reference::MultiplLongWith;
using reference::Pow10;
using reference::RandomLongs;

int32_t ProductPrecision(const WorkLong& a, const WorkLong& b) {
    const int32_t p = MaxPrecision(a, b);
    return p < 5 ? 5 : p;
}

// Exponent E (a multiple of 10) with 10^E <= |x| < 10^(E + 10), for x != 0.
int32_t CanonicalExponent(const mpq_class& x) { return MakeLong(x, 1).exponent; }

// The bound derived in docs/transform-multiplication.md. In general the error is below four units
// of limb P + 2 of the exact product: the main product is cut one limb higher when its top limb
// comes out 0, and at the lengths where n = 2(P + 4) the lower halves' product reaches into limb
// P + 3. With both top transform digits non-zero and n >= 2P + 12 it is below three units of the
// result's own last limb.
::testing::AssertionResult WithinDerivedBound(const WorkLong& product, const WorkLong& a,
                                              const WorkLong& b, const mpq_class& exact) {
    const int32_t P = ProductPrecision(a, b);
    const mpq_class error = abs(ExactValue(product) - exact);
    const int32_t E = CanonicalExponent(exact);
    const mpq_class general = 4 * Pow10(static_cast<long>(E) - 10L * (P + 2));
    if (!(error < general))
        return ::testing::AssertionFailure()
               << "error " << reference::ToScientific(error) << " not below 4 units of limb P + 2";
    const bool tight = a.limbs[0] >= TRANSFORM_BASE && b.limbs[0] >= TRANSFORM_BASE &&
                       TransformLength(P) >= 2 * P + 12;
    if (tight && !reference::WithinLastLimbUnits(product, exact, 3))
        return ::testing::AssertionFailure() << "error not below 3 units of the last limb";
    return ::testing::AssertionSuccess();
}

bool SameRecord(const WorkLong& x, const WorkLong& y) {
    if (x.sign != y.sign || x.exponent != y.exponent || x.precision != y.precision ||
        x.error != y.error)
        return false;
    return std::memcmp(x.limbs, y.limbs, (LastLimb(x) + 1) * sizeof(double)) == 0;
}

std::string OverflowText() { return MessageText(Message::Overflow); }

TEST(TransformMultiply, RandomProductsWithinDerivedBoundAtEveryPrecision) {
    RandomLongs random(301);
    for (int32_t p = 1; p <= MAX_PRECISION; ++p) {
        for (int round = 0; round < 3; ++round) {
            WorkLong a = random.Next(p);
            WorkLong b = random.Next(static_cast<int32_t>(random.Between(1, p)));
            if (round == 1) std::swap(a, b);
            const mpq_class exact = ExactValue(a) * ExactValue(b);
            WorkLong product;
            MultiplLong(product, a, b);
            ASSERT_TRUE(IsCanonical(product)) << "p = " << p;
            EXPECT_EQ(product.precision, ProductPrecision(a, b));
            EXPECT_EQ(product.error, 0);
            EXPECT_EQ(product.sign, a.sign * b.sign);
            EXPECT_TRUE(WithinDerivedBound(product, a, b, exact))
                << "p = " << p << "\n a = " << reference::Describe(a)
                << "\n b = " << reference::Describe(b);
        }
    }
}

// With a short multiplier and a multiplicand whose limbs end early enough, the whole product fits
// in the live limbs: both products are then exact and the same record.
TEST(TransformMultiply, EqualsSchoolbookProductWhereEveryDigitIsKept) {
    RandomLongs random(302);
    for (int32_t p = 1; p <= MAX_PRECISION; ++p) {
        const int shortLimbs = static_cast<int>(random.Between(1, 3));
        WorkLong a = random.Next(p);
        WorkLong b = random.Next(p);
        const int32_t P = ProductPrecision(a, b);
        const int aLast = static_cast<int>(random.Between(0, p + 3 - shortLimbs));
        for (int k = aLast + 1; k <= p + 3; ++k) a.limbs[k] = 0.0;
        for (int k = shortLimbs; k <= p + 3; ++k) b.limbs[k] = 0.0;
        const mpq_class exact = ExactValue(a) * ExactValue(b);
        WorkLong a2 = a, b2 = b;
        WorkLong viaTransform, viaSchoolbook;
        MultiplLong(viaTransform, a, b);
        Multipl2Long(viaSchoolbook, a2, b2);
        EXPECT_TRUE(HasExactValue(viaTransform, exact)) << "p = " << p;
        EXPECT_TRUE(HasExactValue(viaSchoolbook, exact)) << "p = " << p;
        if (P == p) {
            EXPECT_TRUE(SameRecord(viaTransform, viaSchoolbook)) << "p = " << p;
        }
    }
}

TEST(TransformMultiply, TwoDigitTopProductIsExact) {
    for (int32_t p : {1, 5, 12, 13, 303}) {
        WorkLong a = MakeRaw(p, 1, 0, {9999999999.0});
        WorkLong b = MakeRaw(p, 1, 0, {9999999999.0});
        WorkLong product;
        MultiplLong(product, a, b);
        EXPECT_EQ(product.sign, 1);
        EXPECT_EQ(product.exponent, 10);
        EXPECT_EQ(product.limbs[0], 9999999998.0);
        EXPECT_EQ(product.limbs[1], 1.0);
        EXPECT_TRUE(HasExactValue(product, mpq_class("99999999980000000001")));
    }
}

TEST(TransformMultiply, OneTimesOneAtPrecisionOneGivesPrecisionFive) {
    WorkLong a = MakeRaw(1, 1, 0, {1.0});
    WorkLong b = MakeRaw(1, 1, 0, {1.0});
    WorkLong product;
    MultiplLong(product, a, b);
    EXPECT_EQ(product.precision, 5);
    EXPECT_EQ(product.exponent, 0);
    EXPECT_EQ(product.sign, 1);
    EXPECT_TRUE(HasExactValue(product, 1));
    EXPECT_TRUE(IsCanonical(product));
}

// Operands of precision 303 (n = 1024, halves of 256 limbs): every limb 9,999,999,999 makes the
// largest digits and carries; limbs beyond the upper half alone exercise the cross products.
TEST(TransformMultiply, LongestTransformCases) {
    WorkLong nines;
    InitLong(nines, MAX_PRECISION, -1, 30, 0.0);
    for (int k = 0; k <= LastLimb(nines); ++k) nines.limbs[k] = 9999999999.0;
    WorkLong tail = MakeRaw(MAX_PRECISION, 1, -40, {1.0});
    for (int k = 256; k <= LastLimb(tail); ++k) tail.limbs[k] = static_cast<double>(k) * 12345679.0;

    const WorkLong cases[][2] = {{nines, nines}, {nines, tail}, {tail, tail}};
    for (const auto& pair : cases) {
        WorkLong a = pair[0], b = pair[1];
        const mpq_class exact = ExactValue(a) * ExactValue(b);
        WorkLong product;
        MultiplLong(product, a, b);
        EXPECT_EQ(product.precision, MAX_PRECISION);
        EXPECT_TRUE(IsCanonical(product));
        EXPECT_TRUE(WithinDerivedBound(product, a, b, exact)) << reference::Describe(product);
    }
    // 1 + t with t only in the lower half, times a one-limb number: kept whole.
    WorkLong three = MakeRaw(MAX_PRECISION, 1, 0, {3.0});
    WorkLong a = tail;
    WorkLong product;
    MultiplLong(product, a, three);
    EXPECT_TRUE(HasExactValue(product, ExactValue(tail) * 3));
}

TEST(TransformMultiply, ZeroOperands) {
    struct Case {
        const char* name;
        WorkLong a, b;
        int32_t precision, error;
    };
    const WorkLong zero3 = MakeRaw(3, 0, ZERO_EXPONENT, {});
    const WorkLong zeroError = MakeRaw(7, 0, ZERO_EXPONENT, {}, -1);
    const Case cases[] = {
        {"zero x number", zero3, MakeRaw(2, -1, 20, {5.0}), 5, 0},
        {"number x zero", MakeRaw(9, 1, 0, {7.0}), zero3, 9, 0},
        // A zero that stands for a failure gives zero and passes the failure on, without the
        // overflow message its exponent would otherwise bring about.
        {"zero with error x small number", zeroError, MakeRaw(7, 1, 0, {5.0}), 7, -1},
        {"small number x zero with error", MakeRaw(7, 1, 0, {5.0}), zeroError, 7, -1},
        {"zero with error x large number", zeroError, MakeRaw(7, 1, 200000000, {5.0}, -2), 7, -3},
        // A number's error reaches the zero product too.
        {"zero x number with error", zero3, MakeRaw(2, -1, 20, {5.0}, -2), 5, -2},
    };
    for (const Case& c : cases) {
        WorkLong a = c.a, b = c.b, product;
        testing::internal::CaptureStdout();
        MultiplLong(product, a, b);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out, "") << c.name;
        EXPECT_EQ(product.sign, 0) << c.name;
        EXPECT_EQ(product.exponent, ZERO_EXPONENT) << c.name;
        EXPECT_EQ(product.precision, c.precision) << c.name;
        EXPECT_EQ(product.error, c.error) << c.name;
        for (int k = 0; k <= LastLimb(product); ++k) EXPECT_EQ(product.limbs[k], 0.0) << c.name;
    }
}

TEST(TransformMultiply, ExponentSumBound) {
    struct Case {
        int32_t ea, eb;
        bool refused;
    };
    const Case cases[] = {{1000000000, 1000000000, false},
                          {1000000000, 1000000010, true},
                          {-1000000000, -1000000000, false},
                          {-1000000000, -1000000010, true}};
    for (const Case& c : cases) {
        WorkLong a = MakeRaw(5, 1, c.ea, {2.0});
        WorkLong b = MakeRaw(5, -1, c.eb, {3.0});
        WorkLong product;
        testing::internal::CaptureStdout();
        MultiplLong(product, a, b);
        const std::string out = testing::internal::GetCapturedStdout();
        if (c.refused) {
            EXPECT_EQ(out, OverflowText());
            EXPECT_EQ(product.error, -1);
            EXPECT_EQ(product.sign, 0);
            EXPECT_EQ(product.exponent, 0);
        } else {
            EXPECT_EQ(out, "");
            EXPECT_EQ(product.error, 0);
            EXPECT_EQ(product.sign, -1);
            EXPECT_EQ(product.exponent, c.ea + c.eb);
            EXPECT_EQ(product.limbs[0], 6.0);
        }
    }
}

TEST(TransformMultiply, ErrorsAreSummedAndResultMayBeAnOperand) {
    WorkLong a = MakeRaw(8, 1, 10, {12345.0, 6789.0}, -1);
    WorkLong b = MakeRaw(8, -1, -20, {987654321.0}, -2);
    const mpq_class exact = ExactValue(a) * ExactValue(b);
    MultiplLong(a, a, b);
    EXPECT_EQ(a.error, -3);
    EXPECT_TRUE(HasExactValue(a, exact));
}

// Operands are normalised in place before use, and the product is taken from normalised values.
TEST(TransformMultiply, NormalisesOperandsFirst) {
    WorkLong a = MakeRaw(6, 1, 3, {1234567890.0});  // 1.23456789e12, exponent not a multiple of 10
    WorkLong b = MakeRaw(6, 1, 0, {0.0, 5.0});      // leading zero limb
    const mpq_class exact = ExactValue(a) * ExactValue(b);
    WorkLong product;
    MultiplLong(product, a, b);
    EXPECT_TRUE(IsCanonical(a));
    EXPECT_TRUE(IsCanonical(b));
    EXPECT_TRUE(HasExactValue(product, exact));
    // A signed record whose limbs are all 0 multiplies as the zero it is.
    WorkLong signedZero = MakeRaw(6, 1, 0, {0.0});
    WorkLong c = MakeRaw(6, 1, 0, {4.0});
    testing::internal::CaptureStdout();
    MultiplLong(product, signedZero, c);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(product.sign, 0);
    EXPECT_EQ(product.error, 0);
}

// The product with tables shared across calls must be bit for bit the product with tables built
// for each call, at every precision and in every kernel set (MultiplLong runs the library's).
TEST(TransformMultiply, SharedTablesGiveTheSameBitsAsPerCallTables) {
    RandomLongs random(303);
    for (int32_t p = 1; p <= MAX_PRECISION; ++p) {
        for (int round = 0; round < 8; ++round) {
            WorkLong a = random.Next(p, -1000, 1000);
            WorkLong b = random.Next(static_cast<int32_t>(random.Between(1, MAX_PRECISION)),
                                     -1000, 1000);
            WorkLong a2 = a, b2 = b;
            WorkLong perCall;
            MultiplLongPerCallTables(perCall, a2, b2);
            for (KernelSet set : RunnableKernelSets()) {
                WorkLong a3 = a, b3 = b, fast;
                MultiplLongWith(set, fast, a3, b3);
                ASSERT_TRUE(SameRecord(fast, perCall))
                    << "p = " << p << ", " << KernelSetName(set) << "\n fast     "
                    << reference::Describe(fast) << "\n per call " << reference::Describe(perCall);
            }
            WorkLong fast;
            MultiplLong(fast, a, b);
            ASSERT_TRUE(SameRecord(fast, perCall)) << "p = " << p << ", the library's set";
        }
    }
}

// A square (the same record twice, or two records with the same digits) transforms one operand
// only; it must give the bits of the product that transforms both, at every precision, in every
// kernel set. The second copy may differ beyond its live limbs, which the conversions never read.
TEST(TransformMultiply, SquaresGiveTheSameBitsAsPerCallTables) {
    enum class Operand { SameRecord, Copy, CopyWithDeadSlotsPoisoned, AllNines, SmallLeadingLimb };
    const Operand kinds[] = {Operand::SameRecord, Operand::Copy, Operand::CopyWithDeadSlotsPoisoned,
                             Operand::AllNines, Operand::SmallLeadingLimb};
    RandomLongs random(306);
    for (int32_t p = 1; p <= MAX_PRECISION; ++p) {
        for (Operand kind : kinds) {
            WorkLong a = random.Next(p, -1000, 1000);
            if (kind == Operand::AllNines) {
                for (int32_t k = 0; k <= LastLimb(a); ++k) a.limbs[k] = 9999999999.0;
            }
            if (kind == Operand::SmallLeadingLimb) a.limbs[0] = static_cast<double>(random.Between(1, 99999));
            WorkLong b = a;
            if (kind == Operand::CopyWithDeadSlotsPoisoned) {
                for (int32_t k = LastLimb(b) + 1; k < WORK_LIMBS; ++k)
                    b.limbs[k] = std::numeric_limits<double>::quiet_NaN();
            }
            WorkLong a2 = a, b2 = a;
            WorkLong perCall;
            MultiplLongPerCallTables(perCall, a2, b2);
            for (KernelSet set : RunnableKernelSets()) {
                WorkLong x = a, y = b, fast;
                if (kind == Operand::SameRecord) {
                    MultiplLongWith(set, fast, x, x);
                } else {
                    MultiplLongWith(set, fast, x, y);
                }
                ASSERT_TRUE(SameRecord(fast, perCall))
                    << "p = " << p << " kind " << static_cast<int>(kind) << ", " << KernelSetName(set)
                    << "\n fast     " << reference::Describe(fast) << "\n per call "
                    << reference::Describe(perCall);
            }
        }
    }
}

// Kept spectra are used only for the digits they were made from, at the length they were made
// for: a run of products in which the kept operand stays, changes in one limb, in sign, in
// exponent or in precision (a new transform length, or the same one), or meets a longer operand
// (the same digits at a new length), must give MultiplLong's bits every time, with either
// operand kept, or both; and so must the kept operand's square that follows each product.
TEST(TransformMultiply, KeptSpectraGiveTheBitsOfFreshTransforms) {
    enum class Change { None, LastLimb, FirstLimb, Sign, Exponent, PrecisionSameLength, PrecisionNewLength, LongerOther };
    const Change changes[] = {Change::None, Change::LastLimb, Change::None, Change::FirstLimb,
                              Change::Sign, Change::None, Change::Exponent,
                              Change::PrecisionSameLength, Change::None, Change::PrecisionNewLength,
                              Change::None, Change::LongerOther, Change::None};
    RandomLongs random(308);
    for (int32_t p : {1, 5, 12, 13, 30, 100, 253, 303}) {
        for (int which = 0; which < 3; ++which) {  // a kept, b kept, both kept
            KeptSpectra keepA;
            KeptSpectra keepB;
            WorkLong kept = random.Next(p, -100, 100);
            for (Change change : changes) {
                switch (change) {
                    case Change::None:
                    case Change::LongerOther: break;  // the same kept operand, a longer product
                    case Change::LastLimb: kept.limbs[LastLimb(kept)] = kept.limbs[LastLimb(kept)] == 1.0 ? 2.0 : 1.0; break;
                    case Change::FirstLimb: kept.limbs[0] = kept.limbs[0] == 1.0 ? 2.0 : 1.0; break;
                    case Change::Sign: kept.sign = -kept.sign; break;
                    case Change::Exponent: kept.exponent += 10; break;
                    case Change::PrecisionSameLength:
                    case Change::PrecisionNewLength: {
                        // 5 and 6 share a length (32), 12 and 13 do not (32 and 64).
                        const int32_t q = change == Change::PrecisionSameLength ? (p == 5 ? 6 : p) : (p == 12 ? 13 : p + 40);
                        kept = random.Next(std::min<int32_t>(q, MAX_PRECISION), -100, 100);
                        break;
                    }
                }
                const int32_t otherPrecision = change == Change::LongerOther ? std::min(2 * p + 8, MAX_PRECISION) : p;
                WorkLong other = random.Next(otherPrecision, -100, 100);
                WorkLong a = which == 1 ? other : kept;
                WorkLong b = which == 1 ? kept : other;
                WorkLong a2 = a, b2 = b;
                WorkLong withKept, fresh;
                MultiplLongKept(withKept, a, b, which != 1 ? &keepA : nullptr, which != 0 ? &keepB : nullptr);
                MultiplLong(fresh, a2, b2);
                ASSERT_TRUE(SameRecord(withKept, fresh))
                    << "p = " << p << " which " << which << " change " << static_cast<int>(change)
                    << "\n kept  " << reference::Describe(withKept) << "\n fresh " << reference::Describe(fresh);
                // The kept operand squared next, as binary powering does, reads the spectra kept.
                WorkLong s = kept, s2 = kept;
                MultiplLongKept(withKept, s, s, which != 1 ? &keepA : nullptr, which != 0 ? &keepB : nullptr);
                MultiplLong(fresh, s2, s2);
                ASSERT_TRUE(SameRecord(withKept, fresh)) << "square, p = " << p << " which " << which
                                                         << " change " << static_cast<int>(change);
            }
        }
    }
}

// Digits of 49,999 and 50,000 decide whether a carry runs on through the balancing of the digit
// halves; operands made of such limbs (and limbs around them) give the same bits on both paths.
TEST(TransformMultiply, BalancingEdgeDigitsGiveTheSameBitsAsPerCallTables) {
    const double edges[] = {4999949999.0, 4999950000.0, 4999849999.0, 49999.0,     5000049999.0,
                            9999949999.0, 4999999999.0, 5000000000.0, 9999999999.0, 0.0};
    std::mt19937_64 engine(305);
    for (int32_t p : {5, 12, 13, 60, 61, 124, 200, 252, 253, 303}) {
        for (int round = 0; round < 14; ++round) {
            WorkLong ab[2];
            for (WorkLong& x : ab) {
                InitLong(x, p, round % 4 == 1 ? -1 : 1, 10 * static_cast<int32_t>(engine() % 7) - 30, 0.0);
                for (int32_t k = 1; k <= LastLimb(x); ++k) {
                    x.limbs[k] = round % 3 == 0 ? edges[engine() % 10]
                                                : (engine() % 4 ? edges[engine() % 8]
                                                                : static_cast<double>(engine() % 10000000000ULL));
                }
                x.limbs[0] = round % 2 ? 4999949999.0 : 1.0 + static_cast<double>(engine() % 9999999999ULL);
                if (round >= 6) {
                    // Random limbs with a single edge limb, often the last limb of the upper half,
                    // whose digits the balancing's vector loops reach last.
                    for (int32_t k = 1; k <= LastLimb(x); ++k)
                        x.limbs[k] = static_cast<double>(engine() % 10000000000ULL);
                    int32_t spot = round % 2 ? TransformLength(p) / 4 - 1
                                             : static_cast<int32_t>(engine() % (LastLimb(x) + 1));
                    if (spot > LastLimb(x)) spot = LastLimb(x);
                    x.limbs[spot] = round % 4 < 2 ? 4999950000.0 : 4999949999.0;
                }
            }
            WorkLong a2 = ab[0], b2 = ab[1];
            WorkLong fast, perCall;
            MultiplLong(fast, ab[0], ab[1]);
            MultiplLongPerCallTables(perCall, a2, b2);
            ASSERT_TRUE(SameRecord(fast, perCall))
                << "p = " << p << ", round " << round << "\n fast     " << reference::Describe(fast)
                << "\n per call " << reference::Describe(perCall);
        }
    }
}

// The product's digit halves, split and balanced in every kernel set, are bit for bit the serial
// reference conversion's: on random records at the precisions where the transform length changes
// (the four-lane loops take halves of 4 limbs or more), on limbs around the balancing edge
// (digits 49,999 and 50,000, where a carry may run on), and on raw limbs the reference conversion
// takes as well (negative, -0, fractions, too large for the 32-bit truncation). Dead slots hold a
// limb 7,777,777,777 or NaN (the split's loops stop at a NaN, so only a finite limb shows a read
// past the live limbs); the digit area holds NaN before the call.
TEST(TransformMultiply, FastDigitHalvesGiveThePlainDigitsBits) {
    RandomLongs random(306);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double edges[] = {4999949999.0, 4999950000.0, 49999.0, 9999949999.0, 5000049999.0, 0.0};
    const double raw[] = {-0.0, -12345678901.0, 3e15, 4999950000.5, 1e10};
    for (int32_t p : {1, 5, 12, 13, 60, 61, 124, 125, 200, 252, 253, 303}) {
        const int n = TransformLength(p < TRANSFORM_MIN_PRECISION ? TRANSFORM_MIN_PRECISION : p);
        for (int round = 0; round < 9; ++round) {
            WorkLong x = random.Next(p);
            for (int32_t k = 1; k <= LastLimb(x); ++k) {
                if (round % 3 == 1) x.limbs[k] = edges[random.Between(0, 5)];
                if (round % 3 == 2 && random.Between(0, 9) == 0) x.limbs[k] = raw[random.Between(0, 4)];
            }
            for (int32_t k = LastLimb(x) + 1; k < WORK_LIMBS; ++k)
                x.limbs[k] = round % 2 ? nan : 7777777777.0;
            for (int off : {0, n / 2}) {
                double X[DIGIT_ARRAY_SLOTS];
                reference::ToTransformDigits(TRANSFORM_BASE, n, off, x, X);
                for (KernelSet set : RunnableKernelSets()) {
                    double D[DFT_MAX_LENGTH / 2 + 1];
                    double H[3];
                    std::fill(std::begin(D), std::end(D), nan);
                    ToTransformHalfDigits(n, off, x, D, H, KernelsFor(set));
                    ASSERT_EQ(std::memcmp(D, X, n / 2 * sizeof(double)), 0)
                        << "p = " << p << ", round " << round << ", off " << off << ", " << KernelSetName(set);
                    ASSERT_EQ(std::memcmp(H, X + n, sizeof H), 0) << "p = " << p << ", off " << off;
                    ASSERT_EQ(D[n / 2], 0.0);
                }
            }
        }
    }
}

// The digit conversion by whole-number carries, in every kernel set, gives the serial
// conversion's record bit for bit, both where it applies (positions near whole numbers, of either sign, up to 2^40) and where it
// must hand over to the serial rule (a position near a half, or too large). Records of several
// precisions keep more or fewer output positions, so the positions below the kept ones enter
// through their carry alone; tails of zeros (with or without a carry from below), of small
// values and of digits 99,999 test the bounds on that carry, including where they never meet.
// Runs of 99,999 of a few positions anywhere (NinesRun) make the bounds on the carry into the
// upper of the two side-by-side runs meet late or not at all.
TEST(TransformMultiply, CarriedDigitConversionMatchesSerialConversion) {
    std::mt19937_64 engine(304);
    std::uniform_real_distribution<double> noise(-0.3, 0.3);
    enum Kind { Near, Half, Large, Wild, ZeroTail, SmallTail, NinesTail, NinesRun };
    for (int n : {32, 64, 256, 1024}) {
        for (int m : {n, n / 2}) {
            for (Kind kind : {Near, Half, Large, Wild, ZeroTail, SmallTail, NinesTail, NinesRun}) {
                for (int round = 0; round < (kind == NinesRun ? 200 : 10); ++round) {
                    const int64_t limit = kind == Large ? (int64_t{1} << 42) : (int64_t{1} << 36);
                    const int tail = n / 4 + static_cast<int>(engine() % (n / 2));
                    const int runStart = static_cast<int>(engine() % n);
                    const int runEnd = runStart + 1 + static_cast<int>(engine() % 24);
                    double X[DIGIT_ARRAY_SLOTS];
                    for (int j = 0; j < n; ++j) {
                        const double whole = static_cast<double>(
                            std::uniform_int_distribution<int64_t>(-limit, limit)(engine));
                        double s = whole + noise(engine);
                        if (kind == Half && j == n / 3) s = whole + 0.5;
                        if (kind == Wild) s = whole * 0.37 + noise(engine) * 3;
                        if (j >= tail) {
                            if (kind == ZeroTail) s = round % 2 ? 0.0 : noise(engine);
                            if (kind == SmallTail) s = static_cast<double>(engine() % 3) - 1.0;
                            if (kind == NinesTail) s = 99999.0;
                        }
                        if (kind == NinesRun && j >= runStart && j < runEnd) s = 99999.0;
                        X[j] = s * (n / 2);
                    }
                    X[n] = static_cast<double>(std::uniform_int_distribution<int64_t>(
                        0, round % 2 ? 9999999999LL : 99999LL)(engine));
                    X[n + 1] = 40.0;
                    X[n + 2] = round % 3 ? 1.0 : -1.0;
                    for (int32_t precision : {5, 60, 300}) {
                        double Y[DIGIT_ARRAY_SLOTS];
                        std::memcpy(Y, X, sizeof X);
                        WorkLong serial;
                        InitLong(serial, precision, 1, 0, 0.0);
                        reference::FromTransformDigits(m, TRANSFORM_BASE, n, Y, serial);
                        for (KernelSet set : RunnableKernelSets()) {
                            double Z[DIGIT_ARRAY_SLOTS];
                            std::memcpy(Z, X, sizeof X);
                            WorkLong carried;
                            InitLong(carried, precision, 1, 0, 0.0);
                            FromTransformDigitsCarried(m, n, Z, carried, KernelsFor(set));
                            ASSERT_TRUE(SameRecord(serial, carried))
                                << "n = " << n << ", m = " << m << ", kind " << kind << ", round "
                                << round << ", precision " << precision << ", "
                                << KernelSetName(set);
                        }
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace ostrel2

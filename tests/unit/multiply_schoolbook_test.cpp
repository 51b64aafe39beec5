// multiply_schoolbook_test.cpp -- Multipl2Long and MultiplSmall against hand-derived limbs and
// exact rationals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "arith/multiply_schoolbook.h"
#include "core/diagnostics.h"
#include "support/gmp_reference.h"
#include "support/kernel_operands.h"

namespace ostrel2 {
namespace {

using reference::ExactValue;
using reference::HasExactValue;
using reference::IsCanonical;
using reference::MakeLong;
using reference::MakeRaw;
using reference::Pow10;

const mpz_class kBase("10000000000");

mpz_class Whole(double limb) { return mpz_class(mpq_class(limb)); }

// The truncated schoolbook product: every limb product whose position i + j is at most p + 2 in
// full, the high half of those on position p + 3, nothing beyond. A limb product that is a
// multiple of 10^10 may be split as (high - 1, 10^10); on position p + 3 its dropped low part then
// costs one unit more, so such products are counted in *ambiguous.
mpq_class ExpectedProduct(const WorkLong& a, const WorkLong& b, int32_t p, int* ambiguous) {
    const int32_t last = p + GUARD_LIMBS;
    mpz_class sum = 0;  // in units of position last + 1, counted from a's and b's leading limbs
    *ambiguous = 0;
    for (int32_t i = 0; i <= LastLimb(a); ++i) {
        for (int32_t j = 0; j <= LastLimb(b) && i + j <= last; ++j) {
            const mpz_class product = Whole(a.limbs[i]) * Whole(b.limbs[j]);
            mpz_class weight;
            mpz_pow_ui(weight.get_mpz_t(), kBase.get_mpz_t(), static_cast<unsigned long>(last - i - j));
            if (i + j < last) {
                sum += product * weight;
            } else {
                sum += product / kBase * kBase;
                if (product != 0 && product % kBase == 0) ++*ambiguous;
            }
        }
    }
    mpq_class value(sum);
    value *= Pow10(static_cast<long>(a.exponent) + b.exponent + 10 - 10L * (last + 1));
    return a.sign * b.sign < 0 ? mpq_class(-value) : value;
}

TEST(Multipl2Long, HandDerivedProducts) {
    WorkLong a = MakeRaw(1, 1, 0, {1});
    WorkLong b = MakeRaw(1, -1, 0, {1});
    WorkLong r;
    // 1 * -1: the high limb 0 at position 0 is shifted out, the exponent drops back to 0.
    Multipl2Long(r, a, b);
    EXPECT_TRUE(IsCanonical(r));
    EXPECT_EQ(r.sign, -1);
    EXPECT_EQ(r.exponent, 0);
    EXPECT_EQ(r.limbs[0], 1);

    WorkLong n1 = MakeRaw(1, 1, 0, {9999999999});
    WorkLong n2 = MakeRaw(1, 1, 0, {9999999999});
    Multipl2Long(r, n1, n2);
    EXPECT_EQ(r.exponent, 10);
    EXPECT_EQ(r.limbs[0], 9999999998);
    EXPECT_EQ(r.limbs[1], 1);
    EXPECT_EQ(r.precision, 1);

    // All-nines operands: every position receives carries.
    WorkLong x = MakeLong("99999999999999999999999999999999999999", 3);
    WorkLong y = MakeLong("-9999999999999999999.9999999999", 5);
    const mpq_class exact = ExactValue(x) * ExactValue(y);
    Multipl2Long(r, x, y);
    EXPECT_TRUE(IsCanonical(r));
    EXPECT_EQ(r.precision, 5);
    EXPECT_TRUE(HasExactValue(r, exact));
}

TEST(Multipl2Long, LowPartOfExactlyTenToTheTenOnTheLastPositionIsDropped) {
    // 250,000 * 120,000 = 3 * 10^10 splits as high 2, low 10^10. On the last live position
    // (limb 4 of a precision-1 record) only the high 2 is kept: the product is 120000 + 2e-30.
    WorkLong a = MakeRaw(1, 1, 0, {1, 0, 0, 0, 250000});
    WorkLong b = MakeRaw(1, 1, 0, {120000});
    WorkLong r;
    Multipl2Long(r, a, b);
    EXPECT_TRUE(IsCanonical(r));
    EXPECT_TRUE(HasExactValue(r, reference::ParseDecimal("120000.000000000000000000000000000002")));
    // Off the last position the same product comes out whole.
    WorkLong c = MakeRaw(1, 1, 0, {1, 0, 0, 250000});
    WorkLong d = MakeRaw(1, 1, 0, {120000});
    Multipl2Long(r, c, d);
    EXPECT_TRUE(HasExactValue(r, reference::ParseDecimal("120000.00000000000000000003")));
}

TEST(Multipl2Long, ZeroOperands) {
    WorkLong zero = MakeLong("0", 4);
    WorkLong x = MakeLong("-7.5", 9);
    WorkLong r;
    ::testing::internal::CaptureStdout();
    Multipl2Long(r, zero, x);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(r.sign, 0);
    EXPECT_EQ(r.exponent, ZERO_EXPONENT);
    EXPECT_EQ(r.precision, 9);
    EXPECT_EQ(r.error, 0);

    // A record with a sign but only zero limbs multiplies as zero.
    WorkLong hollow = MakeRaw(2, 1, 0, {0});
    WorkLong y = MakeLong("3", 1);
    Multipl2Long(r, hollow, y);
    EXPECT_EQ(r.sign, 0);
    EXPECT_EQ(r.error, 0);

    // A zero that stands for a failure gives zero and passes the failure on, in either place,
    // without the overflow message its exponent would otherwise bring about; an error of the
    // other operand reaches the zero product too.
    struct Case {
        const char* name;
        int32_t zeroError, otherError;
        bool zeroFirst;
    };
    const Case cases[] = {{"failed zero x 3", -1, 0, true},
                          {"3 x failed zero", -1, 0, false},
                          {"failed zero x failed 3", -1, -2, true},
                          {"0 x failed 3", 0, -2, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WorkLong badZero = MakeRaw(6, 0, ZERO_EXPONENT, {0}, c.zeroError);
        WorkLong z = MakeRaw(1, 1, 0, {3}, c.otherError);
        ::testing::internal::CaptureStdout();
        if (c.zeroFirst) {
            Multipl2Long(r, badZero, z);
        } else {
            Multipl2Long(r, z, badZero);
        }
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(r.sign, 0);
        EXPECT_EQ(r.exponent, ZERO_EXPONENT);
        EXPECT_EQ(r.precision, 6);
        EXPECT_EQ(r.error, c.zeroError + c.otherError);
    }
}

TEST(Multipl2Long, ExponentLimitOfTheProduct) {
    // a.exponent + b.exponent + 10 = 2,000,000,000 passes.
    WorkLong a = MakeRaw(1, 1, 1000000000, {1});
    WorkLong b = MakeRaw(1, 1, 999999990, {1});
    WorkLong r;
    ::testing::internal::CaptureStdout();
    Multipl2Long(r, a, b);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.exponent, 1999999990);
    EXPECT_EQ(r.limbs[0], 1);

    // 2,000,000,010 fails: message, error -1, the sign product, exponent 0, limbs zero.
    WorkLong c = MakeRaw(1, 1, 1000000000, {1});
    WorkLong d = MakeRaw(1, -1, 1000000000, {3});
    ::testing::internal::CaptureStdout();
    Multipl2Long(r, c, d);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), MessageText(Message::Overflow));
    EXPECT_EQ(r.error, -1);
    EXPECT_EQ(r.sign, -1);
    EXPECT_EQ(r.exponent, 0);
    for (int k = 0; k <= LastLimb(r); ++k) EXPECT_EQ(r.limbs[k], 0) << k;

    // The negative side is tested on the magnitude.
    WorkLong e = MakeRaw(1, 1, -1000000000, {1});
    WorkLong f = MakeRaw(1, 1, -1000000020, {1});
    ::testing::internal::CaptureStdout();
    Multipl2Long(r, e, f);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), MessageText(Message::Overflow));
    EXPECT_EQ(r.error, -1);
}

TEST(Multipl2Long, ErrorsAddAndOperandsAreNormalised) {
    WorkLong a = MakeRaw(1, 1, 7, {5}, -1);
    WorkLong b = MakeLong("3", 1);
    b.error = -1;
    WorkLong r;
    Multipl2Long(r, a, b);
    EXPECT_EQ(r.error, -2);
    EXPECT_TRUE(HasExactValue(r, 150000000));
    EXPECT_TRUE(IsCanonical(a));
    EXPECT_EQ(a.limbs[0], 50000000);

    // The result may be an operand.
    WorkLong x = MakeLong("123456789012345678901234567890", 2);
    const mpq_class square = ExactValue(x) * ExactValue(x);
    Multipl2Long(x, x, x);
    EXPECT_TRUE(HasExactValue(x, square));
}

TEST(Multipl2Long, RandomProductsMatchTheTruncatedExactProduct) {
    reference::RandomLongs random(77);
    for (int n = 0; n < 600; ++n) {
        const int32_t limit = n % 20 == 0 ? MAX_PRECISION : 10;
        WorkLong a = random.Next(static_cast<int32_t>(random.Between(1, limit)), -500, 500);
        WorkLong b = random.Next(static_cast<int32_t>(random.Between(1, limit)), -500, 500);
        const int32_t p = MaxPrecision(a, b);
        int ambiguous = 0;
        const mpq_class expected = ExpectedProduct(a, b, p, &ambiguous);
        const mpq_class full = ExactValue(a) * ExactValue(b);
        WorkLong r;
        Multipl2Long(r, a, b);
        ASSERT_TRUE(IsCanonical(r)) << n;
        ASSERT_EQ(r.precision, p);
        ASSERT_EQ(r.error, 0);
        const mpq_class value = ExactValue(r);
        if (ambiguous == 0) {
            ASSERT_TRUE(HasExactValue(r, expected)) << n << "\n  a " << reference::Describe(a)
                                                    << "\n  b " << reference::Describe(b);
        } else {
            ASSERT_LE(reference::ErrorInLastLimbUnits(r, expected), ambiguous) << n;
        }
        // The cut only ever loses magnitude.
        ASSERT_LE(abs(value), abs(full)) << n;
    }
}

// Leading limbs whose product has no high part (so limb 0 gets nothing but carries) and limbs of
// 9,999,999,999 whose carries ripple all the way into limb 0, or stop one limb short of it: the
// columns of parts are carried in whole numbers before normalisation, and the result must be the
// truncated exact product whichever way normalisation then goes.
TEST(Multipl2Long, CarriesIntoTheLeadingLimbGiveTheTruncatedExactProduct) {
    struct Case {
        double a0, b0;
        double fill;  // every later limb of both operands; 0 for random limbs
    };
    const Case cases[] = {{1, 1, 9999999999}, {1, 1, 0}, {1, 9999999999, 9999999999},
                          {99999, 99999, 9999999999}, {100000, 99999, 9999999999},
                          {3, 4, 1}, {9999999999, 9999999999, 9999999999}, {2, 5, 0}};
    reference::RandomLongs random(78);
    for (const Case& c : cases) {
        for (int32_t p : {1, 2, 5, 30, 303}) {
            WorkLong a = random.Next(p, -40, 40);
            WorkLong b = random.Next(p, -40, 40);
            a.limbs[0] = c.a0;
            b.limbs[0] = c.b0;
            for (int32_t k = 1; k <= LastLimb(a); ++k) {
                if (c.fill != 0) a.limbs[k] = b.limbs[k] = c.fill;
            }
            int ambiguous = 0;
            const mpq_class expected = ExpectedProduct(a, b, p, &ambiguous);
            WorkLong r;
            Multipl2Long(r, a, b);
            ASSERT_TRUE(IsCanonical(r)) << c.a0 << " " << c.b0 << " p " << p;
            if (ambiguous == 0) {
                ASSERT_TRUE(HasExactValue(r, expected)) << c.a0 << " " << c.b0 << " p " << p;
            } else {
                ASSERT_LE(reference::ErrorInLastLimbUnits(r, expected), ambiguous);
            }
        }
    }
}

// Operands the fuzzer found: a leading limb of 0.5, and a limb of 1.7e308 that normalisation
// reports as too long and leaves in place. Limbs outside 0 .. 10^10 are summed part by part as
// they always were, not in the whole-number columns (which would convert 10^182 to an integer);
// the product comes back failed.
TEST(Multipl2Long, LimbsOutsideTheirRangeAreSummedPartByPart) {
    WorkLong a = MakeRaw(11, 1, 0, {0.5});
    WorkLong b = MakeRaw(152, -1, -254820, {0, 1.7e308});
    WorkLong r;
    testing::internal::CaptureStdout();
    Multipl2Long(r, a, b);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(printed.empty());
    EXPECT_EQ(r.error, -1);
}

TEST(MultiplSmall, SignsZeroAndAliasing) {
    const WorkLong a = MakeLong("-1234.5", 2);
    WorkLong r;
    MultiplSmall(r, a, -4);
    EXPECT_TRUE(HasExactValue(r, 4938));
    EXPECT_EQ(r.precision, 2);
    MultiplSmall(r, a, 0);
    EXPECT_EQ(r.sign, 0);
    EXPECT_EQ(r.exponent, ZERO_EXPONENT);
    EXPECT_EQ(r.precision, 2);
    EXPECT_EQ(r.error, 0);

    WorkLong x = MakeLong("9999999999.9999999999", 1);
    x.error = -1;
    MultiplSmall(x, x, 9999999999);
    EXPECT_TRUE(HasExactValue(x, reference::ParseDecimal("99999999989999999999.0000000001")));
    EXPECT_EQ(x.error, -1);
    EXPECT_TRUE(IsCanonical(x));

    // A zero with an error set, and a failed number times 0, give zero and keep the error.
    WorkLong z = MakeLong("0", 1);
    z.error = -1;
    MultiplSmall(r, z, 3);
    EXPECT_EQ(r.sign, 0);
    EXPECT_EQ(r.error, -1);
    WorkLong failed = MakeRaw(2, 1, 0, {5}, -2);
    MultiplSmall(r, failed, 0);
    EXPECT_EQ(r.sign, 0);
    EXPECT_EQ(r.exponent, ZERO_EXPONENT);
    EXPECT_EQ(r.error, -2);
}

// An exponent so close to the top of the 32-bit range that the product's extra limb would leave
// it is reported with the exponent message (and error -1) instead of wrapping round. Such
// records never pass the entry; the short division answers the same way.
TEST(MultiplSmall, ExponentAtTheTopOfTheRangeIsReported) {
    const WorkLong a = MakeRaw(1, 1, 2147483640, {7});
    WorkLong r;
    ::testing::internal::CaptureStdout();
    MultiplSmall(r, a, 3);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), MessageText(Message::ExponentLimit));
    EXPECT_EQ(r.error, -1);
}

TEST(MultiplSmall, RandomProductsMatchTheTruncatedExactProduct) {
    reference::RandomLongs random(4242);
    for (int n = 0; n < 2000; ++n) {
        const WorkLong a = random.Next(static_cast<int32_t>(random.Between(1, n % 10 ? 12 : 303)),
                                       -300, 300);
        const int64_t kind = random.Between(0, 3);
        const double m = static_cast<double>(kind == 0   ? random.Between(-9999999999LL, 9999999999LL)
                                             : kind == 1 ? random.Between(-1000000, 1000000)
                                             : kind == 2 ? 9999999999LL
                                                         : random.Between(-20, 20));
        const WorkLong mRecord = MakeRaw(1, m < 0 ? -1 : 1, 0, {m < 0 ? -m : m});
        // a times the one-limb record m: positions are those of a, shifted by one limb.
        int ambiguous = 0;
        const mpq_class expected =
            m == 0 ? mpq_class(0) : ExpectedProduct(a, mRecord, a.precision, &ambiguous);
        WorkLong r;
        MultiplSmall(r, a, m);
        ASSERT_TRUE(IsCanonical(r)) << n;
        ASSERT_EQ(r.precision, a.precision);
        if (ambiguous == 0) {
            ASSERT_TRUE(HasExactValue(r, expected)) << n << " m " << m << "\n  a "
                                                    << reference::Describe(a);
        } else {
            ASSERT_LE(reference::ErrorInLastLimbUnits(r, expected), ambiguous) << n;
        }
    }
}

// MultiplSmall (the whole-limb product loop wherever it applies) against MultiplSmallPlain, bit
// for bit in the record and in what it prints, at every precision: KernelOperands' records (their
// runs of 9,999,999,999 carry on every limb) over multipliers at the ends of the contract (0, 1,
// 10^9, 9,999,999,999), 2^33, a negative one, and a random one of up to ten digits.
TEST(MultiplSmall, WholeLimbLoopGivesThePlainLoopsBitsAtEveryPrecision) {
    const std::vector<double> multipliers = {
        0.0, 1.0, 2.0, 3.0, 99999.0, 100000.0, 1e6, 1e9, 999999999.0, 9999999999.0,
        8589934592.0, -7.0};
    reference::RandomLongs random(8128);
    int compared = 0;
    ASSERT_TRUE(reference::SameAsPlainAtEveryPrecision(MultiplSmall, MultiplSmallPlain,
                                                        multipliers, 9999999999LL, random,
                                                        compared));
    RecordProperty("Products", std::to_string(compared));
}

}  // namespace
}  // namespace ostrel2

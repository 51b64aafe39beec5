// real_power_test.cpp -- the 10^10-th root and the (10^10 - 1)-th power against MPFR, and the real
// power x^y: its shortcuts to the integer power and root, its refusals with their messages, and
// the accuracy of the limb-by-limb method against MPFR.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/diagnostics.h"
#include "core/long_number.h"
#include "powers/real_power.h"
#include "support/gmp_reference.h"
#include "support/mpfr_reference.h"

namespace ostrel2 {
namespace {

using reference::CorrectDigits;
using reference::ExactValue;
using reference::IsCanonical;
using reference::MakeLong;
using reference::MakeRaw;
using reference::Mpfr;
using reference::Pow10;
using reference::RandomLongs;

int32_t ProductPrecision(int32_t p) { return p < 5 ? 5 : p; }

// Digits of the exact power or root that a result of working precision P keeps: the residual of
// the root and the squarings of the power multiply the products' last-limb errors by up to 10^10,
// so one limb of the three guard limbs goes, and the last live limb is the product's own cut.
double PowerDigitsKept(int32_t p) { return 10.0 * (ProductPrecision(p) + 1) - 1; }
double RootDigitsKept(int32_t p) { return 10.0 * (ProductPrecision(p) + 2) - 2; }

TEST(LimbPowerLong, RaisesToTheTenBillionMinusFirstPower) {
    RandomLongs random(11);
    for (int32_t p : {1, 5, 30, 100}) {
        for (int i = 0; i < 3; ++i) {
            // 1 + d with d between 10^-20 and 10^-10, as the bases of the real power are.
            WorkLong x = random.Next(p, 0, 0, false);
            x.limbs[0] = 1.0;
            x.limbs[1] = 0.0;
            const WorkLong before = x;
            Mpfr exact(reference::ReferenceBits(ProductPrecision(p)));
            reference::SetFromRecord(exact.get(), x);
            mpfr_pow_ui(exact.get(), exact.get(), 9999999999UL, MPFR_RNDN);
            WorkLong r;
            LimbPowerLong(r, x);
            SCOPED_TRACE("precision " + std::to_string(p));
            EXPECT_TRUE(IsCanonical(r));
            EXPECT_EQ(r.precision, ProductPrecision(p));
            EXPECT_EQ(r.error, 0);
            EXPECT_GE(CorrectDigits(r, exact.get()), PowerDigitsKept(p));
            EXPECT_EQ(ExactValue(x), ExactValue(before));  // x is only read
        }
    }
}

TEST(LimbRootLong, TakesTheTenBillionthRootOfEveryMagnitude) {
    RandomLongs random(12);
    struct Case {
        const char* what;
        int32_t exponent;
        double limb0;
        double limb1;  // -1: keep the random limb
    };
    const Case cases[] = {
        {"1 + d, d < 10^-10 (first-order start)", 0, 1, 0},
        {"1 + d, d just above 10^-10", 0, 1, 7},
        {"just below 1", -10, 9999999999, -1},
        {"10^10 and above", 10, -1, -1},
        {"large", 1000, -1, -1},
        {"small", -100000, -1, -1},
    };
    for (int32_t p : {1, 5, 30, 100, 303}) {
        for (const Case& c : cases) {
            if (p == 303 && c.exponent != 0) continue;  // the dearest precision: two cases
            WorkLong x = random.Next(p, c.exponent, c.exponent, false);
            if (c.limb0 >= 0) x.limbs[0] = c.limb0;
            if (c.limb1 >= 0) x.limbs[1] = c.limb1;
            Mpfr exact(reference::ReferenceBits(ProductPrecision(p)));
            reference::SetFromRecord(exact.get(), x);
            mpfr_rootn_ui(exact.get(), exact.get(), 10000000000UL, MPFR_RNDN);
            WorkLong r;
            LimbRootLong(r, x);
            SCOPED_TRACE(std::string(c.what) + " at precision " + std::to_string(p));
            EXPECT_TRUE(IsCanonical(r));
            EXPECT_EQ(r.precision, ProductPrecision(p));
            EXPECT_EQ(r.error, 0);
            EXPECT_GE(CorrectDigits(r, exact.get()), RootDigitsKept(p));
        }
    }
}

TEST(LimbRootLong, ResultMayBeTheArgumentRecord) {
    WorkLong x = MakeLong("2", 5);
    WorkLong r;
    LimbRootLong(r, x);
    LimbRootLong(x, x);
    EXPECT_EQ(ExactValue(x), ExactValue(r));
}

}  // namespace
}  // namespace ostrel2

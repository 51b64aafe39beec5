// trigonometric_reference.cpp -- shared checks of the trigonometric tests (see the header).
#include "support/trigonometric_reference.h"

#include <string>

namespace ostrel2 {
namespace reference {

mpq_class TrigonometricAllowance(const RealFunction& f, const WorkLong& x,
                                 const TrueValue& truth, int32_t p) {
    mpq_class allowance = truth.Allowance();
    if (&f == &kTangent) {
        const TrueValue sine(kSine, x, p);
        const mpq_class s = abs(ToRational(sine.get()));
        if (s >= mpq_class(99, 10000000))
            allowance += abs(ToRational(truth.get())) * Pow10(-10L * (p + 3)) / (s * s);
    }
    const mpq_class size = abs(ExactValue(x));
    if (&f == &kArctangent && size > 1) {
        const mpq_class squared = size * Pow10(-20L * (p + 1));
        allowance += squared < 1 / size ? squared : mpq_class(1 / size);
    }
    return allowance;
}

::testing::AssertionResult Accurate(const RealFunction& f, const WorkLong& x,
                                    const WorkLong& result, int32_t p, Accuracy* measured) {
    const TrueValue truth(f, x, p);
    return WithinAllowance(x, result, truth, TrigonometricAllowance(f, x, truth, p),
                           kTrigonometricUnits, measured);
}

mpq_class RandomMantissa(RandomLongs& random, int32_t p) {
    std::string digits(1, static_cast<char>('1' + random.Between(0, 8)));
    for (int32_t k = 1; k < 10 * (p + 4); ++k)
        digits += static_cast<char>('0' + random.Between(0, 9));
    return mpq_class(mpz_class(digits), 1) * Pow10(1 - static_cast<long>(digits.size()));
}

WorkLong RandomNumber(RandomLongs& random, int32_t p, int32_t e, bool negative) {
    const mpq_class value = RandomMantissa(random, p) * Pow10(e);
    return MakeLong(negative ? mpq_class(-value) : value, p);
}

::testing::AssertionResult SameRecord(const WorkLong& a, const WorkLong& b) {
    bool same = a.sign == b.sign && a.exponent == b.exponent && a.precision == b.precision &&
                a.error == b.error;
    for (int32_t k = 0; same && k <= LastLimb(a); ++k) same = a.limbs[k] == b.limbs[k];
    if (same) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << Describe(a) << "\n  differs from\n" << Describe(b);
}

}  // namespace reference
}  // namespace ostrel2

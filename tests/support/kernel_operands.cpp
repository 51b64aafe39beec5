// kernel_operands.cpp -- records that reach the corners of the limb kernels.
#include "support/kernel_operands.h"

#include <string>

#include "support/trigonometric_reference.h"

namespace ostrel2 {
namespace reference {

std::vector<WorkLong> KernelOperands(RandomLongs& random, int32_t p, int randomCount) {
    std::vector<WorkLong> operands;
    for (int k = 0; k < randomCount; ++k) operands.push_back(random.Next(p, -300, 300));
    const int32_t last = p + GUARD_LIMBS;
    auto filled = [&](double (*limb)(int32_t k)) {
        WorkLong x = MakeRaw(p, 1, 0, {1.0});
        for (int32_t k = 0; k <= last; ++k) x.limbs[k] = limb(k);
        return x;
    };
    operands.push_back(filled([](int32_t) { return 9999999999.0; }));
    operands.push_back(filled([](int32_t k) { return k == 0 ? 1.0 : 0.0; }));
    operands.push_back(filled([](int32_t k) { return k % 2 == 0 ? 9999999999.0 : 0.0; }));
    const double odd[] = {0.5, LIMB_BASE, -0.0, -3.0};
    for (const double limb : odd) {
        WorkLong x = random.Next(p, -20, 20);
        x.limbs[1 + random.Between(0, last - 1)] = limb;
        operands.push_back(x);
    }
    return operands;
}

::testing::AssertionResult SameAsPlain(ShortKernel kernel, ShortKernel plain, const WorkLong& a,
                                       double x) {
    WorkLong fast;
    WorkLong reference;
    testing::internal::CaptureStdout();
    kernel(fast, a, x);
    const std::string fastPrinted = testing::internal::GetCapturedStdout();
    testing::internal::CaptureStdout();
    plain(reference, a, x);
    const std::string plainPrinted = testing::internal::GetCapturedStdout();
    if (SameRecord(fast, reference) && fastPrinted == plainPrinted)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "by " << x << "\n  a " << Describe(a) << "\n  kernel " << Describe(fast)
           << " printing \"" << fastPrinted << "\"\n  plain  " << Describe(reference)
           << " printing \"" << plainPrinted << "\"";
}

::testing::AssertionResult SameAsPlainAtEveryPrecision(ShortKernel kernel, ShortKernel plain,
                                                       const std::vector<double>& values,
                                                       int64_t drawnMax, RandomLongs& random,
                                                       int& compared) {
    compared = 0;
    const int count = static_cast<int>(values.size());
    for (int32_t p = 1; p <= MAX_PRECISION; ++p) {
        const std::vector<WorkLong> operands = KernelOperands(random, p, 2);
        for (int j = 0; j < static_cast<int>(operands.size()); ++j) {
            for (int t = 0; t < 3; ++t) {
                const double x = t == 2 ? static_cast<double>(random.Between(1, drawnMax))
                                        : values[(3 * p + 2 * j + t) % count];
                ::testing::AssertionResult same = SameAsPlain(kernel, plain, operands[j], x);
                if (!same) return same << "\n  at precision " << p << ", operand " << j;
                ++compared;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace reference
}  // namespace ostrel2

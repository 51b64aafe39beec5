// unary_accuracy.cpp -- one-argument workers against MPFR (see unary_accuracy.h).
#include "support/unary_accuracy.h"

#include <gtest/gtest.h>

#include <string>

#include "support/gmp_reference.h"
#include "support/mpfr_reference.h"

namespace ostrel2 {
namespace reference {

double CheckUnaryAgainstMpfr(UnaryWorker worker, MpfrUnary f, const WorkLong& x, int32_t p) {
    Mpfr truth(ReferenceBits(p < 5 ? 5 : p));
    SetFromRecord(truth.get(), x);
    f(truth.get(), truth.get(), MPFR_RNDN);
    WorkLong argument = x;
    WorkLong y;
    testing::internal::CaptureStdout();
    worker(y, argument);
    const std::string printed = testing::internal::GetCapturedStdout();
    SCOPED_TRACE("precision " + std::to_string(p) + ", x = " + Describe(x));
    EXPECT_EQ(printed, "");
    EXPECT_EQ(y.error, 0);
    EXPECT_TRUE(FirstLimbsCorrect(y, truth.get(), p));
    return CorrectDigits(y, truth.get());
}

}  // namespace reference
}  // namespace ostrel2

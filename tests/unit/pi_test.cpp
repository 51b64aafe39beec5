// pi_test.cpp -- PaiLong and HalfPiLong against MPFR over the precisions 1 to 303, the iteration's
// count, and its refusal of a precision beyond its own limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/diagnostics.h"
#include "core/long_number.h"
#include "support/gmp_reference.h"
#include "support/mpfr_reference.h"
#include "transcendental/pi.h"

namespace ostrel2 {
namespace {

using reference::Mpfr;

// The precisions sampled: every one up to 12 (the transform's shortest length and the products'
// floor of 5 limbs), every 13th beyond, the transform's length edges and the largest.
std::vector<int32_t> SampledPrecisions() {
    std::vector<int32_t> precisions;
    for (int32_t p = 1; p <= 12; ++p) precisions.push_back(p);
    for (int32_t p = 25; p < 303; p += 13) precisions.push_back(p);
    for (int32_t p : {28, 29, 60, 61, 100, 124, 125, 252, 253, 302, 303}) precisions.push_back(p);
    std::sort(precisions.begin(), precisions.end());
    return precisions;
}

// pi, or pi / 2, from MPFR at ReferenceBits(p).
void ReferencePi(Mpfr& out, bool half) {
    mpfr_const_pi(out.get(), MPFR_RNDN);
    if (half) mpfr_div_2ui(out.get(), out.get(), 1, MPFR_RNDN);
}

// At every sampled precision pi has error 0, the precision max(p, 5), its first p limbs correct
// (reference::FirstLimbsCorrect: less than one unit of limb p - 1 from pi) and, beyond that, the
// accuracy of the final reciprocal division: the term that ends the loop lies below
// 10^-(10 p + 35), and 1/a is cut a few units below limb P + 2 (P = max(p, 5)), so pi keeps more
// than P + 1 limbs. The iteration count stays within the 24 that end without the convergence
// message, and does not fall as the precision grows (below 5 the products' floor of 5 limbs does
// not change the threshold, which follows p).
TEST(PaiLong, EverySampledPrecisionMatchesMpfr) {
    int32_t previous = 0;
    for (int32_t p : SampledPrecisions()) {
        const int32_t kept = p < 5 ? 5 : p;
        Mpfr truth(reference::ReferenceBits(kept));
        ReferencePi(truth, false);
        WorkLong pi;
        int32_t iterations = -7;
        testing::internal::CaptureStdout();
        PaiLong(pi, p, iterations);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << p;
        reference::AccuracyTally tally;
        EXPECT_TRUE(tally.Check(pi, truth.get(), p, kept, 10.0 * (kept + 1))) << "precision " << p;
        tally.Record(p);
        EXPECT_GE(iterations, 1) << p;
        EXPECT_LE(iterations, 24) << p;
        EXPECT_GE(iterations, previous) << p;
        previous = iterations;
    }
}

// At p = 1 the products give precision 5, and pi begins 3.1415926535; the loop still stops on
// the threshold of p = 1 (10^-45).
TEST(PaiLong, PrecisionOneGivesFiveLimbs) {
    WorkLong pi;
    int32_t iterations = 0;
    PaiLong(pi, 1, iterations);
    EXPECT_EQ(pi.precision, 5);
    EXPECT_EQ(pi.error, 0);
    EXPECT_EQ(pi.sign, 1);
    EXPECT_EQ(pi.exponent, 0);
    EXPECT_EQ(pi.limbs[0], 3.0);
    EXPECT_EQ(pi.limbs[1], 1415926535.0);
    Mpfr truth(reference::ReferenceBits(5));
    ReferencePi(truth, false);
    EXPECT_GT(reference::CorrectDigits(pi, truth.get()), 60.0);
}

// Beyond its own limit of 1,000,000 limbs the iteration refuses the precision with its message
// (which ends without a line feed), the zero with error -1, and leaves the count unwritten.
TEST(PaiLong, PrecisionBeyondOneMillionIsRefused) {
    for (int32_t p : {1000001, 2147483647}) {
        WorkLong pi;
        int32_t iterations = -7;
        testing::internal::CaptureStdout();
        PaiLong(pi, p, iterations);
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  MessageText(Message::PiPrecisionTooLarge));
        EXPECT_EQ(pi.sign, 0);
        EXPECT_EQ(pi.exponent, ZERO_EXPONENT);
        EXPECT_EQ(pi.precision, MAX_PRECISION);
        EXPECT_EQ(pi.error, -1);
        EXPECT_EQ(iterations, -7);
    }
}

// pi / 2: pi halved by the short division, which keeps pi's precision.
TEST(HalfPiLong, MatchesMpfr) {
    for (int32_t p : {1, 2, 5, 30, 100, 303}) {
        const int32_t kept = p < 5 ? 5 : p;
        Mpfr truth(reference::ReferenceBits(kept));
        ReferencePi(truth, true);
        WorkLong half;
        HalfPiLong(half, p);
        reference::AccuracyTally tally;
        EXPECT_TRUE(tally.Check(half, truth.get(), p, kept, 10.0 * (kept + 1))) << p;
        tally.Record(p);
    }
}

}  // namespace
}  // namespace ostrel2

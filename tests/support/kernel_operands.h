// kernel_operands.h -- records that reach the corners of the limb kernels, for comparing a fast
// kernel with the plain one it replaces.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/long_number.h"
#include "support/gmp_reference.h"

namespace ostrel2 {
namespace reference {

// Operands of precision p: `randomCount` random records (RandomLongs: runs of 0s, of
// 9,999,999,999s, of small and of nearly full limbs, exponents -300 .. 300), every live limb
// 9,999,999,999, a lone leading limb of 1, limbs alternating 9,999,999,999 and 0; and records
// the whole-limb kernels must leave to the plain ones: a fractional limb, a limb of 10^10, a
// negative zero and a negative limb behind a canonical head. Slots beyond the live limbs are NaN.
std::vector<WorkLong> KernelOperands(RandomLongs& random, int32_t p, int randomCount);

// A short division or product: result <- a op x.
using ShortKernel = WorkLong& (*)(WorkLong& result, const WorkLong& a, double x);

// Success when kernel and plain give a and x the same record (header and live limbs) and print
// the same bytes; otherwise the operand and both records.
::testing::AssertionResult SameAsPlain(ShortKernel kernel, ShortKernel plain, const WorkLong& a,
                                       double x);

// SameAsPlain at every precision 1 .. 303 on KernelOperands(random, p, 2), each operand with two
// values of the table (taken in turn, so that every value meets every kind of operand) and one
// random whole number from 1 to drawnMax. The first failure, with its precision and operand, or
// success; `compared` receives the number of cases.
::testing::AssertionResult SameAsPlainAtEveryPrecision(ShortKernel kernel, ShortKernel plain,
                                                       const std::vector<double>& values,
                                                       int64_t drawnMax, RandomLongs& random,
                                                       int& compared);

}  // namespace reference
}  // namespace ostrel2

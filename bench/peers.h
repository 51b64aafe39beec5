// peers.h -- what the other libraries compute for each export, and the Boost.Multiprecision side.
//
// Each argument set maps to one operation (Op) that MPFR, Boost's cpp_dec_float and Python's
// decimal carry out on the same values at the same number of decimal digits. The Boost side lives
// in its own file (peers_boost.cpp): cpp_dec_float takes its digits at compile time, and its
// instantiations are the slow part of building the benchmarks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "argument_sets.h"

namespace ostrel2_bench {

enum class Op {
    None,
    Add, Subtract, Multiply, Square, Divide,
    Abs, Trunc, Round, Fmod,
    Sqrt, Root, PowerInt, Pi, Factorial,
    Cos, Sin, Tan, Asin, Acos, Atan,
    Exp, Log, Log10,
    Sinh, Cosh, Tanh, Asinh, Acosh, Atanh,
    Power,
};

// The operation of an argument set (Op::None where the peers have no counterpart, e.g. LCM_XL).
Op OpOf(const ArgumentSet& set);

// One Boost computation on a pool of operands, ready to be timed.
class BoostCall {
public:
    virtual ~BoostCall() = default;
    // Computes the result for the k-th operands of the pool.
    virtual void Run(int k) = 0;
    // The last result in scientific notation with this many significant digits.
    virtual std::string Result(int significant) const = 0;
};

// Decimal digits Boost's cpp_dec_float is instantiated for: 10 p for p = 3, 10, 30, 100 and 303.
bool BoostHasDigits(int64_t digits);

// A computation of op at `digits` decimal digits on the operands given as decimal text (y may be
// empty), or nullptr where Boost has no such digit count. n is the double of the integer power and
// root, count the n of the factorial.
std::unique_ptr<BoostCall> MakeBoostCall(Op op, int64_t digits, const std::vector<std::string>& x,
                                         const std::vector<std::string>& y, double n,
                                         int32_t count);

}  // namespace ostrel2_bench

// condition_reference.h -- accuracy of a function's result against what the function's
// conditioning allows at the argument's precision, and a log of the worst cases for reports.
//
// The arithmetic keeps every result to a few units of its limb p + 2 (the transform product
// promises 4 units of that limb, docs/truncation-bounds.md, the reciprocal division and pi rest
// on it), so a function computed at the argument's precision p can be expected to meet the true
// f(x) within a modest multiple K of the allowance
//
//     10^(e(f(x)) - 10 (p + 2)) + |x f'(x)| * 10^(-10 (p + 2)),
//
// e(f(x)) the exponent of the true value's leading limb: one unit of limb p + 2 of the result,
// and what a relative change of 10^(-10 (p + 2)) in x moves f by (a reduction by a pi good to
// p + 2 limbs moves a large angle by that much). The tests measure K ("units") against an MPFR
// value of f at the exact x, far beyond the record's digits, so a bound follows the function's
// own conditioning (near a zero of sin, near the poles of tan, near +-1 for asin and acos)
// instead of a fixed digit count. A worker with a documented loss of its own (a cancelling
// formula) adds it to the allowance.
#pragma once

#include <gmpxx.h>
#include <gtest/gtest.h>
#include <mpfr.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "core/long_number.h"
#include "support/mpfr_reference.h"

namespace ostrel2 {
namespace reference {

// A real function by MPFR: its value and |f'(x)|, both at out's bits.
struct RealFunction {
    const char* name;
    int (*value)(mpfr_ptr out, mpfr_srcptr x, mpfr_rnd_t rounding);
    void (*slope)(mpfr_ptr out, mpfr_srcptr x);
};

extern const RealFunction kSine;
extern const RealFunction kCosine;
extern const RealFunction kTangent;
extern const RealFunction kArctangent;
extern const RealFunction kArcsine;
extern const RealFunction kArccosine;

// f and |f'| at the exact value of x, from MPFR at ReferenceBits(p + 4).
class TrueValue {
public:
    TrueValue(const RealFunction& f, const WorkLong& x, int32_t p);
    mpfr_srcptr get() const { return value_.get(); }
    const mpq_class& slope() const { return slope_; }
    // One unit of limb p + 2 of f(x) plus |x f'(x)| 10^(-10 (p + 2)).
    mpq_class Allowance() const;

private:
    Mpfr value_;
    mpq_class x_;
    mpq_class slope_;
    int32_t precision_;
};

struct Accuracy {
    double digits;  // correct significant digits (CorrectDigits; 0 for a true value of 0)
    double units;   // distance from the true value over the allowance
};
Accuracy Measure(const WorkLong& result, const TrueValue& truth, const mpq_class& allowance);

// Measure, and the assertion that the result is canonical and within units * allowance.
::testing::AssertionResult WithinAllowance(const WorkLong& x, const WorkLong& result,
                                           const TrueValue& truth, const mpq_class& allowance,
                                           double units, Accuracy* measured = nullptr);

// Worst correct digits and units per row (a function and a precision), recorded as test
// properties when the log is destroyed at the end of the test that owns it.
class AccuracyLog {
public:
    explicit AccuracyLog(std::string title) : title_(std::move(title)) {}
    ~AccuracyLog();
    void Add(const std::string& name, int32_t p, const Accuracy& accuracy);

private:
    struct Worst {
        int cases = 0;
        double digits = 1e9;
        double units = 0.0;
    };
    std::string title_;
    std::map<std::pair<std::string, int32_t>, Worst> rows_;
};

}  // namespace reference
}  // namespace ostrel2

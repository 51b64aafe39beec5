// factorial.cpp -- FactorialLong: n! by repeated short multiplication.
#include "powers/factorial.h"

#include "arith/multiply_schoolbook.h"
#include "core/worker_helpers.h"

namespace ostrel2 {

namespace {

constexpr int32_t kLargestArgument = 1000000;  // 1,000,000! has 5,565,709 digits

}  // namespace

// n! at exactly the given precision: 1 multiplied by 1, 2, ..., n in turn with the short product,
// each product cut after the last guard limb without rounding, so a factorial longer than the
// record's 10 (p + 4) digits keeps its leading digits, below the true value by the truncations
// (one unit of limb p + 2 of each product at most). n short products of p + 4 limbs each; no
// transform product, no division. The precision is one a record holds, 1 .. MAX_PRECISION (the
// entry points refuse any other). An n outside 0 .. 1,000,000 gives its message and the zero of
// the precision with error -1.
WorkLong& FactorialLong(WorkLong& result, int32_t n, int32_t precision) {
    WorkLong f;
    InitLong(f, precision, 1, 0, 1.0);
    if (n < 0 || n > kLargestArgument) {
        InitLong(f, precision, 0, 0, 0.0);
        return FailWith(result, f, Message::FactorialRange);
    }
    for (int32_t i = 1; i <= n; ++i) MultiplSmall(f, f, i);
    return CopyOut(result, f);
}

}  // namespace ostrel2

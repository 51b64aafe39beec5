// product_counter.h -- the counters of the counting program: transform products, reciprocal
// divisions, short products and divisions, and the time spent inside the products.
//
// The counting program links a copy of the workers compiled with OSTREL2_CALL_COUNTING, in which
// the hook OSTREL2_COUNTED_CALL at the entry of MultiplLong, MultiplLongKept, DivLong,
// MultiplSmall and DivSmall (core/call_counting.h) reports every call to product_counter.cpp.
// The arithmetic is the library's own code; in the library the hook expands to nothing.
// Single-threaded.
#pragma once

#include <cstdint>

namespace ostrel2_bench {

// What the calls since the last ResetCounts did.
struct Counts {
    int64_t products = 0;             // MultiplLong and MultiplLongKept calls
    int64_t productsInDivisions = 0;  // of them, made inside DivLong
    int64_t lowerProducts = 0;        // of them, on operands below the precision given
    int64_t divisions = 0;            // DivLong calls
    int64_t smallProducts = 0;        // MultiplSmall calls
    int64_t smallDivisions = 0;       // DivSmall calls
    double productSeconds = 0;        // time inside the products while TimeProducts(true)
};

const Counts& CurrentCounts();

// Sets every count to 0; products on operands below `precision` count as lower.
void ResetCounts(int32_t precision = 0);

// Whether each product's start and end read the steady clock (about 50 ns a product on top).
void TimeProducts(bool on);

// The steady clock in seconds.
double SteadySeconds();

}  // namespace ostrel2_bench

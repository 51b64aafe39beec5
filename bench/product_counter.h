// product_counter.h -- the counters of the counting programs: transform products, reciprocal
// divisions, short products and divisions, and the time spent inside the products.
//
// A counting program links product_counter.cpp with the linker option --wrap on MultiplLong,
// DivLong, MultiplSmall and DivSmall (ostrel2_counting_program in bench/CMakeLists.txt): every
// call of these made from another source file then goes through a wrapper here, which counts it
// and forwards it to the library's own worker. The workers are the library's unchanged code.
// Single-threaded.
#pragma once

#include <cstdint>

#include "core/long_number.h"
#include "ostrel2.h"

namespace ostrel2_bench {

// What the calls since the last ResetCounts did.
struct Counts {
    int64_t products = 0;             // MultiplLong calls
    int64_t productsInDivisions = 0;  // of them, made inside DivLong
    int64_t lowerProducts = 0;        // of them, on operands below the precision given
    int64_t divisions = 0;            // DivLong calls
    int64_t smallProducts = 0;        // MultiplSmall calls
    int64_t smallDivisions = 0;       // DivSmall calls
    double productSeconds = 0;        // time inside MultiplLong while TimeProducts(true)
};

const Counts& CurrentCounts();

// Sets every count to 0; products on operands below `precision` count as lower.
void ResetCounts(int32_t precision = 0);

// Whether the wrapper of MultiplLong reads the steady clock around every product (about 50 ns a
// product on top).
void TimeProducts(bool on);

// The steady clock in seconds.
double SteadySeconds();

// The transform products since the last ResetProducts (or ResetCounts).
int64_t Products();
void ResetProducts();

// The working record of a boundary record: its 306 slots, slot 306 as 0.
ostrel2::WorkLong Working(const LongNumber& x);

}  // namespace ostrel2_bench

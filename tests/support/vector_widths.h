// vector_widths.h -- every vector width the fast paths take, for the tests that require each to
// give the plain code's bits: the library's own, the two-lane SSE2 loops and the portable code,
// all three on every x86 run (on other processors the first two fall back to the portable code).
#pragma once

#include "core/cpu_features.h"

namespace ostrel2 {
namespace reference {

constexpr VectorWidth kAllWidths[] = {VectorWidth::Widest, VectorWidth::Narrow,
                                      VectorWidth::Portable};

inline const char* WidthName(VectorWidth width) {
    return width == VectorWidth::Widest   ? "widest"
           : width == VectorWidth::Narrow ? "two lanes"
                                          : "portable";
}

}  // namespace reference
}  // namespace ostrel2

// options.h -- the command-line options the benchmark programs share.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ostrel2.h"

namespace ostrel2_bench {

// The text after "--name=" if argument is that option, else nullptr.
inline const char* Option(const char* argument, const char* name) {
    const size_t length = std::strlen(name);
    if (std::strncmp(argument, name, length) != 0 || argument[length] != '=') return nullptr;
    return argument + length + 1;
}

// Precisions given as "5,30,100": appended to precisions; false for one outside 1 .. 303 or text
// that is not a number.
inline bool ReadPrecisions(const char* text, std::vector<int32_t>& precisions) {
    for (const char* cursor = text; *cursor != '\0';) {
        char* end = nullptr;
        const long p = std::strtol(cursor, &end, 10);
        if (end == cursor || p < 1 || p > OSTREL2_MAX_PRECISION) return false;
        precisions.push_back(static_cast<int32_t>(p));
        cursor = *end == ',' ? end + 1 : end;
    }
    return true;
}

}  // namespace ostrel2_bench

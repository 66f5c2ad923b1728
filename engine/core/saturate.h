// Coordinates are 32-bit; sums of them are taken in 64 bits and brought back
// here, saturated at the limits of a 32-bit integer instead of wrapping.
#pragma once

#include <algorithm>
#include <cstdint>

inline int32_t SprSaturate(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// Small helpers shared by the drawing-layer tests.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/win32.h"
#include "support/dib_support.h"

// A top-down 32-bit DIB section selected into a new memory DC, with a fill that
// tells every pixel apart.
struct TestCanvas : TestDibSurface {
    using TestDibSurface::TestDibSurface;
    // Fills every pixel with a value made from its position, fourth byte included.
    void Pattern(uint32_t salt = 0) {
        for (int32_t i = 0; i < width * height; ++i) pixels[i] = 0x01000000u * (salt + 1) + static_cast<uint32_t>(i);
    }
};

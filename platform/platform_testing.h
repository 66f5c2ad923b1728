// Test-only services of the platform layer: live object counts, the headless
// screen size, injected input and reading what a window shows. The engine and the
// demo never include this header.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// Live GDI objects created by callers and not yet deleted.
struct GdiObjectCounts {
    int32_t bitmaps;
    int32_t dcs;
    int32_t regions;
    int32_t brushes;
    int32_t Total() const { return bitmaps + dcs + regions + brushes; }
};
GdiObjectCounts PlatformLiveGdiObjects();

// Headless backend only: the desktop size that GetSystemMetrics reports
// (1280 x 1024 until a test sets another).
void PlatformSetScreenSize(int32_t width, int32_t height);

// The display backend: one per executable, chosen by which backend library it
// links (display/sdl for a real desktop, display/headless for tests). The window
// system calls through this table; only the backend knows what a screen is.
#pragma once

#include <cstdint>

#include "platform/win32.h"

struct DisplayBackend {
    const char* name;
    // Size of the desktop in pixels.
    void (*screenSize)(int32_t* width, int32_t* height);
};

const DisplayBackend& DisplayGetBackend();

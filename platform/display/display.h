// The display backend: one per executable, chosen by which backend library it
// links (display/sdl for a real desktop, display/headless for tests). The window
// system calls through this table; only the backend knows what a screen is.
//
// A backend knows top-level windows only, by their HWND. Every visible top-level
// window has one desktop window whose size is the window's client size; the window
// system draws into its own surface and hands the changed rectangles to `present`.
// Input comes back as DisplayEvents in the order the desktop produced them.
#pragma once

#include <cstdint>

#include "platform/win32.h"

enum class DisplayEventKind {
    MouseDown,  // left button pressed at (x, y)
    MouseUp,    // left button released at (x, y)
    MouseMove,  // pointer moved to (x, y)
    KeyDown,    // virtualKey pressed
    KeyUp,      // virtualKey released
    Close,      // the close box was used
    FocusGained,
    FocusLost,
    Exposed,    // the desktop lost the window's pixels: present all of it again
};

struct DisplayEvent {
    DisplayEventKind kind;
    HWND window;       // the top-level window the event belongs to
    int32_t x;         // pointer position in the window's client area
    int32_t y;
    UINT virtualKey;   // VK_* code of a key event
};

struct DisplayBackend {
    const char* name;
    // Size of the desktop in pixels.
    void (*screenSize)(int32_t* width, int32_t* height);
    // Makes the desktop window of a top-level window that is being shown; FALSE if
    // the desktop cannot make one (the window then lives in memory only).
    BOOL (*openWindow)(HWND window, int32_t x, int32_t y, int32_t width, int32_t height,
                       const char* titleUtf8);
    // Removes the desktop window (hidden or destroyed); unknown windows are ignored.
    void (*closeWindow)(HWND window);
    void (*setTitle)(HWND window, const char* titleUtf8);
    void (*resizeWindow)(HWND window, int32_t width, int32_t height);
    // Copies `count` rectangles of the window's surface (top-down 32-bit pixels,
    // `width` pixels a row) to the desktop window.
    void (*present)(HWND window, const uint32_t* pixels, int32_t width, int32_t height,
                    const RECT* rects, int32_t count);
    // Takes the next input event without waiting; FALSE when there is none.
    BOOL (*pollEvent)(DisplayEvent* event);
};

const DisplayBackend& DisplayGetBackend();

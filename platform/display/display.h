// The display backend: one per executable, chosen by which backend library it
// links (display/sdl for a real desktop, display/headless for tests). The window
// system calls through this table; only the backend knows what a screen is.
//
// A backend knows top-level windows only, by their HWND. Every visible top-level
// window has one desktop window whose size is the window's client size; the window
// system draws into the desktop window's framebuffer where the backend offers one
// of the surface's layout, into its own surface otherwise, and hands the changed
// rectangles to `present`. A backend may hold presented rectangles back until
// `flush`, which the program calls when it goes idle (Sleep).
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
    // The desktop window's own pixels, when the window system can draw straight into
    // them: top-down 32-bit pixels laid out as the surface's (bytes blue, green, red,
    // unused), exactly width x height, rows *pitch bytes apart. NULL when there is no
    // such framebuffer (no desktop window, another pixel format, another size).
    // *remade is TRUE when the memory is not the one handed out last time, or the
    // desktop lost its pixels: what was drawn into the previous one is gone. The
    // memory stays valid until the next framebuffer, resizeWindow or closeWindow
    // call for the window; only these calls may free or replace it, so the window
    // system asks for the framebuffer again before it draws into it.
    uint32_t* (*framebuffer)(HWND window, int32_t width, int32_t height, int32_t* pitch, BOOL* remade);
    // Shows `count` rectangles of the window's pixels (top-down 32-bit pixels, rows
    // `pitch` bytes apart) on the desktop window. When `pixels` is the framebuffer
    // last handed out, nothing is copied; otherwise the rectangles are copied into
    // the desktop window first. The desktop may show them only at the next `flush`.
    void (*present)(HWND window, const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                    const RECT* rects, int32_t count);
    // Shows every rectangle presented so far on the desktop, and returns once the
    // desktop has taken the pixels.
    void (*flush)();
    // Takes the next input event without waiting; FALSE when there is none.
    BOOL (*pollEvent)(DisplayEvent* event);
};

const DisplayBackend& DisplayGetBackend();

// Test-only services of the platform layer: live object counts, the headless
// screen size, injected input and reading what a window shows. They are the
// library platform_testing, which only tests, the soak, the fuzz targets and the
// benchmarks link; the engine, the demo and the product libraries never include
// this header. The services marked "headless backend only" need the program to
// link platform_headless as well; on Windows they do not exist, and the others
// are made of the real platform's calls (testing/windows/).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

// Live GDI objects created by callers and not yet deleted.
struct GdiObjectCounts {
    int32_t bitmaps;
    int32_t dcs;
    int32_t regions;
    int32_t brushes;
    int32_t Total() const { return bitmaps + dcs + regions + brushes; }
};
// Whether live objects can be counted by kind: the real platform keeps no such
// count, so there PlatformCountsGdiObjects is false and the counts read 0.
bool PlatformCountsGdiObjects();
GdiObjectCounts PlatformLiveGdiObjects();

// The desktop size that GetSystemMetrics reports (1280 x 1024 until a test sets
// another); false where a test cannot set it (the real platform).
bool PlatformSetScreenSize(int32_t width, int32_t height);

// ---- Windows -------------------------------------------------------------------
// Input injected as the desktop would deliver it, in client coordinates of
// `hwnd`, a top-level window or one of its children. It reaches the message
// queue at the next PeekMessageW.
void PlatformInjectMouseDown(HWND hwnd, int32_t x, int32_t y);
void PlatformInjectMouseUp(HWND hwnd, int32_t x, int32_t y);
void PlatformInjectMouseMove(HWND hwnd, int32_t x, int32_t y);
void PlatformInjectClick(HWND hwnd, int32_t x, int32_t y);  // down, then up
void PlatformInjectKey(HWND hwnd, UINT virtualKey);          // down, then up
void PlatformInjectClose(HWND hwnd);  // the close box of hwnd's top-level window

// The desktop's side (headless backend only): whether a top-level window has a
// desktop window, the title shown there (UTF-8), and the rectangles presented to
// it since the last call (surface pixels).
bool PlatformHasDesktopWindow(HWND hwnd);
RECT PlatformDesktopWindowRect(HWND hwnd);  // where the desktop placed it; empty if none
std::string PlatformDesktopTitle(HWND hwnd);
std::vector<RECT> PlatformTakePresentedRects(HWND hwnd);
// What the desktop window of a top-level window shows at client (x, y), as a
// COLORREF; 0xFFFFFFFF outside it or when it has no pixels (headless backend only).
COLORREF PlatformDesktopPixel(HWND hwnd, int32_t x, int32_t y);
// Whether desktop windows let the window system draw straight into their pixels
// (the default) or make it present by copying (headless backend only).
void PlatformOfferFramebuffers(bool offered);
// The desktop remakes the window's pixels at the next request, losing what they
// showed, as a desktop does after a size change (headless backend only).
void PlatformLoseFramebuffer(HWND hwnd);

// What a window shows at client (x, y) as a COLORREF, read from its top-level's
// surface; 0xFFFFFFFF outside the window.
COLORREF PlatformWindowPixel(HWND hwnd, int32_t x, int32_t y);
// Saves the window's client area as a PNG picture for a person to look at
// (not on Windows).
BOOL PlatformSaveWindowPng(HWND hwnd, const char* path);
// Resizes a window as the desktop would: the client area becomes width x height
// and the window gets WM_SIZE.
BOOL PlatformResizeWindow(HWND hwnd, int32_t width, int32_t height);
// Runs the message loop (the active dialog's keyboard handling first, then
// translate and dispatch) until nothing is queued and nothing needs painting,
// at most maxMessages times; returns how many messages were handled.
int32_t PlatformPumpMessages(int32_t maxMessages = 10000);
// Destroys every window still there, for tearing a test down; and counts them
// (the count not on Windows).
void PlatformDestroyAllWindows();
int32_t PlatformLiveWindowCount();

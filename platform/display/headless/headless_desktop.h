// The headless desktop as seen from outside the window system: what a test
// library needs to play the desktop's part (queue input, size the screen, choose
// whether framebuffers are offered) and to read what the desktop shows. Desktop
// windows are named by the HWND of their top-level window, as in the backend
// table; the desktop knows nothing of child windows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/display/display.h"

// Queues an event for the next pollEvent, as the desktop would produce it;
// event.window is a top-level window and (x, y) is in its client area.
void HeadlessQueueEvent(const DisplayEvent& event);
// The size screenSize reports (1280 x 1024 until set).
void HeadlessSetScreenSize(int32_t width, int32_t height);

// Whether a top-level window has a desktop window, where the desktop placed it
// (empty if nowhere), and the title shown there (UTF-8).
bool HeadlessHasWindow(HWND window);
RECT HeadlessWindowRect(HWND window);
std::string HeadlessWindowTitle(HWND window);
// The rectangles presented to the desktop window since the last call (surface pixels).
std::vector<RECT> HeadlessTakePresentedRects(HWND window);
// What the desktop window shows at client (x, y) as a COLORREF; 0xFFFFFFFF
// outside it or when it has no pixels.
COLORREF HeadlessPixel(HWND window, int32_t x, int32_t y);

// Whether desktop windows hand out their pixels as framebuffers (the default) or
// make the window system present by copying.
void HeadlessOfferFramebuffers(bool offered);
// Remakes the desktop window's pixels at the next framebuffer request, losing what
// they showed, as a desktop does after a size change.
void HeadlessLoseFramebuffer(HWND window);

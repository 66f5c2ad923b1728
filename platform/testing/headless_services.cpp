// Test services that play the headless desktop's part: the screen size, input
// as the desktop delivers it, and what the desktop shows. The desktop knows only
// top-level windows, so a point in a child's client area is moved here into its
// top-level window's client area before the event is queued.
#include "platform/display/headless/headless_desktop.h"
#include "platform/testing/platform_testing.h"
#include "platform/user/user_internal.h"

namespace {

void Inject(DisplayEventKind kind, HWND hwnd, int32_t x, int32_t y, UINT virtualKey) {
    UsrWindow* window = UsrFind(hwnd);
    UsrWindow* topLevel = UsrTopLevelOf(window);
    if (topLevel == nullptr) return;
    const POINT origin = UsrSurfaceOrigin(window);
    HeadlessQueueEvent(DisplayEvent{kind, topLevel->handle, origin.x + x, origin.y + y, virtualKey});
}

}  // namespace

bool PlatformSetScreenSize(int32_t width, int32_t height) {
    HeadlessSetScreenSize(width, height);
    return true;
}

void PlatformInjectMouseDown(HWND hwnd, int32_t x, int32_t y) { Inject(DisplayEventKind::MouseDown, hwnd, x, y, 0); }
void PlatformInjectMouseUp(HWND hwnd, int32_t x, int32_t y) { Inject(DisplayEventKind::MouseUp, hwnd, x, y, 0); }
void PlatformInjectMouseMove(HWND hwnd, int32_t x, int32_t y) { Inject(DisplayEventKind::MouseMove, hwnd, x, y, 0); }

void PlatformInjectClick(HWND hwnd, int32_t x, int32_t y) {
    PlatformInjectMouseDown(hwnd, x, y);
    PlatformInjectMouseUp(hwnd, x, y);
}

void PlatformInjectKey(HWND hwnd, UINT virtualKey) {
    Inject(DisplayEventKind::KeyDown, hwnd, 0, 0, virtualKey);
    Inject(DisplayEventKind::KeyUp, hwnd, 0, 0, virtualKey);
}

void PlatformInjectClose(HWND hwnd) { Inject(DisplayEventKind::Close, hwnd, 0, 0, 0); }

bool PlatformHasDesktopWindow(HWND hwnd) { return HeadlessHasWindow(hwnd); }
RECT PlatformDesktopWindowRect(HWND hwnd) { return HeadlessWindowRect(hwnd); }
std::string PlatformDesktopTitle(HWND hwnd) { return HeadlessWindowTitle(hwnd); }
std::vector<RECT> PlatformTakePresentedRects(HWND hwnd) { return HeadlessTakePresentedRects(hwnd); }
COLORREF PlatformDesktopPixel(HWND hwnd, int32_t x, int32_t y) { return HeadlessPixel(hwnd, x, y); }
void PlatformOfferFramebuffers(bool offered) { HeadlessOfferFramebuffers(offered); }
void PlatformLoseFramebuffer(HWND hwnd) { HeadlessLoseFramebuffer(hwnd); }

// Input from the display backend, turned into queued messages in the order it
// came: the mouse goes to the window under the pointer, or to the window the
// left button went down on while it is held; keys go to the top-level window;
// the close box becomes WM_SYSCOMMAND with SC_CLOSE.
#include <algorithm>

#include "platform/display/display.h"
#include "platform/user/user_internal.h"

namespace {

// The window that gets a mouse event at (x, y) of the top-level's client area,
// and the point in that window's client coordinates.
UsrWindow* MouseTarget(UsrWindow* topLevel, int32_t x, int32_t y, POINT* point) {
    UsrWindow* capture = UsrFind(userState.captureWindow);
    if (capture != nullptr && UsrTopLevelOf(capture) == topLevel) {
        const POINT origin = UsrSurfaceOrigin(capture);
        *point = POINT{x - origin.x, y - origin.y};
        return capture;
    }
    *point = POINT{x, y};
    return UsrHitTest(topLevel, point);
}

LPARAM PointParam(POINT point) { return MAKELPARAM(static_cast<int16_t>(point.x), static_cast<int16_t>(point.y)); }

void HandleMouse(const DisplayEvent& event, UsrWindow* topLevel) {
    // Keep the point where 16-bit message coordinates can hold it.
    const int32_t x = std::clamp(event.x, -32768, 32767);
    const int32_t y = std::clamp(event.y, -32768, 32767);
    POINT point;
    UsrWindow* target = MouseTarget(topLevel, x, y, &point);
    if (target == nullptr) return;
    switch (event.kind) {
        case DisplayEventKind::MouseDown:
            userState.buttonDown = true;
            userState.captureWindow = target->handle;
            UsrPost(target->handle, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(point));
            break;
        case DisplayEventKind::MouseUp:
            userState.buttonDown = false;
            userState.captureWindow = nullptr;
            UsrPost(target->handle, WM_LBUTTONUP, 0, PointParam(point));
            break;
        default: {
            const WPARAM keys = userState.buttonDown ? MK_LBUTTON : 0;
            auto& queue = userState.queue;
            // Moves are merged as on the platform: only the latest position matters.
            if (!queue.empty() && queue.back().message == WM_MOUSEMOVE && queue.back().hwnd == target->handle) {
                queue.back().wParam = keys;
                queue.back().lParam = PointParam(point);
            } else {
                UsrPost(target->handle, WM_MOUSEMOVE, keys, PointParam(point));
            }
            break;
        }
    }
}

void HandleEvent(const DisplayEvent& event) {
    UsrWindow* topLevel = UsrFind(event.window);
    if (topLevel == nullptr || (topLevel->style & WS_CHILD) != 0) return;
    switch (event.kind) {
        case DisplayEventKind::MouseDown:
        case DisplayEventKind::MouseUp:
        case DisplayEventKind::MouseMove: HandleMouse(event, topLevel); break;
        case DisplayEventKind::KeyDown: UsrPost(event.window, WM_KEYDOWN, event.virtualKey, 1); break;
        case DisplayEventKind::KeyUp: UsrPost(event.window, WM_KEYUP, event.virtualKey, static_cast<LPARAM>(0xC0000001u)); break;
        case DisplayEventKind::Close: UsrPost(event.window, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        case DisplayEventKind::FocusGained:
            if (UsrIsVisible(topLevel)) UsrSetActive(event.window);
            break;
        case DisplayEventKind::FocusLost:
            if (userState.activeWindow == event.window) UsrSetActive(nullptr);
            break;
        case DisplayEventKind::Exposed: {
            pixman_region32_t all;
            pixman_region32_init_rect(&all, 0, 0, static_cast<uint32_t>(topLevel->surfaceWidth),
                                      static_cast<uint32_t>(topLevel->surfaceHeight));
            UsrPresent(topLevel, &all);
            pixman_region32_fini(&all);
            break;
        }
    }
}

}  // namespace

void UsrPollInput() {
    const DisplayBackend& backend = DisplayGetBackend();
    DisplayEvent event;
    while (backend.pollEvent(&event)) HandleEvent(event);
}

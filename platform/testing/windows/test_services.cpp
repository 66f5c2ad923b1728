// The test services on the real platform. What it cannot give is reported as
// such (no live object counts by kind, no settable screen size); input goes in
// as the messages the window system itself would deliver, and what a window
// shows is read through its device context.
#include <vector>

#include "platform/testing/platform_testing.h"

namespace {

// The deepest visible child of `parent` under `point` (client coordinates of
// `parent`, updated to the returned window's), as the window system hit-tests.
HWND DeepestChildAt(HWND parent, POINT* point) {
    for (;;) {
        HWND child = ChildWindowFromPointEx(parent, *point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (child == nullptr || child == parent) return parent;
        MapWindowPoints(parent, child, point, 1);
        parent = child;
    }
}

void PostMouse(HWND hwnd, int32_t x, int32_t y, UINT message, WPARAM keys) {
    if (!IsWindow(hwnd)) return;
    HWND topLevel = GetAncestor(hwnd, GA_ROOT);
    POINT point{x, y};
    MapWindowPoints(hwnd, topLevel, &point, 1);
    HWND target = GetCapture();
    if (target != nullptr && GetAncestor(target, GA_ROOT) == topLevel) {
        MapWindowPoints(topLevel, target, &point, 1);
    } else {
        target = DeepestChildAt(topLevel, &point);
    }
    PostMessageW(target, message, keys, MAKELPARAM(point.x, point.y));
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

}  // namespace

bool PlatformCountsGdiObjects() { return false; }
GdiObjectCounts PlatformLiveGdiObjects() { return GdiObjectCounts{0, 0, 0, 0}; }
bool PlatformSetScreenSize(int32_t, int32_t) { return false; }

void PlatformInjectMouseDown(HWND hwnd, int32_t x, int32_t y) { PostMouse(hwnd, x, y, WM_LBUTTONDOWN, MK_LBUTTON); }
void PlatformInjectMouseUp(HWND hwnd, int32_t x, int32_t y) { PostMouse(hwnd, x, y, WM_LBUTTONUP, 0); }
void PlatformInjectMouseMove(HWND hwnd, int32_t x, int32_t y) { PostMouse(hwnd, x, y, WM_MOUSEMOVE, 0); }

void PlatformInjectClick(HWND hwnd, int32_t x, int32_t y) {
    PlatformInjectMouseDown(hwnd, x, y);
    PlatformInjectMouseUp(hwnd, x, y);
}

// The key goes to the window with the keyboard focus when it belongs to hwnd's
// top-level window, else to that top-level window, with the repeat count and
// scan code the keyboard would give.
void PlatformInjectKey(HWND hwnd, UINT virtualKey) {
    if (!IsWindow(hwnd)) return;
    HWND topLevel = GetAncestor(hwnd, GA_ROOT);
    HWND focus = GetFocus();
    HWND target = focus != nullptr && GetAncestor(focus, GA_ROOT) == topLevel ? focus : topLevel;
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, WM_KEYDOWN, virtualKey, scan | 1);
    PostMessageW(target, WM_KEYUP, virtualKey, scan | 1 | (LPARAM{1} << 30) | (LPARAM{1} << 31));
}

// A click on the close box ends in this command to the top-level window.
void PlatformInjectClose(HWND hwnd) {
    if (IsWindow(hwnd)) PostMessageW(GetAncestor(hwnd, GA_ROOT), WM_SYSCOMMAND, SC_CLOSE, 0);
}

COLORREF PlatformWindowPixel(HWND hwnd, int32_t x, int32_t y) {
    RECT client{};
    if (!IsWindow(hwnd) || !GetClientRect(hwnd, &client)) return CLR_INVALID;
    if (x < 0 || y < 0 || x >= client.right || y >= client.bottom) return CLR_INVALID;
    HDC dc = GetDC(hwnd);
    if (dc == nullptr) return CLR_INVALID;
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return pixel;
}

BOOL PlatformResizeWindow(HWND hwnd, int32_t width, int32_t height) {
    RECT frame{};
    RECT client{};
    if (!IsWindow(hwnd) || !GetWindowRect(hwnd, &frame) || !GetClientRect(hwnd, &client)) return FALSE;
    const int32_t extraWidth = (frame.right - frame.left) - client.right;
    const int32_t extraHeight = (frame.bottom - frame.top) - client.bottom;
    return SetWindowPos(hwnd, nullptr, 0, 0, width + extraWidth, height + extraHeight,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int32_t PlatformPumpMessages(int32_t maxMessages) {
    int32_t handled = 0;
    MSG msg;
    while (handled < maxMessages && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ++handled;
        HWND active = GetActiveWindow();
        if (active != nullptr && IsDialogMessageA(active, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return handled;
}

void PlatformDestroyAllWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND hwnd : windows) {
        // The window system's own windows of this thread (the input method's) stay.
        char className[16] = {};
        GetClassNameA(hwnd, className, sizeof className);
        if (lstrcmpiA(className, "IME") == 0) continue;
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    MSG msg;
    for (int32_t n = 0; n < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
    }
}

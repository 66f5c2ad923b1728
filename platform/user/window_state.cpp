// Window queries and changes: relatives, visibility, activation, position and
// size.

#include "platform/display/display.h"
#include "platform/user/user_internal.h"

namespace {

void InvalidateParentArea(UsrWindow* window) {
    UsrWindow* parent = UsrFind(window->parent);
    if (parent == nullptr) return;
    const RECT& r = window->rect;
    if (r.right <= r.left || r.bottom <= r.top) return;
    pixman_region32_t area;
    pixman_region32_init_rect(&area, r.left, r.top, static_cast<uint32_t>(r.right - r.left),
                              static_cast<uint32_t>(r.bottom - r.top));
    UsrInvalidate(parent, &area, true, false);
    pixman_region32_fini(&area);
}

}  // namespace

void UsrSetActive(HWND hwnd) {
    if (userState.activeWindow == hwnd) return;
    const HWND previous = userState.activeWindow;
    userState.activeWindow = hwnd;
    if (UsrFind(previous) != nullptr) {
        SendMessageW(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(hwnd));
    }
    if (hwnd != nullptr && userState.activeWindow == hwnd && UsrFind(hwnd) != nullptr) {
        SendMessageW(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(previous));
    }
}

bool UsrSetBounds(HWND hwnd, int x, int y, int width, int height, bool repaint) {
    UsrWindow* window = UsrFind(hwnd);
    if (window == nullptr) return false;
    const int32_t left = UsrClampCoordinate(x);
    const int32_t top = UsrClampCoordinate(y);
    const RECT newRect{left, top, left + UsrClampSize(width), top + UsrClampSize(height)};
    const RECT oldRect = window->rect;
    const bool sizeChanged = newRect.right - newRect.left != oldRect.right - oldRect.left ||
                             newRect.bottom - newRect.top != oldRect.bottom - oldRect.top;
    if (!sizeChanged && newRect.left == oldRect.left && newRect.top == oldRect.top) return true;
    const bool child = (window->style & WS_CHILD) != 0;
    if (child && repaint && UsrIsVisible(window)) InvalidateParentArea(window);
    window->rect = newRect;
    // Client-relative update regions do not survive a size change in any useful way.
    if (sizeChanged) UsrSetUpdateEmpty(window);
    if (!child) UsrResizeSurface(window);
    if (sizeChanged || repaint) UsrInvalidate(window, nullptr, true, true);
    if (sizeChanged) {
        SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED,
                     MAKELPARAM(newRect.right - newRect.left, newRect.bottom - newRect.top));
    }
    return true;
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    UsrWindow* window = UsrFind(hDlg);
    if (window == nullptr) return nullptr;
    for (HWND childHandle : window->children) {
        UsrWindow* child = UsrFind(childHandle);
        if (child != nullptr && child->id == nIDDlgItem) return childHandle;
    }
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    UsrWindow* window = UsrFind(hWnd);
    return window != nullptr ? window->id : 0;
}

HWND WINAPI GetParent(HWND hWnd) {
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr) return nullptr;
    return (window->style & WS_CHILD) != 0 ? window->parent : UsrFind(window->owner) != nullptr ? window->owner : nullptr;
}

BOOL WINAPI IsWindow(HWND hWnd) { return UsrFind(hWnd) != nullptr ? TRUE : FALSE; }

BOOL WINAPI IsWindowVisible(HWND hWnd) { return UsrIsVisible(UsrFind(hWnd)) ? TRUE : FALSE; }

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr) return FALSE;
    const bool wasVisible = (window->style & WS_VISIBLE) != 0;
    const bool show = nCmdShow != SW_HIDE;
    if (show == wasVisible || (show && window->destroying)) return wasVisible ? TRUE : FALSE;
    SendMessageW(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    window = UsrFind(hWnd);
    if (window == nullptr || show == ((window->style & WS_VISIBLE) != 0)) return wasVisible ? TRUE : FALSE;
    const bool child = (window->style & WS_CHILD) != 0;
    if (show) {
        window->style |= WS_VISIBLE;
        if (!child) {
            const int32_t width = window->rect.right - window->rect.left;
            const int32_t height = window->rect.bottom - window->rect.top;
            window->desktopOpen = DisplayGetBackend().openWindow(hWnd, window->rect.left, window->rect.top, width,
                                                                 height, UsrToUtf8(window->text).c_str()) != FALSE;
            UsrSyncFramebuffer(window);
        }
        UsrInvalidate(window, nullptr, true, true);
        if (!child) UsrSetActive(hWnd);
    } else {
        window->style &= ~static_cast<DWORD>(WS_VISIBLE);
        if (!child) {
            if (userState.activeWindow == hWnd) UsrSetActive(nullptr);
            window = UsrFind(hWnd);
            if (window == nullptr) return TRUE;
            UsrDetachFramebuffer(window, true);
            if (window->desktopOpen) DisplayGetBackend().closeWindow(hWnd);
            window->desktopOpen = false;
        } else if (UsrIsVisible(UsrFind(window->parent))) {
            InvalidateParentArea(window);
        }
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr || lpRect == nullptr) return FALSE;
    *lpRect = RECT{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
    return UsrSetBounds(hWnd, X, Y, nWidth, nHeight, bRepaint != FALSE) ? TRUE : FALSE;
}

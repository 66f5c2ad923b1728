// Window procedures: reading and replacing them (subclassing), calling one, and
// the default handling that the system relies on.
#include <algorithm>
#include <cwchar>

#include "platform/display/display.h"
#include "platform/user/user_internal.h"

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr) return 0;
    switch (nIndex) {
        case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(window->wndProc);
        case GWLP_USERDATA: return window->userData;
        case GWLP_ID: return window->id;
        default: return 0;
    }
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr) return 0;
    LONG_PTR previous = 0;
    switch (nIndex) {
        case GWLP_WNDPROC:
            // A window without a procedure could not take any message: refused.
            if (dwNewLong == 0) return 0;
            previous = reinterpret_cast<LONG_PTR>(window->wndProc);
            window->wndProc = reinterpret_cast<WNDPROC>(dwNewLong);
            return previous;
        case GWLP_USERDATA:
            previous = window->userData;
            window->userData = dwNewLong;
            return previous;
        case GWLP_ID:
            previous = window->id;
            window->id = static_cast<int32_t>(dwNewLong);
            return previous;
        default: return 0;
    }
}

LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (lpPrevWndFunc == nullptr) return 0;
    return lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}

LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr) return 0;
    switch (Msg) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(hWnd, &paint);
            EndPaint(hWnd, &paint);
            return 0;
        }
        case WM_ERASEBKGND: {
            // Only dialog windows have a background of their own here.
            if (window->windowClass != UsrClass::Dialog) return 0;
            const RECT client{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
            UsrFillSysColor(reinterpret_cast<HDC>(wParam), &client, COLOR_BTNFACE);
            return 1;
        }
        case WM_CLOSE:
            DestroyWindow(hWnd);
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageW(hWnd, WM_CLOSE, 0, 0);
            return 0;
        case WM_SETTEXT: {
            const auto* text = reinterpret_cast<const wchar_t*>(lParam);
            window->text = text != nullptr ? text : L"";
            if (window->desktopOpen) DisplayGetBackend().setTitle(hWnd, UsrToUtf8(window->text).c_str());
            return TRUE;
        }
        case WM_GETTEXT: {
            auto* buffer = reinterpret_cast<wchar_t*>(lParam);
            if (buffer == nullptr || wParam == 0) return 0;
            const size_t count = std::min<size_t>(window->text.size(), wParam - 1);
            std::wmemcpy(buffer, window->text.data(), count);
            buffer[count] = L'\0';
            return static_cast<LRESULT>(count);
        }
        default: return 0;
    }
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hWnd, Msg, wParam, lParam);
}

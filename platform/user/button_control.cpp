// The "BUTTON" push button: a raised face in the system colours with its caption
// centred in the dialog font, drawn pressed while the left button is held on it,
// and WM_COMMAND (id, BN_CLICKED) to its parent when released over it.
#include "platform/user/user_internal.h"

namespace {

// One-pixel frame lines: top and left in one colour, bottom and right in another.
void DrawFrame(HDC hdc, RECT r, int topLeftColor, int bottomRightColor) {
    if (r.right - r.left < 1 || r.bottom - r.top < 1) return;
    const RECT top{r.left, r.top, r.right, r.top + 1};
    const RECT left{r.left, r.top, r.left + 1, r.bottom};
    const RECT bottom{r.left, r.bottom - 1, r.right, r.bottom};
    const RECT right{r.right - 1, r.top, r.right, r.bottom};
    UsrFillSysColor(hdc, &top, topLeftColor);
    UsrFillSysColor(hdc, &left, topLeftColor);
    UsrFillSysColor(hdc, &bottom, bottomRightColor);
    UsrFillSysColor(hdc, &right, bottomRightColor);
}

void DrawButton(HWND hwnd, HDC hdc) {
    UsrWindow* window = UsrFind(hwnd);
    if (window == nullptr || hdc == nullptr) return;
    const bool pressed = window->buttonPressed;
    const std::wstring caption = window->text;
    RECT r{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
    UsrFillSysColor(hdc, &r, COLOR_BTNFACE);
    if (pressed) {
        DrawFrame(hdc, r, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT);
        DrawFrame(hdc, RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, COLOR_BTNSHADOW, COLOR_3DLIGHT);
    } else {
        DrawFrame(hdc, r, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW);
        DrawFrame(hdc, RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, COLOR_3DLIGHT, COLOR_BTNSHADOW);
    }
    if (caption.empty()) return;
    RECT textRect{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
    if (pressed) {
        ++textRect.left, ++textRect.right;
        ++textRect.top, ++textRect.bottom;
    }
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(hdc, caption.c_str(), static_cast<int>(caption.size()), &textRect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetTextColor(hdc, oldColor);
    SetBkMode(hdc, oldMode);
}

void SetPressed(HWND hwnd, bool pressed) {
    UsrWindow* window = UsrFind(hwnd);
    if (window == nullptr || window->buttonPressed == pressed) return;
    window->buttonPressed = pressed;
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

bool InsideClient(HWND hwnd, LPARAM lParam) {
    UsrWindow* window = UsrFind(hwnd);
    if (window == nullptr) return false;
    const int x = static_cast<int16_t>(LOWORD(lParam));
    const int y = static_cast<int16_t>(HIWORD(lParam));
    return x >= 0 && y >= 0 && x < window->rect.right - window->rect.left && y < window->rect.bottom - window->rect.top;
}

}  // namespace

LRESULT CALLBACK UsrButtonWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    UsrWindow* window = UsrFind(hwnd);
    if (window == nullptr) return 0;
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC hdc = BeginPaint(hwnd, &paint);
            DrawButton(hwnd, hdc);
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            DrawButton(hwnd, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the face covers the whole client area
        case WM_LBUTTONDOWN:
            window->buttonTracking = true;
            SetPressed(hwnd, true);
            return 0;
        case WM_MOUSEMOVE:
            if (window->buttonTracking) SetPressed(hwnd, InsideClient(hwnd, lParam));
            return 0;
        case WM_LBUTTONUP: {
            if (!window->buttonTracking) return 0;
            window->buttonTracking = false;
            const bool inside = InsideClient(hwnd, lParam);
            SetPressed(hwnd, false);
            window = UsrFind(hwnd);
            if (inside && window != nullptr && (window->style & WS_CHILD) != 0) {
                SendMessageW(window->parent, WM_COMMAND, MAKEWPARAM(window->id, BN_CLICKED),
                             reinterpret_cast<LPARAM>(hwnd));
            }
            return 0;
        }
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
            InvalidateRect(hwnd, nullptr, FALSE);
            return result;
        }
        default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

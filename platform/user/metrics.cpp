// Screen metrics, the classic default system colours, and rectangle intersection.
#include <algorithm>

#include "platform/display/display.h"
#include "platform/win32.h"

int WINAPI GetSystemMetrics(int nIndex) {
    int32_t width = 0;
    int32_t height = 0;
    switch (nIndex) {
        case SM_CXSCREEN:
        case SM_CYSCREEN:
            DisplayGetBackend().screenSize(&width, &height);
            return nIndex == SM_CXSCREEN ? width : height;
        default: return 0;
    }
}

DWORD WINAPI GetSysColor(int nIndex) {
    switch (nIndex) {
        case COLOR_ACTIVECAPTION: return RGB(0, 0, 128);
        case COLOR_WINDOW: return RGB(255, 255, 255);
        case COLOR_WINDOWTEXT: return RGB(0, 0, 0);
        case COLOR_BTNFACE: return RGB(192, 192, 192);
        case COLOR_BTNSHADOW: return RGB(128, 128, 128);
        case COLOR_BTNTEXT: return RGB(0, 0, 0);
        case COLOR_BTNHIGHLIGHT: return RGB(255, 255, 255);
        case COLOR_3DDKSHADOW: return RGB(0, 0, 0);
        case COLOR_3DLIGHT: return RGB(223, 223, 223);
        default: return 0;
    }
}

// Rectangles that only touch, or are empty, do not intersect: the result is
// then the empty rectangle (0, 0, 0, 0).
BOOL WINAPI IntersectRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2) {
    if (lprcDst == nullptr || lprcSrc1 == nullptr || lprcSrc2 == nullptr) return FALSE;
    const RECT result{std::max(lprcSrc1->left, lprcSrc2->left), std::max(lprcSrc1->top, lprcSrc2->top),
                      std::min(lprcSrc1->right, lprcSrc2->right),
                      std::min(lprcSrc1->bottom, lprcSrc2->bottom)};
    if (result.left >= result.right || result.top >= result.bottom) {
        *lprcDst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    *lprcDst = result;
    return TRUE;
}

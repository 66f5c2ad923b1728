// Device contexts of windows. For now only the screen (no window) has one.
#include "platform/gdi/gdi_surface.h"
#include "platform/win32.h"

HDC WINAPI GetDC(HWND hWnd) {
    if (hWnd != nullptr) return nullptr;
    return GdiCreateWindowDC(nullptr, nullptr, POINT{0, 0}, nullptr);
}

int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
    if (GdiWindowOfDC(hDC) != hWnd) return 0;
    return GdiDeleteWindowDC(hDC) ? 1 : 0;
}

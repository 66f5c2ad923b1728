// Refreshing a canvas: have its invalid area painted now, in one WM_PAINT.
#include "engine/canvas/canvas.h"
#include "engine/sprite_engine.h"

void SprRefreshCanvas(HWND hwnd, int32_t invalidateAll) {
    // A hidden window keeps its invalid area for the paint after it is shown.
    if (hwnd == nullptr || !IsWindowVisible(hwnd)) return;
    if (invalidateAll == 1) InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);  // sends WM_PAINT only when something is invalid
}

void SpriteUpdateCanvas(HWND hwnd) { SprRefreshCanvas(hwnd, 0); }

void SpriteRedrawCanvas(HWND hwnd) { SprRefreshCanvas(hwnd, 1); }

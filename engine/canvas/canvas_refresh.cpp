// Refreshing a canvas: have its invalid area painted now, in one WM_PAINT.
#include "engine/sprite_engine.h"

namespace {
// A hidden window keeps its invalid area for the paint after it is shown.
bool SprRefreshable(HWND hwnd) { return hwnd != nullptr && IsWindowVisible(hwnd); }
}  // namespace

void SpriteUpdateCanvas(HWND hwnd) {
    // UpdateWindow sends WM_PAINT only when something is invalid.
    if (SprRefreshable(hwnd)) UpdateWindow(hwnd);
}

void SpriteRedrawCanvas(HWND hwnd) {
    if (!SprRefreshable(hwnd)) return;
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
}

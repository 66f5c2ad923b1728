// The canvas window procedure: paints the canvas itself and passes everything
// else on to the procedure it replaced.
#include "engine/canvas/canvas.h"

namespace {

// Forwarding rule: the replaced procedure when there is one, else the default.
LRESULT SprForwardCanvasMessage(WNDPROC previous, HWND hwnd, UINT msg, WPARAM wParam,
                                LPARAM lParam) {
    if (previous != nullptr) return CallWindowProcA(previous, hwnd, msg, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK SprCanvasWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // Read once: WM_DESTROY removes the property and still forwards through it.
    const auto previous = reinterpret_cast<WNDPROC>(
        SprGetCanvasProperty(hwnd, CanvasProperty::previousWndProc));

    switch (msg) {
    case WM_PAINT:
        if (previous == nullptr) break;
        SprPaintCanvas(hwnd, wParam, lParam, CanvasPaintMessage::paint, previous);
        return 0;

    case WM_PRINTCLIENT:
        if (previous == nullptr || (lParam & PRF_CLIENT) == 0) break;
        if ((lParam & PRF_CHECKVISIBLE) == 0 || IsWindowVisible(hwnd)) {
            SprPaintCanvas(hwnd, wParam, lParam, CanvasPaintMessage::printClient, previous);
        }
        return 0;

    case WM_ERASEBKGND:
        // The paint is about to cover the area; erasing it first would flicker.
        if (SprGetCanvasProperty(hwnd, CanvasProperty::suppressErase) ==
            reinterpret_cast<HANDLE>(1)) {
            return 0;
        }
        break;

    case WM_SIZE:
        // The snapshot no longer fits the client area; the next paint makes one.
        SprFreeCanvasBackground(hwnd);
        break;

    case WM_DESTROY:
        SprFreeCanvasBackground(hwnd);
        for (int32_t k = 1; k <= 6; ++k) {
            SprRemoveCanvasProperty(hwnd, static_cast<CanvasProperty>(k));
        }
        // Without a procedure to put back the window keeps this one, which then
        // forwards to the default handling; a null procedure would break it.
        if (previous != nullptr) {
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        }
        break;

    default:
        break;
    }
    return SprForwardCanvasMessage(previous, hwnd, msg, wParam, lParam);
}

// Painting a canvas: the window's own picture, captured once into a snapshot,
// with the canvas's sprites composed over it in the shared back buffer.
//
// The snapshot and backgroundDC live from one paint to the next (until WM_SIZE,
// SpriteResetBackground or WM_DESTROY release them), so a paint creates no bitmap
// and no memory DC; it only takes the platform's paint DC and, when the compositor
// runs, one update region, which the compositor deletes.
#include "engine/canvas/canvas.h"

#include "engine/core/engine_dib.h"
#include "engine/core/engine_state.h"
#include "engine/render/compositor.h"

namespace {

// Has the window draw its own picture into the new snapshot: through the replaced
// procedure (not SprCanvasWndProc, so the message does not come back here), or
// through the background painter when the application installed one.
void SprFillCanvasSnapshot(HWND hwnd, WNDPROC previousWndProc, HANDLE painter,
                           HDC backgroundDC, HBITMAP backgroundBitmap, const RECT& client) {
    const HGDIOBJ previousBitmap = SelectObject(backgroundDC, backgroundBitmap);
    if (painter == nullptr) {
        if (previousWndProc != nullptr) {
            CallWindowProcA(previousWndProc, hwnd, WM_PRINTCLIENT,
                            reinterpret_cast<WPARAM>(backgroundDC),
                            PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
        }
    } else {
        const auto paintBackground = reinterpret_cast<CanvasBackgroundPainter>(painter);
        paintBackground(hwnd, backgroundDC, client.right - client.left - 1,
                        client.bottom - client.top - 1);
    }
    if (previousBitmap != nullptr) SelectObject(backgroundDC, previousBitmap);
}

}  // namespace

int32_t SprCanvasHasSprites(HWND hwnd) {
    if (EngineState.engineStarted == 0) return 0;
    const int32_t last = SprLastSlot();
    for (int32_t i = 1; i <= last; ++i) {
        const SpriteRecord& sprite = EngineState.SpriteTable[i];
        if (sprite.bitmap != nullptr && sprite.canvas == hwnd) return 1;
    }
    return 0;
}

void SprPaintCanvas(HWND hwnd, WPARAM wParam, LPARAM lParam, CanvasPaintMessage message,
                    WNDPROC previousWndProc) {
    if (!IsWindow(hwnd)) return;
    const bool answerPaint = message == CanvasPaintMessage::paint;
    const auto printDC = reinterpret_cast<HDC>(wParam);
    if (!answerPaint && printDC == nullptr) return;

    RECT client{};
    GetClientRect(hwnd, &client);
    const HANDLE painter = SprGetCanvasProperty(hwnd, CanvasProperty::backgroundPainter);

    // The snapshot and its DC are made on the first paint and after a release.
    auto backgroundDC = static_cast<HDC>(SprGetCanvasProperty(hwnd, CanvasProperty::backgroundDC));
    auto backgroundBitmap =
        static_cast<HBITMAP>(SprGetCanvasProperty(hwnd, CanvasProperty::backgroundBitmap));
    bool newSnapshot = false;
    if (backgroundDC == nullptr || backgroundBitmap == nullptr) {
        const HDC windowDC = GetDC(hwnd);
        if (backgroundDC == nullptr) {
            backgroundDC = CreateCompatibleDC(windowDC);
            SprSetCanvasProperty(hwnd, CanvasProperty::backgroundDC, backgroundDC);
        }
        if (backgroundBitmap == nullptr) {
            BYTE* bits = nullptr;
            backgroundBitmap = SprCreateDIB(windowDC, 32, client.right - client.left,
                                            client.bottom - client.top, bits);
            if (backgroundBitmap != nullptr) {
                SprSetCanvasProperty(hwnd, CanvasProperty::backgroundBitmap, backgroundBitmap);
                SprSetCanvasProperty(hwnd, CanvasProperty::backgroundBits, bits);
                newSnapshot = true;
            }
        }
        if (windowDC != nullptr) ReleaseDC(hwnd, windowDC);
    }
    // Without a snapshot (an empty client area, or no memory for one) the window
    // paints itself as if it were not a canvas; the next paint tries again.
    if (backgroundDC == nullptr || backgroundBitmap == nullptr) {
        if (previousWndProc != nullptr) {
            CallWindowProcA(previousWndProc, hwnd, answerPaint ? WM_PAINT : WM_PRINTCLIENT,
                            wParam, lParam);
        }
        return;
    }

    const bool hasSprites = SprCanvasHasSprites(hwnd) == 1;
    PAINTSTRUCT ps{};
    HDC target = printDC;
    RECT area = client;
    HRGN updateRegion = nullptr;
    if (answerPaint) {
        if (hasSprites) {
            // Taken before BeginPaint validates it: the compositor clips its
            // background copy to it.
            updateRegion = CreateRectRgn(0, 0, 0, 0);
            if (updateRegion != nullptr) GetUpdateRgn(hwnd, updateRegion, FALSE);
        }
        SprSetCanvasProperty(hwnd, CanvasProperty::suppressErase, reinterpret_cast<HANDLE>(1));
        target = BeginPaint(hwnd, &ps);
        SprSetCanvasProperty(hwnd, CanvasProperty::suppressErase, nullptr);
        area = ps.rcPaint;
    }

    if (newSnapshot) {
        SprFillCanvasSnapshot(hwnd, previousWndProc, painter, backgroundDC, backgroundBitmap,
                              client);
    }

    if (target != nullptr) {
        const int32_t width = area.right - area.left;
        const int32_t height = area.bottom - area.top;
        HBITMAP shown = backgroundBitmap;
        if (hasSprites) {
            shown = SprComposeCanvas(hwnd, backgroundBitmap, backgroundDC, area.left, area.top,
                                     width, height, target, updateRegion);
            updateRegion = nullptr;  // the compositor deleted it
        }
        // With WM_PAINT the target is clipped to the update region, so pixels of the
        // paint rectangle that the compositor did not refresh never reach the screen.
        const HGDIOBJ previousBitmap = SelectObject(backgroundDC, shown);
        BitBlt(target, area.left, area.top, width, height, backgroundDC, area.left, area.top,
               SRCCOPY);
        if (answerPaint) EndPaint(hwnd, &ps);
        if (previousBitmap != nullptr) SelectObject(backgroundDC, previousBitmap);
    } else if (answerPaint) {
        EndPaint(hwnd, &ps);
    }
    if (updateRegion != nullptr) DeleteObject(updateRegion);
}

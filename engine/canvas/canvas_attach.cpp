// Attaching a window as a canvas, its six properties, and releasing its snapshot.
//
// A window is a canvas exactly while its window procedure is SprCanvasWndProc.
// Its state lives in the window itself (no list of canvases is kept):
// previousWndProc is never SprCanvasWndProc, so forwarding cannot loop, and
// outside a paint the snapshot is not selected into backgroundDC, so either of
// the two may be deleted first.
#include "engine/canvas/canvas.h"

#include "engine/core/engine_state.h"
#include "engine/sprite_engine.h"

namespace {

// The property name of a canvas property: its atom passed in place of a string.
// nullptr when the atom is 0 (never added), so that no call is made with it.
// This is MAKEINTATOM written out for the ANSI calls: the macro's type follows
// UNICODE.
LPCSTR SprCanvasPropertyName(CanvasProperty property) {
    const auto k = static_cast<int32_t>(property);
    if (k < 1 || k > 6) return nullptr;
    const ATOM atom = EngineState.canvasAtoms[k];
    return atom != 0 ? reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(atom)) : nullptr;
}

}  // namespace

HANDLE SprGetCanvasProperty(HWND hwnd, CanvasProperty property) {
    const LPCSTR name = SprCanvasPropertyName(property);
    return name != nullptr ? GetPropA(hwnd, name) : nullptr;
}

void SprSetCanvasProperty(HWND hwnd, CanvasProperty property, HANDLE value) {
    const LPCSTR name = SprCanvasPropertyName(property);
    if (name != nullptr) SetPropA(hwnd, name, value);
}

void SprRemoveCanvasProperty(HWND hwnd, CanvasProperty property) {
    const LPCSTR name = SprCanvasPropertyName(property);
    if (name != nullptr) RemovePropA(hwnd, name);
}

int32_t SprIsCanvas(HWND hwnd) {
    const auto current = GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
    return current == reinterpret_cast<LONG_PTR>(&SprCanvasWndProc) ? 1 : 0;
}

void SpriteAttachCanvas(HWND hwnd) {
    if (EngineState.engineStarted != 1 || !IsWindow(hwnd) || SprIsCanvas(hwnd) != 0) return;
    // A canvas that was subclassed again after it was attached still carries its
    // properties; attaching it a second time would store a procedure that forwards
    // back into SprCanvasWndProc, and every message would loop.
    if (SprGetCanvasProperty(hwnd, CanvasProperty::previousWndProc) != nullptr) return;

    const LONG_PTR previous =
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SprCanvasWndProc));
    SprSetCanvasProperty(hwnd, CanvasProperty::previousWndProc,
                         reinterpret_cast<HANDLE>(previous));
    SprSetCanvasProperty(hwnd, CanvasProperty::suppressErase, nullptr);
    SprSetCanvasProperty(hwnd, CanvasProperty::backgroundBitmap, nullptr);
    SprSetCanvasProperty(hwnd, CanvasProperty::backgroundDC, nullptr);
    SprSetCanvasProperty(hwnd, CanvasProperty::backgroundPainter, nullptr);
    SprSetCanvasProperty(hwnd, CanvasProperty::backgroundBits, nullptr);
}

void SprFreeCanvasBackground(HWND hwnd) {
    const auto bitmap = SprGetCanvasProperty(hwnd, CanvasProperty::backgroundBitmap);
    const auto dc = static_cast<HDC>(SprGetCanvasProperty(hwnd, CanvasProperty::backgroundDC));
    if (bitmap != nullptr) DeleteObject(bitmap);
    if (dc != nullptr) DeleteDC(dc);
    SprSetCanvasProperty(hwnd, CanvasProperty::backgroundBitmap, nullptr);
    SprSetCanvasProperty(hwnd, CanvasProperty::backgroundDC, nullptr);
}

void SpriteResetBackground(HWND hwnd) {
    if (hwnd == nullptr || !IsWindowVisible(hwnd) || SprIsCanvas(hwnd) != 1) return;
    SprFreeCanvasBackground(hwnd);
    // The paint finds no snapshot and has the window print its new picture.
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
}

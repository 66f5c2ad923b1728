// Canvas windows for the extreme-input tests and the fuzz targets: a visible dialog
// holding two owner-drawn statics attached as canvases and a third left plain. The
// dialog paints each static's picture in a solid colour (TestCanvasColour of its
// id) when asked (WM_DRAWITEM), which is also how the engine captures a canvas
// background (WM_PRINTCLIENT). The engine must be started before they are opened.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/sprite_engine.h"
#include "engine/test_dialog_template.h"
#include "platform/win32.h"

struct TestCanvasWindows {
    HWND dialog = nullptr;
    HWND canvas = nullptr;  // attached
    HWND second = nullptr;  // attached
    HWND plain = nullptr;   // never attached
};

inline constexpr int kTestCanvasId = 100;
inline constexpr int kTestSecondId = 101;
inline constexpr int kTestPlainId = 102;

inline COLORREF TestCanvasColour(UINT id) { return RGB(0x30, 0x60, 0x90 + id); }

inline INT_PTR CALLBACK TestCanvasDialogProc(HWND, UINT msg, WPARAM, LPARAM lParam) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        HBRUSH brush = CreateSolidBrush(TestCanvasColour(item->CtlID));
        FillRect(item->hDC, &item->rcItem, brush);
        DeleteObject(brush);
        return TRUE;
    }
    return FALSE;
}

inline HWND TestOwnerDrawnStatic(HWND dialog, int id, int x, int y, int width, int height) {
    return CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, x, y, width,
                           height, dialog, reinterpret_cast<HMENU>(static_cast<intptr_t>(id)),
                           nullptr, nullptr);
}

// Opens the dialog (small: fuzz targets open one per input) and attaches the two
// canvases: `canvas` 120 x 90 pixels, `second` 100 x 60.
inline TestCanvasWindows TestOpenCanvasWindows() {
    TestCanvasWindows w;
    const std::vector<WORD> tmpl = TestDialogTemplate("Canvases", 120, 50);
    w.dialog = CreateDialogIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(tmpl.data()),
                                          nullptr, &TestCanvasDialogProc, 0);
    if (w.dialog == nullptr) return w;
    w.canvas = TestOwnerDrawnStatic(w.dialog, kTestCanvasId, 0, 0, 120, 90);
    w.second = TestOwnerDrawnStatic(w.dialog, kTestSecondId, 125, 0, 100, 60);
    w.plain = TestOwnerDrawnStatic(w.dialog, kTestPlainId, 125, 65, 50, 30);
    ShowWindow(w.dialog, SW_SHOW);
    SpriteAttachCanvas(w.canvas);
    SpriteAttachCanvas(w.second);
    return w;
}

inline void TestCloseCanvasWindows(TestCanvasWindows& w) {
    if (w.dialog != nullptr && IsWindow(w.dialog)) DestroyWindow(w.dialog);
    w = TestCanvasWindows{};
}

// Canvas windows for the extreme-input tests and the fuzz targets: a visible dialog
// holding two owner-drawn statics attached as canvases and a third left plain. The
// dialog paints each static's picture in a solid colour (TestCanvasColour of its
// id) when asked (WM_DRAWITEM), which is also how the engine captures a canvas
// background (WM_PRINTCLIENT). The engine must be started before they are opened.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/sprite_engine.h"
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

// An extended in-memory dialog template with no items, "SYSTEM" 10 pt.
inline std::vector<WORD> TestDialogTemplate(short cx, short cy) {
    std::vector<WORD> t;
    auto dword = [&t](DWORD v) {
        t.push_back(LOWORD(v));
        t.push_back(HIWORD(v));
    };
    auto text = [&t](const char* s) {
        do t.push_back(static_cast<WORD>(static_cast<unsigned char>(*s))); while (*s++ != 0);
    };
    t.push_back(1);       // dlgVer
    t.push_back(0xFFFF);  // signature: extended template
    dword(0);             // helpID
    dword(0);             // exStyle
    dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_SETFONT);
    t.push_back(0);  // no items
    t.push_back(0);
    t.push_back(0);
    t.push_back(static_cast<WORD>(cx));
    t.push_back(static_cast<WORD>(cy));
    t.push_back(0);  // no menu
    t.push_back(0);  // default class
    text("Canvases");
    t.push_back(10);   // point size
    t.push_back(400);  // weight
    t.push_back(0);    // italic, charset
    text("SYSTEM");
    return t;
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
    const std::vector<WORD> tmpl = TestDialogTemplate(120, 50);
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

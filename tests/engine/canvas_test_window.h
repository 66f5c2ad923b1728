// Test fixture for the canvas tests: the started engine of EngineTest and a visible
// dialog whose owner-drawn static is the canvas. The dialog draws the static's
// picture (left half one colour, right half another) on WM_DRAWITEM. Two spy procedures watch
// the canvas: the inner one is installed before attaching, so it becomes the
// canvas's previousWndProc and sees what the engine passes on; the outer one can
// be installed over SprCanvasWndProc to see what reaches the window.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/canvas/canvas.h"
#include "engine/test_dialog_template.h"
#include "engine_fixture.h"
#include "support/dib_support.h"

namespace canvas_test {

constexpr int kCanvasLeft = 8;
constexpr int kCanvasTop = 8;
constexpr int kCanvasWidth = 64;
constexpr int kCanvasHeight = 48;
constexpr int kCanvasId = 100;

// Pixel values as they lie in 32-bit bitmaps: 0x00RRGGBB.
constexpr uint32_t Pixel(COLORREF color) {
    return (static_cast<uint32_t>(GetRValue(color)) << 16) |
           (static_cast<uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
}

struct WatchState {
    COLORREF pictureLeft = RGB(0x20, 0x40, 0x60);
    COLORREF pictureRight = RGB(0xA0, 0xB0, 0xC0);

    WNDPROC staticProc = nullptr;  // the static's own procedure
    int32_t innerPrintClients = 0; // WM_PRINTCLIENT reaching the replaced procedure
    LPARAM innerPrintFlags = 0;    // lParam of the last one
    int32_t innerErases = 0;
    int32_t innerSizes = 0;
    int32_t innerUser = 0;         // WM_USER
    int32_t innerDestroys = 0;
    int32_t canvasAtDestroy = -1;  // SprIsCanvas when WM_DESTROY reached the inner spy
    int32_t propertiesAtDestroy = -1;  // how many of the six properties were left then

    int32_t outerPaints = 0;       // WM_PAINT reaching the window
    int32_t outerErases = 0;
    RECT outerUpdateRect{};        // the update rectangle when WM_PAINT arrived
};
inline WatchState Watch;

inline void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    const HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

inline INT_PTR CALLBACK TestDialogProc(HWND, UINT msg, WPARAM, LPARAM lParam) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const RECT& r = item->rcItem;
        const LONG middle = r.left + (r.right - r.left) / 2;
        FillSolid(item->hDC, RECT{r.left, r.top, middle, r.bottom}, Watch.pictureLeft);
        FillSolid(item->hDC, RECT{middle, r.top, r.right, r.bottom}, Watch.pictureRight);
        return TRUE;
    }
    return FALSE;
}

inline LRESULT CALLBACK InnerSpyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PRINTCLIENT:
        ++Watch.innerPrintClients;
        Watch.innerPrintFlags = lParam;
        break;
    case WM_ERASEBKGND: ++Watch.innerErases; break;
    case WM_SIZE: ++Watch.innerSizes; break;
    case WM_USER: ++Watch.innerUser; return 0;
    case WM_DESTROY:
        ++Watch.innerDestroys;
        Watch.canvasAtDestroy = SprIsCanvas(hwnd);
        Watch.propertiesAtDestroy = 0;
        for (int k = 1; k <= 6; ++k) {
            // A removed property reads 0; tests make sure the values were non-zero.
            if (GetPropA(hwnd, MAKEINTATOM(EngineState.canvasAtoms[k])) != nullptr) {
                ++Watch.propertiesAtDestroy;
            }
        }
        break;
    default: break;
    }
    return CallWindowProcA(Watch.staticProc, hwnd, msg, wParam, lParam);
}

inline LRESULT CALLBACK OuterSpyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        ++Watch.outerPaints;
        GetUpdateRect(hwnd, &Watch.outerUpdateRect, FALSE);
    }
    if (msg == WM_ERASEBKGND) ++Watch.outerErases;
    return CallWindowProcA(&SprCanvasWndProc, hwnd, msg, wParam, lParam);
}

// A one-frame sprite of a solid colour on `canvas`, shown or hidden.
inline void PutSprite(int32_t slot, HWND canvas, int32_t x, int32_t y, int32_t width,
                      int32_t height, uint32_t pixel, int32_t visible) {
    const char name[] = {'S', static_cast<char>('0' + slot), 0};
    ASSERT_EQ(TestPutSprite(slot, name, width, height, 1, pixel, canvas, x, y), slot);
    EngineState.SpriteTable[slot].visible = visible;
}

// The pixels of a 32-bit DIB section that a test can point a DC at.
using Surface = TestDibSurface;

// What the window shows in its client area, as pixel values.
inline std::vector<uint32_t> ReadClient(HWND hwnd, int32_t& width, int32_t& height) {
    RECT client{};
    GetClientRect(hwnd, &client);
    width = client.right;
    height = client.bottom;
    std::vector<uint32_t> shown(static_cast<size_t>(width) * height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) shown[y * width + x] = Pixel(PlatformWindowPixel(hwnd, x, y));
    }
    return shown;
}

class CanvasWindowTest : public EngineTest {
protected:
    void SetUp() override {
        Watch = WatchState{};
        EngineTest::SetUp();
        const std::vector<WORD> tmpl = TestDialogTemplate("Canvas test", 100, 60);
        dialog = CreateDialogIndirectParamW(nullptr,
                                            reinterpret_cast<LPCDLGTEMPLATEW>(tmpl.data()),
                                            nullptr, &TestDialogProc, 0);
        ASSERT_NE(dialog, nullptr);
        canvas = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW,
                                 kCanvasLeft, kCanvasTop, kCanvasWidth, kCanvasHeight, dialog,
                                 reinterpret_cast<HMENU>(static_cast<intptr_t>(kCanvasId)),
                                 nullptr, nullptr);
        ASSERT_NE(canvas, nullptr);
        ShowWindow(dialog, SW_SHOW);
        Watch.staticProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(canvas, GWLP_WNDPROC));
        SetWindowLongPtrA(canvas, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&InnerSpyProc));
    }

    void TearDown() override {
        if (IsWindow(dialog)) DestroyWindow(dialog);
        EngineTest::TearDown();
    }

    // Attaches the canvas and paints it once, so that every test starts from a
    // canvas with a snapshot and nothing invalid.
    void AttachAndPaint() {
        SpriteAttachCanvas(canvas);
        ASSERT_EQ(SprIsCanvas(canvas), 1);
        SpriteRedrawCanvas(canvas);
    }

    void InstallOuterSpy() {
        SetWindowLongPtrA(canvas, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OuterSpyProc));
    }

    HANDLE Property(CanvasProperty k) const {
        return GetPropA(canvas, MAKEINTATOM(EngineState.canvasAtoms[static_cast<int>(k)]));
    }

    uint32_t PictureAt(int32_t x, int32_t width) const {
        return Pixel(x < width / 2 ? Watch.pictureLeft : Watch.pictureRight);
    }

    // Every pixel of the client area that `expected` gives; reports the first miss.
    template <typename Expected>
    void ExpectClient(Expected expected) {
        int32_t width = 0;
        int32_t height = 0;
        const std::vector<uint32_t> shown = ReadClient(canvas, width, height);
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                const uint32_t want = expected(x, y, width);
                if (shown[y * width + x] != want) {
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex
                                  << shown[y * width + x] << ", expected " << want;
                    return;
                }
            }
        }
    }

    void ExpectPicture() {
        ExpectClient([this](int32_t x, int32_t, int32_t width) { return PictureAt(x, width); });
    }

    HWND dialog = nullptr;
    HWND canvas = nullptr;
};

}  // namespace canvas_test

// Helpers of the sprite management and collision tests: source bitmaps with known
// pixels, records read by name, and a window with two canvases.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string_view>

#include "engine/canvas/canvas.h"
#include "engine/core/engine_state.h"
#include "engine/core/sprite_names.h"
#include "engine/sprite_engine.h"
#include "engine_fixture.h"
#include "platform/win32.h"
#include "support/dib_support.h"

// A 32-bit top-down bitmap of width x height whose pixel (x, y) is pixel(x, y)
// (0x00RRGGBB). The caller deletes it.
inline HBITMAP TestMakeBitmap(int32_t width, int32_t height,
                              const std::function<uint32_t(int32_t, int32_t)>& pixel) {
    return TestMakePicture(width, height, pixel);
}

inline HBITMAP TestMakeBitmap(int32_t width, int32_t height, uint32_t fill) {
    return TestMakeBitmap(width, height, [fill](int32_t, int32_t) { return fill; });
}

// The record of the live sprite of that name; slot 0 (all zero) when there is none.
inline const SpriteRecord& TestRecord(std::string_view name) {
    return EngineState.SpriteTable[SprFindSprite(name)];
}

// Number of live slots.
inline int32_t TestLiveSprites() {
    int32_t count = 0;
    for (int32_t i = 1; i <= SprLastSlot(); ++i) count += EngineState.SpriteTable[i].nameKey != 0;
    return count;
}

// A visible top-level window holding two attached canvases side by side: canvas
// at (0, 0) and canvas2 at (150, 0), each 100 x 80, with nothing invalid. The
// windows are destroyed before the engine shuts down.
class TwoCanvasesTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        top = CreateWindowExW(0, L"#32770", L"Canvas test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                              300, 120, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(top, nullptr);
        canvas = MakeCanvas(0, 110);
        canvas2 = MakeCanvas(150, 111);
        ASSERT_EQ(SprIsCanvas(canvas), 1);
        ASSERT_EQ(SprIsCanvas(canvas2), 1);
        Validate();
    }
    void TearDown() override {
        if (IsWindow(top)) DestroyWindow(top);
        EngineTest::TearDown();
    }
    HWND MakeCanvas(int32_t x, int32_t id) {
        const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_OWNERDRAW | SS_NOTIFY;
        HWND hwnd = CreateWindowExW(0, L"STATIC", L"", style, x, 0, 100, 80, top,
                                    reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
        SpriteAttachCanvas(hwnd);
        return hwnd;
    }
    // Leaves nothing invalid on either canvas.
    void Validate() {
        ValidateRect(canvas, nullptr);
        ValidateRect(canvas2, nullptr);
    }
    HWND top = nullptr;
    HWND canvas = nullptr;
    HWND canvas2 = nullptr;
};

// Whether the window's update region is exactly the union of the rectangles.
inline testing::AssertionResult UpdateRegionIs(HWND hwnd, std::initializer_list<RECT> rects) {
    HRGN actual = CreateRectRgn(0, 0, 0, 0);
    HRGN expected = CreateRectRgn(0, 0, 0, 0);
    HRGN difference = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(hwnd, actual, FALSE);
    for (const RECT& r : rects) {
        HRGN part = CreateRectRgn(r.left, r.top, r.right, r.bottom);
        CombineRgn(expected, expected, part, RGN_OR);
        DeleteObject(part);
    }
    const int kind = CombineRgn(difference, actual, expected, RGN_XOR);
    RECT box{};
    GetRgnBox(actual, &box);
    DeleteObject(actual);
    DeleteObject(expected);
    DeleteObject(difference);
    if (kind == NULLREGION) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "update region differs; its bounding box is (" << box.left << ", "
                                       << box.top << ", " << box.right << ", " << box.bottom << ")";
}

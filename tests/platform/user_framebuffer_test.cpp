// What the desktop shows of a top-level window, whether the window system draws
// straight into the desktop window's framebuffer or presents by copying: after
// painting, resizing, the desktop remaking its pixels, hiding and showing again,
// and with a DC held while the framebuffer is remade.
#include "user_test_helpers.h"

namespace {

constexpr COLORREF kPalette[3] = {RGB(200, 30, 40), RGB(20, 160, 90), RGB(40, 70, 220)};
constexpr COLORREF kMarker = RGB(250, 250, 10);

// Cells of 7 x 5 pixels in three colours: a row read at a wrong stride or offset
// lands on the wrong colours.
COLORREF Pattern(int32_t x, int32_t y) { return kPalette[(x / 7 + y / 5) % 3]; }

void Fill(HDC hdc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(hdc, &rect, brush);
    DeleteObject(brush);
}

int paints = 0;

LRESULT CALLBACK PatternProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;
    if (message != WM_PAINT) return DefWindowProcW(hwnd, message, wParam, lParam);
    ++paints;
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(hwnd, &paint);
    RECT client;
    GetClientRect(hwnd, &client);
    for (int32_t y = 0; y < client.bottom; y += 5) {
        for (int32_t x = 0; x < client.right; x += 7) Fill(hdc, RECT{x, y, x + 7, y + 5}, Pattern(x, y));
    }
    EndPaint(hwnd, &paint);
    return 0;
}

struct Mode {
    const char* name;
    bool framebuffers;  // the desktop offers its framebuffer
};

void PrintTo(const Mode& mode, std::ostream* out) { *out << mode.name; }

class UserFramebuffer : public WindowTest, public ::testing::WithParamInterface<Mode> {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        PlatformOfferFramebuffers(GetParam().framebuffers);
        paints = 0;
        gdiObjects = PlatformLiveGdiObjects().Total();
    }
    void TearDown() override {
        WindowTest::TearDown();
        PlatformOfferFramebuffers(true);
        EXPECT_EQ(PlatformLiveGdiObjects().Total(), gdiObjects);
    }
    HWND MakePatternWindow(int32_t width, int32_t height) {
        HWND hwnd = MakeTopLevel(width, height);
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PatternProc));
        InvalidateRect(hwnd, nullptr, TRUE);
        PlatformPumpMessages();
        return hwnd;
    }
    // Pixels where the window's surface or the desktop differ from the pattern
    // (the marker rectangle aside); every pixel is checked.
    static int32_t Mismatches(HWND hwnd, const RECT& marker = RECT{0, 0, 0, 0}) {
        RECT client;
        GetClientRect(hwnd, &client);
        int32_t wrong = 0;
        for (int32_t y = 0; y < client.bottom; ++y) {
            for (int32_t x = 0; x < client.right; ++x) {
                const bool marked = x >= marker.left && x < marker.right && y >= marker.top && y < marker.bottom;
                const COLORREF expected = marked ? kMarker : Pattern(x, y);
                wrong += PlatformWindowPixel(hwnd, x, y) != expected ? 1 : 0;
                wrong += PlatformDesktopPixel(hwnd, x, y) != expected ? 1 : 0;
            }
        }
        return wrong;
    }
    int32_t gdiObjects = 0;
};

TEST_P(UserFramebuffer, DesktopShowsThePaintAndWhatADCDraws) {
    HWND hwnd = MakePatternWindow(90, 60);
    EXPECT_EQ(Mismatches(hwnd), 0);

    // Drawn in place, a DC's drawing is on the desktop at once; copied, only
    // when the DC is released.
    HDC hdc = GetDC(hwnd);
    const RECT marker{10, 20, 30, 25};
    Fill(hdc, marker, kMarker);
    EXPECT_EQ(PlatformDesktopPixel(hwnd, 10, 20) == kMarker, GetParam().framebuffers);
    ReleaseDC(hwnd, hdc);
    EXPECT_EQ(Mismatches(hwnd, marker), 0);
}

TEST_P(UserFramebuffer, ResizingKeepsThePictureAndPaintsTheNewPart) {
    HWND hwnd = MakePatternWindow(90, 60);
    for (const POINT size : {POINT{161, 123}, POINT{40, 30}, POINT{97, 211}}) {
        ASSERT_TRUE(PlatformResizeWindow(hwnd, size.x, size.y));
        PlatformPumpMessages();
        EXPECT_EQ(Mismatches(hwnd), 0) << size.x << " x " << size.y;
    }
}

TEST_P(UserFramebuffer, PixelsLostByTheDesktopAreDrawnAgain) {
    HWND hwnd = MakePatternWindow(90, 60);
    paints = 0;
    PlatformLoseFramebuffer(hwnd);
    // A small change is the first to reach the desktop after the loss.
    const RECT small{0, 0, 3, 3};
    InvalidateRect(hwnd, &small, FALSE);
    PlatformPumpMessages();
    EXPECT_EQ(Mismatches(hwnd), 0);
    // Only drawing into the framebuffer loses what the window showed.
    EXPECT_EQ(paints, GetParam().framebuffers ? 2 : 1);
}

TEST_P(UserFramebuffer, ADCHeldWhileTheFramebufferIsRemadeDrawsIntoTheNewOne) {
    HWND hwnd = MakePatternWindow(90, 60);
    HDC held = GetDC(hwnd);
    PlatformLoseFramebuffer(hwnd);
    // Another DC's release presents, which finds the framebuffer remade.
    HDC other = GetDC(hwnd);
    Fill(other, RECT{0, 0, 2, 2}, Pattern(0, 0));
    ReleaseDC(hwnd, other);
    const RECT marker{40, 30, 60, 41};
    Fill(held, marker, kMarker);
    ReleaseDC(hwnd, held);
    PlatformPumpMessages();
    // The repaint covers the marker where the framebuffer was remade.
    EXPECT_EQ(Mismatches(hwnd, GetParam().framebuffers ? RECT{0, 0, 0, 0} : marker), 0);
}

TEST_P(UserFramebuffer, HidingKeepsThePictureInTheWindow) {
    HWND hwnd = MakePatternWindow(90, 60);
    ShowWindow(hwnd, SW_HIDE);
    EXPECT_FALSE(PlatformHasDesktopWindow(hwnd));
    int32_t wrong = 0;
    for (int32_t y = 0; y < 60; ++y) {
        for (int32_t x = 0; x < 90; ++x) wrong += PlatformWindowPixel(hwnd, x, y) != Pattern(x, y) ? 1 : 0;
    }
    EXPECT_EQ(wrong, 0);
    ShowWindow(hwnd, SW_SHOW);
    PlatformPumpMessages();
    EXPECT_EQ(Mismatches(hwnd), 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, UserFramebuffer,
                         ::testing::Values(Mode{"DrawnInPlace", true}, Mode{"Copied", false}),
                         [](const ::testing::TestParamInfo<Mode>& info) { return info.param.name; });

}  // namespace

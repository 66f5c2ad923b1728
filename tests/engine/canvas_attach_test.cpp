// Attaching a canvas, its window procedure's message table, and its release.
#include "canvas_test_window.h"
#include "support/gdi_counts.h"

namespace canvas_test {
namespace {

int32_t TestPainter(HWND, HDC, int32_t, int32_t) { return 0; }

TEST_F(CanvasWindowTest, AttachTwiceKeepsThePreviousProcedure) {
    SpriteAttachCanvas(canvas);
    ASSERT_EQ(SprIsCanvas(canvas), 1);
    EXPECT_EQ(Property(CanvasProperty::previousWndProc), reinterpret_cast<HANDLE>(&InnerSpyProc));

    SpriteAttachCanvas(canvas);
    EXPECT_EQ(Property(CanvasProperty::previousWndProc), reinterpret_cast<HANDLE>(&InnerSpyProc));
    EXPECT_EQ(GetWindowLongPtrA(canvas, GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(&SprCanvasWndProc));
    // Other messages pass to the replaced procedure exactly once.
    SendMessageW(canvas, WM_USER, 0, 0);
    EXPECT_EQ(Watch.innerUser, 1);
}

// Regression: a canvas subclassed again by the application is no longer "a canvas"
// by its procedure; attaching it again must not store a procedure that forwards
// back into SprCanvasWndProc, or every message would loop forever.
TEST_F(CanvasWindowTest, AttachOverALaterSubclassIsRefused) {
    SpriteAttachCanvas(canvas);
    InstallOuterSpy();
    ASSERT_EQ(SprIsCanvas(canvas), 0);

    SpriteAttachCanvas(canvas);
    EXPECT_EQ(GetWindowLongPtrA(canvas, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&OuterSpyProc));
    EXPECT_EQ(Property(CanvasProperty::previousWndProc), reinterpret_cast<HANDLE>(&InnerSpyProc));
    SendMessageW(canvas, WM_USER, 0, 0);
    EXPECT_EQ(Watch.innerUser, 1);
}

TEST_F(CanvasWindowTest, AttachIsRefusedForNonWindowsAndBeforeTheStart) {
    const HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_OWNERDRAW, 0, 0, 10, 10,
                                      dialog, nullptr, nullptr, nullptr);
    ASSERT_NE(gone, nullptr);
    DestroyWindow(gone);
    const GdiObjectCounts before = PlatformLiveGdiObjects();
    SpriteAttachCanvas(nullptr);
    SpriteAttachCanvas(gone);
    EXPECT_EQ(SprIsCanvas(gone), 0);

    SpriteEngineShutdown();
    SpriteEngineInit();  // initialised, not started
    SpriteAttachCanvas(canvas);
    EXPECT_EQ(SprIsCanvas(canvas), 0);
    EXPECT_EQ(GetWindowLongPtrA(canvas, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&InnerSpyProc));
    SpriteEngineStart(10, -1, -1);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), before.Total());
}

struct PrintCase {
    const char* name;
    LPARAM flags;
    bool hidden;
    bool printed;    // the engine drew the canvas into the DC
    bool forwarded;  // the message reached the replaced procedure
};

class CanvasPrintTest : public CanvasWindowTest, public ::testing::WithParamInterface<PrintCase> {};

TEST_P(CanvasPrintTest, PrintClientFlags) {
    const PrintCase& c = GetParam();
    AttachAndPaint();
    if (c.hidden) ShowWindow(canvas, SW_HIDE);
    const RECT pending{1, 1, 5, 5};
    InvalidateRect(canvas, &pending, FALSE);
    Watch.innerPrintClients = 0;

    const uint32_t sentinel = 0x00123456;
    Surface target(kCanvasWidth, kCanvasHeight, sentinel);
    const LRESULT result = SendMessageW(canvas, WM_PRINTCLIENT,
                                        reinterpret_cast<WPARAM>(target.dc), c.flags);

    EXPECT_EQ(Watch.innerPrintClients, c.forwarded ? 1 : 0);
    if (c.forwarded) {
        EXPECT_EQ(Watch.innerPrintFlags, c.flags);
    } else {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(target.At(0, 0), c.printed ? PictureAt(0, kCanvasWidth) : sentinel);
        EXPECT_EQ(target.At(kCanvasWidth - 1, kCanvasHeight - 1),
                  c.printed ? PictureAt(kCanvasWidth - 1, kCanvasWidth) : sentinel);
    }
    // Printing neither validates nor paints: the invalid area stays pending (a
    // hidden window gathers none).
    RECT stillPending{};
    EXPECT_EQ(GetUpdateRect(canvas, &stillPending, FALSE), c.hidden ? FALSE : TRUE);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, CanvasPrintTest,
    ::testing::Values(
        PrintCase{"CheckVisibleOnHidden", PRF_CLIENT | PRF_CHECKVISIBLE, true, false, false},
        PrintCase{"CheckVisibleOnVisible", PRF_CLIENT | PRF_CHECKVISIBLE, false, true, false},
        PrintCase{"ClientOnHidden", PRF_CLIENT, true, true, false},
        PrintCase{"NonClientAlone", PRF_NONCLIENT, false, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CanvasWindowTest, EraseIsSuppressedOnlyInsideThePaint) {
    AttachAndPaint();
    InstallOuterSpy();
    Watch.innerErases = 0;
    Watch.outerErases = 0;

    SpriteRedrawCanvas(canvas);  // invalidates with erasing
    EXPECT_EQ(Watch.outerPaints, 1);
    EXPECT_EQ(Watch.outerErases, 1);  // BeginPaint asked...
    EXPECT_EQ(Watch.innerErases, 0);  // ...and the window's own procedure never heard
    EXPECT_EQ(Property(CanvasProperty::suppressErase), nullptr);
    ExpectPicture();

    const HDC dc = GetDC(canvas);
    SendMessageW(canvas, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(canvas, dc);
    EXPECT_EQ(Watch.innerErases, 1);
}

TEST_F(CanvasWindowTest, ResizingReleasesTheSnapshot) {
    AttachAndPaint();
    BITMAP info{};
    ASSERT_NE(Property(CanvasProperty::backgroundBitmap), nullptr);
    GetObjectA(Property(CanvasProperty::backgroundBitmap), sizeof info, &info);
    EXPECT_EQ(info.bmWidth, kCanvasWidth);
    EXPECT_EQ(info.bmHeight, kCanvasHeight);
    const int32_t printsBefore = Watch.innerPrintClients;

    MoveWindow(canvas, kCanvasLeft, kCanvasTop, 96, 40, FALSE);
    EXPECT_EQ(Watch.innerSizes, 1);  // passed on after the release
    EXPECT_EQ(Property(CanvasProperty::backgroundBitmap), nullptr);
    EXPECT_EQ(Property(CanvasProperty::backgroundDC), nullptr);

    SpriteRedrawCanvas(canvas);
    const HANDLE snapshot = Property(CanvasProperty::backgroundBitmap);
    ASSERT_NE(snapshot, nullptr);
    GetObjectA(snapshot, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 96);
    EXPECT_EQ(info.bmHeight, 40);
    EXPECT_EQ(Property(CanvasProperty::backgroundBits), info.bmBits);
    EXPECT_EQ(Watch.innerPrintClients, printsBefore + 1);
    EXPECT_EQ(Watch.innerPrintFlags, PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    ExpectPicture();
}

TEST_F(CanvasWindowTest, DestroyEndsTheCanvasAndFreesEverything) {
    const GdiObjectCounts before = PlatformLiveGdiObjects();
    AttachAndPaint();
    // Make five of the six properties non-zero, so that "gone" is observable.
    SetPropA(canvas, MAKEINTATOM(EngineState.canvasAtoms[5]),
             reinterpret_cast<HANDLE>(&TestPainter));
    ASSERT_NE(Property(CanvasProperty::backgroundBitmap), nullptr);
    ASSERT_NE(Property(CanvasProperty::backgroundDC), nullptr);
    ASSERT_NE(Property(CanvasProperty::backgroundBits), nullptr);

    DestroyWindow(canvas);
    EXPECT_EQ(Watch.innerDestroys, 1);
    EXPECT_EQ(Watch.canvasAtDestroy, 0);
    EXPECT_EQ(Watch.propertiesAtDestroy, 0);
    const GdiObjectCounts after = PlatformLiveGdiObjects();
    EXPECT_GDI_COUNT_EQ(after.bitmaps, before.bitmaps);
    EXPECT_GDI_COUNT_EQ(after.dcs, before.dcs);
    EXPECT_GDI_COUNT_EQ(after.regions, before.regions);
}

TEST_F(CanvasWindowTest, PictureChangeShowsOnlyAfterResetBackground) {
    AttachAndPaint();
    ExpectPicture();
    const uint32_t oldLeft = Pixel(Watch.pictureLeft);
    const uint32_t oldRight = Pixel(Watch.pictureRight);
    Watch.pictureLeft = RGB(0x11, 0x22, 0x33);
    Watch.pictureRight = RGB(0x44, 0x55, 0x66);

    SpriteRedrawCanvas(canvas);
    ExpectClient([&](int32_t x, int32_t, int32_t width) { return x < width / 2 ? oldLeft : oldRight; });

    // Refused: no window, a window that is not a canvas, a hidden canvas.
    SpriteResetBackground(nullptr);
    SpriteResetBackground(dialog);
    ShowWindow(canvas, SW_HIDE);
    const HANDLE snapshot = Property(CanvasProperty::backgroundBitmap);
    SpriteResetBackground(canvas);
    EXPECT_EQ(Property(CanvasProperty::backgroundBitmap), snapshot);
    ShowWindow(canvas, SW_SHOW);
    SpriteRedrawCanvas(canvas);
    ExpectClient([&](int32_t x, int32_t, int32_t width) { return x < width / 2 ? oldLeft : oldRight; });

    SpriteResetBackground(canvas);
    ExpectPicture();
}

}  // namespace
}  // namespace canvas_test

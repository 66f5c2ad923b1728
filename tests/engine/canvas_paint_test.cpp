// Painting a canvas: the snapshot of the window's own picture, the compositor
// for canvases with sprites, and no GDI object left behind.
#include "canvas_test_window.h"
#include "support/gdi_counts.h"

namespace canvas_test {
namespace {

constexpr uint32_t kSentinel = 0x00ABCDEF;

// Fills the back buffer's part under the canvas with a value no paint produces,
// so that a test can tell whether the compositor wrote there.
void MarkBackBuffer() {
    for (int32_t y = 0; y < kCanvasHeight; ++y) {
        for (int32_t x = 0; x < kCanvasWidth; ++x) TestBackPixel(x, y) = kSentinel;
    }
}

uint32_t BackBufferAt(int32_t x, int32_t y) { return TestBackPixel(x, y) & 0x00FFFFFF; }

TEST_F(CanvasWindowTest, WithoutSpritesTheSnapshotIsShownAndTheCompositorNotCalled) {
    SpriteAttachCanvas(canvas);
    MarkBackBuffer();
    SpriteRedrawCanvas(canvas);
    ExpectPicture();
    SpriteRedrawCanvas(canvas);
    ExpectPicture();
    for (int32_t y = 0; y < kCanvasHeight; ++y) {
        for (int32_t x = 0; x < kCanvasWidth; ++x) ASSERT_EQ(BackBufferAt(x, y), kSentinel);
    }
    // The window printed itself once, for the one snapshot.
    EXPECT_EQ(Watch.innerPrintClients, 1);
    EXPECT_EQ(Watch.innerPrintFlags, PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
}

TEST_F(CanvasWindowTest, HiddenSpritesStillGoThroughTheCompositor) {
    PutSprite(1, canvas, 10, 10, 8, 8, 0x00FF0000, 0);
    SpriteAttachCanvas(canvas);
    MarkBackBuffer();
    SpriteRedrawCanvas(canvas);
    ExpectPicture();
    // The compositor copied the snapshot into the back buffer and drew no sprite.
    EXPECT_EQ(BackBufferAt(0, 0), PictureAt(0, kCanvasWidth));
    EXPECT_EQ(BackBufferAt(12, 12), PictureAt(12, kCanvasWidth));
    EXPECT_EQ(BackBufferAt(kCanvasWidth - 1, kCanvasHeight - 1),
              PictureAt(kCanvasWidth - 1, kCanvasWidth));
}

TEST_F(CanvasWindowTest, VisibleSpritesReachTheWindowAndThePrintedPicture) {
    const uint32_t red = 0x00FF0000;
    const uint32_t green = 0x0000FF00;
    PutSprite(1, canvas, 10, 10, 8, 8, red, 1);
    PutSprite(2, canvas, 14, 14, 8, 8, green, 1);  // later slot on top
    PutSprite(3, dialog, 30, 30, 8, 8, red, 1);    // another window's sprite
    SpriteAttachCanvas(canvas);
    SpriteRedrawCanvas(canvas);

    auto expected = [&](int32_t x, int32_t y, int32_t width) {
        if (x >= 14 && x < 22 && y >= 14 && y < 22) return green;
        if (x >= 10 && x < 18 && y >= 10 && y < 18) return red;
        return PictureAt(x, width);
    };
    ExpectClient(expected);

    Surface printed(kCanvasWidth, kCanvasHeight, kSentinel);
    EXPECT_EQ(SendMessageW(canvas, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.dc),
                           PRF_CLIENT),
              0);
    for (int32_t y = 0; y < kCanvasHeight; ++y) {
        for (int32_t x = 0; x < kCanvasWidth; ++x) {
            ASSERT_EQ(printed.At(x, y), expected(x, y, kCanvasWidth)) << x << ", " << y;
        }
    }
}

HWND PainterWindow = nullptr;
HDC PainterDC = nullptr;
int32_t PainterCalls = 0;
int32_t PainterLastColumn = 0;
int32_t PainterLastRow = 0;
int32_t PaintStripes(HWND hwnd, HDC dc, int32_t lastColumn, int32_t lastRow) {
    ++PainterCalls;
    PainterWindow = hwnd;
    PainterDC = dc;
    PainterLastColumn = lastColumn;
    PainterLastRow = lastRow;
    FillSolid(dc, RECT{0, 0, lastColumn + 1, lastRow + 1}, RGB(0x10, 0x20, 0x30));
    return 0;
}

TEST_F(CanvasWindowTest, ABackgroundPainterReplacesTheWindowsOwnPrinting) {
    SpriteAttachCanvas(canvas);
    SetPropA(canvas, MAKEINTATOM(EngineState.canvasAtoms[5]),
             reinterpret_cast<HANDLE>(&PaintStripes));
    SpriteRedrawCanvas(canvas);
    SpriteRedrawCanvas(canvas);

    EXPECT_EQ(PainterCalls, 1);
    EXPECT_EQ(PainterWindow, canvas);
    EXPECT_EQ(PainterDC, Property(CanvasProperty::backgroundDC));
    EXPECT_EQ(PainterLastColumn, kCanvasWidth - 1);
    EXPECT_EQ(PainterLastRow, kCanvasHeight - 1);
    EXPECT_EQ(Watch.innerPrintClients, 0);
    ExpectClient([](int32_t, int32_t, int32_t) { return Pixel(RGB(0x10, 0x20, 0x30)); });
}

// A client area of no pixels has no snapshot; the window then paints itself as if
// it were no canvas, and the next paint tries again.
TEST_F(CanvasWindowTest, WithoutASnapshotTheWindowPrintsItself) {
    SpriteAttachCanvas(canvas);
    MoveWindow(canvas, kCanvasLeft, kCanvasTop, 0, 0, FALSE);
    Surface target(4, 4, kSentinel);
    const GdiObjectCounts first = [&] {
        SendMessageW(canvas, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(target.dc), PRF_CLIENT);
        return PlatformLiveGdiObjects();
    }();
    EXPECT_EQ(Property(CanvasProperty::backgroundBitmap), nullptr);
    EXPECT_EQ(Watch.innerPrintClients, 1);
    EXPECT_EQ(Watch.innerPrintFlags, PRF_CLIENT);

    SendMessageW(canvas, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(target.dc), PRF_CLIENT);
    EXPECT_EQ(Watch.innerPrintClients, 2);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), first.Total());

    MoveWindow(canvas, kCanvasLeft, kCanvasTop, kCanvasWidth, kCanvasHeight, FALSE);
    SpriteRedrawCanvas(canvas);
    EXPECT_NE(Property(CanvasProperty::backgroundBitmap), nullptr);
    ExpectPicture();
}

TEST_F(CanvasWindowTest, NoGdiObjectIsLeftBehind) {
    PutSprite(1, canvas, 10, 10, 8, 8, 0x00FF0000, 1);
    PutSprite(2, canvas, 40, 20, 8, 8, 0x0000FF00, 0);
    const GdiObjectCounts beforeAttach = PlatformLiveGdiObjects();
    SpriteAttachCanvas(canvas);
    SpriteRedrawCanvas(canvas);
    const GdiObjectCounts afterFirst = PlatformLiveGdiObjects();

    Surface printed(kCanvasWidth, kCanvasHeight, 0);
    const GdiObjectCounts withSurface = PlatformLiveGdiObjects();
    for (int32_t i = 0; i < 1000; ++i) {
        switch (i % 3) {
        case 0: SpriteRedrawCanvas(canvas); break;
        case 1: {
            const RECT part{i % 50, 5, i % 50 + 9, 17};
            InvalidateRect(canvas, &part, FALSE);
            SpriteUpdateCanvas(canvas);
            break;
        }
        default:
            SendMessageW(canvas, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.dc),
                         PRF_CLIENT);
            break;
        }
    }
    const GdiObjectCounts after = PlatformLiveGdiObjects();
    EXPECT_GDI_COUNT_EQ(after.bitmaps, withSurface.bitmaps);
    EXPECT_GDI_COUNT_EQ(after.dcs, withSurface.dcs);
    EXPECT_GDI_COUNT_EQ(after.regions, withSurface.regions);
    EXPECT_GDI_COUNT_EQ(after.brushes, withSurface.brushes);
    EXPECT_GDI_COUNT_EQ(withSurface.Total(), afterFirst.Total() + 2);  // the test's own DC and bitmap

    DestroyWindow(canvas);
    const GdiObjectCounts destroyed = PlatformLiveGdiObjects();
    EXPECT_GDI_COUNT_EQ(destroyed.bitmaps, beforeAttach.bitmaps + 1);
    EXPECT_GDI_COUNT_EQ(destroyed.dcs, beforeAttach.dcs + 1);
    EXPECT_GDI_COUNT_EQ(destroyed.regions, beforeAttach.regions);
    EXPECT_GDI_COUNT_EQ(destroyed.brushes, beforeAttach.brushes);
}

TEST_F(CanvasWindowTest, PaintingADestroyedCanvasDoesNothing) {
    PutSprite(1, canvas, 10, 10, 8, 8, 0x00FF0000, 1);
    AttachAndPaint();
    const HWND gone = canvas;
    DestroyWindow(gone);
    const GdiObjectCounts before = PlatformLiveGdiObjects();
    const int32_t prints = Watch.innerPrintClients;
    MarkBackBuffer();

    Surface target(kCanvasWidth, kCanvasHeight, kSentinel);
    SprPaintCanvas(gone, 0, 0, CanvasPaintMessage::paint, &InnerSpyProc);
    SprPaintCanvas(gone, reinterpret_cast<WPARAM>(target.dc), PRF_CLIENT, CanvasPaintMessage::printClient,
                   &InnerSpyProc);
    SpriteUpdateCanvas(gone);
    SpriteRedrawCanvas(gone);
    SpriteResetBackground(gone);

    EXPECT_EQ(Watch.innerPrintClients, prints);
    EXPECT_EQ(target.At(12, 12), kSentinel);
    EXPECT_EQ(BackBufferAt(12, 12), kSentinel);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), before.Total() + 2);  // the target surface
}

}  // namespace
}  // namespace canvas_test

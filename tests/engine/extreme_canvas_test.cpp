// Canvases in states the engine must survive: destroyed while sprites still name
// them, and larger than the back buffer.
#include <climits>
#include <vector>

#include "engine/canvas/canvas.h"
#include "extreme_fixture.h"

namespace {

// The back buffer of a 300 x 240 screen is 300 x 257; the canvas gets far larger.
class SmallScreenTest : public ExtremeInputTest {
protected:
    void SetUp() override {
        if (!PlatformSetScreenSize(300, 240)) GTEST_SKIP() << "the screen size cannot be set on this platform";
        ExtremeInputTest::SetUp();
    }
    void TearDown() override {
        ExtremeInputTest::TearDown();
        PlatformSetScreenSize(1280, 1024);
    }
};

TEST_F(ExtremeInputTest, EveryCallOnADestroyedCanvasIsANoOp) {
    TestMakeSprite("BALL", 16, 16);
    SpriteClone("TWIN", "BALL");
    SpriteSetCanvas(canvas, "BALL|TWIN");
    SpriteShow("BALL|TWIN", 1);
    SpriteRedrawCanvas(canvas);
    DestroyWindow(windows.dialog);
    PlatformPumpMessages();
    ASSERT_FALSE(IsWindow(canvas));

    SpriteUpdateCanvas(canvas);
    SpriteRedrawCanvas(canvas);
    SpriteResetBackground(canvas);
    SpriteAttachCanvas(canvas);
    SpriteSetCanvas(canvas, "BALL");
    SpriteMove("BALL|TWIN", 5, 5, 1);
    SpriteShow("TWIN", 0);
    SpriteSetFlip("BALL", 1, 1, 1);
    SpriteSetFrame("BALL", 2, 1, 1);
    SpriteSetOpacity("BALL", 30, 1);
    SendMessageW(canvas, WM_PAINT, 0, 0);
    SendMessageW(canvas, WM_PRINTCLIENT, 0, PRF_CLIENT);
    SprPaintCanvas(canvas, 0, 0, CanvasPaintMessage::paint, nullptr);
    EXPECT_EQ(SpriteAtPoint(canvas, 6, 6), "");
    EXPECT_EQ(SprIsCanvas(canvas), 0);
    EXPECT_EQ(SprCanvasHasSprites(canvas), 1);  // the records still name it

    // The records changed as commanded; only the marking was skipped.
    int32_t x = 0, y = 0;
    SpriteGetPosition("BALL", x, y);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(SpriteGetFlag("BALL", "E"), 70);
    EXPECT_EQ(SpriteCollisions("BALL"), "");  // TWIN is hidden now
    SpriteShow("TWIN", 1);
    EXPECT_EQ(SpriteCollisions("BALL"), "TWIN");
    windows = TestCanvasWindows{};  // nothing left to close
    ExpectSound("after the canvas was destroyed");
    SpriteDelete("BALL");
    ExpectSound("after deleting its sprites");
}

TEST_F(SmallScreenTest, CanvasLargerThanTheBackBuffer) {
    int32_t backWidth = 0, backHeight = 0;
    TestBitmapSize(EngineState.BackBuffer.bitmap, backWidth, backHeight);
    ASSERT_EQ(backWidth, 300);
    ASSERT_EQ(backHeight, 257);
    PlatformResizeWindow(windows.dialog, 900, 700);
    PlatformResizeWindow(canvas, 800, 600);
    RECT client{};
    GetClientRect(canvas, &client);
    ASSERT_EQ(client.right, 800);

    // Inside, across the edge of, and wholly outside the back buffer.
    TestMakeSprite("IN", 20, 20);
    SpriteClone("EDGE", "IN");
    SpriteClone("OUT", "IN");
    SpriteClone("FAR", "IN");
    SpriteSetCanvas(canvas, "IN|EDGE|OUT|FAR");
    SpriteMove("IN", 10, 10, 0);
    SpriteMove("EDGE", 290, 250, 0);
    SpriteMove("OUT", 600, 500, 0);
    SpriteMove("FAR", INT32_MAX - 5, INT32_MAX - 5, 0);
    SpriteShow("IN|EDGE|OUT|FAR", 1);
    SpriteRedrawCanvas(canvas);
    SpriteMove("IN|EDGE|OUT", 3, 3, 1);
    SpriteUpdateCanvas(canvas);

    const COLORREF ball = RGB(0x20, 0x50, 0x80);
    EXPECT_EQ(PlatformWindowPixel(canvas, 13, 13), ball);
    EXPECT_EQ(PlatformWindowPixel(canvas, 299, 256), ball);  // EDGE, last back-buffer pixel
    EXPECT_NE(PlatformWindowPixel(canvas, 12, 12), ball);    // where IN was, background again
    EXPECT_EQ(SpriteAtPoint(canvas, 605, 505), "OUT");
    EXPECT_EQ(SpriteCollisions("EDGE"), "");

    // Printing the whole client area into a DC of its size.
    BYTE* bits = nullptr;
    HBITMAP picture = SprCreateDIB(nullptr, 32, 800, 600, bits);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, picture);
    SendMessageW(canvas, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    EXPECT_EQ(reinterpret_cast<uint32_t*>(bits)[13 * 800 + 13] & 0x00FFFFFFu, kBallPixel);
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(picture);
    ExpectSound("canvas larger than the back buffer");
}

}  // namespace

// The buttons: deleting balls, stepping through the backgrounds (also with one
// missing), and the controls the window is made with.
#include "demo_fixture.h"
#include "engine/core/engine_state.h"

namespace {

class DemoControlsTest : public DemoTest {
protected:
    bool Exists(int32_t n) {
        int32_t x = 0, y = 0;
        return SpriteGetPosition(DemoBallName(n), x, y) == 1;
    }
    // Completes a measurement of 0.5 s so the caption is written.
    void Measure() {
        fakeNow = 2000.0;
        for (int i = 0; i < 24; ++i) Pass();
        fakeNow = 2000.5;
        Pass();
    }
    // Points of the canvas that no ball covers within the first steps, given on an
    // 800 x 600 canvas and scaled to the canvas's own size.
    static std::vector<POINT> Samples() {
        static constexpr POINT onEightHundred[] = {{300, 20}, {520, 80}, {790, 10}, {400, 300},
                                                   {20, 590}, {640, 450}, {799, 599}, {250, 520}};
        const TestSize canvas = CanvasSize();
        std::vector<POINT> points;
        for (const POINT& p : onEightHundred) points.push_back(POINT{p.x * canvas.cx / 800, p.y * canvas.cy / 600});
        return points;
    }
    // The canvas shows background `expected` at the sample points.
    void ExpectBackground(const std::filesystem::path& graphics, int32_t expected, const char* when) {
        const TestSize canvas = CanvasSize();
        const TestPixels picture = TestLoadPicture(
            graphics.wstring() + L"/bkgnd" + std::to_wstring(expected) + L".bmp", canvas.cx, canvas.cy);
        const TestPixels shown = CanvasPixels();
        ASSERT_EQ(picture.width, canvas.cx);
        ASSERT_EQ(shown.width, canvas.cx);
        for (const POINT& p : Samples()) {
            EXPECT_EQ(shown.At(p.x, p.y), picture.At(p.x, p.y))
                << when << ": background " << expected << " at " << p.x << "," << p.y;
        }
    }
};

TEST_F(DemoControlsTest, WindowHasTheCanvasAndElevenButtonsInAColumn) {
    StartDemo();
    const wchar_t* captions[] = {L"AlphaBlend ON",      L"AlphaBlend OFF",    L"Flip ON",
                                 L"Flip OFF",           L"Use Sprite 1",      L"Use Sprite 2",
                                 L"Speed: 50 ms Sleep", L"Speed: None",       L"Change Background",
                                 L"Delete Last Clone",  L"Delete First Original"};
    for (int32_t k = 1; k <= 11; ++k) {
        HWND button = Button(k);
        ASSERT_NE(button, nullptr) << "button " << k;
        wchar_t text[64] = {};
        GetWindowTextW(button, text, 64);
        EXPECT_STREQ(text, captions[k - 1]);
        // 80 x 20 dialog units: 160 x 40 pixels on our platform.
        const RECT units = DialogRect(401, 20 * (k - 1), 481, 20 * k);
        RECT client{};
        GetClientRect(button, &client);
        EXPECT_EQ(client.right, units.right - units.left);
        EXPECT_EQ(client.bottom, units.bottom - units.top);
        EXPECT_EQ(GetParent(button), DemoState.mainWindow);
    }
    EXPECT_EQ(GetParent(Canvas()), DemoState.mainWindow);
    EXPECT_EQ(DemoState.backgroundIndex, 1);
}

TEST_F(DemoControlsTest, TenDeleteLastClonePressesLeave22) {
    StartDemo();
    for (int i = 0; i < 10; ++i) Press(10);
    EXPECT_EQ(DemoState.spriteCount, 22);
    for (int32_t n = 1; n <= 32; ++n) EXPECT_EQ(Exists(n), n <= 22) << "ball " << n;
    Measure();
    EXPECT_EQ(Title(), L"Sprite Demo:     22 Sprites ( 140 X 140 pixels) displaying at 0050.00 Frames/sec");

    Press(11);  // Delete First Original takes every clone with it
    for (int32_t n = 1; n <= 32; ++n) EXPECT_FALSE(Exists(n)) << "ball " << n;
    EXPECT_EQ(DemoState.spriteCount, 0);
    Press(10);  // nothing left to delete
    Press(11);
    EXPECT_EQ(DemoState.spriteCount, 0);
    Measure();
    EXPECT_EQ(Title(), L"Sprite Demo:     0 Sprites ( 140 X 140 pixels) displaying at 0050.00 Frames/sec");
}

TEST_F(DemoControlsTest, DeleteFirstOriginalAtOnceRemovesAll) {
    StartDemo();
    Press(11);
    for (int32_t n = 1; n <= 32; ++n) EXPECT_FALSE(Exists(n)) << "ball " << n;
    // Only the background is left on the canvas.
    Pass();
    const TestSize canvas = CanvasSize();
    const TestPixels picture = TestLoadPicture(PicturePath("bkgnd1.bmp"), canvas.cx, canvas.cy);
    EXPECT_EQ(CanvasPixels().pixels, picture.pixels);
}

// The 32nd "Delete Last Clone" deletes LOGO1, which has no clones left by then.
TEST_F(DemoControlsTest, ThirtyTwoDeleteLastClonePressesEmptyTheCanvas) {
    StartDemo();
    for (int i = 0; i < 32; ++i) Press(10);
    EXPECT_EQ(DemoState.spriteCount, 0);
    for (int32_t slot = 1; slot <= SprLastSlot(); ++slot) EXPECT_EQ(EngineState.SpriteTable[slot].nameKey, 0);
    Press(10);
    EXPECT_EQ(DemoState.spriteCount, 0);
}

TEST_F(DemoControlsTest, ChangeBackgroundCyclesThroughTheFivePictures) {
    const std::filesystem::path built = std::filesystem::path(BuiltFolder()) / "graphics";
    StartDemo();
    ExpectBackground(built, 1, "at start");
    const int32_t expected[] = {2, 3, 4, 5, 1};
    for (int32_t i = 0; i < 5; ++i) {
        Press(9);
        EXPECT_EQ(DemoState.backgroundIndex, expected[i]);
        ExpectBackground(built, expected[i], ("press " + std::to_string(i + 1)).c_str());
    }
}

TEST_F(DemoControlsTest, MissingBackgroundKeepsThePictureAndTheCycleGoesOn) {
    const auto graphics = UseTestFolder();
    CopyPictures(graphics, {"bkgnd3.bmp"});
    StartDemo();
    Press(9);
    ExpectBackground(graphics, 2, "first press");
    Press(9);
    EXPECT_EQ(DemoState.backgroundIndex, 3);
    ExpectBackground(graphics, 2, "second press, bkgnd3.bmp missing");
    Press(9);
    ExpectBackground(graphics, 4, "third press");
}

TEST_F(DemoControlsTest, WithoutAnyBackgroundTheCanvasShowsTheButtonFace) {
    UseTestFolder();
    StartDemo();
    Press(11);
    const TestPixels shown = CanvasPixels();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const uint32_t facePixel = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    for (const POINT& p : Samples()) EXPECT_EQ(shown.At(p.x, p.y), facePixel);
}

TEST_F(DemoControlsTest, SpeedButtonsSetTheFrameDelay) {
    StartDemo();
    Press(7);
    EXPECT_EQ(DemoState.frameDelay, 50);
    sleeps.clear();
    Pass();
    EXPECT_EQ(sleeps.back(), 50u);
    Press(8);
    EXPECT_EQ(DemoState.frameDelay, 0);
}

TEST_F(DemoControlsTest, CommandsThatAreNotClicksOrNotButtonsDoNothing) {
    StartDemo();
    DemoButtonCallback(DemoState.mainWindow, WM_COMMAND, MAKEWPARAM(BUTTON_ID_BASE + 10, 1), 0);
    DemoButtonCallback(DemoState.mainWindow, WM_COMMAND, MAKEWPARAM(BUTTON_ID_BASE + 12, BN_CLICKED), 0);
    DemoButtonCallback(DemoState.mainWindow, WM_COMMAND, MAKEWPARAM(BUTTON_ID_BASE, BN_CLICKED), 0);
    DemoButtonCallback(DemoState.mainWindow, WM_PAINT, MAKEWPARAM(BUTTON_ID_BASE + 11, BN_CLICKED), 0);
    EXPECT_EQ(DemoState.spriteCount, 32);
}

// The dialog keyboard handling turns Escape into WM_COMMAND 2, which finds no
// control and no callback that acts on it.
TEST_F(DemoControlsTest, EscapeDoesNotCloseTheWindow) {
    StartDemo();
    Pump();
    EXPECT_EQ(DemoState.activeWindow, DemoState.mainWindow);
    PlatformInjectKey(DemoState.mainWindow, VK_ESCAPE);
    Pump();
    Pass();
    EXPECT_TRUE(IsWindow(DemoState.mainWindow));
    EXPECT_EQ(DemoState.liveWindowCount, 1);
    EXPECT_EQ(DemoState.spriteCount, 32);
}

}  // namespace

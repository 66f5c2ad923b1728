// The scene set-up and the first steps: 32 balls sharing one image, their
// starting diagonal, the canvas measures, and the ball picture missing or of
// another size.
#include "demo_fixture.h"
#include "engine/core/engine_state.h"
#include "engine/core/sprite_names.h"

namespace {

class DemoSceneTest : public DemoTest {
protected:
    int32_t LiveSprites() const {
        int32_t live = 0;
        for (int32_t slot = 1; slot <= SprLastSlot(); ++slot) live += EngineState.SpriteTable[slot].nameKey != 0;
        return live;
    }
};

TEST_F(DemoSceneTest, SetUpMakes32HiddenBallsOnTheCanvasSharingOneImage) {
    StartDemo();
    ASSERT_NE(DemoState.mainWindow, nullptr);
    // Run the set-up once more on the started engine, with the first scene gone,
    // to see what it leaves before the initialising step shows the balls.
    SpriteDelete("LOGO1");
    ASSERT_EQ(LiveSprites(), 0);
    DemoSetUpScene();

    EXPECT_EQ(LiveSprites(), 32);
    EXPECT_EQ(SprLastSlot(), 32);  // one record per ball
    const SpriteRecord& first = EngineState.SpriteTable[1];
    ASSERT_NE(first.bitmap, nullptr);
    for (int32_t n = 1; n <= 32; ++n) {
        const SpriteRecord& ball = EngineState.SpriteTable[n];
        EXPECT_EQ(SprKeyName(ball.nameKey), DemoBallName(n)) << "slot " << n;
        EXPECT_EQ(ball.bitmap, first.bitmap) << DemoBallName(n);
        EXPECT_EQ(ball.canvas, Canvas()) << DemoBallName(n);
        EXPECT_EQ(ball.visible, 0) << DemoBallName(n);
        EXPECT_EQ(ball.width, 140);
        EXPECT_EQ(ball.height, 140);
        EXPECT_EQ(ball.frameCount, 3);
        EXPECT_EQ(ball.cloneState, n == 1 ? -1 : 1);
    }
    EXPECT_EQ(DemoState.canvasWindow, Canvas());
    EXPECT_EQ(DemoState.spriteCount, 32);
}

// The canvas is 400 x 300 dialog units of a 480 x 300 window: 800 x 600 pixels
// of a 960 x 600 client area with our platform's dialog font.
TEST_F(DemoSceneTest, CanvasIs400By300DialogUnits) {
    StartDemo();
    const TestSize canvas = CanvasSize();
    RECT client{};
    GetClientRect(Canvas(), &client);
    EXPECT_EQ(client.right, canvas.cx);
    EXPECT_EQ(client.bottom, canvas.cy);
    EXPECT_EQ(DemoState.maxX, canvas.cx - 1);
    EXPECT_EQ(DemoState.maxY, canvas.cy - 1);
    EXPECT_EQ(DemoState.minX, 0);
    EXPECT_EQ(DemoState.minY, 0);
    RECT window{};
    GetClientRect(DemoState.mainWindow, &window);
    const RECT units = DialogRect(0, 0, 480, 300);
    EXPECT_EQ(window.right, units.right);
    EXPECT_EQ(window.bottom, units.bottom);
#ifndef _WIN32
    EXPECT_EQ(canvas.cx, 800);
    EXPECT_EQ(canvas.cy, 600);
    EXPECT_EQ(window.right, 960);
    EXPECT_EQ(window.bottom, 600);
#endif
}

TEST_F(DemoSceneTest, BallsStartOnTheDiagonalAndTakeTheirFirstStep) {
    StartDemo();
    for (int32_t n = 1; n <= 32; ++n) {
        int32_t x = 0, y = 0;
        ASSERT_EQ(SpriteGetPosition(DemoBallName(n), x, y), 1);
        EXPECT_EQ(x, n);
        EXPECT_EQ(y, n);
        EXPECT_EQ(SpriteGetFlag(DemoBallName(n), "V"), 1);
        const MotionEntry& m = DemoState.motionTable[n];
        EXPECT_EQ(m.posX, n);
        EXPECT_EQ(m.posY, n);
        EXPECT_EQ(m.dirX, 1);
        EXPECT_EQ(m.dirY, 1);
    }
    Pass();
    const struct {
        int32_t n, x, y;
    } after[] = {{1, 3, 3}, {8, 9, 17}, {10, 13, 11}, {32, 33, 35}};
    for (const auto& c : after) {
        int32_t x = 0, y = 0;
        SpriteGetPosition(DemoBallName(c.n), x, y);
        EXPECT_EQ(x, c.x) << "ball " << c.n;
        EXPECT_EQ(y, c.y) << "ball " << c.n;
    }
}

TEST_F(DemoSceneTest, MissingBallPictureRunsWithoutBallsAndCounts32) {
    const auto graphics = UseTestFolder();
    CopyPictures(graphics, {"ball3d.bmp"});
    StartDemo();
    ASSERT_NE(DemoState.mainWindow, nullptr);
    EXPECT_TRUE(IsWindowVisible(DemoState.mainWindow));
    EXPECT_EQ(LiveSprites(), 0);
    fakeNow = 10.0;
    for (int i = 0; i < 24; ++i) Pass();
    fakeNow = 10.5;
    Pass();
    EXPECT_EQ(Title(), L"Sprite Demo:     32 Sprites ( 140 X 140 pixels) displaying at 0050.00 Frames/sec");
    // The canvas shows background 1 alone.
    const TestSize canvas = CanvasSize();
    const TestPixels expected = TestLoadPicture(graphics.wstring() + L"/bkgnd1.bmp", canvas.cx, canvas.cy);
    const TestPixels shown = CanvasPixels();
    ASSERT_EQ(shown.width, canvas.cx);
    ASSERT_EQ(expected.width, canvas.cx);
    EXPECT_EQ(shown.pixels, expected.pixels);
}

// A 300 x 100 picture in three coloured thirds gives three 140 x 140 frames, each
// a stretched third.
TEST_F(DemoSceneTest, OddSizedBallPictureIsStretchedIntoThreeFrames) {
    const auto graphics = UseTestFolder();
    CopyPictures(graphics, {"ball3d.bmp"});
    const uint32_t thirds[3] = {0xC02010, 0x20B040, 0x3040D0};
    ASSERT_TRUE(TestWriteBmp(graphics / "ball3d.bmp", 300, 100,
                             [&](int32_t x, int32_t) { return thirds[x / 100]; }));
    StartDemo();
    int32_t width = 0, height = 0, frames = 0, current = 0;
    ASSERT_EQ(SpriteGetSize("LOGO1", width, height), 1);
    SpriteGetFrame("LOGO1", frames, current);
    EXPECT_EQ(width, 140);
    EXPECT_EQ(height, 140);
    EXPECT_EQ(frames, 3);
    const SpriteRecord& ball = EngineState.SpriteTable[SprFindSprite("LOGO1")];
    const auto* image = reinterpret_cast<const uint32_t*>(ball.bits);
    for (int32_t frame = 0; frame < 3; ++frame) {
        for (const POINT p : {POINT{0, 0}, POINT{139, 0}, POINT{70, 70}, POINT{0, 139}, POINT{139, 139}}) {
            EXPECT_EQ(image[p.y * 420 + frame * 140 + p.x] & 0xFFFFFF, thirds[frame])
                << "frame " << frame + 1 << " at " << p.x << "," << p.y;
        }
    }
}

}  // namespace

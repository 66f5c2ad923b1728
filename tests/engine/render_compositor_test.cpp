// The compositor against pixels worked out by hand on fixtures a few pixels wide.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "engine/render/compositor.h"
#include "engine_fixture.h"
#include "support/gdi_counts.h"

namespace {

const HWND kCanvas = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1000));
const HWND kOtherCanvas = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x2000));
constexpr uint32_t kBackground = 0x00EEEEEEu;  // the canvas snapshot's colour
constexpr uint32_t kUntouched = 0x7FABCDEFu;   // back-buffer pixels before a paint

// A started engine, a small canvas snapshot filled with kBackground in a memory DC,
// and the back buffer's top-left corner filled with kUntouched.
class CompositorTest : public EngineTest {
protected:
    static constexpr int32_t kWidth = 4, kHeight = 4;

    void SetUp() override {
        EngineTest::SetUp();
        HDC screen = GetDC(nullptr);
        background = SprCreateDIB(screen, 32, kWidth, kHeight, backgroundBits);
        backgroundDC = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        ASSERT_NE(background, nullptr);
        ASSERT_NE(backgroundDC, nullptr);
        auto* pixels = reinterpret_cast<uint32_t*>(backgroundBits);
        for (int i = 0; i < kWidth * kHeight; ++i) pixels[i] = kBackground;
        FillBack(kUntouched);
    }
    void TearDown() override {
        DeleteDC(backgroundDC);
        DeleteObject(background);
        EngineTest::TearDown();
    }

    void FillBack(uint32_t value) {
        for (int y = 0; y < kHeight + 2; ++y)
            for (int x = 0; x < kWidth + 2; ++x) TestBackPixel(x, y) = value;
    }
    HBITMAP Compose(int32_t left, int32_t top, int32_t width, int32_t height, HDC paintDC = nullptr,
                    HRGN region = nullptr) {
        return SprComposeCanvas(kCanvas, background, backgroundDC, left, top, width, height,
                                paintDC, region);
    }
    // The back buffer's kWidth x kHeight corner, row by row.
    std::vector<uint32_t> Corner() {
        std::vector<uint32_t> pixels;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) pixels.push_back(TestBackPixel(x, y));
        return pixels;
    }

    HBITMAP background = nullptr;
    BYTE* backgroundBits = nullptr;
    HDC backgroundDC = nullptr;
};

// ---- The pixel rule, on one-pixel sprites -------------------------------------
// The sprite pixel S = 0x00C86400 (red 200, green 100, blue 0) or S with an edge
// code; the back-buffer pixel D = 0x5A0064C8 (red 0, green 100, blue 200, fourth
// byte 0x5A). With weight o for the source: red = 2 * o, green = 100, blue =
// 2 * (100 - o); the fourth byte stays 0x5A unless a plain opaque pixel is copied.
constexpr uint32_t kS = 0x00C86400u;
constexpr uint32_t kD = 0x5A0064C8u;

struct PixelCase {
    const char* what;
    uint32_t source;
    int32_t translucency;
    float edgeBlend;
    uint32_t expected;
};

const PixelCase kPixelCases[] = {
    {"key colour: exact match is transparent", kTestKey, 0, 1.0f, kD},
    {"key colour with an edge code is drawn as an edge pixel", 0x11000000u | kTestKey, 0, 1.0f,
     0x5A7F32E3u},  // o = 50: red 127, green 50, blue 227
    {"opaque plain pixel copies all four bytes", kS, 0, 1.0f, 0x00C86400u},
    {"negative translucency draws as opaque", kS, -20, 1.0f, 0x00C86400u},
    {"T = 1", kS, 1, 1.0f, 0x5AC66402u},
    {"T = 25", kS, 25, 1.0f, 0x5A966432u},
    {"T = 50", kS, 50, 1.0f, 0x5A646464u},
    {"T = 99", kS, 99, 1.0f, 0x5A0264C6u},
    {"T = 100 leaves the back buffer", kS, 100, 1.0f, kD},
    {"T above 100 leaves the back buffer", kS, 150, 1.0f, kD},
    {"T = 100 leaves edge pixels too", 0x44000000u | kS, 100, 1.0f, kD},
    {"edge 0x44 at T = 0: 80 %", 0x44000000u | kS, 0, 1.0f, 0x5AA06428u},
    {"edge 0x43 at T = 0: 60 %", 0x43000000u | kS, 0, 1.0f, 0x5A786450u},
    {"edge 0x42 at T = 0: 40 %", 0x42000000u | kS, 0, 1.0f, 0x5A506478u},
    {"edge 0x41 at T = 0: 20 %", 0x41000000u | kS, 0, 1.0f, 0x5A2864A0u},
    {"edge 0x44 at T = 50: 40 %", 0x44000000u | kS, 50, 1.0f, 0x5A506478u},
    {"edge 0x43 at T = 50: 30 %", 0x43000000u | kS, 50, 1.0f, 0x5A3C648Cu},
    {"edge 0x42 at T = 50: 20 %", 0x42000000u | kS, 50, 1.0f, 0x5A2864A0u},
    {"edge 0x41 at T = 50: 10 %", 0x41000000u | kS, 50, 1.0f, 0x5A1464B4u},
    {"edgeBlend 0 leaves the back buffer", 0x44000000u | kS, 0, 0.0f, kD},
    {"softening 70, code 0x11: 34 %, not 35", 0x11000000u | kS, 0, static_cast<float>(0.7),
     0x5A446484u},
    {"softening 50, code 0x11: 25 %", 0x11000000u | kS, 0, 0.5f, 0x5A326496u},
    {"k > n clamps the edge opacity to 100", 0x1F000000u | kS, 0, 1.0f, 0x5AC86400u},
    {"n = 0 clamps the edge opacity to 100", 0x0F000000u | kS, 0, 1.0f, 0x5AC86400u},
    {"edgeBlend above 1 clamps to 100", 0x11000000u | kS, 0, 5.0f, 0x5AC86400u},
    {"negative edgeBlend clamps to 0", 0x11000000u | kS, 0, -1.0f, kD},
};

TEST_F(CompositorTest, PixelRule) {
    for (const PixelCase& c : kPixelCases) {
        ASSERT_EQ(TestPutSprite(1, "PIXEL", 1, 1, 1, c.source, kCanvas, 1, 1), 1);
        SpriteRecord& sprite = EngineState.SpriteTable[1];
        sprite.translucency = c.translucency;
        sprite.edgeBlend = c.edgeBlend;
        reinterpret_cast<uint32_t*>(backgroundBits)[1 * kWidth + 1] = kD;
        EXPECT_EQ(Compose(0, 0, kWidth, kHeight), EngineState.BackBuffer.bitmap);
        EXPECT_EQ(TestBackPixel(1, 1), c.expected) << c.what;
        EXPECT_EQ(TestBackPixel(0, 0), kBackground) << c.what;
        DeleteObject(sprite.bitmap);
        sprite = SpriteRecord{};
    }
}

// ---- Geometry: frames, flips, clipping -------------------------------------------
// A 2 x 2 sprite with three frames; pixel (c, r) of frame f is P(f, c, r).
constexpr uint32_t P(int f, int c, int r) { return 0x00100000u * f + 0x10u * r + c + 1; }
constexpr uint32_t B = kBackground;
constexpr uint32_t U = kUntouched;

struct GeometryCase {
    const char* what;
    int32_t x, y, frame, flipH, flipV;
    RECT update;  // left, top, width, height
    std::vector<uint32_t> expected;  // the 4 x 4 corner
};

const GeometryCase kGeometryCases[] = {
    {"frame 1 at (1, 1)", 1, 1, 1, 0, 0, {0, 0, 4, 4},
     {B, B, B, B,
      B, P(1, 0, 0), P(1, 1, 0), B,
      B, P(1, 0, 1), P(1, 1, 1), B,
      B, B, B, B}},
    {"frame 2", 1, 1, 2, 0, 0, {0, 0, 4, 4},
     {B, B, B, B,
      B, P(2, 0, 0), P(2, 1, 0), B,
      B, P(2, 0, 1), P(2, 1, 1), B,
      B, B, B, B}},
    {"frame 0 draws frame 1", 0, 0, 0, 0, 0, {0, 0, 2, 2},
     {P(1, 0, 0), P(1, 1, 0), U, U,
      P(1, 0, 1), P(1, 1, 1), U, U,
      U, U, U, U,
      U, U, U, U}},
    {"negative frame draws frame 1", 0, 0, -7, 0, 0, {0, 0, 2, 1},
     {P(1, 0, 0), P(1, 1, 0), U, U,
      U, U, U, U,
      U, U, U, U,
      U, U, U, U}},
    {"frame above the count draws the last", 0, 0, 9, 0, 0, {0, 0, 2, 1},
     {P(3, 0, 0), P(3, 1, 0), U, U,
      U, U, U, U,
      U, U, U, U,
      U, U, U, U}},
    {"horizontal flip", 1, 1, 1, 1, 0, {0, 0, 4, 4},
     {B, B, B, B,
      B, P(1, 1, 0), P(1, 0, 0), B,
      B, P(1, 1, 1), P(1, 0, 1), B,
      B, B, B, B}},
    {"vertical flip", 1, 1, 1, 0, 1, {0, 0, 4, 4},
     {B, B, B, B,
      B, P(1, 0, 1), P(1, 1, 1), B,
      B, P(1, 0, 0), P(1, 1, 0), B,
      B, B, B, B}},
    {"both flips turn the frame by 180 degrees", 1, 1, 3, 1, 1, {0, 0, 4, 4},
     {B, B, B, B,
      B, P(3, 1, 1), P(3, 0, 1), B,
      B, P(3, 1, 0), P(3, 0, 0), B,
      B, B, B, B}},
    {"partial overlap: only pixels inside the rectangle", 1, 1, 1, 0, 0, {2, 2, 2, 2},
     {U, U, U, U,
      U, U, U, U,
      U, U, P(1, 1, 1), B,
      U, U, B, B}},
    {"partial overlap with a horizontal flip", 1, 1, 1, 1, 0, {1, 0, 1, 4},
     {U, B, U, U,
      U, P(1, 1, 0), U, U,
      U, P(1, 1, 1), U, U,
      U, B, U, U}},
    {"partial overlap with both flips", 1, 1, 1, 1, 1, {0, 2, 4, 1},
     {U, U, U, U,
      U, U, U, U,
      B, P(1, 1, 0), P(1, 0, 0), B,
      U, U, U, U}},
    {"sprite above and left of the canvas", -1, -1, 1, 0, 0, {0, 0, 4, 4},
     {P(1, 1, 1), B, B, B,
      B, B, B, B,
      B, B, B, B,
      B, B, B, B}},
    {"flipped sprite above and left of the canvas", -1, -1, 1, 1, 1, {0, 0, 4, 4},
     {P(1, 0, 0), B, B, B,
      B, B, B, B,
      B, B, B, B,
      B, B, B, B}},
    {"update rectangle partly left of the back buffer", 0, 0, 1, 0, 0, {-5, -5, 6, 7},
     {P(1, 0, 0), U, U, U,
      P(1, 0, 1), U, U, U,
      U, U, U, U,
      U, U, U, U}},
    {"zero width copies and draws nothing", 1, 1, 1, 0, 0, {0, 0, 0, 4},
     {U, U, U, U, U, U, U, U, U, U, U, U, U, U, U, U}},
    {"zero height copies and draws nothing", 1, 1, 1, 0, 0, {0, 0, 4, 0},
     {U, U, U, U, U, U, U, U, U, U, U, U, U, U, U, U}},
    {"negative width copies and draws nothing", 1, 1, 1, 0, 0, {3, 0, -2, 4},
     {U, U, U, U, U, U, U, U, U, U, U, U, U, U, U, U}},
};

TEST_F(CompositorTest, FramesFlipsAndClipping) {
    for (const GeometryCase& c : kGeometryCases) {
        ASSERT_EQ(TestPutSprite(1, "GEO", 2, 2, 3, 0, kCanvas, c.x, c.y), 1);
        SpriteRecord& sprite = EngineState.SpriteTable[1];
        for (int f = 1; f <= 3; ++f)
            for (int r = 0; r < 2; ++r)
                for (int col = 0; col < 2; ++col) TestSpritePixel(1, (f - 1) * 2 + col, r) = P(f, col, r);
        sprite.currentFrame = c.frame;
        sprite.flipHorizontal = c.flipH;
        sprite.flipVertical = c.flipV;
        FillBack(kUntouched);
        Compose(c.update.left, c.update.top, c.update.right, c.update.bottom);
        EXPECT_EQ(Corner(), c.expected) << c.what;
        EXPECT_EQ(sprite.currentFrame, c.frame) << "clamps are not written back";
        DeleteObject(sprite.bitmap);
        sprite = SpriteRecord{};
    }
}

TEST_F(CompositorTest, OnlyShownSpritesOfThisCanvasAreDrawn) {
    constexpr uint32_t kRed = 0x00FF0000u;
    ASSERT_EQ(TestPutSprite(1, "HIDDEN", 1, 1, 1, kRed, kCanvas, 0, 0), 1);
    EngineState.SpriteTable[1].visible = 0;
    ASSERT_EQ(TestPutSprite(2, "OTHER", 1, 1, 1, kRed, kOtherCanvas, 1, 0), 2);
    ASSERT_EQ(TestPutSprite(3, "NOIMAGE", 1, 1, 1, kRed, kCanvas, 2, 0), 3);
    HBITMAP image = EngineState.SpriteTable[3].bitmap;
    EngineState.SpriteTable[3].bitmap = nullptr;
    ASSERT_EQ(TestPutSprite(4, "NOCANVAS", 1, 1, 1, kRed, nullptr, 3, 0), 4);
    Compose(0, 0, kWidth, kHeight);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(TestBackPixel(x, 0), kBackground) << x;
    DeleteObject(image);
}

TEST_F(CompositorTest, HigherSlotIsOnTop) {
    constexpr uint32_t kLow = 0x00000011u, kHigh = 0x00000022u;
    ASSERT_EQ(TestPutSprite(2, "LOW", 2, 1, 1, kLow, kCanvas, 0, 0), 2);
    ASSERT_EQ(TestPutSprite(5, "HIGH", 2, 1, 1, kHigh, kCanvas, 1, 0), 5);
    Compose(0, 0, kWidth, kHeight);
    EXPECT_EQ(TestBackPixel(0, 0), kLow);
    EXPECT_EQ(TestBackPixel(1, 0), kHigh);
    EXPECT_EQ(TestBackPixel(2, 0), kHigh);
    std::swap(EngineState.SpriteTable[2], EngineState.SpriteTable[5]);
    Compose(0, 0, kWidth, kHeight);
    EXPECT_EQ(TestBackPixel(1, 0), kLow);
}

// A paint DC clipped to the left half: the background copy follows the update
// region, sprites the visibility test and the whole update rectangle.
TEST_F(CompositorTest, PaintClipDecidesWhichSpritesAndWhereTheBackgroundGoes) {
    constexpr uint32_t kGreen = 0x0000FF00u, kBlue = 0x000000FFu;
    // Straddles the clip: drawn across the whole rectangle.
    ASSERT_EQ(TestPutSprite(1, "ACROSS", 2, 1, 1, kGreen, kCanvas, 1, 0), 1);
    // Wholly in the right half: not drawn, although inside the update rectangle.
    ASSERT_EQ(TestPutSprite(2, "RIGHT", 2, 1, 1, kBlue, kCanvas, 2, 2), 2);

    HDC screen = GetDC(nullptr);
    HDC paintDC = CreateCompatibleDC(screen);
    BYTE* paintBits = nullptr;
    HBITMAP paintTarget = SprCreateDIB(screen, 32, kWidth, kHeight, paintBits);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(paintDC, paintTarget);
    HRGN clip = CreateRectRgn(0, 0, 2, kHeight);
    SelectClipRgn(paintDC, clip);
    DeleteObject(clip);

    const int32_t regionsBefore = PlatformLiveGdiObjects().regions;
    HRGN updateRegion = CreateRectRgn(0, 0, 2, kHeight);
    Compose(0, 0, kWidth, kHeight, paintDC, updateRegion);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().regions, regionsBefore) << "the update region is deleted";

    const std::vector<uint32_t> expected = {
        B, kGreen, kGreen, U,
        B, B, U, U,
        B, B, U, U,
        B, B, U, U,
    };
    EXPECT_EQ(Corner(), expected);

    SelectObject(paintDC, previous);
    DeleteObject(paintTarget);
    DeleteDC(paintDC);
}

// Without a paint DC the update region is not used and stays the caller's.
TEST_F(CompositorTest, RegionWithoutPaintDCIsIgnored) {
    HRGN region = CreateRectRgn(0, 0, 1, 1);
    const int32_t regions = PlatformLiveGdiObjects().regions;
    Compose(0, 0, kWidth, kHeight, nullptr, region);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().regions, regions);
    EXPECT_EQ(TestBackPixel(3, 3), kBackground);
    DeleteObject(region);
}

TEST_F(CompositorTest, LeavesNoBitmapSelected) {
    ASSERT_EQ(TestPutSprite(1, "ANY", 2, 2, 1, 0x00123456u, kCanvas, 0, 0), 1);
    const GdiObjectCounts before = PlatformLiveGdiObjects();
    for (int i = 0; i < 3; ++i) Compose(0, 0, kWidth, kHeight);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), before.Total());
    // Both bitmaps can be selected elsewhere, so no DC of the compositor holds them.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(dc, EngineState.BackBuffer.bitmap);
    EXPECT_NE(previous, nullptr);
    EXPECT_NE(SelectObject(dc, background), nullptr);
    SelectObject(dc, previous);
    DeleteDC(dc);
}

// A sprite reaching past the back buffer's corner and an update rectangle larger
// than the back buffer: nothing is written outside it (the sanitizers watch).
TEST(CompositorEdgesTest, UpdateRectangleLargerThanTheBackBuffer) {
    struct ScreenGuard {
        ~ScreenGuard() {
            SpriteEngineShutdown();
            PlatformSetScreenSize(1280, 1024);
        }
    } guard;
    if (!PlatformSetScreenSize(256, 257)) GTEST_SKIP() << "the screen size cannot be set on this platform";
    SpriteEngineInit();
    SpriteEngineStart(10, -1, -1);
    ASSERT_EQ(EngineState.engineStarted, 1);
    constexpr uint32_t kRed = 0x00FF0000u;
    ASSERT_EQ(TestPutSprite(1, "CORNER", 8, 8, 1, kRed, kCanvas, 252, 253), 1);
    EngineState.SpriteTable[1].flipHorizontal = 1;
    ASSERT_EQ(TestPutSprite(2, "FAR", 8, 8, 1, kRed, kCanvas, 300, 300), 2);
    ASSERT_EQ(TestPutSprite(3, "BEFORE", 8, 8, 1, kRed, kCanvas, -20, -20), 3);
    SprComposeCanvas(kCanvas, nullptr, nullptr, -100, -100, 2000, 2000, nullptr, nullptr);
    SprComposeCanvas(kCanvas, nullptr, nullptr, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX,
                     nullptr, nullptr);
    SprComposeCanvas(kCanvas, nullptr, nullptr, 0, 0, INT32_MAX, INT32_MAX, nullptr, nullptr);
    EXPECT_EQ(TestBackPixel(255, 256), kRed);
    EXPECT_EQ(TestBackPixel(252, 253), kRed);
}

TEST_F(CompositorTest, SpritesAtThe32BitLimitsDrawNothing) {
    constexpr uint32_t kRed = 0x00FF0000u;
    const struct {
        int32_t x, y, width, height;
    } cases[] = {
        {INT32_MAX, INT32_MAX, 4, 4},     {INT32_MAX - 1, 0, 4, 4},
        {0, INT32_MAX - 1, 4, 4},         {INT32_MIN, INT32_MIN, 4, 4},
        {INT32_MIN, 0, 4, 4},             {-1000000, -1000000, 4, 4},
    };
    HDC screen = GetDC(nullptr);
    HDC paintDC = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    for (const auto& c : cases) {
        ASSERT_EQ(TestPutSprite(1, "LIMIT", c.width, c.height, 1, kRed, kCanvas, c.x, c.y), 1);
        for (int flip = 0; flip < 2; ++flip) {
            EngineState.SpriteTable[1].flipHorizontal = flip;
            EngineState.SpriteTable[1].flipVertical = flip;
            Compose(0, 0, kWidth, kHeight);
            Compose(INT32_MAX - 2, INT32_MAX - 2, INT32_MAX, INT32_MAX);
            Compose(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, paintDC, nullptr);
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x)
                    ASSERT_EQ(TestBackPixel(x, y), kBackground) << c.x << "," << c.y;
        }
        DeleteObject(EngineState.SpriteTable[1].bitmap);
        EngineState.SpriteTable[1] = SpriteRecord{};
    }
    DeleteDC(paintDC);
}

}  // namespace

// Opening sprite images for drawing and edge softening when they are closed.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "engine/render/compositor.h"
#include "engine/render/edge_softening.h"
#include "engine_fixture.h"
#include "support/gdi_counts.h"

namespace {

constexpr uint32_t A = 0x00A00000u;
constexpr uint32_t B = 0x0000B000u;
constexpr uint32_t C = 0x000000C0u;
constexpr uint32_t _ = kTestKey;  // transparent
// Colour c as an edge pixel with edge code `code`.
constexpr uint32_t E(uint32_t c, uint32_t code) { return (code << 24) | c; }

class ImagePrepTest : public EngineTest {
protected:
    // A sprite in slot 1 whose strip (width * frames columns) holds `pixels`.
    int32_t PutImage(int32_t width, int32_t height, int32_t frames, const std::vector<uint32_t>& pixels) {
        const int32_t slot = TestPutSprite(1, "IMG", width, height, frames);
        EXPECT_EQ(slot, 1);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width * frames; ++x)
                TestSpritePixel(1, x, y) = pixels[y * width * frames + x];
        return slot;
    }
    std::vector<uint32_t> Image() {
        const SpriteRecord& s = EngineState.SpriteTable[1];
        std::vector<uint32_t> pixels;
        for (int32_t y = 0; y < s.height; ++y)
            for (int32_t x = 0; x < s.width * s.frameCount; ++x) pixels.push_back(TestSpritePixel(1, x, y));
        return pixels;
    }
    // Opens the whole strip and closes it with the given softening.
    void Prepare(int32_t softening) {
        HDC dc = nullptr;
        int32_t l, t, r, b;
        ASSERT_EQ(SpriteBeginDraw("IMG", 0, dc, l, t, r, b), 1);
        SpriteEndDraw(softening);
    }
};

struct SofteningCase {
    const char* what;
    int32_t width, height, frames;
    std::vector<uint32_t> before, after;
};

const SofteningCase kSofteningCases[] = {
    // The vertical run of one at (2, 1), in colour A, does not replace 0x44.
    {"worked example", 6, 3, 1,
     {A, A, A, A, A, A,
      B, B, _, _, _, _,
      _, _, _, _, _, _},
     {A, A, A, A, A, A,
      B, B, E(B, 0x44), E(B, 0x43), E(B, 0x42), E(B, 0x41),
      _, _, _, _, _, _}},
    {"lone transparent pixel takes its right neighbour's colour", 3, 2, 1,
     {A, A, A,
      B, _, C},
     {A, A, A,
      B, E(C, 0x11), C}},
    {"a run stops after 15 pixels", 20, 2, 1,
     {A, A, A, A, A, A, A, A, A, A, A, A, A, A, A, A, A, A, A, A,
      B, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _},
     {A, A, A, A, A, A, A, A, A, A, A, A, A, A, A, A, A, A, A, A,
      B, E(B, 0xFF), E(B, 0xFE), E(B, 0xFD), E(B, 0xFC), E(B, 0xFB), E(B, 0xFA), E(B, 0xF9),
      E(B, 0xF8), E(B, 0xF7), E(B, 0xF6), E(B, 0xF5), E(B, 0xF4), E(B, 0xF3), E(B, 0xF2),
      E(B, 0xF1), _, _, _, _}},
    {"runs cross from one frame into the next", 3, 2, 2,
     {A, A, A, A, A, A,
      _, _, B, _, _, _},
     {A, A, A, A, A, A,
      E(B, 0x21), E(B, 0x22), B, E(B, 0x33), E(B, 0x32), E(B, 0x31)}},
    {"a vertical run longer than one replaces", 3, 3, 1,
     {A, A, A,
      B, _, _,
      C, _, _},
     {A, A, A,
      B, E(A, 0x22), E(B, 0x21),
      C, E(A, 0x21), _}},
    {"no transparent pixel: unchanged", 2, 2, 1, {A, B, C, A}, {A, B, C, A}},
    {"no opaque pixel: unchanged", 2, 2, 1, {_, _, _, _}, {_, _, _, _}},
};

TEST_F(ImagePrepTest, EdgeSoftening) {
    for (const SofteningCase& c : kSofteningCases) {
        PutImage(c.width, c.height, c.frames, c.before);
        Prepare(100);
        EXPECT_EQ(Image(), c.after) << c.what;
        DeleteObject(EngineState.SpriteTable[1].bitmap);
        EngineState.SpriteTable[1] = SpriteRecord{};
    }
}

// The worked example drawn opaque with full softening fades B over 80/60/40/20 %.
TEST_F(ImagePrepTest, WorkedExampleDrawsAsAFade) {
    PutImage(6, 3, 1, {A, A, A, A, A, A, B, B, _, _, _, _, _, _, _, _, _, _});
    Prepare(100);
    SpriteRecord& sprite = EngineState.SpriteTable[1];
    sprite.canvas = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1000));
    for (int x = 0; x < 6; ++x) TestBackPixel(x, 1) = 0x00000000u;
    SprComposeCanvas(sprite.canvas, nullptr, nullptr, 0, 1, 6, 1, nullptr, nullptr);
    // Green 0xB0 = 176 at 80, 60, 40, 20 % over black.
    EXPECT_EQ(TestBackPixel(2, 1), 0x00008C00u);  // 140
    EXPECT_EQ(TestBackPixel(3, 1), 0x00006900u);  // 105
    EXPECT_EQ(TestBackPixel(4, 1), 0x00004600u);  // 70
    EXPECT_EQ(TestBackPixel(5, 1), 0x00002300u);  // 35
}

// Opening clears the edge codes, so the old outline stays as plain pixels.
TEST_F(ImagePrepTest, ReopeningClearsEdgeCodes) {
    PutImage(3, 2, 1, {A, A, A, B, _, C});
    Prepare(100);
    ASSERT_EQ(TestSpritePixel(1, 1, 1), E(C, 0x11));
    HDC dc = nullptr;
    int32_t l, t, r, b;
    ASSERT_EQ(SpriteBeginDraw("img", 0, dc, l, t, r, b), 1);
    EXPECT_EQ(TestSpritePixel(1, 1, 1), C);
    SpriteEndDraw(0);
    EXPECT_EQ(Image(), (std::vector<uint32_t>{A, A, A, B, C, C}));
}

TEST_F(ImagePrepTest, BeginDrawRectangles) {
    ASSERT_EQ(TestPutSprite(1, "STRIP", 5, 4, 3), 1);
    const struct {
        int32_t frame, left, right;
    } cases[] = {{0, 0, 14}, {1, 0, 4}, {2, 5, 9}, {3, 10, 14}, {4, 0, 4}, {-1, 0, 4}, {INT32_MIN, 0, 4}};
    for (const auto& c : cases) {
        HDC dc = nullptr;
        int32_t left = -9, top = -9, right = -9, bottom = -9;
        ASSERT_EQ(SpriteBeginDraw("strip", c.frame, dc, left, top, right, bottom), 1) << c.frame;
        EXPECT_NE(dc, nullptr);
        EXPECT_EQ(DrawContext.dc, dc);
        EXPECT_EQ(DrawContext.slot, 1);
        EXPECT_EQ(left, c.left) << c.frame;
        EXPECT_EQ(right, c.right) << c.frame;
        EXPECT_EQ(top, 0);
        EXPECT_EQ(bottom, 3);
        SpriteEndDraw(0);
        EXPECT_EQ(DrawContext.dc, nullptr);
        EXPECT_EQ(DrawContext.slot, 0);
    }
}

TEST_F(ImagePrepTest, DrawingThroughTheDCReachesTheImage) {
    ASSERT_EQ(TestPutSprite(1, "PAINT", 2, 2, 2, kTestKey), 1);
    HDC dc = nullptr;
    int32_t l, t, r, b;
    ASSERT_EQ(SpriteBeginDraw("PAINT", 2, dc, l, t, r, b), 1);
    HBRUSH brush = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
    const RECT frame{l, t, r + 1, b + 1};
    FillRect(dc, &frame, brush);
    DeleteObject(brush);
    SpriteEndDraw(0);
    EXPECT_EQ(TestSpritePixel(1, 1, 0), kTestKey);
    EXPECT_EQ(TestSpritePixel(1, 2, 0), 0x00123456u);
    EXPECT_EQ(TestSpritePixel(1, 3, 1), 0x00123456u);
}

TEST_F(ImagePrepTest, BeginDrawRefusals) {
    ASSERT_EQ(TestPutSprite(1, "FIRST", 2, 2), 1);
    ASSERT_EQ(TestPutSprite(2, "SECOND", 2, 2), 2);
    ASSERT_EQ(TestPutSprite(3, "NOIMAGE", 2, 2), 3);
    HBITMAP image = EngineState.SpriteTable[3].bitmap;
    EngineState.SpriteTable[3].bitmap = nullptr;
    HDC dc = nullptr;
    int32_t left = -9, top = -9, right = -9, bottom = -9;
    const int32_t live = PlatformLiveGdiObjects().Total();

    EXPECT_EQ(SpriteBeginDraw("MISSING", 0, dc, left, top, right, bottom), 0);
    EXPECT_EQ(SpriteBeginDraw("", 0, dc, left, top, right, bottom), 0);
    EXPECT_EQ(SpriteBeginDraw("NOIMAGE", 0, dc, left, top, right, bottom), 0);
    EXPECT_EQ(DrawContext.dc, nullptr);
    EXPECT_EQ(dc, nullptr);
    EXPECT_EQ(left, -9);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), live);

    ASSERT_EQ(SpriteBeginDraw("FIRST", 1, dc, left, top, right, bottom), 1);
    const DrawContextData open = DrawContext;
    HDC second = nullptr;
    int32_t l2 = -9, t2 = -9, r2 = -9, b2 = -9;
    EXPECT_EQ(SpriteBeginDraw("SECOND", 0, second, l2, t2, r2, b2), 0);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(l2, -9);
    EXPECT_EQ(r2, -9);
    EXPECT_EQ(DrawContext.dc, open.dc);
    EXPECT_EQ(DrawContext.slot, open.slot);
    EXPECT_EQ(DrawContext.previousBitmap, open.previousBitmap);
    SpriteEndDraw(0);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), live);
    DeleteObject(image);
}

TEST_F(ImagePrepTest, EndDrawSoftening) {
    const struct {
        int32_t softening;
        float edgeBlend;
        bool edges;
    } cases[] = {{0, 0.0f, false},   {-5, 0.0f, false},  {INT32_MIN, 0.0f, false},
                 {50, 0.5f, true},   {70, 0.7f, true},   {100, 1.0f, true},
                 {150, 1.0f, true},  {INT32_MAX, 1.0f, true}};
    for (const auto& c : cases) {
        PutImage(3, 2, 1, {A, A, A, B, _, C});
        EngineState.SpriteTable[1].edgeBlend = 0.25f;
        Prepare(c.softening);
        EXPECT_EQ(EngineState.SpriteTable[1].edgeBlend, c.edgeBlend) << c.softening;
        EXPECT_EQ(TestSpritePixel(1, 1, 1), c.edges ? E(C, 0x11) : _) << c.softening;
        DeleteObject(EngineState.SpriteTable[1].bitmap);
        EngineState.SpriteTable[1] = SpriteRecord{};
    }
}

TEST_F(ImagePrepTest, EndDrawWithNothingOpenDoesNothing) {
    PutImage(3, 2, 1, {A, A, A, B, _, C});
    EngineState.SpriteTable[1].edgeBlend = 0.25f;
    TestSpritePixel(1, 0, 0) = E(A, 0x21);
    SpriteEndDraw(100);
    EXPECT_EQ(EngineState.SpriteTable[1].edgeBlend, 0.25f);
    EXPECT_EQ(TestSpritePixel(1, 0, 0), E(A, 0x21));
}

// The slot of an open image may stop being valid before it is closed: the DC is
// still closed and no image is touched.
TEST_F(ImagePrepTest, EndDrawAfterTheSlotWentAway) {
    PutImage(3, 2, 1, {A, A, A, B, _, C});
    HDC dc = nullptr;
    int32_t l, t, r, b;
    const int32_t live = PlatformLiveGdiObjects().Total();
    ASSERT_EQ(SpriteBeginDraw("IMG", 0, dc, l, t, r, b), 1);
    DrawContext.slot = 5000;
    SpriteEndDraw(100);
    EXPECT_EQ(DrawContext.dc, nullptr);
    EXPECT_EQ(DrawContext.slot, 0);
    EXPECT_EQ(TestSpritePixel(1, 1, 1), _);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), live);
}

TEST_F(ImagePrepTest, SoftenEdgesIgnoresBadSlots) {
    PutImage(3, 2, 1, {A, A, A, B, _, C});
    for (int32_t slot : {INT32_MIN, -1, 0, 101, INT32_MAX}) {
        SprClearEdgeCodes(slot);
        SprSoftenEdges(slot);
    }
    EngineState.SpriteTable[2].nameKey = SprNameKey("EMPTY");  // no image
    SprSoftenEdges(2);
    SprClearEdgeCodes(2);
    EXPECT_EQ(Image(), (std::vector<uint32_t>{A, A, A, B, _, C}));
    SprSoftenEdges(1);
    EXPECT_EQ(TestSpritePixel(1, 1, 1), E(C, 0x11));
    SprClearEdgeCodes(1);
    EXPECT_EQ(TestSpritePixel(1, 1, 1), C);
}

}  // namespace

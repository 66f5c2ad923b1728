// Cloning and deletion: the clone states, the shared image freed exactly once,
// slot reuse, and deleting a sprite whose image is open for drawing.
#include <gtest/gtest.h>

#include <cstdint>

#include "engine/sprites/sprites_internal.h"
#include "engine_fixture.h"
#include "sprites_test_helpers.h"
#include "support/gdi_counts.h"

namespace {

class SpriteCloneTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        baseline = PlatformLiveGdiObjects();
        SprCreateSprite("LOGO1", 8, 8, 3, -1, {});
        ASSERT_NE(TestRecord("LOGO1").bitmap, nullptr);
    }
    GdiObjectCounts baseline{};
};

TEST_F(SpriteCloneTest, CloneSharesTheImageAndTheRecord) {
    SpriteMove("LOGO1", 5, 6, 0);
    SpriteShow("LOGO1", 1);
    SpriteSetOpacity("LOGO1", 30, 0);
    SpriteSetFrame("LOGO1", 2, 0, 0);
    SpriteSetFlip("LOGO1", 1, 0, 0);
    SpriteClone("LOGO2", "logo1");
    const SpriteRecord& source = TestRecord("LOGO1");
    const SpriteRecord& clone = TestRecord("LOGO2");
    ASSERT_EQ(SprFindSprite("LOGO2"), 2);
    EXPECT_EQ(source.cloneState, -1);
    EXPECT_EQ(clone.cloneState, 1);
    EXPECT_EQ(clone.bitmap, source.bitmap);
    EXPECT_EQ(clone.bits, source.bits);
    EXPECT_EQ(clone.x, 5);
    EXPECT_EQ(clone.y, 6);
    EXPECT_EQ(clone.visible, 1);
    EXPECT_EQ(clone.translucency, 70);
    EXPECT_EQ(clone.currentFrame, 2);
    EXPECT_EQ(clone.flipHorizontal, 1);
    EXPECT_EQ(clone.nameKey, SprNameKey("LOGO2"));
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().bitmaps, baseline.bitmaps + 1);
}

TEST_F(SpriteCloneTest, RefusedClones) {
    SpriteClone("LOGO2", "LOGO1");
    SpriteClone("LOGO4", "LOGO2");     // a clone cannot be cloned
    SpriteClone("LOGO5", "NOSUCH");    // missing source
    SpriteClone("LOGO2", "LOGO1");     // taken name
    SpriteClone("logo1", "LOGO1");     // its own name
    SpriteClone("LOGO6", "");          // empty source: a new sprite of width 0
    SpriteClone("", "LOGO1");          // empty name
    EXPECT_EQ(TestLiveSprites(), 2);
    EXPECT_EQ(TestRecord("LOGO2").cloneState, 1);
}

TEST_F(SpriteCloneTest, DeletingAClonesKeepsTheImage) {
    SpriteClone("LOGO2", "LOGO1");
    SpriteClone("LOGO3", "LOGO1");
    SpriteDelete("LOGO3");
    EXPECT_EQ(SprFindSprite("LOGO3"), 0);
    EXPECT_EQ(EngineState.SpriteTable[3].bitmap, nullptr);
    EXPECT_EQ(TestRecord("LOGO2").bitmap, TestRecord("LOGO1").bitmap);
    EXPECT_EQ(TestRecord("LOGO1").cloneState, -1);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().bitmaps, baseline.bitmaps + 1);

    SpriteDelete("LOGO2");
    EXPECT_EQ(TestRecord("LOGO1").cloneState, -1);  // stays a source
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().bitmaps, baseline.bitmaps + 1);
    SpriteDelete("LOGO1");
    EXPECT_EQ(TestLiveSprites(), 0);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().bitmaps, baseline.bitmaps);
}

TEST_F(SpriteCloneTest, DeletingTheSourceTakesItsClonesAndFreesTheImageOnce) {
    SpriteClone("LOGO2", "LOGO1");
    SpriteClone("LOGO3", "LOGO1");
    SprCreateSprite("OTHER", 4, 4, 1, -1, {});
    SpriteClone("OTHER2", "OTHER");
    SpriteDelete("LOGO1");
    EXPECT_EQ(SprFindSprite("LOGO1"), 0);
    EXPECT_EQ(SprFindSprite("LOGO2"), 0);
    EXPECT_EQ(SprFindSprite("LOGO3"), 0);
    for (int32_t slot = 1; slot <= 3; ++slot) {
        EXPECT_EQ(EngineState.SpriteTable[slot].bitmap, nullptr);
        EXPECT_EQ(EngineState.SpriteTable[slot].canvas, nullptr);
    }
    EXPECT_NE(SprFindSprite("OTHER2"), 0);  // another source's clone stays
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().bitmaps, baseline.bitmaps + 1);
    SpriteDelete("LOGO1");  // twice: nothing
    SpriteDelete("OTHER");
    EXPECT_EQ(TestLiveSprites(), 0);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().bitmaps, baseline.bitmaps);
}

TEST_F(SpriteCloneTest, FreedSlotsAreReusedLowestFirst) {
    SprCreateSprite("B", 2, 2, 1, -1, {});
    SprCreateSprite("C", 2, 2, 1, -1, {});
    SprCreateSprite("D", 2, 2, 1, -1, {});
    SpriteDelete("C");
    SpriteDelete("B");
    SprCreateSprite("E", 2, 2, 1, -1, {});
    SpriteClone("F", "LOGO1");
    SprCreateSprite("G", 2, 2, 1, -1, {});
    EXPECT_EQ(SprFindSprite("E"), 2);
    EXPECT_EQ(SprFindSprite("F"), 3);
    EXPECT_EQ(SprFindSprite("G"), 5);
}

// Deleting what is open for drawing first closes the drawing DC, so the image is
// really freed and a later SpriteEndDraw has nothing to prepare.
TEST_F(SpriteCloneTest, DeletingTheImageOpenForDrawingClosesIt) {
    struct {
        const char* open;
        const char* deleted;
    } const cases[] = {{"PLAIN", "PLAIN"}, {"LOGO1", "LOGO1"}, {"LOGO2", "LOGO1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.open);
        SpriteDelete("LOGO1");
        SprCreateSprite("LOGO1", 8, 8, 3, -1, {});
        SpriteClone("LOGO2", "LOGO1");
        SprCreateSprite("PLAIN", 4, 4, 1, -1, {});
        const GdiObjectCounts closed = PlatformLiveGdiObjects();
        HDC dc = nullptr;
        int32_t l = 0, t = 0, r = 0, b = 0;
        ASSERT_EQ(SpriteBeginDraw(c.open, 0, dc, l, t, r, b), 1);
        SpriteDelete(c.deleted);
        EXPECT_EQ(DrawContext.dc, nullptr);
        EXPECT_EQ(DrawContext.slot, 0);
        EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().dcs, closed.dcs);
        EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().bitmaps, closed.bitmaps - 1);
        SprCreateSprite("NEXT", 4, 4, 1, -1, {});  // takes the freed slot
        SpriteEndDraw(100);                         // nothing open any more
        EXPECT_EQ(TestRecord("NEXT").edgeBlend, 0.0f);
        SpriteDelete("NEXT");
        SpriteDelete("PLAIN");
    }
    SpriteDelete("LOGO1");
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), baseline.Total());
}

TEST_F(SpriteCloneTest, DeletingAnOpenCloneClosesTheDrawingButKeepsTheImage) {
    SpriteClone("LOGO2", "LOGO1");
    HDC dc = nullptr;
    int32_t l = 0, t = 0, r = 0, b = 0;
    ASSERT_EQ(SpriteBeginDraw("LOGO2", 1, dc, l, t, r, b), 1);
    SpriteDelete("LOGO2");
    EXPECT_EQ(DrawContext.dc, nullptr);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().bitmaps, baseline.bitmaps + 1);
    // The image is free again for drawing through its source.
    ASSERT_EQ(SpriteBeginDraw("LOGO1", 1, dc, l, t, r, b), 1);
    SpriteEndDraw(0);
}

}  // namespace

// What each command marks invalid on a canvas, read back from the canvas's update
// region: changed rectangles only, clipped to the client area, never on hidden or
// destroyed canvases, nothing while automatic invalidation is off.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>

#include "engine/sprites/sprites_internal.h"
#include "sprites_test_helpers.h"

namespace {

class InvalidateTest : public TwoCanvasesTest {
protected:
    void SetUp() override {
        TwoCanvasesTest::SetUp();
        SprCreateSprite("A", 10, 10, 3, -1, {});
        SpriteSetCanvas(canvas, "A");
        Validate();
    }
    // Puts A at (x, y) without marking anything.
    void Place(int32_t x, int32_t y) {
        SpriteSetAutoInvalidate(0);
        SpriteMove("A", x, y, 0);
        SpriteSetAutoInvalidate(1);
    }
};

TEST_F(InvalidateTest, MoveMarksOldAndNewRectangles) {
    struct {
        const char* what;
        int32_t fromX, fromY, x, y, relative;
        std::initializer_list<RECT> marked;
    } const cases[] = {
        {"absolute", 0, 0, 20, 30, 0, {{0, 0, 10, 10}, {20, 30, 30, 40}}},
        {"to where it is", 5, 5, 5, 5, 0, {{5, 5, 15, 15}}},
        {"relative by nothing", 5, 5, 0, 0, 1, {{5, 5, 15, 15}}},
        {"relative", 0, 0, 5, 0, 1, {{0, 0, 15, 10}}},
        {"partly outside", 50, 50, 95, 75, 0, {{50, 50, 60, 60}, {95, 75, 100, 80}}},
        {"above and left", 50, 50, -5, -6, 0, {{50, 50, 60, 60}, {0, 0, 5, 4}}},
        {"wholly outside", 0, 0, 200, 0, 0, {{0, 0, 10, 10}}},
        {"to the largest", 0, 0, INT32_MAX, INT32_MAX, 0, {{0, 0, 10, 10}}},
        {"by the largest", INT32_MAX - 5, 0, INT32_MAX, 0, 1, {}},
        {"by the smallest", INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, 1, {}},
        {"back from the smallest", INT32_MIN, 0, INT32_MIN, 0, 0, {}},
        {"from the smallest", INT32_MIN, 0, 0, 0, 0, {{0, 0, 10, 10}}},
    };
    for (const auto& c : cases) {
        Place(c.fromX, c.fromY);
        Validate();
        SpriteMove("A", c.x, c.y, c.relative);
        EXPECT_TRUE(UpdateRegionIs(canvas, c.marked)) << c.what;
    }
}

TEST_F(InvalidateTest, ShowMarksWhenVisibilityChanges) {
    SpriteShow("A", 7);
    EXPECT_TRUE(UpdateRegionIs(canvas, {{0, 0, 10, 10}}));
    Validate();
    SpriteShow("A", 1);
    EXPECT_TRUE(UpdateRegionIs(canvas, {}));
    SpriteShow("A", 0);
    EXPECT_TRUE(UpdateRegionIs(canvas, {{0, 0, 10, 10}}));
}

TEST_F(InvalidateTest, RefreshRulesOfOpacityFrameAndFlip) {
    struct {
        const char* what;
        std::function<void()> command;
        bool marks;
    } const steps[] = {
        {"opacity changed", [] { SpriteSetOpacity("A", 50, 1); }, true},
        {"opacity unchanged", [] { SpriteSetOpacity("A", 50, 1); }, false},
        {"opacity without refresh", [] { SpriteSetOpacity("A", 20, 0); }, false},
        {"frame changed", [] { SpriteSetFrame("A", 2, 0, 1); }, true},
        {"frame unchanged", [] { SpriteSetFrame("A", 2, 0, 1); }, false},
        {"frame without refresh", [] { SpriteSetFrame("A", -1, 1, 0); }, false},
        {"frame wrapped to the same", [] { SpriteSetFrame("A", 3, 1, 1); }, false},
        {"frame wrapped", [] { SpriteSetFrame("A", -1, 1, 1); }, true},
        {"flip", [] { SpriteSetFlip("A", 1, 1, 1); }, true},
        {"flip unchanged", [] { SpriteSetFlip("A", 1, 1, 1); }, true},
        {"flip without refresh", [] { SpriteSetFlip("A", 0, 0, 0); }, false},
    };
    for (const auto& step : steps) {
        Validate();
        step.command();
        if (step.marks) {
            EXPECT_TRUE(UpdateRegionIs(canvas, {{0, 0, 10, 10}})) << step.what;
        } else {
            EXPECT_TRUE(UpdateRegionIs(canvas, {})) << step.what;
        }
    }
}

TEST_F(InvalidateTest, MovingAVisibleSpriteToAnotherCanvas) {
    SpriteShow("A", 1);
    Place(20, 10);
    Validate();
    SpriteSetCanvas(canvas2, "A");
    EXPECT_TRUE(UpdateRegionIs(canvas, {{20, 10, 30, 20}}));
    EXPECT_TRUE(UpdateRegionIs(canvas2, {}));
    EXPECT_EQ(TestRecord("A").canvas, canvas2);
    EXPECT_EQ(TestRecord("A").visible, 0);

    SpriteShow("A", 1);
    EXPECT_TRUE(UpdateRegionIs(canvas2, {{20, 10, 30, 20}}));
    Validate();
    // Already on this canvas: hidden without marking.
    SpriteSetCanvas(canvas2, "A");
    EXPECT_EQ(TestRecord("A").visible, 0);
    EXPECT_TRUE(UpdateRegionIs(canvas2, {}));
    // A plain window is no canvas.
    SpriteShow("A", 1);
    Validate();
    SpriteSetCanvas(top, "A");
    EXPECT_EQ(TestRecord("A").canvas, canvas2);
    EXPECT_EQ(TestRecord("A").visible, 1);
}

TEST_F(InvalidateTest, AutoInvalidateOffChangesRecordsOnly) {
    SprCreateSprite("B", 10, 10, 1, -1, {});
    SpriteSetCanvas(canvas, "B");
    SpriteShow("B", 1);
    Validate();
    SpriteSetAutoInvalidate(0);
    SpriteMove("A", 3, 4, 0);
    SpriteShow("A", 1);
    SpriteSetOpacity("A", 40, 1);
    SpriteSetFrame("A", 2, 0, 1);
    SpriteSetFlip("A", 1, 0, 1);
    SpriteSetCanvas(canvas2, "B");
    SpriteDelete("A");
    EXPECT_TRUE(UpdateRegionIs(canvas, {}));
    EXPECT_TRUE(UpdateRegionIs(canvas2, {}));
    EXPECT_EQ(SprFindSprite("A"), 0);
    EXPECT_EQ(TestRecord("B").canvas, canvas2);
}

TEST_F(InvalidateTest, HiddenOrDestroyedCanvasMarksNothing) {
    ShowWindow(top, SW_HIDE);
    SpriteMove("A", 5, 5, 0);
    EXPECT_TRUE(UpdateRegionIs(canvas, {}));
    ShowWindow(top, SW_SHOW);

    SpriteShow("A", 1);
    DestroyWindow(canvas);
    SpriteMove("A", 1, 1, 1);
    SpriteSetFlip("A", 1, 0, 1);
    SpriteDelete("A");
    EXPECT_EQ(SprFindSprite("A"), 0);
}

TEST_F(InvalidateTest, DeletionMarksVisibleSpritesOnly) {
    SpriteShow("A", 1);
    SpriteDelete("A");
    EXPECT_TRUE(UpdateRegionIs(canvas, {{0, 0, 10, 10}}));

    SprCreateSprite("LOGO1", 10, 10, 1, -1, {});
    SpriteSetCanvas(canvas, "LOGO1");
    SpriteClone("LOGO2", "LOGO1");
    SpriteClone("LOGO3", "LOGO1");
    SpriteMove("LOGO2", 20, 0, 0);
    SpriteMove("LOGO3", 40, 0, 0);
    SpriteShow("LOGO2", 1);
    Validate();
    SpriteDelete("LOGO1");  // hidden source, one visible clone
    EXPECT_TRUE(UpdateRegionIs(canvas, {{20, 0, 30, 10}}));
    EXPECT_EQ(TestLiveSprites(), 0);
}

TEST_F(InvalidateTest, CloneOfAVisibleSpriteMarksNothing) {
    SpriteShow("A", 1);
    Validate();
    SpriteClone("A2", "A");
    EXPECT_EQ(TestRecord("A2").visible, 1);
    EXPECT_EQ(TestRecord("A2").canvas, canvas);
    EXPECT_TRUE(UpdateRegionIs(canvas, {}));
}

// x + width passes the 32-bit limit: the rectangle ends at the limit instead of
// wrapping to an empty or negative one.
TEST_F(InvalidateTest, WidestSpriteMarksToTheClientEdge) {
    SprCreateSprite("HUGE", INT32_MAX, INT32_MAX, 1, -1, {});
    SpriteSetCanvas(canvas, "HUGE");
    SpriteSetAutoInvalidate(0);
    SpriteMove("HUGE", 10, 20, 0);
    SpriteSetAutoInvalidate(1);
    SpriteShow("HUGE", 1);
    EXPECT_TRUE(UpdateRegionIs(canvas, {{10, 20, 100, 80}}));
}

// The rectangle itself: right and bottom stop at the 32-bit limit; a slot outside
// the table has the empty one.
TEST_F(InvalidateTest, SpriteRectStopsAtThe32BitLimits) {
    SpriteMove("A", INT32_MAX - 1, INT32_MIN, 0);
    RECT rect{};
    SprSpriteRect(SprFindSprite("A"), rect);
    EXPECT_EQ(rect.left, INT32_MAX - 1);
    EXPECT_EQ(rect.right, INT32_MAX);
    EXPECT_EQ(rect.top, INT32_MIN);
    EXPECT_EQ(rect.bottom, INT32_MIN + 10);
    for (const int32_t slot : {0, SprLastSlot() + 1}) {
        rect = RECT{1, 2, 3, 4};
        SprSpriteRect(slot, rect);
        EXPECT_EQ(rect.left, 0);
        EXPECT_EQ(rect.top, 0);
        EXPECT_EQ(rect.right, 0);
        EXPECT_EQ(rect.bottom, 0);
    }
}

TEST_F(InvalidateTest, InvalidateSpriteIgnoresSlotsOutsideTheTable) {
    SprInvalidateSprite(0);
    SprInvalidateSprite(-1);
    SprInvalidateSprite(SprLastSlot() + 1);
    SprInvalidateSprite(INT32_MAX);
    EXPECT_TRUE(UpdateRegionIs(canvas, {}));
}

}  // namespace

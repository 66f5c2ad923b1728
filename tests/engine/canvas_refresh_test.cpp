// Refreshing a canvas: painting the pending invalid area at once, in one paint.
#include "canvas_test_window.h"

namespace canvas_test {
namespace {

TEST_F(CanvasWindowTest, UpdateWithNothingInvalidDoesNotPaint) {
    AttachAndPaint();
    InstallOuterSpy();
    SpriteUpdateCanvas(canvas);
    EXPECT_EQ(Watch.outerPaints, 0);
    SpriteRedrawCanvas(canvas);
    EXPECT_EQ(Watch.outerPaints, 1);
    EXPECT_EQ(Watch.outerUpdateRect.right, kCanvasWidth);
    EXPECT_EQ(Watch.outerUpdateRect.bottom, kCanvasHeight);
    SpriteUpdateCanvas(canvas);
    EXPECT_EQ(Watch.outerPaints, 1);
}

struct HiddenCase {
    const char* name;
    bool hideCanvas;
    bool hideDialog;
    bool nullHandle;
};

class CanvasHiddenRefreshTest : public CanvasWindowTest,
                                public ::testing::WithParamInterface<HiddenCase> {};

// A hidden canvas gathers no invalid area (as on the real platform); a refresh of
// no window leaves what is pending as it is.
TEST_P(CanvasHiddenRefreshTest, RefreshDoesNothingUntilTheCanvasIsShown) {
    const HiddenCase& c = GetParam();
    AttachAndPaint();
    InstallOuterSpy();
    if (c.hideCanvas) ShowWindow(canvas, SW_HIDE);
    if (c.hideDialog) ShowWindow(dialog, SW_HIDE);
    const RECT part{3, 4, 20, 30};
    InvalidateRect(canvas, &part, FALSE);

    const HWND target = c.nullHandle ? nullptr : canvas;
    SpriteUpdateCanvas(target);
    SpriteRedrawCanvas(target);
    EXPECT_EQ(Watch.outerPaints, 0);
    RECT pending{};
    const bool hidden = c.hideCanvas || c.hideDialog;
    EXPECT_EQ(GetUpdateRect(canvas, &pending, FALSE), hidden ? FALSE : TRUE);
    if (!hidden) {
        // Exactly what was pending: the redraw did not invalidate the whole window.
        EXPECT_EQ(pending.left, part.left);
        EXPECT_EQ(pending.top, part.top);
        EXPECT_EQ(pending.right, part.right);
        EXPECT_EQ(pending.bottom, part.bottom);
    }

    ShowWindow(dialog, SW_SHOW);
    ShowWindow(canvas, SW_SHOW);
    SpriteUpdateCanvas(canvas);
    EXPECT_EQ(Watch.outerPaints, 1);
    EXPECT_FALSE(GetUpdateRect(canvas, &pending, FALSE));
    ExpectPicture();
}

INSTANTIATE_TEST_SUITE_P(Refresh, CanvasHiddenRefreshTest,
                         ::testing::Values(HiddenCase{"HiddenCanvas", true, false, false},
                                           HiddenCase{"HiddenParent", false, true, false},
                                           HiddenCase{"NullHandle", false, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

class CanvasUnionTest : public CanvasWindowTest, public ::testing::WithParamInterface<bool> {};

// Two invalidated rectangles reach the window in one paint, and only they change:
// the paint DC's clipping keeps the rest of their bounding box as it was.
TEST_P(CanvasUnionTest, OneUpdatePaintsTheUnionInOnePaint) {
    const bool withSprites = GetParam();
    if (withSprites) PutSprite(1, canvas, 0, 0, 4, 4, 0x00FF0000, 0);
    AttachAndPaint();
    InstallOuterSpy();

    // Change the snapshot behind the engine's back; only repainted pixels show it.
    const uint32_t fresh = 0x00336699;
    auto* snapshot = static_cast<uint32_t*>(Property(CanvasProperty::backgroundBits));
    ASSERT_NE(snapshot, nullptr);
    for (int32_t i = 0; i < kCanvasWidth * kCanvasHeight; ++i) snapshot[i] = fresh;

    const RECT first{2, 3, 10, 9};
    const RECT second{30, 20, 41, 33};
    InvalidateRect(canvas, &first, FALSE);
    InvalidateRect(canvas, &second, FALSE);
    SpriteUpdateCanvas(canvas);

    EXPECT_EQ(Watch.outerPaints, 1);
    EXPECT_EQ(Watch.outerUpdateRect.left, 2);
    EXPECT_EQ(Watch.outerUpdateRect.top, 3);
    EXPECT_EQ(Watch.outerUpdateRect.right, 41);
    EXPECT_EQ(Watch.outerUpdateRect.bottom, 33);
    auto inside = [](const RECT& r, int32_t x, int32_t y) {
        return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
    };
    ExpectClient([&](int32_t x, int32_t y, int32_t width) {
        return inside(first, x, y) || inside(second, x, y) ? fresh : PictureAt(x, width);
    });
}

INSTANTIATE_TEST_SUITE_P(Canvas, CanvasUnionTest, ::testing::Values(false, true),
                         [](const auto& info) {
                             return std::string(info.param ? "WithSprites" : "WithoutSprites");
                         });

}  // namespace
}  // namespace canvas_test

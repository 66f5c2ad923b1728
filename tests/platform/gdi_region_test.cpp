// Regions: creation, combination, bounding boxes and visibility tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <vector>

#include "gdi_test_helpers.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_surface.h"
#include "platform/testing/platform_testing.h"

namespace {

bool Contains(HRGN region, int x, int y) {
    return pixman_region32_contains_point(GdiRegionData(region), x, y, nullptr) != 0;
}

RECT BoxOf(HRGN region) {
    RECT box{-1, -1, -1, -1};
    GetRgnBox(region, &box);
    return box;
}

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(GdiRegion, CreateNormalisesCorners) {
    const int32_t start = PlatformLiveGdiObjects().regions;
    HRGN swapped = CreateRectRgn(10, 8, 2, 4);
    EXPECT_EQ(GetRgnBox(swapped, nullptr), ERROR);
    RECT box{};
    EXPECT_EQ(GetRgnBox(swapped, &box), SIMPLEREGION);
    EXPECT_TRUE((box == RECT{2, 4, 10, 8}));
    HRGN empty = CreateRectRgn(5, 5, 5, 9);
    EXPECT_EQ(GetRgnBox(empty, &box), NULLREGION);
    EXPECT_TRUE((box == RECT{0, 0, 0, 0}));
    HRGN huge = CreateRectRgn(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(GetRgnBox(huge, &box), SIMPLEREGION);
    EXPECT_TRUE((box == RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX}));
    EXPECT_EQ(PlatformLiveGdiObjects().regions, start + 3);
    for (HRGN region : {swapped, empty, huge}) EXPECT_TRUE(DeleteObject(region));
    EXPECT_EQ(GetRgnBox(swapped, &box), ERROR);
    EXPECT_EQ(GdiRegionData(swapped), nullptr);
    EXPECT_EQ(PlatformLiveGdiObjects().regions, start);
}

TEST(GdiRegion, CombineModes) {
    struct Case {
        int mode;
        int complexity;
        RECT box;
        bool in00, in77, in1212;  // points in a only, in both, in b only
    } cases[] = {
        {RGN_AND, SIMPLEREGION, {5, 5, 10, 10}, false, true, false},
        {RGN_OR, COMPLEXREGION, {0, 0, 15, 15}, true, true, true},
        {RGN_XOR, COMPLEXREGION, {0, 0, 15, 15}, true, false, true},
        {RGN_DIFF, COMPLEXREGION, {0, 0, 10, 10}, true, false, false},
        {RGN_COPY, SIMPLEREGION, {0, 0, 10, 10}, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode);
        HRGN a = CreateRectRgn(0, 0, 10, 10);
        HRGN b = CreateRectRgn(5, 5, 15, 15);
        HRGN out = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(CombineRgn(out, a, c.mode == RGN_COPY ? nullptr : b, c.mode), c.complexity);
        EXPECT_TRUE(BoxOf(out) == c.box);
        EXPECT_EQ(Contains(out, 0, 0), c.in00);
        EXPECT_EQ(Contains(out, 7, 7), c.in77);
        EXPECT_EQ(Contains(out, 12, 12), c.in1212);
        // The destination may be a source.
        EXPECT_EQ(CombineRgn(a, a, b, c.mode), c.complexity);
        EXPECT_TRUE(BoxOf(a) == c.box);
        for (HRGN region : {a, b, out}) DeleteObject(region);
    }
    HRGN a = CreateRectRgn(0, 0, 2, 2);
    HRGN far = CreateRectRgn(5, 5, 6, 6);
    EXPECT_EQ(CombineRgn(a, a, far, RGN_AND), NULLREGION);
    EXPECT_EQ(CombineRgn(a, a, far, 0), ERROR);
    EXPECT_EQ(CombineRgn(a, a, nullptr, RGN_OR), ERROR);
    EXPECT_EQ(CombineRgn(nullptr, a, far, RGN_OR), ERROR);
    DeleteObject(a);
    DeleteObject(far);
}

TEST(GdiRegion, RectVisibleMeansAnyPartInsideTheClip) {
    TestCanvas canvas(10, 10);
    HRGN clip = CreateRectRgn(2, 2, 6, 6);
    struct Case {
        RECT rect;
        bool clipped;    // visible with the clip selected
        bool unclipped;  // visible with the whole bitmap
    } cases[] = {
        {{0, 0, 3, 3}, true, true},     {{6, 6, 8, 8}, false, true},  // touches the clip's corner
        {{0, 2, 2, 6}, false, true},    {{5, 5, 4, 4}, true, true},   // swapped corners
        {{10, 0, 12, 5}, false, false}, {{3, 3, 3, 9}, false, false}, // empty
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, true, true}, {{-5, -5, 0, 0}, false, false},
    };
    SelectClipRgn(canvas.dc, clip);
    DeleteObject(clip);
    for (const Case& c : cases) EXPECT_EQ(RectVisible(canvas.dc, &c.rect), c.clipped) << c.rect.left << "," << c.rect.top;
    SelectClipRgn(canvas.dc, nullptr);
    for (const Case& c : cases) EXPECT_EQ(RectVisible(canvas.dc, &c.rect), c.unclipped) << c.rect.left << "," << c.rect.top;
    EXPECT_FALSE(RectVisible(nullptr, &cases[0].rect));
    EXPECT_FALSE(RectVisible(canvas.dc, nullptr));
    EXPECT_EQ(SelectClipRgn(canvas.dc, reinterpret_cast<HRGN>(canvas.bitmap)), ERROR);
}

// The band search must agree with pixman's own walk on clips of many bands and
// rectangles per band, including rectangles that only touch a clip's edge.
TEST(GdiRegion, RectVisibleAgreesWithPixmanOnComplexClips) {
    TestCanvas canvas(300, 300);
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        HRGN clip = CreateRectRgn(0, 0, 0, 0);
        for (int i = 0; i < 60; ++i) {
            const int x = static_cast<int>(random() % 290), y = static_cast<int>(random() % 290);
            HRGN piece = CreateRectRgn(x, y, x + 1 + static_cast<int>(random() % 40), y + 1 + static_cast<int>(random() % 40));
            CombineRgn(clip, clip, piece, random() % 4 == 0 ? RGN_DIFF : RGN_OR);
            DeleteObject(piece);
        }
        SelectClipRgn(canvas.dc, clip);
        for (int i = 0; i < 300; ++i) {
            const int x = static_cast<int>(random() % 320) - 10, y = static_cast<int>(random() % 320) - 10;
            const RECT rect{x, y, x + 1 + static_cast<int>(random() % 30), y + 1 + static_cast<int>(random() % 30)};
            const pixman_box32_t box{std::max<int32_t>(rect.left, 0), std::max<int32_t>(rect.top, 0), std::min<int32_t>(rect.right, 300),
                                     std::min<int32_t>(rect.bottom, 300)};
            const bool expected = box.x1 < box.x2 && box.y1 < box.y2 &&
                                  pixman_region32_contains_rectangle(GdiRegionData(clip), &box) != PIXMAN_REGION_OUT;
            ASSERT_EQ(RectVisible(canvas.dc, &rect) != FALSE, expected)
                << "round " << round << ", rect " << x << "," << y << " " << rect.right << "," << rect.bottom;
        }
        DeleteObject(clip);
    }
}

// The sweep must give pixman's own region, rectangle for rectangle: dense heaps of
// moving sprite boxes, sparse ones, touching and nested boxes, empty boxes and
// coordinates at the 32-bit limits.
TEST(GdiRegion, BoxesJoinToPixmansRegion) {
    std::mt19937 random(11);
    const auto expectSame = [](const std::vector<pixman_box32_t>& boxes, int round) {
        pixman_region32_t swept, joined;
        GdiRegionFromBoxes(&swept, boxes.data(), boxes.size());
        pixman_region32_init_rects(&joined, boxes.data(), static_cast<int>(boxes.size()));
        EXPECT_TRUE(pixman_region32_equal(&swept, &joined)) << "round " << round;
        EXPECT_EQ(pixman_region32_n_rects(&swept), pixman_region32_n_rects(&joined)) << "round " << round;
        pixman_region32_fini(&swept);
        pixman_region32_fini(&joined);
    };
    for (int round = 0; round < 60; ++round) {
        std::vector<pixman_box32_t> boxes;
        const int count = 1 + static_cast<int>(random() % 400);
        const int span = round % 3 == 0 ? 64 : round % 3 == 1 ? 400 : 4000;  // dense to sparse
        const int size = 1 + static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            const int x = static_cast<int>(random() % span), y = static_cast<int>(random() % span);
            const int w = round % 2 ? size : static_cast<int>(random() % 40);  // width 0: empty
            boxes.push_back({x, y, x + w, y + size});
            const int dx = static_cast<int>(random() % 9) - 4, dy = static_cast<int>(random() % 9) - 4;
            boxes.push_back({x + dx, y + dy, x + dx + w, y + dy + size});
        }
        expectSame(boxes, round);
    }
    expectSame({}, -1);
    expectSame({{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {0, 0, 5, 5}, {INT32_MAX - 1, 0, INT32_MAX, 1}}, -2);
    expectSame({{0, 0, 10, 10}, {10, 0, 20, 10}, {0, 10, 20, 20}, {5, 5, 6, 6}, {3, 3, 1, 1}}, -3);
}

TEST(GdiRegion, SelectingARegionObjectSetsTheClip) {
    TestCanvas canvas(10, 10);
    HRGN clip = CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(reinterpret_cast<intptr_t>(SelectObject(canvas.dc, clip)), SIMPLEREGION);
    const RECT away{5, 5, 6, 6};
    EXPECT_FALSE(RectVisible(canvas.dc, &away));
    DeleteObject(clip);
}

// A clip at the 32-bit limits on a DC with an origin must not overflow.
TEST(GdiRegion, ExtremeClipOnAWindowDC) {
    uint32_t* pixels = nullptr;
    HBITMAP surface = GdiCreateSurfaceBitmap(4, 4, &pixels);
    HDC dc = GdiCreateWindowDC(nullptr, surface, POINT{2, 2}, nullptr);
    HRGN huge = CreateRectRgn(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(SelectClipRgn(dc, huge), SIMPLEREGION);
    const RECT last{1, 1, 2, 2};
    EXPECT_TRUE(RectVisible(dc, &last));
    const RECT outside{2, 2, 3, 3};
    EXPECT_FALSE(RectVisible(dc, &outside));
    DeleteObject(huge);
    GdiDeleteWindowDC(dc);
    GdiDeleteSurfaceBitmap(surface);
}

}  // namespace

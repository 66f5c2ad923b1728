// Region arithmetic with kept rectangle arrays: every result equals pixman's own,
// is a well-formed pixman region whatever arrays were reused, shown smaller or
// shrunk on the way, and operands are never changed.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "platform/gdi/gdi_surface.h"

namespace {

// A region of `count` random boxes in a 600 x 400 area, built by pixman alone.
void RandomRegion(std::mt19937& random, int count, pixman_region32_t* out) {
    pixman_region32_init(out);
    for (int i = 0; i < count; ++i) {
        const int x = static_cast<int>(random() % 600);
        const int y = static_cast<int>(random() % 400);
        const unsigned w = 1 + random() % 120;
        const unsigned h = 1 + random() % 120;
        pixman_region32_union_rect(out, out, x, y, w, h);
    }
}

// What pixman itself gives for the operation, in a region of its own.
void Expected(GdiRegionOp op, pixman_region32_t* a, pixman_region32_t* b, pixman_region32_t* out) {
    pixman_region32_init(out);
    switch (op) {
        case GdiRegionOp::Union: pixman_region32_union(out, a, b); break;
        case GdiRegionOp::Intersect: pixman_region32_intersect(out, a, b); break;
        case GdiRegionOp::Subtract: pixman_region32_subtract(out, a, b); break;
    }
}

::testing::AssertionResult WellFormed(pixman_region32_t* region) {
    if (!pixman_region32_selfcheck(region)) return ::testing::AssertionFailure() << "malformed region";
    if (region->data != nullptr && region->data->size != 0 && region->data->size < region->data->numRects) {
        return ::testing::AssertionFailure() << "array of " << region->data->size << " slots holds "
                                             << region->data->numRects << " rectangles";
    }
    return ::testing::AssertionSuccess();
}

// Seeded random operands from empty and single boxes to several hundred
// rectangles (past the pool's array size), every operation, into a separate
// destination and into either operand, with the destination holding whatever the
// last round left in it. Run many rounds, so arrays go round the pool.
TEST(GdiRegionStorage, ResultsEqualPixmansOwnWhateverArraysAreReused) {
    constexpr GdiRegionOp kOps[] = {GdiRegionOp::Union, GdiRegionOp::Intersect, GdiRegionOp::Subtract};
    constexpr int kSizes[] = {0, 1, 2, 6, 20, 60, 250};
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        std::mt19937 random(seed);
        pixman_region32_t kept;
        pixman_region32_init(&kept);
        for (int round = 0; round < 30; ++round) {
            pixman_region32_t a, b, expected;
            RandomRegion(random, kSizes[random() % 7], &a);
            RandomRegion(random, kSizes[random() % 7], &b);
            const GdiRegionOp op = kOps[random() % 3];
            Expected(op, &a, &b, &expected);
            const int into = static_cast<int>(random() % 3);  // 0: kept, 1: a, 2: b
            pixman_region32_t* dst = into == 0 ? &kept : into == 1 ? &a : &b;
            pixman_region32_t before;
            pixman_region32_init(&before);
            pixman_region32_copy(&before, into == 1 ? &b : &a);  // the operand that must not change
            ASSERT_TRUE(GdiRegionCombine(dst, &a, &b, op));
            ASSERT_TRUE(WellFormed(dst));
            ASSERT_TRUE(pixman_region32_equal(dst, &expected)) << "round " << round << " op " << int(op);
            ASSERT_TRUE(pixman_region32_equal(into == 1 ? &b : &a, &before));
            if (into != 0) {
                ASSERT_TRUE(GdiRegionCopy(&kept, dst));
            }
            ASSERT_TRUE(pixman_region32_equal(&kept, &expected));
            ASSERT_TRUE(WellFormed(&kept));
            // An operation with itself, and the result cleared or kept for the next round.
            ASSERT_TRUE(GdiRegionCombine(&b, &a, &a, op));
            ASSERT_TRUE(WellFormed(&b));
            if (random() % 4 == 0) GdiRegionClear(&kept);
            pixman_region32_fini(&before);
            pixman_region32_fini(&expected);
            GdiRegionClear(&a);
            pixman_region32_fini(&b);
        }
        GdiRegionClear(&kept);
    }
}

// Regions whose result pixman joins into one rectangle, or empties: the cases in
// which it would free a destination's array.
TEST(GdiRegionStorage, ResultsOfOneRectangleOrNone) {
    struct Case {
        pixman_box32_t a, b;
        GdiRegionOp op;
        int rects;
    };
    const Case cases[] = {
        {{0, 0, 10, 10}, {0, 10, 10, 20}, GdiRegionOp::Union, 1},       // stacked, same columns
        {{0, 0, 10, 10}, {5, 0, 20, 10}, GdiRegionOp::Union, 1},        // overlapping, same rows
        {{0, 0, 10, 10}, {10, 5, 20, 15}, GdiRegionOp::Union, 3},       // side by side, offset
        {{0, 0, 10, 10}, {2, 2, 4, 4}, GdiRegionOp::Union, 1},          // one inside the other
        {{0, 0, 10, 10}, {20, 20, 30, 30}, GdiRegionOp::Intersect, 0},  // apart
        {{0, 0, 10, 10}, {0, 0, 10, 10}, GdiRegionOp::Subtract, 0},     // all of it
        {{0, 0, 10, 10}, {0, 0, 10, 5}, GdiRegionOp::Subtract, 1},      // the top half
    };
    for (const Case& c : cases) {
        pixman_region32_t a, b, dst;
        pixman_region32_init_with_extents(&a, &c.a);
        pixman_region32_init_with_extents(&b, &c.b);
        pixman_region32_init(&dst);
        // A destination that holds an array beforehand.
        pixman_region32_t many;
        std::mt19937 random(7);
        RandomRegion(random, 40, &many);
        ASSERT_TRUE(GdiRegionCopy(&dst, &many));
        ASSERT_TRUE(GdiRegionCombine(&dst, &a, &b, c.op));
        EXPECT_TRUE(WellFormed(&dst));
        EXPECT_EQ(pixman_region32_n_rects(&dst), c.rects);
        pixman_region32_t expected;
        Expected(c.op, &a, &b, &expected);
        EXPECT_TRUE(pixman_region32_equal(&dst, &expected));
        pixman_region32_fini(&expected);
        pixman_region32_fini(&many);
        GdiRegionClear(&dst);
    }
}

}  // namespace

// List commands on the records: list syntax, value normalisation, frame wrapping
// and the 32-bit limits. Marking of rectangles is in sprites_invalidate_test.cpp.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/sprites/sprites_internal.h"
#include "engine_fixture.h"
#include "sprites_test_helpers.h"

namespace {

class SpriteCommandsTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        SprCreateSprite("A", 4, 4, 3, -1, {});
        SprCreateSprite("B", 4, 4, 3, -1, {});
        ASSERT_EQ(SprFindSprite("B"), 2);
    }
    int32_t X(const char* name) {
        int32_t x = 0, y = 0;
        SpriteGetPosition(name, x, y);
        return x;
    }
};

// The slots a list names, in list order: empty items and unknown names name none.
TEST_F(SpriteCommandsTest, ListItemsNameSlotsInOrder) {
    struct {
        const char* list;
        std::vector<int32_t> slots;
    } const cases[] = {
        {"A|B", {1, 2}},   {"A||B", {1, 2}},  {"  b  ", {2}},     {"", {}},
        {"A|", {1}},       {"|A", {1}},       {" ", {}},          {"C|A", {1}},
        {"A\t", {}},       // only spaces are trimmed
        {"a_longer_name|b", {2}}, {"A| b |a", {1, 2, 1}},
    };
    for (const auto& c : cases) {
        std::vector<int32_t> slots;
        SprForEachListed(c.list, [&slots](int32_t slot) { slots.push_back(slot); });
        EXPECT_EQ(slots, c.slots) << '"' << c.list << '"';
    }
}

TEST_F(SpriteCommandsTest, ListAppliesInOrderAndRepeats) {
    SpriteMove("A| b |a", 1, 0, 1);
    EXPECT_EQ(X("A"), 2);
    EXPECT_EQ(X("B"), 1);
    SpriteMove("A||B|", 10, 0, 1);
    EXPECT_EQ(X("A"), 12);
    EXPECT_EQ(X("B"), 11);
    SpriteMove("", 5, 5, 0);
    SpriteMove("NOSUCH|", 5, 5, 0);
    EXPECT_EQ(X("A"), 12);
}

TEST_F(SpriteCommandsTest, LongListIsWalkedOnce) {
    std::string list = "A";
    for (int32_t i = 1; i < 10000; ++i) list += (i % 2) ? "|b" : "|A";
    SpriteMove(list, 1, 0, 1);
    EXPECT_EQ(X("A"), 5000);
    EXPECT_EQ(X("B"), 5000);
}

TEST_F(SpriteCommandsTest, FrameWraps) {
    struct {
        int32_t from, frame, relative, expected;
    } const cases[] = {
        {1, 0, 0, 3},  {1, 4, 0, 1},   {1, 2, 0, 2},  {3, 1, 1, 1},  {1, -1, 1, 3},
        {1, 5, 1, 1},  {1, -5, 1, 3},  {2, 0, 1, 2},  {1, 1, 1, 2},
        {1, INT32_MAX, 0, 1}, {1, INT32_MIN, 0, 3},
        {3, INT32_MAX, 1, 1}, {1, INT32_MIN, 1, 3}, {3, INT32_MIN, 1, 3},
    };
    for (const auto& c : cases) {
        SpriteSetFrame("A", c.from, 0, 0);
        SpriteSetFrame("A", c.frame, c.relative, 0);
        int32_t frames = 0, current = 0;
        EXPECT_EQ(SpriteGetFrame("A", frames, current), 1);
        EXPECT_EQ(frames, 3);
        EXPECT_EQ(current, c.expected)
            << "from " << c.from << " frame " << c.frame << " relative " << c.relative;
    }
}

TEST_F(SpriteCommandsTest, OpacityStoresTranslucency) {
    const int32_t cases[][2] = {{150, 0}, {-20, 0}, {50, 50}, {1, 99}, {100, 0},
                                {0, 0},   {30, 70}, {INT32_MIN, 0}, {INT32_MAX, 0}};
    for (const auto& c : cases) {
        SpriteSetOpacity("A", 50, 0);
        SpriteSetOpacity("A", c[0], 0);
        EXPECT_EQ(TestRecord("A").translucency, c[1]) << "opacity " << c[0];
    }
}

TEST_F(SpriteCommandsTest, ShowAndFlipAreNormalised) {
    SpriteShow("A", 7);
    EXPECT_EQ(TestRecord("A").visible, 1);
    SpriteShow("A", 0);
    EXPECT_EQ(TestRecord("A").visible, 0);
    SpriteSetFlip("A|B", 5, -1, 0);
    EXPECT_EQ(TestRecord("B").flipHorizontal, 1);
    EXPECT_EQ(TestRecord("B").flipVertical, 1);
    SpriteSetFlip("A", 0, 2, 0);
    EXPECT_EQ(TestRecord("A").flipHorizontal, 0);
    EXPECT_EQ(TestRecord("A").flipVertical, 1);
}

// Relative moves stop at the 32-bit limits instead of wrapping around.
TEST_F(SpriteCommandsTest, MovesSaturateAtThe32BitLimits) {
    struct {
        int32_t fromX, fromY, x, y, relative, toX, toY;
    } const cases[] = {
        {0, 0, INT32_MAX, INT32_MIN, 0, INT32_MAX, INT32_MIN},
        {INT32_MAX - 1, INT32_MIN + 1, 10, -10, 1, INT32_MAX, INT32_MIN},
        {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, 1, INT32_MAX, INT32_MAX},
        {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, 1, INT32_MIN, INT32_MIN},
        {INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX, 1, -1, -1},
        {5, 5, -3, 2, 1, 2, 7},
    };
    for (const auto& c : cases) {
        SpriteMove("A", c.fromX, c.fromY, 0);
        SpriteMove("A", c.x, c.y, c.relative);
        int32_t x = 0, y = 0;
        SpriteGetPosition("A", x, y);
        EXPECT_EQ(x, c.toX);
        EXPECT_EQ(y, c.toY);
    }
}

TEST_F(SpriteCommandsTest, AutoInvalidateSwitch) {
    SpriteSetAutoInvalidate(0);
    EXPECT_EQ(EngineState.autoInvalidate, 0);
    SpriteSetAutoInvalidate(-3);
    EXPECT_EQ(EngineState.autoInvalidate, 1);
}

TEST_F(SpriteCommandsTest, SetCanvasRefusesWhatIsNotACanvas) {
    SpriteShow("A", 1);
    SpriteSetCanvas(nullptr, "A");
    SpriteSetCanvas(reinterpret_cast<HWND>(0x1234), "A");
    EXPECT_EQ(TestRecord("A").canvas, nullptr);
    EXPECT_EQ(TestRecord("A").visible, 1);
}

}  // namespace

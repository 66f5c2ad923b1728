// Queries and drawing order: every query and flag letter, missing sprites,
// and SpriteSwap changing which sprite the compositor draws on top.
#include <gtest/gtest.h>

#include <cstdint>

#include "engine/render/compositor.h"
#include "engine/sprites/sprites_internal.h"
#include "engine_fixture.h"
#include "sprites_test_helpers.h"

namespace {

class SpriteQueriesTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        SprCreateSprite("Q", 6, 5, 3, -1, {});
        ASSERT_EQ(SprFindSprite("Q"), 1);
    }
};

TEST_F(SpriteQueriesTest, EveryQueryReadsItsFields) {
    SpriteMove("Q", -4, 9, 0);
    SpriteSetFrame("Q", 2, 0, 0);
    SpriteShow("Q", 1);
    SpriteSetOpacity("Q", 30, 0);
    SpriteSetFlip("Q", 0, 1, 0);
    struct {
        SprQuery query;
        int32_t result, first, second;
    } const cases[] = {
        {SprQuery::position, 1, -4, 9},       {SprQuery::size, 1, 6, 5},
        {SprQuery::frames, 1, 3, 2},          {SprQuery::visible, 1, -7, -7},
        {SprQuery::translucency, 70, -7, -7}, {SprQuery::flipHorizontal, 0, -7, -7},
        {SprQuery::flipVertical, 1, -7, -7},  {SprQuery::none, 0, -7, -7},
    };
    for (const auto& c : cases) {
        const int32_t code = static_cast<int32_t>(c.query);
        int32_t first = -7, second = -7;
        EXPECT_EQ(SprQuerySprite("q", first, second, c.query), c.result) << "query " << code;
        EXPECT_EQ(first, c.first) << "query " << code;
        EXPECT_EQ(second, c.second) << "query " << code;
    }
}

TEST_F(SpriteQueriesTest, MissingSpriteGivesZeros) {
    for (SprQuery query : {SprQuery::position, SprQuery::size, SprQuery::frames, SprQuery::visible,
                           SprQuery::translucency, SprQuery::none}) {
        int32_t first = -7, second = -7;
        EXPECT_EQ(SprQuerySprite("NOSUCH", first, second, query), 0);
        EXPECT_EQ(first, 0);
        EXPECT_EQ(second, 0);
    }
    SpriteMove("Q", 3, 4, 0);
    SpriteDelete("Q");
    int32_t x = -1, y = -1;
    EXPECT_EQ(SpriteGetPosition("Q", x, y), 0);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(SpriteGetSize("", x, y), 0);
    EXPECT_EQ(SpriteGetFlag("Q", "V"), 0);
}

TEST_F(SpriteQueriesTest, NewSpriteReadsBack) {
    int32_t a = -1, b = -1;
    EXPECT_EQ(SpriteGetPosition("Q", a, b), 1);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(SpriteGetSize("Q", a, b), 1);
    EXPECT_EQ(a, 6);
    EXPECT_EQ(b, 5);
    EXPECT_EQ(SpriteGetFrame("Q", a, b), 1);
    EXPECT_EQ(a, 3);
    EXPECT_EQ(b, 1);
}

TEST_F(SpriteQueriesTest, FlagLetters) {
    SpriteShow("Q", 1);
    SpriteSetOpacity("Q", 30, 0);
    SpriteSetFlip("Q", 1, 0, 0);
    struct {
        const char* letter;
        int32_t value;
    } const cases[] = {
        {"V", 1},  {"v", 1},  {"  v ", 1}, {"E", 70}, {"e", 70}, {">", 1}, {" > ", 1},
        {"^", 0},  {"VIS", 0}, {"", 0},    {"X", 0},  {"  ", 0}, {"V|E", 0}, {"\tV", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(SpriteGetFlag("Q", c.letter), c.value) << '"' << c.letter << '"';
    SpriteSetFlip("Q", 0, 1, 0);
    EXPECT_EQ(SpriteGetFlag("Q", "^"), 1);
    EXPECT_EQ(SpriteGetFlag("Q", ">"), 0);
}

// Composes a 4 x 1 strip of the back buffer over a black background with the
// sprites of canvas 0 and returns its pixel at column 1.
uint32_t ComposedPixel() {
    BYTE* bits = nullptr;
    HBITMAP background = SprCreateDIB(nullptr, 32, 8, 8, bits);
    HDC dc = CreateCompatibleDC(nullptr);
    SprComposeCanvas(nullptr, background, dc, 0, 0, 4, 1, nullptr, nullptr);
    DeleteDC(dc);
    DeleteObject(background);
    return TestBackPixel(1, 0) & 0x00FFFFFFu;
}

TEST_F(SpriteQueriesTest, SwapChangesWhatIsDrawnOnTop) {
    SpriteDelete("Q");
    ASSERT_EQ(TestPutSprite(1, "RED", 4, 4, 1, 0x00FF0000u), 1);
    ASSERT_EQ(TestPutSprite(5, "BLUE", 4, 4, 1, 0x000000FFu), 5);
    EXPECT_EQ(ComposedPixel(), 0x000000FFu);  // higher slot on top
    SpriteSwap("red", "BLUE");
    EXPECT_EQ(SprFindSprite("RED"), 5);
    EXPECT_EQ(SprFindSprite("BLUE"), 1);
    EXPECT_EQ(TestRecord("RED").transparentColor, kTestKey);
    EXPECT_EQ(ComposedPixel(), 0x00FF0000u);
    // Creation still takes the lowest free slot.
    SprCreateSprite("NEW", 2, 2, 1, -1, {});
    EXPECT_EQ(SprFindSprite("NEW"), 2);
}

TEST_F(SpriteQueriesTest, SwapRefusals) {
    SprCreateSprite("R", 2, 2, 1, -1, {});
    SpriteSwap("Q", "NOSUCH");
    SpriteSwap("", "Q");
    SpriteSwap("Q", "q");
    EXPECT_EQ(SprFindSprite("Q"), 1);
    EXPECT_EQ(SprFindSprite("R"), 2);
}

TEST_F(SpriteQueriesTest, SwapKeepsClonesAndTheOpenImageWithTheirSprites) {
    SpriteClone("QCLONE", "Q");
    SprCreateSprite("R", 6, 5, 1, -1, {});
    HDC dc = nullptr;
    int32_t l = 0, t = 0, r = 0, b = 0;
    ASSERT_EQ(SpriteBeginDraw("Q", 0, dc, l, t, r, b), 1);
    SpriteSwap("Q", "R");
    SpriteEndDraw(80);
    EXPECT_FLOAT_EQ(TestRecord("Q").edgeBlend, 0.8f);
    EXPECT_EQ(TestRecord("R").edgeBlend, 0.0f);
    // Deleting the source still takes its clone, wherever the slots are.
    SpriteDelete("Q");
    EXPECT_EQ(SprFindSprite("QCLONE"), 0);
    EXPECT_NE(SprFindSprite("R"), 0);
}

}  // namespace

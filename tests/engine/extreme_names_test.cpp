// Names and lists of any bytes: NUL bytes, bytes above 127, names far longer than
// the eight bytes that count, and lists of 10,000 items.
#include <string>

#include "extreme_fixture.h"

namespace {

using namespace std::string_literals;

TEST_F(ExtremeInputTest, NamesOfAnyBytes) {
    const struct {
        std::string created, lookedUp;
        bool found;
    } cases[] = {
        {"A\0B"s, "A\0B"s, true},
        {"A\0B"s, "A"s, false},
        {"A"s, "A\0\0"s, true},  // zero bytes pad every key
        {"\0AB"s, "\0ab"s, true},
        {"\xE9t\xE9"s, "\xC9T\xC9"s, true},  // upper-cased by the ANSI code page
        {"\xFF"s, "\x9F"s, true},
        {"\x80\x81\x8D\xA0"s, "\x80\x81\x8D\xA0"s, true},
        {"abcdefgh\xE9\0z"s, "ABCDEFGH"s, true},
        {std::string(100000, 'q'), "QQQQQQQQ"s, true},
    };
    for (const auto& c : cases) {
        TestMakeSprite(c.created, 4, 4);
        EXPECT_EQ(SprFindSprite(c.created) != 0, true);
        EXPECT_EQ(SprFindSprite(c.lookedUp) != 0, c.found);
        int32_t x = 7, y = 7;
        EXPECT_EQ(SpriteGetPosition(c.lookedUp, x, y), c.found ? 1 : 0);
        SpriteDelete(c.created);
        EXPECT_EQ(SprFindSprite(c.created), 0);
    }
    ExpectSound("names");
}

TEST_F(ExtremeInputTest, NamesWhoseKeyIsZeroAreRefused) {
    for (const std::string& name : {""s, "\0"s, std::string(8, '\0') + "X", "\0\0\0"s}) {
        TestMakeSprite(name, 4, 4);
        SpriteClone(name, "NONE");
        for (int32_t slot = 1; slot <= SprLastSlot(); ++slot)
            EXPECT_EQ(EngineState.SpriteTable[slot].nameKey, 0) << name.size();
    }
    TestMakeSprite("SRC", 4, 4);
    SpriteClone(std::string(9, '\0'), "SRC");
    EXPECT_EQ(EngineState.SpriteTable[2].nameKey, 0);
    ExpectSound("zero keys");
}

// The names that collision and point tests return must find the sprites they
// name again, whatever bytes the names hold.
TEST_F(ExtremeInputTest, ReturnedNamesFindTheirSprites) {
    const std::string names[] = {"A\0B"s, "\0AB"s, "lower"s, "\xE9\xFF\x80"s, "TWELVE_BYTES"s, "x\0\0\0\0\0\0y"s};
    TestMakeSprite("HIT", 8, 8);
    SpriteSetCanvas(canvas, "HIT");
    SpriteShow("HIT", 1);
    for (const std::string& name : names) {
        TestMakeSprite(name, 8, 8);
        SpriteSetCanvas(canvas, name);
        SpriteShow(name, 1);
        const std::string collided = SpriteCollisions("HIT");
        EXPECT_EQ(SprFindSprite(collided), SprFindSprite(name)) << "returned " << collided.size() << " bytes";
        const std::string top = SpriteAtPoint(canvas, 3, 3);
        EXPECT_EQ(SprFindSprite(top), SprFindSprite(name));
        // A returned name passes through the list commands to its own sprite.
        SpriteMove(collided, 1, 0, 1);
        int32_t x = 0, y = 0;
        SpriteGetPosition(name, x, y);
        EXPECT_EQ(x, 1);
        SpriteDelete(name);
    }
    ExpectSound("returned names");
}

class FullTableTest : public ExtremeInputTest {
protected:
    int32_t Slots() const override { return 1000; }
};

TEST_F(FullTableTest, ListsOfTenThousandItems) {
    TestMakeSprite("S0", 2, 2);
    for (int i = 1; i < 1000; ++i) SpriteClone("S" + std::to_string(i), "S0");
    ASSERT_NE(SprFindSprite("S999"), 0);

    // Every sprite named ten times, with blanks: each moves by ten.
    std::string list;
    for (int i = 0; i < 10000; ++i) list += (i ? "| " : " ") + ("s" + std::to_string(i % 1000)) + " ";
    SpriteMove(list, 1, 2, 1);
    for (const char* name : {"S0", "S500", "S999"}) {
        int32_t x = 0, y = 0;
        SpriteGetPosition(name, x, y);
        EXPECT_EQ(x, 10) << name;
        EXPECT_EQ(y, 20) << name;
    }
    // Items that name nothing, and separators only, change nothing.
    std::string nothing;
    for (int i = 0; i < 10000; ++i) nothing += (i % 3 == 0 ? "|" : i % 3 == 1 ? "NOPE" + std::to_string(i) + "|" : " |");
    const std::string separators(9999, '|');
    for (const std::string& l : {nothing, separators}) {
        SpriteMove(l, 5, 5, 1);
        SpriteShow(l, 1);
        SpriteSetOpacity(l, 50, 1);
        SpriteSetFrame(l, 2, 1, 1);
        SpriteSetFlip(l, 1, 1, 1);
        SpriteSetCanvas(canvas, l);
    }
    int32_t x = 0, y = 0;
    SpriteGetPosition("S7", x, y);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(SpriteGetFlag("S7", "V"), 0);
    EXPECT_EQ(SpriteGetFlag("S7", "E"), 0);

    // The whole table on the canvas, shown, painted and hit-tested.
    SpriteSetCanvas(canvas, list);
    SpriteShow(list, 1);
    SpriteRedrawCanvas(canvas);
    std::string all;
    for (int i = 1; i < 1000; ++i) all += (i > 1 ? "|S" : "S") + std::to_string(i);
    EXPECT_EQ(SpriteCollisions("S0"), all);
    EXPECT_EQ(SpriteAtPoint(canvas, 10, 20), "S999");
    // A full table refuses one more, and deleting the source takes every clone.
    TestMakeSprite("MORE", 2, 2);
    EXPECT_EQ(SprFindSprite("MORE"), 0);
    SpriteDelete("S0");
    for (int32_t slot = 1; slot <= SprLastSlot(); ++slot) EXPECT_EQ(EngineState.SpriteTable[slot].nameKey, 0);
    ExpectSound("full table");
}

}  // namespace

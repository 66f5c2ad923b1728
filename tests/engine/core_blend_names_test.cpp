// Blend tables, name keys and lookup.
#include <gtest/gtest.h>

#include <string>

#include "engine/core/blend_tables.h"
#include "engine_fixture.h"

namespace {

using BlendTest = EngineTest;

// The blend rule as the compositor applies it: source s at weight w, d at 100 - w.
int Blend(int w, int s, int d) {
    const auto& t = EngineState.BlendTables;
    return t.DivTable[t.MulTable[w * 256 + s] + t.MulTable[(100 - w) * 256 + d]];
}

TEST_F(BlendTest, TableContents) {
    const auto& t = EngineState.BlendTables;
    ASSERT_EQ(t.MulTable.size(), 25857u);
    ASSERT_EQ(t.DivTable.size(), 25501u);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(t.DivTable[i], 0) << i;
    EXPECT_EQ(t.DivTable[100], 1);
    EXPECT_EQ(t.DivTable[199], 1);
    EXPECT_EQ(t.DivTable[200], 2);
    EXPECT_EQ(t.DivTable[25499], 254);
    EXPECT_EQ(t.DivTable[25500], 255);
    for (int v = 0; v < 256; ++v) {
        ASSERT_EQ(t.MulTable[v], 0) << v;
        ASSERT_EQ(t.MulTable[100 * 256 + v], 100 * v) << v;
        ASSERT_EQ(t.MulTable[37 * 256 + v], 37 * v) << v;
    }
    EXPECT_EQ(t.MulTable[25856], 0);
}

TEST_F(BlendTest, BlendValues) {
    const struct {
        int w, s, d, result;
    } cases[] = {
        {50, 255, 0, 127}, {50, 1, 0, 0},     {50, 0, 255, 127}, {100, 77, 200, 77},
        {0, 77, 200, 200}, {30, 200, 100, 130}, {1, 255, 0, 2},  {99, 0, 255, 2},
        {25, 201, 0, 50},  {75, 10, 250, 70},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Blend(c.w, c.s, c.d), c.result) << c.w << " " << c.s << " " << c.d;
    for (int w = 0; w <= 100; ++w)
        for (int v : {0, 1, 128, 254, 255}) ASSERT_EQ(Blend(w, v, v), v) << w << " " << v;
}

TEST_F(BlendTest, RebuildAndFree) {
    SprBuildBlendTables();  // discards the tables that exist
    EXPECT_EQ(EngineState.BlendTables.MulTable.size(), 25857u);
    EXPECT_EQ(Blend(50, 255, 0), 127);
    SprFreeBlendTables();
    EXPECT_TRUE(EngineState.BlendTables.MulTable.empty());
    EXPECT_TRUE(EngineState.BlendTables.DivTable.empty());
}

TEST(SprNameKeyTest, Keys) {
    EXPECT_EQ(SprNameKey(""), 0);
    EXPECT_EQ(SprNameKey("A"), 0x41);
    EXPECT_EQ(SprNameKey("ab"), 0x4241);
    EXPECT_EQ(SprNameKey("ABCDEFGH"), 0x4847464544434241);
    EXPECT_EQ(SprNameKey("abcdefghij"), 0x4847464544434241);
    // An eighth byte of 0x80 or above gives a negative key.
    EXPECT_EQ(SprNameKey("ABCDEFG\xe9"), static_cast<int64_t>(0xC947464544434241ull));
    EXPECT_LT(SprNameKey("ABCDEFG\xe9"), 0);
    // Bytes after a zero byte still count, zero bytes at the end do not.
    EXPECT_EQ(SprNameKey(std::string("A\0B", 3)), 0x420041);
    EXPECT_EQ(SprNameKey(std::string("A\0\0", 3)), SprNameKey("A"));
}

TEST(SprNameKeyTest, NamesThatMeetOrDiffer) {
    const struct {
        std::string a, b;
        bool same;
    } cases[] = {
        {"Logo1", "LOGO1", true},
        {"logo1", "LOGO1", true},
        {"SPRITE_A1", "SPRITE_A2", true},
        {"sprite_a1", "SPRITE_AB", true},
        {" LOGO1", "LOGO1", false},
        {"LOGO1 ", "LOGO1", false},
        {"LOGO1", "LOGO2", false},
        // Windows-1252 letters upper-case too: e acute, y diaeresis, s caron, oe.
        {"\xe9t\xe9", "\xc9T\xc9", true},
        {"\xff", "\x9f", true},
        {"\x9a\x9c\x9e", "\x8a\x8c\x8e", true},
        {"\xe0\xf8\xfe", "\xc0\xd8\xde", true},
        // Sharp s has no single-byte capital, and the division sign is no letter.
        {"\xdf", "SS", false},
        {"\xf7", "\xd7", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SprNameKey(c.a) == SprNameKey(c.b), c.same) << "'" << c.a << "' '" << c.b << "'";
    EXPECT_EQ(SprNameKey("\xdf"), 0xDF);
    EXPECT_EQ(SprNameKey("\xf7"), 0xF7);
}

TEST(SprNameKeyTest, KeyNameGivesTheUpperCasedBytes) {
    EXPECT_EQ(SprKeyName(SprNameKey("logo1")), "LOGO1");
    EXPECT_EQ(SprKeyName(SprNameKey("a_long_name")), "A_LONG_N");
    EXPECT_EQ(SprKeyName(SprNameKey("\xe9t\xe9")), "\xc9T\xc9");
    EXPECT_EQ(SprKeyName(0), "");
    EXPECT_EQ(SprKeyName(SprNameKey(std::string("A\0B", 3))), std::string("A\0B", 3));
}

using LookupTest = EngineTest;

TEST_F(LookupTest, FindsByKey) {
    ASSERT_EQ(TestPutSprite(4, "Logo1", 2, 2), 4);
    ASSERT_EQ(TestPutSprite(7, "SPRITE_A1", 2, 2), 7);
    ASSERT_EQ(TestPutSprite(100, "LAST", 2, 2), 100);
    EXPECT_EQ(SprFindSprite("logo1"), 4);
    EXPECT_EQ(SprFindSprite("LOGO1"), 4);
    EXPECT_EQ(SprFindSprite("sprite_a2"), 7);
    EXPECT_EQ(SprFindSprite("last"), 100);
    EXPECT_EQ(SprFindSprite(" LOGO1"), 0);
    EXPECT_EQ(SprFindSprite("LOGO2"), 0);
    EXPECT_EQ(SprFindKey(SprNameKey("Logo1")), 4);
    EXPECT_EQ(SprFindKey(0), 0);
    // Free slots hold key 0, but the empty name finds none of them.
    EXPECT_EQ(SprFindSprite(""), 0);
    EXPECT_EQ(SprFindSprite(std::string("\0\0", 2)), 0);
    // A freed slot is found no more.
    EngineState.SpriteTable[4].nameKey = 0;
    EXPECT_EQ(SprFindSprite("LOGO1"), 0);
}

TEST(LookupWithoutTableTest, NoTableFindsNothing) {
    // After a shutdown there is no table at all.
    SpriteEngineInit();
    SpriteEngineShutdown();
    EXPECT_EQ(SprLastSlot(), 0);
    EXPECT_EQ(SprFindSprite("LOGO1"), 0);
}

}  // namespace

// SprCheckSpriteTable: each rule of the sprite table caught on a table broken by
// hand, and the debug builds' stop after an operation that leaves one broken.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/sprite_table_check.h"
#include "engine_fixture.h"
#include "sprites_test_helpers.h"

namespace {

class TableCheckTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        imageA = TestMakeBitmap(2, 2, kTestKey);
        imageB = TestMakeBitmap(2, 2, kTestKey);
    }
    void TearDown() override {
        // The records were put in by hand: the engine must not free the images.
        Wipe();
        DeleteObject(imageA);
        DeleteObject(imageB);
        EngineTest::TearDown();
    }
    static void Wipe() {
        for (SpriteRecord& r : EngineState.SpriteTable) r = SpriteRecord{};
    }
    HBITMAP imageA = nullptr;
    HBITMAP imageB = nullptr;
};

// A live record as creation would leave it, with the given image and clone state.
SpriteRecord Live(const char* name, HBITMAP image, int32_t cloneState) {
    SpriteRecord r{};
    r.nameKey = SprNameKey(name);
    r.width = 2;
    r.height = 2;
    r.frameCount = 1;
    r.currentFrame = 1;
    r.bitmap = image;
    r.cloneState = cloneState;
    return r;
}

TEST_F(TableCheckTest, EachRuleIsCaughtAtItsSlot) {
    const HBITMAP a = imageA, b = imageB;
    SpriteRecord freeWithImage{};
    freeWithImage.bitmap = a;
    SpriteRecord freeOnCanvas{};
    freeOnCanvas.canvas = reinterpret_cast<HWND>(uintptr_t{0x40});  // never used as a window
    struct Case {
        const char* rule;  // nullptr: every rule holds
        int32_t slot;
        std::vector<std::pair<int32_t, SpriteRecord>> records;
    } const cases[] = {
        {nullptr, 0, {{1, Live("A", a, -1)}, {2, Live("B", a, 1)}, {3, Live("C", b, 0)}, {5, Live("D", nullptr, 1)}}},
        {"slot 0 is used", 0, {{0, Live("A", nullptr, 0)}}},
        {"a free slot keeps an image or canvas", 2, {{1, Live("A", b, 0)}, {2, freeWithImage}}},
        {"a free slot keeps an image or canvas", 4, {{4, freeOnCanvas}}},
        {"cloneState is not -1, 0 or 1", 3, {{3, Live("A", a, 2)}}},
        {"two slots hold one name", 2, {{2, Live("A", a, 0)}, {4, Live("a", b, 0)}}},
        {"two sprites own one image", 1, {{1, Live("A", a, 0)}, {3, Live("B", a, -1)}}},
        {"a clone outlived its source", 2, {{1, Live("A", a, 0)}, {2, Live("B", a, 1)}}},
        {"a clone outlived its source", 2, {{1, Live("A", a, -1)}, {2, Live("B", b, 1)}}},
    };
    for (const Case& c : cases) {
        Wipe();
        for (const auto& [slot, record] : c.records) EngineState.SpriteTable[slot] = record;
        const SprTableFault fault = SprCheckSpriteTable();
        const std::string expected = c.rule != nullptr ? c.rule : "";
        SCOPED_TRACE(expected.empty() ? "a table that keeps every rule" : expected);
        EXPECT_EQ(fault.rule != nullptr ? std::string(fault.rule) : "", expected);
        EXPECT_EQ(fault.slot, c.slot);
    }
}

// In a debug build the operation that leaves the table broken stops the program
// and names the rule; a release build leaves the check out.
TEST_F(TableCheckTest, DebugBuildsStopAfterAnOperationThatBreaksARule) {
#ifdef NDEBUG
    GTEST_SKIP() << "release build: the table is not checked after operations";
#else
    EngineState.SpriteTable[1] = Live("A", imageA, 0);
    EngineState.SpriteTable[2] = Live("B", imageA, 0);
    EXPECT_DEATH(SpriteSwap("A", "B"), "sprite table: two sprites own one image \\(slot 1\\)");
#endif
}

}  // namespace

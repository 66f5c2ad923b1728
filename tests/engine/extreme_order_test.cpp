// Deleting, cloning, swapping and drawing in every order: a source A with clones B
// and C and a plain sprite D go through seven operations in all 5,040 orders. After
// each operation the live names must be those a plain model predicts, clones must
// share their source's image, the table must hold its invariants, an image open for
// drawing must belong to a live sprite, and no GDI object may be lost or leaked.
#include <algorithm>
#include <array>
#include <set>
#include <string>

#include "extreme_fixture.h"

namespace {

enum Op { kDeleteA, kDeleteB, kCloneEFromA, kSwapAC, kSwapBD, kDeleteD, kOpenC };
constexpr const char* kOpNames[] = {"delete A", "delete B", "clone E from A", "swap A C",
                                    "swap B D", "delete D", "open C for drawing"};

struct Model {
    std::set<std::string> alive{"A", "B", "C", "D"};
    std::set<std::string> clonesOfA{"B", "C"};

    void Apply(Op op) {
        switch (op) {
            case kDeleteA:
                if (alive.erase("A"))
                    for (const std::string& clone : clonesOfA) alive.erase(clone);
                break;
            case kDeleteB: alive.erase("B"); break;
            case kCloneEFromA:
                if (alive.count("A") && !alive.count("E")) {
                    alive.insert("E");
                    clonesOfA.insert("E");
                }
                break;
            case kDeleteD: alive.erase("D"); break;
            default: break;  // swaps and drawing change no name
        }
    }
};

void Apply(Op op) {
    HDC dc = nullptr;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    switch (op) {
        case kDeleteA: SpriteDelete("A"); break;
        case kDeleteB: SpriteDelete("B"); break;
        case kCloneEFromA: SpriteClone("E", "A"); break;
        case kSwapAC: SpriteSwap("A", "C"); break;
        case kSwapBD: SpriteSwap("B", "D"); break;
        case kDeleteD: SpriteDelete("D"); break;
        case kOpenC: SpriteBeginDraw("C", 2, dc, left, top, right, bottom); break;
    }
}

TEST_F(ExtremeInputTest, DeletingCloningSwappingAndDrawingInEveryOrder) {
    std::array<Op, 7> order = {kDeleteA, kDeleteB, kCloneEFromA, kSwapAC, kSwapBD, kDeleteD, kOpenC};
    int32_t orders = 0;
    do {
        TestMakeSprite("A", 6, 6, 2);
        SpriteClone("B", "A");
        SpriteClone("C", "A");
        TestMakeSprite("D", 5, 5);
        SpriteSetCanvas(canvas, "A|B|C|D");
        SpriteMove("B|D", 3, 2, 0);
        SpriteShow("A|B|C|D", 1);
        Model model;
        std::string done;
        for (const Op op : order) {
            Apply(op);
            model.Apply(op);
            done += std::string(kOpNames[op]) + "; ";
            for (const char* name : {"A", "B", "C", "D", "E"})
                ASSERT_EQ(SprFindSprite(name) != 0, model.alive.count(name) == 1) << name << " after " << done;
            const int32_t a = SprFindSprite("A");
            for (const char* clone : {"B", "C", "E"}) {
                const int32_t slot = SprFindSprite(clone);
                if (a != 0 && slot != 0) {
                    ASSERT_EQ(EngineState.SpriteTable[slot].bitmap, EngineState.SpriteTable[a].bitmap)
                        << clone << " after " << done;
                }
            }
            if (DrawContext.dc != nullptr) {
                ASSERT_GE(DrawContext.slot, 1) << done;
                ASSERT_NE(EngineState.SpriteTable[DrawContext.slot].nameKey, 0) << done;
                ASSERT_EQ(DrawContext.slot, SprFindSprite("C")) << done;
            }
            SpriteUpdateCanvas(canvas);
            ExpectSound(done);
            if (HasFailure()) return;
        }
        SpriteEndDraw(50);
        SpriteDelete("A");
        SpriteDelete("B");
        SpriteDelete("D");
        SpriteDelete("E");
        for (int32_t slot = 1; slot <= SprLastSlot(); ++slot)
            ASSERT_EQ(EngineState.SpriteTable[slot].nameKey, 0) << done;
        ExpectSound(done + "everything deleted");
        ++orders;
    } while (std::next_permutation(order.begin(), order.end()));
    EXPECT_EQ(orders, 5040);
}

}  // namespace

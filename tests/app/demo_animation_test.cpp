// The animation step: bouncing at both edges, the flip cycle and the frame choice.
#include "demo_fixture.h"

namespace {

// Bounces on an 800 x 600 canvas with 140-pixel balls.
class DemoBounceTest : public ::testing::Test {
protected:
    void SetUp() override {
        DemoState = DemoStateData{};
        DemoState.maxX = 799;
        DemoState.maxY = 599;
        DemoState.spriteWidth = 140;
        DemoState.spriteHeight = 140;
    }
    void TearDown() override { DemoState = DemoStateData{}; }
};

TEST_F(DemoBounceTest, BallsTurnAtTheLimitsAndOvershootByLessThanTheirSpeed) {
    struct Case {
        int32_t n;        // ball: speed (n mod 8) + 1 across, (n mod 10) + 1 down
        bool horizontal;
        int32_t pos, dir;
        int32_t newPos, newDir;
    };
    const Case cases[] = {
        // Right edge: the turning point is a left edge of 799 - 140 = 659.
        {7, true, 658, 1, 666, 1},   // one short of it: still moves on by 8
        {7, true, 666, 1, 658, -1},  // 7 beyond: turns
        {7, true, 659, 1, 651, -1},  // exactly at it: turns
        // Left edge: at or left of 0 turns right.
        {7, true, 1, -1, -7, -1},    // overshoots by up to speed - 1
        {7, true, -7, -1, 1, 1},
        {7, true, 0, -1, 8, 1},
        // Vertical: speed 10 for ball 9, turning point 599 - 140 = 459.
        {9, false, 459, 1, 449, -1},
        {9, false, 458, 1, 468, 1},
        {9, false, 1, -1, -9, -1},
        {9, false, -9, -1, 1, 1},
        // Speed 1 for ball 8 across and ball 10 down.
        {8, true, 659, 1, 658, -1},
        {10, false, 0, -1, 1, 1},
    };
    for (const Case& c : cases) {
        MotionEntry& m = DemoState.motionTable[c.n];
        m = MotionEntry{};
        if (c.horizontal) {
            m.posX = c.pos;
            m.dirX = c.dir;
            EXPECT_EQ(DemoStepX(c.n), c.newPos) << "ball " << c.n << " from " << c.pos;
            EXPECT_EQ(m.dirX, c.newDir) << "ball " << c.n << " from " << c.pos;
        } else {
            m.posY = c.pos;
            m.dirY = c.dir;
            EXPECT_EQ(DemoStepY(c.n), c.newPos) << "ball " << c.n << " from " << c.pos;
            EXPECT_EQ(m.dirY, c.newDir) << "ball " << c.n << " from " << c.pos;
        }
    }
}

TEST_F(DemoBounceTest, NarrowCanvasLetsTheRightTurnWin) {
    DemoState.maxX = 99;  // narrower than a ball: both tests hold at 0
    DemoState.motionTable[1] = MotionEntry{0, 0, -1, 1};
    EXPECT_EQ(DemoStepX(1), 2);
    EXPECT_EQ(DemoState.motionTable[1].dirX, 1);
}

TEST_F(DemoBounceTest, EveryBallStaysWithinItsRangeForLong) {
    for (int32_t n = 1; n <= 32; ++n) DemoState.motionTable[n] = MotionEntry{n, n, 1, 1};
    for (int step = 0; step < 5000; ++step) {
        for (int32_t n = 1; n <= 32; ++n) {
            const int32_t y = DemoStepY(n);
            const int32_t x = DemoStepX(n);
            ASSERT_GE(x, -(n % 8)) << "ball " << n;
            ASSERT_LE(x, 659 + n % 8) << "ball " << n;
            ASSERT_GE(y, -(n % 10)) << "ball " << n;
            ASSERT_LE(y, 459 + n % 10) << "ball " << n;
        }
    }
}

TEST_F(DemoBounceTest, BallNumbersOutsideTheTableAreIgnored) {
    EXPECT_EQ(DemoStepX(0), 0);
    EXPECT_EQ(DemoStepY(33), 0);
    EXPECT_EQ(DemoStepX(INT32_MIN), 0);
}

class DemoOptionsTest : public DemoTest {
protected:
    int32_t Flips(int32_t n) {
        return SpriteGetFlag(DemoBallName(n), ">") * 10 + SpriteGetFlag(DemoBallName(n), "^");
    }
    int32_t Frame(int32_t n) {
        int32_t count = 0, current = 0;
        SpriteGetFrame(DemoBallName(n), count, current);
        return current;
    }
};

// The flip cycle shows each state for two steps: as is, mirrored, upside down and
// mirrored, upside down. Chosen before flipPhase first advances, that one step
// sends no flip.
TEST_F(DemoOptionsTest, FlipCycleAndTheFirstFlipFreeStep) {
    StartDemo();
    Press(3);  // Flip ON
    ASSERT_EQ(DemoState.flipOn, 1);
    // Mirror one ball by hand: the flip-free step must leave it so.
    SpriteSetFlip("LOGO5", 1, 1, 0);
    DemoAnimationStep(0);  // flipPhaseTicks 1, flipPhase still 0: no flip command
    EXPECT_EQ(DemoState.flipPhase, 0);
    EXPECT_EQ(Flips(5), 11);
    const int32_t expected[] = {0, 0, 10, 10, 11, 11, 1, 1, 0, 0, 10};  // phases 1,1,2,2,3,3,4,4,1,1,2
    for (int32_t i = 0; i < 11; ++i) {
        DemoAnimationStep(0);
        for (int32_t n : {1, 5, 32}) EXPECT_EQ(Flips(n), expected[i]) << "step " << i + 2 << " ball " << n;
    }
    Press(4);  // Flip OFF
    DemoAnimationStep(0);
    for (int32_t n = 1; n <= 32; ++n) EXPECT_EQ(Flips(n), 0) << "ball " << n;
}

TEST_F(DemoOptionsTest, FrameChoiceAndTranslucency) {
    StartDemo();
    DemoAnimationStep(0);
    EXPECT_EQ(Frame(1), 1);
    EXPECT_EQ(SpriteGetFlag("LOGO1", "E"), 0);
    Press(6);  // Use Sprite 2: frame 3 where frameToggle has just become 1
    Press(1);  // AlphaBlend ON
    Press(1);  // twice is the same as once
    DemoAnimationStep(0);
    const int32_t first = DemoState.frameToggle + 2;
    for (int32_t n : {1, 17, 32}) EXPECT_EQ(Frame(n), first);
    DemoAnimationStep(0);
    for (int32_t n : {1, 17, 32}) EXPECT_EQ(Frame(n), 5 - first);
    EXPECT_EQ(SpriteGetFlag("LOGO32", "E"), 50);
    Press(5);  // Use Sprite 1
    Press(2);  // AlphaBlend OFF
    DemoAnimationStep(0);
    EXPECT_EQ(Frame(9), 1);
    EXPECT_EQ(SpriteGetFlag("LOGO9", "E"), 0);
}

TEST_F(DemoOptionsTest, FrameToggleStartsAtZeroSoTheFirstStepShowsFrame3) {
    StartDemo();
    Press(6);
    DemoAnimationStep(0);
    EXPECT_EQ(DemoState.frameToggle, 1);
    EXPECT_EQ(Frame(1), 3);
    DemoAnimationStep(0);
    EXPECT_EQ(Frame(1), 2);
}

}  // namespace

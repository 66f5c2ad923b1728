// The animation step: every ball moves by its own speed and bounces off the canvas
// edges, the display options chosen with the buttons are applied, the engine paints
// the canvas, and every 25 steps the status caption is written.
#include "app/demo.h"
#include "engine/sprite_engine.h"

namespace {

// The step shared by both axes. The limits are tested before the move, so a ball
// passes a limit by up to speed - 1 pixels before it turns; when both tests hold
// (a canvas narrower than a ball) the second one, +1, wins.
int32_t DemoStepAxis(int32_t& pos, int32_t& dir, int32_t speed, int32_t minPos, int32_t maxPos, int32_t size) {
    if (pos >= maxPos - size) dir = -1;
    if (pos <= minPos) dir = 1;
    pos += dir * speed;
    return pos;
}

void DemoInitialStep() {
    DemoState.spriteChoice = 1;
    DemoState.frameToggle = 0;
    DemoState.flipOn = 0;
    DemoState.alphaBlendOn = 0;
    DemoState.framesMeasured = 0;
    for (MotionEntry& entry : DemoState.motionTable) entry = MotionEntry{};
    for (int32_t n = 1; n <= DEMO_BALL_COUNT; ++n) {
        const std::string name = DemoBallName(n);
        SpriteMove(name, n, n, 0);
        DemoState.motionTable[n] = MotionEntry{n, n, 1, 1};
        SpriteShow(name, 1);
    }
}

}  // namespace

std::string DemoBallName(int32_t n) { return "LOGO" + std::to_string(n); }

int32_t DemoStepX(int32_t n) {
    if (n < 1 || n > DEMO_BALL_COUNT) return 0;
    MotionEntry& entry = DemoState.motionTable[n];
    return DemoStepAxis(entry.posX, entry.dirX, n % 8 + 1, DemoState.minX, DemoState.maxX, DemoState.spriteWidth);
}

int32_t DemoStepY(int32_t n) {
    if (n < 1 || n > DEMO_BALL_COUNT) return 0;
    MotionEntry& entry = DemoState.motionTable[n];
    return DemoStepAxis(entry.posY, entry.dirY, n % 10 + 1, DemoState.minY, DemoState.maxY, DemoState.spriteHeight);
}

void DemoAnimationStep(int32_t init) {
    if (init == 1) {
        DemoInitialStep();
        return;
    }
    DemoState.frameToggle = 1 - DemoState.frameToggle;
    if (DemoState.framesMeasured == 0) DemoState.fpsClock = static_cast<float>(DemoClock());
    DemoState.flipPhaseTicks += 1;
    if (DemoState.flipPhaseTicks > 1) {
        DemoState.flipPhase += 1;
        if (DemoState.flipPhase > 4) DemoState.flipPhase = 1;
        DemoState.flipPhaseTicks = 0;
    }
    const int32_t opacity = DemoState.alphaBlendOn != 0 ? 50 : 0;

    for (int32_t n = 1; n <= DEMO_BALL_COUNT; ++n) {
        const std::string name = DemoBallName(n);
        SpriteSetOpacity(name, opacity, 0);
        const int32_t y = DemoStepY(n);
        const int32_t x = DemoStepX(n);
        SpriteMove(name, x, y, 0);
        if (DemoState.flipOn != 0) {
            switch (DemoState.flipPhase) {
                case 1: SpriteSetFlip(name, 0, 0, 0); break;
                case 2: SpriteSetFlip(name, 1, 0, 0); break;
                case 3: SpriteSetFlip(name, 1, 1, 0); break;
                case 4: SpriteSetFlip(name, 0, 1, 0); break;
                default: break;  // the cycle has not started yet
            }
        } else {
            SpriteSetFlip(name, 0, 0, 0);
        }
        if (DemoState.spriteChoice == 1) {
            SpriteSetFrame(name, 1, 0, 0);
        } else {
            SpriteSetFrame(name, DemoState.frameToggle + 2, 0, 0);
        }
    }
    SpriteUpdateCanvas(DemoState.canvasWindow);

    DemoState.framesMeasured += 1;
    if (DemoState.framesMeasured >= 25) {
        DemoWriteStatusCaption();
        DemoState.framesMeasured = 0;
    }
}

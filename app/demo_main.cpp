// The program's entry and its main loop: at most one message per pass, one
// animation step, the frame delay, until no window is left.
#include "app/demo.h"
#include "engine/sprite_engine.h"

int32_t DemoProcessMessage(int32_t idleSleep) {
    MSG msg{};
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) == FALSE) {
        DemoSleep(static_cast<DWORD>(idleSleep < 0 ? 0 : idleSleep));
        return DemoState.liveWindowCount;
    }
    HWND active = DemoState.activeWindow;
    bool consumed = false;
    if (active != nullptr && IsWindow(active)) {
        if (DemoState.activeAccelerators != nullptr) {
            consumed = TranslateAcceleratorW(active, DemoState.activeAccelerators, &msg) != 0;
        }
        if (!consumed) consumed = IsDialogMessageA(active, &msg) != FALSE;
    }
    if (!consumed) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return DemoState.liveWindowCount;
}

void DemoStartUp() {
    SpriteEngineInit();
    DemoState.dialogFont = DemoFont{L"SYSTEM", 10, 400, 0};
    DemoCreateWindow();
    DemoState.openWindowCount = 1;
    DemoState.frameDelay = 0;
}

int32_t DemoMainLoopPass() {
    DemoState.openWindowCount = DemoProcessMessage(1);
    DemoAnimationStep(0);
    if (DemoState.frameDelay != 0) DemoSleep(static_cast<DWORD>(DemoState.frameDelay));
    return DemoState.openWindowCount;
}

void DemoMain() {
    DemoStartUp();
    // The test comes after the step and the sleep: the pass that handles the
    // window's destruction still runs one more step.
    while (DemoMainLoopPass() != 0) {
    }
    SpriteEngineShutdown();
}

// DemoMain as a whole: start-up order, the main loop's passes and closing.
#include "demo_fixture.h"
#include "engine/core/engine_state.h"

namespace {

class DemoMainTest : public DemoTest {
protected:
    struct Event {
        DWORD sleep;            // milliseconds asked for
        int32_t windowAlive;    // whether the main window still existed
        int32_t engineStarted;  // whether the engine was still running
        int32_t framesMeasured; // advanced by every step
    };
    static inline std::vector<Event> events;
    static inline int32_t idleSleeps = 0;
};

// Closing the window ends the loop after exactly one more step and one more frame
// delay; the engine is shut down after that, never before.
TEST_F(DemoMainTest, ClosingEndsTheLoopAfterOneMoreStepAndSleep) {
    events.clear();
    idleSleeps = 0;
    DemoSeams.sleep = [](DWORD ms) {
        const bool alive = DemoState.mainWindow != nullptr && IsWindow(DemoState.mainWindow);
        events.push_back(Event{ms, alive, EngineState.engineStarted, DemoState.framesMeasured});
        if (ms != 1) return;
        ++idleSleeps;
        if (idleSleeps == 3) {
            // "Speed: 50 ms Sleep", as the button sends it.
            PostMessageW(DemoState.mainWindow, WM_COMMAND, MAKEWPARAM(BUTTON_ID_BASE + 7, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(DemoState.mainWindow, BUTTON_ID_BASE + 7)));
        } else if (idleSleeps == 6) {
            // The close box.
            PostMessageW(DemoState.mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
    };
    DemoMain();

    ASSERT_GE(events.size(), 3u);
    // The last event is the frame delay of the pass that handled the close: the
    // window was gone, the engine still running, and one step ran after the close.
    const Event& last = events.back();
    EXPECT_EQ(last.sleep, 50u);
    EXPECT_EQ(last.windowAlive, 0);
    EXPECT_EQ(last.engineStarted, 1);
    const Event& before = events[events.size() - 2];
    EXPECT_EQ(before.windowAlive, 1);
    EXPECT_EQ(last.framesMeasured, (before.framesMeasured + 1) % 25) << "one step between the close and the last sleep";
    EXPECT_EQ(EngineState.engineStarted, 0);
    EXPECT_FALSE(IsWindow(DemoState.mainWindow));
    EXPECT_EQ(DemoState.openWindowCount, 0);
}

// While messages wait no idle sleep happens; with an empty queue every pass sleeps
// 1 ms before its step.
TEST_F(DemoMainTest, IdleSleepOnlyWhenTheQueueIsEmpty) {
    StartDemo();
    MSG msg;
    for (int i = 0; i < 100 && PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); ++i) Pass();
    sleeps.clear();
    for (int i = 0; i < 3; ++i) {
        PostMessageW(DemoState.mainWindow, WM_NULL, 0, 0);
    }
    for (int i = 0; i < 3; ++i) Pass();
    EXPECT_TRUE(sleeps.empty());
    Pass();
    Pass();
    EXPECT_EQ(sleeps, (std::vector<DWORD>{1, 1}));
}

TEST_F(DemoMainTest, WindowIsVisibleWithItsTitleAndCountedOnce) {
    StartDemo();
    ASSERT_NE(DemoState.mainWindow, nullptr);
    EXPECT_TRUE(IsWindowVisible(DemoState.mainWindow));
    EXPECT_EQ(Title(), L"Sprite Demo");
    EXPECT_EQ(DemoState.liveWindowCount, 1);
    EXPECT_EQ(DemoState.windowCallback, &DemoWindowCallback);
    EXPECT_EQ(DemoProcessMessage(0), 1);
}

}  // namespace

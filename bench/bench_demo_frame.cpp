// A whole frame of the demo on the headless backend: one pass of its main loop
// with the sleeps left out. The pass takes no message (none is waiting), and its
// animation step sends the 32 x 4 sprite commands, which mark the invalid
// rectangles; SpriteUpdateCanvas then paints the canvas: the compositor and the
// copy of the painted rectangle to the window.
#if defined(SPRITE_BENCH_DEMO)

#include <benchmark/benchmark.h>

#include "app/demo.h"
#include "app/demo_testing.h"
#include "bench_frame_stats.h"
#include "engine/sprite_engine.h"

namespace {

void BenchDemoFrame(benchmark::State& state, int32_t alphaBlend) {
    DemoState = DemoStateData{};
    DemoSeams = DemoTestSeams{};
    DemoSeams.sleep = [](DWORD) {};
    DemoStartUp();
    if (!DemoState.mainWindow || !DemoState.canvasWindow) {
        state.SkipWithError("the demo's window could not be made");
    } else {
        DemoState.alphaBlendOn = alphaBlend;
        // The seam makes the idle sleep free; the frame delay is 0.
        for (int i = 0; i < 50; ++i) DemoMainLoopPass();  // the first paint and the status captions settle
        BenchFrameStats stats;
        for (auto _ : state) DemoMainLoopPass();
        stats.Report(state);
    }
    if (DemoState.mainWindow && IsWindow(DemoState.mainWindow)) DestroyWindow(DemoState.mainWindow);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    SpriteEngineShutdown();
    DemoSeams = DemoTestSeams{};
    DemoState = DemoStateData{};
}

}  // namespace

BENCHMARK_CAPTURE(BenchDemoFrame, opaque, 0)->Name("demo_frame/opaque")->Unit(benchmark::kMicrosecond)->ComputeStatistics("best", BenchBest);
BENCHMARK_CAPTURE(BenchDemoFrame, alpha, 1)->Name("demo_frame/50%")->Unit(benchmark::kMicrosecond)->ComputeStatistics("best", BenchBest);

#endif

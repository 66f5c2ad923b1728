// The compositor on the demo's scene, with the vector kernels and the reference
// kernels, and a memcpy of the same bytes as the baseline.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench_frame_stats.h"
#include "bench_scene.h"
#include "engine/core/engine_state.h"
#include "engine/render/compositor.h"

namespace {

// The back buffer's pixels and width.
uint32_t* BackPixels(int32_t& width) {
    BITMAP bm{};
    GetObjectA(EngineState.BackBuffer.bitmap, sizeof bm, &bm);
    width = bm.bmWidth;
    return reinterpret_cast<uint32_t*>(EngineState.BackBuffer.bits);
}

// One frame: the canvas background restored and 32 balls drawn.
void BenchCompose(benchmark::State& state, SprKernelSet set, int32_t translucency, int32_t flip,
                  int32_t softening = 50) {
    BenchScene scene;
    const SprSpanKernels* kernels = SprSpanKernelsOf(set);
    if (!kernels) {
        state.SkipWithError("kernel set not available on this CPU");
        return;
    }
    if (!BenchSceneStart(scene, softening)) {
        state.SkipWithError("pictures missing: build the demo_pictures target");
        return;
    }
    BenchSceneSet(translucency, flip);
    auto frame = [&] {
        SprComposeCanvasWith(*kernels, scene.canvas, scene.background, scene.backgroundDC, 0, 0,
                             kBenchCanvasWidth, kBenchCanvasHeight, nullptr, nullptr);
    };
    frame();
    BenchFrameStats stats;
    for (auto _ : state) {
        frame();
        benchmark::ClobberMemory();
    }
    stats.Report(state);
    BenchSceneStop(scene);
}

// Copies the bytes a frame writes: the canvas from the background, then each
// ball's frame rectangle from its image, row by row into the back buffer.
void BenchMemcpy(benchmark::State& state) {
    BenchScene scene;
    if (!BenchSceneStart(scene)) {
        state.SkipWithError("pictures missing: build the demo_pictures target");
        return;
    }
    BenchSceneSet(0, 0);
    int32_t stride = 0;
    uint32_t* back = BackPixels(stride);
    const auto* background = reinterpret_cast<const uint32_t*>(scene.backgroundBits);
    auto frame = [&] {
        for (int32_t y = 0; y < kBenchCanvasHeight; ++y)
            std::memcpy(back + int64_t(y) * stride, background + int64_t(y) * kBenchCanvasWidth,
                        kBenchCanvasWidth * sizeof(uint32_t));
        for (int32_t i = 1; i <= kBenchBalls; ++i) {
            const SpriteRecord& r = EngineState.SpriteTable[i];
            const int64_t strip = int64_t(r.width) * r.frameCount;
            const auto* src = reinterpret_cast<const uint32_t*>(r.bits) + (r.currentFrame - 1) * r.width;
            for (int32_t y = 0; y < r.height; ++y)
                std::memcpy(back + int64_t(r.y + y) * stride + r.x, src + y * strip,
                            r.width * sizeof(uint32_t));
        }
    };
    frame();
    BenchFrameStats stats;
    for (auto _ : state) {
        frame();
        benchmark::ClobberMemory();
    }
    stats.Report(state);
    BenchSceneStop(scene);
}

}  // namespace

BENCHMARK(BenchMemcpy)->Name("memcpy")->Unit(benchmark::kMicrosecond)->ComputeStatistics("best", BenchBest);
namespace {

// The compositor cases: name, kernel set, translucency, flip, softening.
struct BenchComposeCase {
    const char* name;
    SprKernelSet set;
    int32_t translucency;
    int32_t flip;
    int32_t softening;
};
constexpr BenchComposeCase kComposeCases[] = {
    {"compositor_vector/opaque", SprKernelSetDefault, 0, 0, 50},
    {"compositor_vector/50%", SprKernelSetDefault, 50, 0, 50},
    {"compositor_vector/flipped", SprKernelSetDefault, 0, 1, 50},
    {"compositor_vector/flipped_50%", SprKernelSetDefault, 50, 1, 50},
    {"compositor_vector/opaque_hard_edges", SprKernelSetDefault, 0, 0, 0},
    {"compositor_vector/50%_hard_edges", SprKernelSetDefault, 50, 0, 0},
    {"compositor_sse41/opaque", SprKernelSetSse41, 0, 0, 50},
    {"compositor_sse41/50%", SprKernelSetSse41, 50, 0, 50},
    {"compositor_avx512/opaque", SprKernelSetAvx512, 0, 0, 50},
    {"compositor_avx512/50%", SprKernelSetAvx512, 50, 0, 50},
    {"compositor_avx2/opaque", SprKernelSetAvx2, 0, 0, 50},
    {"compositor_avx2/50%", SprKernelSetAvx2, 50, 0, 50},
    {"compositor_avx2/opaque_hard_edges", SprKernelSetAvx2, 0, 0, 0},
    {"compositor_reference/opaque", SprKernelSetReference, 0, 0, 50},
    {"compositor_reference/50%", SprKernelSetReference, 50, 0, 50},
    {"compositor_reference/flipped", SprKernelSetReference, 0, 1, 50},
};

// Registered after memcpy (defined above in this file), in the order of the table.
[[maybe_unused]] const bool kComposeCasesRegistered = [] {
    for (const BenchComposeCase& c : kComposeCases) {
        benchmark::RegisterBenchmark(c.name, BenchCompose, c.set, c.translucency, c.flip, c.softening)
            ->Unit(benchmark::kMicrosecond)
            ->ComputeStatistics("best", BenchBest);
    }
    return true;
}();

}  // namespace

// Per-frame figures every benchmark of a frame reports beside its time.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "bench_alloc_count.h"
#include "platform/testing/platform_testing.h"

// Pixels a frame of the demo's scene writes: the canvas and 32 balls.
inline constexpr double kBenchFramePixels = 800.0 * 600.0 + 32.0 * 140.0 * 140.0;

// Counts heap allocations and live GDI objects across the timed loop; Report
// stores them per frame as the counters "allocs" and "gdi", and the pixel rate.
struct BenchFrameStats {
    uint64_t allocations = BenchAllocations();
    int32_t gdiObjects = PlatformLiveGdiObjects().Total();

    void Report(benchmark::State& state) const {
        const double frames = static_cast<double>(state.iterations());
        state.counters["allocs"] = static_cast<double>(BenchAllocations() - allocations) / frames;
        state.counters["gdi"] = PlatformLiveGdiObjects().Total() - gdiObjects;
        state.counters["px"] = benchmark::Counter(kBenchFramePixels * frames,
                                                  benchmark::Counter::kIsRate);
    }
};

// The fastest of the repetitions: the run least disturbed by other work on the
// machine, reported beside the median as the aggregate "best".
inline double BenchBest(const std::vector<double>& runs) {
    return runs.empty() ? 0.0 : *std::min_element(runs.begin(), runs.end());
}

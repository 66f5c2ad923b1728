// The cases of the scaling benchmark (bench_scale.cpp) and their benchmark names,
// shared with the table that bench_main.cpp prints.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BenchScaleCase {
    int32_t canvasWidth;
    int32_t canvasHeight;
    int32_t balls;
    int32_t ballSize;  // one ball frame is ballSize x ballSize pixels
    int32_t opacity;   // as SpriteSetOpacity takes it: 0 opaque, 50 half translucent
};

// Against the sprite count: 32 to 1000 balls on 800 x 600, balls of 140 x 140
// and 32 x 32, opaque and 50 %.
std::vector<BenchScaleCase> BenchScaleCountCases();
// Against the canvas size: 800 x 600 to 3840 x 2160, 32 and 1000 opaque balls of
// 140 x 140 (the 800 x 600 ones are also count cases).
std::vector<BenchScaleCase> BenchScaleCanvasCases();

// "scale/800x600/140px/n32/opaque" for the frame, "scale_memcpy/..." for its
// baseline; both contain "scale", so --benchmark_filter=scale runs them alone.
std::string BenchScaleName(const BenchScaleCase& c, bool baseline);

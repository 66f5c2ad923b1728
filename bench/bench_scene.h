// The demo's scene for benchmarks: 32 balls from the demo's ball picture (edge
// softening 50) over background picture 1 on an 800 x 600 canvas, put into the
// engine's sprite table directly, plus the same pictures as plain pixel arrays for
// the other libraries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

inline constexpr int32_t kBenchCanvasWidth = 800;
inline constexpr int32_t kBenchCanvasHeight = 600;
inline constexpr int32_t kBenchBalls = 32;
inline constexpr int32_t kBenchBallSize = 140;
inline constexpr int32_t kBenchBallFrames = 3;
inline constexpr uint32_t kBenchKey = 0x00FF00FFu;  // magenta, as a pixel value

// A picture as 32-bit pixels 0x00RRGGBB, top row first.
struct BenchPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

// The path of graphics/<name> beside the benchmark executable, as LoadImageW takes it.
std::wstring BenchGraphicsWidePath(const char* name);

// Reads a bitmap file beside the benchmark executable (graphics/<name>); an empty
// picture when it cannot be read.
BenchPicture BenchLoadPicture(const char* name);

// Ball i's top-left corner: fixed, spread over the canvas, every ball inside it.
void BenchBallPosition(int32_t i, int32_t& x, int32_t& y);

// A started engine holding the scene, the ball softened at `softening` percent
// (the demo's 50, or 0 for a ball without edge pixels). BenchSceneStart returns
// false when the pictures are missing; BenchSceneStop shuts the engine down again.
struct BenchScene {
    HWND canvas;             // the value the sprites' canvas field holds
    HBITMAP background;      // 800 x 600 snapshot of background picture 1
    BYTE* backgroundBits;
    HDC backgroundDC;
};
bool BenchSceneStart(BenchScene& scene, int32_t softening = 50);
void BenchSceneStop(BenchScene& scene);
// Sets every ball's translucency and flips (and frame 1..3 by ball number).
void BenchSceneSet(int32_t translucency, int32_t flip);

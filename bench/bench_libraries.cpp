// The demo's scene drawn by the libraries a program would otherwise use: SDL2
// software blits with a colour key (with and without RLE, opaque and with a
// surface alpha of 50 %) and pixman OVER with premultiplied sprites (a solid mask
// for 50 %). The balls are the same pictures at the same places, without the
// engine's softened edges.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <vector>

#include "bench_frame_stats.h"
#include "bench_scene.h"

namespace {

SDL_Surface* BenchSurface(const BenchPicture& picture) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, picture.width, picture.height, 32,
                                                          SDL_PIXELFORMAT_XRGB8888);
    if (!surface) return nullptr;
    for (int32_t y = 0; y < picture.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) +
                                                int64_t(y) * surface->pitch);
        for (int32_t x = 0; x < picture.width; ++x) row[x] = picture.pixels[size_t(y) * picture.width + x];
    }
    return surface;
}

void BenchSdl(benchmark::State& state, bool rle, bool half) {
    const BenchPicture ballPicture = BenchLoadPicture("ball3d.bmp");
    const BenchPicture backPicture = BenchLoadPicture("bkgnd1.bmp");
    SDL_Surface* ball = BenchSurface(ballPicture);
    SDL_Surface* back = BenchSurface(backPicture);
    SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, kBenchCanvasWidth, kBenchCanvasHeight,
                                                         32, SDL_PIXELFORMAT_XRGB8888);
    if (!ball || !back || !target || ballPicture.width == 0 || backPicture.width == 0) {
        state.SkipWithError("pictures missing or surfaces not made");
    } else {
        SDL_SetColorKey(ball, SDL_TRUE, kBenchKey);
        SDL_SetSurfaceRLE(ball, rle ? 1 : 0);
        if (half) {
            SDL_SetSurfaceBlendMode(ball, SDL_BLENDMODE_BLEND);
            SDL_SetSurfaceAlphaMod(ball, 128);
        }
        auto frame = [&] {
            SDL_BlitSurface(back, nullptr, target, nullptr);
            for (int32_t i = 0; i < kBenchBalls; ++i) {
                SDL_Rect from{(i % kBenchBallFrames) * kBenchBallSize, 0, kBenchBallSize, kBenchBallSize};
                SDL_Rect to{0, 0, kBenchBallSize, kBenchBallSize};
                BenchBallPosition(i, to.x, to.y);
                SDL_BlitSurface(ball, &from, target, &to);
            }
        };
        frame();  // RLE encodes the surface on its first blit
        BenchFrameStats stats;
        for (auto _ : state) {
            frame();
            benchmark::ClobberMemory();
        }
        stats.Report(state);
    }
    SDL_FreeSurface(target);
    SDL_FreeSurface(back);
    SDL_FreeSurface(ball);
}

void BenchPixman(benchmark::State& state, bool half) {
    const BenchPicture ballPicture = BenchLoadPicture("ball3d.bmp");
    BenchPicture backPicture = BenchLoadPicture("bkgnd1.bmp");
    if (ballPicture.width == 0 || backPicture.width == 0) {
        state.SkipWithError("pictures missing");
        return;
    }
    // Premultiplied: the key colour becomes fully transparent, the rest opaque.
    std::vector<uint32_t> ballPixels(ballPicture.pixels.size());
    for (size_t i = 0; i < ballPixels.size(); ++i)
        ballPixels[i] = ballPicture.pixels[i] == kBenchKey ? 0 : 0xFF000000u | ballPicture.pixels[i];
    std::vector<uint32_t> targetPixels(size_t(kBenchCanvasWidth) * kBenchCanvasHeight);
    pixman_image_t* ball = pixman_image_create_bits(PIXMAN_a8r8g8b8, ballPicture.width,
                                                    ballPicture.height, ballPixels.data(),
                                                    ballPicture.width * 4);
    pixman_image_t* back = pixman_image_create_bits(PIXMAN_x8r8g8b8, backPicture.width,
                                                    backPicture.height, backPicture.pixels.data(),
                                                    backPicture.width * 4);
    pixman_image_t* target = pixman_image_create_bits(PIXMAN_x8r8g8b8, kBenchCanvasWidth,
                                                      kBenchCanvasHeight, targetPixels.data(),
                                                      kBenchCanvasWidth * 4);
    const pixman_color_t halfAlpha{0, 0, 0, 0x8000};
    pixman_image_t* mask = half ? pixman_image_create_solid_fill(&halfAlpha) : nullptr;
    auto frame = [&] {
        pixman_image_composite32(PIXMAN_OP_SRC, back, nullptr, target, 0, 0, 0, 0, 0, 0,
                                 kBenchCanvasWidth, kBenchCanvasHeight);
        for (int32_t i = 0; i < kBenchBalls; ++i) {
            int32_t x = 0, y = 0;
            BenchBallPosition(i, x, y);
            pixman_image_composite32(PIXMAN_OP_OVER, ball, mask, target,
                                     (i % kBenchBallFrames) * kBenchBallSize, 0, 0, 0, x, y,
                                     kBenchBallSize, kBenchBallSize);
        }
    };
    frame();
    BenchFrameStats stats;
    for (auto _ : state) {
        frame();
        benchmark::ClobberMemory();
    }
    stats.Report(state);
    if (mask) pixman_image_unref(mask);
    pixman_image_unref(target);
    pixman_image_unref(back);
    pixman_image_unref(ball);
}

}  // namespace

BENCHMARK_CAPTURE(BenchSdl, key_opaque, false, false)->Name("sdl_colorkey/opaque")->Unit(benchmark::kMicrosecond)->ComputeStatistics("best", BenchBest);
BENCHMARK_CAPTURE(BenchSdl, key_50, false, true)->Name("sdl_colorkey/50%")->Unit(benchmark::kMicrosecond)->ComputeStatistics("best", BenchBest);
BENCHMARK_CAPTURE(BenchSdl, rle_opaque, true, false)->Name("sdl_colorkey_rle/opaque")->Unit(benchmark::kMicrosecond)->ComputeStatistics("best", BenchBest);
BENCHMARK_CAPTURE(BenchSdl, rle_50, true, true)->Name("sdl_colorkey_rle/50%")->Unit(benchmark::kMicrosecond)->ComputeStatistics("best", BenchBest);
BENCHMARK_CAPTURE(BenchPixman, opaque, false)->Name("pixman_over/opaque")->Unit(benchmark::kMicrosecond)->ComputeStatistics("best", BenchBest);
BENCHMARK_CAPTURE(BenchPixman, half, true)->Name("pixman_over/50%")->Unit(benchmark::kMicrosecond)->ComputeStatistics("best", BenchBest);

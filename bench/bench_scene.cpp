// Building the benchmark scene: the pictures are read with SDL's BMP loader, the
// ball sprite is made the way sprite creation makes it (copy the strip into an
// engine image, soften its outline at 50 %), and 31 clones share its image.
#include "bench_scene.h"

#include <SDL.h>

#include <cstring>
#include <string>

#include "engine/core/engine_lifetime.h"
#include "engine/core/engine_state.h"
#include "engine/core/sprite_names.h"
#include "engine/render/image_prep.h"
#include "engine/sprite_engine.h"

namespace {
std::string BenchGraphicsPath(const char* name) {
    std::string path;
    if (char* base = SDL_GetBasePath()) {
        path = base;
        SDL_free(base);
    }
    return path + "graphics/" + name;
}

// A DIB section filled from a picture; 0 on failure.
HBITMAP BenchMakeImage(const BenchPicture& picture, BYTE*& bits) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = SprCreateDIB(screen, 32, picture.width, picture.height, bits);
    ReleaseDC(nullptr, screen);
    if (bitmap)
        std::memcpy(bits, picture.pixels.data(), picture.pixels.size() * sizeof(uint32_t));
    return bitmap;
}
}  // namespace

BenchPicture BenchLoadPicture(const char* name) {
    BenchPicture picture;
    SDL_Surface* loaded = SDL_LoadBMP(BenchGraphicsPath(name).c_str());
    if (!loaded) return picture;
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_XRGB8888, 0);
    SDL_FreeSurface(loaded);
    if (!converted) return picture;
    picture.width = converted->w;
    picture.height = converted->h;
    picture.pixels.resize(size_t(converted->w) * converted->h);
    for (int y = 0; y < converted->h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(converted->pixels) +
                                                            size_t(y) * converted->pitch);
        for (int x = 0; x < converted->w; ++x)
            picture.pixels[size_t(y) * converted->w + x] = row[x] & 0x00FFFFFFu;
    }
    SDL_FreeSurface(converted);
    return picture;
}

void BenchBallPosition(int32_t i, int32_t& x, int32_t& y) {
    // A fixed scatter: 8 columns by 4 rows, each ball nudged so that they overlap.
    x = (i % 8) * 90 + (i * 37) % 29;
    y = (i / 8) * 110 + (i * 53) % 31;
}

bool BenchSceneStart(BenchScene& scene, int32_t softening) {
    scene = BenchScene{};
    const BenchPicture ball = BenchLoadPicture("ball3d.bmp");
    const BenchPicture back = BenchLoadPicture("bkgnd1.bmp");
    if (ball.width != kBenchBallSize * kBenchBallFrames || ball.height != kBenchBallSize ||
        back.width != kBenchCanvasWidth || back.height != kBenchCanvasHeight)
        return false;

    SpriteEngineInit();
    SpriteEngineStart(100, kBenchCanvasWidth, kBenchCanvasHeight);
    scene.canvas = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x5EED));
    scene.background = BenchMakeImage(back, scene.backgroundBits);
    HDC screen = GetDC(nullptr);
    scene.backgroundDC = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);

    BYTE* ballBits = nullptr;
    HBITMAP ballImage = BenchMakeImage(ball, ballBits);
    for (int32_t i = 0; i < kBenchBalls; ++i) {
        SpriteRecord& r = EngineState.SpriteTable[i + 1];
        r = SpriteRecord{};
        r.nameKey = SprNameKey("LOGO" + std::to_string(i + 1));
        r.width = kBenchBallSize;
        r.height = kBenchBallSize;
        r.frameCount = kBenchBallFrames;
        r.bitmap = ballImage;
        r.bits = ballBits;
        r.transparentColor = kBenchKey;
        r.canvas = scene.canvas;
        BenchBallPosition(i, r.x, r.y);
        r.currentFrame = 1;
        r.visible = 1;
        r.cloneState = i == 0 ? -1 : 1;
    }
    if (softening > 0) SprSoftenEdges(1, 1);
    for (int32_t i = 0; i < kBenchBalls; ++i)
        EngineState.SpriteTable[i + 1].edgeBlend = static_cast<float>(softening) / 100.0f;
    return true;
}

void BenchSceneStop(BenchScene& scene) {
    if (scene.backgroundDC) DeleteDC(scene.backgroundDC);
    if (scene.background) DeleteObject(scene.background);
    SpriteEngineShutdown();
    scene = BenchScene{};
}

void BenchSceneSet(int32_t translucency, int32_t flip) {
    for (int32_t i = 0; i < kBenchBalls; ++i) {
        SpriteRecord& r = EngineState.SpriteTable[i + 1];
        r.translucency = translucency;
        r.flipHorizontal = flip;
        r.flipVertical = flip;
        r.currentFrame = 1 + i % kBenchBallFrames;
    }
}

// Building the benchmark scene: the ball sprite and its 31 clones are made with
// the engine's own calls, as the demo makes them; the pictures for the other
// libraries and the canvas background are read with SDL's BMP loader.
#include "bench_scene.h"

#include <SDL.h>

#include <cstring>
#include <string>

#include "engine/core/engine_dib.h"
#include "engine/core/engine_state.h"
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

std::wstring BenchGraphicsWidePath(const char* name) {
    const std::string path = BenchGraphicsPath(name);
    return std::wstring(path.begin(), path.end());
}

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
    const BenchPicture back = BenchLoadPicture("bkgnd1.bmp");
    if (back.width != kBenchCanvasWidth || back.height != kBenchCanvasHeight) return false;

    SpriteEngineInit();
    SpriteEngineStart(100, kBenchCanvasWidth, kBenchCanvasHeight);
    // The ball as the demo makes it: the file loaded at 420 x 140, LOGO1 made from
    // it with three frames, magenta key and the edge softening, LOGO2.. its clones.
    const std::wstring path = BenchGraphicsWidePath("ball3d.bmp");
    auto ball = static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP,
                                                kBenchBallSize * kBenchBallFrames, kBenchBallSize,
                                                LR_LOADFROMFILE));
    if (!ball) {
        SpriteEngineShutdown();
        return false;
    }
    SpriteCreateFromBitmap("LOGO1", ball, kBenchBallFrames, -1, softening);
    DeleteObject(ball);
    for (int32_t i = 2; i <= kBenchBalls; ++i) SpriteClone("LOGO" + std::to_string(i), "LOGO1");

    scene.canvas = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x5EED));
    scene.background = BenchMakeImage(back, scene.backgroundBits);
    HDC screen = GetDC(nullptr);
    scene.backgroundDC = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    // The compositor is called directly, so the balls are placed and shown on
    // the stand-in canvas by setting their records.
    for (int32_t i = 0; i < kBenchBalls; ++i) {
        SpriteRecord& r = EngineState.SpriteTable[i + 1];
        r.canvas = scene.canvas;
        BenchBallPosition(i, r.x, r.y);
        r.visible = 1;
    }
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

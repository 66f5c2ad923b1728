// The compositor on random scenes: sprite records with any position, frame,
// translucency, flips and edge strength, images with any edge codes (k > n and
// n = 0 included), update rectangles anywhere, clip and update regions, and canvas
// snapshots larger than the back buffer.
//
// Every run is checked against a model written pixel by pixel from the pixel rule:
// the back buffer after the background copy alone, then each sprite drawn over it
// with plain arithmetic. Pixels outside the update rectangle must keep their canary
// values, the reference and every faster set of span kernels must give the model's
// bytes, no bitmap may stay selected, and no GDI object may be left behind.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/core/engine_dib.h"
#include "engine/core/engine_state.h"
#include "engine/render/compositor.h"
#include "engine/sprite_engine.h"
#include "fuzz_input.h"
#include "platform/testing/platform_testing.h"
#include "platform/win32.h"

namespace {

const HWND kCanvas = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1000));
const HWND kOtherCanvas = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x2000));
const HWND kNoSpritesCanvas = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x3000));

struct Rect64 {
    int64_t left, top, right, bottom;
};

struct Scene {
    int64_t backWidth = 0, backHeight = 0;
    HBITMAP background = nullptr;
    HDC backgroundDC = nullptr;
    HDC paintDC = nullptr;
    HBITMAP paintBitmap = nullptr;
    HGDIOBJ paintPrevious = nullptr;
    std::vector<RECT> regionRects;  // the update region, rebuilt for every pass
    bool passRegion = false;
    int32_t left = 0, top = 0, width = 0, height = 0;
    std::vector<HBITMAP> images;  // every sprite image, deleted by the harness
};

uint32_t* BackPixels() { return reinterpret_cast<uint32_t*>(EngineState.BackBuffer.bits); }

HBITMAP NewDIB(int32_t width, int32_t height, uint32_t** pixels) {
    BYTE* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = SprCreateDIB(screen, 32, width, height, bits);
    ReleaseDC(nullptr, screen);
    *pixels = reinterpret_cast<uint32_t*>(bits);
    return bitmap;
}

// Fills a sprite image with transparent pixels, plain pixels, edge pixels with any
// code, and the key's colour with a non-zero fourth byte (which is not transparent).
FUZZ_NO_COVERAGE void FillImage(uint32_t* pixels, int64_t count, uint64_t seed, uint32_t key,
                                uint32_t mix) {
    FuzzRandom random(seed);
    for (int64_t p = 0; p < count; ++p) {
        const uint32_t roll = random.Below(100);
        const uint32_t colour = static_cast<uint32_t>(random.Next()) & 0x00FFFFFFu;
        if (roll < (mix & 0x3F))
            pixels[p] = key;
        else if (roll < 70)
            pixels[p] = colour;
        else if (roll < 95)
            pixels[p] = colour | (random.Below(256) << 24);
        else
            pixels[p] = key | ((1 + random.Below(255)) << 24);
    }
}

FUZZ_NO_COVERAGE void FillPattern(uint32_t* pixels, size_t count, uint32_t multiplier,
                                  uint32_t mask) {
    for (size_t p = 0; p < count; ++p) pixels[p] = (uint32_t(p) * multiplier) ^ mask;
}

void PutSprites(FuzzInput& in, Scene& scene) {
    const int32_t last = SprLastSlot();
    const int32_t count = in.Range(0, 6);
    int32_t slot = 0, previous = 0;
    for (int32_t i = 0; i < count; ++i) {
        slot += in.Range(1, 3);
        if (slot > last) break;
        SpriteRecord& r = EngineState.SpriteTable[slot];
        if (previous != 0 && in.Byte() < 40) {
            // A clone of the sprite before it: same image, its own placement.
            r = EngineState.SpriteTable[previous];
            r.cloneState = 1;
        } else {
            r = SpriteRecord{};
            r.width = in.Range(1, 40);
            r.height = in.Range(1, 40);
            r.frameCount = in.Range(1, 4);
            r.transparentColor = in.Byte() < 200 ? 0x00FF00FFu : in.U32() & 0x00FFFFFFu;
            uint32_t* pixels = nullptr;
            r.bitmap = NewDIB(r.width * r.frameCount, r.height, &pixels);
            if (r.bitmap == nullptr) continue;
            scene.images.push_back(r.bitmap);
            r.bits = reinterpret_cast<BYTE*>(pixels);
            const uint64_t seed = in.Seed();
            FillImage(pixels, int64_t(r.width) * r.frameCount * r.height, seed,
                      r.transparentColor, in.Byte());
            r.edgeBlend = in.AnyFloat();
        }
        r.nameKey = slot;
        const uint8_t where = in.Byte();
        r.canvas = where < 220 ? kCanvas : kOtherCanvas;
        r.x = in.Byte() < 128 ? in.Range(-50, 350) : in.Extreme();
        r.y = in.Byte() < 128 ? in.Range(-50, 350) : in.Extreme();
        r.currentFrame = in.Byte() < 128 ? in.Range(0, 5) : in.Extreme();
        r.visible = in.Byte() < 230 ? 1 : 0;
        r.translucency = in.Byte() < 128 ? in.Range(0, 100) : in.Extreme();
        const uint8_t flips = in.Byte();
        r.flipHorizontal = flips & 1;
        r.flipVertical = (flips >> 1) & 1;
        if (in.Byte() == 255) r.bitmap = nullptr;  // a record without image is never drawn
        previous = slot;
    }
}

HRGN MakeUpdateRegion(const Scene& scene) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (const RECT& r : scene.regionRects) {
        HRGN part = CreateRectRgn(r.left, r.top, r.right, r.bottom);
        CombineRgn(region, region, part, RGN_OR);
        DeleteObject(part);
    }
    return region;
}

void Compose(const Scene& scene, const SprSpanKernels& kernels, HWND canvas) {
    HRGN region = scene.passRegion ? MakeUpdateRegion(scene) : nullptr;
    SprComposeCanvasWith(kernels, canvas, scene.background, scene.backgroundDC, scene.left,
                         scene.top, scene.width, scene.height, scene.paintDC, region);
    // Without a paint DC the region stays the caller's.
    if (region != nullptr && scene.paintDC == nullptr) DeleteObject(region);
}

// The model of one plain or edge pixel drawn over d, straight from the pixel rule.
FUZZ_NO_COVERAGE uint32_t ModelPixel(const SpriteRecord& s, int32_t t, uint32_t src, uint32_t d) {
    const uint32_t code = src >> 24;
    int32_t weight;  // the source's share in percent
    if (code == 0) {
        if (t == 0) return src;
        weight = 100 - t;
    } else {
        const int32_t n = code >> 4, k = code & 15;
        const double o = double(s.edgeBlend) * (double((100 - t) * k) / (n + 1));
        // Codes that edge softening never writes, and edge strengths outside 0..1,
        // are held to 0..100 percent.
        weight = !(o >= 0.0) ? 0 : o >= 100.0 ? 100 : static_cast<int32_t>(std::floor(o));
    }
    uint32_t out = d & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t sc = (src >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
        out |= ((weight * sc + (100 - weight) * dc) / 100) << shift;
    }
    return out;
}

FUZZ_NO_COVERAGE void ModelSprite(const Scene& scene, const SpriteRecord& s, const Rect64& clip,
                 std::vector<uint32_t>& back) {
    if (s.canvas != kCanvas || s.bitmap == nullptr || s.visible == 0) return;
    if (scene.paintDC != nullptr) {
        auto sat = [](int64_t v) { return LONG(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
        const RECT r{sat(s.x), sat(s.y), sat(int64_t(s.x) + s.width), sat(int64_t(s.y) + s.height)};
        if (!RectVisible(scene.paintDC, &r)) return;
    }
    const int32_t frame = std::min(std::max(s.currentFrame, 1), s.frameCount);
    const int32_t t = std::clamp(s.translucency, 0, 100);
    const auto* image = reinterpret_cast<const uint32_t*>(s.bits);
    const int64_t stride = int64_t(s.width) * s.frameCount;
    for (int64_t r = 0; r < s.height; ++r) {
        const int64_t dy = s.flipVertical ? int64_t(s.y) + s.height - 1 - r : int64_t(s.y) + r;
        if (dy < clip.top || dy >= clip.bottom) continue;
        for (int64_t c = 0; c < s.width; ++c) {
            const int64_t dx = s.flipHorizontal ? int64_t(s.x) + s.width - 1 - c : int64_t(s.x) + c;
            if (dx < clip.left || dx >= clip.right) continue;
            const uint32_t src = image[r * stride + int64_t(s.width) * (frame - 1) + c];
            if (src == s.transparentColor) continue;
            uint32_t& d = back[dy * scene.backWidth + dx];
            d = ModelPixel(s, t, src, d);
        }
    }
}

// The background copy may change only pixels inside the update rectangle.
FUZZ_NO_COVERAGE void CheckOutsideUnchanged(const Scene& scene, const Rect64& clip,
                                            const std::vector<uint32_t>& back,
                                            const std::vector<uint32_t>& canary) {
    for (int64_t y = 0; y < scene.backHeight; ++y)
        for (int64_t x = 0; x < scene.backWidth; ++x) {
            const bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
            const size_t p = size_t(y * scene.backWidth + x);
            if (!inside && back[p] != canary[p])
                FuzzCheck(false, "background copy wrote (%lld, %lld) outside the update rectangle",
                          (long long)x, (long long)y);
        }
}

FUZZ_NO_COVERAGE void CheckSame(const Scene& scene, const uint32_t* back,
                                const std::vector<uint32_t>& model, const char* what) {
    for (size_t p = 0; p < model.size(); ++p)
        if (back[p] != model[p])
            FuzzCheck(false, "%s: pixel (%lld, %lld) is %08x, the model says %08x", what,
                      (long long)(p % scene.backWidth), (long long)(p / scene.backWidth), back[p],
                      model[p]);
}

// Neither bitmap may be left selected: each must go into a fresh DC.
void CheckNotSelected(HBITMAP bitmap, const char* what) {
    HDC probe = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(probe, bitmap);
    FuzzCheck(previous != nullptr, "%s is still selected into a DC after composing", what);
    SelectObject(probe, previous);
    DeleteDC(probe);
}

void RunScene(FuzzInput& in) {
    Scene scene;
    PlatformSetScreenSize(in.Range(1, 400), in.Range(1, 400));
    SpriteEngineInit();
    SpriteEngineStart(in.Range(0, 30), -1, -1);
    if (EngineState.engineStarted != 1) {
        SpriteEngineShutdown();
        return;
    }
    BITMAP bm{};
    GetObjectA(EngineState.BackBuffer.bitmap, sizeof bm, &bm);
    scene.backWidth = bm.bmWidth;
    scene.backHeight = bm.bmHeight;
    const size_t backPixels = size_t(scene.backWidth * scene.backHeight);

    // The canvas snapshot, which may be larger than the back buffer.
    const int32_t canvasWidth = in.Range(1, 700), canvasHeight = in.Range(1, 700);
    uint32_t* backgroundPixels = nullptr;
    scene.background = NewDIB(canvasWidth, canvasHeight, &backgroundPixels);
    HDC screen = GetDC(nullptr);
    scene.backgroundDC = CreateCompatibleDC(screen);
    FillPattern(backgroundPixels, size_t(canvasWidth) * canvasHeight, 2654435761u, 0);

    const uint8_t paintChoice = in.Byte();
    if (paintChoice >= 64) {
        // A paint DC on a canvas-sized surface, clipped like a begin-paint DC.
        scene.paintDC = CreateCompatibleDC(screen);
        uint32_t* unused = nullptr;
        scene.paintBitmap = NewDIB(canvasWidth, canvasHeight, &unused);
        scene.paintPrevious = SelectObject(scene.paintDC, scene.paintBitmap);
    }
    ReleaseDC(nullptr, screen);
    const int32_t regionCount = in.Range(0, 3);
    for (int32_t i = 0; i < regionCount; ++i) {
        const int32_t x = in.Byte() < 160 ? in.Range(-20, 700) : in.Extreme();
        const int32_t y = in.Byte() < 160 ? in.Range(-20, 700) : in.Extreme();
        const int32_t w = in.Byte() < 160 ? in.Range(0, 300) : in.Extreme();
        const int32_t h = in.Byte() < 160 ? in.Range(0, 300) : in.Extreme();
        const int64_t right = std::clamp<int64_t>(int64_t(x) + w, INT32_MIN, INT32_MAX);
        const int64_t bottom = std::clamp<int64_t>(int64_t(y) + h, INT32_MIN, INT32_MAX);
        scene.regionRects.push_back(RECT{x, y, LONG(right), LONG(bottom)});
    }
    scene.passRegion = in.Byte() >= 64;
    if (scene.paintDC != nullptr && !scene.regionRects.empty() && in.Byte() >= 64) {
        HRGN clip = MakeUpdateRegion(scene);
        SelectClipRgn(scene.paintDC, clip);
        DeleteObject(clip);
    }

    scene.left = in.Byte() < 128 ? in.Range(-50, 700) : in.Extreme();
    scene.top = in.Byte() < 128 ? in.Range(-50, 700) : in.Extreme();
    scene.width = in.Byte() < 128 ? in.Range(0, 800) : in.Extreme();
    scene.height = in.Byte() < 128 ? in.Range(0, 800) : in.Extreme();
    PutSprites(in, scene);

    const GdiObjectCounts before = PlatformLiveGdiObjects();
    uint32_t* back = BackPixels();
    std::vector<uint32_t> canary(backPixels);
    FillPattern(canary.data(), backPixels, 0x9E3779B1u, 0xA5000000u);

    // The background copy alone: a canvas that owns no sprite.
    std::copy(canary.begin(), canary.end(), back);
    Compose(scene, SprReferenceSpanKernels, kNoSpritesCanvas);
    std::vector<uint32_t> model(back, back + backPixels);

    const Rect64 clip{std::max<int64_t>(scene.left, 0), std::max<int64_t>(scene.top, 0),
                      std::min<int64_t>(int64_t(scene.left) + scene.width, scene.backWidth),
                      std::min<int64_t>(int64_t(scene.top) + scene.height, scene.backHeight)};
    CheckOutsideUnchanged(scene, clip, model, canary);

    const int32_t last = SprLastSlot();
    for (int32_t slot = 1; slot <= last; ++slot)
        ModelSprite(scene, EngineState.SpriteTable[slot], clip, model);

    std::copy(canary.begin(), canary.end(), back);
    Compose(scene, SprReferenceSpanKernels, kCanvas);
    CheckSame(scene, back, model, "reference kernels");

    // Every faster kernel set this processor runs must give the same bytes.
    const struct {
        SprKernelSet set;
        const char* name;
    } vectorSets[] = {{SprKernelSetSse41, "SSE4.1 kernels"},
                      {SprKernelSetAvx2, "AVX2 kernels"},
                      {SprKernelSetAvx512, "AVX-512 kernels"}};
    for (const auto& vector : vectorSets) {
        const SprSpanKernels* kernels = SprSpanKernelsOf(vector.set);
        if (kernels == nullptr) continue;
        std::copy(canary.begin(), canary.end(), back);
        Compose(scene, *kernels, kCanvas);
        CheckSame(scene, back, model, vector.name);
    }

    CheckNotSelected(EngineState.BackBuffer.bitmap, "the back buffer");
    CheckNotSelected(scene.background, "the background snapshot");
    const GdiObjectCounts after = PlatformLiveGdiObjects();
    FuzzCheck(after.Total() == before.Total(), "composing left %d GDI objects behind",
              after.Total() - before.Total());

    // The harness owns the images; shutdown must not see them.
    for (int32_t slot = 1; slot <= last; ++slot) EngineState.SpriteTable[slot].bitmap = nullptr;
    for (HBITMAP image : scene.images) DeleteObject(image);
    if (scene.paintDC != nullptr) {
        SelectObject(scene.paintDC, scene.paintPrevious);
        DeleteDC(scene.paintDC);
        DeleteObject(scene.paintBitmap);
    }
    DeleteDC(scene.backgroundDC);
    DeleteObject(scene.background);
    SpriteEngineShutdown();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const GdiObjectCounts start = PlatformLiveGdiObjects();
    FuzzInput in(data, size);
    RunScene(in);
    const GdiObjectCounts end = PlatformLiveGdiObjects();
    FuzzCheck(end.Total() == start.Total(), "a scene left %d GDI objects alive",
              end.Total() - start.Total());
    return 0;
}

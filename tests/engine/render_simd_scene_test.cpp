// Seeded random scenes composed by the reference kernels and by each vector set,
// compared byte for byte over the whole back buffer. A failure names its seed;
// SPRITE_SIMD_SEED=<n> runs that one scene alone.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/render/compositor.h"
#include "kernel_sets.h"
#include "engine_fixture.h"

namespace {

const HWND kCanvas = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1000));
const HWND kOtherCanvas = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x2000));
const HWND kNoSprites = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x3000));
// A small screen keeps the back buffer small and the sprites dense on it.
constexpr int32_t kScreenWidth = 320, kScreenHeight = 272;

constexpr uint32_t kSeeds = 200;

class SimdSceneTest : public ::testing::TestWithParam<KernelSetCase> {
protected:
    void SetUp() override {
        kernels = SprSpanKernelsOf(GetParam().set);
        if (!kernels) GTEST_SKIP() << GetParam().name << " is not available on this CPU";
        PlatformSetScreenSize(kScreenWidth, kScreenHeight);
    }
    void TearDown() override { PlatformSetScreenSize(1280, 1024); }

    int32_t Uniform(int32_t low, int32_t high) {
        return std::uniform_int_distribution<int32_t>(low, high)(random);
    }
    bool Chance(int32_t percent) { return Uniform(1, 100) <= percent; }
    uint32_t Bits() { return static_cast<uint32_t>(random()); }

    // A coordinate mostly near the back buffer, now and then at the 32-bit limits.
    int32_t Coordinate(int32_t extent, int32_t size) {
        if (Chance(3)) return Chance(50) ? INT32_MAX - Uniform(0, 200) : INT32_MIN + Uniform(0, 200);
        return Uniform(-size, extent);
    }

    // A sprite image of key pixels, plain pixels and edge pixels with any code
    // (k > n and n = 0 included); sometimes all one kind.
    void FillImage(int32_t slot, uint32_t key) {
        const SpriteRecord& r = EngineState.SpriteTable[slot];
        const int32_t keyShare = Chance(10) ? 0 : Uniform(0, 60);
        const int32_t edgeShare = Chance(20) ? 0 : Uniform(0, 40);
        for (int32_t y = 0; y < r.height; ++y)
            for (int32_t x = 0; x < r.width * r.frameCount; ++x) {
                const int32_t roll = Uniform(0, 99);
                uint32_t& pixel = TestSpritePixel(slot, x, y);
                if (roll < keyShare)
                    pixel = key;
                else if (roll < keyShare + edgeShare)
                    pixel = (Bits() & 0x00FFFFFFu) | static_cast<uint32_t>(Uniform(1, 255)) << 24;
                else
                    pixel = Bits() & 0x00FFFFFFu;
            }
    }

    float EdgeBlend() {
        const float picks[] = {0.0f, 0.5f, static_cast<float>(0.7), 1.0f, 1.5f, -0.25f,
                               std::numeric_limits<float>::quiet_NaN()};
        if (Chance(40)) return static_cast<float>(Uniform(0, 100)) / 100.0f;
        return picks[Uniform(0, 6)];
    }

    int32_t Translucency() {
        const int32_t picks[] = {0, 0, 50, 100, 101, -5, INT32_MIN, INT32_MAX};
        if (Chance(50)) return Uniform(1, 99);
        return picks[Uniform(0, 7)];
    }

    void MakeSprites() {
        const int32_t count = Uniform(1, 30);
        for (int32_t slot = 1; slot <= count; ++slot) {
            const int32_t source = Uniform(1, slot);
            if (source < slot && EngineState.SpriteTable[source].cloneState != 1 && Chance(30)) {
                ASSERT_EQ(TestPutClone(slot, "S" + std::to_string(slot), source), slot);
            } else {
                const int32_t w = Chance(10) ? Uniform(1, 3) : Uniform(1, 90);
                const int32_t h = Chance(10) ? Uniform(1, 3) : Uniform(1, 60);
                ASSERT_EQ(TestPutSprite(slot, "S" + std::to_string(slot), w, h, Uniform(1, 4)), slot);
                const uint32_t key = Chance(50) ? kTestKey : Bits() & 0x00FFFFFFu;
                EngineState.SpriteTable[slot].transparentColor = key;
                FillImage(slot, key);
            }
            SpriteRecord& r = EngineState.SpriteTable[slot];
            r.canvas = Chance(90) ? kCanvas : kOtherCanvas;
            r.visible = Chance(92) ? 1 : 0;
            r.x = Coordinate(width, r.width);
            r.y = Coordinate(height, r.height);
            r.currentFrame = Uniform(-1, r.frameCount + 1);
            r.translucency = Translucency();
            r.flipHorizontal = Uniform(0, 1);
            r.flipVertical = Uniform(0, 1);
            r.edgeBlend = EdgeBlend();
        }
    }

    // A region of a few rectangles over the back buffer; null now and then.
    HRGN MakeRegion(const std::vector<RECT>& rects) {
        if (rects.empty()) return nullptr;
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        for (const RECT& r : rects) {
            HRGN part = CreateRectRgn(r.left, r.top, r.right, r.bottom);
            CombineRgn(region, region, part, RGN_OR);
            DeleteObject(part);
        }
        return region;
    }
    std::vector<RECT> RandomRects(int32_t nonePercent) {
        std::vector<RECT> rects;
        if (Chance(nonePercent)) return rects;
        for (int32_t i = Uniform(1, 4); i > 0; --i) {
            const LONG x = Uniform(-20, width), y = Uniform(-20, height);
            rects.push_back({x, y, x + Uniform(1, width), y + Uniform(1, height)});
        }
        return rects;
    }

    std::vector<uint32_t> BackPixels() const {
        const auto* p = reinterpret_cast<const uint32_t*>(EngineState.BackBuffer.bits);
        return std::vector<uint32_t>(p, p + int64_t(width) * height);
    }
    void SetBackPixels(const std::vector<uint32_t>& pixels) {
        std::memcpy(EngineState.BackBuffer.bits, pixels.data(), pixels.size() * sizeof(uint32_t));
    }

    int32_t RunSeed(uint32_t seed, bool& spritesDrew);

    const SprSpanKernels* kernels = nullptr;
    std::mt19937 random;
    int32_t width = 0, height = 0;
};

// One scene on a freshly started engine: returns the number of back-buffer
// pixels in which the two paths differ, and in spritesDrew whether the
// sprites changed anything over the background alone.
int32_t SimdSceneTest::RunSeed(uint32_t seed, bool& spritesDrew) {
    SpriteEngineInit();
    SpriteEngineStart(40, -1, -1);
    TestBitmapSize(EngineState.BackBuffer.bitmap, width, height);
    random.seed(seed);
    MakeSprites();
    HDC screen = GetDC(nullptr);
    BYTE* backgroundBits = nullptr;
    HBITMAP background = SprCreateDIB(screen, 32, width, height, backgroundBits);
    HDC backgroundDC = CreateCompatibleDC(screen);
    BYTE* paintBits = nullptr;
    HBITMAP paintBitmap = SprCreateDIB(screen, 32, width, height, paintBits);
    HDC paintDC = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(background && backgroundDC && paintBitmap && paintDC);
    HGDIOBJ previousPaint = SelectObject(paintDC, paintBitmap);
    auto* backgroundPixels = reinterpret_cast<uint32_t*>(backgroundBits);
    for (int64_t i = 0; i < int64_t(width) * height; ++i) backgroundPixels[i] = Bits();

    // Paint clip and update region: none, or a few rectangles each.
    const std::vector<RECT> clipRects = RandomRects(50);
    const std::vector<RECT> updateRects = RandomRects(25);
    if (HRGN clip = MakeRegion(clipRects)) {
        SelectClipRgn(paintDC, clip);
        DeleteObject(clip);
    }
    const bool usePaintDC = !clipRects.empty() || Chance(30);
    // The update rectangle, mostly on the back buffer, sometimes past its edges,
    // empty or at the 32-bit limits.
    int32_t left = Uniform(-40, width), top = Uniform(-40, height);
    int32_t w = Uniform(0, width + 40), h = Uniform(0, height + 40);
    if (Chance(50)) left = 0, top = 0, w = width, h = height;
    if (Chance(3)) left = INT32_MAX - 5, w = INT32_MAX;

    std::vector<uint32_t> before(size_t(width) * height);
    for (uint32_t& p : before) p = Bits();

    HDC dc = usePaintDC ? paintDC : nullptr;
    // The compositor takes over the update region only together with a paint DC.
    auto compose = [&](const SprSpanKernels& with, HWND canvas) {
        HRGN region = MakeRegion(updateRects);
        SetBackPixels(before);
        SprComposeCanvasWith(with, canvas, background, backgroundDC, left, top, w, h, dc, region);
        if (!dc && region) DeleteObject(region);
        return BackPixels();
    };
    const std::vector<uint32_t> expected = compose(SprReferenceSpanKernels, kCanvas);
    const std::vector<uint32_t> actual = compose(*kernels, kCanvas);
    // The background alone: no sprite is on this canvas.
    spritesDrew = compose(SprReferenceSpanKernels, kNoSprites) != expected;

    int32_t mismatches = 0;
    for (size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] == expected[i]) continue;
        if (++mismatches <= 5)
            ADD_FAILURE() << "seed " << seed << ", pixel (" << i % width << ", " << i / width
                          << "): got " << std::hex << actual[i] << ", reference " << expected[i];
    }

    SelectObject(paintDC, previousPaint);
    DeleteDC(paintDC);
    DeleteObject(paintBitmap);
    DeleteDC(backgroundDC);
    DeleteObject(background);
    SpriteEngineShutdown();
    return mismatches;
}

TEST_P(SimdSceneTest, ComposesLikeTheReference) {
    const char* only = std::getenv("SPRITE_SIMD_SEED");
    const uint32_t first = only ? static_cast<uint32_t>(std::strtoul(only, nullptr, 10)) : 1;
    const uint32_t last = only ? first : kSeeds;
    uint32_t drew = 0;
    for (uint32_t seed = first; seed <= last; ++seed) {
        bool spritesDrew = false;
        const int32_t objects = PlatformLiveGdiObjects().Total();
        ASSERT_EQ(RunSeed(seed, spritesDrew), 0) << "replay with SPRITE_SIMD_SEED=" << seed;
        // Each scene frees what it made, where live objects are counted.
        if (PlatformCountsGdiObjects()) {
            ASSERT_EQ(PlatformLiveGdiObjects().Total(), objects) << "seed " << seed;
        }
        drew += spritesDrew ? 1 : 0;
    }
    // Scenes in which no sprite shows would prove nothing.
    if (!only) {
        EXPECT_GT(drew, kSeeds / 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Sets, SimdSceneTest, ::testing::ValuesIn(kVectorSets),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

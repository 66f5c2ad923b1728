// Edge softening on random images, through SpriteBeginDraw, GDI drawing on the open
// image and SpriteEndDraw with any softening, and through the build alone on images
// whose fourth bytes are already set. Each result is compared with a second
// implementation of the softening rule written straight from its description, and
// every edge code written must have 1 <= k <= n <= 15.
#include <cstring>
#include <vector>

#include "engine/core/engine_dib.h"
#include "engine/core/engine_state.h"
#include "engine/core/sprite_names.h"
#include "engine/render/edge_softening.h"
#include "engine/sprite_engine.h"
#include "fuzz_input.h"
#include "softening_reference.h"
#include "platform/testing/platform_testing.h"
#include "platform/win32.h"

namespace {

// Opaque pixels in a few colours so that runs meet, with density `opaque` of 256.
FUZZ_NO_COVERAGE void FillImage(uint32_t* pixels, size_t count, uint64_t seed, uint32_t key,
                                uint32_t opaque, bool anyFourthByte) {
    FuzzRandom random(seed);
    for (size_t i = 0; i < count; ++i) {
        uint32_t value = random.Below(256) < opaque ? 0x00102030u * (1 + random.Below(4)) : key;
        if (anyFourthByte && random.Below(4) == 0) value |= random.Below(256) << 24;
        pixels[i] = value;
    }
}

FUZZ_NO_COVERAGE void CheckCodes(const uint32_t* pixels, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const uint32_t code = pixels[i] >> 24, n = code >> 4, k = code & 15;
        if (code != 0 && !(1 <= k && k <= n && n <= 15))
            FuzzCheck(false, "pixel %zu has edge code %02x", i, code);
    }
}

FUZZ_NO_COVERAGE void CheckSame(const uint32_t* pixels, const std::vector<uint32_t>& expected,
                                int64_t stripWidth) {
    for (size_t i = 0; i < expected.size(); ++i)
        if (pixels[i] != expected[i])
            FuzzCheck(false, "pixel (%lld, %lld) is %08x, the rule gives %08x",
                      (long long)(int64_t(i) % stripWidth), (long long)(int64_t(i) / stripWidth),
                      pixels[i], expected[i]);
}

void Run(FuzzInput& in) {
    SpriteEngineInit();
    SpriteEngineStart(10, -1, -1);
    if (EngineState.engineStarted != 1) {
        SpriteEngineShutdown();
        return;
    }
    // A sprite put into the table by hand, as creation would leave it.
    SpriteRecord& r = EngineState.SpriteTable[1];
    r.nameKey = SprNameKey("EDGES");
    r.width = in.Range(1, 40);
    r.height = in.Range(1, 40);
    r.frameCount = in.Range(1, 4);
    r.transparentColor = in.Byte() < 200 ? 0x00FF00FFu : in.U32() & 0x00FFFFFFu;
    r.currentFrame = 1;
    BYTE* bits = nullptr;
    HDC screen = GetDC(nullptr);
    const int64_t stripWidth = int64_t(r.width) * r.frameCount;
    r.bitmap = SprCreateDIB(screen, 32, int32_t(stripWidth), r.height, bits);
    ReleaseDC(nullptr, screen);
    r.bits = bits;
    if (r.bitmap == nullptr) {
        SpriteEngineShutdown();
        return;
    }
    auto* pixels = reinterpret_cast<uint32_t*>(bits);
    const size_t count = size_t(stripWidth * r.height);
    const bool buildOnly = in.Byte() < 64;
    const uint64_t seed = in.Seed();
    FillImage(pixels, count, seed, r.transparentColor, in.Byte(), buildOnly);

    if (buildOnly) {
        std::vector<uint32_t> expected(pixels, pixels + count);
        ReferenceSoftening(expected, stripWidth, r.height, r.transparentColor).Run();
        SprSoftenEdges(1);
        CheckSame(pixels, expected, stripWidth);
    } else {
        HDC dc = nullptr;
        int32_t left = -1, top = -1, right = -1, bottom = -1;
        const int32_t frame = in.Byte() < 128 ? in.Range(-1, 5) : in.Extreme();
        FuzzCheck(SpriteBeginDraw("edges", frame, dc, left, top, right, bottom) == 1,
                  "the image did not open");
        const int32_t f = frame == 0 ? 0 : (frame < 1 || frame > r.frameCount) ? 1 : frame;
        const int64_t expectLeft = f == 0 ? 0 : int64_t(r.width) * (f - 1);
        const int64_t expectRight = f == 0 ? stripWidth - 1 : expectLeft + r.width - 1;
        FuzzCheck(left == expectLeft && right == expectRight && top == 0 && bottom == r.height - 1,
                  "frame %d opened (%d, %d)-(%d, %d)", frame, left, top, right, bottom);
        // A second open is refused while this one lasts.
        HDC second = nullptr;
        FuzzCheck(SpriteBeginDraw("edges", 0, second, left, top, right, bottom) == 0 &&
                      second == nullptr && DrawContext.dc == dc,
                  "a second image opened");
        const int32_t shapes = in.Range(0, 3);
        for (int32_t i = 0; i < shapes; ++i) {
            const RECT box{in.Range(-5, 170), in.Range(-5, 45), in.Range(-5, 170), in.Range(-5, 45)};
            const uint8_t colour = in.Byte();
            HBRUSH brush = CreateSolidBrush(colour < 64 ? RGB(255, 0, 255) : RGB(colour, 3, 7));
            FillRect(dc, &box, brush);
            DeleteObject(brush);
        }
        GdiFlush();
        std::vector<uint32_t> expected(pixels, pixels + count);
        for (uint32_t& p : expected) p &= 0x00FFFFFFu;
        const int32_t softening = in.Byte() < 128 ? in.Range(-5, 120) : in.Extreme();
        if (softening > 0)
            ReferenceSoftening(expected, stripWidth, r.height, r.transparentColor).Run();
        SpriteEndDraw(softening);
        CheckSame(pixels, expected, stripWidth);
        const float blend = softening > 0 ? float((softening < 100 ? softening : 100) / 100.0) : 0.0f;
        FuzzCheck(r.edgeBlend == blend, "softening %d gave edgeBlend %f", softening, r.edgeBlend);
        FuzzCheck(DrawContext.dc == nullptr && DrawContext.slot == 0, "the image stayed open");
        CheckCodes(pixels, count);
    }
    SpriteEngineShutdown();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const GdiObjectCounts start = PlatformLiveGdiObjects();
    FuzzInput in(data, size);
    Run(in);
    const GdiObjectCounts end = PlatformLiveGdiObjects();
    FuzzCheck(end.Total() == start.Total(), "a run left %d GDI objects alive",
              end.Total() - start.Total());
    return 0;
}

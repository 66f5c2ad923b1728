// SpriteCreateFromBitmap with bitmaps of random sizes and depths (32-bit top-down
// and bottom-up, 24-bit and 16-bit DIB sections, screen-compatible bitmaps),
// any frame count, colour and softening, and handles that are no bitmap at all.
//
// The sprite's record must follow from the bitmap's size and the arguments, and
// its image must be the bitmap stretched nearest-neighbour onto the strip (pixel i
// of n samples source pixel (2i + 1) * m / (2n) of m), softened as the rule says.
// Creating again under the same name redraws the image at the sprite's own size.
// Deleting the sprite gives every GDI object back.
#include <utility>
#include <vector>

#include "engine/core/engine_state.h"
#include "engine/core/sprite_names.h"
#include "engine/sprite_engine.h"
#include "fuzz_input.h"
#include "platform/testing/platform_testing.h"
#include "platform/win32.h"
#include "support/dib_support.h"
#include "softening_reference.h"

namespace {

struct Source {
    HBITMAP bitmap = nullptr;
    int32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;  // as 32-bit top-down rows, read back through GDI
};

FUZZ_NO_COVERAGE void FillBytes(uint8_t* bytes, size_t count, uint64_t seed, uint32_t keyChance) {
    FuzzRandom random(seed);
    for (size_t i = 0; i + 4 <= count; i += 4) {
        // Runs of magenta (in 32-bit pictures) so that softening has outlines to find.
        const uint32_t value = random.Below(256) < keyChance ? 0x00FF00FFu : uint32_t(random.Next());
        for (int b = 0; b < 4; ++b) bytes[i + b] = static_cast<uint8_t>(value >> (8 * b));
    }
}

Source MakeSource(FuzzInput& in) {
    Source s;
    const uint8_t shape = in.Byte();
    s.width = shape < 200 ? in.Range(1, 64) : in.Range(1, 5000);
    s.height = shape < 200 ? in.Range(1, 64) : in.Range(1, 3);
    if (in.Byte() & 1) std::swap(s.width, s.height);
    const uint8_t kind = in.Byte() % 5;
    const uint64_t seed = in.Seed();
    const uint32_t keyChance = in.Byte();
    if (kind == 4) {
        // A screen-compatible bitmap, painted in bands through GDI.
        HDC screen = GetDC(nullptr);
        s.bitmap = CreateCompatibleBitmap(screen, s.width, s.height);
        HDC dc = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        HGDIOBJ previous = SelectObject(dc, s.bitmap);
        FuzzRandom random(seed);
        for (int32_t y = 0; y < s.height; y += 3) {
            const RECT band{0, y, s.width / 2 + int32_t(random.Below(8)), y + 3};
            HBRUSH brush = CreateSolidBrush(random.Below(256) < keyChance ? RGB(255, 0, 255)
                                                                        : COLORREF(random.Next() & 0xFFFFFF));
            FillRect(dc, &band, brush);
            DeleteObject(brush);
        }
        SelectObject(dc, previous);
        DeleteDC(dc);
    } else {
        static constexpr int32_t kBits[4] = {32, 32, 24, 16};
        void* bits = nullptr;
        s.bitmap = TestMakeDib(s.width, kind == 1 ? s.height : -s.height, kBits[kind], &bits);  // kind 1: bottom-up
        if (s.bitmap != nullptr)
            FillBytes(static_cast<uint8_t*>(bits), TestDibStride(s.width, kBits[kind]) * size_t(s.height), seed,
                      keyChance);
    }
    if (s.bitmap == nullptr) return s;
    TestPixels read = TestReadBitmap(s.bitmap);
    FuzzCheck(read.width == s.width && read.height == s.height, "the %d x %d source cannot be read back",
              s.width, s.height);
    s.pixels = std::move(read.pixels);
    return s;
}

// The strip the sprite's image should hold: the source stretched onto it, with the
// fourth bytes cleared, then softened when asked.
FUZZ_NO_COVERAGE std::vector<uint32_t> ExpectedImage(const Source& s, const SpriteRecord& r,
                                                     int32_t softening) {
    const int64_t stripWidth = int64_t(r.width) * r.frameCount, height = r.height;
    std::vector<uint32_t> image(size_t(stripWidth * height));
    for (int64_t y = 0; y < height; ++y) {
        const int64_t sy = (2 * y + 1) * s.height / (2 * height);
        for (int64_t x = 0; x < stripWidth; ++x) {
            const int64_t sx = (2 * x + 1) * s.width / (2 * stripWidth);
            image[size_t(y * stripWidth + x)] = s.pixels[size_t(sy * s.width + sx)] & 0x00FFFFFFu;
        }
    }
    if (softening > 0) ReferenceSoftening(image, stripWidth, height, r.transparentColor).Run();
    return image;
}

FUZZ_NO_COVERAGE void CheckImage(const SpriteRecord& r, const std::vector<uint32_t>& expected) {
    const auto* pixels = reinterpret_cast<const uint32_t*>(r.bits);
    const int64_t stripWidth = int64_t(r.width) * r.frameCount;
    for (size_t i = 0; i < expected.size(); ++i)
        if (pixels[i] != expected[i])
            FuzzCheck(false, "image pixel (%lld, %lld) is %08x, expected %08x",
                      (long long)(int64_t(i) % stripWidth), (long long)(int64_t(i) / stripWidth),
                      pixels[i], expected[i]);
}

int32_t Softening(FuzzInput& in) { return in.Byte() < 160 ? in.Range(-5, 120) : in.Extreme(); }

void Run(FuzzInput& in) {
    SpriteEngineInit();
    SpriteEngineStart(10, -1, -1);
    const GdiObjectCounts base = PlatformLiveGdiObjects();
    Source source = MakeSource(in);
    const int32_t frames = in.Byte() < 160 ? in.Range(-2, 8) : in.Extreme();
    const int32_t color = in.Byte() < 128 ? -1 : in.Byte() < 128 ? in.Extreme() : int32_t(in.U32());
    int32_t softening = Softening(in);

    // Handles that are not bitmaps are refused.
    HDC dc = CreateCompatibleDC(nullptr);
    HRGN region = CreateRectRgn(0, 0, 4, 4);
    SpriteCreateFromBitmap("NOTBMP", reinterpret_cast<HBITMAP>(dc), 3, -1, 50);
    SpriteCreateFromBitmap("NOTBMP", reinterpret_cast<HBITMAP>(region), 3, -1, 50);
    SpriteCreateFromBitmap("NOTBMP", nullptr, 3, -1, 50);
    FuzzCheck(SprFindSprite("NOTBMP") == 0, "a sprite was made from a handle that is no bitmap");
    DeleteDC(dc);
    DeleteObject(region);

    SpriteCreateFromBitmap("Sprite", source.bitmap, frames, color, softening);
    const int32_t slot = SprFindSprite("SPRITE");
    const int32_t frameCount = frames < 1 ? 1 : frames > 100 ? 100 : frames;
    const int32_t frameWidth = frameCount > 1 ? source.width / frameCount : source.width;
    if (source.bitmap == nullptr || frameWidth < 1) {
        FuzzCheck(slot == 0, "a sprite was made from %d x %d with %d frames", source.width,
                  source.height, frames);
    } else {
        FuzzCheck(slot != 0, "no sprite from a %d x %d bitmap with %d frames", source.width,
                  source.height, frames);
        const SpriteRecord& r = EngineState.SpriteTable[slot];
        const uint32_t c = color < 0 ? 0x00FF00FFu : uint32_t(color);
        const uint32_t key = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
        FuzzCheck(r.width == (frameWidth < 2 ? 2 : frameWidth) &&
                      r.height == (source.height < 2 ? 2 : source.height) && r.frameCount == frameCount &&
                      r.transparentColor == key && r.currentFrame == 1 && r.visible == 0 &&
                      r.cloneState == 0,
                  "record %d x %d, %d frames, key %06x from %d x %d, %d frames, colour %d", r.width,
                  r.height, r.frameCount, r.transparentColor, source.width, source.height, frames, color);
        FuzzCheck(r.bitmap != nullptr, "a small sprite has no image");
        CheckImage(r, ExpectedImage(source, r, softening));

        // The same name again: the sprite keeps its size, its image is redrawn.
        Source other = MakeSource(in);
        const SpriteRecord before = r;
        softening = Softening(in);
        SpriteCreateFromBitmap("sprite", other.bitmap, in.Extreme(), in.I32(), softening);
        FuzzCheck(SprFindSprite("Sprite") == slot && r.width == before.width && r.height == before.height &&
                      r.frameCount == before.frameCount && r.bitmap == before.bitmap &&
                      r.transparentColor == before.transparentColor,
                  "creating under a taken name changed the sprite");
        if (other.bitmap != nullptr) CheckImage(r, ExpectedImage(other, r, softening));
        if (other.bitmap != nullptr) DeleteObject(other.bitmap);
        SpriteDelete("SPRITE");
    }
    // The engine copied the pixels: the bitmap is the caller's to delete.
    if (source.bitmap != nullptr) FuzzCheck(DeleteObject(source.bitmap) == TRUE, "the bitmap was taken");
    const GdiObjectCounts after = PlatformLiveGdiObjects();
    FuzzCheck(after.Total() == base.Total(), "%d GDI objects left behind", after.Total() - base.Total());
    SpriteEngineShutdown();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    Run(in);
    return 0;
}

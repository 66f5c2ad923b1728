// Making sprites: a new sprite with an empty image, a clone sharing another
// sprite's image, and a sprite cut into frames from a GDI bitmap.
//
// A new sprite's image is one strip of width * frameCount columns by height rows;
// frame f (1-based) is columns (f-1)*width .. f*width-1. The strip must fit the
// 32-bit sizes of a bitmap description (columns, rows and bytes); a size beyond
// that, or one that cannot be allocated, still makes the sprite, with bitmap 0.
#include <cstdint>
#include <string_view>

#include "engine/core/engine_dib.h"
#include "engine/core/engine_state.h"
#include "engine/core/sprite_names.h"
#include "engine/core/sprite_table_check.h"
#include "engine/sprite_engine.h"
#include "engine/sprites/sprites_internal.h"
#include "platform/win32.h"

namespace {

// A GDI colour 0x00BBGGRR as a pixel value 0x00RRGGBB; negative means magenta.
uint32_t SprColorToPixel(int32_t color) {
    const uint32_t c = color < 0 ? RGB(255, 0, 255) : static_cast<uint32_t>(color);
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

// The strip's image, or 0 when its size does not fit a bitmap description's
// 32-bit fields or the platform cannot make it.
HBITMAP SprCreateStrip(int32_t width, int32_t height, int32_t frameCount, BYTE*& bits) {
    bits = nullptr;
    const int64_t columns = int64_t(width) * frameCount;
    if (columns > INT32_MAX / 4 || height > INT32_MAX / (columns * 4)) return nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = SprCreateDIB(screen, 32, static_cast<int32_t>(columns), height, bits);
    ReleaseDC(nullptr, screen);
    if (!bitmap) bits = nullptr;
    return bitmap;
}

}  // namespace

void SprCreateSprite(std::string_view name, int32_t width, int32_t height, int32_t frameCount,
                     int32_t color, std::string_view sourceName) {
    // Sprites live only in a started engine: a table sized by an earlier init or by
    // a start that could not make its back buffer is refilled by the next start, so
    // nothing is made before then and every sprite operation finds nothing.
    if (EngineState.engineStarted == 0) return;
    const int64_t key = SprNameKey(name);
    const int64_t sourceKey = sourceName.empty() ? 0 : SprNameKey(sourceName);
    // A source name whose key is 0 (only zero bytes first) finds nothing to clone,
    // so it is taken as a new sprite and needs a size like one.
    if (sourceKey == 0 && (width < 1 || height < 1)) return;

    auto& table = EngineState.SpriteTable;
    const int32_t last = SprLastSlot();
    int32_t source = 0;
    int32_t freeSlot = 0;
    // One pass: a taken name ends the call; remember the source and the lowest free
    // slot on the way. The empty name (key 0) meets the first free slot as "taken".
    for (int32_t i = 1; i <= last; ++i) {
        const SpriteRecord& r = table[i];
        if (r.nameKey == key) return;
        if (r.nameKey == 0) {
            if (freeSlot == 0) freeSlot = i;
        } else if (sourceKey != 0 && r.nameKey == sourceKey && r.cloneState <= 0) {
            source = i;
        }
    }
    if (sourceKey != 0 && source == 0) return;
    if (freeSlot == 0) return;

    SpriteRecord& r = table[freeSlot];
    if (sourceKey != 0) {
        r = table[source];
        r.nameKey = key;
        r.cloneState = 1;
        table[source].cloneState = -1;
        return;
    }

    r = SpriteRecord{};
    r.width = width < 2 ? 2 : width;
    r.height = height < 2 ? 2 : height;
    r.frameCount = frameCount < 1 ? 1 : frameCount;
    r.transparentColor = SprColorToPixel(color);
    r.currentFrame = 1;
    r.bitmap = SprCreateStrip(r.width, r.height, r.frameCount, r.bits);
    r.nameKey = key;
}

void SpriteCreateFromBitmap(std::string_view name, HBITMAP bitmap, int32_t frameCount,
                            int32_t color, int32_t edgeSoftening) {
    if (!bitmap || GetObjectType(bitmap) != OBJ_BITMAP) return;
    int32_t bitmapWidth = 0;
    int32_t bitmapHeight = 0;
    SpriteGetBitmapSize(bitmap, bitmapWidth, bitmapHeight);

    if (frameCount < 1) frameCount = 1;
    if (frameCount > 100) frameCount = 100;
    const int32_t frameWidth = frameCount > 1 ? bitmapWidth / frameCount : bitmapWidth;
    SprCreateSprite(name, frameWidth, bitmapHeight, frameCount, color, {});
    SprAssertSpriteTable();

    // Also when the name already existed: its whole image is redrawn from the bitmap.
    HDC dc = nullptr;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    if (!SpriteBeginDraw(name, 0, dc, left, top, right, bottom)) return;
    SprDrawBitmapStretched(dc, left, top, right - left + 1, bottom - top + 1, bitmap);
    SpriteEndDraw(edgeSoftening);
}

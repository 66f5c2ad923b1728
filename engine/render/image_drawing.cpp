// Opening a sprite image for GDI drawing and preparing it for the compositor when
// it is closed. Only one image is open at a time (DrawContext).
#include <algorithm>
#include <climits>

#include "engine/core/engine_state.h"
#include "engine/core/sprite_names.h"
#include "engine/render/edge_softening.h"
#include "engine/sprite_engine.h"

int32_t SpriteBeginDraw(std::string_view name, int32_t frame, HDC& dc, int32_t& left,
                        int32_t& top, int32_t& right, int32_t& bottom) {
    if (DrawContext.dc) return 0;
    const int32_t slot = SprFindSprite(name);
    if (slot == 0) return 0;
    SprClearEdgeCodes(slot);
    DrawContext.slot = slot;
    const SpriteRecord& sprite = EngineState.SpriteTable[slot];
    if (!sprite.bitmap) return 0;

    int64_t first = 0, last = 0;
    if (frame == 0) {
        last = int64_t(sprite.width) * sprite.frameCount - 1;
    } else {
        if (frame < 1 || frame > sprite.frameCount) frame = 1;
        first = int64_t(sprite.width) * (frame - 1);
        last = first + sprite.width - 1;
    }

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    // With no DC to hand out, nothing is open.
    if (!memory) {
        DrawContext.slot = 0;
        return 0;
    }
    HGDIOBJ previous = SelectObject(memory, sprite.bitmap);
    if (!previous) {
        DeleteDC(memory);
        DrawContext.slot = 0;
        return 0;
    }
    DrawContext.dc = memory;
    DrawContext.previousBitmap = previous;
    dc = memory;
    left = static_cast<int32_t>(std::clamp<int64_t>(first, INT32_MIN, INT32_MAX));
    right = static_cast<int32_t>(std::clamp<int64_t>(last, INT32_MIN, INT32_MAX));
    top = 0;
    bottom = sprite.height - 1;
    return 1;
}

void SpriteEndDraw(int32_t softening) {
    if (!DrawContext.dc) return;
    SelectObject(DrawContext.dc, DrawContext.previousBitmap);
    DeleteDC(DrawContext.dc);
    DrawContext.dc = nullptr;
    DrawContext.previousBitmap = nullptr;
    // GDI has finished with the image before its pixels are read directly.
    GdiFlush();
    const int32_t slot = DrawContext.slot;
    if (slot >= 1 && slot <= SprLastSlot()) {
        SprClearEdgeCodes(slot);
        SpriteRecord& sprite = EngineState.SpriteTable[slot];
        if (softening > 0) {
            SprSoftenEdges(slot);
            sprite.edgeBlend = static_cast<float>(std::min(softening, 100) / 100.0);
        } else {
            sprite.edgeBlend = 0.0f;
        }
    }
    DrawContext.slot = 0;
}

// Cloning and deleting sprites.
//
// The clone relation is one level deep and lives in the records only: a source has
// cloneState -1, its clones are the live slots with cloneState 1 and the source's
// bitmap handle. Only the source (or a never-cloned sprite) frees the image, so
// deleting a source takes its clones with it and frees the shared image once.
#include <cstdint>
#include <string_view>

#include "engine/core/engine_state.h"
#include "engine/core/sprite_names.h"
#include "engine/core/sprite_table_check.h"
#include "engine/sprite_engine.h"
#include "engine/sprites/sprites_internal.h"
#include "platform/win32.h"

namespace {

// If the slot's image is the one open for drawing, closes the drawing DC without
// preparing the image, so that the image can really be freed and no later
// SpriteEndDraw works on a slot that another sprite may take.
void SprCloseDrawingOf(int32_t slot) {
    if (DrawContext.dc == nullptr || DrawContext.slot != slot) return;
    SelectObject(DrawContext.dc, DrawContext.previousBitmap);
    DeleteDC(DrawContext.dc);
    DrawContext = DrawContextData{};
}

// Marks a visible sprite's rectangle (while canvas still names its canvas) and
// frees the slot. The image is not touched.
void SprReleaseSlot(int32_t slot) {
    SprCloseDrawingOf(slot);
    SpriteRecord& r = EngineState.SpriteTable[slot];
    if (r.visible != 0) SprInvalidateSprite(slot);
    r.nameKey = 0;
    r.bitmap = nullptr;
    r.canvas = nullptr;
}

// Frees a live slot; a source takes its clones with it and frees the image once.
void SprDeleteSlot(int32_t slot) {
    auto& table = EngineState.SpriteTable;
    const HBITMAP image = table[slot].bitmap;

    if (table[slot].cloneState == 1) {
        SprReleaseSlot(slot);
        return;
    }
    if (table[slot].cloneState == -1) {
        const int32_t last = SprLastSlot();
        for (int32_t i = 1; i <= last; ++i) {
            const SpriteRecord& r = table[i];
            if (i != slot && r.nameKey != 0 && r.cloneState == 1 && r.bitmap == image) {
                SprReleaseSlot(i);
            }
        }
    }
    SprReleaseSlot(slot);
    if (image != nullptr) DeleteObject(image);
}

}  // namespace

void SpriteClone(std::string_view name, std::string_view sourceName) {
    SprCreateSprite(name, 0, 0, 0, 0, sourceName);
    SprAssertSpriteTable();
}

void SpriteDelete(std::string_view name) {
    const int32_t slot = SprFindSprite(name);
    if (slot == 0) return;
    SprDeleteSlot(slot);
    SprAssertSpriteTable();
}

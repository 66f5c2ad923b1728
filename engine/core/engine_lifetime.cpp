// The engine's lifetime: SpriteEngineInit, SpriteEngineStart, SpriteEngineShutdown
// and the internal steps they run.
//
// The engine may be initialised, started and shut down again after a shutdown:
// shutdown leaves every member of EngineState and DrawContext as at process start.
#include <cstdint>

#include "engine/core/blend_tables.h"
#include "engine/core/engine_dib.h"
#include "engine/core/engine_state.h"
#include "engine/core/sprite_table_check.h"
#include "engine/sprite_engine.h"

namespace {
constexpr const char* kCanvasAtomNames[7] = {
    nullptr,
    "QXSPRITE_SUBCLASS1",
    "QXSPRITE_SUBCLASS2",
    "QXSPRITE_SUBCLASS3",
    "QXSPRITE_SUBCLASS4",
    "QXSPRITE_SUBCLASS5",
    "QXSPRITE_SUBCLASS6",
};

// Closes an image left open for drawing, so that its bitmap is selected nowhere
// and its DC does not outlive the table the slot number refers to.
void SprCloseOpenImage() {
    if (DrawContext.dc) {
        SelectObject(DrawContext.dc, DrawContext.previousBitmap);
        DeleteDC(DrawContext.dc);
    }
    DrawContext = DrawContextData{};
}

// Deletes every sprite image once: through the records that own one (cloneState
// 0 or -1); clones share their source's image and are skipped.
void SprFreeSpriteImages() {
    SprCloseOpenImage();
    const int32_t last = SprLastSlot();
    for (int32_t slot = 1; slot <= last; ++slot) {
        SpriteRecord& record = EngineState.SpriteTable[slot];
        if (record.cloneState <= 0 && record.bitmap) {
            DeleteObject(record.bitmap);
            record.bitmap = nullptr;
        }
    }
}

// A table of slots 1..slots, all zero (index 0 unused).
void SprSizeSpriteTable(int32_t slots) {
    EngineState.SpriteTable.assign(static_cast<size_t>(slots) + 1, SpriteRecord{});
}

void SprResetSpriteTable() {
    SprSizeSpriteTable(2);
    EngineState.BackBuffer.bitmap = nullptr;
}

void SprAddCanvasAtoms() {
    // A failed add leaves 0 in its slot; nothing is reported.
    for (int i = 1; i <= 6; ++i) EngineState.canvasAtoms[i] = GlobalAddAtomA(kCanvasAtomNames[i]);
}

void SprDeleteCanvasAtoms() {
    for (int i = 1; i <= 6; ++i) {
        if (EngineState.canvasAtoms[i]) GlobalDeleteAtom(EngineState.canvasAtoms[i]);
        EngineState.canvasAtoms[i] = 0;
    }
}

void SprReleaseEngine() {
    BackBufferData& back = EngineState.BackBuffer;
    if (back.bitmap) DeleteObject(back.bitmap);
    if (back.dc) DeleteDC(back.dc);
    back = BackBufferData{};
    EngineState.engineStarted = 0;
    SprFreeSpriteImages();
    EngineState.SpriteTable.clear();
    EngineState.SpriteTable.shrink_to_fit();
    SprFreeBlendTables();
}
}  // namespace

void SpriteEngineInit() {
    SprResetSpriteTable();
    SprAddCanvasAtoms();
    EngineState.autoInvalidate = 1;
    SprAssertSpriteTable();
}

void SpriteEngineStart(int32_t maxSprites, int32_t minWidth, int32_t minHeight) {
    if (EngineState.engineStarted != 0) return;
    if (maxSprites <= 10) maxSprites = 10;
    if (maxSprites > 1000) maxSprites = 1000;
    // Sprites made before the start cannot be reached once the table is made anew,
    // so their images are freed here rather than lost.
    SprFreeSpriteImages();
    SprSizeSpriteTable(maxSprites);

    int32_t width = GetSystemMetrics(SM_CXSCREEN);
    int32_t height = GetSystemMetrics(SM_CYSCREEN);
    if (width < minWidth) width = minWidth;
    if (height < minHeight) height = minHeight;
    if (width < 256) width = 256;
    if (height < 257) height = 257;

    HDC screen = GetDC(nullptr);
    BackBufferData& back = EngineState.BackBuffer;
    back.bitmap = SprCreateDIB(screen, 32, width, height, back.bits);
    if (back.bitmap) {
        back.dc = CreateCompatibleDC(screen);
        if (back.dc) {
            EngineState.engineStarted = 1;
            SprBuildBlendTables();
        } else {
            // Without its DC the back buffer is of no use; stay unstarted.
            DeleteObject(back.bitmap);
            back = BackBufferData{};
        }
    } else {
        back = BackBufferData{};
    }
    ReleaseDC(nullptr, screen);
    SprAssertSpriteTable();
}

void SpriteEngineShutdown() {
    SprReleaseEngine();
    SprDeleteCanvasAtoms();
}

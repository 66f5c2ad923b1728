// The engine's process-wide state: every table the engine keeps, in one place.
// Used only by the thread that owns the canvas windows; nothing is locked.
//
// Sprite table invariants:
// - SpriteTable is 1-based: slot i is SpriteTable[i]; index 0 is never used, so the
//   vector holds last slot + 1 records (or none after shutdown).
// - A slot is free exactly when its nameKey is 0. A free slot's other fields are
//   stale, except bitmap and canvas, which deletion sets to 0.
// - At most one slot holds any non-zero key. Slot order is drawing order.
// - A record with cloneState 0 or -1 owns its bitmap; a clone (1) shares its
//   source's bitmap and bits and never frees them.
// SprCheckSpriteTable (sprite_table_check.h) checks these rules; debug builds
// check them after every operation that changes slots, names or images.
//
// Sprite image layout: a top-down 32-bit DIB section of width * frameCount columns
// and height rows, no row padding; frame f (1-based) is columns (f-1)*width to
// f*width-1. Bytes per pixel: blue, green, red, edge code. Edge code 0 is a plain
// pixel; otherwise the high nibble n (1..15) is the length of the edge run and the
// low nibble k its position counted from the run's far end (n next to the outline).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32.h"

struct SpriteRecord {
    int64_t nameKey;            // key of the name; 0 = free slot
    int32_t width;              // one frame, pixels
    int32_t height;
    int32_t frameCount;         // >= 1
    HBITMAP bitmap;             // the image; 0 = none
    BYTE* bits;                 // top-left pixel of bitmap
    uint32_t transparentColor;  // colour key as a pixel value 0x00RRGGBB
    HWND canvas;                // 0 = on no canvas
    int32_t x;                  // left edge, canvas client coordinates
    int32_t y;                  // top edge
    int32_t currentFrame;       // 1-based
    int32_t visible;            // 1 = drawn
    int32_t translucency;       // background's share in percent, 0..100; 0 = opaque
    int32_t flipHorizontal;     // 1 = mirrored left to right
    int32_t flipVertical;       // 1 = upside down
    float edgeBlend;            // 0.0..1.0, strength of the softened edges
    int32_t cloneState;         // 0 plain, 1 clone, -1 cloned at least once
};

// The screen-sized composition surface. bitmap is never left selected into dc
// between operations, so the canvas paint can select it into its own DC.
struct BackBufferData {
    HBITMAP bitmap;  // 32-bit top-down DIB section; 0 = none
    BYTE* bits;      // its top-left pixel; rows of width * 4 bytes, no padding
    HDC dc;          // memory DC compatible with the screen; 0 = none
};

// MulTable[a * 256 + v] = a * v for a in 0..100, v in 0..255, plus one last 0
// entry (25,857 in all); DivTable[i] = i / 100 for i in 0..25,500. Empty when absent.
struct BlendTablesData {
    std::vector<int32_t> MulTable;
    std::vector<BYTE> DivTable;
};

struct EngineStateData {
    ATOM canvasAtoms[7];  // [1..6]: atoms of "QXSPRITE_SUBCLASS1".."6"; [0] unused
    int32_t engineStarted;  // 1 from a start that created the back buffer until shutdown
    int32_t autoInvalidate; // 1 = commands mark changed rectangles invalid
    std::vector<SpriteRecord> SpriteTable;
    BackBufferData BackBuffer;
    BlendTablesData BlendTables;
};

// The one sprite image open for drawing.
struct DrawContextData {
    HDC dc;                  // memory DC holding the open image; 0 = none open
    HGDIOBJ previousBitmap;  // what dc held before the image
    int32_t slot;            // slot of the sprite being drawn; 0 = none
};

extern EngineStateData EngineState;
extern DrawContextData DrawContext;

// Number of the last slot of the sprite table (0 when there is no table).
inline int32_t SprLastSlot() {
    const auto size = static_cast<int32_t>(EngineState.SpriteTable.size());
    return size > 0 ? size - 1 : 0;
}

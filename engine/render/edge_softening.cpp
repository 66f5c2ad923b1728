// Edge softening: marks transparent pixels beside steps of a sprite's outline as
// edge pixels, which the compositor draws as a short fade.
//
// The edge-code byte (the fourth byte of a pixel): 0 = plain pixel; otherwise the
// high nibble n (1..15) is the length of the edge run and the low nibble k its
// position counted from the run's far end, n next to the outline down to 1. The
// colour bytes of an edge pixel are those of the opaque pixel that starts its run.
//
// The build reads only the image as it was when it began and collects the results
// in a separate buffer E, written back at the end; so every test sees the original
// pixels, and the image itself is the snapshot. Scans treat the whole strip as one
// picture: runs and step tests cross the boundaries between frames.
#include <cstddef>
#include <cstdint>
#include <new>

#include "engine/core/engine_state.h"
#include "engine/render/edge_softening.h"

namespace {
constexpr int32_t kRunMark = 15;  // run value meaning "an opaque pixel was just passed"
constexpr int32_t kMaxRun = 15;   // an edge run holds at most this many pixels

// The picture the scans walk, with the element stride along a scan line and
// across it, so that one routine serves rows and columns.
struct SprSoftenPicture {
    const uint32_t* pixels;  // the image, unchanged during the build
    uint32_t* edges;         // E: result per pixel, 0 = none
    uint32_t key;            // transparent colour
    int64_t along;           // pixels per scan line
    int64_t across;          // number of scan lines
    int64_t alongStride;     // element step to the next pixel of a line
    int64_t acrossStride;    // element step to the next line
};

inline bool SprOpaque(const SprSoftenPicture& p, int64_t index) { return p.pixels[index] != p.key; }

// A step pixel has an opaque neighbour on a neighbouring scan line.
inline bool SprStepPixel(const SprSoftenPicture& p, int64_t line, int64_t index) {
    return (line > 0 && SprOpaque(p, index - p.acrossStride)) ||
           (line < p.across - 1 && SprOpaque(p, index + p.acrossStride));
}

// One scan along `line` in direction dir (+1 or -1). vertical selects the write
// rule that a run of one never replaces a value already in E.
void SprScanLine(const SprSoftenPicture& p, int64_t line, int32_t dir, bool vertical) {
    const int64_t base = line * p.acrossStride;
    const int64_t first = dir > 0 ? 0 : p.along - 1;
    int32_t run = 0;
    int32_t length = 0;
    uint32_t colour = 0;
    for (int64_t pos = first; pos >= 0 && pos < p.along; pos += dir) {
        const int64_t index = base + pos * p.alongStride;
        if (SprOpaque(p, index)) {
            run = kRunMark;
            continue;
        }
        if (run <= 0) continue;
        if (!SprStepPixel(p, line, index)) {
            run = 0;
            continue;
        }
        if (run == kRunMark) {
            // run is kRunMark only right after an opaque pixel, at pos - dir.
            colour = p.pixels[index - dir * p.alongStride] & 0x00FFFFFFu;
            length = 1;
            for (int64_t ahead = pos + dir; ahead >= 0 && ahead < p.along && length < kMaxRun;
                 ahead += dir) {
                const int64_t aheadIndex = base + ahead * p.alongStride;
                if (SprOpaque(p, aheadIndex) || !SprStepPixel(p, line, aheadIndex)) break;
                ++length;
            }
            run = length;
        }
        const uint32_t code = static_cast<uint32_t>(length * 16 + run);
        uint32_t& edge = p.edges[index];
        if (!vertical || (edge >> 24) == 0 || length > 1) edge = colour | (code << 24);
        --run;
    }
}


void SprBuildEdges(uint32_t* pixels, int64_t stripWidth, int64_t height, uint32_t key) {
    const int64_t count = stripWidth * height;
    if (static_cast<uint64_t>(count) > SIZE_MAX / sizeof(uint32_t)) return;
    uint32_t* edges = new (std::nothrow) uint32_t[static_cast<size_t>(count)]();
    if (!edges) return;  // too large to work on: the image stays as it is

    const SprSoftenPicture rows{pixels, edges, key, stripWidth, height, 1, stripWidth};
    for (int64_t y = 0; y < height; ++y) {
        SprScanLine(rows, y, +1, false);
        SprScanLine(rows, y, -1, false);
    }
    const SprSoftenPicture columns{pixels, edges, key, height, stripWidth, stripWidth, 1};
    for (int64_t x = 0; x < stripWidth; ++x) {
        SprScanLine(columns, x, +1, true);
        SprScanLine(columns, x, -1, true);
    }
    for (int64_t i = 0; i < count; ++i)
        if ((edges[i] >> 24) != 0) pixels[i] = edges[i];
    delete[] edges;
}
// The slot's image as one strip, or nullptr when the slot has none to work on.
uint32_t* SprStripOf(int32_t slot, int64_t& stripWidth, int64_t& height) {
    if (slot < 1 || slot > SprLastSlot()) return nullptr;
    const SpriteRecord& sprite = EngineState.SpriteTable[slot];
    if (!sprite.bitmap || !sprite.bits || sprite.width < 1 || sprite.height < 1 ||
        sprite.frameCount < 1)
        return nullptr;
    stripWidth = int64_t(sprite.width) * sprite.frameCount;
    height = sprite.height;
    return reinterpret_cast<uint32_t*>(sprite.bits);
}
}  // namespace

void SprClearEdgeCodes(int32_t slot) {
    int64_t stripWidth = 0, height = 0;
    uint32_t* pixels = SprStripOf(slot, stripWidth, height);
    if (pixels == nullptr) return;
    for (int64_t i = 0; i < stripWidth * height; ++i) pixels[i] &= 0x00FFFFFFu;
}

void SprSoftenEdges(int32_t slot) {
    int64_t stripWidth = 0, height = 0;
    uint32_t* pixels = SprStripOf(slot, stripWidth, height);
    if (pixels == nullptr) return;
    SprBuildEdges(pixels, stripWidth, height, EngineState.SpriteTable[slot].transparentColor);
}

// Pixel-exact hit tests: which sprites touch a sprite, and which sprite lies under
// a point of a canvas.
//
// A pixel is solid when its whole 32-bit value differs from the sprite's colour
// key (an edge pixel, whose fourth byte is set, is always solid); translucency
// does not matter. Pixels come from the current frame as stored: flips are not
// applied. Rectangles are taken in 64-bit, so sprites at the 32-bit limits are
// tested exactly, with no coordinate wrapping around.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/canvas/canvas.h"
#include "engine/core/engine_state.h"
#include "engine/core/sprite_names.h"
#include "engine/sprite_engine.h"
#include "platform/win32.h"

namespace {

// Row r of the sprite's current frame: width pixels. The frame is limited to
// 1..frameCount, as the compositor draws it.
const uint32_t* SprFrameRow(const SpriteRecord& r, int64_t row) {
    const int64_t frame = std::clamp(r.currentFrame, 1, r.frameCount);
    const int64_t stride = int64_t(r.width) * r.frameCount;
    return reinterpret_cast<const uint32_t*>(r.bits) + row * stride + (frame - 1) * r.width;
}

// Whether a solid pixel of a lies on a solid pixel of b.
bool SprSolidOverlap(const SpriteRecord& a, const SpriteRecord& b) {
    const int64_t left = std::max<int64_t>(a.x, b.x);
    const int64_t top = std::max<int64_t>(a.y, b.y);
    const int64_t right = std::min(int64_t(a.x) + a.width, int64_t(b.x) + b.width);
    const int64_t bottom = std::min(int64_t(a.y) + a.height, int64_t(b.y) + b.height);
    // Rectangles that only touch along an edge do not intersect.
    if (left >= right || top >= bottom) return false;
    for (int64_t y = top; y < bottom; ++y) {
        // Both rows start at the intersection's left column.
        const uint32_t* rowA = SprFrameRow(a, y - a.y) + (left - a.x);
        const uint32_t* rowB = SprFrameRow(b, y - b.y) + (left - b.x);
        for (int64_t i = 0; i < right - left; ++i) {
            if (rowA[i] != a.transparentColor && rowB[i] != b.transparentColor) return true;
        }
    }
    return false;
}

}  // namespace

std::string SpriteCollisions(std::string_view name) {
    std::string result;
    if (SprNameKey(name) == 0) return result;
    const int32_t slot = SprFindSprite(name);
    if (slot == 0) return result;
    const auto& table = EngineState.SpriteTable;
    const SpriteRecord& a = table[slot];
    if (a.visible == 0 || a.bitmap == nullptr) return result;

    const int32_t last = SprLastSlot();
    for (int32_t i = 1; i <= last; ++i) {
        const SpriteRecord& b = table[i];
        if (i == slot || b.nameKey == 0 || b.nameKey == a.nameKey || b.bitmap == nullptr ||
            b.visible == 0 || b.canvas != a.canvas) {
            continue;
        }
        if (!SprSolidOverlap(a, b)) continue;
        if (!result.empty()) result += '|';
        result += SprKeyName(b.nameKey);
    }
    return result;
}

std::string SpriteAtPoint(HWND canvas, int32_t px, int32_t py) {
    if (!IsWindow(canvas) || !SprIsCanvas(canvas)) return {};
    const auto& table = EngineState.SpriteTable;
    // Topmost first: the reverse of drawing order.
    for (int32_t i = SprLastSlot(); i >= 1; --i) {
        const SpriteRecord& r = table[i];
        if (r.canvas != canvas || r.bitmap == nullptr || r.visible == 0 || r.nameKey == 0) continue;
        const int64_t column = int64_t(px) - r.x;
        const int64_t row = int64_t(py) - r.y;
        if (column < 0 || column >= r.width || row < 0 || row >= r.height) continue;
        if (SprFrameRow(r, row)[column] == r.transparentColor) continue;
        return SprKeyName(r.nameKey);
    }
    return {};
}

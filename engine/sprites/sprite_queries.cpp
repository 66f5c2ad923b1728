// Reading sprite properties back, and the drawing order (slot order) of two sprites.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "engine/core/engine_state.h"
#include "engine/core/sprite_names.h"
#include "engine/sprite_engine.h"
#include "engine/sprites/sprites_internal.h"
#include "platform/win32.h"

namespace {

// Query code of a SpriteGetFlag letter that matches no property.
constexpr int32_t kNoQuery = 99;

int32_t SprFlagCode(std::string_view letter) {
    std::string text(letter);
    if (!text.empty()) CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return kNoQuery;
    const std::string_view code =
        std::string_view(text).substr(first, text.find_last_not_of(' ') - first + 1);
    if (code == "V") return 3;
    if (code == "E") return 4;
    if (code == ">") return 5;
    if (code == "^") return 6;
    return kNoQuery;
}

}  // namespace

int32_t SprQuerySprite(std::string_view name, int32_t& first, int32_t& second, int32_t code) {
    const int32_t slot = SprFindSprite(name);
    if (slot == 0) {
        first = 0;
        second = 0;
        return 0;
    }
    const SpriteRecord& r = EngineState.SpriteTable[slot];
    switch (code) {
        case 0: first = r.x; second = r.y; return 1;
        case 1: first = r.width; second = r.height; return 1;
        case 2: first = r.frameCount; second = r.currentFrame; return 1;
        case 3: return r.visible;
        case 4: return r.translucency;
        case 5: return r.flipHorizontal;
        case 6: return r.flipVertical;
        default: return 0;
    }
}

int32_t SpriteGetPosition(std::string_view name, int32_t& x, int32_t& y) {
    return SprQuerySprite(name, x, y, 0);
}

int32_t SpriteGetSize(std::string_view name, int32_t& width, int32_t& height) {
    return SprQuerySprite(name, width, height, 1);
}

int32_t SpriteGetFrame(std::string_view name, int32_t& frameCount, int32_t& currentFrame) {
    return SprQuerySprite(name, frameCount, currentFrame, 2);
}

int32_t SpriteGetFlag(std::string_view name, std::string_view letter) {
    int32_t unused1 = 0, unused2 = 0;
    return SprQuerySprite(name, unused1, unused2, SprFlagCode(letter));
}

void SpriteSwap(std::string_view nameA, std::string_view nameB) {
    const int32_t a = SprFindSprite(nameA);
    const int32_t b = SprFindSprite(nameB);
    if (a == 0 || b == 0 || a == b) return;
    std::swap(EngineState.SpriteTable[a], EngineState.SpriteTable[b]);
    // The image open for drawing stays with its sprite, so that SpriteEndDraw
    // prepares the image that was drawn on.
    if (DrawContext.slot == a) {
        DrawContext.slot = b;
    } else if (DrawContext.slot == b) {
        DrawContext.slot = a;
    }
}

// Reading sprite properties back, and the drawing order (slot order) of two sprites.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "engine/core/engine_state.h"
#include "engine/core/sprite_names.h"
#include "engine/core/sprite_table_check.h"
#include "engine/sprite_engine.h"
#include "engine/sprites/sprites_internal.h"
#include "platform/win32.h"

namespace {

// The flag a SpriteGetFlag letter reads; none for any other text.
SprQuery SprFlagQuery(std::string_view letter) {
    std::string text(letter);
    if (!text.empty()) CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return SprQuery::none;
    const std::string_view code =
        std::string_view(text).substr(first, text.find_last_not_of(' ') - first + 1);
    if (code == "V") return SprQuery::visible;
    if (code == "E") return SprQuery::translucency;
    if (code == ">") return SprQuery::flipHorizontal;
    if (code == "^") return SprQuery::flipVertical;
    return SprQuery::none;
}

}  // namespace

int32_t SprQuerySprite(std::string_view name, int32_t& first, int32_t& second, SprQuery query) {
    const int32_t slot = SprFindSprite(name);
    if (slot == 0) {
        first = 0;
        second = 0;
        return 0;
    }
    const SpriteRecord& r = EngineState.SpriteTable[slot];
    switch (query) {
        case SprQuery::position: first = r.x; second = r.y; return 1;
        case SprQuery::size: first = r.width; second = r.height; return 1;
        case SprQuery::frames: first = r.frameCount; second = r.currentFrame; return 1;
        case SprQuery::visible: return r.visible;
        case SprQuery::translucency: return r.translucency;
        case SprQuery::flipHorizontal: return r.flipHorizontal;
        case SprQuery::flipVertical: return r.flipVertical;
        case SprQuery::none: return 0;
    }
    return 0;
}

int32_t SpriteGetPosition(std::string_view name, int32_t& x, int32_t& y) {
    return SprQuerySprite(name, x, y, SprQuery::position);
}

int32_t SpriteGetSize(std::string_view name, int32_t& width, int32_t& height) {
    return SprQuerySprite(name, width, height, SprQuery::size);
}

int32_t SpriteGetFrame(std::string_view name, int32_t& frameCount, int32_t& currentFrame) {
    return SprQuerySprite(name, frameCount, currentFrame, SprQuery::frames);
}

int32_t SpriteGetFlag(std::string_view name, std::string_view letter) {
    int32_t unused1 = 0, unused2 = 0;
    return SprQuerySprite(name, unused1, unused2, SprFlagQuery(letter));
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
    SprAssertSpriteTable();
}

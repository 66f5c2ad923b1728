// Commands on sprite lists and the marking of changed rectangles.
//
// Commands never draw: they change records and add the sprite's rectangle,
// clipped to the client area, to its canvas's update region, so that one paint
// later brings a whole batch of changes to the screen. Arguments that do not
// depend on the sprite are normalised once, before the list is walked.
#include <cstdint>
#include <string_view>

#include "engine/canvas/canvas.h"
#include "engine/core/engine_state.h"
#include "engine/core/saturate.h"
#include "engine/sprite_engine.h"
#include "engine/sprites/sprites_internal.h"
#include "platform/win32.h"

void SprSpriteRect(int32_t slot, RECT& rect) {
    rect = RECT{};
    if (slot < 1 || slot > SprLastSlot()) return;
    const SpriteRecord& r = EngineState.SpriteTable[slot];
    rect.left = r.x;
    rect.top = r.y;
    rect.right = SprSaturate(int64_t(r.x) + r.width);
    rect.bottom = SprSaturate(int64_t(r.y) + r.height);
}

void SprInvalidateSprite(int32_t slot) {
    if (EngineState.autoInvalidate == 0) return;
    if (slot < 1 || slot > SprLastSlot()) return;
    HWND canvas = EngineState.SpriteTable[slot].canvas;
    if (!canvas || !IsWindow(canvas) || !IsWindowVisible(canvas)) return;
    RECT client{};
    GetClientRect(canvas, &client);
    RECT sprite{};
    SprSpriteRect(slot, sprite);
    RECT dirty{};
    if (IntersectRect(&dirty, &sprite, &client)) InvalidateRect(canvas, &dirty, TRUE);
}

void SpriteSetAutoInvalidate(int32_t on) { EngineState.autoInvalidate = on != 0 ? 1 : 0; }

void SpriteSetCanvas(HWND canvas, std::string_view list) {
    if (!IsWindow(canvas) || !SprIsCanvas(canvas)) return;
    SprForEachListed(list, [canvas](int32_t slot) {
        SpriteRecord& r = EngineState.SpriteTable[slot];
        // Leaving another canvas: clear the area it showed there.
        if (r.canvas != canvas && r.visible != 0 && r.canvas != nullptr) SprInvalidateSprite(slot);
        r.canvas = canvas;
        r.visible = 0;
    });
}

void SpriteMove(std::string_view list, int32_t x, int32_t y, int32_t relative) {
    SprForEachListed(list, [x, y, relative](int32_t slot) {
        SpriteRecord& r = EngineState.SpriteTable[slot];
        // Relative moves stop at the 32-bit limits instead of wrapping around.
        const int32_t newX = relative != 0 ? SprSaturate(int64_t(r.x) + x) : x;
        const int32_t newY = relative != 0 ? SprSaturate(int64_t(r.y) + y) : y;
        if (newX != r.x || newY != r.y) {
            SprInvalidateSprite(slot);
            r.x = newX;
            r.y = newY;
        }
        SprInvalidateSprite(slot);
    });
}

void SpriteShow(std::string_view list, int32_t show) {
    const int32_t visible = show != 0 ? 1 : 0;
    SprForEachListed(list, [visible](int32_t slot) {
        SpriteRecord& r = EngineState.SpriteTable[slot];
        if (r.visible == visible) return;
        r.visible = visible;
        SprInvalidateSprite(slot);
    });
}

void SpriteSetOpacity(std::string_view list, int32_t opacity, int32_t refresh) {
    if (opacity < 0) opacity = 0;
    if (opacity > 100) opacity = 100;
    const int32_t translucency = opacity == 0 ? 0 : 100 - opacity;
    SprForEachListed(list, [translucency, refresh](int32_t slot) {
        SpriteRecord& r = EngineState.SpriteTable[slot];
        if (r.translucency == translucency) return;
        r.translucency = translucency;
        if (refresh != 0) SprInvalidateSprite(slot);
    });
}

void SpriteSetFrame(std::string_view list, int32_t frame, int32_t relative, int32_t refresh) {
    SprForEachListed(list, [frame, relative, refresh](int32_t slot) {
        SpriteRecord& r = EngineState.SpriteTable[slot];
        // 64-bit, so that a step by the 32-bit limits wraps as a jump, not an overflow.
        int64_t f = relative != 0 ? int64_t(r.currentFrame) + frame : frame;
        if (f < 1) f = r.frameCount;
        if (f > r.frameCount) f = 1;
        if (f == r.currentFrame) return;
        r.currentFrame = static_cast<int32_t>(f);
        if (refresh != 0) SprInvalidateSprite(slot);
    });
}

void SpriteSetFlip(std::string_view list, int32_t horizontal, int32_t vertical, int32_t refresh) {
    const int32_t flipHorizontal = horizontal != 0 ? 1 : 0;
    const int32_t flipVertical = vertical != 0 ? 1 : 0;
    SprForEachListed(list, [flipHorizontal, flipVertical, refresh](int32_t slot) {
        SpriteRecord& r = EngineState.SpriteTable[slot];
        r.flipHorizontal = flipHorizontal;
        r.flipVertical = flipVertical;
        if (refresh != 0) SprInvalidateSprite(slot);
    });
}

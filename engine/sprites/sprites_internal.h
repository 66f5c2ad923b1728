// Internal routines of sprite management shared between its files.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/win32.h"

// A new sprite (empty sourceName) or a clone of sourceName, in the lowest free slot.
void SprCreateSprite(std::string_view name, int32_t width, int32_t height, int32_t frameCount,
                     int32_t color, std::string_view sourceName);
// Draws the whole bitmap stretched onto (x, y, width, height) of dc.
void SprDrawBitmapStretched(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height,
                            HBITMAP bitmap);
// The slot's rectangle on its canvas (right and bottom exclusive), saturated to
// 32 bits; the empty rectangle for a slot outside the table.
void SprSpriteRect(int32_t slot, RECT& rect);
// Marks the slot's sprite rectangle invalid on its canvas (when that is a visible window).
void SprInvalidateSprite(int32_t slot);
// What SprQuerySprite reads. The first three fill both outputs and give 1; the
// flags give their value and leave the outputs alone; none gives 0.
enum class SprQuery : int32_t {
    position,        // x, y
    size,            // width, height
    frames,          // frame count, current frame
    visible,
    translucency,
    flipHorizontal,
    flipVertical,
    none,
};
// The query for the named sprite; 0 and both outputs 0 when there is none.
int32_t SprQuerySprite(std::string_view name, int32_t& first, int32_t& second, SprQuery query);

// The slot that one list item names, blanks (spaces) around it ignored; 0 when the
// item is empty or names no live sprite.
int32_t SprListItemSlot(std::string_view item);

// Calls apply(slot) for each item of the list that names a live sprite, in list
// order (a sprite named twice is applied twice), in one forward scan of the text.
template <typename Apply>
void SprForEachListed(std::string_view list, Apply&& apply) {
    for (;;) {
        const size_t bar = list.find('|');
        const int32_t slot = SprListItemSlot(list.substr(0, bar));
        if (slot != 0) apply(slot);
        if (bar == std::string_view::npos) return;
        list.remove_prefix(bar + 1);
    }
}

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
// The slot of item k (1-based) of the list, or 0.
int32_t SprListItem(std::string_view list, int32_t k);
// Marks the slot's sprite rectangle invalid on its canvas (when that is a visible window).
void SprInvalidateSprite(int32_t slot);
// Query codes: 0 position, 1 size, 2 frames, 3 visible, 4 translucency,
// 5 horizontal flip, 6 vertical flip.
int32_t SprQuerySprite(std::string_view name, int32_t& first, int32_t& second, int32_t code);

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

// Sprite lists: names separated by "|"; the list has one item more than it has
// separators, so the empty text is one empty item. Each item loses its leading and
// trailing spaces; an empty item names no sprite.
#include <cstdint>
#include <string_view>

#include "engine/core/sprite_names.h"
#include "engine/sprites/sprites_internal.h"

int32_t SprListItemSlot(std::string_view item) {
    const size_t first = item.find_first_not_of(' ');
    if (first == std::string_view::npos) return 0;
    const size_t last = item.find_last_not_of(' ');
    return SprFindSprite(item.substr(first, last - first + 1));
}

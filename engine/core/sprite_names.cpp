// Sprite names and lookup. A name's key is its first eight bytes, upper-cased with
// the ANSI code page and padded with zero bytes, read as a little-endian int64.
// Upper-casing is byte by byte, so only the eight bytes that count are converted.
#include "engine/core/sprite_names.h"

#include <cstring>

#include "engine/core/engine_state.h"

int64_t SprNameKey(std::string_view name) {
    char bytes[8] = {};
    const size_t count = name.size() < sizeof bytes ? name.size() : sizeof bytes;
    if (count > 0) {
        std::memcpy(bytes, name.data(), count);
        CharUpperBuffA(bytes, static_cast<DWORD>(count));
    }
    uint64_t key = 0;
    for (int i = 7; i >= 0; --i) key = (key << 8) | static_cast<uint8_t>(bytes[i]);
    return static_cast<int64_t>(key);
}

int32_t SprFindKey(int64_t key) {
    if (key == 0) return 0;
    const int32_t last = SprLastSlot();
    for (int32_t slot = 1; slot <= last; ++slot)
        if (EngineState.SpriteTable[slot].nameKey == key) return slot;
    return 0;
}

int32_t SprFindSprite(std::string_view name) { return SprFindKey(SprNameKey(name)); }

std::string SprKeyName(int64_t nameKey) {
    // The eight bytes without the zero bytes that pad the key. A zero byte inside a
    // name is kept: cut there, the text would find another sprite, or none.
    std::string name;
    auto bits = static_cast<uint64_t>(nameKey);
    for (int i = 0; i < 8; ++i, bits >>= 8) name.push_back(static_cast<char>(bits & 0xFF));
    while (!name.empty() && name.back() == '\0') name.pop_back();
    return name;
}

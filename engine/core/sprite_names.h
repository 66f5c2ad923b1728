// Sprite names: a name is upper-cased (ANSI code page), padded with zero bytes and
// cut to eight bytes, read as a little-endian signed 64-bit key. Key 0 is the empty
// name and marks a free slot.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

int64_t SprNameKey(std::string_view name);
// The slot holding the name's key, or 0 (also for the empty name).
int32_t SprFindSprite(std::string_view name);
// The slot holding `key`, or 0 for key 0 or no match.
int32_t SprFindKey(int64_t key);
// The text a key holds: its eight bytes without the zero bytes that pad them, so
// that the text finds the same sprite (a zero byte inside a name is kept).
std::string SprKeyName(int64_t nameKey);

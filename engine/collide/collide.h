// Collision tests over the sprite table.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// The slot's rectangle (right and bottom exclusive), saturated to 32 bits.
void SprSpriteRect(int32_t slot, RECT& rect);

// Sprite image preparation: clearing edge codes and softening outlines.
#pragma once

#include <cstdint>

// build 0: clears the fourth byte of every pixel of the slot's image; otherwise
// builds the edge pixels. Does nothing for a slot outside the table or without image.
// An image too large for the working storage is left as it is.
void SprSoftenEdges(int32_t slot, int32_t build);

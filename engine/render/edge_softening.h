// Sprite image preparation: the edge codes in the fourth byte of a slot's pixels.
// Both do nothing for a slot outside the table or without an image.
#pragma once

#include <cstdint>

// Clears the fourth byte of every pixel of the slot's image.
void SprClearEdgeCodes(int32_t slot);
// Marks the edge pixels beside the outline's steps (codes already there stay where
// no edge is found). An image too large for the working storage is left as it is.
void SprSoftenEdges(int32_t slot);

// A tiny PNG writer for pictures meant for people (test output, screenshots):
// 8-bit RGB, no compression (stored deflate blocks).
#pragma once

#include <cstdint>

// Writes `width` x `height` pixels 0x00RRGGBB, `stride` pixels a row, to `path`;
// false if the file cannot be written or the picture is empty or too large.
bool UsrWritePng(const char* path, const uint32_t* pixels, int32_t width, int32_t height, int32_t stride);

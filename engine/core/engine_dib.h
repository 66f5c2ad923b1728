// SprCreateDIB: the one routine that makes the engine's device-independent bitmaps
// (back buffer, canvas snapshots, sprite images).
#pragma once

#include <cstdint>

#include "platform/win32.h"

// A top-down DIB section of bitCount 16, 24 or 32 (anything else counts as 32);
// 0 on failure. 32-bit rows are unpadded; 16/24-bit rows are padded to 4 bytes.
HBITMAP SprCreateDIB(HDC dc, int32_t bitCount, int32_t width, int32_t height, BYTE*& bits);

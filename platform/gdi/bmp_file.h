// Checking a bitmap file's header before any decoder sees it. Internal to
// platform/gdi (and its tests).
#pragma once

#include <cstddef>
#include <cstdint>

// Limits on what a file may ask for: the decoded picture, at 4 bytes a pixel,
// stays within 256 MiB, and the file itself within 512 MiB.
constexpr int64_t kBmpMaxPixels = int64_t{1} << 26;
constexpr int64_t kBmpMaxFileBytes = int64_t{1} << 29;

struct BmpLayout {
    int32_t width;
    int32_t height;  // rows, positive
    int32_t bitCount;
    bool topDown;
};

// True when `bytes` is a bitmap file whose header, palette and pixel rows are
// complete and consistent, of 1, 4, 8, 16, 24 or 32 bits (uncompressed, or with
// bit-field masks for 16 and 32), and whose picture fits the limits above.
bool GdiCheckBmpFile(const uint8_t* bytes, size_t size, BmpLayout* layout);

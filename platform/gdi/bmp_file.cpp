// The header check of bitmap files. Every offset and size is taken from the
// file, so each is checked against the file's length, in 64-bit arithmetic,
// before it is used.
#include "platform/gdi/bmp_file.h"

#include <climits>

namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kCompressionRgb = 0;
constexpr uint32_t kCompressionBitFields = 3;

uint32_t Read16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t Read32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

bool GdiCheckBmpFile(const uint8_t* bytes, size_t size, BmpLayout* layout) {
    const int64_t fileBytes = static_cast<int64_t>(size);
    if (bytes == nullptr || fileBytes < kFileHeaderBytes + 12 || fileBytes > kBmpMaxFileBytes) return false;
    if (bytes[0] != 'B' || bytes[1] != 'M') return false;
    const int64_t pixelOffset = Read32(bytes + 10);
    const int64_t headerBytes = Read32(bytes + 14);
    if (kFileHeaderBytes + headerBytes > fileBytes) return false;

    int64_t width;
    int64_t height;
    uint32_t planes;
    uint32_t bitCount;
    uint32_t compression = kCompressionRgb;
    int64_t colorsUsed = 0;
    int64_t paletteEntryBytes = 4;
    if (headerBytes == 12) {  // the old core header: 16-bit sizes, 3-byte palette entries
        width = Read16(bytes + 18);
        height = Read16(bytes + 20);
        planes = Read16(bytes + 22);
        bitCount = Read16(bytes + 24);
        paletteEntryBytes = 3;
    } else if (headerBytes == 40 || headerBytes == 52 || headerBytes == 56 || headerBytes == 108 ||
               headerBytes == 124) {
        width = static_cast<int32_t>(Read32(bytes + 18));
        height = static_cast<int32_t>(Read32(bytes + 22));
        planes = Read16(bytes + 26);
        bitCount = Read16(bytes + 28);
        compression = Read32(bytes + 30);
        colorsUsed = Read32(bytes + 46);
    } else {
        return false;
    }

    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width * height > kBmpMaxPixels || planes != 1) return false;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32) {
        return false;
    }
    if (compression == kCompressionBitFields) {
        if (bitCount != 16 && bitCount != 32) return false;
    } else if (compression != kCompressionRgb) {
        return false;
    }
    // Only uncompressed rows can be checked against the file's length; top-down
    // files must be uncompressed anyway.

    // What lies between the header and the pixels: bit-field masks after a
    // 40-byte header, then the palette of a picture of up to 8 bits.
    int64_t tableEnd = kFileHeaderBytes + headerBytes;
    if (compression == kCompressionBitFields && headerBytes == 40) tableEnd += 12;
    if (bitCount <= 8) {
        const int64_t maxColors = int64_t{1} << bitCount;
        if (colorsUsed > maxColors) return false;
        tableEnd += (colorsUsed == 0 ? maxColors : colorsUsed) * paletteEntryBytes;
    }
    if (pixelOffset < tableEnd) return false;

    const int64_t stride = (width * bitCount + 31) / 32 * 4;
    if (pixelOffset + stride * height > fileBytes) return false;

    if (layout != nullptr) {
        *layout = BmpLayout{static_cast<int32_t>(width), static_cast<int32_t>(height),
                            static_cast<int32_t>(bitCount), topDown};
    }
    return true;
}

// PNG: signature, IHDR, one IDAT holding a zlib stream of stored deflate blocks
// (each at most 65535 bytes), IEND. Every row starts with filter byte 0.
#include "platform/user/png_writer.h"

#include <cstdio>
#include <vector>

namespace {

uint32_t Crc32(const uint8_t* data, size_t length, uint32_t crc = 0) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < length; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBigEndian(std::vector<uint8_t>* out, uint32_t value) {
    out->push_back(static_cast<uint8_t>(value >> 24));
    out->push_back(static_cast<uint8_t>(value >> 16));
    out->push_back(static_cast<uint8_t>(value >> 8));
    out->push_back(static_cast<uint8_t>(value));
}

void PutChunk(std::vector<uint8_t>* out, const char* type, const std::vector<uint8_t>& data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    const size_t start = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(out->data() + start, out->size() - start));
}

}  // namespace

bool UsrWritePng(const char* path, const uint32_t* pixels, int32_t width, int32_t height, int32_t stride) {
    // 8192 x 8192 keeps the raw picture far below what a chunk length can hold.
    if (path == nullptr || pixels == nullptr || width <= 0 || height <= 0 || width > 8192 || height > 8192 ||
        stride < width) {
        return false;
    }
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (static_cast<size_t>(width) * 3 + 1));
    for (int32_t y = 0; y < height; ++y) {
        raw.push_back(0);
        const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(stride);
        for (int32_t x = 0; x < width; ++x) {
            raw.push_back(static_cast<uint8_t>(row[x] >> 16));
            raw.push_back(static_cast<uint8_t>(row[x] >> 8));
            raw.push_back(static_cast<uint8_t>(row[x]));
        }
    }

    std::vector<uint8_t> zlib{0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    size_t offset = 0;
    do {
        const size_t length = std::min<size_t>(raw.size() - offset, 65535);
        const bool last = offset + length == raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back(static_cast<uint8_t>(length));
        zlib.push_back(static_cast<uint8_t>(length >> 8));
        zlib.push_back(static_cast<uint8_t>(~length));
        zlib.push_back(static_cast<uint8_t>(~length >> 8));
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
                    raw.begin() + static_cast<std::ptrdiff_t>(offset + length));
        offset += length;
    } while (offset < raw.size());
    PutBigEndian(&zlib, (b << 16) | a);

    std::vector<uint8_t> header;
    PutBigEndian(&header, static_cast<uint32_t>(width));
    PutBigEndian(&header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace

    std::vector<uint8_t> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(&file, "IHDR", header);
    PutChunk(&file, "IDAT", zlib);
    PutChunk(&file, "IEND", {});

    FILE* out = std::fopen(path, "wb");
    if (out == nullptr) return false;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

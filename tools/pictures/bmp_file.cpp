// Writing a picture as a BMP file: BITMAPFILEHEADER, BITMAPINFOHEADER (40 bytes,
// BI_RGB, 24 bits), then rows bottom-up, each padded to a multiple of four bytes.
#include <cstdio>

#include "pictures.h"

namespace {

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

Picture PictureMake(int32_t width, int32_t height, uint32_t fill) {
    return Picture{width, height,
                   std::vector<uint32_t>(static_cast<size_t>(width) * static_cast<size_t>(height), fill)};
}

bool PictureWriteBmp(const Picture& picture, const std::string& path) {
    const uint32_t rowBytes = (static_cast<uint32_t>(picture.width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(picture.height);
    const uint32_t headerBytes = 14 + 40;

    std::vector<uint8_t> out;
    out.reserve(headerBytes + imageBytes);
    out.push_back('B');
    out.push_back('M');
    PutLe(out, headerBytes + imageBytes, 4);
    PutLe(out, 0, 4);  // reserved
    PutLe(out, headerBytes, 4);
    PutLe(out, 40, 4);
    PutLe(out, static_cast<uint32_t>(picture.width), 4);
    PutLe(out, static_cast<uint32_t>(picture.height), 4);  // positive: bottom-up rows
    PutLe(out, 1, 2);                                       // planes
    PutLe(out, 24, 2);                                      // bits per pixel
    PutLe(out, 0, 4);                                       // BI_RGB
    PutLe(out, imageBytes, 4);
    PutLe(out, 2835, 4);  // 72 dpi
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (int32_t y = picture.height - 1; y >= 0; --y) {
        const uint32_t* row = &picture.pixels[static_cast<size_t>(y) * picture.width];
        for (int32_t x = 0; x < picture.width; ++x) {
            out.push_back(static_cast<uint8_t>(row[x]));        // blue
            out.push_back(static_cast<uint8_t>(row[x] >> 8));   // green
            out.push_back(static_cast<uint8_t>(row[x] >> 16));  // red
        }
        for (uint32_t pad = static_cast<uint32_t>(picture.width) * 3; pad < rowBytes; ++pad) out.push_back(0);
    }

    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && written;
}

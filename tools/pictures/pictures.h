// The demo's pictures, drawn procedurally and written as 24-bit bitmap files.
// Everything here is deterministic: the same program writes the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An RGB picture, top row first; pixel (x, y) is pixels[y * width + x] as 0x00RRGGBB.
struct Picture {
    int32_t width;
    int32_t height;
    std::vector<uint32_t> pixels;
};

inline uint32_t PictureRgb(int r, int g, int b) {
    auto clamp = [](int v) { return static_cast<uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
    return (clamp(r) << 16) | (clamp(g) << 8) | clamp(b);
}

Picture PictureMake(int32_t width, int32_t height, uint32_t fill);

// Writes the picture as an uncompressed 24-bit bitmap file; false when the file
// cannot be written.
bool PictureWriteBmp(const Picture& picture, const std::string& path);

// The ball strip: three 140 x 140 frames side by side on magenta (255, 0, 255).
// Frame 1 is a plain glossy ball, frames 2 and 3 a segmented ball turned by half a
// segment, so that alternating them looks like spinning.
Picture PictureBallStrip();

// Background number 1..5, each width x height and clearly different from the others.
Picture PictureBackground(int32_t number, int32_t width, int32_t height);

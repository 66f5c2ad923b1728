// Five backgrounds, each a different kind of picture so that a change is obvious
// anywhere on the canvas: 1 sky and hills, 2 checkerboard, 3 rings, 4 brick wall,
// 5 night sky with stars. None uses magenta.
#include <cmath>

#include "pictures.h"

namespace {

constexpr double pi = 3.14159265358979323846;

int Mix(int a, int b, double t) { return static_cast<int>(a + (b - a) * t); }

uint32_t MixRgb(int r1, int g1, int b1, int r2, int g2, int b2, double t) {
    return PictureRgb(Mix(r1, r2, t), Mix(g1, g2, t), Mix(b1, b2, t));
}

// A small deterministic hash for per-tile variation.
uint32_t Hash(uint32_t v) {
    v ^= v >> 16;
    v *= 0x7feb352dU;
    v ^= v >> 15;
    v *= 0x846ca68bU;
    v ^= v >> 16;
    return v;
}

void SkyAndHills(Picture& p) {
    const double w = p.width, h = p.height;
    for (int32_t y = 0; y < p.height; ++y) {
        for (int32_t x = 0; x < p.width; ++x) {
            uint32_t c = MixRgb(60, 120, 200, 185, 220, 245, std::fmin(1.0, y / (0.65 * h)));
            const double sx = x - 0.78 * w, sy = y - 0.2 * h;
            if (sx * sx + sy * sy < (0.07 * w) * (0.07 * w)) c = PictureRgb(255, 228, 110);
            const double far = 0.58 * h + 0.05 * h * std::sin(x / w * 2 * pi * 1.5);
            const double near = 0.72 * h + 0.06 * h * std::sin(x / w * 2 * pi * 0.8 + 1.3);
            if (y > far) c = MixRgb(80, 160, 70, 50, 120, 50, (y - far) / h);
            if (y > near) c = MixRgb(40, 125, 40, 20, 80, 25, (y - near) / (0.3 * h));
            p.pixels[static_cast<size_t>(y) * p.width + x] = c;
        }
    }
}

void Checkerboard(Picture& p) {
    for (int32_t y = 0; y < p.height; ++y) {
        for (int32_t x = 0; x < p.width; ++x) {
            const double t = 0.25 * (x + y) / static_cast<double>(p.width + p.height);
            const bool dark = ((x / 50) + (y / 50)) % 2 != 0;
            p.pixels[static_cast<size_t>(y) * p.width + x] =
                dark ? MixRgb(150, 95, 55, 110, 65, 35, t) : MixRgb(235, 205, 155, 210, 175, 120, t);
        }
    }
}

void Rings(Picture& p) {
    const double cx = p.width / 2.0, cy = p.height / 2.0;
    for (int32_t y = 0; y < p.height; ++y) {
        for (int32_t x = 0; x < p.width; ++x) {
            const double d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
            const double t = 0.5 + 0.5 * std::sin(d / 14.0);
            p.pixels[static_cast<size_t>(y) * p.width + x] = MixRgb(15, 35, 85, 40, 180, 165, t);
        }
    }
}

void BrickWall(Picture& p) {
    constexpr int32_t brickW = 64, brickH = 28, mortar = 4;
    for (int32_t y = 0; y < p.height; ++y) {
        const int32_t row = y / brickH;
        const int32_t shift = (row % 2) * (brickW / 2);
        for (int32_t x = 0; x < p.width; ++x) {
            const int32_t bx = x + shift;
            uint32_t c;
            if (y % brickH < mortar || bx % brickW < mortar) {
                c = PictureRgb(200, 195, 182);
            } else {
                const uint32_t tint = Hash(static_cast<uint32_t>(row * 1000 + bx / brickW)) % 40;
                c = PictureRgb(150 + static_cast<int>(tint), 60 + static_cast<int>(tint / 2), 42);
            }
            p.pixels[static_cast<size_t>(y) * p.width + x] = c;
        }
    }
}

void NightSky(Picture& p) {
    for (int32_t y = 0; y < p.height; ++y) {
        for (int32_t x = 0; x < p.width; ++x) {
            p.pixels[static_cast<size_t>(y) * p.width + x] =
                MixRgb(5, 8, 30, 30, 30, 75, y / static_cast<double>(p.height));
        }
    }
    uint32_t seed = 12345;
    const int stars = p.width * p.height / 1600;
    for (int i = 0; i < stars; ++i) {
        seed = Hash(seed + 1);
        const int32_t x = static_cast<int32_t>(seed % static_cast<uint32_t>(p.width));
        seed = Hash(seed + 1);
        const int32_t y = static_cast<int32_t>(seed % static_cast<uint32_t>(p.height));
        const int bright = 170 + static_cast<int>(seed % 86);
        p.pixels[static_cast<size_t>(y) * p.width + x] = PictureRgb(bright, bright, 255 - (255 - bright) / 2);
    }
    // A moon, lit from the right.
    const double mx = 0.2 * p.width, my = 0.22 * p.height, mr = 0.06 * p.width;
    for (int32_t y = 0; y < p.height; ++y) {
        for (int32_t x = 0; x < p.width; ++x) {
            const double dx = x - mx, dy = y - my;
            if (dx * dx + dy * dy > mr * mr) continue;
            const double ox = dx + 0.35 * mr;
            const bool shadow = ox * ox + dy * dy < mr * mr * 0.8;
            p.pixels[static_cast<size_t>(y) * p.width + x] =
                shadow ? PictureRgb(40, 42, 70) : PictureRgb(245, 240, 210);
        }
    }
}

}  // namespace

Picture PictureBackground(int32_t number, int32_t width, int32_t height) {
    Picture p = PictureMake(width, height, 0);
    switch (number) {
        case 1: SkyAndHills(p); break;
        case 2: Checkerboard(p); break;
        case 3: Rings(p); break;
        case 4: BrickWall(p); break;
        default: NightSky(p); break;
    }
    return p;
}

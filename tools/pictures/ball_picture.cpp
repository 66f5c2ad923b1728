// The ball strip. Each frame is a lit sphere: a hard-edged disc (no blending
// with the magenta around it, so no pixel inside the ball is magenta-ish; the
// engine softens the outline itself), Lambert diffuse light from the upper left
// plus a Blinn highlight.
#include <cmath>

#include "pictures.h"

namespace {

constexpr int32_t frameSize = 140;
constexpr double radius = 66.0;
constexpr double pi = 3.14159265358979323846;
const uint32_t magenta = PictureRgb(255, 0, 255);

struct Rgb {
    double r, g, b;
};

// Surface colour of frame `frame` at the unit normal (nx, ny, nz).
Rgb BallBaseColour(int frame, double nx, double ny, double nz) {
    if (frame == 1) return {245, 120, 20};  // orange
    // Segments around an axis tilted 25 degrees towards the viewer; frame 3 is
    // turned half a segment further than frame 2.
    const double tilt = 25.0 * pi / 180.0;
    const double px = nx;
    const double pz = nz * std::cos(tilt) - ny * std::sin(tilt);
    const double py = nz * std::sin(tilt) + ny * std::cos(tilt);
    if (py < -0.93) return {240, 240, 235};  // white cap at the top pole
    const double segment = pi / 3.0;
    const double phase = frame == 3 ? segment / 2.0 : 0.0;
    double longitude = std::atan2(px, pz) + pi + phase;
    const int index = static_cast<int>(std::floor(longitude / segment)) % 6;
    static const Rgb segmentColours[3] = {{225, 35, 35}, {245, 215, 40}, {35, 95, 225}};
    return segmentColours[index % 3];
}

}  // namespace

Picture PictureBallStrip() {
    Picture strip = PictureMake(3 * frameSize, frameSize, magenta);
    const double centre = (frameSize - 1) / 2.0;
    // Light from the upper left and in front; H is the half vector towards the viewer.
    const double lLen = std::sqrt(0.45 * 0.45 + 0.55 * 0.55 + 0.70 * 0.70);
    const double lx = -0.45 / lLen, ly = -0.55 / lLen, lz = 0.70 / lLen;
    const double hLen = std::sqrt(lx * lx + ly * ly + (lz + 1) * (lz + 1));
    const double hx = lx / hLen, hy = ly / hLen, hz = (lz + 1) / hLen;

    for (int frame = 1; frame <= 3; ++frame) {
        for (int32_t y = 0; y < frameSize; ++y) {
            for (int32_t x = 0; x < frameSize; ++x) {
                const double dx = (x - centre) / radius;
                const double dy = (y - centre) / radius;
                const double d2 = dx * dx + dy * dy;
                if (d2 > 1.0) continue;
                const double nz = std::sqrt(1.0 - d2);
                const Rgb base = BallBaseColour(frame, dx, dy, nz);
                const double diffuse = std::fmax(0.0, dx * lx + dy * ly + nz * lz);
                const double specular = std::pow(std::fmax(0.0, dx * hx + dy * hy + nz * hz), 40.0);
                const double light = 0.22 + 0.78 * diffuse;
                const double shine = 230.0 * specular;
                strip.pixels[static_cast<size_t>(y) * strip.width + (frame - 1) * frameSize + x] =
                    PictureRgb(static_cast<int>(base.r * light + shine), static_cast<int>(base.g * light + shine),
                               static_cast<int>(base.b * light + shine));
            }
        }
    }
    return strip;
}

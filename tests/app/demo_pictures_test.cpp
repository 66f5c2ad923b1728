// The pictures built beside the program, as the demo's loader reads them: the
// ball strip's three different frames on magenta and five different backgrounds.
#include "demo_fixture.h"

namespace {

bool Magentaish(uint32_t pixel) {
    const uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return r > 150 && b > 150 && g < 100;
}

class DemoPicturesTest : public DemoTest {};

TEST_F(DemoPicturesTest, BallStripHasThreeDifferentFramesOnMagenta) {
    const TestPixels strip = TestLoadPicture(PicturePath("ball3d.bmp"), 0, 0);
    ASSERT_EQ(strip.width, 420);
    ASSERT_EQ(strip.height, 140);
    int32_t differing[3] = {0, 0, 0};  // frames 1-2, 1-3, 2-3
    for (int32_t y = 0; y < 140; ++y) {
        for (int32_t x = 0; x < 140; ++x) {
            const uint32_t f[3] = {strip.At(x, y), strip.At(140 + x, y), strip.At(280 + x, y)};
            differing[0] += f[0] != f[1];
            differing[1] += f[0] != f[2];
            differing[2] += f[1] != f[2];
        }
    }
    for (int32_t d : differing) EXPECT_GT(d, 140 * 140 / 10);
    for (int32_t frame = 0; frame < 3; ++frame) {
        // Magenta all round the ball, and nothing like it inside.
        EXPECT_EQ(strip.At(frame * 140, 0), 0xFF00FFu);
        EXPECT_EQ(strip.At(frame * 140 + 139, 139), 0xFF00FFu);
        EXPECT_NE(strip.At(frame * 140 + 70, 70), 0xFF00FFu);
    }
    int32_t inside = 0;
    for (uint32_t pixel : strip.pixels) {
        pixel &= 0xFFFFFF;
        if (pixel == 0xFF00FF) continue;
        ++inside;
        EXPECT_FALSE(Magentaish(pixel)) << std::hex << pixel;
    }
    EXPECT_GT(inside, 3 * 140 * 140 / 2);
}

TEST_F(DemoPicturesTest, FiveDifferentBackgroundsWithoutMagenta) {
    std::vector<TestPixels> backgrounds;
    for (int n = 1; n <= 5; ++n) {
        backgrounds.push_back(TestLoadPicture(PicturePath("bkgnd" + std::to_string(n) + ".bmp"), 0, 0));
        ASSERT_EQ(backgrounds.back().width, 800) << n;
        ASSERT_EQ(backgrounds.back().height, 600) << n;
        for (uint32_t pixel : backgrounds.back().pixels) ASSERT_FALSE(Magentaish(pixel & 0xFFFFFF)) << n;
    }
    for (size_t a = 0; a < 5; ++a) {
        for (size_t b = a + 1; b < 5; ++b) {
            size_t differing = 0;
            for (size_t i = 0; i < backgrounds[a].pixels.size(); ++i) {
                differing += (backgrounds[a].pixels[i] & 0xFFFFFF) != (backgrounds[b].pixels[i] & 0xFFFFFF);
            }
            EXPECT_GT(differing, backgrounds[a].pixels.size() * 9 / 10) << a + 1 << " vs " << b + 1;
        }
    }
}

}  // namespace

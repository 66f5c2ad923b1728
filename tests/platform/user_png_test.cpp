// Saving a window as PNG: the file, decoded again by libpng, must be exactly the
// window's client area (clipped to its top-level's surface), pixel for pixel.
#include <png.h>

#include <cstdio>

#include "user_test_helpers.h"

namespace {

using UserPng = WindowTest;

struct Picture {
    bool read = false;
    uint32_t format = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;  // width x height, 3 bytes a pixel

    COLORREF At(int32_t x, int32_t y) const {
        const uint8_t* pixel = rgb.data() + (static_cast<size_t>(y) * width + x) * 3;
        return RGB(pixel[0], pixel[1], pixel[2]);
    }
};

Picture ReadPicture(const std::string& path) {
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return picture;
    picture.format = image.format;  // as stored in the file
    picture.width = static_cast<int32_t>(image.width);
    picture.height = static_cast<int32_t>(image.height);
    image.format = PNG_FORMAT_RGB;
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    picture.read = png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return picture;
}

// Bands of distinct colours, so that a row or column out of place shows.
void PaintBands(HWND hwnd, int32_t width, int32_t height) {
    HDC hdc = GetDC(hwnd);
    for (int32_t y = 0; y < height; y += 10) {
        for (int32_t x = 0; x < width; x += 7) {
            HBRUSH brush = CreateSolidBrush(RGB(x % 256, 255 - y % 256, (x + y) % 251));
            const RECT cell{x, y, x + 7, y + 10};
            FillRect(hdc, &cell, brush);
            DeleteObject(brush);
        }
    }
    ReleaseDC(hwnd, hdc);
}

TEST_F(UserPng, SavedWindowReadsBackAsItsPixels) {
    HWND top = MakeTopLevel(300, 120);
    struct Case {
        const char* what;
        int32_t x, y, width, height;  // the child in the top-level's client area
        int32_t savedWidth, savedHeight;
    };
    const Case cases[] = {
        {"inside the surface", 10, 10, 280, 100, 280, 100},
        {"past the right and bottom edges", 250, 90, 100, 50, 50, 30},
    };
    const std::string path = ::testing::TempDir() + "user_png_test.png";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND child = MakeChild(top, L"STATIC", 1, c.x, c.y, c.width, c.height);
        PaintBands(child, c.width, c.height);
        ASSERT_TRUE(PlatformSaveWindowPng(child, path.c_str()));
        const Picture picture = ReadPicture(path);
        std::remove(path.c_str());
        ASSERT_TRUE(picture.read);
        EXPECT_EQ(picture.format, static_cast<uint32_t>(PNG_FORMAT_RGB));  // 8-bit, no alpha
        ASSERT_EQ(picture.width, c.savedWidth);
        ASSERT_EQ(picture.height, c.savedHeight);
        int32_t wrong = 0;
        for (int32_t y = 0; y < picture.height; ++y) {
            for (int32_t x = 0; x < picture.width; ++x) wrong += picture.At(x, y) != PlatformWindowPixel(child, x, y);
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(picture.At(20, 20), RGB(14, 235, 34));
        DestroyWindow(child);
    }
}

TEST_F(UserPng, RefusedWithoutAFileOrAWindow) {
    HWND top = MakeTopLevel(40, 30);
    EXPECT_FALSE(PlatformSaveWindowPng(top, "/nonexistent-directory/x.png"));
    EXPECT_FALSE(PlatformSaveWindowPng(top, nullptr));
    EXPECT_FALSE(PlatformSaveWindowPng(nullptr, (::testing::TempDir() + "user_png_none.png").c_str()));
}

}  // namespace

// Saving a window as PNG: the file is read back chunk by chunk, checksums and
// all, and its stored rows must be the window's pixels.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "user_test_helpers.h"

namespace {

using UserPng = WindowTest;

uint32_t BigEndian(const std::vector<uint8_t>& data, size_t at) {
    return (uint32_t{data[at]} << 24) | (uint32_t{data[at + 1]} << 16) | (uint32_t{data[at + 2]} << 8) | data[at + 3];
}

uint32_t Crc(const uint8_t* data, size_t length) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc & 1) != 0 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

TEST_F(UserPng, SavedWindowReadsBackAsItsPixels) {
    // Wide enough that the rows need two stored deflate blocks.
    HWND top = MakeTopLevel(300, 120);
    HWND child = MakeChild(top, L"STATIC", 1, 10, 10, 280, 100);
    HDC hdc = GetDC(child);
    for (int y = 0; y < 100; y += 10) {
        HBRUSH brush = CreateSolidBrush(RGB(y * 2, 255 - y, 77));
        const RECT band{0, y, 280, y + 10};
        FillRect(hdc, &band, brush);
        DeleteObject(brush);
    }
    ReleaseDC(child, hdc);

    const std::string path = ::testing::TempDir() + "user_png_test.png";
    ASSERT_TRUE(PlatformSaveWindowPng(child, path.c_str()));
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    ASSERT_GT(data.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(data.begin(), data.begin() + 8),
              (std::vector<uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));

    std::vector<uint8_t> zlib;
    std::vector<std::string> chunks;
    for (size_t at = 8; at + 12 <= data.size();) {
        const uint32_t length = BigEndian(data, at);
        ASSERT_LE(at + 12 + length, data.size());
        chunks.emplace_back(data.begin() + static_cast<long>(at + 4), data.begin() + static_cast<long>(at + 8));
        EXPECT_EQ(BigEndian(data, at + 8 + length), Crc(data.data() + at + 4, length + 4)) << chunks.back();
        if (chunks.back() == "IHDR") {
            EXPECT_EQ(BigEndian(data, at + 8), 280u);
            EXPECT_EQ(BigEndian(data, at + 12), 100u);
            EXPECT_EQ(data[at + 16], 8);  // bits per sample
            EXPECT_EQ(data[at + 17], 2);  // RGB
        }
        if (chunks.back() == "IDAT") zlib.insert(zlib.end(), data.begin() + static_cast<long>(at + 8),
                                                 data.begin() + static_cast<long>(at + 8 + length));
        at += 12 + length;
    }
    EXPECT_EQ(chunks, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));

    // Undo the stored blocks and check the Adler-32 sum.
    ASSERT_GE(zlib.size(), 6u);
    std::vector<uint8_t> raw;
    size_t at = 2;
    int blocks = 0;
    for (bool last = false; !last; ++blocks) {
        ASSERT_LE(at + 5, zlib.size());
        last = (zlib[at] & 1) != 0;
        const size_t length = zlib[at + 1] | (zlib[at + 2] << 8);
        EXPECT_EQ(length ^ 0xFFFF, static_cast<size_t>(zlib[at + 3] | (zlib[at + 4] << 8)));
        ASSERT_LE(at + 5 + length, zlib.size());
        raw.insert(raw.end(), zlib.begin() + static_cast<long>(at + 5), zlib.begin() + static_cast<long>(at + 5 + length));
        at += 5 + length;
    }
    EXPECT_EQ(blocks, 2);
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) a = (a + byte) % 65521, b = (b + a) % 65521;
    EXPECT_EQ(BigEndian(zlib, at), (b << 16) | a);

    ASSERT_EQ(raw.size(), 100u * (1 + 280 * 3));
    for (int y = 0; y < 100; y += 33) {
        const uint8_t* row = raw.data() + y * (1 + 280 * 3);
        EXPECT_EQ(row[0], 0);  // filter: none
        const COLORREF expected = PlatformWindowPixel(child, 279, y);
        EXPECT_EQ(row[1 + 279 * 3], GetRValue(expected));
        EXPECT_EQ(row[1 + 279 * 3 + 1], GetGValue(expected));
        EXPECT_EQ(row[1 + 279 * 3 + 2], GetBValue(expected));
        EXPECT_EQ(expected, RGB((y / 10 * 10) * 2, 255 - y / 10 * 10, 77));
    }
    EXPECT_FALSE(PlatformSaveWindowPng(child, "/nonexistent-directory/x.png"));
    EXPECT_FALSE(PlatformSaveWindowPng(nullptr, path.c_str()));
}

}  // namespace

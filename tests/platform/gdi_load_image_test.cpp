// LoadImageW on bitmap files written by the test: every depth and header kind,
// both orientations, scaling on load, paths with '\', and a table of malformed
// files that the header check refuses before any decoding.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/gdi/bmp_file.h"
#include "platform/testing/platform_testing.h"
#include "platform/win32.h"
#include "support/dib_support.h"

namespace {

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

struct BmpShape {
    int32_t width = 5;
    int32_t height = 3;  // negative: top-down
    int bitCount = 24;
    uint32_t headerBytes = 40;
    uint32_t compression = BI_RGB;
    std::vector<uint32_t> masks;     // red, green, blue for bit fields
    std::vector<uint32_t> palette;   // 0x00RRGGBB
};

// Writes a file whose pixel (x, y) (y from the top) holds value(x, y): a palette
// index, a packed 16-bit value or a 0x00RRGGBB colour, by depth.
std::vector<uint8_t> WriteBmp(const BmpShape& shape, const std::function<uint32_t(int, int)>& value) {
    const bool core = shape.headerBytes == 12;
    const size_t entry = core ? 3 : 4;
    const size_t masksBytes = shape.headerBytes == 40 ? shape.masks.size() * 4 : 0;
    const size_t paletteOffset = 14 + shape.headerBytes + masksBytes;
    const size_t pixelOffset = paletteOffset + shape.palette.size() * entry;
    const int32_t rows = shape.height < 0 ? -shape.height : shape.height;
    const size_t stride = (static_cast<size_t>(shape.width) * shape.bitCount + 31) / 32 * 4;
    std::vector<uint8_t> out(pixelOffset + stride * rows, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, static_cast<uint32_t>(out.size()));
    Put32(out, 10, static_cast<uint32_t>(pixelOffset));
    Put32(out, 14, shape.headerBytes);
    if (core) {
        Put16(out, 18, static_cast<uint32_t>(shape.width));
        Put16(out, 20, static_cast<uint32_t>(shape.height));
        Put16(out, 22, 1);
        Put16(out, 24, static_cast<uint32_t>(shape.bitCount));
    } else {
        Put32(out, 18, static_cast<uint32_t>(shape.width));
        Put32(out, 22, static_cast<uint32_t>(shape.height));
        Put16(out, 26, 1);
        Put16(out, 28, static_cast<uint32_t>(shape.bitCount));
        Put32(out, 30, shape.compression);
        Put32(out, 46, static_cast<uint32_t>(shape.palette.size()));
        for (size_t i = 0; i < shape.masks.size(); ++i) Put32(out, 54 + 4 * i, shape.masks[i]);
    }
    for (size_t i = 0; i < shape.palette.size(); ++i) {
        const uint32_t c = shape.palette[i];
        out[paletteOffset + i * entry] = static_cast<uint8_t>(c);
        out[paletteOffset + i * entry + 1] = static_cast<uint8_t>(c >> 8);
        out[paletteOffset + i * entry + 2] = static_cast<uint8_t>(c >> 16);
    }
    for (int32_t y = 0; y < rows; ++y) {
        const int32_t memoryRow = shape.height < 0 ? y : rows - 1 - y;
        uint8_t* row = out.data() + pixelOffset + memoryRow * stride;
        for (int32_t x = 0; x < shape.width; ++x) {
            const uint32_t v = value(x, y);
            switch (shape.bitCount) {
                case 1: row[x / 8] |= static_cast<uint8_t>((v & 1) << (7 - x % 8)); break;
                case 4: row[x / 2] |= static_cast<uint8_t>((v & 15) << (x % 2 == 0 ? 4 : 0)); break;
                case 8: row[x] = static_cast<uint8_t>(v); break;
                case 16: Put16(out, (row - out.data()) + 2 * x, v); break;
                case 24: for (int i = 0; i < 3; ++i) row[3 * x + i] = static_cast<uint8_t>(v >> (8 * i)); break;
                case 32: Put32(out, (row - out.data()) + 4 * x, v); break;
            }
        }
    }
    return out;
}

std::string TempPath(const std::string& name) { return testing::TempDir() + "sprite_gdi_" + name; }

void SaveFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

std::wstring Wide(const std::string& path) { return std::wstring(path.begin(), path.end()); }

HBITMAP Load(const std::string& path, int cx = 0, int cy = 0) {
    return static_cast<HBITMAP>(
        LoadImageW(nullptr, Wide(path).c_str(), IMAGE_BITMAP, cx, cy, LR_LOADFROMFILE));
}

// A colour for each position, with distinct channels.
uint32_t Colour(int x, int y) { return 0x00100000u * (x + 1) + 0x00000A00u * (y + 1) + 0x00000003u * (x + y); }

// 5 x 3 pictures of every depth and header kind, and the colour expected at (x, y).
struct Sample {
    const char* name;
    BmpShape shape;
    std::function<uint32_t(int, int)> value;
    std::function<uint32_t(int, int)> expected;
    int tolerance = 0;  // per channel: the decoder may round 6-bit green down by one
};

bool Near(uint32_t actual, uint32_t expected, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (a - e > tolerance || e - a > tolerance) return false;
    }
    return true;
}

std::vector<Sample> Samples() {
    std::vector<uint32_t> palette16;
    for (uint32_t i = 0; i < 16; ++i) palette16.push_back(0x00110000u * i + 0x00000700u + 0x00000001u * (15 - i));
    std::vector<uint32_t> palette200;
    for (uint32_t i = 0; i < 200; ++i) palette200.push_back(0x00010203u * i);
    std::vector<uint32_t> palette256 = palette200;  // the core header has no colour count
    palette256.resize(256, 0x00FFFFFFu);
    auto index15 = [](int x, int y) { return static_cast<uint32_t>((x + 5 * y) % 16); };
    auto index200 = [](int x, int y) { return static_cast<uint32_t>((x * 37 + y * 71) % 200); };
    // 16-bit channels of 0 or 31 (5 bits), which every decoder expands to 0 and 255.
    auto five = [](int x, int y) { return static_cast<uint32_t>((x * 7 + y) % 3 == 0 ? 0 : 31); };
    auto expand5 = [](uint32_t c) { return (c << 3) | (c >> 2); };
    auto rgb555 = [five](int x, int y) { return (five(x, y) << 10) | (five(y, x) << 5) | five(x + 1, y); };
    auto rgb565 = [five](int x, int y) { return (five(x, y) << 11) | ((five(y, x) == 31 ? 63u : 0u) << 5) | five(x + 1, y); };
    auto expect16 = [five, expand5](int x, int y) {
        return (expand5(five(x, y)) << 16) | (expand5(five(y, x)) << 8) | expand5(five(x + 1, y));
    };
    return {
        {"1bit", {5, 3, 1, 40, BI_RGB, {}, {0x00FF8000u, 0x000080FFu}},
         [](int x, int y) { return static_cast<uint32_t>((x + y) & 1); },
         [](int x, int y) { return (x + y) & 1 ? 0x000080FFu : 0x00FF8000u; }},
        {"4bit", {5, 3, 4, 40, BI_RGB, {}, palette16}, index15,
         [palette16, index15](int x, int y) { return palette16[index15(x, y)]; }},
        {"8bit", {5, 3, 8, 40, BI_RGB, {}, palette200}, index200,
         [palette200, index200](int x, int y) { return palette200[index200(x, y)]; }},
        {"8bit_core", {5, 3, 8, 12, BI_RGB, {}, palette256}, index200,
         [palette200, index200](int x, int y) { return palette200[index200(x, y)]; }},
        {"16bit", {5, 3, 16, 40, BI_RGB, {}, {}}, rgb555, expect16},
        {"16bit_565", {5, 3, 16, 40, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}, {}}, rgb565, expect16, 1},
        {"24bit", {5, 3, 24, 40, BI_RGB, {}, {}}, Colour, Colour},
        {"24bit_topdown", {5, -3, 24, 40, BI_RGB, {}, {}}, Colour, Colour},
        {"24bit_v5", {5, 3, 24, 124, BI_RGB, {}, {}}, Colour, Colour},
        {"32bit", {5, 3, 32, 40, BI_RGB, {}, {}}, [](int x, int y) { return Colour(x, y) | 0xFF000000u; }, Colour},
    };
}

class GdiLoadImage : public ::testing::Test {
protected:
    void SetUp() override { start = PlatformLiveGdiObjects(); }
    void TearDown() override {
        EXPECT_EQ(PlatformLiveGdiObjects().bitmaps, start.bitmaps);
        EXPECT_EQ(PlatformLiveGdiObjects().dcs, start.dcs);
    }
    GdiObjectCounts start{};
};

TEST_F(GdiLoadImage, EveryDepthLoadsAtItsNaturalSize) {
    for (const Sample& sample : Samples()) {
        SCOPED_TRACE(sample.name);
        const std::string path = TempPath(std::string(sample.name) + ".bmp");
        SaveFile(path, WriteBmp(sample.shape, sample.value));
        HBITMAP bitmap = Load(path);
        ASSERT_NE(bitmap, nullptr);
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        EXPECT_EQ(info.bmBitsPixel, 32);
        EXPECT_EQ(info.bmBits, nullptr);  // screen-compatible, not a DIB section
        const TestPixels shown = TestReadBitmap(bitmap);
        ASSERT_EQ(shown.width, 5);
        ASSERT_EQ(shown.height, 3);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                EXPECT_PRED3(Near, shown.Value(x, y), sample.expected(x, y), sample.tolerance) << x << "," << y;
            }
        }
        EXPECT_TRUE(DeleteObject(bitmap));
        remove(path.c_str());
    }
}

TEST_F(GdiLoadImage, ScalesOnLoadAndAcceptsBackslashes) {
    const std::string folder = TempPath("folder");
    mkdir(folder.c_str(), 0700);
    mkdir((folder + "/graphics").c_str(), 0700);
    const std::string path = folder + "/graphics/picture.bmp";
    SaveFile(path, WriteBmp(BmpShape{}, Colour));
    struct Case {
        int cx, cy, width, height;
    } cases[] = {{10, 6, 10, 6}, {0, 6, 5, 6}, {3, 0, 3, 3}, {1, 1, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cx << " x " << c.cy);
        HBITMAP bitmap = Load(path, c.cx, c.cy);
        ASSERT_NE(bitmap, nullptr);
        const TestPixels shown = TestReadBitmap(bitmap);
        ASSERT_EQ(shown.width, c.width);
        ASSERT_EQ(shown.height, c.height);
        // Nearest neighbour under each pixel's centre.
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                EXPECT_EQ(shown.Value(x, y), Colour((2 * x + 1) * 5 / (2 * c.width), (2 * y + 1) * 3 / (2 * c.height)));
            }
        }
        DeleteObject(bitmap);
    }
    std::wstring windowsStyle = Wide(folder) + L"\\graphics\\picture.bmp";
    HANDLE bitmap = LoadImageW(nullptr, windowsStyle.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    EXPECT_NE(bitmap, nullptr);
    DeleteObject(bitmap);

    // A name outside ASCII is passed on as UTF-8.
    const std::string accented = folder + "/b\xC3\xA4ll.bmp";
    SaveFile(accented, WriteBmp(BmpShape{}, Colour));
    bitmap = LoadImageW(nullptr, (Wide(folder) + L"/b\u00e4ll.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    EXPECT_NE(bitmap, nullptr);
    DeleteObject(bitmap);

    // So is a byte that is not UTF-8, escaped as the program path decoder does.
    const std::string rawByte = folder + "/x\xFF.bmp";
    SaveFile(rawByte, WriteBmp(BmpShape{}, Colour));
    bitmap = LoadImageW(nullptr, (Wide(folder) + L"/x" + wchar_t(0xDCFF) + L".bmp").c_str(), IMAGE_BITMAP, 0, 0,
                        LR_LOADFROMFILE);
    EXPECT_NE(bitmap, nullptr);
    DeleteObject(bitmap);
    remove(rawByte.c_str());

    EXPECT_EQ(LoadImageW(nullptr, Wide(path).c_str(), IMAGE_BITMAP, 0, 0, 0), nullptr);
    EXPECT_EQ(LoadImageW(nullptr, Wide(path).c_str(), 1, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadImageW(nullptr, Wide(path).c_str(), IMAGE_BITMAP, -1, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadImageW(nullptr, nullptr, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadImageW(nullptr, L"", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
    const wchar_t loneSurrogate[] = {L'a', static_cast<wchar_t>(0xD800), 0};
    EXPECT_EQ(LoadImageW(nullptr, loneSurrogate, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(Load(folder), nullptr);  // a directory
    EXPECT_EQ(Load(folder + "/missing.bmp"), nullptr);
    remove(path.c_str());
    remove(accented.c_str());
    rmdir((folder + "/graphics").c_str());
    rmdir(folder.c_str());
}

// Each malformed file is refused by the header check, so no decoder ever sees
// it and nothing is allocated for the sizes it claims; loading it gives NULL.
TEST_F(GdiLoadImage, MalformedFilesAreRefused) {
    BmpShape paletted;
    paletted.bitCount = 8;
    paletted.palette.assign(4, 0x00FFFFFFu);
    const std::vector<uint8_t> base = WriteBmp(paletted, [](int x, int) { return static_cast<uint32_t>(x % 4); });
    ASSERT_TRUE(GdiCheckBmpFile(base.data(), base.size(), nullptr));

    using Edit = std::function<void(std::vector<uint8_t>&)>;
    auto set32 = [](size_t at, uint32_t v) -> Edit { return [=](std::vector<uint8_t>& f) { Put32(f, at, v); }; };
    auto set16 = [](size_t at, uint32_t v) -> Edit { return [=](std::vector<uint8_t>& f) { Put16(f, at, v); }; };
    auto truncate = [](size_t size) -> Edit { return [=](std::vector<uint8_t>& f) { f.resize(size); }; };
    struct Case {
        const char* name;
        Edit edit;
    } cases[] = {
        {"empty", truncate(0)},
        {"signature only", truncate(2)},
        {"truncated file header", truncate(13)},
        {"truncated info header", truncate(30)},
        {"truncated palette", truncate(14 + 40 + 6)},
        {"truncated pixels", [](std::vector<uint8_t>& f) { f.pop_back(); }},
        {"not a bitmap", [](std::vector<uint8_t>& f) { f[0] = 0x89; f[1] = 'P'; }},
        {"zero width", set32(18, 0)},
        {"zero height", set32(22, 0)},
        {"negative width", set32(18, static_cast<uint32_t>(-5))},
        {"lowest height", set32(22, 0x80000000u)},
        {"gigabyte picture", [](std::vector<uint8_t>& f) { Put32(f, 18, 0x40000000u); Put32(f, 22, 0x40000000u); }},
        {"wide and tall", [](std::vector<uint8_t>& f) { Put32(f, 18, 100000); Put32(f, 22, static_cast<uint32_t>(-100000)); }},
        {"bit count 0", set16(28, 0)},
        {"bit count 7", set16(28, 7)},
        {"bit count 64", set16(28, 64)},
        {"planes 0", set16(26, 0)},
        {"run-length compressed", set32(30, 1)},
        {"bit fields on 8 bits", set32(30, BI_BITFIELDS)},
        {"palette past the file", set32(46, 256)},
        {"more colours than 8 bits hold", set32(46, 257)},
        {"huge colour count", set32(46, 0xFFFFFFFFu)},
        {"pixels beyond the file", set32(10, 0x7FFFFFF0u)},
        {"pixels inside the header", set32(10, 20)},
        {"header size 0", set32(14, 0)},
        {"header size past the file", set32(14, 0xFFFFFFF0u)},
        {"unknown header size", set32(14, 64)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> file = base;
        c.edit(file);
        EXPECT_FALSE(GdiCheckBmpFile(file.data(), file.size(), nullptr));
        const std::string path = TempPath("malformed.bmp");
        SaveFile(path, file);
        EXPECT_EQ(Load(path), nullptr);
        EXPECT_EQ(Load(path, 10, 10), nullptr);
        remove(path.c_str());
    }
    EXPECT_FALSE(GdiCheckBmpFile(nullptr, 100, nullptr));
}

}  // namespace

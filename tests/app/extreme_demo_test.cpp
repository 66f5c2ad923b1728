// The demo given files that are not bitmaps in place of its pictures, and a canvas
// resized to nothing and to far beyond the back buffer while the balls move: the
// window still opens, the loop still runs, and nothing is left behind.
#include <filesystem>
#include <fstream>
#include <string>

#include "demo_fixture.h"
#include "engine/core/sprite_names.h"
#include "support/gdi_counts.h"

namespace {

using ExtremeDemoTest = DemoTest;

// A bitmap file header that claims 100,000 x 100,000 pixels of 24 bits and holds
// a few bytes of them.
std::string HugeClaim() {
    std::string bytes = "BM";
    auto put = [&bytes](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) bytes.push_back(static_cast<char>(v >> (8 * i)));
    };
    put(54 + 12, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(100000, 4);
    put(100000, 4);
    put(1, 2);
    put(24, 2);
    for (int i = 0; i < 24 + 12; ++i) bytes.push_back('\x7F');
    return bytes;
}

TEST_F(ExtremeDemoTest, PicturesThatAreNotBitmaps) {
    const struct {
        const char* what;
        std::string bytes;
        bool folder;
    } cases[] = {
        {"empty files", "", false},
        {"text", "not a picture at all\n", false},
        {"a header and nothing else", std::string("BM\x36\0\0\0\0\0\0\0\x36\0\0\0", 14), false},
        {"a huge claimed size", HugeClaim(), false},
        {"folders of the pictures' names", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto graphics = UseTestFolder();
        for (const char* name : {"ball3d.bmp", "bkgnd1.bmp", "bkgnd2.bmp", "bkgnd3.bmp", "bkgnd4.bmp", "bkgnd5.bmp"}) {
            if (c.folder) {
                std::filesystem::create_directory(graphics / name);
            } else {
                std::ofstream(graphics / name, std::ios::binary) << c.bytes;
            }
        }
        const GdiObjectCounts before = PlatformLiveGdiObjects();
        StartDemo();
        ASSERT_NE(DemoState.mainWindow, nullptr);
        EXPECT_EQ(SprFindSprite("LOGO1"), 0);
        for (int i = 0; i < 6; ++i) Press(9);
        fakeNow = 20.0;
        for (int i = 0; i < 24; ++i) Pass();
        fakeNow = 21.0;
        Pass();
        EXPECT_EQ(Title(), L"Sprite Demo:     32 Sprites ( 140 X 140 pixels) displaying at 0025.00 Frames/sec");
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        EXPECT_EQ(CanvasPixels().At(400, 300), (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face));

        PlatformInjectClose(DemoState.mainWindow);
        do Pass(); while (DemoState.openWindowCount != 0);
        SpriteEngineShutdown();
        EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), before.Total());
        DemoState = DemoStateData{};
    }
    started = false;
}

TEST_F(ExtremeDemoTest, CanvasResizedToNothingAndBeyondTheBackBuffer) {
    StartDemo();
    for (int i = 0; i < 5; ++i) Pass();
    const struct {
        int32_t width, height;
    } sizes[] = {{0, 0}, {1, 0}, {0, 600}, {5000, 4000}, {1281, 1025}, {800, 600}};
    for (const auto& s : sizes) {
        ASSERT_TRUE(PlatformResizeWindow(Canvas(), s.width, s.height));
        Press(1);  // translucent balls through every size too
        for (int i = 0; i < 30; ++i) Pass();
    }
    // Back at its own size, a ball's centre is where the demo put it.
    RECT client{};
    GetClientRect(Canvas(), &client);
    EXPECT_EQ(client.right, 800);
    const MotionEntry& ball = DemoState.motionTable[1];
    EXPECT_NE(SpriteAtPoint(Canvas(), ball.posX + 70, ball.posY + 70), "");
}

}  // namespace

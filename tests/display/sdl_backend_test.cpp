// The SDL backend on SDL's dummy video driver. With SDL_VIDEO_DUMMY_SAVE_FRAMES
// set, that driver writes every window update to SDL_window<id>-<n>.bmp in the
// working folder, so the tests see when the desktop was updated and with what.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/display/display.h"
#include "platform/win32.h"

namespace {

namespace fs = std::filesystem;

class SdlBackendTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_VIDEO_DUMMY_SAVE_FRAMES", "1", 1);
        folder = fs::temp_directory_path() / ("sdl_backend_test." + std::to_string(getpid()));
        fs::create_directories(folder);
        fs::current_path(folder);
    }
    static void TearDownTestSuite() {
        fs::current_path(fs::temp_directory_path());
        fs::remove_all(folder);
    }
    void SetUp() override {
        for (const auto& entry : fs::directory_iterator(folder)) fs::remove(entry.path());
    }

    // The updates the desktop received so far, oldest first.
    static std::vector<fs::path> Updates() {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        return files;
    }

    // A pixel of a saved update as 0xRRGGBB.
    static uint32_t PixelOf(const fs::path& update, int x, int y) {
        SDL_Surface* loaded = SDL_LoadBMP(update.c_str());
        if (loaded == nullptr) return 0xFFFFFFFF;
        SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
        SDL_FreeSurface(loaded);
        if (rgb == nullptr || x >= rgb->w || y >= rgb->h) return 0xFFFFFFFF;
        const auto* row = static_cast<const uint8_t*>(rgb->pixels) + static_cast<size_t>(y) * rgb->pitch;
        const uint32_t pixel = reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
        SDL_FreeSurface(rgb);
        return pixel;
    }

    // Opens the test's desktop window and returns its framebuffer; NULL when either fails.
    uint32_t* OpenWithFramebuffer(int32_t width, int32_t height, int32_t* pitch, BOOL* remade = nullptr) {
        BOOL fresh = FALSE;
        if (!backend.openWindow(window, 0, 0, width, height, "test")) return nullptr;
        uint32_t* pixels = backend.framebuffer(window, width, height, pitch, &fresh);
        if (remade != nullptr) *remade = fresh;
        return pixels;
    }

    static inline fs::path folder;
    const DisplayBackend& backend = DisplayGetBackend();
    HWND window = reinterpret_cast<HWND>(0x10001);
};

void Fill(uint32_t* pixels, int32_t pitch, RECT area, uint32_t colour) {
    for (int32_t y = area.top; y < area.bottom; ++y) {
        for (int32_t x = area.left; x < area.right; ++x) pixels[static_cast<size_t>(y) * (pitch / 4) + x] = colour;
    }
}

TEST_F(SdlBackendTest, PresentedRectanglesReachTheDesktopAtTheFlush) {
    int32_t pitch = 0;
    BOOL remade = FALSE;
    uint32_t* pixels = OpenWithFramebuffer(64, 48, &pitch, &remade);
    ASSERT_NE(pixels, nullptr);
    EXPECT_TRUE(remade);
    EXPECT_GE(pitch, 64 * 4);

    const RECT first{2, 3, 10, 12};
    Fill(pixels, pitch, first, 0x00FF0000);
    backend.present(window, pixels, 64, 48, pitch, &first, 1);
    const RECT second{40, 30, 64, 48};
    Fill(pixels, pitch, second, 0x000000FF);
    backend.present(window, pixels, 64, 48, pitch, &second, 1);
    EXPECT_TRUE(Updates().empty()) << "presenting only queues";

    backend.flush();
    const std::vector<fs::path> updates = Updates();
    ASSERT_EQ(updates.size(), 1u) << "one update for both rectangles";
    EXPECT_EQ(PixelOf(updates[0], 2, 3), 0xFF0000u);
    EXPECT_EQ(PixelOf(updates[0], 63, 47), 0x0000FFu);

    backend.flush();
    EXPECT_EQ(Updates().size(), 1u) << "nothing left to show";

    // Still the same memory: nothing was lost.
    EXPECT_EQ(backend.framebuffer(window, 64, 48, &pitch, &remade), pixels);
    EXPECT_FALSE(remade);
    backend.closeWindow(window);
}

TEST_F(SdlBackendTest, TheIdleSleepShowsWhatWasPresented) {
    int32_t pitch = 0;
    uint32_t* pixels = OpenWithFramebuffer(16, 16, &pitch);
    ASSERT_NE(pixels, nullptr);
    const RECT all{0, 0, 16, 16};
    Fill(pixels, pitch, all, 0x00ABCDEF);
    backend.present(window, pixels, 16, 16, pitch, &all, 1);
    Sleep(1);
    ASSERT_EQ(Updates().size(), 1u);
    EXPECT_EQ(PixelOf(Updates()[0], 8, 8), 0xABCDEFu);
    backend.closeWindow(window);
}

TEST_F(SdlBackendTest, CopyingPresentWhenDrawnElsewhere) {
    ASSERT_TRUE(backend.openWindow(window, 0, 0, 16, 16, "copy"));
    std::vector<uint32_t> own(20 * 16, 0x00123456);
    const RECT rects[] = {{0, 0, 4, 4}, {-5, -5, 100, 2}, {30, 0, 40, 4}};  // the last one lies outside
    backend.present(window, own.data(), 16, 16, 20 * 4, rects, 3);
    backend.flush();
    const std::vector<fs::path> updates = Updates();
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(PixelOf(updates[0], 3, 3), 0x123456u);
    EXPECT_EQ(PixelOf(updates[0], 15, 1), 0x123456u);
    EXPECT_NE(PixelOf(updates[0], 10, 10), 0x123456u) << "only the rectangles are copied";
    backend.closeWindow(window);
}

TEST_F(SdlBackendTest, SizeChangeRemakesTheFramebuffer) {
    int32_t pitch = 0;
    BOOL remade = FALSE;
    ASSERT_NE(OpenWithFramebuffer(64, 48, &pitch), nullptr);

    backend.resizeWindow(window, 100, 30);
    EXPECT_EQ(backend.framebuffer(window, 64, 48, &pitch, &remade), nullptr) << "no longer the window's size";
    uint32_t* pixels = backend.framebuffer(window, 100, 30, &pitch, &remade);
    ASSERT_NE(pixels, nullptr);
    EXPECT_TRUE(remade) << "what was drawn into the old one is gone";
    EXPECT_GE(pitch, 100 * 4);
    Fill(pixels, pitch, RECT{0, 0, 100, 30}, 0x0000FF00);
    const RECT all{0, 0, 100, 30};
    backend.present(window, pixels, 100, 30, pitch, &all, 1);
    backend.flush();
    ASSERT_EQ(Updates().size(), 1u);
    EXPECT_EQ(PixelOf(Updates()[0], 99, 29), 0x00FF00u);
    backend.closeWindow(window);
}

TEST_F(SdlBackendTest, ClosingDropsTheWindowAndWhatItQueued) {
    int32_t pitch = 0;
    BOOL remade = FALSE;
    uint32_t* pixels = OpenWithFramebuffer(32, 32, &pitch);
    ASSERT_NE(pixels, nullptr);
    const RECT all{0, 0, 32, 32};
    backend.present(window, pixels, 32, 32, pitch, &all, 1);
    backend.closeWindow(window);
    backend.flush();
    EXPECT_TRUE(Updates().empty());
    EXPECT_EQ(backend.framebuffer(window, 32, 32, &pitch, &remade), nullptr);
    backend.present(window, pixels, 32, 32, pitch, &all, 1);  // ignored: pixels gone with the window
    backend.closeWindow(window);                              // unknown now: ignored
    backend.flush();
    EXPECT_TRUE(Updates().empty());
}

TEST_F(SdlBackendTest, DesktopInputBecomesEventsOfItsWindow) {
    ASSERT_TRUE(backend.openWindow(window, 0, 0, 32, 32, "input"));
    DisplayEvent event{};
    while (backend.pollEvent(&event)) {
    }
    // The only SDL window there is.
    Uint32 id = 1;
    while (id < 1000 && SDL_GetWindowFromID(id) == nullptr) ++id;
    ASSERT_NE(SDL_GetWindowFromID(id), nullptr);

    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONDOWN;
    click.button.windowID = id;
    click.button.button = SDL_BUTTON_LEFT;
    click.button.x = 7;
    click.button.y = 9;
    SDL_PushEvent(&click);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.windowID = id;
    key.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&key);
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.windowID = id;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&close);

    ASSERT_TRUE(backend.pollEvent(&event));
    EXPECT_EQ(event.kind, DisplayEventKind::MouseDown);
    EXPECT_EQ(event.window, window);
    EXPECT_EQ(event.x, 7);
    EXPECT_EQ(event.y, 9);
    ASSERT_TRUE(backend.pollEvent(&event));
    EXPECT_EQ(event.kind, DisplayEventKind::KeyDown);
    EXPECT_EQ(event.virtualKey, static_cast<UINT>(VK_ESCAPE));
    ASSERT_TRUE(backend.pollEvent(&event));
    EXPECT_EQ(event.kind, DisplayEventKind::Close);
    EXPECT_EQ(event.window, window);
    EXPECT_FALSE(backend.pollEvent(&event));
    backend.closeWindow(window);
}

}  // namespace

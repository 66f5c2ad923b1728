// Drives the demo's procedures in-process on the headless backend: starts the
// demo as DemoMain does, runs passes of its main loop, presses buttons through the
// message pump, and reads back what the canvas shows.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/demo.h"
#include "app/demo_testing.h"
#include "engine/sprite_engine.h"
#include "platform/testing/platform_testing.h"
#include "support/dib_support.h"

// Writes a 24-bit bottom-up BMP whose pixel (x, y) is colour(x, y) as 0x00RRGGBB.
template <typename ColourFn>
inline bool TestWriteBmp(const std::filesystem::path& path, int32_t width, int32_t height, ColourFn colour) {
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    std::vector<uint8_t> out(54 + rowBytes * height, 0);
    auto put = [&out](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put(2, static_cast<uint32_t>(out.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t c = colour(x, y);
            const size_t at = 54 + (height - 1 - y) * rowBytes + x * 3;
            out[at] = static_cast<uint8_t>(c);
            out[at + 1] = static_cast<uint8_t>(c >> 8);
            out[at + 2] = static_cast<uint8_t>(c >> 16);
        }
    }
    // A stream opens the path in the platform's own form (wide on Windows).
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    file.close();
    return !file.fail();
}

// A bitmap file as the demo loads it, at width x height (0, 0 = natural size).
inline TestPixels TestLoadPicture(const std::wstring& path, int32_t width, int32_t height) {
    auto bitmap = static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, width, height, LR_LOADFROMFILE));
    TestPixels pixels = TestReadBitmap(bitmap);
    if (bitmap != nullptr) DeleteObject(bitmap);
    return pixels;
}

struct TestSize {
    int32_t cx;
    int32_t cy;
};

class DemoTest : public ::testing::Test {
protected:
    static inline double fakeNow = 0.0;
    static inline std::vector<DWORD> sleeps;

    void SetUp() override {
        DemoState = DemoStateData{};
        DemoSeams = DemoTestSeams{};
        DemoSeams.clock = [] { return fakeNow; };
        DemoSeams.sleep = [](DWORD ms) { sleeps.push_back(ms); };
        fakeNow = 1000.0;
        sleeps.clear();
        gdiBefore = PlatformLiveGdiObjects();
    }

    void TearDown() override {
        if (DemoState.mainWindow != nullptr && IsWindow(DemoState.mainWindow)) DestroyWindow(DemoState.mainWindow);
        if (started) SpriteEngineShutdown();
        // Drain what the window left in the queue so the next test starts empty.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        // Every test's leak check, where live objects are counted; the tests that
        // are about objects skip by themselves where they are not.
        if (PlatformCountsGdiObjects()) {
            EXPECT_EQ(PlatformLiveGdiObjects().Total(), gdiBefore.Total()) << "GDI objects leaked";
        }
        DemoSeams = DemoTestSeams{};
        DemoState = DemoStateData{};
        if (!testFolder.empty()) std::filesystem::remove_all(testFolder);
    }

    // DemoMain up to its main loop.
    void StartDemo() {
        started = true;
        DemoStartUp();
    }

    // One pass of DemoMain's loop.
    void Pass() { DemoMainLoopPass(); }

    HWND Button(int32_t k) const { return GetDlgItem(DemoState.mainWindow, BUTTON_ID_BASE + k); }

    // Handles every waiting message with the demo's pump, without animation steps.
    void Pump() {
        for (int i = 0; i < 100 && PeekMessageW(&pending, nullptr, 0, 0, PM_NOREMOVE); ++i) DemoProcessMessage(1);
    }

    // A mouse click in the middle of button k, handled by the demo's pump.
    void Press(int32_t k) {
        PlatformInjectClick(Button(k), 80, 20);
        Pump();
    }

    std::wstring Title() const {
        wchar_t text[256] = {};
        GetWindowTextW(DemoState.mainWindow, text, 256);
        return text;
    }

    HWND Canvas() const { return GetDlgItem(DemoState.mainWindow, CANVAS_ID); }

    // A rectangle in the main window's dialog units, in pixels: the sizes the
    // demo's windows get depend on the dialog font's metrics on the platform.
    static RECT DialogRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
        RECT rect{left, top, right, bottom};
        MapDialogRect(DemoState.mainWindow, &rect);
        return rect;
    }
    // The canvas's size in pixels: 400 x 300 dialog units.
    static TestSize CanvasSize() {
        const RECT canvas = DialogRect(0, 0, 400, 300);
        return TestSize{canvas.right - canvas.left, canvas.bottom - canvas.top};
    }

    // What the canvas shows: its background with the sprites, printed into a DIB.
    TestPixels CanvasPixels() const {
        RECT client{};
        GetClientRect(Canvas(), &client);
        void* bits = nullptr;
        HBITMAP dib = TestMakeDib(client.right, -client.bottom, 32, &bits);
        if (dib == nullptr) return {};
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(dc, dib);
        SendMessageW(Canvas(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        GdiFlush();
        SelectObject(dc, previous);
        DeleteDC(dc);
        TestPixels result = TestReadBitmap(dib);
        DeleteObject(dib);
        return result;
    }

    // A folder of its own for this test's pictures; the demo looks there.
    std::filesystem::path UseTestFolder() {
        const char* base = std::getenv("SPRITE_TEST_OUTPUT");
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        testFolder = (base != nullptr ? std::filesystem::path(base) : std::filesystem::temp_directory_path()) /
                     (std::string("demo_") + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(testFolder);
        std::filesystem::create_directories(testFolder / "graphics");
        DemoSeams.programFolder = testFolder.wstring();
        return testFolder / "graphics";
    }

    // Copies the built pictures into the test folder, all but those named.
    void CopyPictures(const std::filesystem::path& graphics, const std::vector<std::string>& leaveOut) {
        const std::filesystem::path built = std::filesystem::path(BuiltFolder()) / "graphics";
        for (const auto& entry : std::filesystem::directory_iterator(built)) {
            const std::string name = entry.path().filename().string();
            bool skip = false;
            for (const auto& left : leaveOut) skip = skip || name == left;
            if (!skip) std::filesystem::copy_file(entry.path(), graphics / name);
        }
    }

    // The folder of the test executable, beside which the pictures are built.
    static std::wstring BuiltFolder() {
        DemoTestSeams saved = DemoSeams;
        DemoSeams.programFolder.clear();
        std::wstring folder = DemoProgramFolder();
        DemoSeams = saved;
        return folder;
    }

    std::wstring PicturePath(const std::string& name) const {
        return BuiltFolder() + L"/graphics/" + std::wstring(name.begin(), name.end());
    }

    bool started = false;  // StartDemo ran: TearDown shuts the engine down
    GdiObjectCounts gdiBefore{};
    std::filesystem::path testFolder;
    MSG pending{};
};

// Test services of the window system that work with any backend: reading what
// a window shows, saving it as a PNG picture (libpng), resizing, running the
// message loop, counting windows and clearing them all away.
#include <png.h>

#include <algorithm>
#include <vector>

#include "platform/testing/platform_testing.h"
#include "platform/user/user_internal.h"

namespace {

// The window's client area within its top-level surface, clipped to the surface.
bool SurfaceArea(HWND hwnd, UsrWindow** topLevel, RECT* area) {
    UsrWindow* window = UsrFind(hwnd);
    *topLevel = UsrTopLevelOf(window);
    if (*topLevel == nullptr || (*topLevel)->pixels == nullptr) return false;
    const POINT origin = UsrSurfaceOrigin(window);
    *area = RECT{origin.x, origin.y, origin.x + (window->rect.right - window->rect.left),
                 origin.y + (window->rect.bottom - window->rect.top)};
    return true;
}

}  // namespace

COLORREF PlatformWindowPixel(HWND hwnd, int32_t x, int32_t y) {
    UsrWindow* topLevel;
    RECT area;
    if (!SurfaceArea(hwnd, &topLevel, &area)) return 0xFFFFFFFF;
    const int64_t sx = int64_t{area.left} + x;
    const int64_t sy = int64_t{area.top} + y;
    if (sx < area.left || sx >= area.right || sy < area.top || sy >= area.bottom || sx < 0 || sy < 0 ||
        sx >= topLevel->surfaceWidth || sy >= topLevel->surfaceHeight) {
        return 0xFFFFFFFF;
    }
    const uint32_t pixel = topLevel->pixels[sy * topLevel->surfaceStride + sx];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

BOOL PlatformSaveWindowPng(HWND hwnd, const char* path) {
    UsrWindow* topLevel;
    RECT area;
    if (path == nullptr || !SurfaceArea(hwnd, &topLevel, &area)) return FALSE;
    const RECT visible{std::max<LONG>(area.left, 0), std::max<LONG>(area.top, 0),
                       std::min<LONG>(area.right, topLevel->surfaceWidth),
                       std::min<LONG>(area.bottom, topLevel->surfaceHeight)};
    if (visible.right <= visible.left || visible.bottom <= visible.top) return FALSE;
    const int32_t width = visible.right - visible.left;
    const int32_t height = visible.bottom - visible.top;
    // Surface pixels are 0x00RRGGBB with an unused top byte; the picture is plain RGB.
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* row = topLevel->pixels +
                              static_cast<size_t>(visible.top + y) * topLevel->surfaceStride + visible.left;
        uint8_t* out = rgb.data() + static_cast<size_t>(y) * width * 3;
        for (int32_t x = 0; x < width; ++x) {
            out[3 * x] = static_cast<uint8_t>(row[x] >> 16);
            out[3 * x + 1] = static_cast<uint8_t>(row[x] >> 8);
            out[3 * x + 2] = static_cast<uint8_t>(row[x]);
        }
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    // On failure libpng removes the partly written file and frees its state.
    const int written = png_image_write_to_file(&image, path, 0, rgb.data(), width * 3, nullptr);
    png_image_free(&image);
    return written != 0 ? TRUE : FALSE;
}

BOOL PlatformResizeWindow(HWND hwnd, int32_t width, int32_t height) {
    UsrWindow* window = UsrFind(hwnd);
    if (window == nullptr) return FALSE;
    return UsrSetBounds(hwnd, window->rect.left, window->rect.top, width, height, true) ? TRUE : FALSE;
}

int32_t PlatformPumpMessages(int32_t maxMessages) {
    int32_t handled = 0;
    MSG msg;
    while (handled < maxMessages && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ++handled;
        const HWND active = userState.activeWindow;
        if (UsrFind(active) != nullptr && IsDialogMessageA(active, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return handled;
}

void PlatformDestroyAllWindows() {
    while (!userState.topLevels.empty()) {
        const HWND hwnd = userState.topLevels.back();
        if (!DestroyWindow(hwnd)) {
            // Already on its way out (destroyed from inside its own WM_DESTROY): drop the entry.
            if (!userState.topLevels.empty() && userState.topLevels.back() == hwnd) userState.topLevels.pop_back();
        }
    }
    userState.queue.clear();
    userState.activeWindow = nullptr;
    userState.captureWindow = nullptr;
    userState.buttonDown = false;
}

int32_t PlatformLiveWindowCount() {
    int32_t count = 0;
    for (UsrWindow* window : userState.slots) count += window != nullptr ? 1 : 0;
    return count;
}

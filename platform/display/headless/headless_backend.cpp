// The headless backend: the same window system with no desktop. Desktop windows
// are records in memory with pixels of their own, which the window system draws
// into directly (as into a real desktop's framebuffer) or presents by copying;
// presenting notes the rectangles, and input is what the test services queue
// through headless_desktop.h.
//
// Like a real desktop, a desktop window's pixels are remade at a new address,
// losing the picture, at the first framebuffer request after a size change or
// after a test asked for it; the old memory is freed then, so a surface still
// drawing into it shows up under the address sanitizer.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>

#include "platform/display/display.h"
#include "platform/display/headless/headless_desktop.h"

namespace {

struct HeadlessWindow {
    std::string title;
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    std::vector<RECT> presented;
    // The desktop's pixels: framebufferWidth x framebufferHeight, rows `stride`
    // pixels apart (wider than a row, as some desktops make them). NULL until needed.
    uint32_t* framebuffer;
    int32_t framebufferWidth;
    int32_t framebufferHeight;
    int32_t stride;
    bool lost;     // remade at the next request
    bool handedOut;  // the window system draws into it
};

// Desktop windows larger than this keep no pixels (the window system then presents
// by copying, and the copy is dropped).
constexpr int64_t kMaxFramebufferPixels = int64_t{4096} * 4096;
constexpr int32_t kRowPadding = 8;

int32_t screenWidth = 1280;
int32_t screenHeight = 1024;
bool framebuffersOffered = true;
std::map<HWND, HeadlessWindow> desktopWindows;
std::deque<DisplayEvent> pendingEvents;

void HeadlessScreenSize(int32_t* width, int32_t* height) {
    *width = screenWidth;
    *height = screenHeight;
}

BOOL HeadlessOpenWindow(HWND window, int32_t x, int32_t y, int32_t width, int32_t height, const char* titleUtf8) {
    auto found = desktopWindows.find(window);
    if (found != desktopWindows.end()) free(found->second.framebuffer);
    desktopWindows[window] =
        HeadlessWindow{titleUtf8 != nullptr ? titleUtf8 : "", x, y, width, height, {}, nullptr, 0, 0, 0, false, false};
    return TRUE;
}

void HeadlessCloseWindow(HWND window) {
    auto found = desktopWindows.find(window);
    if (found == desktopWindows.end()) return;
    free(found->second.framebuffer);
    desktopWindows.erase(found);
}

// Makes the desktop window's pixels at its size when they are missing, of another
// size, or lost while handed out as a framebuffer; the new memory never has the
// old address. What the desktop showed is kept where it fits, unless the pixels
// were lost. False when the desktop window keeps no pixels.
bool EnsurePixels(HeadlessWindow& window, bool asFramebuffer, bool* remade) {
    *remade = false;
    const bool lost = window.lost && asFramebuffer;
    if (window.framebuffer != nullptr && !lost && window.framebufferWidth == window.width &&
        window.framebufferHeight == window.height) {
        return true;
    }
    const int64_t stride = int64_t{window.width} + kRowPadding;
    uint32_t* pixels = nullptr;
    if (window.width > 0 && window.height > 0 && int64_t{window.width} * window.height <= kMaxFramebufferPixels) {
        pixels = static_cast<uint32_t*>(calloc(static_cast<size_t>(stride * window.height), 4));
    }
    if (pixels != nullptr && window.framebuffer != nullptr && !lost) {
        const int32_t rows = std::min(window.height, window.framebufferHeight);
        const int32_t columns = std::min(window.width, window.framebufferWidth);
        for (int32_t y = 0; y < rows; ++y) {
            std::memcpy(pixels + static_cast<size_t>(y) * stride,
                        window.framebuffer + static_cast<size_t>(y) * window.stride, static_cast<size_t>(columns) * 4);
        }
    }
    free(window.framebuffer);
    window.framebuffer = pixels;
    window.framebufferWidth = pixels != nullptr ? window.width : 0;
    window.framebufferHeight = pixels != nullptr ? window.height : 0;
    window.stride = pixels != nullptr ? static_cast<int32_t>(stride) : 0;
    if (asFramebuffer) window.lost = false;
    *remade = true;
    return pixels != nullptr;
}

void HeadlessSetTitle(HWND window, const char* titleUtf8) {
    auto found = desktopWindows.find(window);
    if (found != desktopWindows.end()) found->second.title = titleUtf8 != nullptr ? titleUtf8 : "";
}

void HeadlessResizeWindow(HWND window, int32_t width, int32_t height) {
    auto found = desktopWindows.find(window);
    if (found == desktopWindows.end()) return;
    found->second.width = width;
    found->second.height = height;
    found->second.lost = true;
}

uint32_t* HeadlessFramebuffer(HWND window, int32_t width, int32_t height, int32_t* pitch, BOOL* remade) {
    *pitch = 0;
    *remade = FALSE;
    auto found = desktopWindows.find(window);
    if (found == desktopWindows.end()) return nullptr;
    HeadlessWindow& desktop = found->second;
    desktop.handedOut = false;
    bool fresh = false;
    if (!framebuffersOffered || width != desktop.width || height != desktop.height) return nullptr;
    if (!EnsurePixels(desktop, true, &fresh)) return nullptr;
    desktop.handedOut = true;
    *remade = fresh ? TRUE : FALSE;
    *pitch = desktop.stride * 4;
    return desktop.framebuffer;
}

void HeadlessPresent(HWND window, const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                     const RECT* rects, int32_t count) {
    auto found = desktopWindows.find(window);
    if (found == desktopWindows.end()) return;
    HeadlessWindow& desktop = found->second;
    bool fresh = false;
    const bool inPlace = desktop.handedOut && pixels == desktop.framebuffer;
    if (!inPlace && pixels != nullptr && EnsurePixels(desktop, false, &fresh)) {
        desktop.handedOut = false;
        const int32_t right = std::min(width, desktop.framebufferWidth);
        const int32_t bottom = std::min(height, desktop.framebufferHeight);
        for (int32_t i = 0; i < count; ++i) {
            const int32_t left = std::max<int32_t>(rects[i].left, 0);
            const int32_t rectRight = std::min<int32_t>(rects[i].right, right);
            for (int32_t y = std::max<int32_t>(rects[i].top, 0); y < std::min<int32_t>(rects[i].bottom, bottom);
                 ++y) {
                if (rectRight <= left) break;
                std::memcpy(desktop.framebuffer + static_cast<size_t>(y) * desktop.stride + left,
                            reinterpret_cast<const uint8_t*>(pixels) + static_cast<size_t>(y) * pitch +
                                static_cast<size_t>(left) * 4,
                            static_cast<size_t>(rectRight - left) * 4);
            }
        }
    }
    // Long runs that never ask for them keep only the latest rectangles.
    auto& presented = desktop.presented;
    if (presented.size() > 65536) presented.erase(presented.begin(), presented.begin() + 32768);
    presented.insert(presented.end(), rects, rects + count);
}

// Presented rectangles are shown at once.
void HeadlessFlush() {}

BOOL HeadlessPollEvent(DisplayEvent* event) {
    if (pendingEvents.empty()) return FALSE;
    *event = pendingEvents.front();
    pendingEvents.pop_front();
    return TRUE;
}

const DisplayBackend headlessBackend = {
    .name = "headless",
    .screenSize = HeadlessScreenSize,
    .openWindow = HeadlessOpenWindow,
    .closeWindow = HeadlessCloseWindow,
    .setTitle = HeadlessSetTitle,
    .resizeWindow = HeadlessResizeWindow,
    .framebuffer = HeadlessFramebuffer,
    .present = HeadlessPresent,
    .flush = HeadlessFlush,
    .pollEvent = HeadlessPollEvent,
};

}  // namespace

const DisplayBackend& DisplayGetBackend() { return headlessBackend; }

void HeadlessQueueEvent(const DisplayEvent& event) { pendingEvents.push_back(event); }

void HeadlessSetScreenSize(int32_t width, int32_t height) {
    screenWidth = width;
    screenHeight = height;
}

bool HeadlessHasWindow(HWND hwnd) { return desktopWindows.count(hwnd) != 0; }

RECT HeadlessWindowRect(HWND hwnd) {
    auto found = desktopWindows.find(hwnd);
    if (found == desktopWindows.end()) return RECT{0, 0, 0, 0};
    const HeadlessWindow& window = found->second;
    return RECT{window.x, window.y, window.x + window.width, window.y + window.height};
}

std::string HeadlessWindowTitle(HWND hwnd) {
    auto found = desktopWindows.find(hwnd);
    return found != desktopWindows.end() ? found->second.title : std::string();
}

std::vector<RECT> HeadlessTakePresentedRects(HWND hwnd) {
    auto found = desktopWindows.find(hwnd);
    if (found == desktopWindows.end()) return {};
    std::vector<RECT> rects;
    rects.swap(found->second.presented);
    return rects;
}

void HeadlessOfferFramebuffers(bool offered) { framebuffersOffered = offered; }

void HeadlessLoseFramebuffer(HWND hwnd) {
    auto found = desktopWindows.find(hwnd);
    if (found != desktopWindows.end()) found->second.lost = true;
}

COLORREF HeadlessPixel(HWND hwnd, int32_t x, int32_t y) {
    auto found = desktopWindows.find(hwnd);
    if (found == desktopWindows.end()) return 0xFFFFFFFF;
    const HeadlessWindow& desktop = found->second;
    if (desktop.framebuffer == nullptr || x < 0 || y < 0 || x >= desktop.framebufferWidth ||
        y >= desktop.framebufferHeight) {
        return 0xFFFFFFFF;
    }
    const uint32_t pixel = desktop.framebuffer[static_cast<size_t>(y) * desktop.stride + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

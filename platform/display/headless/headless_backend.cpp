// The headless backend: the same window system with no desktop. Desktop windows
// are records in memory, presenting only notes the rectangles, and input is what
// tests inject through platform/platform_testing.h.
#include <deque>
#include <map>

#include "platform/display/display.h"
#include "platform/platform_testing.h"
#include "platform/user/user_internal.h"

namespace {

struct HeadlessWindow {
    std::string title;
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    std::vector<RECT> presented;
};

int32_t screenWidth = 1280;
int32_t screenHeight = 1024;
std::map<HWND, HeadlessWindow> desktopWindows;
std::deque<DisplayEvent> pendingEvents;

void HeadlessScreenSize(int32_t* width, int32_t* height) {
    *width = screenWidth;
    *height = screenHeight;
}

BOOL HeadlessOpenWindow(HWND window, int32_t x, int32_t y, int32_t width, int32_t height, const char* titleUtf8) {
    desktopWindows[window] = HeadlessWindow{titleUtf8 != nullptr ? titleUtf8 : "", x, y, width, height, {}};
    return TRUE;
}

void HeadlessCloseWindow(HWND window) { desktopWindows.erase(window); }

void HeadlessSetTitle(HWND window, const char* titleUtf8) {
    auto found = desktopWindows.find(window);
    if (found != desktopWindows.end()) found->second.title = titleUtf8 != nullptr ? titleUtf8 : "";
}

void HeadlessResizeWindow(HWND window, int32_t width, int32_t height) {
    auto found = desktopWindows.find(window);
    if (found == desktopWindows.end()) return;
    found->second.width = width;
    found->second.height = height;
}

void HeadlessPresent(HWND window, const uint32_t*, int32_t, int32_t, const RECT* rects, int32_t count) {
    auto found = desktopWindows.find(window);
    if (found == desktopWindows.end()) return;
    // Long runs that never ask for them keep only the latest rectangles.
    auto& presented = found->second.presented;
    if (presented.size() > 65536) presented.erase(presented.begin(), presented.begin() + 32768);
    presented.insert(presented.end(), rects, rects + count);
}

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
    .present = HeadlessPresent,
    .pollEvent = HeadlessPollEvent,
};

// Queues an event for the top-level window of `hwnd`, with the point moved from
// hwnd's client coordinates to the top-level's.
void Inject(DisplayEventKind kind, HWND hwnd, int32_t x, int32_t y, UINT virtualKey) {
    UsrWindow* window = UsrFind(hwnd);
    UsrWindow* topLevel = UsrTopLevelOf(window);
    if (topLevel == nullptr) return;
    const POINT origin = UsrSurfaceOrigin(window);
    pendingEvents.push_back(DisplayEvent{kind, topLevel->handle, origin.x + x, origin.y + y, virtualKey});
}

}  // namespace

const DisplayBackend& DisplayGetBackend() { return headlessBackend; }

void PlatformSetScreenSize(int32_t width, int32_t height) {
    screenWidth = width;
    screenHeight = height;
}

void PlatformInjectMouseDown(HWND hwnd, int32_t x, int32_t y) { Inject(DisplayEventKind::MouseDown, hwnd, x, y, 0); }
void PlatformInjectMouseUp(HWND hwnd, int32_t x, int32_t y) { Inject(DisplayEventKind::MouseUp, hwnd, x, y, 0); }
void PlatformInjectMouseMove(HWND hwnd, int32_t x, int32_t y) { Inject(DisplayEventKind::MouseMove, hwnd, x, y, 0); }

void PlatformInjectClick(HWND hwnd, int32_t x, int32_t y) {
    PlatformInjectMouseDown(hwnd, x, y);
    PlatformInjectMouseUp(hwnd, x, y);
}

void PlatformInjectKey(HWND hwnd, UINT virtualKey) {
    Inject(DisplayEventKind::KeyDown, hwnd, 0, 0, virtualKey);
    Inject(DisplayEventKind::KeyUp, hwnd, 0, 0, virtualKey);
}

void PlatformInjectClose(HWND hwnd) { Inject(DisplayEventKind::Close, hwnd, 0, 0, 0); }

bool PlatformHasDesktopWindow(HWND hwnd) { return desktopWindows.count(hwnd) != 0; }

RECT PlatformDesktopWindowRect(HWND hwnd) {
    auto found = desktopWindows.find(hwnd);
    if (found == desktopWindows.end()) return RECT{0, 0, 0, 0};
    const HeadlessWindow& window = found->second;
    return RECT{window.x, window.y, window.x + window.width, window.y + window.height};
}

std::string PlatformDesktopTitle(HWND hwnd) {
    auto found = desktopWindows.find(hwnd);
    return found != desktopWindows.end() ? found->second.title : std::string();
}

std::vector<RECT> PlatformTakePresentedRects(HWND hwnd) {
    auto found = desktopWindows.find(hwnd);
    if (found == desktopWindows.end()) return {};
    std::vector<RECT> rects;
    rects.swap(found->second.presented);
    return rects;
}

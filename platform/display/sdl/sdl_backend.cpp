// The SDL2 backend: every visible top-level window is an SDL window on the
// desktop. Where SDL's window surface has the window system's pixel layout and
// size, the window system draws straight into it and presenting only names the
// changed rectangles; otherwise presenting copies (and converts) them first.
//
// Presenting queues the rectangles per window; `flush`, which the program's idle
// Sleep calls first, hands them to SDL_UpdateWindowSurfaceRects. That call
// returns once the X server has taken the pixels (about 0.2 ms for a demo frame),
// so the wait falls inside the idle time, and nothing draws while the X server
// reads. Everything runs on the program's one thread.
//
// SDL frees and remakes the window surface inside SDL_GetWindowSurface after the
// window's size changed, so that call happens only in SdlFramebuffer and in the
// copying present, never while the window system draws into a surface handed out.
//
// Under X11 (and SDL's dummy and offscreen drivers, in tests) the window surface
// is asked to be SDL's plain framebuffer: the default path through a hidden
// OpenGL context costs several milliseconds per update under a virtual X server,
// the plain framebuffer a fraction of one. Other drivers (Wayland has no plain
// framebuffer) keep SDL's default.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "platform/display/display.h"

namespace {

// More queued rectangles than this for one window are shown at once, so that a
// program that never goes idle still has its window updated.
constexpr size_t kMaxQueuedRects = 512;

struct SdlWindow {
    SDL_Window* window;
    Uint32 id;
    // The surface last handed out by SdlFramebuffer, and its pixels; NULL when the
    // window system draws into its own memory.
    SDL_Surface* given;
    void* givenPixels;
    bool sizeChanged;   // SDL may have remade the surface since it was handed out
    bool toldNoSurface;  // the missing window surface was reported
    std::vector<SDL_Rect> queued;  // presented, not yet shown
};

std::map<HWND, SdlWindow> windows;

bool VideoReady() {
    static bool ready = false;
    static bool tried = false;
    if (tried) return ready;
    tried = true;
    // Interrupt and termination signals keep their default action: SDL would turn
    // them into a quit event, which this window system has no message for, and the
    // program could then only be stopped by its close box.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    ready = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (ready) {
        const char* driver = SDL_GetCurrentVideoDriver();
        const bool plainFramebuffer = driver != nullptr && (std::strcmp(driver, "x11") == 0 ||
                                                            std::strcmp(driver, "dummy") == 0 ||
                                                            std::strcmp(driver, "offscreen") == 0);
        // Read when the first window surface is made.
        if (plainFramebuffer) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    }
    return ready;
}

// The window surface, or NULL; a window without one says why once on stderr, as
// it would otherwise stay empty without a word.
SDL_Surface* WindowSurface(SdlWindow& record) {
    SDL_Surface* screen = SDL_GetWindowSurface(record.window);
    if (screen == nullptr && !record.toldNoSurface) {
        record.toldNoSurface = true;
        const char* driver = SDL_GetCurrentVideoDriver();
        std::fprintf(stderr, "No window surface on SDL video driver %s: %s\n", driver != nullptr ? driver : "?",
                     SDL_GetError());
    }
    return screen;
}

// Shows the window's queued rectangles.
void ShowQueued(SdlWindow& record) {
    if (record.queued.empty()) return;
    SDL_UpdateWindowSurfaceRects(record.window, record.queued.data(), static_cast<int>(record.queued.size()));
    record.queued.clear();
}

HWND WindowOfId(Uint32 id) {
    for (const auto& [hwnd, window] : windows) {
        if (window.id == id) return hwnd;
    }
    return nullptr;
}

UINT VirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<UINT>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<UINT>('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12) return static_cast<UINT>(0x70 + (key - SDLK_F1));
    switch (key) {
        case SDLK_ESCAPE: return VK_ESCAPE;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: return VK_RETURN;
        case SDLK_BACKSPACE: return 0x08;
        case SDLK_TAB: return 0x09;
        case SDLK_SPACE: return 0x20;
        default: return 0;
    }
}

void SdlScreenSize(int32_t* width, int32_t* height) {
    SDL_DisplayMode mode{};
    if (VideoReady() && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        *width = mode.w;
        *height = mode.h;
        return;
    }
    *width = 1280;
    *height = 1024;
}

BOOL SdlOpenWindow(HWND hwnd, int32_t x, int32_t y, int32_t width, int32_t height, const char* titleUtf8) {
    if (!VideoReady() || windows.count(hwnd) != 0) return FALSE;
    SDL_Window* window = SDL_CreateWindow(titleUtf8, x, y, std::max(width, 1), std::max(height, 1), SDL_WINDOW_SHOWN);
    if (window == nullptr) return FALSE;
    windows[hwnd] = SdlWindow{window, SDL_GetWindowID(window), nullptr, nullptr, false, false, {}};
    return TRUE;
}

void SdlCloseWindow(HWND hwnd) {
    auto found = windows.find(hwnd);
    if (found == windows.end()) return;
    SDL_DestroyWindow(found->second.window);
    windows.erase(found);
}

void SdlSetTitle(HWND hwnd, const char* titleUtf8) {
    auto found = windows.find(hwnd);
    if (found != windows.end()) SDL_SetWindowTitle(found->second.window, titleUtf8);
}

void SdlResizeWindow(HWND hwnd, int32_t width, int32_t height) {
    auto found = windows.find(hwnd);
    if (found == windows.end()) return;
    // The queued rectangles belong to the surface of the old size.
    ShowQueued(found->second);
    SDL_SetWindowSize(found->second.window, std::max(width, 1), std::max(height, 1));
    found->second.sizeChanged = true;
}

// Blue, green, red, unused in memory: the window system's own layout.
bool SameLayout(const SDL_Surface* screen) {
    return screen->format->BytesPerPixel == 4 &&
           (screen->format->format == SDL_PIXELFORMAT_RGB888 || screen->format->format == SDL_PIXELFORMAT_ARGB8888);
}

uint32_t* SdlFramebuffer(HWND hwnd, int32_t width, int32_t height, int32_t* pitch, BOOL* remade) {
    *pitch = 0;
    *remade = FALSE;
    auto found = windows.find(hwnd);
    if (found == windows.end()) return nullptr;
    SdlWindow& record = found->second;
    SDL_Surface* screen = WindowSurface(record);
    if (screen == nullptr || screen->pixels == nullptr || !SameLayout(screen) || screen->w != width ||
        screen->h != height || screen->pitch < width * 4 || screen->pitch % 4 != 0) {
        record.given = nullptr;
        record.givenPixels = nullptr;
        return nullptr;
    }
    *remade = (screen != record.given || screen->pixels != record.givenPixels || record.sizeChanged) ? TRUE : FALSE;
    // A remade surface is drawn and presented again whole.
    if (*remade) record.queued.clear();
    record.given = screen;
    record.givenPixels = screen->pixels;
    record.sizeChanged = false;
    *pitch = screen->pitch;
    return static_cast<uint32_t*>(screen->pixels);
}

// Queues the rectangles, clipped to the window and to the desktop surface;
// returns where the new ones begin.
size_t QueueRects(SdlWindow& record, const RECT* rects, int32_t count, int32_t right, int32_t bottom) {
    if (record.queued.size() + static_cast<size_t>(count) > kMaxQueuedRects) ShowQueued(record);
    const size_t first = record.queued.size();
    for (int32_t i = 0; i < count; ++i) {
        const int32_t left = std::max<int32_t>(rects[i].left, 0);
        const int32_t top = std::max<int32_t>(rects[i].top, 0);
        const int32_t rectRight = std::min<int32_t>(rects[i].right, right);
        const int32_t rectBottom = std::min<int32_t>(rects[i].bottom, bottom);
        if (rectRight <= left || rectBottom <= top) continue;
        record.queued.push_back(SDL_Rect{left, top, rectRight - left, rectBottom - top});
    }
    return first;
}

void SdlPresent(HWND hwnd, const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                const RECT* rects, int32_t count) {
    auto found = windows.find(hwnd);
    if (found == windows.end() || pixels == nullptr || count <= 0) return;
    SdlWindow& record = found->second;
    if (record.given != nullptr && pixels == record.givenPixels) {
        // Drawn in place: the desktop only needs to hear which parts changed.
        QueueRects(record, rects, count, std::min(width, record.given->w), std::min(height, record.given->h));
        return;
    }
    // This may remake the surface; the window system holds none of it now.
    SDL_Surface* screen = WindowSurface(record);
    record.given = nullptr;
    record.givenPixels = nullptr;
    if (screen == nullptr) return;
    const size_t first = QueueRects(record, rects, count, std::min(width, screen->w), std::min(height, screen->h));
    const bool sameLayout = SameLayout(screen);
    for (size_t i = first; i < record.queued.size(); ++i) {
        const SDL_Rect& rect = record.queued[i];
        const auto* source = reinterpret_cast<const uint8_t*>(pixels) + static_cast<size_t>(rect.y) * pitch +
                             static_cast<size_t>(rect.x) * 4;
        auto* target = static_cast<uint8_t*>(screen->pixels) + static_cast<size_t>(rect.y) * screen->pitch +
                       static_cast<size_t>(rect.x) * screen->format->BytesPerPixel;
        if (sameLayout) {
            for (int32_t y = 0; y < rect.h; ++y) {
                std::memcpy(target + static_cast<size_t>(y) * screen->pitch, source + static_cast<size_t>(y) * pitch,
                            static_cast<size_t>(rect.w) * 4);
            }
        } else {
            SDL_ConvertPixels(rect.w, rect.h, SDL_PIXELFORMAT_RGB888, source, pitch, screen->format->format, target,
                              screen->pitch);
        }
    }
}

void SdlFlush() {
    for (auto& [hwnd, record] : windows) ShowQueued(record);
}

BOOL SdlPollEvent(DisplayEvent* event) {
    if (!VideoReady()) return FALSE;
    SDL_Event sdl;
    while (SDL_PollEvent(&sdl) != 0) {
        *event = DisplayEvent{};
        switch (sdl.type) {
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                if (sdl.button.button != SDL_BUTTON_LEFT) continue;
                event->kind = sdl.type == SDL_MOUSEBUTTONDOWN ? DisplayEventKind::MouseDown : DisplayEventKind::MouseUp;
                event->window = WindowOfId(sdl.button.windowID);
                event->x = sdl.button.x;
                event->y = sdl.button.y;
                break;
            case SDL_MOUSEMOTION:
                event->kind = DisplayEventKind::MouseMove;
                event->window = WindowOfId(sdl.motion.windowID);
                event->x = sdl.motion.x;
                event->y = sdl.motion.y;
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                event->kind = sdl.type == SDL_KEYDOWN ? DisplayEventKind::KeyDown : DisplayEventKind::KeyUp;
                event->window = WindowOfId(sdl.key.windowID);
                event->virtualKey = VirtualKey(sdl.key.keysym.sym);
                if (event->virtualKey == 0) continue;
                break;
            case SDL_WINDOWEVENT:
                event->window = WindowOfId(sdl.window.windowID);
                switch (sdl.window.event) {
                    case SDL_WINDOWEVENT_CLOSE: event->kind = DisplayEventKind::Close; break;
                    case SDL_WINDOWEVENT_FOCUS_GAINED: event->kind = DisplayEventKind::FocusGained; break;
                    case SDL_WINDOWEVENT_FOCUS_LOST: event->kind = DisplayEventKind::FocusLost; break;
                    case SDL_WINDOWEVENT_EXPOSED: event->kind = DisplayEventKind::Exposed; break;
                    case SDL_WINDOWEVENT_SIZE_CHANGED: {
                        // SDL remakes the surface at its next SDL_GetWindowSurface.
                        auto found = windows.find(event->window);
                        if (found != windows.end()) found->second.sizeChanged = true;
                        continue;
                    }
                    default: continue;
                }
                break;
            default: continue;
        }
        if (event->window != nullptr) return TRUE;
    }
    return FALSE;
}

const DisplayBackend sdlBackend = {
    .name = "sdl",
    .screenSize = SdlScreenSize,
    .openWindow = SdlOpenWindow,
    .closeWindow = SdlCloseWindow,
    .setTitle = SdlSetTitle,
    .resizeWindow = SdlResizeWindow,
    .framebuffer = SdlFramebuffer,
    .present = SdlPresent,
    .flush = SdlFlush,
    .pollEvent = SdlPollEvent,
};

}  // namespace

const DisplayBackend& DisplayGetBackend() { return sdlBackend; }

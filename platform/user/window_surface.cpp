// A top-level window's surface: made at the client size, and drawn straight into
// its desktop window's framebuffer where the backend offers one of the surface's
// size and layout, so that presenting copies nothing. The surface keeps its own memory for the times
// it has no framebuffer: before the desktop window opens, after it closes, and
// when the backend's pixels have another format or size.
//
// The backend may free a framebuffer only inside its framebuffer, resizeWindow
// and closeWindow calls. The window system re-points the surface right after the
// first and before the other two, so no DC ever draws into freed memory: DCs look
// their surface bitmap up for every drawing call and follow the new memory.
#include <algorithm>
#include <cstring>

#include "platform/display/display.h"
#include "platform/gdi/gdi_surface.h"
#include "platform/user/user_internal.h"

namespace {

void CopyRows(uint32_t* to, int32_t toStride, const uint32_t* from, int32_t fromStride, int32_t width,
              int32_t height) {
    for (int32_t y = 0; y < height; ++y) {
        std::memcpy(to + static_cast<size_t>(y) * toStride, from + static_cast<size_t>(y) * fromStride,
                    static_cast<size_t>(width) * 4);
    }
}

}  // namespace

bool UsrSyncFramebuffer(UsrWindow* topLevel) {
    if (!topLevel->desktopOpen || topLevel->surface == nullptr) return true;
    const int32_t width = topLevel->surfaceWidth;
    const int32_t height = topLevel->surfaceHeight;
    int32_t pitch = 0;
    BOOL remade = FALSE;
    uint32_t* framebuffer = DisplayGetBackend().framebuffer(topLevel->handle, width, height, &pitch, &remade);
    if (topLevel->onFramebuffer && framebuffer == topLevel->pixels && remade == FALSE) return true;
    // Whatever was drawn into the previous framebuffer went with it.
    const bool lost = topLevel->onFramebuffer;
    uint32_t* drawing = nullptr;
    if (framebuffer != nullptr) {
        drawing = GdiSetSurfaceMemory(topLevel->surface, framebuffer, pitch);
        // The own pixels are current when the surface was not on a framebuffer.
        if (drawing != nullptr && !lost) {
            CopyRows(drawing, pitch / 4, topLevel->pixels, topLevel->surfaceStride, width, height);
        }
    }
    if (drawing != nullptr) {
        topLevel->pixels = drawing;
        topLevel->surfaceStride = pitch / 4;
        topLevel->onFramebuffer = true;
    } else if (lost) {
        topLevel->pixels = GdiSetSurfaceMemory(topLevel->surface, nullptr, 0);
        topLevel->surfaceStride = width;
        topLevel->onFramebuffer = false;
    }
    if (lost) UsrInvalidate(topLevel, nullptr, true, true);
    return !lost;
}

void UsrDetachFramebuffer(UsrWindow* topLevel, bool keepPixels) {
    if (!topLevel->onFramebuffer) return;
    const uint32_t* shown = topLevel->pixels;
    const int32_t shownStride = topLevel->surfaceStride;
    topLevel->pixels = GdiSetSurfaceMemory(topLevel->surface, nullptr, 0);
    topLevel->surfaceStride = topLevel->surfaceWidth;
    topLevel->onFramebuffer = false;
    if (keepPixels && topLevel->pixels != nullptr) {
        CopyRows(topLevel->pixels, topLevel->surfaceStride, shown, shownStride, topLevel->surfaceWidth,
                 topLevel->surfaceHeight);
    }
}

void UsrResizeSurface(UsrWindow* window) {
    const int32_t width = window->rect.right - window->rect.left;
    const int32_t height = window->rect.bottom - window->rect.top;
    if (window->surface != nullptr && width == window->surfaceWidth && height == window->surfaceHeight) return;
    UsrDropWindowDCs(window);
    uint32_t* pixels = nullptr;
    HBITMAP surface = (width > 0 && height > 0) ? GdiCreateSurfaceBitmap(width, height, &pixels) : nullptr;
    if (surface == nullptr) pixels = nullptr;
    if (pixels != nullptr && window->pixels != nullptr) {
        const int32_t rows = std::min(height, window->surfaceHeight);
        const int32_t columns = std::min(width, window->surfaceWidth);
        for (int32_t y = 0; y < rows; ++y) {
            std::memcpy(pixels + static_cast<size_t>(y) * width,
                        window->pixels + static_cast<size_t>(y) * window->surfaceStride,
                        static_cast<size_t>(columns) * 4);
        }
    }
    // The old pixels (perhaps the desktop's framebuffer) are copied; the new
    // surface draws into its own memory until the next present finds the
    // framebuffer of the new size.
    if (window->surface != nullptr) GdiDeleteSurfaceBitmap(window->surface);
    window->surface = surface;
    window->pixels = pixels;
    window->surfaceWidth = pixels != nullptr ? width : 0;
    window->surfaceHeight = pixels != nullptr ? height : 0;
    window->surfaceStride = window->surfaceWidth;
    window->onFramebuffer = false;
    if (window->desktopOpen) DisplayGetBackend().resizeWindow(window->handle, width, height);
}

void UsrDropWindowDCs(UsrWindow* topLevel) {
    for (UsrWindowDC& record : topLevel->windowDCs) {
        GdiDeleteWindowDC(record.dc);
        pixman_region32_fini(&record.reach);
    }
    topLevel->windowDCs.clear();
}

// Making and destroying windows of the three classes the system uses: dialog
// windows ("#32770"), "STATIC" and "BUTTON". A top-level window gets a surface of
// its client size; a child joins the bottom of its parent's z-order.
#include <algorithm>
#include <cstring>
#include <cwchar>

#include "platform/display/display.h"
#include "platform/gdi/gdi_surface.h"
#include "platform/system/path_encoding.h"
#include "platform/user/user_internal.h"

namespace {

constexpr uintptr_t kDialogClassAtom = 0x8002;
// Children nest at most this deep, which bounds every walk over a window tree.
constexpr int kMaxNesting = 100;

int NestingDepth(UsrWindow* window) {
    int depth = 0;
    while (window != nullptr && (window->style & WS_CHILD) != 0) {
        ++depth;
        window = UsrFind(window->parent);
    }
    return depth;
}

bool SameClassName(LPCWSTR given, const wchar_t* known) {
    for (; *given != L'\0' && *known != L'\0'; ++given, ++known) {
        wchar_t a = *given;
        if (a >= L'a' && a <= L'z') a = static_cast<wchar_t>(a - L'a' + L'A');
        if (a != *known) return false;
    }
    return *given == L'\0' && *known == L'\0';
}

bool ClassFromName(LPCWSTR name, UsrClass* windowClass) {
    if (name == nullptr) return false;
    if (reinterpret_cast<uintptr_t>(name) <= 0xFFFF) {
        if (reinterpret_cast<uintptr_t>(name) != kDialogClassAtom) return false;
        *windowClass = UsrClass::Dialog;
        return true;
    }
    if (SameClassName(name, L"STATIC")) *windowClass = UsrClass::Static;
    else if (SameClassName(name, L"BUTTON")) *windowClass = UsrClass::Button;
    else if (SameClassName(name, L"#32770")) *windowClass = UsrClass::Dialog;
    else return false;
    return true;
}

WNDPROC ClassProcedure(UsrClass windowClass) {
    switch (windowClass) {
        case UsrClass::Dialog: return UsrDialogWndProc;
        case UsrClass::Static: return UsrStaticWndProc;
        case UsrClass::Button: return UsrButtonWndProc;
    }
    return UsrDialogWndProc;
}

// The window and all its descendants, parents before children.
void CollectTree(HWND hwnd, std::vector<HWND>* out) {
    UsrWindow* window = UsrFind(hwnd);
    if (window == nullptr) return;
    out->push_back(hwnd);
    for (HWND child : window->children) CollectTree(child, out);
}

void EraseHandle(std::vector<HWND>* list, HWND hwnd) {
    for (auto it = list->begin(); it != list->end(); ++it) {
        if (*it == hwnd) {
            list->erase(it);
            return;
        }
    }
}

// Frees a window's record after its messages; children still attached (made
// while it was being destroyed) go with it.
void FreeTree(HWND hwnd) {
    UsrWindow* window = UsrFind(hwnd);
    if (window == nullptr) return;
    while (!window->children.empty()) {
        const HWND child = window->children.back();
        FreeTree(child);
        window = UsrFind(hwnd);
        if (window == nullptr) return;
        EraseHandle(&window->children, child);
    }
    UsrRemoveMessagesFor(hwnd);
    if (userState.captureWindow == hwnd) userState.captureWindow = nullptr;
    if (userState.activeWindow == hwnd) userState.activeWindow = nullptr;
    if ((window->style & WS_CHILD) != 0) {
        UsrWindow* topLevel = UsrTopLevelOf(window);
        if (topLevel != nullptr) {
            auto& dcs = topLevel->windowDCs;
            for (size_t i = 0; i < dcs.size();) {
                if (dcs[i].window == hwnd) {
                    GdiDeleteWindowDC(dcs[i].dc);
                    pixman_region32_fini(&dcs[i].reach);
                    dcs.erase(dcs.begin() + static_cast<std::ptrdiff_t>(i));
                } else {
                    ++i;
                }
            }
        }
        UsrWindow* parent = UsrFind(window->parent);
        if (parent != nullptr) EraseHandle(&parent->children, hwnd);
    } else {
        UsrDetachFramebuffer(window, false);
        if (window->desktopOpen) DisplayGetBackend().closeWindow(hwnd);
        UsrDropWindowDCs(window);
        if (window->surface != nullptr) GdiDeleteSurfaceBitmap(window->surface);
        EraseHandle(&userState.topLevels, hwnd);
    }
    UsrFreeWindow(window);
}

}  // namespace

std::string UsrToUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        uint32_t c = static_cast<uint32_t>(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        SysAppendUtf8(out, c);
    }
    return out;
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

HWND UsrCreateWindow(UsrClass windowClass, DWORD exStyle, LPCWSTR text, DWORD style, int x, int y, int width,
                     int height, HWND parentHandle, int32_t id) {
    UsrWindow* parent = UsrFind(parentHandle);
    const bool child = (style & WS_CHILD) != 0;
    if (child && (parent == nullptr || NestingDepth(parent) >= kMaxNesting)) return nullptr;
    if (parentHandle != nullptr && parent == nullptr) return nullptr;
    UsrWindow* window = UsrAllocWindow();
    if (window == nullptr) return nullptr;
    const HWND hwnd = window->handle;
    window->windowClass = windowClass;
    window->wndProc = ClassProcedure(windowClass);
    window->style = style & ~static_cast<DWORD>(WS_VISIBLE);
    window->exStyle = exStyle;
    window->id = child ? id : 0;
    const int32_t left = UsrClampCoordinate(x);
    const int32_t top = UsrClampCoordinate(y);
    window->rect = RECT{left, top, left + UsrClampSize(width), top + UsrClampSize(height)};
    if (text != nullptr) window->text = text;
    if (child) {
        window->parent = parentHandle;
        parent->children.push_back(hwnd);
    } else {
        window->owner = parentHandle;
        userState.topLevels.push_back(hwnd);
        UsrResizeSurface(window);
    }
    if ((style & WS_VISIBLE) != 0) ShowWindow(hwnd, SW_SHOW);
    return UsrFind(hwnd) != nullptr ? hwnd : nullptr;
}

HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X, int Y,
                            int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE, LPVOID) {
    UsrClass windowClass;
    if (!ClassFromName(lpClassName, &windowClass)) return nullptr;
    const int32_t id = static_cast<int32_t>(reinterpret_cast<intptr_t>(hMenu));
    return UsrCreateWindow(windowClass, dwExStyle, lpWindowName, dwStyle, X, Y, nWidth, nHeight, hWndParent, id);
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr || window->destroying) return FALSE;
    if ((window->style & WS_VISIBLE) != 0) ShowWindow(hWnd, SW_HIDE);
    if (UsrFind(hWnd) == nullptr) return TRUE;

    std::vector<HWND> tree;
    CollectTree(hWnd, &tree);
    for (HWND member : tree) UsrFind(member)->destroying = true;
    // WM_DESTROY to the window, then to its children; WM_NCDESTROY the other way round.
    for (HWND member : tree) {
        if (UsrFind(member) != nullptr) SendMessageW(member, WM_DESTROY, 0, 0);
    }
    for (auto it = tree.rbegin(); it != tree.rend(); ++it) {
        if (UsrFind(*it) != nullptr) SendMessageW(*it, WM_NCDESTROY, 0, 0);
    }
    FreeTree(hWnd);
    return TRUE;
}

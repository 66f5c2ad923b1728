// Making windows of the three classes the system uses: dialog windows
// ("#32770"), "STATIC" and "BUTTON". A top-level window gets a surface of
// its client size; a child joins the bottom of its parent's z-order.
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

}  // namespace

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

// The window text: set and read through WM_SETTEXT and WM_GETTEXT, and shown by
// the desktop as a top-level window's title in UTF-8.
#include "platform/system/path_encoding.h"
#include "platform/user/user_internal.h"

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

BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
    if (UsrFind(hWnd) == nullptr) return FALSE;
    return SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) != 0 ? TRUE : FALSE;
}

int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
    if (lpString == nullptr || nMaxCount <= 0) return 0;
    lpString[0] = L'\0';
    if (UsrFind(hWnd) == nullptr) return 0;
    return static_cast<int>(SendMessageW(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                         reinterpret_cast<LPARAM>(lpString)));
}

// The thread's one message queue: posted messages and input in order, sent
// messages straight to the window procedure, and WM_PAINT made up when the queue
// has nothing else for a window that still needs painting.
#include <time.h>

#include "platform/user/user_internal.h"

namespace {

// As on the platform, a queue that nobody empties stops accepting posts.
constexpr size_t kQueueLimit = 10000;

DWORD TickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<DWORD>(static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

bool Matches(const MSG& msg, HWND filter, UINT first, UINT last) {
    if (first != 0 || last != 0) {
        if (msg.message < first || msg.message > last) return false;
    }
    if (filter == nullptr) return true;
    if (filter == reinterpret_cast<HWND>(static_cast<intptr_t>(-1))) return msg.hwnd == nullptr;
    return UsrIsSelfOrDescendant(msg.hwnd, filter);
}

WCHAR CharacterOfKey(WPARAM key) {
    if (key >= 'A' && key <= 'Z') return static_cast<WCHAR>(key - 'A' + 'a');
    if (key >= '0' && key <= '9') return static_cast<WCHAR>(key);
    switch (key) {
        case VK_ESCAPE: return 0x1B;
        case VK_RETURN: return 0x0D;
        case 0x08: return 0x08;  // backspace
        case 0x09: return 0x09;  // tab
        case 0x20: return 0x20;  // space
        default: return 0;
    }
}

}  // namespace

void UsrPost(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (userState.queue.size() >= kQueueLimit) return;
    userState.queue.push_back(MSG{hwnd, message, wParam, lParam, TickCount(), POINT{0, 0}});
}

void UsrRemoveMessagesFor(HWND hwnd) {
    auto& queue = userState.queue;
    for (auto it = queue.begin(); it != queue.end();) {
        if (it->hwnd == hwnd) it = queue.erase(it);
        else ++it;
    }
}

BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd != nullptr && UsrFind(hWnd) == nullptr) return FALSE;
    if (userState.queue.size() >= kQueueLimit) return FALSE;
    UsrPost(hWnd, Msg, wParam, lParam);
    return TRUE;
}

LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr) return 0;
    return window->wndProc(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    if (lpMsg == nullptr) return FALSE;
    UsrPollInput();
    auto& queue = userState.queue;
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (!Matches(*it, hWnd, wMsgFilterMin, wMsgFilterMax)) continue;
        *lpMsg = *it;
        if ((wRemoveMsg & PM_REMOVE) != 0) queue.erase(it);
        return TRUE;
    }
    if ((wMsgFilterMin != 0 || wMsgFilterMax != 0) && (WM_PAINT < wMsgFilterMin || WM_PAINT > wMsgFilterMax)) {
        return FALSE;
    }
    const HWND paint = UsrFindWindowToPaint();
    if (paint == nullptr || (hWnd != nullptr && !UsrIsSelfOrDescendant(paint, hWnd))) return FALSE;
    *lpMsg = MSG{paint, WM_PAINT, 0, 0, TickCount(), POINT{0, 0}};
    return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
    if (lpMsg == nullptr || lpMsg->message != WM_KEYDOWN) return FALSE;
    const WCHAR character = CharacterOfKey(lpMsg->wParam);
    if (character == 0 || UsrFind(lpMsg->hwnd) == nullptr) return FALSE;
    // The character is the next message, ahead of later input.
    userState.queue.push_front(MSG{lpMsg->hwnd, WM_CHAR, static_cast<WPARAM>(character), lpMsg->lParam, TickCount(), lpMsg->pt});
    return TRUE;
}

LRESULT WINAPI DispatchMessageW(const MSG* lpMsg) {
    if (lpMsg == nullptr) return 0;
    return SendMessageW(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

// No accelerator tables exist here, so nothing is ever translated.
int WINAPI TranslateAcceleratorW(HWND, HACCEL, LPMSG) { return 0; }

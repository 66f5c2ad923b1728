// Taking messages from the queue: input from the desktop first, posted messages
// in order, and WM_PAINT made up when the queue has nothing else for a window
// that still needs painting; translating keys into characters; dispatching.
#include "platform/user/user_internal.h"

namespace {

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
    *lpMsg = MSG{paint, WM_PAINT, 0, 0, UsrMessageTime(), POINT{0, 0}};
    return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
    if (lpMsg == nullptr || lpMsg->message != WM_KEYDOWN) return FALSE;
    const WCHAR character = CharacterOfKey(lpMsg->wParam);
    if (character == 0 || UsrFind(lpMsg->hwnd) == nullptr) return FALSE;
    // The character is the next message, ahead of later input.
    userState.queue.push_front(MSG{lpMsg->hwnd, WM_CHAR, static_cast<WPARAM>(character), lpMsg->lParam, UsrMessageTime(), lpMsg->pt});
    return TRUE;
}

LRESULT WINAPI DispatchMessageW(const MSG* lpMsg) {
    if (lpMsg == nullptr) return 0;
    return SendMessageW(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

// No accelerator tables exist here, so nothing is ever translated.
int WINAPI TranslateAcceleratorW(HWND, HACCEL, LPMSG) { return 0; }

// The thread's one message queue: posted messages and input in order; sent
// messages go straight to the window procedure.
#include <time.h>

#include "platform/user/user_internal.h"

namespace {

// As on the platform, a queue that nobody empties stops accepting posts.
constexpr size_t kQueueLimit = 10000;

}  // namespace

DWORD UsrMessageTime() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<DWORD>(static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

void UsrPost(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (userState.queue.size() >= kQueueLimit) return;
    userState.queue.push_back(MSG{hwnd, message, wParam, lParam, UsrMessageTime(), POINT{0, 0}});
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

// The message queue and input: order, removal and filters, input routed to the
// window under the pointer, keys with the dialog keyboard handling, and the
// close box.
#include "user_test_helpers.h"

namespace {

using UserMessages = WindowTest;

TEST_F(UserMessages, PostedMessagesAndInputComeOutInOrder) {
    HWND top = MakeTopLevel(100, 100);
    HWND child = MakeChild(top, L"STATIC", 1, 50, 50, 20, 20);
    PlatformPumpMessages();  // first paints
    PostMessageW(top, WM_USER, 1, 0);
    PlatformInjectClick(child, 3, 4);
    // Desktop input joins the queue when the queue is looked at.
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));  // not removed
    PostMessageW(nullptr, WM_USER + 1, 2, 0);  // a message for the thread itself

    std::vector<std::pair<HWND, UINT>> seen;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) seen.push_back({msg.hwnd, msg.message});
    const std::vector<std::pair<HWND, UINT>> expected = {
        {top, WM_USER}, {child, WM_LBUTTONDOWN}, {child, WM_LBUTTONUP}, {nullptr, WM_USER + 1}};
    EXPECT_EQ(seen, expected);
}

TEST_F(UserMessages, FiltersSelectByWindowTreeAndByRange) {
    HWND top = MakeTopLevel(100, 100);
    HWND child = MakeChild(top, L"STATIC", 1, 0, 0, 10, 10);
    HWND other = MakeTopLevel(100, 100);
    PlatformPumpMessages();
    PostMessageW(other, WM_USER, 0, 0);
    PostMessageW(child, WM_USER + 5, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, top, 0, 0, PM_REMOVE));  // the window and its children
    EXPECT_EQ(msg.hwnd, child);
    PostMessageW(other, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_KEYDOWN, WM_CHAR, PM_REMOVE));
    EXPECT_FALSE(PeekMessageW(nullptr, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(UserMessages, MouseInputGoesToTheChildUnderThePointerInItsCoordinates) {
    HWND top = MakeTopLevel(100, 100);
    HWND child = MakeChild(top, L"STATIC", 1, 40, 30, 20, 20);
    HWND hidden = MakeChild(top, L"STATIC", 2, 0, 0, 30, 30, WS_CHILD);
    HookMessages(top);
    HookMessages(child);
    HookMessages(hidden);
    PlatformInjectMouseMove(top, 45, 36);
    PlatformInjectMouseDown(top, 5, 5);  // over the hidden child: the parent gets it
    PlatformInjectMouseUp(top, 5, 5);
    PlatformPumpMessages();
    const LoggedMessage* move = nullptr;
    for (const auto& entry : messageLog.entries) {
        if (entry.message == WM_MOUSEMOVE) move = &entry;
    }
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(move->hwnd, child);
    EXPECT_EQ(LOWORD(move->lParam), 5);
    EXPECT_EQ(HIWORD(move->lParam), 6);
    EXPECT_EQ(messageLog.Count(top, WM_LBUTTONDOWN), 1);
    EXPECT_EQ(messageLog.Count(hidden, WM_LBUTTONDOWN), 0);
}

TEST_F(UserMessages, TheWindowThatGotTheButtonKeepsTheMouseUntilRelease) {
    HWND top = MakeTopLevel(100, 100);
    HWND child = MakeChild(top, L"STATIC", 1, 40, 30, 20, 20);
    PlatformPumpMessages();
    HookMessages(top);
    HookMessages(child);
    PlatformInjectMouseDown(child, 1, 1);
    PlatformInjectMouseMove(top, 0, 0);
    PlatformInjectMouseUp(top, 90, 90);
    PlatformInjectMouseMove(top, 0, 0);
    PlatformPumpMessages();
    EXPECT_EQ(messageLog.Of(child), (std::vector<UINT>{WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP}));
    const LoggedMessage& up = messageLog.entries[2];
    EXPECT_EQ(static_cast<int16_t>(LOWORD(up.lParam)), 50);  // 90 - 40, outside the child
    EXPECT_EQ(messageLog.Of(top), std::vector<UINT>{WM_MOUSEMOVE});
}

// The demo's loop: keys of the active dialog go through IsDialogMessageA.
TEST_F(UserMessages, EscapeBecomesCancelForTheDialogAndOtherKeysArriveAsKeysAndCharacters) {
    TemplateBuilder dialog(true, WS_POPUP | WS_VISIBLE | DS_SETFONT, 0, 0, 50, 50, L"Keys");
    dialog.Item(0x80, L"Go", 501, WS_CHILD | WS_VISIBLE, 0, 0, 20, 10);
    HWND hwnd = CreateDialogIndirectParamW(nullptr, dialog.Get(), nullptr, nullptr, 0);
    HookMessages(hwnd);
    PlatformPumpMessages();
    messageLog.entries.clear();

    PlatformInjectKey(hwnd, VK_ESCAPE);
    PlatformPumpMessages();
    EXPECT_EQ(messageLog.Of(hwnd), (std::vector<UINT>{WM_COMMAND, WM_KEYUP}));
    EXPECT_EQ(LOWORD(messageLog.entries[0].wParam), IDCANCEL);
    EXPECT_TRUE(IsWindow(hwnd));  // nothing closes the window on Escape

    messageLog.entries.clear();
    PlatformInjectKey(hwnd, 'A');
    PlatformPumpMessages();
    EXPECT_EQ(messageLog.Of(hwnd), (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
    EXPECT_EQ(messageLog.entries[1].wParam, static_cast<WPARAM>(L'a'));

    // A message for some other window is not the dialog's business.
    HWND other = MakeTopLevel(10, 10, WS_POPUP);
    MSG msg{other, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_FALSE(IsDialogMessageA(hwnd, &msg));
    EXPECT_EQ(TranslateAcceleratorW(hwnd, nullptr, &msg), 0);
}

LRESULT CALLBACK PlainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    messageLog.entries.push_back({hwnd, message, wParam, lParam, IsWindowVisible(hwnd) != FALSE});
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The close box is WM_SYSCOMMAND with SC_CLOSE, which sends WM_CLOSE. A plain
// window's default handling then destroys it; a dialog's turns it into Cancel.
TEST_F(UserMessages, TheCloseBoxDestroysAPlainWindowAndGivesADialogCancel) {
    TemplateBuilder dialog(true, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_SETFONT, 0, 0, 50, 50, L"Bye");
    dialog.Item(0x82, L"", 110, WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 0, 0, 20, 10);
    const auto closing = [](HWND hwnd) {
        std::vector<UINT> seen;
        for (UINT message : messageLog.Of(hwnd)) {
            if (message == WM_SYSCOMMAND || message == WM_CLOSE || message == WM_COMMAND || message == WM_DESTROY) {
                seen.push_back(message);
            }
        }
        return seen;
    };

    HWND hwnd = CreateDialogIndirectParamW(nullptr, dialog.Get(), nullptr, nullptr, 0);
    HWND child = GetDlgItem(hwnd, 110);
    HookMessages(hwnd);
    PlatformInjectClose(child);  // the close box of the child's top-level window
    PlatformPumpMessages();
    EXPECT_EQ(closing(hwnd), (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_COMMAND}));
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_TRUE(PlatformHasDesktopWindow(hwnd));

    HWND plain = MakeTopLevel(30, 30, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    HWND plainChild = MakeChild(plain, L"STATIC", 7, 0, 0, 10, 10);
    SetWindowLongPtrA(plain, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PlainWindowProc));
    PlatformInjectClose(plain);
    PlatformPumpMessages();
    EXPECT_EQ(closing(plain), (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}));
    EXPECT_FALSE(IsWindow(plain));
    EXPECT_FALSE(IsWindow(plainChild));
    EXPECT_FALSE(PlatformHasDesktopWindow(plain));
}

TEST_F(UserMessages, AQueueThatNobodyEmptiesStopsAcceptingPosts) {
    HWND top = MakeTopLevel(10, 10, WS_POPUP);
    int accepted = 0;
    for (int i = 0; i < 20000; ++i) accepted += PostMessageW(top, WM_USER, 0, 0) ? 1 : 0;
    EXPECT_EQ(accepted, 10000);
}

}  // namespace

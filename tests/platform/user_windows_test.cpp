// Windows: creation, relatives, handles, visibility, size, text, destruction
// order, subclassing and properties.
#include <climits>

#include "user_test_helpers.h"

namespace {

using UserWindows = WindowTest;

TEST_F(UserWindows, ChildrenAreFoundByIdAndKnowTheirParent) {
    HWND top = MakeTopLevel(200, 100);
    HWND button = MakeChild(top, L"button", 501, 0, 0, 50, 20);
    HWND canvas = MakeChild(top, L"STATIC", 110, 60, 0, 50, 20, WS_CHILD | WS_VISIBLE | SS_OWNERDRAW);
    ASSERT_NE(button, nullptr);
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(GetDlgItem(top, 501), button);
    EXPECT_EQ(GetDlgItem(top, 110), canvas);
    EXPECT_EQ(GetDlgItem(top, 7), nullptr);
    EXPECT_EQ(GetParent(button), top);
    EXPECT_EQ(GetParent(top), nullptr);
    EXPECT_EQ(GetDlgCtrlID(canvas), 110);

    RECT client;
    ASSERT_TRUE(GetClientRect(canvas, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_EQ(client.right, 50);
    EXPECT_EQ(client.bottom, 20);
}

TEST_F(UserWindows, CreationIsRefusedForUnknownClassesAndOrphanChildren) {
    EXPECT_EQ(CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(CreateWindowExW(0, nullptr, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(MakeChild(nullptr, L"STATIC", 1, 0, 0, 10, 10), nullptr);
    EXPECT_EQ(MakeChild(reinterpret_cast<HWND>(0x12345), L"STATIC", 1, 0, 0, 10, 10), nullptr);
    EXPECT_EQ(PlatformLiveWindowCount(), 0);

    // Nesting is limited, so that walks over a window tree stay shallow.
    HWND parent = MakeTopLevel(10, 10);
    int depth = 0;
    for (HWND child; (child = MakeChild(parent, L"STATIC", 1, 0, 0, 10, 10)) != nullptr; parent = child) ++depth;
    EXPECT_EQ(depth, 100);
}

// Handles of destroyed windows and made-up values are never windows, and no call
// on them does anything.
TEST_F(UserWindows, StaleAndRandomHandlesAreNotWindows) {
    HWND top = MakeTopLevel(50, 50);
    ASSERT_TRUE(IsWindow(top));
    ASSERT_TRUE(DestroyWindow(top));
    EXPECT_FALSE(IsWindow(top));
    HWND again = MakeTopLevel(50, 50);  // may reuse the slot
    EXPECT_NE(again, top);
    EXPECT_FALSE(IsWindow(top));

    const uintptr_t junk[] = {1, 0xFFFF, 0x10001, 0xDEADBEEF, UINTPTR_MAX, reinterpret_cast<uintptr_t>(top)};
    for (uintptr_t value : junk) {
        HWND bogus = reinterpret_cast<HWND>(value);
        EXPECT_FALSE(IsWindow(bogus));
        EXPECT_FALSE(IsWindowVisible(bogus));
        EXPECT_FALSE(DestroyWindow(bogus));
        EXPECT_FALSE(InvalidateRect(bogus, nullptr, TRUE));
        EXPECT_FALSE(SetPropA(bogus, "x", bogus));
        EXPECT_EQ(SendMessageW(bogus, WM_CLOSE, 0, 0), 0);
        EXPECT_FALSE(PostMessageW(bogus, WM_USER, 0, 0));
        EXPECT_EQ(GetDC(bogus), nullptr);
        PAINTSTRUCT paint;
        EXPECT_EQ(BeginPaint(bogus, &paint), nullptr);
    }
    EXPECT_TRUE(IsWindow(again));
}

TEST_F(UserWindows, VisibilityNeedsTheWindowAndEveryAncestorShown) {
    HWND top = MakeTopLevel(100, 100, WS_POPUP);
    HWND child = MakeChild(top, L"STATIC", 1, 0, 0, 10, 10);
    EXPECT_FALSE(IsWindowVisible(top));
    EXPECT_FALSE(IsWindowVisible(child));  // shown itself, but the parent is hidden
    EXPECT_FALSE(PlatformHasDesktopWindow(top));

    EXPECT_FALSE(ShowWindow(top, SW_SHOW));  // was hidden
    EXPECT_TRUE(IsWindowVisible(top));
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_TRUE(PlatformHasDesktopWindow(top));

    EXPECT_TRUE(ShowWindow(child, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(child));
    EXPECT_TRUE(IsWindowVisible(top));
    ShowWindow(top, SW_HIDE);
    EXPECT_FALSE(PlatformHasDesktopWindow(top));
}

TEST_F(UserWindows, TopLevelWindowsAreActivatedWhenShownAndDeactivatedWhenHidden) {
    HWND first = MakeTopLevel(50, 50, WS_POPUP);
    HWND second = MakeTopLevel(50, 50, WS_POPUP);
    HookMessages(first);
    HookMessages(second);
    ShowWindow(first, SW_SHOW);
    ShowWindow(second, SW_SHOW);
    ShowWindow(second, SW_HIDE);
    std::vector<std::pair<HWND, WPARAM>> activations;
    for (const auto& entry : messageLog.entries) {
        if (entry.message == WM_ACTIVATE) activations.push_back({entry.hwnd, LOWORD(entry.wParam)});
    }
    const std::vector<std::pair<HWND, WPARAM>> expected = {
        {first, WA_ACTIVE}, {first, WA_INACTIVE}, {second, WA_ACTIVE}, {second, WA_INACTIVE}};
    EXPECT_EQ(activations, expected);
}

TEST_F(UserWindows, MoveWindowSendsSizeOnlyWhenTheSizeChanges) {
    HWND top = MakeTopLevel(100, 100);
    HWND child = MakeChild(top, L"STATIC", 1, 0, 0, 10, 10);
    HookMessages(child);
    EXPECT_TRUE(MoveWindow(child, 5, 5, 10, 10, TRUE));
    EXPECT_EQ(messageLog.Count(child, WM_SIZE), 0);
    EXPECT_TRUE(MoveWindow(child, 5, 5, 30, 40, TRUE));
    ASSERT_EQ(messageLog.Count(child, WM_SIZE), 1);
    const LoggedMessage& size = messageLog.entries.back();
    EXPECT_EQ(size.message, static_cast<UINT>(WM_SIZE));
    EXPECT_EQ(size.wParam, static_cast<WPARAM>(SIZE_RESTORED));
    EXPECT_EQ(LOWORD(size.lParam), 30);
    EXPECT_EQ(HIWORD(size.lParam), 40);
    RECT client;
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, 30);
    EXPECT_EQ(client.bottom, 40);

    // Resizing a top-level window remakes its surface at the new size.
    ASSERT_TRUE(PlatformResizeWindow(top, 300, 200));
    GetClientRect(top, &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_NE(PlatformWindowPixel(top, 299, 199), 0xFFFFFFFFu);
    EXPECT_EQ(PlatformWindowPixel(top, 300, 0), 0xFFFFFFFFu);
}

TEST_F(UserWindows, ExtremeCoordinatesAreClampedAndDrawingStaysSafe) {
    HWND top = MakeTopLevel(100, 100, WS_POPUP, INT_MIN, INT_MAX);
    ASSERT_NE(top, nullptr);
    HWND child = MakeChild(top, L"STATIC", 1, INT_MAX, INT_MIN, INT_MAX, -5);
    ASSERT_NE(child, nullptr);
    RECT client;
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, 8192);  // sizes are limited
    EXPECT_EQ(client.bottom, 0);    // and a negative one is no size
    EXPECT_TRUE(MoveWindow(child, INT_MIN, INT_MIN, INT_MAX, INT_MAX, TRUE));
    const RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    EXPECT_TRUE(InvalidateRect(child, &huge, TRUE));
    EXPECT_TRUE(RedrawWindow(top, &huge, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW));
    ShowWindow(top, SW_SHOW);
    UpdateWindow(top);
    EXPECT_NE(PlatformWindowPixel(top, 99, 99), 0xFFFFFFFFu);
    EXPECT_EQ(PlatformWindowPixel(top, INT_MAX, INT_MIN), 0xFFFFFFFFu);
}

TEST_F(UserWindows, TextRoundTripsAndBecomesTheDesktopTitle) {
    HWND top = MakeTopLevel(50, 50);
    EXPECT_EQ(PlatformDesktopTitle(top), "Top");
    ASSERT_TRUE(SetWindowTextW(top, L"Sprites: 32 \u00e9"));
    wchar_t buffer[64];
    EXPECT_EQ(GetWindowTextW(top, buffer, 64), 13);
    EXPECT_STREQ(buffer, L"Sprites: 32 \u00e9");
    EXPECT_EQ(PlatformDesktopTitle(top), "Sprites: 32 \xc3\xa9");
    // A short buffer gets a terminated prefix.
    EXPECT_EQ(GetWindowTextW(top, buffer, 4), 3);
    EXPECT_STREQ(buffer, L"Spr");
    EXPECT_EQ(GetWindowTextW(top, buffer, 0), 0);
}

TEST_F(UserWindows, DestroyReachesTheParentBeforeItsChildrenAndInvalidatesAllHandles) {
    HWND top = MakeTopLevel(100, 100);
    HWND child = MakeChild(top, L"STATIC", 1, 0, 0, 10, 10);
    HWND grandchild = MakeChild(child, L"BUTTON", 2, 0, 0, 5, 5);
    HookMessages(top);
    HookMessages(child);
    HookMessages(grandchild);
    PostMessageW(child, WM_USER, 0, 0);
    ASSERT_TRUE(DestroyWindow(top));

    std::vector<std::pair<HWND, UINT>> order;
    for (const auto& entry : messageLog.entries) {
        if (entry.message == WM_DESTROY || entry.message == WM_NCDESTROY) order.push_back({entry.hwnd, entry.message});
    }
    const std::vector<std::pair<HWND, UINT>> expected = {
        {top, WM_DESTROY},           {child, WM_DESTROY}, {grandchild, WM_DESTROY},
        {grandchild, WM_NCDESTROY}, {child, WM_NCDESTROY}, {top, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(grandchild));
    EXPECT_EQ(PlatformLiveWindowCount(), 0);
    EXPECT_FALSE(PlatformHasDesktopWindow(top));
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));  // its queued message went with it
}

// A procedure that destroys its own window while handling WM_DESTROY, and one
// that makes a new child then: neither may break the destruction.
LRESULT CALLBACK DestroyAgainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        EXPECT_FALSE(DestroyWindow(hwnd));
        MakeChild(hwnd, L"STATIC", 9, 0, 0, 5, 5);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(UserWindows, DestroyingFromInsideWmDestroyIsSafe) {
    HWND top = MakeTopLevel(100, 100);
    SetWindowLongPtrA(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DestroyAgainProc));
    EXPECT_TRUE(DestroyWindow(top));
    EXPECT_EQ(PlatformLiveWindowCount(), 0);
}

LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) return 1000 + static_cast<LRESULT>(wParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(UserWindows, SubclassingReturnsThePreviousProcedureAndChainsToIt) {
    HWND top = MakeTopLevel(50, 50);
    const LONG_PTR original = GetWindowLongPtrA(top, GWLP_WNDPROC);
    ASSERT_NE(original, 0);
    EXPECT_EQ(SetWindowLongPtrA(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)), original);
    EXPECT_EQ(GetWindowLongPtrA(top, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(CountingProc));
    EXPECT_EQ(SendMessageW(top, WM_USER, 7, 0), 1007);
    EXPECT_EQ(CallWindowProcA(reinterpret_cast<WNDPROC>(original), top, WM_USER, 7, 0), 0);
    // Putting the old procedure back restores the window's behaviour.
    EXPECT_EQ(SetWindowLongPtrA(top, GWLP_WNDPROC, original), reinterpret_cast<LONG_PTR>(CountingProc));
    EXPECT_EQ(SendMessageW(top, WM_USER, 7, 0), 0);
    // A NULL procedure is refused.
    EXPECT_EQ(SetWindowLongPtrA(top, GWLP_WNDPROC, 0), 0);
    EXPECT_EQ(GetWindowLongPtrA(top, GWLP_WNDPROC), original);

    EXPECT_EQ(SetWindowLongPtrA(top, GWLP_USERDATA, 42), 0);
    EXPECT_EQ(GetWindowLongPtrA(top, GWLP_USERDATA), 42);
}

TEST_F(UserWindows, PropertiesByAtomAndByNameRoundTrip) {
    HWND top = MakeTopLevel(50, 50);
    HWND other = MakeTopLevel(50, 50);
    const ATOM atom = GlobalAddAtomA("UserTestProperty");
    ASSERT_NE(atom, 0);
    HANDLE value = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x1234567890ull));

    EXPECT_EQ(GetPropA(top, MAKEINTATOM(atom)), nullptr);  // missing reads as NULL
    EXPECT_TRUE(SetPropA(top, MAKEINTATOM(atom), value));
    EXPECT_EQ(GetPropA(top, MAKEINTATOM(atom)), value);
    EXPECT_EQ(GetPropA(top, "usertestproperty"), value);  // the atom's name, any case
    EXPECT_EQ(GetPropA(other, MAKEINTATOM(atom)), nullptr);

    // Names of any bytes work as keys of their own.
    const char odd[] = "\x01\xff name|with|bars";
    EXPECT_TRUE(SetPropA(top, odd, reinterpret_cast<HANDLE>(7)));
    EXPECT_EQ(GetPropA(top, odd), reinterpret_cast<HANDLE>(7));
    EXPECT_TRUE(SetPropA(top, odd, reinterpret_cast<HANDLE>(8)));  // replaces
    EXPECT_EQ(RemovePropA(top, odd), reinterpret_cast<HANDLE>(8));
    EXPECT_EQ(GetPropA(top, odd), nullptr);

    EXPECT_EQ(RemovePropA(top, MAKEINTATOM(atom)), value);
    EXPECT_EQ(GetPropA(top, MAKEINTATOM(atom)), nullptr);
    EXPECT_EQ(RemovePropA(top, MAKEINTATOM(atom)), nullptr);
    EXPECT_FALSE(SetPropA(top, nullptr, value));
    GlobalDeleteAtom(atom);
}

}  // namespace

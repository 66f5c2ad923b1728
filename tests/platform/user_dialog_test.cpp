// Dialogs from in-memory templates and the two controls: creation order and
// geometry, the dialog-procedure protocol, the dialog background, the owner-drawn
// static and the push button.
#include <climits>

#include "gdi_test_helpers.h"
#include "user_test_helpers.h"

namespace {

constexpr DWORD kMainStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_CENTER | DS_SETFONT |
                             DS_3DLOOK | DS_NOFAILCREATE;

// What the dialog procedure answers; every message it gets is logged.
struct DialogAnswers {
    INT_PTR close = FALSE;
    HBRUSH background = nullptr;
    bool controlsAtInit = false;
};
DialogAnswers answers;

INT_PTR CALLBACK LoggingDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    messageLog.entries.push_back({hwnd, message, wParam, lParam, IsWindowVisible(hwnd) != FALSE});
    switch (message) {
        case WM_INITDIALOG: answers.controlsAtInit = GetDlgItem(hwnd, 501) != nullptr; return TRUE;
        case WM_CLOSE: return answers.close;
        case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(answers.background);
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            HBRUSH brush = CreateSolidBrush(RGB(0, 200, 0));
            FillRect(item->hDC, &item->rcItem, brush);
            DeleteObject(brush);
            return TRUE;
        }
        default: return FALSE;
    }
}

class UserDialog : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        answers = DialogAnswers{};
    }
    // The demo's layout: 480 x 300 units, an owner-drawn static and one button.
    static TemplateBuilder DemoLike(bool extended, DWORD style = kMainStyle) {
        TemplateBuilder dialog(extended, style, 0, 0, 480, 300, L"Sprite Demo");
        dialog.Item(0x82, L"", 110, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_NOTIFY | SS_OWNERDRAW, 0, 0, 400, 300)
            .Item(0x80, L"AlphaBlend ON", 501, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_PUSHBUTTON, 401, 20, 80,
                  20);
        return dialog;
    }
    static const LoggedMessage* Find(HWND hwnd, UINT message) {
        for (const auto& entry : messageLog.entries) {
            if (entry.hwnd == hwnd && entry.message == message) return &entry;
        }
        return nullptr;
    }
};

TEST_F(UserDialog, BothTemplateLayoutsGiveTheSameWindowInTwoPixelUnits) {
    for (bool extended : {true, false}) {
        TemplateBuilder dialog = DemoLike(extended);
        HWND hwnd = CreateDialogIndirectParamW(nullptr, dialog.Get(), nullptr, LoggingDialogProc, 0);
        ASSERT_NE(hwnd, nullptr) << extended;
        RECT client;
        GetClientRect(hwnd, &client);
        EXPECT_EQ(client.right, 960);
        EXPECT_EQ(client.bottom, 600);
        wchar_t title[32];
        GetWindowTextW(hwnd, title, 32);
        EXPECT_STREQ(title, L"Sprite Demo");

        HWND button = GetDlgItem(hwnd, 501);
        ASSERT_NE(button, nullptr);
        GetClientRect(button, &client);
        EXPECT_EQ(client.right, 160);
        EXPECT_EQ(client.bottom, 40);
        GetWindowTextW(button, title, 32);
        EXPECT_STREQ(title, L"AlphaBlend ON");
        EXPECT_EQ(GetParent(button), hwnd);
        ASSERT_NE(GetDlgItem(hwnd, 110), nullptr);

        // Created hidden; DS_CENTER centres it on the screen once shown.
        EXPECT_FALSE(IsWindowVisible(hwnd));
        ShowWindow(hwnd, SW_SHOW);
        const RECT placed = PlatformDesktopWindowRect(hwnd);
        EXPECT_EQ(placed.left, (1280 - 960) / 2);
        EXPECT_EQ(placed.top, (1024 - 600) / 2);
        EXPECT_EQ(placed.right - placed.left, 960);
        DestroyWindow(hwnd);
    }
}

TEST_F(UserDialog, InitDialogArrivesDuringCreationAfterTheControlsAndBeforeVisibility) {
    TemplateBuilder dialog = DemoLike(true, kMainStyle | WS_VISIBLE);
    HWND hwnd = CreateDialogIndirectParamW(nullptr, dialog.Get(), nullptr, LoggingDialogProc, 1234);
    ASSERT_NE(hwnd, nullptr);
    const LoggedMessage* init = Find(hwnd, WM_INITDIALOG);
    ASSERT_NE(init, nullptr);
    EXPECT_EQ(messageLog.Count(hwnd, WM_INITDIALOG), 1);
    EXPECT_EQ(init->lParam, 1234);
    EXPECT_FALSE(init->visible);
    EXPECT_TRUE(answers.controlsAtInit);
    EXPECT_TRUE(IsWindowVisible(hwnd));  // the template asked for WS_VISIBLE
    // Shown after WM_INITDIALOG, and activated.
    const LoggedMessage* activate = Find(hwnd, WM_ACTIVATE);
    ASSERT_NE(activate, nullptr);
    EXPECT_EQ(LOWORD(activate->wParam), WA_ACTIVE);
    EXPECT_GT(activate, init);
}

TEST_F(UserDialog, ATemplateWithoutItemsWorks) {
    TemplateBuilder dialog(true, WS_POPUP | DS_SETFONT, 5, 6, 20, 10, L"");
    HWND hwnd = CreateDialogIndirectParamW(nullptr, dialog.Get(), nullptr, LoggingDialogProc, 0);
    ASSERT_NE(hwnd, nullptr);
    const LoggedMessage* init = Find(hwnd, WM_INITDIALOG);
    ASSERT_NE(init, nullptr);
    EXPECT_EQ(init->wParam, 0u);  // no control to give the focus to
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 40);
    EXPECT_EQ(client.bottom, 20);
    // And with no dialog procedure at all.
    EXPECT_NE(CreateDialogIndirectParamW(nullptr, dialog.Get(), nullptr, nullptr, 0), nullptr);
}

TEST_F(UserDialog, AControlOfAnUnknownClassFailsTheDialogUnlessNoFailCreate) {
    for (DWORD noFail : {DWORD{0}, static_cast<DWORD>(DS_NOFAILCREATE)}) {
        TemplateBuilder dialog(true, WS_POPUP | DS_SETFONT | noFail, 0, 0, 100, 100, L"");
        dialog.Item(0x81, L"", 7, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10)  // an edit control: not made here
            .Item(0x80, L"OK", 1, WS_CHILD | WS_VISIBLE, 0, 20, 10, 10);
        HWND hwnd = CreateDialogIndirectParamW(nullptr, dialog.Get(), nullptr, LoggingDialogProc, 0);
        if (noFail != 0) {
            ASSERT_NE(hwnd, nullptr);
            EXPECT_EQ(GetDlgItem(hwnd, 7), nullptr);
            EXPECT_NE(GetDlgItem(hwnd, 1), nullptr);
        } else {
            EXPECT_EQ(hwnd, nullptr);
            EXPECT_EQ(PlatformLiveWindowCount(), 0);
        }
    }
}

TEST_F(UserDialog, MapDialogRectConvertsUnitsAndSaturates) {
    TemplateBuilder dialog(true, WS_POPUP | DS_SETFONT, 0, 0, 10, 10, L"");
    HWND hwnd = CreateDialogIndirectParamW(nullptr, dialog.Get(), nullptr, nullptr, 0);
    RECT rect{401, 20, 481, 40};
    ASSERT_TRUE(MapDialogRect(hwnd, &rect));
    EXPECT_EQ(rect.left, 802);
    EXPECT_EQ(rect.top, 40);
    EXPECT_EQ(rect.right, 962);
    EXPECT_EQ(rect.bottom, 80);
    RECT extreme{INT_MIN, INT_MAX, INT_MAX, INT_MIN};
    ASSERT_TRUE(MapDialogRect(hwnd, &extreme));
    EXPECT_EQ(extreme.left, INT_MIN);
    EXPECT_EQ(extreme.top, INT_MAX);
    EXPECT_FALSE(MapDialogRect(nullptr, &rect));
}

TEST_F(UserDialog, TheBackgroundIsTheCtlColorDlgBrushElseTheButtonFace) {
    TemplateBuilder dialog(true, WS_POPUP | WS_VISIBLE | DS_SETFONT, 0, 0, 20, 20, L"");
    HWND plain = CreateDialogIndirectParamW(nullptr, dialog.Get(), nullptr, LoggingDialogProc, 0);
    UpdateWindow(plain);
    EXPECT_EQ(PlatformWindowPixel(plain, 5, 5), GetSysColor(COLOR_BTNFACE));

    answers.background = CreateSolidBrush(GetSysColor(COLOR_ACTIVECAPTION));
    HWND coloured = CreateDialogIndirectParamW(nullptr, dialog.Get(), nullptr, LoggingDialogProc, 0);
    UpdateWindow(coloured);
    EXPECT_EQ(PlatformWindowPixel(coloured, 5, 5), GetSysColor(COLOR_ACTIVECAPTION));
    KeepPictureOnFailure(coloured, "user_dialog_background");
    DestroyWindow(coloured);
    DeleteObject(answers.background);
}

// The dialog manager answers WM_CLOSE with a posted Cancel command and destroys
// nothing, so a dialog that must close calls DestroyWindow itself.
TEST_F(UserDialog, CloseBecomesAPostedCancelUnlessTheProcedureHandlesIt) {
    struct Case {
        bool cancelButton;
        INT_PTR procedureAnswer;
        bool cancelExpected;
    };
    for (const Case& c : {Case{false, FALSE, true}, Case{true, FALSE, true}, Case{false, TRUE, false}}) {
        SCOPED_TRACE(testing::Message() << "cancel button " << c.cancelButton << ", answer " << c.procedureAnswer);
        TemplateBuilder dialog(true, WS_POPUP | WS_VISIBLE | DS_SETFONT, 0, 0, 40, 40, L"");
        if (c.cancelButton) dialog.Item(0x80, L"Cancel", IDCANCEL, WS_CHILD | WS_VISIBLE, 0, 0, 20, 10);
        HWND hwnd = CreateDialogIndirectParamW(nullptr, dialog.Get(), nullptr, LoggingDialogProc, 0);
        PlatformPumpMessages();
        answers.close = c.procedureAnswer;
        messageLog.entries.clear();

        EXPECT_EQ(SendMessageW(hwnd, WM_CLOSE, 0, 0), 0);
        EXPECT_EQ(Find(hwnd, WM_COMMAND), nullptr) << "posted, not sent";
        PlatformPumpMessages();
        ASSERT_TRUE(IsWindow(hwnd));
        const LoggedMessage* command = Find(hwnd, WM_COMMAND);
        ASSERT_EQ(command != nullptr, c.cancelExpected);
        if (command != nullptr) {
            EXPECT_EQ(command->wParam, MAKEWPARAM(IDCANCEL, BN_CLICKED));
            EXPECT_EQ(command->lParam, reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDCANCEL)));
        }
        EXPECT_TRUE(IsWindow(hwnd)) << "Cancel destroys nothing either";
        DestroyWindow(hwnd);
    }
}

TEST_F(UserDialog, OwnerDrawnStaticSendsDrawItemForPaintsAndPrintClient) {
    TemplateBuilder dialog = DemoLike(true, kMainStyle | WS_VISIBLE);
    HWND hwnd = CreateDialogIndirectParamW(nullptr, dialog.Get(), nullptr, LoggingDialogProc, 0);
    HWND canvas = GetDlgItem(hwnd, 110);
    UpdateWindow(hwnd);
    EXPECT_EQ(PlatformWindowPixel(canvas, 799, 599), RGB(0, 200, 0));

    TestCanvas memory(800, 600);
    messageLog.entries.clear();
    EXPECT_EQ(SendMessageW(canvas, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.dc), PRF_CLIENT), 0);
    const LoggedMessage* draw = Find(hwnd, WM_DRAWITEM);
    ASSERT_NE(draw, nullptr);
    EXPECT_EQ(messageLog.Count(hwnd, WM_DRAWITEM), 1);
    EXPECT_EQ(draw->wParam, 110u);
    EXPECT_EQ(memory.At(0, 0), 0x00C800u);
    EXPECT_EQ(memory.At(799, 599), 0x00C800u);
}

// Captures the DRAWITEMSTRUCT while it is valid.
DRAWITEMSTRUCT lastItem;
INT_PTR CALLBACK ItemDialogProc(HWND, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_DRAWITEM) lastItem = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    return FALSE;
}

TEST_F(UserDialog, DrawItemCarriesTheGivenDcAndTheClientRectangle) {
    TemplateBuilder dialog = DemoLike(true);
    HWND hwnd = CreateDialogIndirectParamW(nullptr, dialog.Get(), nullptr, ItemDialogProc, 0);
    HWND canvas = GetDlgItem(hwnd, 110);
    TestCanvas memory(4, 4);
    lastItem = DRAWITEMSTRUCT{};
    SendMessageW(canvas, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.dc), PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_EQ(lastItem.CtlType, static_cast<UINT>(ODT_STATIC));
    EXPECT_EQ(lastItem.CtlID, 110u);
    EXPECT_EQ(lastItem.hwndItem, canvas);
    EXPECT_EQ(lastItem.hDC, memory.dc);
    EXPECT_EQ(lastItem.rcItem.left, 0);
    EXPECT_EQ(lastItem.rcItem.top, 0);
    EXPECT_EQ(lastItem.rcItem.right, 800);
    EXPECT_EQ(lastItem.rcItem.bottom, 600);
}

// The button's corner shows its frame: the highlight when raised, the dark
// shadow while pressed; its caption puts dark pixels in its middle.
TEST_F(UserDialog, ButtonIsRaisedPressedWhileHeldAndClickedOnReleaseOverIt) {
    TemplateBuilder dialog = DemoLike(true, kMainStyle | WS_VISIBLE);
    HWND hwnd = CreateDialogIndirectParamW(nullptr, dialog.Get(), nullptr, LoggingDialogProc, 0);
    HWND button = GetDlgItem(hwnd, 501);
    UpdateWindow(hwnd);
    EXPECT_EQ(PlatformWindowPixel(button, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
    // Its last column lies past the dialog's client area (as in the demo), so look at the bottom row.
    EXPECT_EQ(PlatformWindowPixel(button, 100, 39), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(PlatformWindowPixel(button, 3, 3), GetSysColor(COLOR_BTNFACE));
    int textPixels = 0;
    for (int y = 10; y < 30; ++y) {
        for (int x = 20; x < 140; ++x) textPixels += PlatformWindowPixel(button, x, y) != GetSysColor(COLOR_BTNFACE);
    }
    EXPECT_GT(textPixels, 50);

    PlatformInjectMouseDown(button, 10, 10);
    PlatformPumpMessages();
    EXPECT_EQ(PlatformWindowPixel(button, 0, 0), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(messageLog.Count(hwnd, WM_COMMAND), 0);
    // Dragged off the button it pops up, and back on it is pressed again.
    PlatformInjectMouseMove(button, 200, 10);
    PlatformPumpMessages();
    EXPECT_EQ(PlatformWindowPixel(button, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
    PlatformInjectMouseMove(button, 20, 20);
    PlatformInjectMouseUp(button, 20, 20);
    PlatformPumpMessages();
    EXPECT_EQ(PlatformWindowPixel(button, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
    ASSERT_EQ(messageLog.Count(hwnd, WM_COMMAND), 1);
    const LoggedMessage* command = Find(hwnd, WM_COMMAND);
    EXPECT_EQ(LOWORD(command->wParam), 501);
    EXPECT_EQ(HIWORD(command->wParam), BN_CLICKED);
    EXPECT_EQ(reinterpret_cast<HWND>(command->lParam), button);

    // Released elsewhere (the button holds the mouse meanwhile): no click.
    PlatformInjectMouseDown(button, 10, 10);
    PlatformInjectMouseUp(hwnd, 5, 5);
    PlatformPumpMessages();
    EXPECT_EQ(messageLog.Count(hwnd, WM_COMMAND), 1);
    EXPECT_EQ(PlatformWindowPixel(button, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
    KeepPictureOnFailure(hwnd, "user_dialog_button");
}

}  // namespace

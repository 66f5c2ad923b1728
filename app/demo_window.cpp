// The main window: a dialog made from an extended template built in memory, its
// dialog procedure (window bookkeeping, colours, the owner-drawn canvas, routing
// to the callbacks) and the window callback that sets up the scene.
#include <vector>

#include "app/demo.h"

namespace {

constexpr DWORD mainWindowStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_CENTER | DS_SETFONT | DS_3DLOOK | DS_NOFAILCREATE;

void PutWord(std::vector<WORD>& out, WORD value) { out.push_back(value); }
void PutDword(std::vector<WORD>& out, DWORD value) {
    out.push_back(static_cast<WORD>(value & 0xFFFF));
    out.push_back(static_cast<WORD>(value >> 16));
}
// Template strings are 16-bit characters, terminated by a 0.
void PutText(std::vector<WORD>& out, const wchar_t* text) {
    for (; *text != L'\0'; ++text) out.push_back(static_cast<WORD>(*text));
    out.push_back(0);
}

// The extended dialog template of the main window: 480 x 300 dialog units at
// (0, 0), centred by DS_CENTER, titled "Sprite Demo", with the chosen font and
// no items (the controls are made in code).
std::vector<WORD> DemoBuildTemplate() {
    const DemoFont& font = DemoState.dialogFont;
    std::vector<WORD> t;
    PutWord(t, 1);       // dlgVer
    PutWord(t, 0xFFFF);  // signature of the extended form
    PutDword(t, 0);      // helpID
    PutDword(t, 0);      // exStyle
    PutDword(t, mainWindowStyle);
    PutWord(t, 0);    // cDlgItems
    PutWord(t, 0);    // x
    PutWord(t, 0);    // y
    PutWord(t, 480);  // cx
    PutWord(t, 300);  // cy
    PutWord(t, 0);    // no menu
    PutWord(t, 0);    // the predefined dialog class
    PutText(t, L"Sprite Demo");
    PutWord(t, static_cast<WORD>(font.pointSize));
    PutWord(t, static_cast<WORD>(font.weight));
    PutWord(t, static_cast<WORD>((font.charSet & 0xFF) << 8));  // italic 0, then the character set
    PutText(t, font.faceName != nullptr ? font.faceName : L"SYSTEM");
    return t;
}

// Releases what the main window owns: its background brush and the canvas picture.
void DemoReleaseWindowResources() {
    if (DemoState.canvasPictureDC != nullptr) {
        SelectObject(DemoState.canvasPictureDC, DemoState.canvasPicturePrevious);
        DeleteDC(DemoState.canvasPictureDC);
    }
    if (DemoState.canvasPicture != nullptr) DeleteObject(DemoState.canvasPicture);
    if (DemoState.backgroundBrush != nullptr) DeleteObject(DemoState.backgroundBrush);
    DemoState.canvasPictureDC = nullptr;
    DemoState.canvasPicture = nullptr;
    DemoState.canvasPicturePrevious = nullptr;
    DemoState.backgroundBrush = nullptr;
}

}  // namespace

INT_PTR CALLBACK DemoDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // The close box ends the window; the dialog's default handling would only
    // turn it into Cancel, which nothing here acts on.
    if (msg == WM_CLOSE) {
        DestroyWindow(hwnd);
        return TRUE;
    }
    // Bookkeeping comes before any callback is asked.
    switch (msg) {
        case WM_INITDIALOG: DemoState.liveWindowCount += 1; break;
        case WM_DESTROY:
            DemoState.liveWindowCount -= 1;
            if (hwnd == DemoState.mainWindow) DemoReleaseWindowResources();
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_ACTIVE || LOWORD(wParam) == WA_CLICKACTIVE) {
                DemoState.activeWindow = hwnd;
            } else if (LOWORD(wParam) == WA_INACTIVE) {
                DemoState.activeWindow = nullptr;
            }
            break;
        default: break;
    }

    INT_PTR result = FALSE;
    switch (msg) {
        case WM_CTLCOLORDLG:
            if (hwnd == DemoState.mainWindow && DemoState.backgroundBrush != nullptr) {
                result = reinterpret_cast<INT_PTR>(DemoState.backgroundBrush);
            }
            break;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == GetDlgItem(hwnd, CANVAS_ID)) {
                SetTextColor(reinterpret_cast<HDC>(wParam), DemoState.canvasTextColor);
                SetBkColor(reinterpret_cast<HDC>(wParam), DemoState.canvasBackColor);
            }
            break;
        case WM_DRAWITEM: {
            // The canvas shows its picture 1:1, for painting and for printing alike.
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item != nullptr && item->CtlID == static_cast<UINT>(CANVAS_ID) &&
                DemoState.canvasPictureDC != nullptr) {
                BITMAP picture{};
                GetObjectA(DemoState.canvasPicture, sizeof picture, &picture);
                BitBlt(item->hDC, 0, 0, picture.bmWidth, picture.bmHeight, DemoState.canvasPictureDC, 0, 0, SRCCOPY);
            }
            break;
        }
        case WM_COMMAND: {
            // A button's command goes to the buttons' callback first.
            const int32_t id = LOWORD(wParam);
            if (lParam != 0 && id > BUTTON_ID_BASE && id <= BUTTON_ID_BASE + DEMO_BUTTON_COUNT) {
                DemoButtonCallback(DemoState.mainWindow, msg, wParam, lParam);
            }
            break;
        }
        default: break;
    }
    if (hwnd == DemoState.mainWindow && DemoState.windowCallback != nullptr) {
        DemoState.windowCallback(hwnd, msg, wParam, lParam);
    }
    return result;
}

LRESULT DemoWindowCallback(HWND, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_INITDIALOG) {
        DemoSetUpScene();
        DemoAnimationStep(1);
    }
    return 0;
}

void DemoCreateWindow() {
    const std::vector<WORD> dialogTemplate = DemoBuildTemplate();
    DemoState.windowCallback = nullptr;
    DemoState.mainWindow = CreateDialogIndirectParamW(
        nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()), nullptr, DemoDialogProc, 0);
    if (DemoState.mainWindow == nullptr) return;
    DemoState.backgroundBrush = CreateSolidBrush(GetSysColor(COLOR_ACTIVECAPTION));
    DemoCreateControls(DemoState.mainWindow);

    // The callback sees WM_INITDIALOG once, after the controls and background 1
    // exist and before the window is shown.
    DemoWindowCallback(DemoState.mainWindow, WM_INITDIALOG, reinterpret_cast<WPARAM>(DemoState.mainWindow), 0);
    RECT client{};
    GetClientRect(DemoState.mainWindow, &client);
    DemoWindowCallback(DemoState.mainWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    DemoState.windowCallback = DemoWindowCallback;
    ShowWindow(DemoState.mainWindow, SW_SHOW);
    RedrawWindow(DemoState.mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

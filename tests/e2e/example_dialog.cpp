// A small program on the real desktop, without the engine: a dialog with a push
// button and an owner-drawn static that shows a picture. Each click on the button
// switches between two pictures and counts the clicks in the title. It exits
// with 0 once its window is closed. The end-to-end harness drives it from outside.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "support/dib_support.h"

namespace {

constexpr int kPictureId = 100;
constexpr int kButtonId = 200;
constexpr int kPictureWidth = 240;  // pixels: 120 x 80 dialog units
constexpr int kPictureHeight = 160;

struct ExampleState {
    HDC pictureDC = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    HBITMAP pictures[2] = {};
    HBRUSH background = nullptr;
    int shown = 0;
    int clicks = 0;
};
ExampleState example;

// A picture of one colour with a checkered frame (pixels 0x00RRGGBB).
HBITMAP MakePicture(uint32_t color) {
    return TestMakePicture(kPictureWidth, kPictureHeight, [color](int32_t x, int32_t y) {
        const bool frame = x < 16 || y < 16 || x >= kPictureWidth - 16 || y >= kPictureHeight - 16;
        return frame && ((x / 8 + y / 8) % 2 == 0) ? 0xFFFFFFu : color;
    });
}

void ShowClicks(HWND dialog) {
    const std::wstring title = L"Example Dialog: " + std::to_wstring(example.clicks) + L" clicks";
    SetWindowTextW(dialog, title.c_str());
}

INT_PTR CALLBACK ExampleDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: return TRUE;
        case WM_CLOSE:
            // A dialog's default handling of its close box is Cancel, which
            // destroys nothing.
            DestroyWindow(hwnd);
            return TRUE;
        case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(example.background);
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->CtlID != kPictureId) return FALSE;
            BitBlt(item->hDC, 0, 0, item->rcItem.right, item->rcItem.bottom, example.pictureDC, 0, 0, SRCCOPY);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) {
                example.shown ^= 1;
                ++example.clicks;
                SelectObject(example.pictureDC, example.pictures[example.shown]);
                ShowClicks(hwnd);
                InvalidateRect(GetDlgItem(hwnd, kPictureId), nullptr, FALSE);
                return TRUE;
            }
            return FALSE;
        default: return FALSE;
    }
}

// The dialog template (DLGTEMPLATEEX) in 16-bit words.
class Template {
public:
    void Word(WORD value) { words.push_back(value); }
    void Dword(DWORD value) { Word(static_cast<WORD>(value)), Word(static_cast<WORD>(value >> 16)); }
    void String(const wchar_t* text) {
        for (; *text != 0; ++text) Word(static_cast<WORD>(*text));
        Word(0);
    }
    void Item(WORD classOrdinal, const wchar_t* text, DWORD id, DWORD style, short x, short y, short cx, short cy) {
        if (words.size() % 2 != 0) Word(0);
        Dword(0), Dword(0), Dword(style);
        Word(static_cast<WORD>(x)), Word(static_cast<WORD>(y)), Word(static_cast<WORD>(cx)), Word(static_cast<WORD>(cy));
        Dword(id);
        Word(0xFFFF), Word(classOrdinal), String(text), Word(0);
    }
    std::vector<WORD> words;
};

}  // namespace

int main() {
    example.pictures[0] = MakePicture(0xC81E1E);  // red
    example.pictures[1] = MakePicture(0x1E1EC8);  // blue
    example.background = CreateSolidBrush(RGB(40, 110, 60));
    HDC screen = GetDC(nullptr);
    example.pictureDC = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    example.previousBitmap = SelectObject(example.pictureDC, example.pictures[0]);

    Template dialog;
    dialog.Word(1), dialog.Word(0xFFFF), dialog.Dword(0), dialog.Dword(0);
    dialog.Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | WS_CLIPCHILDREN | DS_CENTER | DS_SETFONT |
                 DS_3DLOOK);
    dialog.Word(2), dialog.Word(0), dialog.Word(0), dialog.Word(180), dialog.Word(100);
    dialog.Word(0), dialog.Word(0), dialog.String(L"Example Dialog");
    dialog.Word(10), dialog.Word(400), dialog.Word(0), dialog.String(L"SYSTEM");
    dialog.Item(0x82, L"", kPictureId, WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 10, 10, 120, 80);
    dialog.Item(0x80, L"Switch", kButtonId, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 138, 10, 36, 14);

    HWND window = CreateDialogIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(dialog.words.data()), nullptr,
                                             ExampleDialogProc, 0);
    int result = window != nullptr ? 0 : 1;
    while (IsWindow(window)) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            Sleep(1);
            continue;
        }
        if (!IsDialogMessageA(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    SelectObject(example.pictureDC, example.previousBitmap);
    DeleteDC(example.pictureDC);
    DeleteObject(example.pictures[0]);
    DeleteObject(example.pictures[1]);
    DeleteObject(example.background);
    return result;
}

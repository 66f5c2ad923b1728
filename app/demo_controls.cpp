// The control panel: the canvas control with its own picture, the eleven buttons
// and what they do, and the background pictures drawn into the canvas picture.
#include "app/demo.h"
#include "engine/sprite_engine.h"

namespace {

const wchar_t* const buttonCaptions[DEMO_BUTTON_COUNT + 1] = {
    nullptr,
    L"AlphaBlend ON",
    L"AlphaBlend OFF",
    L"Flip ON",
    L"Flip OFF",
    L"Use Sprite 1",
    L"Use Sprite 2",
    L"Speed: 50 ms Sleep",
    L"Speed: None",
    L"Change Background",
    L"Delete Last Clone",
    L"Delete First Original",
};

constexpr DWORD childStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

// Creates a child of `window` at the dialog-unit rectangle (x, y, width, height).
HWND DemoCreateChild(HWND window, const wchar_t* className, const wchar_t* text, DWORD style, int32_t id,
                     int32_t x, int32_t y, int32_t width, int32_t height) {
    RECT rect{x, y, x + width, y + height};
    MapDialogRect(window, &rect);
    return CreateWindowExW(0, className, text, style, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                           nullptr);
}

// The canvas control's own picture: a screen-compatible bitmap of its client size,
// selected into a memory DC for the control's whole life, filled with the button face.
void DemoMakeCanvasPicture(HWND canvas) {
    RECT client{};
    GetClientRect(canvas, &client);
    HDC screen = GetDC(nullptr);
    HDC canvasDC = GetDC(canvas);
    DemoState.canvasPicture = CreateCompatibleBitmap(screen, client.right, client.bottom);
    DemoState.canvasPictureDC = CreateCompatibleDC(canvasDC);
    DemoState.canvasPicturePrevious = SelectObject(DemoState.canvasPictureDC, DemoState.canvasPicture);
    ReleaseDC(canvas, canvasDC);
    ReleaseDC(nullptr, screen);

    HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    FillRect(DemoState.canvasPictureDC, &client, face);
    DeleteObject(face);
}

}  // namespace

void DemoCreateControls(HWND window) {
    HWND canvas = DemoCreateChild(window, L"STATIC", L"", childStyle | SS_NOTIFY | SS_OWNERDRAW, CANVAS_ID, 0, 0,
                                  400, 300);
    DemoMakeCanvasPicture(canvas);
    DemoState.canvasTextColor = RGB(0, 0, 0);
    DemoState.canvasBackColor = RGB(255, 255, 255);
    for (int32_t k = 1; k <= DEMO_BUTTON_COUNT; ++k) {
        DemoCreateChild(window, L"BUTTON", buttonCaptions[k], childStyle | BS_PUSHBUTTON, BUTTON_ID_BASE + k, 401,
                        20 * (k - 1), 80, 20);
    }
    DemoLoadBackground(1);
}

void DemoLoadBackground(int32_t n) {
    if (DemoState.backgroundIndex < 1) DemoState.backgroundIndex = 1;
    if (n == -1) {
        DemoState.backgroundIndex += 1;
        if (DemoState.backgroundIndex > 5) DemoState.backgroundIndex = 1;
        n = DemoState.backgroundIndex;
    }
    const std::wstring path = DemoProgramFolder() + L"\\graphics\\bkgnd" + std::to_wstring(n) + L".bmp";

    BITMAP picture{};
    if (DemoState.canvasPicture != nullptr) GetObjectA(DemoState.canvasPicture, sizeof picture, &picture);
    auto loaded = static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, picture.bmWidth, picture.bmHeight, LR_LOADFROMFILE));
    if (loaded != nullptr && DemoState.canvasPictureDC != nullptr) {
        HDC source = CreateCompatibleDC(DemoState.canvasPictureDC);
        HGDIOBJ previous = SelectObject(source, loaded);
        BitBlt(DemoState.canvasPictureDC, 0, 0, picture.bmWidth, picture.bmHeight, source, 0, 0, SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
    }
    if (loaded != nullptr) DeleteObject(loaded);

    HWND canvas = GetDlgItem(DemoState.mainWindow, CANVAS_ID);
    InvalidateRect(canvas, nullptr, FALSE);
    UpdateWindow(canvas);
    DemoState.backgroundIndex = n;
}

LRESULT DemoButtonCallback(HWND, UINT msg, WPARAM wParam, LPARAM) {
    if (msg != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return 0;
    switch (LOWORD(wParam) - BUTTON_ID_BASE) {
        case 1: DemoState.alphaBlendOn = 1; break;
        case 2: DemoState.alphaBlendOn = 0; break;
        case 3: DemoState.flipOn = 1; break;
        case 4: DemoState.flipOn = 0; break;
        case 5: DemoState.spriteChoice = 1; break;
        case 6: DemoState.spriteChoice = 2; break;
        case 7: DemoState.frameDelay = 50; break;
        case 8: DemoState.frameDelay = 0; break;
        case 9:
            DemoLoadBackground(-1);
            SpriteResetBackground(GetDlgItem(DemoState.mainWindow, CANVAS_ID));
            break;
        case 10:
            if (DemoState.spriteCount > 0) {
                SpriteDelete(DemoBallName(DemoState.spriteCount));
                DemoState.spriteCount -= 1;
            }
            break;
        case 11:
            if (DemoState.spriteCount > 0) {
                SpriteDelete(DemoBallName(1));
                DemoState.spriteCount = 0;
            }
            break;
        default: break;
    }
    return 0;
}

// The sprite engine in a program of its own, to read and to copy: a window whose
// canvas shows its own picture, a sprite made from a bitmap and three clones of
// it moving over the picture (one translucent, one mirrored, one animated), one
// collision test, one point test and a clean shutdown.
//
// It runs until its window is closed, or for as many frames as its one argument
// says. It uses nothing but the engine's public header and the platform's calls.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/sprite_engine.h"
#include "platform/win32.h"

namespace {

constexpr int kCanvasId = 100;
constexpr int kCanvasWidth = 320;  // pixels
constexpr int kCanvasHeight = 200;
constexpr int kArrowSize = 32;     // one frame of the sprite, square
constexpr COLORREF kKey = RGB(255, 0, 255);  // the colour the sprite leaves transparent

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
    const RECT rect{left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// The canvas's own picture, four bands. The engine has the window draw it once
// into a snapshot and composes the sprites over that copy.
void DrawCanvasPicture(HDC dc, const RECT& area) {
    static const COLORREF bands[4] = {RGB(30, 60, 110), RGB(40, 90, 140), RGB(60, 120, 90), RGB(90, 140, 60)};
    const int height = area.bottom - area.top;
    for (int i = 0; i < 4; ++i)
        Fill(dc, area.left, area.top + i * height / 4, area.right, area.top + (i + 1) * height / 4, bands[i]);
}

// Two frames side by side on the key colour: a red arrow pointing right, then a
// yellow one. The arrow's direction shows the mirrored clone.
HBITMAP MakeArrowStrip() {
    HDC screen = GetDC(nullptr);
    HBITMAP strip = CreateCompatibleBitmap(screen, 2 * kArrowSize, kArrowSize);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(dc, strip);
    Fill(dc, 0, 0, 2 * kArrowSize, kArrowSize, kKey);
    for (int frame = 0; frame < 2; ++frame) {
        const int x = frame * kArrowSize;
        const COLORREF color = frame == 0 ? RGB(220, 50, 40) : RGB(240, 200, 40);
        Fill(dc, x + 4, 12, x + 22, 20, color);  // shaft
        Fill(dc, x + 22, 6, x + 24, 26, color);  // head, narrowing to its tip
        Fill(dc, x + 24, 9, x + 26, 23, color);
        Fill(dc, x + 26, 12, x + 28, 20, color);
    }
    SelectObject(dc, previous);
    DeleteDC(dc);
    return strip;
}

INT_PTR CALLBACK ExampleDialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: return TRUE;
        case WM_CLOSE:
            // A dialog's own handling of the close box is Cancel, which closes nothing.
            DestroyWindow(hwnd);
            return TRUE;
        case WM_DRAWITEM: {
            // The canvas is an owner-drawn static: it asks here for its picture,
            // for the screen and for the engine's snapshot alike.
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->CtlID != kCanvasId) return FALSE;
            DrawCanvasPicture(item->hDC, item->rcItem);
            return TRUE;
        }
        default: return FALSE;
    }
}

// The main window: a dialog from an in-memory template with no items (style,
// extended style, item count, x, y, width and height in dialog units, no menu,
// the dialog class, the title), and the canvas as its child.
HWND CreateMainWindow() {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | WS_CLIPCHILDREN | DS_CENTER;
    std::vector<WORD> words = {LOWORD(style), HIWORD(style), 0, 0, 0, 0, 0,
                               (kCanvasWidth + 20) / 2, (kCanvasHeight + 20) / 2, 0, 0};
    for (const char* c = "Engine Example"; *c != '\0'; ++c) words.push_back(static_cast<WORD>(*c));
    words.push_back(0);
    HWND window = CreateDialogIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(words.data()),
                                             nullptr, ExampleDialogProc, 0);
    if (window == nullptr) return nullptr;
    CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 10, 10, kCanvasWidth,
                    kCanvasHeight, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCanvasId)), nullptr,
                    nullptr);
    return window;
}

struct Mover {
    const char* name;
    int32_t dx, dy;  // pixels a frame
};

// Moves each sprite by its step, turning back at the canvas's edges.
void MoveSprites(Mover (&movers)[4]) {
    for (Mover& m : movers) {
        int32_t x = 0, y = 0;
        SpriteGetPosition(m.name, x, y);
        if (x + m.dx < 0 || x + m.dx > kCanvasWidth - kArrowSize) m.dx = -m.dx;
        if (y + m.dy < 0 || y + m.dy > kCanvasHeight - kArrowSize) m.dy = -m.dy;
        SpriteMove(m.name, m.dx, m.dy, 1);  // relative; marks the old and new place
    }
}

}  // namespace

int main(int argc, char** argv) {
    const long frameLimit = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 0;  // 0: until closed

    SpriteEngineInit();  // before any window exists
    SpriteEngineStart(10, kCanvasWidth, kCanvasHeight);
    HWND window = CreateMainWindow();
    HWND canvas = GetDlgItem(window, kCanvasId);
    if (canvas == nullptr) {
        if (window != nullptr) DestroyWindow(window);
        SpriteEngineShutdown();
        return 1;
    }
    SpriteAttachCanvas(canvas);

    // One sprite from the bitmap (two frames, the default key magenta, no edge
    // softening); the engine copies the pixels, so the bitmap can go at once.
    HBITMAP strip = MakeArrowStrip();
    SpriteCreateFromBitmap("ARROW", strip, 2, -1, 0);
    SpriteDeleteBitmap(strip);
    // Clones share the first sprite's image; each has its own place and state.
    SpriteClone("ARROW2", "ARROW");
    SpriteClone("ARROW3", "ARROW");
    SpriteClone("ARROW4", "ARROW");

    const char* all = "ARROW|ARROW2|ARROW3|ARROW4";
    SpriteSetCanvas(canvas, all);  // on the canvas, still hidden
    SpriteMove("ARROW", 20, 20, 0);
    SpriteMove("ARROW2", 40, 24, 0);
    SpriteMove("ARROW3", 150, 80, 0);
    SpriteMove("ARROW4", 250, 140, 0);
    SpriteSetOpacity("ARROW2", 50, 1);  // half translucent
    SpriteSetFlip("ARROW3", 1, 0, 1);   // mirrored left to right
    SpriteShow(all, 1);
    SpriteUpdateCanvas(canvas);  // one paint shows every change so far

    // Hit tests look at the solid pixels of the images as stored (flips aside).
    std::printf("ARROW touches: %s\n", SpriteCollisions("ARROW").c_str());
    std::printf("at (275, 156): %s\n", SpriteAtPoint(canvas, 275, 156).c_str());

    Mover movers[4] = {{"ARROW", 2, 1}, {"ARROW2", -1, 2}, {"ARROW3", 3, -1}, {"ARROW4", -2, -2}};
    long frames = 0;
    while (IsWindow(window) && (frameLimit <= 0 || frames < frameLimit)) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageA(window, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (!IsWindow(window)) break;
        MoveSprites(movers);
        if (frames % 8 == 0) SpriteSetFrame("ARROW4", 1, 1, 1);  // the next frame, 2 wraps to 1
        SpriteUpdateCanvas(canvas);
        ++frames;
        Sleep(15);
    }

    // The canvas goes with its window before the engine shuts down.
    if (IsWindow(window)) DestroyWindow(window);
    SpriteEngineShutdown();
    std::printf("%ld frames, shut down\n", frames);
    return 0;
}

// Canvas windows: a window whose window procedure is SprCanvasWndProc. Its state
// lives in six window properties keyed by EngineState.canvasAtoms[1..6].
#pragma once

#include <cstdint>

#include "platform/win32.h"

enum class CanvasProperty : int32_t {
    previousWndProc = 1,    // the window procedure that SprCanvasWndProc replaced
    suppressErase = 2,      // 1 while the canvas paint is inside BeginPaint
    backgroundBitmap = 3,   // client-sized 32-bit snapshot of the window's picture; 0 = none
    backgroundDC = 4,       // memory DC for the snapshot and the final copy; 0 = none
    backgroundPainter = 5,  // optional procedure that paints the background; 0 = none
    backgroundBits = 6,     // pixel pointer of the snapshot made last
};

// The painter of property 5: (hwnd, dc, last column, last row); result ignored.
typedef int32_t (*CanvasBackgroundPainter)(HWND hwnd, HDC dc, int32_t lastColumn, int32_t lastRow);

// Property k of the window under EngineState.canvasAtoms[k]; a missing property,
// or an atom that was never added, reads as 0 and is never written.
HANDLE SprGetCanvasProperty(HWND hwnd, CanvasProperty property);
void SprSetCanvasProperty(HWND hwnd, CanvasProperty property, HANDLE value);
void SprRemoveCanvasProperty(HWND hwnd, CanvasProperty property);

int32_t SprIsCanvas(HWND hwnd);
LRESULT CALLBACK SprCanvasWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void SprFreeCanvasBackground(HWND hwnd);
// The message SprPaintCanvas answers: WM_PAINT, or WM_PRINTCLIENT with wParam the DC.
enum class CanvasPaintMessage : int32_t { paint, printClient };
void SprPaintCanvas(HWND hwnd, WPARAM wParam, LPARAM lParam, CanvasPaintMessage message,
                    WNDPROC previousWndProc);
int32_t SprCanvasHasSprites(HWND hwnd);

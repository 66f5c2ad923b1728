// What the windowing layer needs from the drawing layer: window surfaces,
// device contexts that draw into them, and the pixman region behind an HRGN.
// Not part of the public API: only platform/ includes this header.
#pragma once

#include <pixman.h>

#include "platform/win32.h"

// A 32-bit top-down surface (bytes blue, green, red, unused; rows of width * 4
// bytes) that a top-level window draws into. It is a bitmap like any other for
// blits and GetObjectA, but it is not counted among the live GDI objects, because
// the window system, not the application, owns it.
HBITMAP GdiCreateSurfaceBitmap(int32_t width, int32_t height, uint32_t** pixels);
void GdiDeleteSurfaceBitmap(HBITMAP surface);
// Makes the surface draw into `memory` (top-down, the surface's size and layout,
// rows `pitch` bytes apart, pitch >= width * 4 and a multiple of 4), which the
// caller keeps alive while the surface uses it; NULL returns it to its own
// pixels, as they were when it left them. DCs drawing into the surface follow.
// Returns the pixels the surface now draws into; NULL for anything but a surface
// or a bad pitch (the surface then stays as it was).
uint32_t* GdiSetSurfaceMemory(HBITMAP surface, uint32_t* memory, int32_t pitch);

// A device context whose point (0, 0) is the surface pixel `origin`, clipped to
// `visible` (in surface pixels; copied). A NULL surface gives a screen DC that
// creates compatible objects and draws nowhere. Counted as a live DC; deleted
// with GdiDeleteWindowDC (ReleaseDC and EndPaint use it).
HDC GdiCreateWindowDC(HWND owner, HBITMAP surface, POINT origin, const pixman_region32_t* visible);
BOOL GdiDeleteWindowDC(HDC hdc);
// The bounding box, in surface pixels, of everything drawn through a window DC
// since it was made; FALSE when nothing was drawn, or for any other handle.
BOOL GdiWindowDCDrawn(HDC hdc, RECT* box);
// The window a DC from GdiCreateWindowDC belongs to; NULL for other DCs or invalid handles.
HWND GdiWindowOfDC(HDC hdc);

// The region behind a live HRGN, or nullptr for anything else.
pixman_region32_t* GdiRegionData(HRGN hrgn);

// Text attributes of a DC (SetTextColor, SetBkColor, SetBkMode), for DrawTextW.
struct GdiTextState {
    COLORREF textColor;  // default black
    COLORREF bkColor;    // default white
    int bkMode;          // OPAQUE (default) or TRANSPARENT
};
BOOL GdiGetTextState(HDC hdc, GdiTextState* state);

// Composites a straight-alpha ARGB buffer (0xAARRGGBB per pixel, `stride` pixels a
// row) into the DC at (x, y), honouring the DC's clipping and target bounds. Used to
// draw anti-aliased text.
BOOL GdiAlphaBlitToDC(HDC hdc, int x, int y, int width, int height, const uint32_t* argb,
                      int stride);

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

// A device context whose point (0, 0) is the surface pixel `origin`, clipped to
// `visible` (in surface pixels; copied). A NULL surface gives a screen DC that
// creates compatible objects and draws nowhere. Counted as a live DC; deleted
// with GdiDeleteWindowDC (ReleaseDC and EndPaint use it).
HDC GdiCreateWindowDC(HWND owner, HBITMAP surface, POINT origin, const pixman_region32_t* visible);
BOOL GdiDeleteWindowDC(HDC hdc);
// The window a DC from GdiCreateWindowDC belongs to; NULL for other DCs or invalid handles.
HWND GdiWindowOfDC(HDC hdc);

// The region behind a live HRGN, or nullptr for anything else.
pixman_region32_t* GdiRegionData(HRGN hrgn);

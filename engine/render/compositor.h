// The compositor: rebuilds one rectangle of a canvas in the back buffer.
#pragma once

#include <cstdint>

#include "engine/render/compose_kernels.h"
#include "platform/win32.h"

// Copies the rectangle of the background snapshot into the back buffer (clipped to
// updateRegion when it and paintDC are both given; the region is then deleted) and
// draws the canvas's visible sprites over it in slot order. The rectangle is first
// limited to the back buffer. Returns EngineState.BackBuffer.bitmap, selected into
// no DC.
HBITMAP SprComposeCanvas(HWND canvas, HBITMAP backgroundBitmap, HDC backgroundDC, int32_t left,
                         int32_t top, int32_t width, int32_t height, HDC paintDC,
                         HRGN updateRegion);
// The same with the given span kernels, so that a faster pair can be compared with
// SprReferenceSpanKernels on whole scenes.
HBITMAP SprComposeCanvasWith(const SprSpanKernels& kernels, HWND canvas, HBITMAP backgroundBitmap,
                             HDC backgroundDC, int32_t left, int32_t top, int32_t width,
                             int32_t height, HDC paintDC, HRGN updateRegion);

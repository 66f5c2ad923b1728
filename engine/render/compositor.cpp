// The compositor's upper half: the background copy, then for every sprite of the
// canvas the tests, clamps and clipping done once, after which a span kernel chosen
// for the sprite draws its visible rows without further checks.
//
// Coordinates of sprites are 32-bit but x + width may not be: every rectangle is
// worked out in 64 bits and cut to the back buffer before any pointer is formed.
#include "engine/render/compositor.h"

#include <algorithm>
#include <cassert>
#include <climits>

#include "engine/core/engine_state.h"
#include "engine/core/saturate.h"

namespace {
// A rectangle with exclusive right and bottom, in 64 bits.
struct SprRect64 {
    int64_t left, top, right, bottom;
    bool Empty() const { return left >= right || top >= bottom; }
};

SprRect64 SprIntersect(const SprRect64& a, const SprRect64& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// The back buffer's pixels and size.
struct SprTarget {
    uint32_t* pixels;
    int64_t width;
    int64_t height;
};

// Copies the clipped rectangle of the background into the back buffer, through the
// update region when one is given with a paint DC; the region is deleted here.
void SprCopyBackground(HBITMAP backgroundBitmap, HDC backgroundDC, const SprRect64& rect,
                       HDC paintDC, HRGN updateRegion) {
    BackBufferData& back = EngineState.BackBuffer;
    const bool clip = paintDC && updateRegion;
    if (rect.Empty() || !backgroundBitmap || !backgroundDC) {
        if (clip) DeleteObject(updateRegion);
        return;
    }
    HGDIOBJ previousBackground = SelectObject(backgroundDC, backgroundBitmap);
    HGDIOBJ previousBack = SelectObject(back.dc, back.bitmap);
    if (clip) {
        SelectClipRgn(back.dc, updateRegion);  // takes a copy
        DeleteObject(updateRegion);
    }
    const int x = static_cast<int>(rect.left), y = static_cast<int>(rect.top);
    BitBlt(back.dc, x, y, static_cast<int>(rect.right - rect.left),
           static_cast<int>(rect.bottom - rect.top), backgroundDC, x, y, SRCCOPY);
    if (clip) SelectClipRgn(back.dc, nullptr);
    SelectObject(backgroundDC, previousBackground);
    SelectObject(back.dc, previousBack);
}

#ifndef NDEBUG
// Whether the span reads only the sprite's strip and writes only the back buffer,
// each of its rows on one row of both: what the kernels trust.
bool SprSpanInside(const SprSpan& span, const SpriteRecord& sprite, const SprTarget& target) {
    const int64_t stripWidth = int64_t{sprite.width} * sprite.frameCount;
    const auto* strip = reinterpret_cast<const uint32_t*>(sprite.bits);
    if (span.count < 1 || span.rows < 1) return false;
    for (const int64_t row : {int64_t{0}, span.rows - 1}) {
        const int64_t src = (span.src - strip) + row * span.srcRowStep;
        const int64_t srcLast = src + span.count - 1;
        const int64_t dst = (span.dst - target.pixels) + row * span.dstRowStep;
        const int64_t dstLast = dst + int64_t{span.count - 1} * span.step;
        if (src < 0 || srcLast >= stripWidth * sprite.height || src / stripWidth != srcLast / stripWidth)
            return false;
        if (std::min(dst, dstLast) < 0 || std::max(dst, dstLast) >= target.width * target.height ||
            dst / target.width != dstLast / target.width)
            return false;
    }
    return true;
}
#endif

// Draws one sprite into the part of the back buffer inside `clip`.
void SprDrawSprite(const SprSpanKernels& kernels, const SpriteRecord& sprite, const SprTarget& target,
                   const SprRect64& clip, HDC paintDC) {
    const int64_t width = sprite.width, height = sprite.height;
    const SprRect64 spriteRect{sprite.x, sprite.y, sprite.x + width, sprite.y + height};
    const SprRect64 visible = SprIntersect(spriteRect, clip);
    if (visible.Empty()) return;
    if (paintDC) {
        const RECT r{SprSaturate(spriteRect.left), SprSaturate(spriteRect.top),
                     SprSaturate(spriteRect.right), SprSaturate(spriteRect.bottom)};
        if (!RectVisible(paintDC, &r)) return;
    }
    int32_t frame = sprite.currentFrame;
    if (frame < 1) frame = 1;
    if (frame > sprite.frameCount) frame = sprite.frameCount;
    const int32_t translucency = std::clamp(sprite.translucency, 0, 100);
    if (translucency == 100) return;  // every pixel, plain or edge, keeps the background

    const auto& tables = EngineState.BlendTables;
    const SprSpriteParams params{sprite.transparentColor,
                                 translucency,
                                 tables.MulTable.data() + translucency * 256,
                                 tables.MulTable.data() + (100 - translucency) * 256,
                                 tables.MulTable.data(),
                                 tables.DivTable.data(),
                                 sprite.edgeBlend};
    const SprSpanKernel kernel = translucency == 0 ? kernels.opaque : kernels.blended;

    // Offsets inside the sprite (0..width-1, 0..height-1) of the visible part, in
    // destination order; a flip mirrors them to find the source offsets.
    const int64_t colFirst = visible.left - spriteRect.left, colLast = visible.right - 1 - spriteRect.left;
    const int64_t rowFirst = visible.top - spriteRect.top, rowLast = visible.bottom - 1 - spriteRect.top;
    const int64_t srcCol = sprite.flipHorizontal ? width - 1 - colLast : colFirst;
    const int64_t srcRow = sprite.flipVertical ? height - 1 - rowLast : rowFirst;
    // The first source pixel read lands on these back-buffer coordinates.
    const int64_t dstX = sprite.flipHorizontal ? visible.right - 1 : visible.left;
    const int64_t dstY = sprite.flipVertical ? visible.bottom - 1 : visible.top;

    const int64_t stripWidth = width * sprite.frameCount;
    const int64_t frameLeft = width * (frame - 1);
    const auto* srcRowPtr = reinterpret_cast<const uint32_t*>(sprite.bits) + srcRow * stripWidth +
                            frameLeft + srcCol;
    uint32_t* dstRowPtr = target.pixels + dstY * target.width + dstX;
    const int64_t dstRowStep = sprite.flipVertical ? -target.width : target.width;
    // Source rows are read top to bottom; each lands on the next destination row in
    // the flip's direction, and every row lies inside the clipped rectangle.
    const SprSpan span{srcRowPtr, dstRowPtr, sprite.flipHorizontal ? -1 : 1,
                       static_cast<int32_t>(colLast - colFirst + 1), rowLast - rowFirst + 1,
                       stripWidth, dstRowStep};
    assert(SprSpanInside(span, sprite, target));
    kernel(params, span);
}

// A record that can be drawn at all: the pointer arithmetic above relies on it.
bool SprDrawable(const SpriteRecord& s) {
    return s.width >= 1 && s.height >= 1 && s.frameCount >= 1 && s.bits != nullptr;
}
}  // namespace

HBITMAP SprComposeCanvasWith(const SprSpanKernels& kernels, HWND canvas, HBITMAP backgroundBitmap,
                             HDC backgroundDC, int32_t left, int32_t top, int32_t width,
                             int32_t height, HDC paintDC, HRGN updateRegion) {
    BackBufferData& back = EngineState.BackBuffer;
    BITMAP bm{};
    if (!back.bitmap || !back.bits || GetObjectA(back.bitmap, sizeof bm, &bm) == 0 ||
        bm.bmWidth <= 0 || bm.bmHeight <= 0) {
        if (paintDC && updateRegion) DeleteObject(updateRegion);
        return back.bitmap;
    }
    const SprTarget target{reinterpret_cast<uint32_t*>(back.bits), bm.bmWidth, bm.bmHeight};
    // The update rectangle limited to the back buffer: a canvas larger than the
    // screen never has pixels written outside it.
    const SprRect64 clip = SprIntersect({left, top, int64_t(left) + width, int64_t(top) + height},
                                        {0, 0, target.width, target.height});

    SprCopyBackground(backgroundBitmap, backgroundDC, clip, paintDC, updateRegion);
    GdiFlush();
    if (clip.Empty() || EngineState.BlendTables.MulTable.empty() ||
        EngineState.BlendTables.DivTable.empty())
        return back.bitmap;

    const int32_t last = SprLastSlot();
    for (int32_t slot = 1; slot <= last; ++slot) {
        const SpriteRecord& sprite = EngineState.SpriteTable[slot];
        if (sprite.canvas != canvas || !sprite.bitmap || !sprite.visible) continue;
        if (!SprDrawable(sprite)) continue;
        SprDrawSprite(kernels, sprite, target, clip, paintDC);
    }
    return back.bitmap;
}

HBITMAP SprComposeCanvas(HWND canvas, HBITMAP backgroundBitmap, HDC backgroundDC, int32_t left,
                         int32_t top, int32_t width, int32_t height, HDC paintDC,
                         HRGN updateRegion) {
    return SprComposeCanvasWith(SprActiveSpanKernels(), canvas, backgroundBitmap, backgroundDC, left,
                                top, width, height, paintDC, updateRegion);
}

// Scaled copies (StretchBlt, StretchDIBits) and reading a bitmap as 32-bit
// rows (GetDIBits). Scaling is nearest-neighbour in every stretch mode:
// destination pixel i of n samples source pixel floor((2i + 1) * m / (2n)) of m,
// the source pixel under the destination pixel's centre.
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "platform/gdi/pixel_access.h"

namespace {

// (2i + 1) < 2^32 and m < 2^31, so the product stays below 2^63.
int64_t SourceIndex(int64_t i, int64_t m, int64_t n) { return (2 * i + 1) * m / (2 * n); }

// Draws the source rectangle (sx, sy, sw, sh) of `from` (picture coordinates,
// may reach outside it) onto the device rectangle (dx, dy, dw, dh) of the DC,
// clipped. Destination pixels whose source pixel lies outside `from` are left
// alone. Sizes are positive.
bool StretchToDC(const GdiDC* dc, int64_t dx, int64_t dy, int64_t dw, int64_t dh,
                 const GdiPixelView& from, int64_t sx, int64_t sy, int64_t sw, int64_t sh) {
    const GdiBitmap* target = GdiTargetOf(dc);
    if (target == nullptr) return true;
    const GdiPixelView to = GdiViewOf(target);

    // Destination columns inside the target whose source column lies inside `from`;
    // the mapping is monotonic, so they form one run.
    int64_t x1 = std::max<int64_t>(dx, 0);
    int64_t x2 = std::min<int64_t>(dx + dw, to.width);
    while (x1 < x2 && sx + SourceIndex(x1 - dx, sw, dw) < 0) ++x1;
    while (x1 < x2 && sx + SourceIndex(x2 - 1 - dx, sw, dw) >= from.width) --x2;
    int64_t y1 = std::max<int64_t>(dy, 0);
    int64_t y2 = std::min<int64_t>(dy + dh, to.height);
    while (y1 < y2 && sy + SourceIndex(y1 - dy, sh, dh) < 0) ++y1;
    while (y1 < y2 && sy + SourceIndex(y2 - 1 - dy, sh, dh) >= from.height) --y2;
    if (x1 >= x2 || y1 >= y2) return true;

    auto* columns = static_cast<int32_t*>(malloc(sizeof(int32_t) * static_cast<size_t>(x2 - x1)));
    if (columns == nullptr) return false;
    for (int64_t x = x1; x < x2; ++x) {
        columns[x - x1] = static_cast<int32_t>(sx + SourceIndex(x - dx, sw, dw));
    }
    const GdiClipArea area = GdiClipBox(dc, x1, y1, x2, y2);
    const GdiRowStretch stretchRow = GdiChooseRowStretch(from.bitsPixel, to.bitsPixel);
    const int32_t bytesPixel = to.bitsPixel / 8;
    for (int i = 0; i < area.clipCount; ++i) {
        pixman_box32_t box;
        if (!area.Piece(i, &box)) continue;
        for (int32_t y = box.y1; y < box.y2; ++y) {
            const int32_t sourceRow = static_cast<int32_t>(sy + SourceIndex(y - dy, sh, dh));
            stretchRow(to.Row(y) + static_cast<ptrdiff_t>(box.x1) * bytesPixel, from.Row(sourceRow),
                       columns + (box.x1 - x1), box.x2 - box.x1);
        }
    }
    free(columns);
    return true;
}

// A view of caller-supplied DIB rows described by `header`; false when the
// description is not one this layer reads (BI_RGB, 16, 24 or 32 bits).
bool DibView(const BITMAPINFOHEADER& header, const void* bits, GdiPixelView* view) {
    if (bits == nullptr || header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 ||
        header.biCompression != BI_RGB || header.biWidth <= 0 || header.biHeight == 0 ||
        header.biHeight == INT32_MIN) {
        return false;
    }
    const int32_t bitsPixel = header.biBitCount;
    if (bitsPixel != 16 && bitsPixel != 24 && bitsPixel != 32) return false;
    const int64_t stride = GdiDibStride(header.biWidth, bitsPixel);
    const int32_t height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    if (stride == 0 || stride * height > INT32_MAX) return false;
    auto* base = static_cast<uint8_t*>(const_cast<void*>(bits));
    const bool topDown = header.biHeight < 0;
    *view = GdiPixelView{topDown ? base : base + stride * (height - 1),
                         topDown ? static_cast<ptrdiff_t>(stride) : -static_cast<ptrdiff_t>(stride),
                         header.biWidth, height, bitsPixel};
    return true;
}

}  // namespace

bool GdiStretchPicture(const GdiPixelView& to, const GdiPixelView& from) {
    auto* columns = static_cast<int32_t*>(malloc(sizeof(int32_t) * static_cast<size_t>(to.width)));
    if (columns == nullptr) return false;
    for (int32_t x = 0; x < to.width; ++x) columns[x] = static_cast<int32_t>(SourceIndex(x, from.width, to.width));
    const GdiRowStretch stretchRow = GdiChooseRowStretch(from.bitsPixel, to.bitsPixel);
    for (int32_t y = 0; y < to.height; ++y) {
        stretchRow(to.Row(y), from.Row(static_cast<int32_t>(SourceIndex(y, from.height, to.height))), columns,
                   to.width);
    }
    free(columns);
    return true;
}

BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc,
                       int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop) {
    const GdiDC* dst = GdiLookupDC(hdcDest);
    const GdiDC* src = GdiLookupDC(hdcSrc);
    if (dst == nullptr || src == nullptr || rop != SRCCOPY) return FALSE;
    if (wDest <= 0 || hDest <= 0 || wSrc <= 0 || hSrc <= 0) return FALSE;
    const GdiBitmap* source = GdiTargetOf(src);
    if (source == nullptr) return TRUE;  // a screen DC has nothing to read
    const bool ok = StretchToDC(dst, int64_t{xDest} + dst->origin.x, int64_t{yDest} + dst->origin.y, wDest,
                                hDest, GdiViewOf(source), int64_t{xSrc} + src->origin.x,
                                int64_t{ySrc} + src->origin.y, wSrc, hSrc);
    return ok ? TRUE : FALSE;
}

// As on the platform, ySrc of a bottom-up DIB counts from its bottom row.
int WINAPI StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc,
                         int ySrc, int SrcWidth, int SrcHeight, const VOID* lpBits,
                         const BITMAPINFO* lpbmi, UINT iUsage, DWORD rop) {
    const GdiDC* dc = GdiLookupDC(hdc);
    GdiPixelView from{};
    if (dc == nullptr || lpbmi == nullptr || iUsage != DIB_RGB_COLORS || rop != SRCCOPY ||
        !DibView(lpbmi->bmiHeader, lpBits, &from)) {
        return 0;
    }
    if (DestWidth <= 0 || DestHeight <= 0 || SrcWidth <= 0 || SrcHeight <= 0) return 0;
    const int64_t top = lpbmi->bmiHeader.biHeight < 0 ? int64_t{ySrc}
                                                      : int64_t{from.height} - ySrc - SrcHeight;
    const bool ok = StretchToDC(dc, int64_t{xDest} + dc->origin.x, int64_t{yDest} + dc->origin.y,
                                DestWidth, DestHeight, from, xSrc, top, SrcWidth, SrcHeight);
    return ok ? SrcHeight : 0;
}

// Scan lines are numbered in the memory order of the described DIB: from the
// bottom for a positive height, from the top for a negative one. Rows are
// written as 32-bit pixels with a zero fourth byte; columns beyond the bitmap
// are zero. With no buffer, only the description is filled in.
int WINAPI GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits,
                     LPBITMAPINFO lpbmi, UINT usage) {
    const GdiBitmap* bitmap = GdiLookupBitmap(hbm);
    if (GdiLookupDC(hdc) == nullptr || bitmap == nullptr || lpbmi == nullptr || usage != DIB_RGB_COLORS) {
        return 0;
    }
    BITMAPINFOHEADER& header = lpbmi->bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER)) return 0;
    if (lpvBits == nullptr) {
        header.biWidth = bitmap->width;
        header.biHeight = bitmap->height;
        header.biPlanes = 1;
        header.biBitCount = static_cast<WORD>(bitmap->bitsPixel);
        header.biCompression = BI_RGB;
        header.biSizeImage = static_cast<DWORD>(bitmap->stride) * static_cast<DWORD>(bitmap->height);
        return bitmap->height;
    }
    GdiPixelView out{};
    if (header.biBitCount != 32 || !DibView(header, lpvBits, &out)) return 0;
    const bool topDown = header.biHeight < 0;
    const GdiPixelView from = GdiViewOf(bitmap);
    const int64_t lastLine = std::min<int64_t>({int64_t{start} + cLines, out.height, from.height});
    const int32_t width = std::min(out.width, from.width);
    const GdiRowCopy copyRow = GdiChooseRowCopy(from.bitsPixel, 32);
    const ptrdiff_t outStride = static_cast<ptrdiff_t>(out.width) * 4;
    auto* rows = static_cast<uint8_t*>(lpvBits);
    int copied = 0;
    for (int64_t line = start; line < lastLine; ++line, ++copied) {
        const int32_t pictureRow = static_cast<int32_t>(topDown ? line : from.height - 1 - line);
        uint8_t* row = rows + (line - start) * outStride;
        copyRow(row, from.Row(pictureRow), width);
        for (int32_t x = 0; x < width; ++x) row[x * 4 + 3] = 0;
        std::fill(row + static_cast<ptrdiff_t>(width) * 4, row + outStride, uint8_t{0});
    }
    return copied;
}

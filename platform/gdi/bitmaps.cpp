// Bitmaps: DIB sections, screen-compatible bitmaps, window surfaces and the
// stock 1x1 bitmap of fresh memory DCs.
#include <climits>
#include <cstdlib>
#include <new>

#include "platform/gdi/gdi_objects.h"

namespace {

constexpr int64_t kMaxBitmapBytes = INT32_MAX;

HBITMAP stockBitmap;

}  // namespace

int64_t GdiDibStride(int64_t width, int32_t bitsPixel) {
    if (width <= 0 || width > kMaxBitmapBytes) return 0;
    const int64_t stride = (width * bitsPixel + 31) / 32 * 4;
    return stride > kMaxBitmapBytes ? 0 : stride;
}

HBITMAP GdiNewBitmap(int32_t width, int32_t height, int32_t bitsPixel, bool topDown,
                     bool exposeBits, bool counted) {
    if (width <= 0 || height <= 0) return nullptr;
    if (bitsPixel != 16 && bitsPixel != 24 && bitsPixel != 32) return nullptr;
    const int64_t stride = GdiDibStride(width, bitsPixel);
    if (stride == 0 || stride * height > kMaxBitmapBytes) return nullptr;

    auto* bitmap = new (std::nothrow) GdiBitmap{};
    if (bitmap == nullptr) return nullptr;
    bitmap->memory = static_cast<uint8_t*>(calloc(static_cast<size_t>(stride * height), 1));
    if (bitmap->memory == nullptr) {
        delete bitmap;
        return nullptr;
    }
    bitmap->width = width;
    bitmap->height = height;
    bitmap->bitsPixel = bitsPixel;
    bitmap->stride = static_cast<int32_t>(stride);
    bitmap->topRowOffset = topDown ? 0 : static_cast<ptrdiff_t>(stride * (height - 1));
    bitmap->rowStep = topDown ? static_cast<ptrdiff_t>(stride) : -static_cast<ptrdiff_t>(stride);
    bitmap->exposeBits = exposeBits;
    void* handle = GdiAllocHandle(GdiKind::Bitmap, bitmap, counted);
    if (handle == nullptr) {
        free(bitmap->memory);
        delete bitmap;
    }
    return static_cast<HBITMAP>(handle);
}

bool GdiDeleteBitmap(HBITMAP handle) {
    GdiBitmap* bitmap = GdiLookupBitmap(handle);
    if (bitmap == nullptr) return false;
    GdiFreeHandle(handle);
    free(bitmap->memory);
    delete bitmap;
    return true;
}

// One stock bitmap serves every memory DC; it is never deleted or counted.
HBITMAP GdiStockBitmap() {
    if (GdiLookupBitmap(stockBitmap) == nullptr) {
        stockBitmap = GdiNewBitmap(1, 1, 32, true, false, false);
        if (GdiBitmap* bitmap = GdiLookupBitmap(stockBitmap)) bitmap->stock = true;
    }
    return stockBitmap;
}

HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, VOID** ppvBits,
                                HANDLE hSection, DWORD offset) {
    (void)offset;
    if (ppvBits != nullptr) *ppvBits = nullptr;
    if (hdc != nullptr && GdiLookupDC(hdc) == nullptr) return nullptr;
    if (pbmi == nullptr || hSection != nullptr || usage != DIB_RGB_COLORS) return nullptr;
    const BITMAPINFOHEADER& header = pbmi->bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 ||
        header.biCompression != BI_RGB || header.biHeight == INT32_MIN) {
        return nullptr;
    }
    const bool topDown = header.biHeight < 0;
    const int32_t height = topDown ? -header.biHeight : header.biHeight;
    HBITMAP handle = GdiNewBitmap(header.biWidth, height, header.biBitCount, topDown, true, true);
    if (handle != nullptr && ppvBits != nullptr) *ppvBits = GdiLookupBitmap(handle)->memory;
    return handle;
}

// Screen-compatible bitmaps are 32-bit; their pixels are reached only through GDI.
HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    if (hdc != nullptr && GdiLookupDC(hdc) == nullptr) return nullptr;
    return GdiNewBitmap(cx, cy, 32, true, false, true);
}

HBITMAP GdiCreateSurfaceBitmap(int32_t width, int32_t height, uint32_t** pixels) {
    HBITMAP handle = GdiNewBitmap(width, height, 32, true, true, false);
    GdiBitmap* bitmap = GdiLookupBitmap(handle);
    if (bitmap != nullptr) bitmap->surface = true;
    if (pixels != nullptr) {
        *pixels = bitmap != nullptr ? reinterpret_cast<uint32_t*>(bitmap->memory) : nullptr;
    }
    return handle;
}

void GdiDeleteSurfaceBitmap(HBITMAP surface) {
    const GdiBitmap* bitmap = GdiLookupBitmap(surface);
    if (bitmap == nullptr || !bitmap->surface) return;
    GdiSetSurfaceMemory(surface, nullptr, 0);  // frees its own pixels, never borrowed ones
    GdiDeleteBitmap(surface);
}

uint32_t* GdiSetSurfaceMemory(HBITMAP surface, uint32_t* memory, int32_t pitch) {
    GdiBitmap* bitmap = GdiLookupBitmap(surface);
    if (bitmap == nullptr || !bitmap->surface) return nullptr;
    if (memory != nullptr && (pitch < bitmap->width * 4 || pitch % 4 != 0)) return nullptr;
    if (bitmap->parkedMemory == nullptr) bitmap->parkedMemory = bitmap->memory;
    if (memory == nullptr) {
        bitmap->memory = bitmap->parkedMemory;
        bitmap->parkedMemory = nullptr;
        bitmap->stride = bitmap->width * 4;
    } else {
        bitmap->memory = reinterpret_cast<uint8_t*>(memory);
        bitmap->stride = pitch;
    }
    bitmap->topRowOffset = 0;
    bitmap->rowStep = bitmap->stride;
    return reinterpret_cast<uint32_t*>(bitmap->memory);
}

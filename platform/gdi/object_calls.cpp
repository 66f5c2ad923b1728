// The calls that take any GDI object: its type, its description and deleting
// it, each handed to the object's kind.
#include <cstring>

#include "platform/gdi/gdi_objects.h"

DWORD WINAPI GetObjectType(HGDIOBJ h) {
    switch (GdiKindOf(h)) {
        case GdiKind::Bitmap: return OBJ_BITMAP;
        case GdiKind::DC: return GdiLookupDC(h)->memory ? OBJ_MEMDC : OBJ_DC;
        case GdiKind::Region: return OBJ_REGION;
        case GdiKind::Brush: return OBJ_BRUSH;
        case GdiKind::None: break;
    }
    return 0;
}

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
    const GdiBitmap* bitmap = GdiLookupBitmap(h);
    if (bitmap == nullptr) return 0;
    if (pv == nullptr) return static_cast<int>(sizeof(BITMAP));
    if (c < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP info{};
    info.bmType = 0;
    info.bmWidth = bitmap->width;
    info.bmHeight = bitmap->height;
    info.bmWidthBytes = bitmap->stride;
    info.bmPlanes = 1;
    info.bmBitsPixel = static_cast<WORD>(bitmap->bitsPixel);
    info.bmBits = bitmap->exposeBits ? bitmap->memory : nullptr;
    std::memcpy(pv, &info, sizeof info);
    return static_cast<int>(sizeof(BITMAP));
}

// DCs are deleted with DeleteDC; a bitmap selected into a DC, a stock object and
// a window surface are refused, as the platform does.
BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    switch (GdiKindOf(ho)) {
        case GdiKind::Bitmap: {
            const GdiBitmap* bitmap = GdiLookupBitmap(ho);
            if (bitmap->stock || bitmap->surface || bitmap->selectedInto != nullptr) return FALSE;
            return GdiDeleteBitmap(static_cast<HBITMAP>(ho)) ? TRUE : FALSE;
        }
        case GdiKind::Region: return GdiDeleteRegion(static_cast<HRGN>(ho)) ? TRUE : FALSE;
        case GdiKind::Brush: {
            delete GdiLookupBrush(ho);
            GdiFreeHandle(ho);
            return TRUE;
        }
        case GdiKind::DC:
        case GdiKind::None: break;
    }
    return FALSE;
}

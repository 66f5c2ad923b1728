// Row kernels for every pair of depths, chosen once per call.
#include "platform/gdi/pixel_access.h"

namespace {

template <int SrcBpp, int DstBpp>
void CopyRow(uint8_t* dst, const uint8_t* src, int32_t count) {
    if constexpr (SrcBpp == DstBpp) {
        memmove(dst, src, static_cast<size_t>(count) * (SrcBpp / 8));
    } else {
        for (int32_t i = 0; i < count; ++i) {
            GdiStorePixel<DstBpp>(dst + i * (DstBpp / 8), GdiLoadPixel<SrcBpp>(src + i * (SrcBpp / 8)) & 0x00FFFFFFu);
        }
    }
}

template <int SrcBpp, int DstBpp>
void StretchRow(uint8_t* dst, const uint8_t* srcRow, const int32_t* columns, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        uint32_t pixel = GdiLoadPixel<SrcBpp>(srcRow + static_cast<ptrdiff_t>(columns[i]) * (SrcBpp / 8));
        if constexpr (SrcBpp != DstBpp) pixel &= 0x00FFFFFFu;
        GdiStorePixel<DstBpp>(dst + i * (DstBpp / 8), pixel);
    }
}

template <int DstBpp>
void FillRow(uint8_t* dst, uint32_t pixel, int32_t count) {
    for (int32_t i = 0; i < count; ++i) GdiStorePixel<DstBpp>(dst + i * (DstBpp / 8), pixel);
}

int DepthIndex(int32_t bitsPixel) { return bitsPixel == 16 ? 0 : bitsPixel == 24 ? 1 : 2; }

template <template <int, int> class Pick>
auto Choose(int32_t src, int32_t dst) {
    using Fn = decltype(&Pick<32, 32>::Fn);
    static const Fn kernels[3][3] = {
        {&Pick<16, 16>::Fn, &Pick<16, 24>::Fn, &Pick<16, 32>::Fn},
        {&Pick<24, 16>::Fn, &Pick<24, 24>::Fn, &Pick<24, 32>::Fn},
        {&Pick<32, 16>::Fn, &Pick<32, 24>::Fn, &Pick<32, 32>::Fn},
    };
    return kernels[DepthIndex(src)][DepthIndex(dst)];
}

template <int S, int D>
struct PickCopy {
    static void Fn(uint8_t* dst, const uint8_t* src, int32_t count) { CopyRow<S, D>(dst, src, count); }
};
template <int S, int D>
struct PickStretch {
    static void Fn(uint8_t* dst, const uint8_t* srcRow, const int32_t* columns, int32_t count) {
        StretchRow<S, D>(dst, srcRow, columns, count);
    }
};

}  // namespace

GdiRowCopy GdiChooseRowCopy(int32_t srcBitsPixel, int32_t dstBitsPixel) {
    return Choose<PickCopy>(srcBitsPixel, dstBitsPixel);
}

GdiRowStretch GdiChooseRowStretch(int32_t srcBitsPixel, int32_t dstBitsPixel) {
    return Choose<PickStretch>(srcBitsPixel, dstBitsPixel);
}

GdiRowFill GdiChooseRowFill(int32_t dstBitsPixel) {
    static const GdiRowFill kernels[3] = {&FillRow<16>, &FillRow<24>, &FillRow<32>};
    return kernels[DepthIndex(dstBitsPixel)];
}

// DrawTextW: one line of text in the dialog font (DejaVu Sans through SDL2_ttf,
// the largest size whose line fits the dialog font's 16-pixel height), centred
// horizontally with DT_CENTER and vertically with DT_VCENTER | DT_SINGLELINE,
// clipped to the rectangle, in the DC's text colour; with OPAQUE the text's box
// is filled with the background colour first.
#include <SDL_ttf.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "platform/gdi/gdi_surface.h"
#include "platform/system/path_encoding.h"

namespace {

constexpr const char* kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int kLineHeight = 16;
// Longer texts are cut; no caption comes near this.
constexpr size_t kMaxCharacters = 4096;

// Opened once and kept for the life of the process; NULL when the font is missing.
TTF_Font* DialogFont() {
    static TTF_Font* font = nullptr;
    static bool tried = false;
    if (tried) return font;
    tried = true;
    if (TTF_WasInit() == 0 && TTF_Init() != 0) return nullptr;
    for (int size = kLineHeight; size >= 6 && font == nullptr; --size) {
        TTF_Font* candidate = TTF_OpenFont(kFontPath, size);
        if (candidate == nullptr) return nullptr;
        if (TTF_FontHeight(candidate) <= kLineHeight) font = candidate;
        else TTF_CloseFont(candidate);
    }
    return font;
}

// UTF-8 of one line: line breaks and other control characters become spaces.
std::string LineUtf8(LPCWSTR text, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        uint32_t c = static_cast<uint32_t>(text[i]);
        if (c < 0x20) c = ' ';
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        SysAppendUtf8(out, c);
    }
    return out;
}

}  // namespace

int WINAPI DrawTextW(HDC hdc, LPCWSTR lpchText, int cchText, LPRECT lprc, UINT format) {
    GdiTextState state;
    if (lpchText == nullptr || lprc == nullptr || !GdiGetTextState(hdc, &state)) return 0;
    TTF_Font* font = DialogFont();
    if (font == nullptr) return 0;
    const size_t count = cchText < 0 ? wcsnlen(lpchText, kMaxCharacters)
                                     : std::min(static_cast<size_t>(cchText), kMaxCharacters);
    const int lineHeight = TTF_FontHeight(font);
    const std::string utf8 = LineUtf8(lpchText, count);
    if (utf8.empty()) return lineHeight;

    const SDL_Color color{GetRValue(state.textColor), GetGValue(state.textColor), GetBValue(state.textColor), 255};
    SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, utf8.c_str(), color);
    if (rendered == nullptr) return 0;
    SDL_Surface* argb = rendered->format->format == SDL_PIXELFORMAT_ARGB8888
                            ? rendered
                            : SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    if (argb == nullptr) {
        SDL_FreeSurface(rendered);
        return 0;
    }

    // Place the text, then clip it to the rectangle (64-bit: rectangles may be extreme).
    const int64_t width = argb->w;
    const int64_t height = argb->h;
    int64_t x = lprc->left;
    int64_t y = lprc->top;
    if ((format & DT_CENTER) != 0) x = (int64_t{lprc->left} + lprc->right - width) / 2;
    if ((format & DT_VCENTER) != 0 && (format & DT_SINGLELINE) != 0) y = (int64_t{lprc->top} + lprc->bottom - height) / 2;
    const int64_t left = std::max<int64_t>(x, lprc->left);
    const int64_t top = std::max<int64_t>(y, lprc->top);
    const int64_t right = std::min<int64_t>(x + width, lprc->right);
    const int64_t bottom = std::min<int64_t>(y + height, lprc->bottom);
    if (right > left && bottom > top) {
        const RECT box{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
                       static_cast<LONG>(bottom)};
        if (state.bkMode == OPAQUE) {
            HBRUSH background = CreateSolidBrush(state.bkColor);
            if (background != nullptr) {
                FillRect(hdc, &box, background);
                DeleteObject(background);
            }
        }
        const int stride = argb->pitch / 4;
        const auto* pixels = static_cast<const uint32_t*>(argb->pixels) + (top - y) * stride + (left - x);
        GdiAlphaBlitToDC(hdc, box.left, box.top, box.right - box.left, box.bottom - box.top, pixels, stride);
    }
    if (argb != rendered) SDL_FreeSurface(argb);
    SDL_FreeSurface(rendered);
    return lineHeight;
}

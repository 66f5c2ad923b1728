// Dialogs made from in-memory templates, in both layouts:
//
//   DLGTEMPLATEEX: WORD 1, WORD 0xFFFF, DWORD helpId, exStyle, style, WORD items,
//                  short x, y, cx, cy; then menu, class, title; with DS_SETFONT
//                  WORD points, WORD weight, BYTE italic, BYTE charset, typeface.
//                  Items (DWORD aligned): DWORD helpId, exStyle, style, short x, y,
//                  cx, cy, DWORD id, class, title, WORD extra count, extra bytes.
//   DLGTEMPLATE:   DWORD style, exStyle, WORD items, short x, y, cx, cy; menu,
//                  class, title; with DS_SETFONT WORD points, typeface. Items
//                  (DWORD aligned): DWORD style, exStyle, short x, y, cx, cy,
//                  WORD id, class, title, WORD extra count, extra bytes.
//
// Menu, class and title are 0 (none), 0xFFFF followed by an ordinal, or a
// 16-bit string. All positions and sizes are dialog units; with the fixed
// dialog font (8 x 16 pixels) one unit is 2 x 2 pixels.
#include <algorithm>
#include <cstring>

#include "platform/display/display.h"
#include "platform/user/user_internal.h"

namespace {

// A template has no length, so strings are cut off here rather than read on forever.
constexpr size_t kMaxTemplateString = 4096;

struct TemplateReader {
    const BYTE* base;
    size_t offset;

    WORD Word() {
        WORD value;
        std::memcpy(&value, base + offset, sizeof value);
        offset += sizeof value;
        return value;
    }
    DWORD Dword() {
        DWORD value;
        std::memcpy(&value, base + offset, sizeof value);
        offset += sizeof value;
        return value;
    }
    int16_t Short() { return static_cast<int16_t>(Word()); }
    void AlignDword() { offset = (offset + 3) & ~static_cast<size_t>(3); }
    void Skip(size_t bytes) { offset += bytes; }

    // A 16-bit string, decoded from UTF-16.
    std::wstring String() {
        std::wstring text;
        for (size_t i = 0; i < kMaxTemplateString; ++i) {
            const WORD unit = Word();
            if (unit == 0) break;
            uint32_t code = unit;
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                WORD low;
                std::memcpy(&low, base + offset, sizeof low);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    offset += sizeof low;
                    code = 0x10000 + ((static_cast<uint32_t>(unit) - 0xD800) << 10) + (low - 0xDC00);
                }
            }
            text.push_back(static_cast<wchar_t>(code));
        }
        return text;
    }
    // A "string or ordinal" field: the ordinal, or 0 with the string in `text`.
    WORD StringOrOrdinal(std::wstring* text) {
        WORD first;
        std::memcpy(&first, base + offset, sizeof first);
        if (first == 0xFFFF) {
            offset += 2;
            return Word();
        }
        *text = String();
        return 0;
    }
};

struct ControlClass {
    bool known;
    UsrClass windowClass;
};

ControlClass ItemClass(WORD ordinal, const std::wstring& name) {
    if (ordinal == 0x0080) return {true, UsrClass::Button};
    if (ordinal == 0x0082) return {true, UsrClass::Static};
    if (ordinal != 0) return {false, UsrClass::Static};
    std::wstring upper = name;
    for (wchar_t& c : upper) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    if (upper == L"BUTTON") return {true, UsrClass::Button};
    if (upper == L"STATIC") return {true, UsrClass::Static};
    if (upper == L"#32770") return {true, UsrClass::Dialog};
    return {false, UsrClass::Static};
}

int32_t ToPixels(int64_t units, int32_t unitPixels) {
    return static_cast<int32_t>(std::clamp<int64_t>(units * unitPixels, INT32_MIN, INT32_MAX));
}

constexpr int32_t kUnitX = kDialogCharWidth / 4;
constexpr int32_t kUnitY = kDialogCharHeight / 8;

}  // namespace

HWND WINAPI CreateDialogIndirectParamW(HINSTANCE, LPCDLGTEMPLATEW lpTemplate, HWND hWndParent,
                                       DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    if (lpTemplate == nullptr) return nullptr;
    TemplateReader reader{reinterpret_cast<const BYTE*>(lpTemplate), 0};
    const WORD version = reader.Word();
    const WORD signature = reader.Word();
    const bool extended = version == 1 && signature == 0xFFFF;
    DWORD style, exStyle;
    if (extended) {
        reader.Dword();  // help id
        exStyle = reader.Dword();
        style = reader.Dword();
    } else {
        reader.offset = 0;
        style = reader.Dword();
        exStyle = reader.Dword();
    }
    const WORD itemCount = reader.Word();
    const int16_t x = reader.Short(), y = reader.Short(), cx = reader.Short(), cy = reader.Short();
    std::wstring ignored, className, title;
    reader.StringOrOrdinal(&ignored);  // menu: dialogs here have none
    const WORD classOrdinal = reader.StringOrOrdinal(&className);
    if (classOrdinal != 0 || !(className.empty() || ItemClass(0, className).windowClass == UsrClass::Dialog)) {
        return nullptr;
    }
    reader.StringOrOrdinal(&title);
    if ((style & DS_SETFONT) != 0) {
        // Every font has the fixed dialog metrics here; the face is read past only.
        reader.Word();
        if (extended) reader.Skip(4);
        reader.String();
    }

    const int32_t width = ToPixels(cx, kUnitX);
    const int32_t height = ToPixels(cy, kUnitY);
    int32_t left = ToPixels(x, kUnitX);
    int32_t top = ToPixels(y, kUnitY);
    if ((style & DS_CENTER) != 0 && (style & WS_CHILD) == 0) {
        int32_t screenWidth = 0, screenHeight = 0;
        DisplayGetBackend().screenSize(&screenWidth, &screenHeight);
        left = (screenWidth - width) / 2;
        top = (screenHeight - height) / 2;
    }
    const HWND dialog = UsrCreateWindow(UsrClass::Dialog, exStyle, title.c_str(), style & ~static_cast<DWORD>(WS_VISIBLE),
                                        left, top, width, height, hWndParent, 0);
    if (dialog == nullptr) return nullptr;
    UsrFind(dialog)->dialogProc = lpDialogFunc;

    HWND firstControl = nullptr;
    for (WORD i = 0; i < itemCount; ++i) {
        reader.AlignDword();
        DWORD itemStyle, itemExStyle, id;
        if (extended) {
            reader.Dword();  // help id
            itemExStyle = reader.Dword();
            itemStyle = reader.Dword();
        } else {
            itemStyle = reader.Dword();
            itemExStyle = reader.Dword();
        }
        const int16_t ix = reader.Short(), iy = reader.Short(), icx = reader.Short(), icy = reader.Short();
        id = extended ? reader.Dword() : reader.Word();
        std::wstring itemClassName, itemText;
        const WORD itemClassOrdinal = reader.StringOrOrdinal(&itemClassName);
        reader.StringOrOrdinal(&itemText);  // an ordinal title names a resource: no text
        reader.Skip(reader.Word());
        const ControlClass itemClass = ItemClass(itemClassOrdinal, itemClassName);
        HWND control = nullptr;
        if (itemClass.known && UsrFind(dialog) != nullptr) {
            control = UsrCreateWindow(itemClass.windowClass, itemExStyle, itemText.c_str(), itemStyle | WS_CHILD,
                                      ToPixels(ix, kUnitX), ToPixels(iy, kUnitY), ToPixels(icx, kUnitX),
                                      ToPixels(icy, kUnitY), dialog, static_cast<int32_t>(id));
        }
        if (control == nullptr && (style & DS_NOFAILCREATE) == 0) {
            DestroyWindow(dialog);
            return nullptr;
        }
        if (firstControl == nullptr) firstControl = control;
    }
    if (UsrFind(dialog) == nullptr) return nullptr;
    SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstControl), dwInitParam);
    if (UsrFind(dialog) == nullptr) return nullptr;
    if ((style & WS_VISIBLE) != 0) ShowWindow(dialog, SW_SHOW);
    return UsrFind(dialog) != nullptr ? dialog : nullptr;
}

BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect) {
    if (UsrFind(hDlg) == nullptr || lpRect == nullptr) return FALSE;
    lpRect->left = ToPixels(lpRect->left, kUnitX);
    lpRect->right = ToPixels(lpRect->right, kUnitX);
    lpRect->top = ToPixels(lpRect->top, kUnitY);
    lpRect->bottom = ToPixels(lpRect->bottom, kUnitY);
    return TRUE;
}

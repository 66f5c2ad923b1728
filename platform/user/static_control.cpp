// The "STATIC" control. An owner-drawn one (SS_OWNERDRAW) has its parent draw it:
// whenever it paints, and when asked to print its client area (WM_PRINTCLIENT),
// it sends WM_DRAWITEM with the DC and its client rectangle. Any other static
// shows the brush its parent gives for WM_CTLCOLORSTATIC, else the button face.
// Either way the parent first gets WM_CTLCOLORSTATIC with the DC, so that the
// colours it sets there are the DC's.
#include "platform/user/user_internal.h"

namespace {

constexpr DWORD kStaticTypeMask = 0x1F;

void DrawStatic(HWND hwnd, HDC hdc) {
    UsrWindow* window = UsrFind(hwnd);
    if (window == nullptr || hdc == nullptr) return;
    const RECT client{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
    const HWND parent = (window->style & WS_CHILD) != 0 ? window->parent : nullptr;
    const int32_t id = window->id;
    const bool ownerDrawn = (window->style & kStaticTypeMask) == SS_OWNERDRAW;
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(hwnd)));
    if (ownerDrawn) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_STATIC;
        item.CtlID = static_cast<UINT>(id);
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = hwnd;
        item.hDC = hdc;
        item.rcItem = client;
        SendMessageW(parent, WM_DRAWITEM, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&item));
        return;
    }
    if (brush != nullptr && GetObjectType(brush) == OBJ_BRUSH) FillRect(hdc, &client, brush);
    else UsrFillSysColor(hdc, &client, COLOR_BTNFACE);
}

}  // namespace

LRESULT CALLBACK UsrStaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC hdc = BeginPaint(hwnd, &paint);
            DrawStatic(hwnd, hdc);
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            DrawStatic(hwnd, reinterpret_cast<HDC>(wParam));
            return 0;
        default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// The window procedure of dialog windows: the dialog procedure first, then the
// default dialog handling (the dialog's background, closing as Cancel).
#include "platform/user/user_internal.h"

namespace {

bool IsControlColorMessage(UINT message) { return message >= 0x0132 && message <= WM_CTLCOLORSTATIC; }

}  // namespace

// The procedure of every dialog window: the dialog procedure is asked first;
// a FALSE answer leaves the message to the default dialog handling.
LRESULT CALLBACK UsrDialogWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    UsrWindow* window = UsrFind(hwnd);
    if (window == nullptr) return 0;
    if (window->dialogProc != nullptr) {
        const INT_PTR handled = window->dialogProc(hwnd, message, wParam, lParam);
        if (handled != 0) {
            // These messages return the procedure's own value (a brush, the focus choice).
            if (message == WM_INITDIALOG || IsControlColorMessage(message)) return handled;
            return 0;
        }
    }
    if (message == WM_CLOSE) {
        // Closing a dialog is a click on its Cancel button; destroying it is left
        // to the dialog procedure.
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDCANCEL)));
        return 0;
    }
    if (message == WM_ERASEBKGND) {
        window = UsrFind(hwnd);
        if (window == nullptr) return 0;
        const RECT client{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
        const HDC hdc = reinterpret_cast<HDC>(wParam);
        auto brush = reinterpret_cast<HBRUSH>(SendMessageW(hwnd, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(hwnd)));
        if (brush != nullptr && GetObjectType(brush) == OBJ_BRUSH) FillRect(hdc, &client, brush);
        else UsrFillSysColor(hdc, &client, COLOR_BTNFACE);
        return 1;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

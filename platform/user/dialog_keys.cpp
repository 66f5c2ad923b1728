// The dialog keyboard handling: every message for a dialog or one of its
// controls is handled here, Escape becoming WM_COMMAND with IDCANCEL for the
// dialog and nothing else; the rest is translated and dispatched as usual.
#include "platform/user/user_internal.h"

BOOL WINAPI IsDialogMessageA(HWND hDlg, LPMSG lpMsg) {
    if (lpMsg == nullptr || UsrFind(hDlg) == nullptr || !UsrIsSelfOrDescendant(lpMsg->hwnd, hDlg)) return FALSE;
    if (lpMsg->message == WM_KEYDOWN && lpMsg->wParam == VK_ESCAPE) {
        SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDCANCEL)));
        return TRUE;
    }
    TranslateMessage(lpMsg);
    DispatchMessageW(lpMsg);
    return TRUE;
}

// Destroying a window and its children: WM_DESTROY from the top of the tree
// down, WM_NCDESTROY from the bottom up, then the records, surfaces and desktop
// windows go.
#include <algorithm>
#include <vector>

#include "platform/display/display.h"
#include "platform/gdi/gdi_surface.h"
#include "platform/user/user_internal.h"

namespace {

// The window and all its descendants, parents before children.
void CollectTree(HWND hwnd, std::vector<HWND>* out) {
    UsrWindow* window = UsrFind(hwnd);
    if (window == nullptr) return;
    out->push_back(hwnd);
    for (HWND child : window->children) CollectTree(child, out);
}

void EraseHandle(std::vector<HWND>* list, HWND hwnd) {
    for (auto it = list->begin(); it != list->end(); ++it) {
        if (*it == hwnd) {
            list->erase(it);
            return;
        }
    }
}

// Frees a window's record after its messages; children still attached (made
// while it was being destroyed) go with it.
void FreeTree(HWND hwnd) {
    UsrWindow* window = UsrFind(hwnd);
    if (window == nullptr) return;
    while (!window->children.empty()) {
        const HWND child = window->children.back();
        FreeTree(child);
        window = UsrFind(hwnd);
        if (window == nullptr) return;
        EraseHandle(&window->children, child);
    }
    UsrRemoveMessagesFor(hwnd);
    if (userState.captureWindow == hwnd) userState.captureWindow = nullptr;
    if (userState.activeWindow == hwnd) userState.activeWindow = nullptr;
    if ((window->style & WS_CHILD) != 0) {
        UsrWindow* topLevel = UsrTopLevelOf(window);
        if (topLevel != nullptr) {
            auto& dcs = topLevel->windowDCs;
            for (size_t i = 0; i < dcs.size();) {
                if (dcs[i].window == hwnd) {
                    GdiDeleteWindowDC(dcs[i].dc);
                    pixman_region32_fini(&dcs[i].reach);
                    dcs.erase(dcs.begin() + static_cast<std::ptrdiff_t>(i));
                } else {
                    ++i;
                }
            }
        }
        UsrWindow* parent = UsrFind(window->parent);
        if (parent != nullptr) EraseHandle(&parent->children, hwnd);
    } else {
        UsrDetachFramebuffer(window, false);
        if (window->desktopOpen) DisplayGetBackend().closeWindow(hwnd);
        UsrDropWindowDCs(window);
        if (window->surface != nullptr) GdiDeleteSurfaceBitmap(window->surface);
        EraseHandle(&userState.topLevels, hwnd);
    }
    UsrFreeWindow(window);
}

}  // namespace

BOOL WINAPI DestroyWindow(HWND hWnd) {
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr || window->destroying) return FALSE;
    if ((window->style & WS_VISIBLE) != 0) ShowWindow(hWnd, SW_HIDE);
    if (UsrFind(hWnd) == nullptr) return TRUE;

    std::vector<HWND> tree;
    CollectTree(hWnd, &tree);
    for (HWND member : tree) UsrFind(member)->destroying = true;
    // WM_DESTROY to the window, then to its children; WM_NCDESTROY the other way round.
    for (HWND member : tree) {
        if (UsrFind(member) != nullptr) SendMessageW(member, WM_DESTROY, 0, 0);
    }
    for (auto it = tree.rbegin(); it != tree.rend(); ++it) {
        if (UsrFind(*it) != nullptr) SendMessageW(*it, WM_NCDESTROY, 0, 0);
    }
    FreeTree(hWnd);
    return TRUE;
}

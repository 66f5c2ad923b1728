// Update regions: invalidation unions into a window's update region, validation
// takes from it. Rectangles wait in a per-window list and are joined in one pass
// when the region is read (UsrFoldUpdate). userState.pendingPaints counts the
// windows whose update region is not empty.
#include <algorithm>

#include "platform/gdi/gdi_objects.h"
#include "platform/user/user_internal.h"

namespace {

void AddToUpdate(UsrWindow* window, const pixman_region32_t* area, bool erase) {
    if (!pixman_region32_not_empty(area)) return;
    const bool wasEmpty = !pixman_region32_not_empty(&window->update);
    UsrFoldUpdate(window);
    pixman_region32_union(&window->update, &window->update, area);
    if (erase) window->erasePending = true;
    if (wasEmpty) ++userState.pendingPaints;
}

// Adds a box of the client area to the update region. The first box becomes the
// region; later ones wait in the window's pending list.
void AddBoxToUpdate(UsrWindow* window, const pixman_box32_t& box, bool erase) {
    if (erase) window->erasePending = true;
    if (!pixman_region32_not_empty(&window->update)) {
        pixman_region32_reset(&window->update, &box);
        ++userState.pendingPaints;
        return;
    }
    if (window->pending.size() == kUsrPendingBoxes) UsrFoldUpdate(window);
    window->pending.push_back(box);
}

HWND FindInTree(UsrWindow* window) {
    if ((window->style & WS_VISIBLE) == 0) return nullptr;
    if (pixman_region32_not_empty(&window->update)) return window->handle;
    for (HWND childHandle : window->children) {
        UsrWindow* child = UsrFind(childHandle);
        if (child == nullptr) continue;
        HWND found = FindInTree(child);
        if (found != nullptr) return found;
    }
    return nullptr;
}

// Invalidates `area` of a visible window and, where it includes them, of its
// visible children.
void InvalidateVisible(UsrWindow* window, const pixman_region32_t* area, bool erase, bool allChildren) {
    pixman_box32_t client;
    if (!UsrClipToClient(window, nullptr, &client)) return;
    pixman_region32_t clipped;
    pixman_region32_init_with_extents(&clipped, &client);
    if (area != nullptr) pixman_region32_intersect(&clipped, &clipped, area);
    AddToUpdate(window, &clipped, erase);
    if (UsrIncludesChildren(window, allChildren) && pixman_region32_not_empty(&clipped)) {
        for (HWND childHandle : window->children) {
            UsrWindow* child = UsrFind(childHandle);
            if (child == nullptr || (child->style & WS_VISIBLE) == 0) continue;
            pixman_region32_translate(&clipped, -child->rect.left, -child->rect.top);
            InvalidateVisible(child, &clipped, erase, allChildren);
            pixman_region32_translate(&clipped, child->rect.left, child->rect.top);
        }
    }
    pixman_region32_fini(&clipped);
}

}  // namespace

bool UsrIncludesChildren(const UsrWindow* window, bool allChildren) {
    return allChildren || (window->style & WS_CLIPCHILDREN) == 0;
}

// The part of a caller's rectangle inside the client area; false when nothing is left.
bool UsrClipToClient(const UsrWindow* window, const RECT* rect, pixman_box32_t* box) {
    const int64_t width = window->rect.right - window->rect.left;
    const int64_t height = window->rect.bottom - window->rect.top;
    int64_t left = 0, top = 0, right = width, bottom = height;
    if (rect != nullptr) {
        left = std::max<int64_t>(left, rect->left);
        top = std::max<int64_t>(top, rect->top);
        right = std::min<int64_t>(right, rect->right);
        bottom = std::min<int64_t>(bottom, rect->bottom);
    }
    if (right <= left || bottom <= top) return false;
    *box = pixman_box32_t{static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
                          static_cast<int32_t>(bottom)};
    return true;
}

void UsrFoldUpdate(UsrWindow* window) {
    if (window->pending.empty()) return;
    // The boxes are joined in one pass; one union adds them.
    pixman_region32_t joined;
    GdiRegionFromBoxes(&joined, window->pending.data(), window->pending.size());
    window->pending.clear();
    pixman_region32_union(&window->update, &window->update, &joined);
    pixman_region32_fini(&joined);
}

// A window that is hidden, itself or through an ancestor, gathers no update
// region, as on the real platform: showing it again invalidates all of it.
void UsrInvalidate(UsrWindow* window, const pixman_region32_t* area, bool erase, bool allChildren) {
    if (UsrIsVisible(window)) InvalidateVisible(window, area, erase, allChildren);
}

void UsrSetUpdateEmpty(UsrWindow* window) {
    if (pixman_region32_not_empty(&window->update)) {
        --userState.pendingPaints;
        pixman_region32_clear(&window->update);
    }
    window->pending.clear();
    window->erasePending = false;
}

void UsrValidate(UsrWindow* window, const pixman_region32_t* area) {
    if (area == nullptr) {
        UsrSetUpdateEmpty(window);
        return;
    }
    if (!pixman_region32_not_empty(&window->update)) return;
    UsrFoldUpdate(window);
    pixman_region32_subtract(&window->update, &window->update, area);
    if (!pixman_region32_not_empty(&window->update)) {
        --userState.pendingPaints;
        window->erasePending = false;
    }
}

HWND UsrFindWindowToPaint() {
    if (userState.pendingPaints <= 0) return nullptr;
    for (HWND topHandle : userState.topLevels) {
        UsrWindow* topLevel = UsrFind(topHandle);
        if (topLevel == nullptr) continue;
        HWND found = FindInTree(topLevel);
        if (found != nullptr) return found;
    }
    return nullptr;
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr) return FALSE;
    pixman_box32_t box;
    if (!UsrIsVisible(window) || !UsrClipToClient(window, lpRect, &box)) return TRUE;
    if (!UsrIncludesChildren(window, false) || window->children.empty()) {
        // The common case (a canvas marking sprite rectangles) needs no region of its own.
        AddBoxToUpdate(window, box, bErase != FALSE);
        return TRUE;
    }
    pixman_region32_t area;
    pixman_region32_init_with_extents(&area, &box);
    InvalidateVisible(window, &area, bErase != FALSE, false);
    pixman_region32_fini(&area);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect) {
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr) return FALSE;
    if (lpRect == nullptr) {
        UsrSetUpdateEmpty(window);
        return TRUE;
    }
    pixman_box32_t box;
    if (!UsrClipToClient(window, lpRect, &box)) return TRUE;
    pixman_region32_t area;
    pixman_region32_init_with_extents(&area, &box);
    UsrValidate(window, &area);
    pixman_region32_fini(&area);
    return TRUE;
}

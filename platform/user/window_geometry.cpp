// Where windows are: surface origins, visibility, the drawable part of a window
// and which window lies under a point.
#include <algorithm>

#include "platform/user/user_internal.h"

namespace {

// Positions stay within +-2^28 and sizes within 8192 (a top-level surface of at
// most 256 MiB), so a window's edges and the sum of a few nested offsets never
// overflow 32 bits.
constexpr int64_t kCoordinateLimit = int64_t{1} << 28;
constexpr int64_t kSizeLimit = 8192;

void SubtractBox(pixman_region32_t* region, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    if (right <= left || bottom <= top) return;
    pixman_region32_t box;
    pixman_region32_init_rect(&box, static_cast<int32_t>(left), static_cast<int32_t>(top),
                              static_cast<uint32_t>(right - left), static_cast<uint32_t>(bottom - top));
    pixman_region32_subtract(region, region, &box);
    pixman_region32_fini(&box);
}

void IntersectBox(pixman_region32_t* region, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    if (right <= left || bottom <= top) {
        pixman_region32_clear(region);
        return;
    }
    pixman_region32_intersect_rect(region, region, static_cast<int32_t>(left), static_cast<int32_t>(top),
                                   static_cast<uint32_t>(right - left), static_cast<uint32_t>(bottom - top));
}

}  // namespace

int32_t UsrClampCoordinate(int64_t value) {
    return static_cast<int32_t>(std::clamp(value, -kCoordinateLimit, kCoordinateLimit));
}

int32_t UsrClampSize(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, 0, kSizeLimit));
}

UsrWindow* UsrTopLevelOf(UsrWindow* window) {
    while (window != nullptr && (window->style & WS_CHILD) != 0) {
        UsrWindow* parent = UsrFind(window->parent);
        if (parent == nullptr) return nullptr;
        window = parent;
    }
    return window;
}

POINT UsrSurfaceOrigin(UsrWindow* window) {
    int64_t x = 0;
    int64_t y = 0;
    while (window != nullptr && (window->style & WS_CHILD) != 0) {
        x += window->rect.left;
        y += window->rect.top;
        window = UsrFind(window->parent);
    }
    // Deep nesting could add up past the coordinate limit; keep room for a size.
    constexpr int64_t kOriginLimit = int64_t{1} << 30;
    return POINT{static_cast<LONG>(std::clamp(x, -kOriginLimit, kOriginLimit)),
                 static_cast<LONG>(std::clamp(y, -kOriginLimit, kOriginLimit))};
}

bool UsrIsVisible(UsrWindow* window) {
    while (window != nullptr) {
        if ((window->style & WS_VISIBLE) == 0) return false;
        if ((window->style & WS_CHILD) == 0) return true;
        window = UsrFind(window->parent);
    }
    return false;
}

void UsrVisibleRegion(UsrWindow* window, pixman_region32_t* out) {
    UsrWindow* topLevel = UsrTopLevelOf(window);
    if (topLevel == nullptr || !UsrIsVisible(window)) {
        pixman_region32_clear(out);
        return;
    }
    const POINT origin = UsrSurfaceOrigin(window);
    const int64_t width = window->rect.right - window->rect.left;
    const int64_t height = window->rect.bottom - window->rect.top;
    pixman_box32_t box{origin.x, origin.y, static_cast<int32_t>(origin.x + width),
                       static_cast<int32_t>(origin.y + height)};
    if (width <= 0 || height <= 0) {
        pixman_region32_clear(out);
        return;
    }
    pixman_region32_reset(out, &box);

    // Walk up: each level clips to the parent's client area and, where the
    // window on the path clips siblings, removes the siblings above it.
    UsrWindow* node = window;
    int64_t nodeX = origin.x;
    int64_t nodeY = origin.y;
    while ((node->style & WS_CHILD) != 0) {
        UsrWindow* parent = UsrFind(node->parent);
        if (parent == nullptr) break;
        const int64_t parentX = nodeX - node->rect.left;
        const int64_t parentY = nodeY - node->rect.top;
        IntersectBox(out, parentX, parentY, parentX + (parent->rect.right - parent->rect.left),
                     parentY + (parent->rect.bottom - parent->rect.top));
        if ((node->style & WS_CLIPSIBLINGS) != 0) {
            for (HWND siblingHandle : parent->children) {
                if (siblingHandle == node->handle) break;
                UsrWindow* sibling = UsrFind(siblingHandle);
                if (sibling == nullptr || (sibling->style & WS_VISIBLE) == 0) continue;
                SubtractBox(out, parentX + sibling->rect.left, parentY + sibling->rect.top,
                            parentX + sibling->rect.right, parentY + sibling->rect.bottom);
            }
        }
        node = parent;
        nodeX = parentX;
        nodeY = parentY;
    }
    IntersectBox(out, 0, 0, topLevel->surfaceWidth, topLevel->surfaceHeight);

    if ((window->style & WS_CLIPCHILDREN) != 0) {
        for (HWND childHandle : window->children) {
            UsrWindow* child = UsrFind(childHandle);
            if (child == nullptr || (child->style & WS_VISIBLE) == 0) continue;
            SubtractBox(out, origin.x + child->rect.left, origin.y + child->rect.top,
                        origin.x + child->rect.right, origin.y + child->rect.bottom);
        }
    }
}

UsrWindow* UsrHitTest(UsrWindow* window, POINT* point) {
    for (;;) {
        UsrWindow* hit = nullptr;
        for (HWND childHandle : window->children) {
            UsrWindow* child = UsrFind(childHandle);
            if (child == nullptr || (child->style & WS_VISIBLE) == 0) continue;
            if (point->x >= child->rect.left && point->x < child->rect.right && point->y >= child->rect.top &&
                point->y < child->rect.bottom) {
                hit = child;
                break;
            }
        }
        if (hit == nullptr) return window;
        point->x -= hit->rect.left;
        point->y -= hit->rect.top;
        window = hit;
    }
}

bool UsrIsSelfOrDescendant(HWND window, HWND ancestor) {
    while (window != nullptr) {
        if (window == ancestor) return true;
        UsrWindow* record = UsrFind(window);
        if (record == nullptr || (record->style & WS_CHILD) == 0) return false;
        window = record->parent;
    }
    return false;
}

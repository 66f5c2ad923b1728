// The window system's records and its one process-wide table. Only platform/
// includes this header. Everything runs on the one thread that made the windows;
// nothing is locked.
//
// Invariants:
// - A window handle is (generation << 16) | slot, slot 1..65535, generation 1..65535.
//   A slot's generation changes when its window is freed, so a stale or random
//   handle never finds a record (IsWindow is false for it).
// - Records never move while they live (the table holds pointers), but any call
//   that runs a window procedure may destroy any window: code looks a handle up
//   again after every such call instead of keeping a record pointer.
// - `rect` is the client area: in the parent's client coordinates for a child, on
//   the screen for a top-level window. Windows have no non-client area here; the
//   desktop draws a top-level window's caption and frame.
// - Only top-level windows own a surface; a child draws into its top-level's
//   surface at its offset there.
// - `update` is in the window's client coordinates and never leaves the client
//   rectangle. userState.pendingPaints counts windows whose update is not empty.
// - The update region is `update` joined with the boxes of `pending` (rectangles
//   invalidated since it was last read, folded in by UsrFoldUpdate). `update` is
//   never empty while boxes are pending.
#pragma once

#include <pixman.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/win32.h"

enum class UsrClass { Dialog, Static, Button };

struct UsrProperty {
    ATOM atom;         // non-zero when keyed by an atom
    std::string name;  // the key otherwise
    HANDLE value;
};

// A DC handed out for a window (GetDC or BeginPaint) and the surface pixels it can reach.
struct UsrWindowDC {
    HDC dc;
    HWND window;
    pixman_region32_t reach;
};

// Invalidated rectangles wait in a window's list until its update region is
// read, and are then folded into it in one pass. A window whose region is never
// read folds them in batches of this many.
constexpr size_t kUsrPendingBoxes = 8192;

struct UsrWindow {
    HWND handle;
    UsrClass windowClass;
    WNDPROC wndProc;     // current window procedure (replaceable with GWLP_WNDPROC)
    DLGPROC dialogProc;  // dialogs only; NULL = default handling only
    LONG_PTR userData;   // GWLP_USERDATA
    DWORD style;
    DWORD exStyle;
    int32_t id;               // control id (GWLP_ID)
    HWND parent;              // children only
    HWND owner;               // top-level windows made with a parent
    std::vector<HWND> children;  // topmost first (creation order)
    RECT rect;
    std::wstring text;
    std::vector<UsrProperty> properties;

    pixman_region32_t update;
    std::vector<pixman_box32_t> pending;
    bool erasePending;    // the update region asks for WM_ERASEBKGND
    bool destroying;      // WM_DESTROY is on its way; further DestroyWindow calls are ignored

    // Top-level windows only. `pixels` is the surface's own memory, or the desktop
    // window's framebuffer while `onFramebuffer` (rows `surfaceStride` pixels apart).
    HBITMAP surface;
    uint32_t* pixels;
    int32_t surfaceWidth;
    int32_t surfaceHeight;
    int32_t surfaceStride;
    bool onFramebuffer;
    bool desktopOpen;           // the backend shows it
    std::vector<UsrWindowDC> windowDCs;  // DCs drawing into the surface, deleted with it

    // Push buttons.
    bool buttonTracking;  // the left button went down on it and is still held
    bool buttonPressed;   // drawn pressed
};

struct UserState {
    std::vector<UsrWindow*> slots;       // index = slot; slot 0 unused
    std::vector<uint16_t> generations;   // per slot
    std::vector<uint32_t> freeSlots;
    std::vector<HWND> topLevels;         // creation order
    std::deque<MSG> queue;               // posted messages and input, in order
    int32_t pendingPaints;               // windows with a non-empty update region
    HWND activeWindow;
    HWND captureWindow;                  // gets the mouse while the left button is held
    bool buttonDown;
    std::vector<HDC> screenDCs;          // GetDC(NULL) results not yet released
    // Reused for every paint so that painting allocates no regions of its own.
    pixman_region32_t scratchVisible;
    pixman_region32_t scratchClip;
    pixman_region32_t scratchPaint;
    bool scratchReady;
};
extern UserState userState;

// ---- Table (window_table.cpp) ----
UsrWindow* UsrFind(HWND hwnd);
UsrWindow* UsrAllocWindow();
void UsrFreeWindow(UsrWindow* window);
void UsrEnsureScratch();

// ---- Geometry (window_geometry.cpp) ----
// The top-level window that holds `window` (itself for a top-level one).
UsrWindow* UsrTopLevelOf(UsrWindow* window);
// The client origin of `window` in its top-level's surface.
POINT UsrSurfaceOrigin(UsrWindow* window);
bool UsrIsSelfOrDescendant(HWND window, HWND ancestor);
// WS_VISIBLE on the window and all its ancestors.
bool UsrIsVisible(UsrWindow* window);
// The part of the window's client area that drawing may reach, in surface
// pixels: inside every ancestor, minus visible siblings above it where
// WS_CLIPSIBLINGS asks, minus its visible children when it has WS_CLIPCHILDREN.
// Empty when the window or an ancestor is hidden.
void UsrVisibleRegion(UsrWindow* window, pixman_region32_t* out);
// The deepest visible window under a point in `window`'s client coordinates;
// the point comes back in that window's client coordinates.
UsrWindow* UsrHitTest(UsrWindow* window, POINT* point);
// Clamps a rectangle given by a caller to the range where sums cannot overflow.
int32_t UsrClampCoordinate(int64_t value);
int32_t UsrClampSize(int64_t value);

// ---- Update regions (update_region.cpp) ----
// Whether invalidating `window` reaches its children too.
bool UsrIncludesChildren(const UsrWindow* window, bool allChildren);
// The part of a caller's rectangle (NULL = all) inside the client area; false
// when nothing is left.
bool UsrClipToClient(const UsrWindow* window, const RECT* rect, pixman_box32_t* box);
// Folds the pending boxes into `update`; code that reads `update` as a region
// (not just whether it is empty) calls this first.
void UsrFoldUpdate(UsrWindow* window);
// Adds `area` (client coordinates of `window`; NULL = the whole client area) to
// the update region; children too when allChildren or the window lacks WS_CLIPCHILDREN.
// Nothing for a window that is not visible, itself or through an ancestor.
void UsrInvalidate(UsrWindow* window, const pixman_region32_t* area, bool erase, bool allChildren);
void UsrSetUpdateEmpty(UsrWindow* window);
// Removes `area` (client coordinates; NULL = all) from the update region.
void UsrValidate(UsrWindow* window, const pixman_region32_t* area);
// The first visible window, parents before children, that needs painting.
HWND UsrFindWindowToPaint();

// ---- Painting (painting.cpp) ----
// Sends WM_PAINT to the window, then to its descendants, where the update region is not empty.
void UsrUpdateNow(HWND hwnd, bool children);
// Fills a client rectangle of the DC with a system colour.
void UsrFillSysColor(HDC hdc, const RECT* rect, int colorIndex);

// ---- Window DCs (window_dc.cpp) ----
// A DC for the window's client area clipped to its visible part and, if given,
// to `clip` (client coordinates). Registered with the top-level so it never
// outlives the surface.
HDC UsrCreateWindowDC(UsrWindow* window, const pixman_region32_t* clip);
// Deletes a DC made by UsrCreateWindowDC for `window` and shows what was drawn
// through it; false if it is not one of its DCs.
bool UsrReleaseWindowDC(UsrWindow* window, HDC hdc);
// Shows the region (surface pixels) of the top-level's surface on the desktop.
void UsrPresent(UsrWindow* topLevel, const pixman_region32_t* area);

// ---- Surfaces (window_surface.cpp) ----
// Makes or remakes the top-level surface at the client size; the old pixels are kept where they fit.
void UsrResizeSurface(UsrWindow* window);
// Deletes every DC drawing into the top-level's surface.
void UsrDropWindowDCs(UsrWindow* topLevel);
// Points the top-level's surface at the desktop window's framebuffer when the
// backend offers one of the surface's size and layout (keeping what the surface
// shows), or back at its own memory when it no longer does. False when the
// pixels drawn into a previous framebuffer were lost with it: the whole window
// is then invalidated so that it is drawn again.
bool UsrSyncFramebuffer(UsrWindow* topLevel);
// Points the surface back at its own memory before the desktop window goes away,
// copying what it shows there when keepPixels.
void UsrDetachFramebuffer(UsrWindow* topLevel, bool keepPixels);

// ---- Windows (window_create.cpp, window_state.cpp, window_text.cpp) ----
HWND UsrCreateWindow(UsrClass windowClass, DWORD exStyle, LPCWSTR text, DWORD style, int x, int y,
                     int width, int height, HWND parent, int32_t id);
void UsrSetActive(HWND hwnd);
bool UsrSetBounds(HWND hwnd, int x, int y, int width, int height, bool repaint);
std::string UsrToUtf8(const std::wstring& text);

// ---- Messages (message_queue.cpp, input.cpp) ----
// The time stamp of a message: milliseconds of a monotonic clock.
DWORD UsrMessageTime();
void UsrPost(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void UsrRemoveMessagesFor(HWND hwnd);
// Moves the backend's pending input into the queue.
void UsrPollInput();

// ---- Class procedures ----
LRESULT CALLBACK UsrDialogWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK UsrStaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK UsrButtonWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Dialog font metrics: "SYSTEM" 10 pt, average character 8 x 16 pixels.
constexpr int32_t kDialogCharWidth = 8;
constexpr int32_t kDialogCharHeight = 16;

// Painting: update-region arithmetic, BeginPaint's clipping, validation and
// erasing, when WM_PAINT is sent, clipping of children and siblings, what
// reaches the desktop, and that painting leaks no GDI objects.
#include <random>

#include "platform/gdi/gdi_surface.h"
#include "user_test_helpers.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

void Fill(HDC hdc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(hdc, &rect, brush);
    DeleteObject(brush);
}

// What the last WM_PAINT of PaintingProc saw.
struct PaintRecord {
    int paints = 0;
    RECT rcPaint{};
    BOOL fErase = FALSE;
    COLORREF color = kRed;
};
PaintRecord paintRecord;

// Paints the whole client area in paintRecord.color; the DC's clipping decides
// what really changes.
LRESULT CALLBACK PaintingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    messageLog.entries.push_back({hwnd, message, wParam, lParam, IsWindowVisible(hwnd) != FALSE});
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC hdc = BeginPaint(hwnd, &paint);
        ++paintRecord.paints;
        paintRecord.rcPaint = paint.rcPaint;
        paintRecord.fErase = paint.fErase;
        RECT client;
        GetClientRect(hwnd, &client);
        Fill(hdc, client, paintRecord.color);
        EndPaint(hwnd, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 0;  // leaves the erasing to the paint
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

class UserPainting : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        paintRecord = PaintRecord{};
        gdiObjects = PlatformLiveGdiObjects().Total();
    }
    void TearDown() override {
        WindowTest::TearDown();
        EXPECT_EQ(PlatformLiveGdiObjects().Total(), gdiObjects);
    }
    // A shown 100 x 100 window painted once, with PaintingProc and a clean log.
    HWND MakePaintedWindow(DWORD style = WS_POPUP | WS_VISIBLE) {
        HWND hwnd = MakeTopLevel(100, 100, style);
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PaintingProc));
        UpdateWindow(hwnd);
        paintRecord.paints = 0;
        paintRecord.color = kBlue;
        messageLog.entries.clear();
        PlatformTakePresentedRects(hwnd);
        return hwnd;
    }
    int32_t gdiObjects = 0;
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(UserPainting, TwoInvalidationsPaintTheirUnionThroughOneClippedPaint) {
    HWND hwnd = MakePaintedWindow();
    const RECT first{10, 10, 20, 20};
    const RECT second{50, 50, 60, 70};
    InvalidateRect(hwnd, &first, FALSE);
    InvalidateRect(hwnd, &second, FALSE);

    // GetUpdateRgn copies the union and leaves it in place.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetUpdateRgn(hwnd, region, FALSE), COMPLEXREGION);
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_TRUE(SameRect(box, RECT{10, 10, 60, 70}));
    DeleteObject(region);
    RECT updateBox;
    EXPECT_TRUE(GetUpdateRect(hwnd, &updateBox, FALSE));
    EXPECT_TRUE(SameRect(updateBox, RECT{10, 10, 60, 70}));

    EXPECT_TRUE(UpdateWindow(hwnd));
    EXPECT_EQ(paintRecord.paints, 1);
    EXPECT_TRUE(SameRect(paintRecord.rcPaint, RECT{10, 10, 60, 70}));
    // The paint DC was clipped to the two rectangles: between them nothing changed.
    EXPECT_EQ(PlatformWindowPixel(hwnd, 10, 10), kBlue);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 19, 19), kBlue);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 59, 69), kBlue);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 20, 20), kRed);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 30, 40), kRed);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 60, 50), kRed);

    // BeginPaint validated; no erase was asked for, so none was sent.
    EXPECT_FALSE(GetUpdateRect(hwnd, &updateBox, FALSE));
    EXPECT_EQ(messageLog.Count(hwnd, WM_ERASEBKGND), 0);
    // Exactly the painted rectangles reached the desktop.
    const std::vector<RECT> presented = PlatformTakePresentedRects(hwnd);
    ASSERT_EQ(presented.size(), 2u);
    EXPECT_TRUE(SameRect(presented[0], first));
    EXPECT_TRUE(SameRect(presented[1], second));
}

TEST_F(UserPainting, EraseIsSentFromBeginPaintOnlyWhenAskedFor) {
    HWND hwnd = MakePaintedWindow();
    const RECT area{0, 0, 10, 10};
    InvalidateRect(hwnd, &area, FALSE);
    UpdateWindow(hwnd);
    EXPECT_EQ(messageLog.Of(hwnd), std::vector<UINT>{WM_PAINT});
    EXPECT_FALSE(paintRecord.fErase);

    messageLog.entries.clear();
    InvalidateRect(hwnd, &area, FALSE);
    InvalidateRect(hwnd, &area, TRUE);  // any erasing request marks the region
    UpdateWindow(hwnd);
    EXPECT_EQ(messageLog.Of(hwnd), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
    EXPECT_TRUE(paintRecord.fErase);  // the procedure answered 0: still to be erased
}

TEST_F(UserPainting, UpdateWindowSendsNothingWithoutAnInvalidVisibleArea) {
    HWND hwnd = MakePaintedWindow();
    EXPECT_TRUE(UpdateWindow(hwnd));
    EXPECT_TRUE(messageLog.entries.empty());

    // Areas outside the client area add nothing.
    const RECT outside{100, 0, 200, 50};
    InvalidateRect(hwnd, &outside, TRUE);
    UpdateWindow(hwnd);
    EXPECT_TRUE(messageLog.entries.empty());

    // A hidden window is not painted and gathers no invalid area; showing it
    // again invalidates all of it.
    ShowWindow(hwnd, SW_HIDE);
    messageLog.entries.clear();
    const RECT area{5, 5, 15, 15};
    EXPECT_TRUE(InvalidateRect(hwnd, &area, FALSE));
    EXPECT_TRUE(RedrawWindow(hwnd, &area, nullptr, RDW_INVALIDATE));
    UpdateWindow(hwnd);
    EXPECT_EQ(messageLog.Count(hwnd, WM_PAINT), 0);
    RECT box;
    EXPECT_FALSE(GetUpdateRect(hwnd, &box, FALSE));
    ShowWindow(hwnd, SW_SHOW);
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_TRUE(GetUpdateRect(hwnd, &box, FALSE));
    EXPECT_TRUE(SameRect(box, client));
}

TEST_F(UserPainting, ValidateRectRemovesAreas) {
    HWND hwnd = MakePaintedWindow();
    InvalidateRect(hwnd, nullptr, TRUE);
    const RECT left{0, 0, 50, 100};
    ValidateRect(hwnd, &left);
    RECT box;
    ASSERT_TRUE(GetUpdateRect(hwnd, &box, FALSE));
    EXPECT_TRUE(SameRect(box, RECT{50, 0, 100, 100}));
    ValidateRect(hwnd, nullptr);
    EXPECT_FALSE(GetUpdateRect(hwnd, &box, FALSE));
    UpdateWindow(hwnd);
    EXPECT_EQ(paintRecord.paints, 0);
}

TEST_F(UserPainting, PeekMessageMakesUpWmPaintOnlyWhenTheQueueIsEmpty) {
    HWND hwnd = MakePaintedWindow();
    InvalidateRect(hwnd, nullptr, FALSE);
    PostMessageW(hwnd, WM_USER, 1, 2);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(msg.wParam, 1u);
    // WM_PAINT stays available until the window is validated.
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
        EXPECT_EQ(msg.hwnd, hwnd);
    }
    DispatchMessageW(&msg);
    EXPECT_EQ(paintRecord.paints, 1);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(UserPainting, RedrawWithAllChildrenAndUpdateNowPaintsChildrenAtOnce) {
    HWND top = MakePaintedWindow(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    HWND first = MakeChild(top, L"STATIC", 1, 0, 0, 20, 20);
    HWND second = MakeChild(top, L"STATIC", 2, 30, 0, 20, 20);
    SetWindowLongPtrA(first, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PaintingProc));
    SetWindowLongPtrA(second, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PaintingProc));
    UpdateWindow(top);
    messageLog.entries.clear();

    // Without RDW_ALLCHILDREN a WS_CLIPCHILDREN parent paints alone.
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    std::vector<HWND> painted;
    for (const auto& entry : messageLog.entries) {
        if (entry.message == WM_PAINT) painted.push_back(entry.hwnd);
    }
    EXPECT_EQ(painted, std::vector<HWND>{top});

    messageLog.entries.clear();
    painted.clear();
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (const auto& entry : messageLog.entries) {
        if (entry.message == WM_PAINT) painted.push_back(entry.hwnd);
    }
    EXPECT_EQ(painted, (std::vector<HWND>{top, first, second}));
    EXPECT_EQ(messageLog.Count(first, WM_ERASEBKGND), 1);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));  // nothing left to paint
}

// Three overlapping windows drawn through GetDC: where each may draw.
TEST_F(UserPainting, ChildrenAndSiblingsAreClippedOutWhereTheStylesSay) {
    struct Case {
        DWORD parentStyle;
        DWORD siblingStyle;
        COLORREF overlap;       // at (30, 30): in A and B
        COLORREF parentInA;     // at (5, 5): only in A
    } cases[] = {
        {WS_CLIPCHILDREN, WS_CLIPSIBLINGS, kGreen, kGreen},  // B is kept out of A, the parent out of both
        {WS_CLIPCHILDREN, 0, kBlue, kGreen},                 // B draws over A
        {0, WS_CLIPSIBLINGS, kRed, kRed},                    // the parent draws over its children
    };
    for (const Case& c : cases) {
        HWND top = MakeTopLevel(100, 100, WS_POPUP | WS_VISIBLE | c.parentStyle);
        HWND a = MakeChild(top, L"STATIC", 1, 0, 0, 50, 50, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
        HWND b = MakeChild(top, L"STATIC", 2, 25, 25, 50, 50, WS_CHILD | WS_VISIBLE | c.siblingStyle);
        const struct {
            HWND hwnd;
            COLORREF color;
        } draws[] = {{a, kGreen}, {b, kBlue}, {top, kRed}};
        for (const auto& draw : draws) {
            HDC hdc = GetDC(draw.hwnd);
            Fill(hdc, RECT{0, 0, 100, 100}, draw.color);
            ReleaseDC(draw.hwnd, hdc);
        }
        EXPECT_EQ(PlatformWindowPixel(top, 30, 30), c.overlap) << c.parentStyle << " " << c.siblingStyle;
        EXPECT_EQ(PlatformWindowPixel(top, 5, 5), c.parentInA) << c.parentStyle << " " << c.siblingStyle;
        EXPECT_EQ(PlatformWindowPixel(top, 90, 10), kRed);
        // The child's own coordinates start at its corner.
        EXPECT_EQ(PlatformWindowPixel(b, 40, 40), PlatformWindowPixel(top, 65, 65));
        DestroyWindow(top);
    }
}

TEST_F(UserPainting, HiddenChildrenAreNotClippedOutAndDrawNothing) {
    HWND top = MakeTopLevel(100, 100, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    HWND child = MakeChild(top, L"STATIC", 1, 0, 0, 50, 50, WS_CHILD);
    HDC childDC = GetDC(child);
    Fill(childDC, RECT{0, 0, 50, 50}, kGreen);
    ReleaseDC(child, childDC);
    HDC topDC = GetDC(top);
    Fill(topDC, RECT{0, 0, 100, 100}, kRed);
    ReleaseDC(top, topDC);
    EXPECT_EQ(PlatformWindowPixel(top, 10, 10), kRed);
}

// The demo's main window in miniature: a dialog with two buttons and an
// owner-drawn static painted by its dialog procedure with a brush of its own.
INT_PTR CALLBACK OwnerDrawDialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
    static HBRUSH background = nullptr;
    switch (message) {
        case WM_INITDIALOG: background = CreateSolidBrush(RGB(0, 0, 128)); return TRUE;
        case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(background);
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            Fill(item->hDC, item->rcItem, kGreen);
            return TRUE;
        }
        case WM_DESTROY:
            if (GetParent(hwnd) == nullptr) {
                DeleteObject(background);
                background = nullptr;
            }
            return FALSE;
        default: return FALSE;
    }
}

TEST_F(UserPainting, AWindowWithChildrenPaintedAHundredTimesLeavesNoGdiObjects) {
    TemplateBuilder dialog(true, WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN | DS_SETFONT | WS_VISIBLE, 0, 0, 200, 100,
                           L"Paint");
    dialog.Item(0x82, L"", 110, WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 0, 0, 100, 100)
        .Item(0x80, L"One", 501, WS_CHILD | WS_VISIBLE, 120, 0, 60, 20)
        .Item(0x80, L"Two", 502, WS_CHILD | WS_VISIBLE, 120, 20, 60, 20);
    const int32_t before = PlatformLiveGdiObjects().Total();
    HWND hwnd = CreateDialogIndirectParamW(nullptr, dialog.Get(), nullptr, OwnerDrawDialogProc, 0);
    ASSERT_NE(hwnd, nullptr);
    HWND button = GetDlgItem(hwnd, 501);
    for (int i = 0; i < 100; ++i) {
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PlatformInjectClick(button, 5, 5);
        HDC hdc = GetDC(GetDlgItem(hwnd, 110));
        ReleaseDC(GetDlgItem(hwnd, 110), hdc);
        PlatformPumpMessages();
    }
    EXPECT_EQ(PlatformWindowPixel(hwnd, 10, 10), kGreen);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 390, 190), RGB(0, 0, 128));
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_EQ(PlatformLiveGdiObjects().Total(), before);
}

TEST_F(UserPainting, DrawingThroughGetDcReachesTheDesktopAtRelease) {
    HWND hwnd = MakePaintedWindow();
    HDC hdc = GetDC(hwnd);
    Fill(hdc, RECT{10, 20, 30, 40}, kGreen);
    EXPECT_TRUE(ReleaseDC(hwnd, hdc));
    const std::vector<RECT> presented = PlatformTakePresentedRects(hwnd);
    ASSERT_FALSE(presented.empty());
    ASSERT_EQ(presented.size(), 1u);
    EXPECT_TRUE(SameRect(presented[0], RECT{10, 20, 30, 40}));  // only what was drawn
    EXPECT_FALSE(ReleaseDC(hwnd, hdc));                         // released once only

    // A DC used only to make compatible objects changes nothing on the desktop.
    hdc = GetDC(hwnd);
    EXPECT_TRUE(ReleaseDC(hwnd, hdc));
    EXPECT_TRUE(PlatformTakePresentedRects(hwnd).empty());

    // A screen DC makes compatible objects and is released with no window.
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    HDC memory = CreateCompatibleDC(screen);
    EXPECT_NE(memory, nullptr);
    DeleteDC(memory);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
}

TEST_F(UserPainting, DcsStillOutAreDeletedWithTheirWindow) {
    HWND hwnd = MakePaintedWindow();
    HWND child = MakeChild(hwnd, L"STATIC", 1, 0, 0, 10, 10);
    GetDC(hwnd);
    GetDC(child);
    PAINTSTRUCT paint;
    BeginPaint(child, &paint);
    DestroyWindow(child);
    DestroyWindow(hwnd);
    // TearDown checks that the live GDI count is back where it started.
}

// Invalidated rectangles wait in a list before they join the update region: with
// several times more rectangles than the list holds, validations in between and
// GetUpdateRect reading it part way, the region is exactly pixman's union of what
// was invalidated minus what was validated, and one paint clears it.
TEST_F(UserPainting, ManyInvalidationsAndValidationsGiveTheExactRegion) {
    HWND hwnd = MakePaintedWindow();
    std::mt19937 random(11);
    pixman_region32_t expected;
    pixman_region32_init(&expected);
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    for (int i = 1; i <= 700; ++i) {
        // Some rectangles reach past the client area (100 x 100) on any side.
        const int x = static_cast<int>(random() % 120) - 10;
        const int y = static_cast<int>(random() % 120) - 10;
        const RECT rect{x, y, x + 1 + static_cast<int>(random() % 30), y + 1 + static_cast<int>(random() % 30)};
        if (i % 97 == 0) {
            ValidateRect(hwnd, &rect);
            pixman_region32_t cut;
            pixman_region32_init_rect(&cut, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
            pixman_region32_subtract(&expected, &expected, &cut);
            pixman_region32_fini(&cut);
        } else {
            InvalidateRect(hwnd, &rect, FALSE);
            pixman_region32_union_rect(&expected, &expected, rect.left, rect.top, rect.right - rect.left,
                                       rect.bottom - rect.top);
            pixman_region32_intersect_rect(&expected, &expected, 0, 0, 100, 100);
        }
        if (i % 61 == 0 || i == 700) {
            SCOPED_TRACE(::testing::Message() << "after " << i << " rectangles");
            RECT box;
            EXPECT_TRUE(GetUpdateRect(hwnd, &box, FALSE));
            const pixman_box32_t* extents = pixman_region32_extents(&expected);
            EXPECT_TRUE(SameRect(box, RECT{extents->x1, extents->y1, extents->x2, extents->y2}));
            const int complexity = GetUpdateRgn(hwnd, update, FALSE);
            const int rects = pixman_region32_n_rects(&expected);
            EXPECT_EQ(complexity, rects == 0 ? NULLREGION : rects == 1 ? SIMPLEREGION : COMPLEXREGION);
            EXPECT_TRUE(pixman_region32_equal(GdiRegionData(update), &expected));
        }
    }
    UpdateWindow(hwnd);
    EXPECT_EQ(paintRecord.paints, 1);
    RECT box;
    EXPECT_FALSE(GetUpdateRect(hwnd, &box, FALSE));
    UpdateWindow(hwnd);
    EXPECT_EQ(paintRecord.paints, 1);
    DeleteObject(update);
    pixman_region32_fini(&expected);
    DestroyWindow(hwnd);
}

}  // namespace

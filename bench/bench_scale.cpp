// Scaling: one demo-like animation step on the headless backend, through the
// public engine API, for 32 to 1000 balls, two ball sizes and canvases up to
// 3840 x 2160. A step moves every ball a few pixels by the demo's bounce rule
// (SpriteMove marks the ball's old and new rectangle) and SpriteUpdateCanvas
// paints the canvas: the invalid area restored from the background, the balls
// drawn, the invalid area copied to the window.
//
// Beside each case, measured right after it, a memcpy of the bytes that frame
// writes, over the same rectangles: the exact union of the marked rectangles
// (pixman's region of them) copied row by row from a background into a back
// buffer, each ball's visible rectangle copied from a ball picture, and the union
// copied again into a window buffer.
//
// Both replay the same frames: the balls' paths after a warm-up, kPathSteps steps
// forward and back again, so that the cycle closes with moves of a few pixels too
// and every batch of kCycle iterations is the same kCycle frames.
#include "bench_scale.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cstring>

#include "bench_alloc_count.h"
#include "bench_frame_stats.h"
#include "bench_scene.h"
#include "engine/sprite_engine.h"
#include "platform/testing/platform_testing.h"
#include "tests/engine/test_dialog_template.h"

namespace {

// The balls start on the diagonal as in the demo (ball n at (n, n)); after this
// many steps they are spread over the canvas.
constexpr int32_t kWarmUpSteps = 2000;
constexpr int32_t kPathSteps = 32;
constexpr int32_t kCycle = 2 * kPathSteps;  // frames 0 .. kPathSteps, then kPathSteps - 1 .. 1
constexpr int32_t kBallFrames = 3;
constexpr int32_t kSoftening = 50;  // the demo's edge softening
constexpr int32_t kCanvasId = 100;
constexpr const char* kPictureProperty = "BenchScalePicture";

struct BallPlace {
    int32_t x, y;
};
using FramePlaces = std::vector<BallPlace>;  // ball n at index n - 1

// The demo's step on one axis (DemoStepAxis in app/demo_animation.cpp): the
// limits are tested before the move, so a ball passes an edge by up to
// speed - 1 pixels before it turns.
void BounceStep(int32_t& pos, int32_t& dir, int32_t speed, int32_t maxPos, int32_t size) {
    if (pos >= maxPos - size) dir = -1;
    if (pos <= 0) dir = 1;
    pos += dir * speed;
}

std::vector<FramePlaces> BallCycle(const BenchScaleCase& c) {
    struct Motion {
        int32_t x, y, dirX, dirY;
    };
    std::vector<Motion> balls(c.balls);
    for (int32_t n = 1; n <= c.balls; ++n) balls[n - 1] = Motion{n, n, 1, 1};
    std::vector<FramePlaces> path;
    for (int32_t step = 0; step <= kWarmUpSteps + kPathSteps; ++step) {
        for (int32_t n = 1; n <= c.balls; ++n) {
            Motion& m = balls[n - 1];
            BounceStep(m.y, m.dirY, n % 10 + 1, c.canvasHeight - 1, c.ballSize);
            BounceStep(m.x, m.dirX, n % 8 + 1, c.canvasWidth - 1, c.ballSize);
        }
        if (step < kWarmUpSteps) continue;
        FramePlaces& places = path.emplace_back(c.balls);
        for (int32_t i = 0; i < c.balls; ++i) places[i] = BallPlace{balls[i].x, balls[i].y};
    }
    std::vector<FramePlaces> cycle = path;
    for (int32_t k = kPathSteps - 1; k >= 1; --k) cycle.push_back(path[k]);
    return cycle;
}

// A ball's rectangle cut to the canvas; empty (x1 >= x2) when it is outside.
pixman_box32_t BallBox(const BenchScaleCase& c, const BallPlace& p) {
    return pixman_box32_t{std::max(p.x, 0), std::max(p.y, 0), std::min(p.x + c.ballSize, c.canvasWidth),
                          std::min(p.y + c.ballSize, c.canvasHeight)};
}
bool Empty(const pixman_box32_t& b) { return b.x1 >= b.x2 || b.y1 >= b.y2; }
int64_t Area(const pixman_box32_t& b) { return int64_t(b.x2 - b.x1) * (b.y2 - b.y1); }

// What one frame writes: the union of the marked rectangles (restored, then
// copied to the window) and every ball's visible rectangle (drawn).
struct FramePlan {
    std::vector<pixman_box32_t> invalid;  // the union's boxes, disjoint
    std::vector<pixman_box32_t> drawn;    // on the canvas
    std::vector<BallPlace> drawnFrom;     // the first pixel's offset inside the ball
    int64_t pixels = 0;                   // pixels written: invalid twice, drawn once
};

std::vector<FramePlan> PlanCycle(const BenchScaleCase& c, const std::vector<FramePlaces>& cycle) {
    std::vector<FramePlan> plans(cycle.size());
    std::vector<pixman_box32_t> marked;
    for (size_t f = 0; f < cycle.size(); ++f) {
        const FramePlaces& before = cycle[(f + cycle.size() - 1) % cycle.size()];
        const FramePlaces& now = cycle[f];
        FramePlan& plan = plans[f];
        marked.clear();
        for (int32_t i = 0; i < c.balls; ++i) {
            // A ball always moves, so SpriteMove marks both rectangles.
            for (const BallPlace& p : {before[i], now[i]}) {
                const pixman_box32_t box = BallBox(c, p);
                if (!Empty(box)) marked.push_back(box);
            }
            const pixman_box32_t box = BallBox(c, now[i]);
            if (Empty(box)) continue;
            plan.drawn.push_back(box);
            plan.drawnFrom.push_back(BallPlace{box.x1 - now[i].x, box.y1 - now[i].y});
            plan.pixels += Area(box);
        }
        pixman_region32_t region;
        pixman_region32_init_rects(&region, marked.data(), static_cast<int>(marked.size()));
        int count = 0;
        const pixman_box32_t* boxes = pixman_region32_rectangles(&region, &count);
        plan.invalid.assign(boxes, boxes + count);
        pixman_region32_fini(&region);
        for (const pixman_box32_t& box : plan.invalid) plan.pixels += 2 * Area(box);
    }
    return plans;
}

double MeanPixels(const std::vector<FramePlan>& plans) {
    int64_t total = 0;
    for (const FramePlan& plan : plans) total += plan.pixels;
    return static_cast<double>(total) / static_cast<double>(plans.size());
}

// Heap allocations and live GDI objects across the timed frames, and the pixels
// a frame writes, as the counters "allocs", "gdi" and "written".
struct ScaleStats {
    uint64_t allocations = BenchAllocations();
    int32_t gdiObjects = PlatformLiveGdiObjects().Total();

    void Report(benchmark::State& state, double pixelsPerFrame) const {
        const double frames = static_cast<double>(state.iterations());
        state.counters["allocs"] = static_cast<double>(BenchAllocations() - allocations) / frames;
        state.counters["gdi"] = PlatformLiveGdiObjects().Total() - gdiObjects;
        state.counters["written"] = pixelsPerFrame;
    }
};

// ---- The engine's frame -------------------------------------------------------

// The dialog draws the canvas's picture (a memory DC it was given at
// WM_INITDIALOG) when the owner-drawn canvas asks, which is also how the engine
// captures the canvas background.
INT_PTR CALLBACK ScaleDialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        SetPropA(hwnd, kPictureProperty, reinterpret_cast<HANDLE>(lParam));
        return TRUE;
    }
    if (msg == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const auto picture = static_cast<HDC>(GetPropA(hwnd, kPictureProperty));
        const RECT& r = item->rcItem;
        if (picture != nullptr)
            BitBlt(item->hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, picture, r.left, r.top, SRCCOPY);
        return TRUE;
    }
    if (msg == WM_DESTROY) RemovePropA(hwnd, kPictureProperty);
    return FALSE;
}

// The engine started with the case's balls on a canvas window of its own.
struct ScaleScene {
    int32_t screenWidth = 0, screenHeight = 0;  // the screen size before, to restore
    HBITMAP picture = nullptr;
    HDC pictureDC = nullptr;
    HGDIOBJ pictureBefore = nullptr;
    HWND dialog = nullptr;
    HWND canvas = nullptr;
    std::vector<std::string> names;  // LOGO1 .. LOGOn
};

void MoveBalls(const ScaleScene& scene, const FramePlaces& places) {
    for (size_t i = 0; i < places.size(); ++i) SpriteMove(scene.names[i], places[i].x, places[i].y, 0);
}

void ScaleStop(ScaleScene& scene) {
    if (scene.dialog != nullptr && IsWindow(scene.dialog)) DestroyWindow(scene.dialog);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    SpriteEngineShutdown();
    if (scene.pictureDC != nullptr) {
        SelectObject(scene.pictureDC, scene.pictureBefore);
        DeleteDC(scene.pictureDC);
    }
    if (scene.picture != nullptr) DeleteObject(scene.picture);
    if (scene.screenWidth > 0) PlatformSetScreenSize(scene.screenWidth, scene.screenHeight);
    scene = ScaleScene{};
}

// Makes the scene as the demo makes its own, with the balls at `first` and the
// canvas painted once; false (scene stopped) when a picture or window is missing.
bool ScaleStart(ScaleScene& scene, const BenchScaleCase& c, const FramePlaces& first) {
    scene = ScaleScene{};
    // A canvas larger than the screen gets a screen that holds it; the back
    // buffer is made at least the canvas's size in any case.
    scene.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    scene.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    PlatformSetScreenSize(std::max(scene.screenWidth, c.canvasWidth), std::max(scene.screenHeight, c.canvasHeight));
    SpriteEngineInit();
    SpriteEngineStart(std::max(c.balls, 10), c.canvasWidth, c.canvasHeight);

    // Background picture 1, nearest-neighbour scaled to the canvas.
    scene.picture = static_cast<HBITMAP>(LoadImageW(nullptr, BenchGraphicsWidePath("bkgnd1.bmp").c_str(),
                                                    IMAGE_BITMAP, c.canvasWidth, c.canvasHeight, LR_LOADFROMFILE));
    auto ball = static_cast<HBITMAP>(LoadImageW(nullptr, BenchGraphicsWidePath("ball3d.bmp").c_str(), IMAGE_BITMAP,
                                                c.ballSize * kBallFrames, c.ballSize, LR_LOADFROMFILE));
    if (scene.picture == nullptr || ball == nullptr) {
        if (ball != nullptr) DeleteObject(ball);
        ScaleStop(scene);
        return false;
    }
    HDC screen = GetDC(nullptr);
    scene.pictureDC = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    scene.pictureBefore = SelectObject(scene.pictureDC, scene.picture);

    // Two pixels per dialog unit with the "SYSTEM" font.
    const std::vector<WORD> tmpl =
        TestDialogTemplate("Scale", static_cast<short>(c.canvasWidth / 2), static_cast<short>(c.canvasHeight / 2));
    scene.dialog = CreateDialogIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(tmpl.data()), nullptr,
                                              &ScaleDialogProc, reinterpret_cast<LPARAM>(scene.pictureDC));
    if (scene.dialog != nullptr) {
        scene.canvas = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_OWNERDRAW, 0,
                                       0, c.canvasWidth, c.canvasHeight, scene.dialog,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCanvasId)), nullptr, nullptr);
    }
    RECT client{};
    if (scene.canvas != nullptr) GetClientRect(scene.canvas, &client);
    if (client.right != c.canvasWidth || client.bottom != c.canvasHeight) {
        DeleteObject(ball);
        ScaleStop(scene);
        return false;
    }
    ShowWindow(scene.dialog, SW_SHOW);
    SpriteAttachCanvas(scene.canvas);

    std::string list;
    for (int32_t n = 1; n <= c.balls; ++n) {
        scene.names.push_back("LOGO" + std::to_string(n));
        list += (n == 1 ? "" : "|") + scene.names.back();
        if (n == 1)
            SpriteCreateFromBitmap(scene.names.back(), ball, kBallFrames, -1, kSoftening);
        else
            SpriteClone(scene.names.back(), scene.names.front());
    }
    DeleteObject(ball);
    SpriteSetCanvas(scene.canvas, list);
    SpriteSetOpacity(list, c.opacity, 0);
    MoveBalls(scene, first);
    SpriteShow(list, 1);
    PlatformPumpMessages();  // the dialog's first paint, and the canvas's with its snapshot
    SpriteRedrawCanvas(scene.canvas);
    return true;
}

// Whether the canvas's update region is exactly the union the plan copies.
bool MarksMatchPlan(HWND canvas, const FramePlan& plan) {
    HRGN marked = CreateRectRgn(0, 0, 0, 0);
    HRGN planned = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(canvas, marked, FALSE);
    for (const pixman_box32_t& b : plan.invalid) {
        HRGN box = CreateRectRgn(b.x1, b.y1, b.x2, b.y2);
        CombineRgn(planned, planned, box, RGN_OR);
        DeleteObject(box);
    }
    const bool same = CombineRgn(planned, planned, marked, RGN_XOR) == NULLREGION;
    DeleteObject(planned);
    DeleteObject(marked);
    return same;
}

void BenchScaleFrame(benchmark::State& state, BenchScaleCase c) {
    const std::vector<FramePlaces> cycle = BallCycle(c);
    const std::vector<FramePlan> plans = PlanCycle(c, cycle);
    ScaleScene scene;
    if (!ScaleStart(scene, c, cycle.back())) {
        state.SkipWithError("pictures or the canvas window missing: build the demo_pictures target");
        return;
    }
    MoveBalls(scene, cycle.front());
    if (!MarksMatchPlan(scene.canvas, plans.front())) {
        state.SkipWithError("the marked rectangles are not the union the baseline copies");
        ScaleStop(scene);
        return;
    }
    SpriteUpdateCanvas(scene.canvas);
    for (size_t f = 1; f < cycle.size(); ++f) {  // one cycle untimed, ending where the timed ones begin
        MoveBalls(scene, cycle[f]);
        SpriteUpdateCanvas(scene.canvas);
    }
    ScaleStats stats;
    while (state.KeepRunningBatch(kCycle)) {
        for (const FramePlaces& places : cycle) {
            MoveBalls(scene, places);
            SpriteUpdateCanvas(scene.canvas);
        }
    }
    stats.Report(state, MeanPixels(plans));
    ScaleStop(scene);
}

// ---- The baseline ---------------------------------------------------------------

void BenchScaleMemcpy(benchmark::State& state, BenchScaleCase c) {
    const std::vector<FramePlan> plans = PlanCycle(c, BallCycle(c));
    const int64_t width = c.canvasWidth;
    const size_t canvasPixels = size_t(c.canvasWidth) * c.canvasHeight;
    const int64_t stripWidth = int64_t(c.ballSize) * kBallFrames;
    std::vector<uint32_t> background(canvasPixels, 0x00336699u);
    std::vector<uint32_t> back(canvasPixels);
    std::vector<uint32_t> window(canvasPixels);
    std::vector<uint32_t> ballPicture(size_t(stripWidth) * c.ballSize, 0x00CC8844u);

    auto copyBox = [width](uint32_t* to, const uint32_t* from, const pixman_box32_t& b) {
        const size_t bytes = size_t(b.x2 - b.x1) * sizeof(uint32_t);
        for (int64_t y = b.y1; y < b.y2; ++y) std::memcpy(to + y * width + b.x1, from + y * width + b.x1, bytes);
    };
    auto frame = [&](const FramePlan& plan) {
        for (const pixman_box32_t& b : plan.invalid) copyBox(back.data(), background.data(), b);
        for (size_t i = 0; i < plan.drawn.size(); ++i) {
            const pixman_box32_t& b = plan.drawn[i];
            const uint32_t* from = ballPicture.data() + plan.drawnFrom[i].y * stripWidth + plan.drawnFrom[i].x;
            const size_t bytes = size_t(b.x2 - b.x1) * sizeof(uint32_t);
            for (int64_t y = b.y1; y < b.y2; ++y, from += stripWidth)
                std::memcpy(back.data() + y * width + b.x1, from, bytes);
        }
        for (const pixman_box32_t& b : plan.invalid) copyBox(window.data(), back.data(), b);
        benchmark::ClobberMemory();
    };
    for (const FramePlan& plan : plans) frame(plan);  // the buffers' first touch, untimed
    ScaleStats stats;
    while (state.KeepRunningBatch(kCycle))
        for (const FramePlan& plan : plans) frame(plan);
    stats.Report(state, MeanPixels(plans));
}

// Each case's frame and its baseline, registered one after the other so that
// they run back to back; a case in both lists is registered once.
[[maybe_unused]] const bool kRegistered = [] {
    std::vector<BenchScaleCase> cases = BenchScaleCountCases();
    for (const BenchScaleCase& c : BenchScaleCanvasCases())
        if (std::none_of(cases.begin(), cases.end(),
                         [&](const BenchScaleCase& k) { return BenchScaleName(k, false) == BenchScaleName(c, false); }))
            cases.push_back(c);
    for (const BenchScaleCase& c : cases) {
        benchmark::RegisterBenchmark(BenchScaleName(c, false).c_str(), BenchScaleFrame, c)
            ->Unit(benchmark::kMillisecond)
            ->ComputeStatistics("best", BenchBest);
        benchmark::RegisterBenchmark(BenchScaleName(c, true).c_str(), BenchScaleMemcpy, c)
            ->Unit(benchmark::kMillisecond)
            ->ComputeStatistics("best", BenchBest);
    }
    return true;
}();

}  // namespace

std::vector<BenchScaleCase> BenchScaleCountCases() {
    std::vector<BenchScaleCase> cases;
    for (const int32_t size : {140, 32})
        for (const int32_t opacity : {0, 50})
            for (const int32_t balls : {32, 64, 128, 256, 512, 1000})
                cases.push_back(BenchScaleCase{800, 600, balls, size, opacity});
    return cases;
}

std::vector<BenchScaleCase> BenchScaleCanvasCases() {
    std::vector<BenchScaleCase> cases;
    const int32_t canvases[][2] = {{800, 600}, {1920, 1080}, {2560, 1440}, {3840, 2160}};
    for (const auto& [width, height] : canvases)
        for (const int32_t balls : {32, 1000}) cases.push_back(BenchScaleCase{width, height, balls, 140, 0});
    return cases;
}

std::string BenchScaleName(const BenchScaleCase& c, bool baseline) {
    return std::string(baseline ? "scale_memcpy/" : "scale/") + std::to_string(c.canvasWidth) + "x" +
           std::to_string(c.canvasHeight) + "/" + std::to_string(c.ballSize) + "px/n" + std::to_string(c.balls) +
           "/" + (c.opacity == 0 ? "opaque" : std::to_string(c.opacity) + "%");
}

// Sprite names and lists of any bytes through every public sprite operation:
// creation, cloning, deletion, the list commands, queries, swapping, collision
// and point tests, image drawing, painting, and the canvas windows being resized,
// hidden and destroyed in between. Names are drawn from those used before (in other
// case, with blanks, cut short, with bytes past the eighth or a NUL) or made of any
// bytes; lists mix them with empty items and stray separators.
//
// After every operation the sprite table must hold its invariants, the live GDI
// objects must be exactly what the live sprites, canvas snapshots and open image
// account for, and the queries, collision lists and point tests must agree with
// answers worked out here from the records.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "engine/canvas/canvas.h"
#include "engine/core/engine_state.h"
#include "engine/core/sprite_names.h"
#include "engine/extreme_invariants.h"
#include "engine/extreme_windows.h"
#include "engine/sprite_engine.h"
#include "fuzz_input.h"
#include "platform/testing/platform_testing.h"
#include "platform/win32.h"
#include "support/dib_support.h"

namespace {

struct Harness {
    TestCanvasWindows windows;
    std::vector<HBITMAP> sources;    // bitmaps the harness hands to the engine
    std::vector<std::string> names;  // names used so far
    GdiObjectCounts base{};          // live objects with no sprite, snapshot or open image
};

// A 32-bit picture with magenta background and a few opaque blocks.
HBITMAP MakeSource(int32_t width, int32_t height, uint32_t seed) {
    FuzzRandom random(seed);
    return TestMakePicture(width, height, [&random](int32_t, int32_t) {
        return random.Below(3) == 0 ? 0x00FF00FFu : 0x00203040u * (1 + random.Below(5));
    });
}

std::string Variant(FuzzInput& in, const std::string& name) {
    std::string text = name;
    switch (in.Byte() % 6) {
        case 0: break;
        case 1:
            for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            break;
        case 2: text = " " + text + "  "; break;
        case 3: text += "TAIL\xE9\xFF"; break;
        case 4: text = text.substr(0, in.Byte() % (text.size() + 1)); break;
        default: text += std::string(1, '\0') + "x"; break;
    }
    return text;
}

std::string Name(FuzzInput& in, Harness& h) {
    const uint8_t selector = in.Byte();
    if (selector < 150 && !h.names.empty()) return Variant(in, h.names[selector % h.names.size()]);
    std::string fresh = selector < 200 ? "Ball" + std::to_string(in.Byte()) : in.Text(12);
    if (h.names.size() < 64) h.names.push_back(fresh);
    return fresh;
}

std::string List(FuzzInput& in, Harness& h) {
    if (in.Byte() < 30) return in.Text(40);
    const int32_t count = in.Range(0, 8);
    std::string list;
    for (int32_t i = 0; i < count; ++i) {
        if (i > 0) list += '|';
        const uint8_t shape = in.Byte();
        if (shape < 20) continue;  // an empty item
        if (shape < 60) list += ' ';
        list += Name(in, h);
        if (shape >= 40 && shape < 80) list += "  ";
    }
    if (in.Byte() < 20) list += '|';
    return list;
}

HWND Window(FuzzInput& in, const Harness& h) {
    switch (in.Byte() % 8) {
        case 0: return nullptr;
        case 1: return h.windows.second;
        case 2: return h.windows.plain;
        case 3: return h.windows.dialog;
        case 4: return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x12345));
        default: return h.windows.canvas;
    }
}

int32_t Coordinate(FuzzInput& in) { return in.Byte() < 160 ? in.Range(-150, 300) : in.Extreme(); }

HANDLE CanvasProp(HWND window, CanvasProperty k) {
    if (window == nullptr || !IsWindow(window)) return nullptr;
    return GetPropA(window, MAKEINTATOM(EngineState.canvasAtoms[static_cast<int>(k)]));
}

// The table's invariants, and sprites only ever on the two canvases; returns the
// number of images owned by live sprites.
int32_t CheckTable(const Harness& h) {
    int32_t owned = 0;
    const std::string violation = TestTableViolation(owned);
    FuzzCheck(violation.empty(), "%s", violation.c_str());
    for (int32_t i = 1; i <= SprLastSlot(); ++i) {
        const HWND canvas = EngineState.SpriteTable[i].canvas;
        FuzzCheck(canvas == nullptr || canvas == h.windows.canvas || canvas == h.windows.second,
                  "slot %d is on a window that was never a canvas", i);
    }
    return owned;
}

// Snapshot bitmaps and DCs the canvases hold now.
void CountSnapshots(const Harness& h, int32_t& snapshots, int32_t& snapshotDCs) {
    snapshots = snapshotDCs = 0;
    for (HWND w : {h.windows.canvas, h.windows.second}) {
        snapshots += CanvasProp(w, CanvasProperty::backgroundBitmap) != nullptr;
        snapshotDCs += CanvasProp(w, CanvasProperty::backgroundDC) != nullptr;
    }
}

void CheckGdiObjects(const Harness& h, int32_t ownedImages) {
    int32_t snapshots = 0, snapshotDCs = 0;
    CountSnapshots(h, snapshots, snapshotDCs);
    const GdiObjectCounts now = PlatformLiveGdiObjects();
    const int32_t openDC = DrawContext.dc != nullptr ? 1 : 0;
    FuzzCheck(now.bitmaps == h.base.bitmaps + ownedImages + snapshots &&
                  now.dcs == h.base.dcs + snapshotDCs + openDC && now.regions == h.base.regions &&
                  now.brushes == h.base.brushes,
              "live objects %d/%d/%d/%d, expected %d/%d/%d/%d (bitmaps/DCs/regions/brushes)",
              now.bitmaps, now.dcs, now.regions, now.brushes, h.base.bitmaps + ownedImages + snapshots,
              h.base.dcs + snapshotDCs + openDC, h.base.regions, h.base.brushes);
}

// The pixel of a sprite's current frame at (column, row) of the frame.
uint32_t FramePixel(const SpriteRecord& r, int64_t column, int64_t row) {
    const auto* bits = reinterpret_cast<const uint32_t*>(r.bits);
    return bits[row * r.width * r.frameCount + int64_t(r.currentFrame - 1) * r.width + column];
}

FUZZ_NO_COVERAGE bool SolidOverlap(const SpriteRecord& a, const SpriteRecord& b) {
    const int64_t left = std::max<int64_t>(a.x, b.x), top = std::max<int64_t>(a.y, b.y);
    const int64_t right = std::min<int64_t>(int64_t(a.x) + a.width, int64_t(b.x) + b.width);
    const int64_t bottom = std::min<int64_t>(int64_t(a.y) + a.height, int64_t(b.y) + b.height);
    for (int64_t y = top; y < bottom; ++y)
        for (int64_t x = left; x < right; ++x)
            if (FramePixel(a, x - a.x, y - a.y) != a.transparentColor &&
                FramePixel(b, x - b.x, y - b.y) != b.transparentColor)
                return true;
    return false;
}

std::string ExpectedCollisions(const std::string& name) {
    const int32_t slot = SprFindSprite(name);
    if (SprNameKey(name) == 0 || slot == 0) return {};
    const auto& table = EngineState.SpriteTable;
    const SpriteRecord& a = table[slot];
    if (a.visible == 0 || a.bitmap == nullptr) return {};
    std::string result;
    for (int32_t i = 1; i <= SprLastSlot(); ++i) {
        const SpriteRecord& b = table[i];
        if (i == slot || b.nameKey == 0 || b.bitmap == nullptr || b.visible == 0 || b.canvas != a.canvas)
            continue;
        if (!SolidOverlap(a, b)) continue;
        if (!result.empty()) result += '|';
        result += SprKeyName(b.nameKey);
    }
    return result;
}

std::string ExpectedAtPoint(HWND window, int32_t px, int32_t py) {
    if (window == nullptr || !IsWindow(window) || !SprIsCanvas(window)) return {};
    const auto& table = EngineState.SpriteTable;
    for (int32_t i = SprLastSlot(); i >= 1; --i) {
        const SpriteRecord& r = table[i];
        if (r.nameKey == 0 || r.canvas != window || r.bitmap == nullptr || r.visible == 0) continue;
        const int64_t column = int64_t(px) - r.x, row = int64_t(py) - r.y;
        if (column < 0 || column >= r.width || row < 0 || row >= r.height) continue;
        if (FramePixel(r, column, row) == r.transparentColor) continue;
        return SprKeyName(r.nameKey);
    }
    return {};
}

void CheckQueries(const std::string& name) {
    const int32_t slot = SprFindSprite(name);
    int32_t first = -7, second = -7;
    const int32_t found = SpriteGetPosition(name, first, second);
    if (slot == 0) {
        FuzzCheck(found == 0 && first == 0 && second == 0, "a missing sprite has a position");
        FuzzCheck(SpriteGetFlag(name, "V") == 0, "a missing sprite has a flag");
        return;
    }
    const SpriteRecord& r = EngineState.SpriteTable[slot];
    FuzzCheck(found == 1 && first == r.x && second == r.y, "position query disagrees");
    FuzzCheck(SpriteGetSize(name, first, second) == 1 && first == r.width && second == r.height,
              "size query disagrees");
    FuzzCheck(SpriteGetFrame(name, first, second) == 1 && first == r.frameCount &&
                  second == r.currentFrame,
              "frame query disagrees");
    FuzzCheck(SpriteGetFlag(name, " v ") == r.visible && SpriteGetFlag(name, "e") == r.translucency &&
                  SpriteGetFlag(name, ">") == r.flipHorizontal && SpriteGetFlag(name, "^") == r.flipVertical &&
                  SpriteGetFlag(name, "VIS") == 0 && SpriteGetFlag(name, "") == 0,
              "flag query disagrees");
}

void CloseImage(FuzzInput& in) {
    if (DrawContext.dc != nullptr) SpriteEndDraw(in.Byte() < 128 ? in.Range(-5, 120) : in.Extreme());
}

void Step(FuzzInput& in, Harness& h) {
    switch (in.Byte() % 20) {
        case 0: {
            const uint8_t pick = in.Byte();
            HBITMAP source = pick < 230 ? h.sources[pick % h.sources.size()]
                                        : pick < 240 ? nullptr
                                                     : reinterpret_cast<HBITMAP>(h.windows.dialog);
            const std::string name = Name(in, h);
            const int32_t frames = in.Byte() < 128 ? in.Range(-1, 5) : in.Extreme();
            const int32_t color = in.Byte() < 128 ? -1 : in.I32();
            SpriteCreateFromBitmap(name, source, frames, color, in.Byte() < 128 ? in.Range(-5, 120) : in.Extreme());
            break;
        }
        case 1: {
            const std::string name = Name(in, h);
            SpriteClone(name, Name(in, h));
            break;
        }
        case 2: {
            const std::string name = Name(in, h);
            const int32_t slot = SprFindSprite(name);
            const HBITMAP image = slot != 0 ? EngineState.SpriteTable[slot].bitmap : nullptr;
            const bool source = slot != 0 && EngineState.SpriteTable[slot].cloneState == -1;
            SpriteDelete(name);
            FuzzCheck(SprFindSprite(name) == 0, "a deleted name still finds a sprite");
            if (source)
                for (int32_t i = 1; i <= SprLastSlot(); ++i)
                    FuzzCheck(EngineState.SpriteTable[i].nameKey == 0 || EngineState.SpriteTable[i].bitmap != image,
                              "slot %d still shows a deleted source's image", i);
            break;
        }
        case 3: {
            HWND window = Window(in, h);
            SpriteSetCanvas(window, List(in, h));
            break;
        }
        case 4: {
            const std::string list = List(in, h);
            const int32_t x = Coordinate(in), y = Coordinate(in);
            SpriteMove(list, x, y, in.Byte() & 1);
            break;
        }
        case 5: {
            const std::string list = List(in, h);
            SpriteShow(list, in.Byte() < 200 ? 1 : in.I32());
            break;
        }
        case 6: {
            const std::string list = List(in, h);
            SpriteSetOpacity(list, in.Extreme(), in.Byte() & 1);
            break;
        }
        case 7: {
            const std::string list = List(in, h);
            const int32_t frame = in.Extreme();
            SpriteSetFrame(list, frame, in.Byte() & 1, in.Byte() & 1);
            break;
        }
        case 8: {
            const std::string list = List(in, h);
            const int32_t horizontal = in.I32(), vertical = in.I32();
            SpriteSetFlip(list, horizontal, vertical, in.Byte() & 1);
            break;
        }
        case 9: CheckQueries(Name(in, h)); break;
        case 10: {
            const std::string name = Name(in, h);
            SpriteGetFlag(name, in.Text(4));
            break;
        }
        case 11: {
            const std::string a = Name(in, h), b = Name(in, h);
            const int32_t slotA = SprFindSprite(a), slotB = SprFindSprite(b);
            SpriteRecord recordA{}, recordB{};
            if (slotA != 0) recordA = EngineState.SpriteTable[slotA];
            if (slotB != 0) recordB = EngineState.SpriteTable[slotB];
            SpriteSwap(a, b);
            if (slotA != 0 && slotB != 0 && slotA != slotB)
                FuzzCheck(SprFindSprite(a) == slotB && SprFindSprite(b) == slotA &&
                              EngineState.SpriteTable[slotB].bitmap == recordA.bitmap &&
                              EngineState.SpriteTable[slotA].bitmap == recordB.bitmap,
                          "swap did not exchange the two records");
            break;
        }
        case 12: {
            const std::string name = Name(in, h);
            const std::string expected = ExpectedCollisions(name);
            const std::string got = SpriteCollisions(name);
            FuzzCheck(got == expected, "collisions \"%s\", expected \"%s\"", got.c_str(), expected.c_str());
            break;
        }
        case 13: {
            HWND window = Window(in, h);
            const int32_t x = Coordinate(in), y = Coordinate(in);
            const std::string expected = ExpectedAtPoint(window, x, y);
            const std::string got = SpriteAtPoint(window, x, y);
            FuzzCheck(got == expected, "at point \"%s\", expected \"%s\"", got.c_str(), expected.c_str());
            break;
        }
        case 14: {
            HWND window = Window(in, h);
            if (in.Byte() & 1)
                SpriteRedrawCanvas(window);
            else
                SpriteUpdateCanvas(window);
            break;
        }
        case 15: SpriteSetAutoInvalidate(in.Byte() < 200 ? 1 : in.I32()); break;
        case 16: {
            if (DrawContext.dc != nullptr) {
                CloseImage(in);
                break;
            }
            HDC dc = nullptr;
            int32_t left = 0, top = 0, right = 0, bottom = 0;
            const std::string name = Name(in, h);
            if (SpriteBeginDraw(name, in.Extreme(), dc, left, top, right, bottom) == 1) {
                HBRUSH brush = CreateSolidBrush(in.Byte() < 100 ? RGB(255, 0, 255) : RGB(1, 2, in.Byte()));
                const RECT box{left + in.Range(-3, 10), top + in.Range(-3, 10), right - in.Range(-3, 10),
                               bottom - in.Range(-3, 10)};
                FillRect(dc, &box, brush);
                DeleteObject(brush);
                if (in.Byte() < 128) CloseImage(in);  // otherwise it stays open for a while
            }
            break;
        }
        case 17: {
            HWND window = in.Byte() & 1 ? h.windows.second : h.windows.canvas;
            if (window != nullptr && IsWindow(window))
                PlatformResizeWindow(window, in.Range(0, 700), in.Range(0, 600));
            break;
        }
        case 18: {
            HWND window = in.Byte() & 1 ? h.windows.dialog : h.windows.canvas;
            if (window != nullptr && IsWindow(window)) ShowWindow(window, in.Byte() & 1 ? SW_SHOW : SW_HIDE);
            break;
        }
        default: {
            HWND window = Window(in, h);
            SpriteResetBackground(window);
            if (in.Byte() < 16 && h.windows.second != nullptr && IsWindow(h.windows.second))
                DestroyWindow(h.windows.second);  // sprites keep naming it
            break;
        }
    }
    PlatformPumpMessages(100);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const GdiObjectCounts start = PlatformLiveGdiObjects();
    FuzzInput in(data, size);
    // A small screen, so that canvases can be made larger than the back buffer.
    PlatformSetScreenSize(300, 240);
    SpriteEngineInit();
    SpriteEngineStart(in.Range(0, 40), -1, -1);
    Harness h;
    h.windows = TestOpenCanvasWindows();
    FuzzCheck(h.windows.dialog != nullptr && SprIsCanvas(h.windows.canvas) == 1, "no canvas to work on");
    for (const auto& size : {std::pair{24, 8}, std::pair{1, 1}, std::pair{9, 5}, std::pair{200, 3}})
        h.sources.push_back(MakeSource(size.first, size.second, uint32_t(size.first * 31 + size.second)));
    PlatformPumpMessages(100);
    int32_t snapshots = 0, snapshotDCs = 0;
    CountSnapshots(h, snapshots, snapshotDCs);
    h.base = PlatformLiveGdiObjects();
    h.base.bitmaps -= snapshots;
    h.base.dcs -= snapshotDCs;

    for (int32_t steps = 0; steps < 64 && !in.Empty(); ++steps) {
        Step(in, h);
        const int32_t owned = CheckTable(h);
        CheckGdiObjects(h, owned);
    }
    CloseImage(in);

    TestCloseCanvasWindows(h.windows);
    PlatformPumpMessages(100);
    SpriteEngineShutdown();
    for (HBITMAP source : h.sources) DeleteObject(source);
    const GdiObjectCounts end = PlatformLiveGdiObjects();
    FuzzCheck(end.Total() == start.Total() && PlatformLiveWindowCount() == 0,
              "a run left %d GDI objects and %d windows alive", end.Total() - start.Total(),
              PlatformLiveWindowCount());
    return 0;
}

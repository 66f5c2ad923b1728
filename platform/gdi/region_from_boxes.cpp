// Joining many overlapping boxes into one region. pixman joins unsorted,
// overlapping boxes by splitting them into runs that do not overlap and uniting
// the runs, which costs about 0.3 us a box when a thousand small moving sprites
// mark their rectangles. A sweep from top to bottom hands pixman the same area
// already cut into bands of disjoint boxes, which it takes at about 0.01 us a box.
#include <algorithm>
#include <vector>

#include "platform/gdi/gdi_objects.h"

namespace {

// Kept from call to call: the sweep runs once per paint and should not allocate.
struct GdiSweepScratch {
    std::vector<pixman_box32_t> byTop;  // the input boxes, by top edge, then left edge
    std::vector<pixman_box32_t> active; // boxes crossing the current band, by left edge
    std::vector<pixman_box32_t> passed; // the next band's active boxes, being written
    std::vector<pixman_box32_t> bands;  // the output, band by band
};
GdiSweepScratch& Scratch() {
    static GdiSweepScratch scratch;
    return scratch;
}

bool SameSpans(const pixman_box32_t* a, const pixman_box32_t* b, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (a[i].x1 != b[i].x1 || a[i].x2 != b[i].x2) return false;
    }
    return true;
}

}  // namespace

void GdiRegionFromBoxes(pixman_region32_t* region, const pixman_box32_t* boxes, size_t count) {
    GdiSweepScratch& s = Scratch();
    s.byTop.clear();
    for (size_t i = 0; i < count; ++i) {
        if (boxes[i].x1 < boxes[i].x2 && boxes[i].y1 < boxes[i].y2) s.byTop.push_back(boxes[i]);
    }
    std::sort(s.byTop.begin(), s.byTop.end(), [](const pixman_box32_t& a, const pixman_box32_t& b) {
        return a.y1 != b.y1 ? a.y1 < b.y1 : a.x1 < b.x1;
    });
    s.active.clear();
    s.bands.clear();

    size_t next = 0;          // first box of byTop not yet active
    size_t previousBand = 0;  // where the last band written starts in s.bands
    int32_t y = 0;
    while (next < s.byTop.size() || !s.active.empty()) {
        if (s.active.empty()) y = s.byTop[next].y1;
        // The boxes that start at y join the active ones, both runs in left-edge order.
        const pixman_box32_t* joining = s.byTop.data() + next;
        for (; next < s.byTop.size() && s.byTop[next].y1 <= y; ++next) {}
        const pixman_box32_t* joiningEnd = s.byTop.data() + next;
        const pixman_box32_t* staying = s.active.data();
        const pixman_box32_t* stayingEnd = staying + s.active.size();

        // The band [y, bottom) is crossed by exactly the boxes still live at y: it
        // ends where one of them ends or the next box begins.
        int32_t bottom = next < s.byTop.size() ? s.byTop[next].y1 : INT32_MAX;
        const size_t bandStart = s.bands.size();
        int32_t spanLeft = 0, spanRight = 0;
        s.passed.resize(s.active.size() + static_cast<size_t>(joiningEnd - joining));
        pixman_box32_t* const passedBegin = s.passed.data();
        pixman_box32_t* passed = passedBegin;
        // Invariant: boxes come in left-edge order, so a box that starts after the
        // span being joined ends that span for good. Boxes that ended above y are
        // dropped on the way.
        while (staying != stayingEnd || joining != joiningEnd) {
            const bool takeJoining =
                staying == stayingEnd || (joining != joiningEnd && joining->x1 < staying->x1);
            const pixman_box32_t box = takeJoining ? *joining++ : *staying++;
            if (box.y2 <= y) continue;
            bottom = std::min(bottom, box.y2);
            if (passed == passedBegin) {
                spanLeft = box.x1;
                spanRight = box.x2;
            } else if (box.x1 > spanRight) {
                s.bands.push_back(pixman_box32_t{spanLeft, y, spanRight, 0});
                spanLeft = box.x1;
                spanRight = box.x2;
            } else {
                spanRight = std::max(spanRight, box.x2);
            }
            *passed++ = box;
        }
        s.passed.resize(static_cast<size_t>(passed - passedBegin));
        s.active.swap(s.passed);
        if (s.active.empty()) continue;  // a gap: the next box starts the next band
        s.bands.push_back(pixman_box32_t{spanLeft, y, spanRight, 0});
        for (size_t i = bandStart; i < s.bands.size(); ++i) s.bands[i].y2 = bottom;

        // A band with the same spans as the one right above it extends that one.
        const size_t width = s.bands.size() - bandStart;
        if (bandStart > 0 && bandStart - previousBand == width && s.bands[previousBand].y2 == y &&
            SameSpans(s.bands.data() + previousBand, s.bands.data() + bandStart, width)) {
            for (size_t i = previousBand; i < bandStart; ++i) s.bands[i].y2 = bottom;
            s.bands.resize(bandStart);
        } else {
            previousBand = bandStart;
        }
        y = bottom;
    }
    pixman_region32_init_rects(region, s.bands.data(), static_cast<int>(s.bands.size()));
}

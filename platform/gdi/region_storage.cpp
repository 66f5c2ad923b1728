// Region arithmetic whose rectangle arrays are kept and reused, so that painting
// the same kind of picture frame after frame allocates nothing.
//
// A pixman region stores more than one rectangle in a heap array (`data`, with
// `size` slots, `numRects` used). pixman frees that array whenever a result has
// at most one rectangle, replaces it on every operation into one of its own
// operands, and reallocates a destination whose array is too small for its first
// guess (twice the larger operand) or more than twice too large for the result
// (above 50 slots). So every operation here writes into a fresh destination that
// holds an array from the pool below, presents that array to pixman with exactly
// the slots pixman will ask for, restores the real slot count afterwards, and
// hands the destination's old array back to the pool.
//
// Pool invariants:
// - Each pooled array is a heap block from malloc with room for kPoolCapacity
//   rectangles; arrays in regions carry their room in `data->size` except
//   during one pixman call.
// - An empty region may hold an array (numRects 0); pixman accepts that.
// - The arithmetic is pixman's alone: the shortcuts below only choose how many
//   slots a destination is given. A wrong guess costs an allocation, never a
//   wrong region.
#include <algorithm>
#include <cstdlib>

#include "platform/gdi/gdi_objects.h"

namespace {

// The pool is a stack of at most kPoolArrays arrays of kPoolCapacity
// rectangles (8 KiB each): enough for the regions of a busy window, and all of
// one size, so that taking and returning them never fragments the heap. A
// region that needs more gets an array of its own, freed when it is done.
constexpr int kPoolArrays = 24;
constexpr long kPoolCapacity = 512;
// pixman never shrinks an array of this many slots or fewer.
constexpr long kNeverShrunk = 50;

struct GdiRegionPool {
    pixman_region32_data_t* arrays[kPoolArrays];
    int count;
};

GdiRegionPool pool;

bool HasArray(const pixman_region32_t* region) {
    return region->data != nullptr && region->data->size > 0;
}

long RectCount(const pixman_region32_t* region) {
    return region->data != nullptr ? region->data->numRects : 1;
}

bool IsEmpty(const pixman_region32_t* region) {
    return region->data != nullptr && region->data->numRects == 0;
}

bool Contains(const pixman_box32_t& outer, const pixman_box32_t& inner) {
    return outer.x1 <= inner.x1 && outer.y1 <= inner.y1 && outer.x2 >= inner.x2 && outer.y2 >= inner.y2;
}

bool Overlap(const pixman_box32_t& a, const pixman_box32_t& b) {
    return a.x1 < b.x2 && b.x1 < a.x2 && a.y1 < b.y2 && b.y1 < a.y2;
}

// Two boxes side by side or overlapping with the same span across: pixman
// joins them into one rectangle.
bool JoinIntoOne(const pixman_box32_t& a, const pixman_box32_t& b) {
    const bool sameColumns = a.x1 == b.x1 && a.x2 == b.x2 && a.y1 <= b.y2 && b.y1 <= a.y2;
    const bool sameRows = a.y1 == b.y1 && a.y2 == b.y2 && a.x1 <= b.x2 && b.x1 <= a.x2;
    return sameColumns || sameRows;
}

// Keeps a pool-sized array for later; any other array (one pixman shrank, or
// one made for a large region) is freed.
void GiveArray(pixman_region32_data_t* array) {
    if (array->size != kPoolCapacity || pool.count == kPoolArrays) {
        free(array);
        return;
    }
    pool.arrays[pool.count++] = array;
}

// An array with room for `need` rectangles, numRects 0; nullptr when memory runs out.
pixman_region32_data_t* TakeArray(long need) {
    pixman_region32_data_t* array = nullptr;
    long capacity = kPoolCapacity;
    if (need <= kPoolCapacity && pool.count > 0) {
        array = pool.arrays[--pool.count];
    } else {
        while (capacity < need) capacity *= 2;
        const size_t bytes = sizeof(pixman_region32_data_t) + sizeof(pixman_box32_t) * static_cast<size_t>(capacity);
        array = static_cast<pixman_region32_data_t*>(malloc(bytes));
        if (array == nullptr) return nullptr;
    }
    array->size = capacity;
    array->numRects = 0;
    return array;
}

// Makes `region` empty, keeping its array in the pool.
void Detach(pixman_region32_t* region) {
    if (HasArray(region)) GiveArray(region->data);
    pixman_region32_init(region);
}

// An empty region holding an array with room for `need` rectangles (or none when
// memory runs out: pixman then allocates as usual).
void InitWithArray(pixman_region32_t* region, long need) {
    pixman_region32_init(region);
    pixman_region32_data_t* array = TakeArray(need);
    if (array == nullptr) return;
    array->numRects = 0;
    region->data = array;
}

enum class Outcome { NoArray, CopyOfA, CopyOfB, General };

// Which way pixman computes the result, from its own shortcuts: no array needed
// (empty or one rectangle), a copy of one operand, or the general band sweep.
Outcome Predict(GdiRegionOp op, const pixman_region32_t* a, const pixman_region32_t* b) {
    const bool aSingle = a->data == nullptr;
    const bool bSingle = b->data == nullptr;
    switch (op) {
        case GdiRegionOp::Union:
            if (a == b) return Outcome::CopyOfA;
            if (IsEmpty(a)) return Outcome::CopyOfB;
            if (IsEmpty(b)) return Outcome::CopyOfA;
            if (aSingle && Contains(a->extents, b->extents)) return Outcome::CopyOfA;
            if (bSingle && Contains(b->extents, a->extents)) return Outcome::CopyOfB;
            if (aSingle && bSingle && JoinIntoOne(a->extents, b->extents)) return Outcome::NoArray;
            return Outcome::General;
        case GdiRegionOp::Intersect:
            if (IsEmpty(a) || IsEmpty(b) || !Overlap(a->extents, b->extents)) return Outcome::NoArray;
            if (aSingle && bSingle) return Outcome::NoArray;
            if (bSingle && Contains(b->extents, a->extents)) return Outcome::CopyOfA;
            if (aSingle && Contains(a->extents, b->extents)) return Outcome::CopyOfB;
            if (a == b) return Outcome::CopyOfA;
            return Outcome::General;
        case GdiRegionOp::Subtract:
            if (IsEmpty(a) || IsEmpty(b) || !Overlap(a->extents, b->extents)) return Outcome::CopyOfA;
            if (a == b) return Outcome::NoArray;
            return Outcome::General;
    }
    return Outcome::General;
}

bool Run(GdiRegionOp op, pixman_region32_t* out, pixman_region32_t* a, pixman_region32_t* b) {
    switch (op) {
        case GdiRegionOp::Union: return pixman_region32_union(out, a, b);
        case GdiRegionOp::Intersect: return pixman_region32_intersect(out, a, b);
        case GdiRegionOp::Subtract: return pixman_region32_subtract(out, a, b);
    }
    return false;
}

}  // namespace

bool GdiRegionCopy(pixman_region32_t* dst, const pixman_region32_t* src) {
    if (dst == src) return true;
    auto* source = const_cast<pixman_region32_t*>(src);
    const long need = HasArray(src) ? src->data->numRects : 0;
    // pixman_region32_copy frees the destination's array for a source without one,
    // and replaces one that is too small.
    if (need < 2 || !HasArray(dst) || dst->data->size < need) {
        Detach(dst);
        if (need >= 2) InitWithArray(dst, need);
    }
    return pixman_region32_copy(dst, source);
}

bool GdiRegionCombine(pixman_region32_t* dst, const pixman_region32_t* a, const pixman_region32_t* b,
                      GdiRegionOp op) {
    auto* first = const_cast<pixman_region32_t*>(a);
    auto* second = const_cast<pixman_region32_t*>(b);
    pixman_region32_t out;
    pixman_region32_init(&out);
    // The slots pixman is shown: a copy needs the operand's count; the band sweep
    // needs its first guess, the fewest slots it accepts without growing the
    // array and the most it leaves unshrunk when the result has at least half as
    // many rectangles as the larger operand. Up to kNeverShrunk slots are shown
    // whatever the result, as room to grow.
    long shown = 0;
    switch (Predict(op, a, b)) {
        case Outcome::NoArray: break;
        case Outcome::CopyOfA: shown = RectCount(a) >= 2 ? RectCount(a) : 0; break;
        case Outcome::CopyOfB: shown = RectCount(b) >= 2 ? RectCount(b) : 0; break;
        case Outcome::General:
            shown = std::max(2 * std::max(RectCount(a), RectCount(b)), kNeverShrunk);
            break;
    }
    pixman_region32_data_t* array = nullptr;
    long capacity = 0;
    if (shown > 0) {
        InitWithArray(&out, shown);
        if (HasArray(&out)) {
            array = out.data;
            capacity = array->size;
            array->size = shown;
        }
    }
    const bool ok = Run(op, &out, first, second);
    if (array != nullptr && out.data == array && array->size == shown) {
        // Still our array at the size shown: pixman neither grew, shrank nor freed it.
        array->size = capacity;
    } else if (ok && HasArray(&out) && out.data->size != kPoolCapacity && out.data->numRects <= kPoolCapacity) {
        // pixman made or reallocated the array: the result moves to a pool array,
        // so that only arrays of one size stay in use from frame to frame.
        pixman_region32_t moved;
        InitWithArray(&moved, out.data->numRects);
        if (pixman_region32_copy(&moved, &out)) {
            pixman_region32_fini(&out);
            out = moved;
        } else {
            pixman_region32_fini(&moved);
        }
    }
    Detach(dst);
    *dst = out;
    return ok;
}

void GdiRegionClear(pixman_region32_t* region) { Detach(region); }

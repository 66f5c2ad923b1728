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
// - Each pooled array is a heap block from malloc/realloc with room for
//   `capacity` rectangles; arrays in regions carry their room in `data->size`
//   except during one pixman call.
// - An empty region may hold an array (numRects 0); pixman accepts that.
// - The arithmetic is pixman's alone: the shortcuts below only choose whether a
//   destination needs an array. A wrong guess costs an allocation, never a
//   wrong region.
#include <algorithm>
#include <cstdlib>

#include "platform/gdi/gdi_objects.h"

namespace {

constexpr int kPoolArrays = 48;
constexpr long kMinCapacity = 64;
// pixman never shrinks an array of this many slots or fewer.
constexpr long kNeverShrunk = 50;

struct GdiRegionPool {
    pixman_region32_data_t* arrays[kPoolArrays];
    long capacities[kPoolArrays];
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

// Keeps an array for later; the pool drops its smallest one when full.
void GiveArray(pixman_region32_data_t* array) {
    const long capacity = array->size;
    if (pool.count == kPoolArrays) {
        int smallest = 0;
        for (int i = 1; i < pool.count; ++i) {
            if (pool.capacities[i] < pool.capacities[smallest]) smallest = i;
        }
        if (pool.capacities[smallest] >= capacity) {
            free(array);
            return;
        }
        free(pool.arrays[smallest]);
        pool.arrays[smallest] = pool.arrays[--pool.count];
        pool.capacities[smallest] = pool.capacities[pool.count];
    }
    pool.arrays[pool.count] = array;
    pool.capacities[pool.count] = capacity;
    ++pool.count;
}

// An array with room for `need` rectangles: the smallest pooled one that fits,
// else the largest grown, else a new one. nullptr when memory runs out.
pixman_region32_data_t* TakeArray(long need) {
    int best = -1;
    for (int i = 0; i < pool.count; ++i) {
        if (pool.capacities[i] >= need && (best < 0 || pool.capacities[i] < pool.capacities[best])) best = i;
    }
    if (best >= 0) {
        pixman_region32_data_t* array = pool.arrays[best];
        pool.arrays[best] = pool.arrays[--pool.count];
        pool.capacities[best] = pool.capacities[pool.count];
        return array;
    }
    // Grown with room to spare, so that a growing picture settles after a few frames.
    long capacity = kMinCapacity;
    while (capacity < 2 * need) capacity *= 2;
    const size_t bytes = sizeof(pixman_region32_data_t) + sizeof(pixman_box32_t) * static_cast<size_t>(capacity);
    int largest = -1;
    for (int i = 0; i < pool.count; ++i) {
        if (largest < 0 || pool.capacities[i] > pool.capacities[largest]) largest = i;
    }
    pixman_region32_data_t* old = nullptr;
    if (largest >= 0) {
        old = pool.arrays[largest];
        pool.arrays[largest] = pool.arrays[--pool.count];
        pool.capacities[largest] = pool.capacities[pool.count];
    }
    auto* array = static_cast<pixman_region32_data_t*>(realloc(old, bytes));
    if (array == nullptr) {
        if (old != nullptr) GiveArray(old);
        return nullptr;
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
    bool ok = true;
    switch (Predict(op, a, b)) {
        case Outcome::NoArray: ok = Run(op, &out, first, second); break;
        case Outcome::CopyOfA: ok = GdiRegionCopy(&out, a); break;
        case Outcome::CopyOfB: ok = GdiRegionCopy(&out, b); break;
        case Outcome::General: {
            // pixman's first guess; an array of at most kNeverShrunk slots is
            // never shrunk, so small results get the room to grow into.
            const long guess = 2 * std::max(RectCount(a), RectCount(b));
            InitWithArray(&out, guess);
            pixman_region32_data_t* array = HasArray(&out) ? out.data : nullptr;
            const long capacity = array != nullptr ? array->size : 0;
            const long shown = guess <= kNeverShrunk ? std::min(capacity, kNeverShrunk) : guess;
            if (array != nullptr) array->size = shown;
            ok = Run(op, &out, first, second);
            // Still our array at the size shown: pixman neither grew, shrank nor freed it.
            if (array != nullptr && out.data == array && array->size == shown) array->size = capacity;
            break;
        }
    }
    Detach(dst);
    *dst = out;
    return ok;
}

void GdiRegionClear(pixman_region32_t* region) { Detach(region); }

// The handle table of GDI objects and live counts.
// The invariants are stated in gdi_objects.h.
#include <cstdlib>
#include <cstring>

#include "platform/gdi/gdi_objects.h"

namespace {

constexpr uint64_t kTag = 0x5Dull;
constexpr int kTagShift = 56;
constexpr int kGenerationShift = 24;
constexpr uint32_t kMaxSlots = (1u << kGenerationShift) - 1;

struct GdiSlot {
    void* object;
    uint32_t generation;
    uint32_t nextFree;  // index + 1 of the next free slot, 0 at the end
    GdiKind kind;
    bool counted;
};

// Objects counted as live, per kind.
struct GdiLiveCounts {
    int32_t bitmaps;
    int32_t dcs;
    int32_t regions;
    int32_t brushes;
};

struct GdiHandleTable {
    GdiSlot* slots;
    uint32_t capacity;
    uint32_t used;       // slots ever handed out; [used, capacity) never used yet
    uint32_t firstFree;  // index + 1 of the first freed slot, 0 when none
    GdiLiveCounts live;
};

GdiHandleTable table;

int32_t* CounterOf(GdiKind kind) {
    switch (kind) {
        case GdiKind::Bitmap: return &table.live.bitmaps;
        case GdiKind::DC: return &table.live.dcs;
        case GdiKind::Region: return &table.live.regions;
        case GdiKind::Brush: return &table.live.brushes;
        case GdiKind::None: break;
    }
    return nullptr;
}

void* MakeHandle(uint32_t index, uint32_t generation) {
    const uint64_t value = (kTag << kTagShift) |
                           (static_cast<uint64_t>(generation & 0xFFFFFFFFu) << kGenerationShift) |
                           (index + 1);
    return reinterpret_cast<void*>(static_cast<uintptr_t>(value));
}

// The live slot a handle names, or nullptr.
GdiSlot* SlotOf(const void* handle) {
    const uint64_t value = reinterpret_cast<uintptr_t>(handle);
    if ((value >> kTagShift) != kTag) return nullptr;
    const uint64_t low = value & ((1ull << kGenerationShift) - 1);
    if (low == 0 || low > table.used) return nullptr;
    GdiSlot* slot = &table.slots[low - 1];
    const uint32_t generation = static_cast<uint32_t>((value >> kGenerationShift) & 0xFFFFFFFFu);
    if (slot->kind == GdiKind::None || slot->generation != generation) return nullptr;
    return slot;
}

void* Lookup(const void* handle, GdiKind kind) {
    const GdiSlot* slot = SlotOf(handle);
    return slot != nullptr && slot->kind == kind ? slot->object : nullptr;
}

}  // namespace

void* GdiAllocHandle(GdiKind kind, void* object, bool counted) {
    uint32_t index;
    if (table.firstFree != 0) {
        index = table.firstFree - 1;
        table.firstFree = table.slots[index].nextFree;
    } else {
        if (table.used == table.capacity) {
            if (table.capacity >= kMaxSlots) return nullptr;
            uint32_t grown = table.capacity == 0 ? 256 : table.capacity * 2;
            if (grown > kMaxSlots) grown = kMaxSlots;
            auto* slots = static_cast<GdiSlot*>(realloc(table.slots, sizeof(GdiSlot) * grown));
            if (slots == nullptr) return nullptr;
            table.slots = slots;
            table.capacity = grown;
        }
        index = table.used++;
        table.slots[index].generation = 1;
    }
    GdiSlot& slot = table.slots[index];
    slot.object = object;
    slot.kind = kind;
    slot.counted = counted;
    slot.nextFree = 0;
    if (counted) ++*CounterOf(kind);
    return MakeHandle(index, slot.generation);
}

void GdiFreeHandle(void* handle) {
    GdiSlot* slot = SlotOf(handle);
    if (slot == nullptr) return;
    if (slot->counted) --*CounterOf(slot->kind);
    slot->kind = GdiKind::None;
    slot->object = nullptr;
    ++slot->generation;
    slot->nextFree = table.firstFree;
    table.firstFree = static_cast<uint32_t>(slot - table.slots) + 1;
}

GdiKind GdiKindOf(const void* handle) {
    const GdiSlot* slot = SlotOf(handle);
    return slot == nullptr ? GdiKind::None : slot->kind;
}

GdiBitmap* GdiLookupBitmap(const void* handle) {
    return static_cast<GdiBitmap*>(Lookup(handle, GdiKind::Bitmap));
}
GdiDC* GdiLookupDC(const void* handle) { return static_cast<GdiDC*>(Lookup(handle, GdiKind::DC)); }
GdiRegion* GdiLookupRegion(const void* handle) {
    return static_cast<GdiRegion*>(Lookup(handle, GdiKind::Region));
}
GdiBrush* GdiLookupBrush(const void* handle) {
    return static_cast<GdiBrush*>(Lookup(handle, GdiKind::Brush));
}

int32_t GdiLiveCount(GdiKind kind) {
    const int32_t* counter = CounterOf(kind);
    return counter != nullptr ? *counter : 0;
}


// The sprite table's rules as one check. Keys and images are sorted rather than
// compared pairwise, so that a debug build's check after every operation stays
// cheap on a table of 1000 slots.
#include "engine/core/sprite_table_check.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "engine/core/engine_state.h"

namespace {

// The lowest slot of the first pair of entries with the same value, or 0. Sorts
// `entries` (value, slot).
template <typename Value>
int32_t SprFirstRepeat(std::vector<std::pair<Value, int32_t>>& entries) {
    std::sort(entries.begin(), entries.end());
    for (size_t i = 1; i < entries.size(); ++i)
        if (entries[i].first == entries[i - 1].first) return entries[i - 1].second;
    return 0;
}

}  // namespace

SprTableFault SprCheckSpriteTable() {
    const auto& table = EngineState.SpriteTable;
    if (table.empty()) return {nullptr, 0};
    if (table[0].nameKey != 0 || table[0].bitmap != nullptr) return {"slot 0 is used", 0};

    const int32_t last = SprLastSlot();
    std::vector<std::pair<int64_t, int32_t>> keys;
    // Images as numbers, so that sorting them compares addresses that need not be
    // related: those of sources (cloneState -1) and of every live owner.
    std::vector<std::pair<uintptr_t, int32_t>> sources;
    std::vector<std::pair<uintptr_t, int32_t>> owned;
    for (int32_t slot = 1; slot <= last; ++slot) {
        const SpriteRecord& r = table[slot];
        if (r.nameKey == 0) {
            if (r.bitmap != nullptr || r.canvas != nullptr) return {"a free slot keeps an image or canvas", slot};
            continue;
        }
        if (r.cloneState < -1 || r.cloneState > 1) return {"cloneState is not -1, 0 or 1", slot};
        keys.emplace_back(r.nameKey, slot);
        if (r.bitmap == nullptr || r.cloneState == 1) continue;
        const auto image = reinterpret_cast<uintptr_t>(r.bitmap);
        owned.emplace_back(image, slot);
        if (r.cloneState == -1) sources.emplace_back(image, slot);
    }
    if (const int32_t slot = SprFirstRepeat(keys); slot != 0) return {"two slots hold one name", slot};
    if (const int32_t slot = SprFirstRepeat(owned); slot != 0) return {"two sprites own one image", slot};

    std::sort(sources.begin(), sources.end());
    for (int32_t slot = 1; slot <= last; ++slot) {
        const SpriteRecord& r = table[slot];
        if (r.nameKey == 0 || r.cloneState != 1 || r.bitmap == nullptr) continue;
        const auto image = reinterpret_cast<uintptr_t>(r.bitmap);
        const auto found = std::lower_bound(sources.begin(), sources.end(), std::pair(image, int32_t{0}));
        if (found == sources.end() || found->first != image) return {"a clone outlived its source", slot};
    }
    return {nullptr, 0};
}

#ifndef NDEBUG
void SprAssertSpriteTable() {
    const SprTableFault fault = SprCheckSpriteTable();
    if (fault.rule == nullptr) return;
    std::fprintf(stderr, "sprite table: %s (slot %d)\n", fault.rule, fault.slot);
    std::abort();
}
#endif

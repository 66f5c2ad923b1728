// The blend lookup tables: MulTable[a * 256 + v] = a * v and DivTable[i] = i / 100,
// so that blending in whole percent needs no multiplication or division per pixel.
#include "engine/core/blend_tables.h"

#include <vector>

#include "engine/core/engine_state.h"

namespace {
constexpr int kMulEntries = 101 * 256 + 1;  // the last entry stays 0 and is never read
constexpr int kDivEntries = 100 * 255 + 1;  // every weighted sum 0..25,500
}  // namespace

void SprBuildBlendTables() {
    BlendTablesData& tables = EngineState.BlendTables;
    tables.DivTable.assign(kDivEntries, 0);
    for (int i = 0; i < kDivEntries; ++i) tables.DivTable[i] = static_cast<BYTE>(i / 100);
    tables.MulTable.assign(kMulEntries, 0);
    for (int a = 0; a <= 100; ++a)
        for (int v = 0; v < 256; ++v) tables.MulTable[a * 256 + v] = a * v;
}

void SprFreeBlendTables() {
    // Swapping with empty vectors gives the memory back, unlike clear().
    std::vector<int32_t>().swap(EngineState.BlendTables.MulTable);
    std::vector<BYTE>().swap(EngineState.BlendTables.DivTable);
}

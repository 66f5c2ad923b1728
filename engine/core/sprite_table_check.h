// The sprite table's rules (engine_state.h states them) as one check, and the
// debug-build assertion that the operations changing the table call.
#pragma once

#include <cstdint>

// The first rule the table breaks and the slot where; rule is nullptr when every
// rule holds.
struct SprTableFault {
    const char* rule;
    int32_t slot;
};

// Walks the whole table: slot 0 unused, a free slot (key 0) keeps no image or
// canvas, cloneState is -1, 0 or 1, at most one slot holds a key, no image has
// two owners, and a clone with an image shares it with a live source.
SprTableFault SprCheckSpriteTable();

// After a public operation that changes which slots are used, their names, their
// images or the clone relation. In debug builds (NDEBUG not defined) a broken rule
// stops the program with the rule and the slot; release builds do nothing.
#ifdef NDEBUG
inline void SprAssertSpriteTable() {}
#else
void SprAssertSpriteTable();
#endif

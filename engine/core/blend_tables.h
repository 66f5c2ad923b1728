// Lookup tables for blending in whole percent; see BlendTablesData.
#pragma once

void SprBuildBlendTables();
void SprFreeBlendTables();

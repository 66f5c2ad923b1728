// The vector kernel sets that the kernel tests run, one test instance each.
#pragma once

#include <ostream>

#include "engine/render/compose_kernels.h"

struct KernelSetCase {
    const char* name;
    SprKernelSet set;
};
inline const KernelSetCase kVectorSets[] = {
    {"Sse41", SprKernelSetSse41}, {"Avx2", SprKernelSetAvx2}, {"Avx512", SprKernelSetAvx512}};
// Test names and messages show the set by its name.
inline void PrintTo(const KernelSetCase& c, std::ostream* os) { *os << c.name; }

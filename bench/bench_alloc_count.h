// Heap allocations made by this benchmark binary: malloc and its relatives are
// replaced here by counting wrappers around the C library's own allocator, so
// operator new and every library's allocations are counted too.
#pragma once

#include <cstdint>

// Allocations (malloc, calloc, realloc, aligned variants) since the program began.
uint64_t BenchAllocations();

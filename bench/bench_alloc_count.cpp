// Counting allocator: the program's malloc family forwards to the C library's
// internal entry points and counts each call that may allocate.
#include "bench_alloc_count.h"

#include <atomic>
#include <cerrno>
#include <cstddef>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* pointer);
}

namespace {
// Relaxed: the benchmark library may allocate from a thread of its own.
std::atomic<uint64_t> Allocations{0};
inline void BenchCount() { Allocations.fetch_add(1, std::memory_order_relaxed); }
}  // namespace

uint64_t BenchAllocations() { return Allocations.load(std::memory_order_relaxed); }

extern "C" {
void* malloc(size_t size) {
    BenchCount();
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
    BenchCount();
    return __libc_calloc(count, size);
}
void* realloc(void* pointer, size_t size) {
    BenchCount();
    return __libc_realloc(pointer, size);
}
void* memalign(size_t alignment, size_t size) {
    BenchCount();
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(size_t alignment, size_t size) {
    BenchCount();
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, size_t alignment, size_t size) {
    BenchCount();
    void* pointer = __libc_memalign(alignment, size);
    if (!pointer) return ENOMEM;
    *out = pointer;
    return 0;
}
void free(void* pointer) { __libc_free(pointer); }
}

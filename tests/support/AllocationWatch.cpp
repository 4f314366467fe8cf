#include "tests/support/AllocationWatch.h"

#include <atomic>

#if defined(__SANITIZE_ADDRESS__)
#define ZZ_WATCH_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
#define ZZ_WATCH_ALLOCATIONS 0
#endif
#endif
#ifndef ZZ_WATCH_ALLOCATIONS
#define ZZ_WATCH_ALLOCATIONS 1
#endif

#if ZZ_WATCH_ALLOCATIONS
namespace {
std::atomic<std::size_t> g_largest{0};

void note(std::size_t n)
{
    std::size_t seen = g_largest.load(std::memory_order_relaxed);
    while (n > seen && !g_largest.compare_exchange_weak(seen, n, std::memory_order_relaxed)) {
    }
}
} // namespace

// The C library's own entry points, under the names it exports them by as well.
extern "C" void* __libc_malloc(std::size_t);
extern "C" void* __libc_realloc(void*, std::size_t);

extern "C" void* malloc(std::size_t n)
{
    note(n);
    return __libc_malloc(n);
}

extern "C" void* realloc(void* p, std::size_t n)
{
    note(n);
    return __libc_realloc(p, n);
}
#endif

namespace zz::test {

bool allocationsWatched() { return ZZ_WATCH_ALLOCATIONS; }

std::size_t largestAllocation(const std::function<void()>& work)
{
#if ZZ_WATCH_ALLOCATIONS
    g_largest = 0;
    work();
    return g_largest;
#else
    work();
    return 0;
#endif
}

} // namespace zz::test

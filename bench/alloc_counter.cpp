#include "alloc_counter.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>

// The executable defines the C allocation functions itself and forwards them to glibc's
// allocator. Counting at this level sees every heap allocation: operator new (libstdc++
// allocates through malloc) as well as Qt's containers and strings, which call malloc
// directly and would slip past a replaced operator new.
extern "C" {
void *__libc_malloc(std::size_t size);
void *__libc_calloc(std::size_t count, std::size_t size);
void *__libc_realloc(void *p, std::size_t size);
void *__libc_memalign(std::size_t alignment, std::size_t size);
void *__libc_valloc(std::size_t size);
void *__libc_pvalloc(std::size_t size);
void __libc_free(void *p);
}

namespace {

std::atomic<std::size_t> allocations {0};

void count()
{
    allocations.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

std::size_t bench::allocationCount()
{
    return allocations.load(std::memory_order_relaxed);
}

extern "C" {

void *malloc(std::size_t size) noexcept
{
    count();
    return __libc_malloc(size);
}

void *calloc(std::size_t count_, std::size_t size) noexcept
{
    count();
    return __libc_calloc(count_, size);
}

void *realloc(void *p, std::size_t size) noexcept
{
    count();
    return __libc_realloc(p, size);
}

void *memalign(std::size_t alignment, std::size_t size) noexcept
{
    count();
    return __libc_memalign(alignment, size);
}

void *aligned_alloc(std::size_t alignment, std::size_t size) noexcept
{
    count();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void **out, std::size_t alignment, std::size_t size) noexcept
{
    if (alignment % sizeof(void *) != 0 || (alignment & (alignment - 1)) != 0)
        return EINVAL;
    count();
    void *p = __libc_memalign(alignment, size);
    if (!p && size != 0)
        return ENOMEM;
    *out = p;
    return 0;
}

void *valloc(std::size_t size) noexcept
{
    count();
    return __libc_valloc(size);
}

void *pvalloc(std::size_t size) noexcept
{
    count();
    return __libc_pvalloc(size);
}

void free(void *p) noexcept
{
    __libc_free(p);
}

} // extern "C"

// Counting replacements for every form of the global operator new and delete. They sit on top of
// malloc, so a block's usable size, read back with malloc_usable_size, keeps the live byte count
// exact without a header of our own.
#include "bench/HeapCounter.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::atomic<std::uint64_t> allocations{0};
std::atomic<std::uint64_t> frees{0};
std::atomic<std::uint64_t> liveBytes{0};
std::atomic<std::uint64_t> peakBytes{0};

void* Counted(void* block)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    const std::uint64_t live =
        liveBytes.fetch_add(malloc_usable_size(block), std::memory_order_relaxed) + malloc_usable_size(block);
    std::uint64_t peak = peakBytes.load(std::memory_order_relaxed);
    while (live > peak && !peakBytes.compare_exchange_weak(peak, live, std::memory_order_relaxed)) {}
    return block;
}

void* Allocate(std::size_t size)
{
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    return Counted(block);
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment)
{
    void* block = nullptr;
    const auto align = std::max(static_cast<std::size_t>(alignment), sizeof(void*));
    if (posix_memalign(&block, align, size == 0 ? 1 : size) != 0) throw std::bad_alloc();
    return Counted(block);
}

void Release(void* block) noexcept
{
    if (block == nullptr) return;
    frees.fetch_add(1, std::memory_order_relaxed);
    liveBytes.fetch_sub(malloc_usable_size(block), std::memory_order_relaxed);
    std::free(block);
}

} // namespace

namespace qvbench {

HeapCounts ProcessHeap()
{
    HeapCounts counts;
    counts.allocations = allocations.load(std::memory_order_relaxed);
    counts.frees = frees.load(std::memory_order_relaxed);
    counts.liveBytes = liveBytes.load(std::memory_order_relaxed);
    counts.peakBytes = peakBytes.load(std::memory_order_relaxed);
    return counts;
}

void ResetPeakHeap() { peakBytes.store(liveBytes.load(std::memory_order_relaxed), std::memory_order_relaxed); }

} // namespace qvbench

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) { return AllocateAligned(size, alignment); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return AllocateAligned(size, alignment); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }

void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    try {
        return AllocateAligned(size, alignment);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t& tag) noexcept
{
    return operator new(size, alignment, tag);
}

void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete(void* block, std::align_val_t) noexcept { Release(block); }
void operator delete[](void* block, std::align_val_t) noexcept { Release(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { Release(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept { Release(block); }

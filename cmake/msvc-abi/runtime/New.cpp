// Every form of operator new and delete, which Visual C++'s static runtime defines in each module:
// on the Universal CRT's heap (malloc and free, _aligned_malloc for over-aligned types), calling the
// new handler (_callnewh) before giving up with std::bad_alloc.
#include <cstdlib>
#include <malloc.h>
#include <new>

extern "C" __declspec(dllimport) int __cdecl _callnewh(size_t size);

namespace std {
const nothrow_t nothrow{};
}

namespace {

void* Allocate(size_t size)
{
    if (size == 0) size = 1;
    for (;;) {
        if (void* block = std::malloc(size)) return block;
        if (_callnewh(size) == 0) throw std::bad_alloc();
    }
}

void* AllocateAligned(size_t size, std::align_val_t alignment)
{
    if (size == 0) size = 1;
    for (;;) {
        if (void* block = _aligned_malloc(size, static_cast<size_t>(alignment))) return block;
        if (_callnewh(size) == 0) throw std::bad_alloc();
    }
}

template <class Allocation>
void* OrNull(Allocation allocate) noexcept
{
    try {
        return allocate();
    } catch (...) {
        return nullptr;
    }
}

} // namespace

void* __cdecl operator new(size_t size) { return Allocate(size); }
void* __cdecl operator new[](size_t size) { return Allocate(size); }
void* __cdecl operator new(size_t size, const std::nothrow_t&) noexcept
{
    return OrNull([size] { return Allocate(size); });
}
void* __cdecl operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return OrNull([size] { return Allocate(size); });
}
void __cdecl operator delete(void* block) noexcept { std::free(block); }
void __cdecl operator delete[](void* block) noexcept { std::free(block); }
void __cdecl operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void __cdecl operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
void __cdecl operator delete(void* block, size_t) noexcept { std::free(block); }
void __cdecl operator delete[](void* block, size_t) noexcept { std::free(block); }

void* __cdecl operator new(size_t size, std::align_val_t alignment) { return AllocateAligned(size, alignment); }
void* __cdecl operator new[](size_t size, std::align_val_t alignment) { return AllocateAligned(size, alignment); }
void* __cdecl operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return OrNull([=] { return AllocateAligned(size, alignment); });
}
void* __cdecl operator new[](size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return OrNull([=] { return AllocateAligned(size, alignment); });
}
void __cdecl operator delete(void* block, std::align_val_t) noexcept { _aligned_free(block); }
void __cdecl operator delete[](void* block, std::align_val_t) noexcept { _aligned_free(block); }
void __cdecl operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept { _aligned_free(block); }
void __cdecl operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept { _aligned_free(block); }
void __cdecl operator delete(void* block, size_t, std::align_val_t) noexcept { _aligned_free(block); }
void __cdecl operator delete[](void* block, size_t, std::align_val_t) noexcept { _aligned_free(block); }

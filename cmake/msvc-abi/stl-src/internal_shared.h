// Stands in for Visual C++'s internal <internal_shared.h>, as far as the standard library's sources
// compiled here use it: the C runtime's own heap functions, which are the Universal CRT's heap, and
// an owner of a block from it.
#pragma once

#include <cstdlib>

#define _malloc_crt malloc
#define _calloc_crt calloc
#define _free_crt free
#define _malloc_crt_t(t, n) static_cast<t*>(malloc((n) * sizeof(t)))

template <class _Ty>
class __crt_unique_heap_ptr {
public:
    __crt_unique_heap_ptr() noexcept = default;
    __crt_unique_heap_ptr(const __crt_unique_heap_ptr&) = delete;
    __crt_unique_heap_ptr& operator=(const __crt_unique_heap_ptr&) = delete;
    ~__crt_unique_heap_ptr() { free(_Ptr); }
    __crt_unique_heap_ptr& operator=(_Ty* const _Block) noexcept
    {
        free(_Ptr);
        _Ptr = _Block;
        return *this;
    }
    _Ty* get() const noexcept { return _Ptr; }
    explicit operator bool() const noexcept { return _Ptr != nullptr; }

private:
    _Ty* _Ptr = nullptr;
};

// Stands in for Visual C++'s <vcruntime_new.h>: every form of operator new and delete, as the static
// runtime (cmake/msvc-abi/runtime/New.cpp) defines them, and the placement forms inline.
#pragma once

#include <vcruntime.h>

#pragma pack(push, _CRT_PACKING)

extern "C++" {

namespace std {
enum class align_val_t : size_t {};
struct nothrow_t {
    explicit nothrow_t() = default;
};
extern const nothrow_t nothrow;
} // namespace std

_NODISCARD _VCRT_ALLOCATOR void* __cdecl operator new(size_t _Size);
_NODISCARD _VCRT_ALLOCATOR void* __cdecl operator new(size_t _Size, const std::nothrow_t&) noexcept;
_NODISCARD _VCRT_ALLOCATOR void* __cdecl operator new[](size_t _Size);
_NODISCARD _VCRT_ALLOCATOR void* __cdecl operator new[](size_t _Size, const std::nothrow_t&) noexcept;
void __cdecl operator delete(void* _Block) noexcept;
void __cdecl operator delete(void* _Block, const std::nothrow_t&) noexcept;
void __cdecl operator delete[](void* _Block) noexcept;
void __cdecl operator delete[](void* _Block, const std::nothrow_t&) noexcept;
void __cdecl operator delete(void* _Block, size_t _Size) noexcept;
void __cdecl operator delete[](void* _Block, size_t _Size) noexcept;

_NODISCARD _VCRT_ALLOCATOR void* __cdecl operator new(size_t _Size, std::align_val_t _Al);
_NODISCARD _VCRT_ALLOCATOR void* __cdecl operator new(size_t _Size, std::align_val_t _Al,
                                                      const std::nothrow_t&) noexcept;
_NODISCARD _VCRT_ALLOCATOR void* __cdecl operator new[](size_t _Size, std::align_val_t _Al);
_NODISCARD _VCRT_ALLOCATOR void* __cdecl operator new[](size_t _Size, std::align_val_t _Al,
                                                        const std::nothrow_t&) noexcept;
void __cdecl operator delete(void* _Block, std::align_val_t _Al) noexcept;
void __cdecl operator delete(void* _Block, std::align_val_t _Al, const std::nothrow_t&) noexcept;
void __cdecl operator delete[](void* _Block, std::align_val_t _Al) noexcept;
void __cdecl operator delete[](void* _Block, std::align_val_t _Al, const std::nothrow_t&) noexcept;
void __cdecl operator delete(void* _Block, size_t _Size, std::align_val_t _Al) noexcept;
void __cdecl operator delete[](void* _Block, size_t _Size, std::align_val_t _Al) noexcept;

#ifndef __PLACEMENT_NEW_INLINE
#define __PLACEMENT_NEW_INLINE
_NODISCARD inline void* __cdecl operator new(size_t _Size, void* _Where) noexcept
{
    (void)_Size;
    return _Where;
}
inline void __cdecl operator delete(void*, void*) noexcept {}
#endif
#ifndef __PLACEMENT_VEC_NEW_INLINE
#define __PLACEMENT_VEC_NEW_INLINE
_NODISCARD inline void* __cdecl operator new[](size_t _Size, void* _Where) noexcept
{
    (void)_Size;
    return _Where;
}
inline void __cdecl operator delete[](void*, void*) noexcept {}
#endif
}

#pragma pack(pop)

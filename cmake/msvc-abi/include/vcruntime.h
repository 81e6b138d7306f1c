// Stands in for Visual C++'s <vcruntime.h>, which Microsoft's standard library includes first: the
// calling and import macros, the language-level switches and the basic types. Written from the
// documented interface; MinGW-w64's <_mingw.h> comes first so that what it already defines for the
// C headers stays the same here.
#pragma once

#include <_mingw.h>
#include <sal.h>
#include <vadefs.h>

#define _VCRT_COMPILER_PREPROCESSOR 1

// Source annotations the standard library uses that MinGW-w64's <sal.h> lacks; they mean nothing to
// the compiler.
#ifndef _Deref_post_opt_valid_
#define _Deref_post_opt_valid_
#endif

// clang-format off
#ifdef __cplusplus
#define _CRT_BEGIN_C_HEADER __pragma(pack(push, _CRT_PACKING)) extern "C" {
#define _CRT_END_C_HEADER } __pragma(pack(pop))
#else
#define _CRT_BEGIN_C_HEADER __pragma(pack(push, _CRT_PACKING))
#define _CRT_END_C_HEADER __pragma(pack(pop))
#endif
// clang-format on

#ifndef _CRT_PACKING
#define _CRT_PACKING 8
#endif

// The runtime DLLs: vcruntime140 for the compiler support, the Universal CRT for the C library.
#define _VCRTIMP __declspec(dllimport)
#define _ACRTIMP __declspec(dllimport)
#define _VCRT_NOALIAS __declspec(noalias)
#define _VCRT_RESTRICT __declspec(restrict)
#define _VCRT_ALLOCATOR __declspec(allocator)
#define _VCRT_ALIGN(x) __declspec(align(x))
#define _CRTALLOCATOR __declspec(allocator)
// The C++ library's satellite DLLs: msvcp140_1 (memory resources), msvcp140_2 (special maths) and
// msvcp140_codecvt_ids (the char16_t and char32_t conversions' ids).
#define _CRT_SATELLITE_1 __declspec(dllimport)
#define _CRT_SATELLITE_2 __declspec(dllimport)
#define _CRT_SATELLITE_CODECVT_IDS __declspec(dllimport)
#define _CRT_SATELLITE_CODECVT_IDS_NOIMPORT
#ifndef _CRTRESTRICT
#define _CRTRESTRICT __declspec(restrict)
#endif
#define _CRT_HYBRIDPATCHABLE
#define _CRT_GUARDOVERFLOW
#define _CRT_INSECURE_DEPRECATE(_Replacement)
#define _CRT_INSECURE_DEPRECATE_MEMORY(_Replacement)
#define _CRT_NONSTDC_DEPRECATE(_NewName)
#ifndef __CRTDECL
#define __CRTDECL __cdecl
#endif
#define __CLRCALL_PURE_OR_CDECL __cdecl
#define __CLRCALL_OR_CDECL __cdecl
#define __CLR_OR_THIS_CALL

#ifndef _CRT_STRINGIZE
#define _CRT_STRINGIZE_(x) #x
#define _CRT_STRINGIZE(x) _CRT_STRINGIZE_(x)
#endif
#ifndef _CRT_WIDE
#define _CRT_WIDE_(s) L##s
#define _CRT_WIDE(s) _CRT_WIDE_(s)
#endif
#ifndef __FILEW__
#define __FILEW__ _CRT_WIDE(__FILE__)
#endif
#define _CRT_CONCATENATE_(a, b) a##b
#define _CRT_CONCATENATE(a, b) _CRT_CONCATENATE_(a, b)
#define _CRT_UNPARENTHESIZE_(...) __VA_ARGS__
#define _CRT_UNPARENTHESIZE(...) _CRT_UNPARENTHESIZE_ __VA_ARGS__

// The language level, from the level the compiler announces (clang sets _MSVC_LANG as cl does).
#ifndef _HAS_CXX17
#if defined(_MSVC_LANG) && _MSVC_LANG > 201402L
#define _HAS_CXX17 1
#else
#define _HAS_CXX17 0
#endif
#endif
#ifndef _HAS_CXX20
#if _HAS_CXX17 && _MSVC_LANG > 201703L
#define _HAS_CXX20 1
#else
#define _HAS_CXX20 0
#endif
#endif
#ifndef _HAS_CXX23
#if _HAS_CXX20 && _MSVC_LANG > 202002L
#define _HAS_CXX23 1
#else
#define _HAS_CXX23 0
#endif
#endif

#ifndef _HAS_EXCEPTIONS
#define _HAS_EXCEPTIONS 1
#endif
#ifndef _HAS_NODISCARD
#define _HAS_NODISCARD 1
#endif
#if _HAS_NODISCARD
#define _NODISCARD [[nodiscard]]
#else
#define _NODISCARD
#endif
#define _VCRT_NODISCARD _NODISCARD

#ifdef __cplusplus
#define _VCRT_UNUSED(x) static_cast<void>(x)
#endif

#ifndef _SIZE_T_DEFINED
#define _SIZE_T_DEFINED
typedef unsigned __int64 size_t;
#endif
#ifndef _PTRDIFF_T_DEFINED
#define _PTRDIFF_T_DEFINED
typedef __int64 ptrdiff_t;
#endif
#ifndef _INTPTR_T_DEFINED
#define _INTPTR_T_DEFINED
typedef __int64 intptr_t;
#endif
#ifndef _UINTPTR_T_DEFINED
#define _UINTPTR_T_DEFINED
typedef unsigned __int64 uintptr_t;
#endif
#ifdef __cplusplus
typedef bool __vcrt_bool;
#else
typedef _Bool __vcrt_bool;
#endif

// The buffer-overrun cookie, and the reporting of an invalid argument to a C runtime function.
_CRT_BEGIN_C_HEADER
extern uintptr_t __security_cookie;
void __cdecl __security_init_cookie(void);
void __cdecl __security_check_cookie(uintptr_t _StackCookie);
__declspec(noreturn) void __cdecl __report_gsfailure(uintptr_t _StackCookie);
_ACRTIMP void __cdecl _invalid_parameter(const wchar_t* _Expression, const wchar_t* _FunctionName,
                                         const wchar_t* _FileName, unsigned int _LineNo, uintptr_t _Reserved);
_ACRTIMP void __cdecl _invalid_parameter_noinfo(void);
_ACRTIMP __declspec(noreturn) void __cdecl _invalid_parameter_noinfo_noreturn(void);
__declspec(noreturn) _ACRTIMP
    void __cdecl _invoke_watson(const wchar_t* _Expression, const wchar_t* _FunctionName, const wchar_t* _FileName,
                                unsigned int _LineNo, uintptr_t _Reserved);
_CRT_END_C_HEADER

#ifndef _CRT_SECURE_INVALID_PARAMETER
#define _CRT_SECURE_INVALID_PARAMETER(expr) ::_invalid_parameter_noinfo_noreturn()
#endif

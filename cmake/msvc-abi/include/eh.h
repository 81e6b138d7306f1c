// Stands in for Visual C++'s <eh.h>: the terminate and unexpected handlers, which the Universal CRT
// and vcruntime140.dll export with C names.
#pragma once

#include <vcruntime.h>

#ifndef __cplusplus
#error eh.h is only for C++
#endif

extern "C" {
typedef void(__cdecl* terminate_handler)();
typedef void(__cdecl* terminate_function)();
typedef void(__cdecl* unexpected_handler)();
typedef void(__cdecl* unexpected_function)();
struct _EXCEPTION_POINTERS;
typedef void(__cdecl* _se_translator_function)(unsigned int, struct _EXCEPTION_POINTERS*);

_ACRTIMP __declspec(noreturn) void __cdecl terminate() throw();
_ACRTIMP terminate_handler __cdecl set_terminate(terminate_handler _NewTerminateHandler) throw();
_ACRTIMP terminate_handler __cdecl _get_terminate();
_VCRTIMP void __cdecl unexpected() noexcept(false);
_VCRTIMP unexpected_handler __cdecl set_unexpected(unexpected_handler _NewUnexpectedHandler) throw();
_VCRTIMP unexpected_handler __cdecl _get_unexpected();
_VCRTIMP _se_translator_function __cdecl _set_se_translator(_se_translator_function _NewSETranslator);
_VCRTIMP bool __cdecl __uncaught_exception();
_VCRTIMP int __cdecl __uncaught_exceptions();
}

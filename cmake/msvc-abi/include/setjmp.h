// Wraps MinGW-w64's <setjmp.h>, which names _setjmp after one of its own intrinsics; clang's
// <intrin.h> declares _setjmp as the Universal CRT's headers do.
#pragma once

#include_next <setjmp.h>

#undef _setjmp

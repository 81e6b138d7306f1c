// Wraps MinGW-w64's <winnt.h>, which defines a few of Microsoft's intrinsics itself and some as
// macros: clang's <intrin.h> comes first, as with Microsoft's headers, and MinGW's copies of the
// ones it defines are skipped.
#pragma once

#include <intrin.h>

#define __INTRINSIC_DEFINED___movsb
#define __INTRINSIC_DEFINED___movsw
#define __INTRINSIC_DEFINED___movsd
#define __INTRINSIC_DEFINED___movsq
#define __INTRINSIC_DEFINED___stosw
#define __INTRINSIC_DEFINED___stosd
#define __INTRINSIC_DEFINED___stosq

#include_next <winnt.h>

// Forced ahead of every source that scripts/check-msvc.sh compiles for the MSVC target with
// MinGW-w64's C headers and libstdc++: it fills what those headers expect of GCC and Microsoft's
// own headers would provide.
#pragma once

// GCC defines this for -std=c++17; clang in Microsoft mode does not, and libstdc++ then warns
// that its __int128 setup is broken.
#define __STRICT_ANSI__ 1

#include <_mingw.h>
// _mingw.h defines this only when __declspec is a macro, as under GCC; here it is a keyword.
#ifndef __MINGW_IMPORT
#define __MINGW_IMPORT extern __declspec(dllimport)
#endif

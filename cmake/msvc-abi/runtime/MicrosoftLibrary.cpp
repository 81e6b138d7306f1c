// Not a piece of Visual C++'s runtime: the build's proof that it compiles against Microsoft's
// standard library and ABI, not libstdc++ or libc++ found by mistake on an include path.
#include <string>

#if !defined(_MSVC_STL_VERSION) || defined(__GLIBCXX__) || defined(_LIBCPP_VERSION)
#error "not Microsoft's standard library: check the include order of cmake/msvc-abi-x86_64.cmake"
#endif
#if !defined(_MSC_VER) || defined(__MINGW32__)
#error "not Microsoft's ABI: the compiler must target x86_64-pc-windows-msvc"
#endif
static_assert(_MSVC_STL_VERSION >= 143, "the standard library of Visual Studio 2022");
static_assert(sizeof(wchar_t) == 2 && sizeof(long) == 4, "Windows' type sizes");

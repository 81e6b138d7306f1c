# Cross build for Windows x86-64 with Microsoft's ABI and Microsoft's C++ standard library, as a real
# host is built: clang 14 for x86_64-pc-windows-msvc, linked by lld-link against the C and C++ runtime
# DLLs that Wine implements; its programs and tests run under Wine. The standard library is unpacked
# from the archives in the folder named by the environment variable QV_MS_STL; cmake/msvc-abi/ holds
# what Visual C++ would add to it (RuntimeLibrary.cmake, included by the project, builds it).
# Usage: QV_MS_STL=/path/to/ms-stl cmake --preset windows-msvc-abi

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(QV_MSVC_ABI ON)

# C too: GoogleTest's build enables it.
find_program(CMAKE_C_COMPILER clang-14 REQUIRED)
find_program(CMAKE_CXX_COMPILER clang++-14 REQUIRED)
set(CMAKE_C_COMPILER_TARGET x86_64-pc-windows-msvc)
set(CMAKE_CXX_COMPILER_TARGET x86_64-pc-windows-msvc)
find_program(CMAKE_RC_COMPILER llvm-rc-14 REQUIRED)
find_program(CMAKE_AR llvm-ar-14 REQUIRED)
find_program(CMAKE_RANLIB llvm-ranlib-14 REQUIRED)
find_program(QV_LLD_LINK lld-link-14 REQUIRED)
# GNU objdump reads PE files and prints what the packaging tests read.
find_program(CMAKE_OBJDUMP x86_64-w64-mingw32-objdump REQUIRED)
# Debian's wine64 package installs the loader outside PATH.
find_program(QV_WINE wine64 PATHS /usr/lib/wine REQUIRED)

# The compiler checks compile only: nothing links before the runtime library is built.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

# Headers, in the order clang-cl finds them on Windows: clang's own (its <intrin.h>); the stand-ins
# for Visual C++'s runtime headers; the standard library; MinGW-w64's C headers in place of the
# Universal CRT's (-D_UCRT gives them its 8-byte mbstate_t and its stdio functions). For this target
# on Linux, clang adds no other folders of its own.
# -fgnuc-version: MinGW-w64's headers need __GNUC__; fmt then turns its exceptions off unless
# __EXCEPTIONS says they are on, as they are.
execute_process(COMMAND "${CMAKE_CXX_COMPILER}" -print-resource-dir OUTPUT_VARIABLE clang_resources
                OUTPUT_STRIP_TRAILING_WHITESPACE)
set(QV_MS_STL_UNPACKED "${CMAKE_BINARY_DIR}/ms-stl")
string(JOIN " " QV_MSVC_ABI_FLAGS
       -fms-compatibility-version=19.34 -fgnuc-version=12 -D_UCRT -D_DLL -D_MT -D__EXCEPTIONS
       -isystem "${clang_resources}/include" -isystem "${CMAKE_CURRENT_LIST_DIR}/msvc-abi/include"
       -isystem "${QV_MS_STL_UNPACKED}/inc" -isystem /usr/x86_64-w64-mingw32/include)
set(CMAKE_C_FLAGS_INIT "${QV_MSVC_ABI_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${QV_MSVC_ABI_FLAGS}")

# clang runs lld-link from its own folder (lld-14). Nothing but what the build names is linked: not
# the libraries that Microsoft's headers ask for, which the runtime library's import libraries
# replace, nor CMake's list of Windows libraries.
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-Xlinker /nodefaultlib")
endforeach()
set(CMAKE_C_STANDARD_LIBRARIES "" CACHE STRING "Libraries linked into every program and DLL")
set(CMAKE_CXX_STANDARD_LIBRARIES "" CACHE STRING "Libraries linked into every program and DLL")

# cmake/wine-run.sh sets up Wine's environment (prefix, DLL overrides) for every run, and starts the
# program through wine-launch.exe (cmake/WineLaunch.cpp), which keeps the time zone right.
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh;${QV_WINE};${CMAKE_BINARY_DIR}/wine-prefix;--launcher=${CMAKE_BINARY_DIR}/bin/wine-launch.exe")

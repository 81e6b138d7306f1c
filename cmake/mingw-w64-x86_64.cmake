# Cross build for Windows x86-64 with Debian's MinGW-w64; its programs and tests run under Wine.
# Usage: cmake --preset windows   (or -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The -posix thread model: the -win32 one has no std::mutex, which the stand-in and the tests use.
find_program(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres REQUIRED)
# Debian's wine64 package installs the loader outside PATH.
find_program(QV_WINE wine64 PATHS /usr/lib/wine REQUIRED)

# Libraries and headers only from the MinGW sysroot: the host's /usr/include (glibc) breaks the build.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# cmake/wine-run.sh sets up Wine's environment (prefix, DLL overrides) for every run, and starts the
# program through wine-launch.exe (cmake/WineLaunch.cpp), which keeps the time zone right.
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh;${QV_WINE};${CMAKE_BINARY_DIR}/wine-prefix;--launcher=${CMAKE_BINARY_DIR}/bin/wine-launch.exe")

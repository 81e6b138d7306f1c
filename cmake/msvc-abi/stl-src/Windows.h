// The standard library's sources spell <windows.h> as on a Windows file system, and use a function
// newer than MinGW-w64's headers (Windows 11's GetTempPath2W, which filesystem.cpp looks up at run
// time and falls back from).
#pragma once

#include <windows.h>

extern "C" DWORD WINAPI GetTempPath2W(DWORD nBufferLength, LPWSTR lpBuffer);

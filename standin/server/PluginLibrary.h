// Loading and unloading a plug-in library the way the real host does, per platform.
#pragma once

#include <filesystem>
#include <string>

namespace standin::platform {

// Throws std::runtime_error with the loader's own message.
void* OpenLibrary(const std::filesystem::path& library);
void CloseLibrary(void* handle);
// True when the library is mapped in this process (loaded and not, or not fully, unloaded).
bool IsResident(const std::filesystem::path& library);
std::filesystem::path ExecutableDirectory();
const char* LibrarySuffix();
// Points the library's clock at the simulated one. On Linux the library already reads it through
// the platform runtime library; on Windows its _time64 import is redirected. False when the
// library imports no _time64.
bool RedirectClock(void* handle);

} // namespace standin::platform

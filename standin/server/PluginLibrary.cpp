// dlopen / dlclose on Linux; LoadLibraryW / FreeLibrary on Windows, where the plug-in's import of
// the C runtime's _time64 is also redirected to the simulated clock.
#include "standin/server/PluginLibrary.h"

#include <stdexcept>

#include "standin/runtime/SimulatedClock.h"

#if defined(_WIN32)
#include <windows.h>

#include <cstring>
#else
#include <dlfcn.h>
#include <unistd.h>

#include <vector>
#endif

namespace standin::platform {

#if defined(_WIN32)

namespace {

std::string LastError()
{
    const DWORD code = GetLastError();
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string message = text != nullptr ? text : "error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    return message;
}

// Rewrites every import address table slot of the module that was bound to the named function.
// The table is read-only after loading, hence the protection change around the write.
bool PatchImport(HMODULE module, const char* function, void* replacement)
{
    auto* base = reinterpret_cast<unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return false;
    bool patched = false;
    for (auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        // The name table survives loading; the address table beside it now holds addresses.
        if (descriptor->OriginalFirstThunk == 0) continue;
        auto* name = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; name->u1.AddressOfData != 0; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
            DWORD previous = 0;
            VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), PAGE_READWRITE, &previous);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), previous, &previous);
            patched = true;
        }
    }
    return patched;
}

} // namespace

void* OpenLibrary(const std::filesystem::path& library)
{
    HMODULE module = LoadLibraryW(library.wstring().c_str());
    if (module == nullptr) throw std::runtime_error("cannot load " + library.u8string() + ": " + LastError());
    return reinterpret_cast<void*>(module);
}

void CloseLibrary(void* handle) { FreeLibrary(reinterpret_cast<HMODULE>(handle)); }

bool IsResident(const std::filesystem::path& library) { return GetModuleHandleW(library.wstring().c_str()) != nullptr; }

std::filesystem::path ExecutableDirectory()
{
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return std::filesystem::path(path).parent_path();
}

const char* LibrarySuffix() { return ".dll"; }

bool RedirectClock(void* handle)
{
    return PatchImport(reinterpret_cast<HMODULE>(handle), "_time64", reinterpret_cast<void*>(&qv_clock_time64));
}

#else

void* OpenLibrary(const std::filesystem::path& library)
{
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = dlerror();
        throw std::runtime_error("cannot load " + library.string() + ": " +
                                 (error != nullptr ? error : "unknown error"));
    }
    return handle;
}

void CloseLibrary(void* handle) { dlclose(handle); }

bool IsResident(const std::filesystem::path& library)
{
    void* handle = dlopen(library.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (handle == nullptr) return false;
    dlclose(handle);
    return true;
}

std::filesystem::path ExecutableDirectory()
{
    std::vector<char> path(4096);
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) return std::filesystem::current_path();
    return std::filesystem::path(std::string(path.data(), static_cast<std::size_t>(length))).parent_path();
}

const char* LibrarySuffix() { return ".so"; }

bool RedirectClock(void*) { return true; }

#endif

} // namespace standin::platform

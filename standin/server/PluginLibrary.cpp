// dlopen / dlclose on Linux; LoadLibraryW / FreeLibrary on Windows, where the plug-in's import of
// the C runtime's _time64 is also redirected to the simulated clock, from before its entry point runs.
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

// The loader's notification of a library mapped with its imports bound, which comes before the
// library's entry point runs: ntdll's own declarations, which the SDK's headers leave out.
struct LoaderString {
    USHORT Length;
    USHORT MaximumLength;
    PWSTR Buffer;
};
struct LoadedLibraryData {
    ULONG Flags;
    const LoaderString* FullName;
    const LoaderString* BaseName;
    PVOID Base;
    ULONG SizeOfImage;
};
constexpr ULONG kLibraryLoaded = 1;
using LoaderNotification = VOID(CALLBACK*)(ULONG reason, const LoadedLibraryData* data, PVOID context);
using RegisterNotification = LONG(NTAPI*)(ULONG flags, LoaderNotification callback, PVOID context, PVOID* cookie);
using UnregisterNotification = LONG(NTAPI*)(PVOID cookie);

// GetProcAddress's result as the function it is; through the generic function pointer type, the
// one cast between function types that GCC does not warn about.
template <typename Function>
Function Export(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

VOID CALLBACK RedirectBeforeEntry(ULONG reason, const LoadedLibraryData* data, PVOID context)
{
    if (reason != kLibraryLoaded || data == nullptr || data->BaseName == nullptr) return;
    const std::wstring& wanted = *static_cast<const std::wstring*>(context);
    const std::wstring name(data->BaseName->Buffer, data->BaseName->Length / sizeof(wchar_t));
    if (CompareStringOrdinal(name.c_str(), -1, wanted.c_str(), -1, TRUE) != CSTR_EQUAL) return;
    PatchImport(reinterpret_cast<HMODULE>(data->Base), "_time64", reinterpret_cast<void*>(&qv_clock_time64));
}

// Watches the loader while the library loads, so that its entry point, which loads the config
// and may look at the clock, already reads the simulated one.
class ClockRedirectWhileLoading {
public:
    explicit ClockRedirectWhileLoading(std::wstring baseName) : baseName_(std::move(baseName))
    {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        const auto registerNotification = Export<RegisterNotification>(ntdll, "LdrRegisterDllNotification");
        unregister_ = Export<UnregisterNotification>(ntdll, "LdrUnregisterDllNotification");
        if (registerNotification == nullptr || unregister_ == nullptr ||
            registerNotification(0, &RedirectBeforeEntry, &baseName_, &cookie_) != 0) {
            cookie_ = nullptr;
        }
    }
    ~ClockRedirectWhileLoading()
    {
        if (cookie_ != nullptr) unregister_(cookie_);
    }
    ClockRedirectWhileLoading(const ClockRedirectWhileLoading&) = delete;
    ClockRedirectWhileLoading& operator=(const ClockRedirectWhileLoading&) = delete;

private:
    std::wstring baseName_;
    UnregisterNotification unregister_ = nullptr;
    PVOID cookie_ = nullptr;
};

} // namespace

void* OpenLibrary(const std::filesystem::path& library)
{
    const ClockRedirectWhileLoading redirect(library.filename().wstring());
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

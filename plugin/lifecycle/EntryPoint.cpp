// The library entry point. On Windows the C runtime constructs the library-wide objects before
// DllMain's attach and destroys them after its detach. The ELF equivalent is an object whose
// constructor and destructor run Load and Unload; the library-wide objects carry an earlier
// init priority, so they are built before it and torn down after it, as on Windows.
#include "plugin/lifecycle/Lifecycle.h"

#if defined(_WIN32)
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        qv::Load();
        break;
    case DLL_PROCESS_DETACH:
        // A non-null reserved argument means the process is ending, not the library unloading.
        qv::Unload(reserved != nullptr ? qv::UnloadReason::ProcessEnding : qv::UnloadReason::LibraryUnloaded);
        break;
    default:
        break;
    }
    return TRUE;
}
#else
namespace {

struct EntryPoint {
    EntryPoint() { qv::Load(); }
    ~EntryPoint() { qv::Unload(qv::UnloadReason::LibraryUnloaded); }
    EntryPoint(const EntryPoint&) = delete;
    EntryPoint& operator=(const EntryPoint&) = delete;
};

const EntryPoint entryPoint;

} // namespace
#endif

// The server side of the MSVC-target smoke test: loads the plug-in DLL by name, as the host framework
// does, and exits with the host's verdict (0 success), or 1 when the plug-in would not load.
extern "C" __declspec(dllimport) void* __stdcall LoadLibraryA(const char* name);
extern "C" __declspec(dllimport) void __stdcall ExitProcess(unsigned int code);
extern "C" __declspec(dllimport) int SmokeResult();

extern "C" void SmokeMain()
{
    if (LoadLibraryA("SmokePlugin.dll") == nullptr) ExitProcess(1);
    ExitProcess(static_cast<unsigned int>(SmokeResult()));
}

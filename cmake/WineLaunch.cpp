// wine-launch.exe PROGRAM [ARGS...]: runs PROGRAM with the rest of this program's own command line,
// passed on exactly as it came, and exits with its exit status; cmake/wine-run.sh starts every
// Windows program of the build through it.
//
// Why: Wine hands its own Linux environment to Windows programs. Its time-zone layer reads a Linux
// TZ (Europe/Berlin, or a POSIX rule) correctly, but the C runtime, seeing TZ in the program's
// environment, parses it as a Microsoft-style TZ string and applies no daylight saving. Without TZ,
// the C runtime follows the system's zone, which is Wine's reading of the Linux TZ. So the child
// gets this environment without TZ.
#include <windows.h>

namespace {

// The command line after its first token (this program's name), as Windows parses argv[0]: up to
// the closing quote if it starts with one, else up to the first blank; then the blanks after it.
const wchar_t* AfterProgramName(const wchar_t* line)
{
    if (*line == L'"') {
        ++line;
        while (*line != L'\0' && *line != L'"') ++line;
        if (*line == L'"') ++line;
    } else {
        while (*line != L'\0' && *line != L' ' && *line != L'\t') ++line;
    }
    while (*line == L' ' || *line == L'\t') ++line;
    return line;
}

} // namespace

int main()
{
    const wchar_t* rest = AfterProgramName(GetCommandLineW());
    if (*rest == L'\0') {
        const char usage[] = "usage: wine-launch.exe PROGRAM [ARGS...]\n";
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), usage, sizeof usage - 1, &written, nullptr);
        return 2;
    }
    // CreateProcessW may write into the command line it is given.
    const int length = lstrlenW(rest);
    wchar_t* commandLine = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, (length + 1) * sizeof(wchar_t)));
    if (commandLine == nullptr) return 125;
    lstrcpyW(commandLine, rest);

    SetEnvironmentVariableW(L"TZ", nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        const char failed[] = "wine-launch.exe: cannot start the program\n";
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), failed, sizeof failed - 1, &written, nullptr);
        return 127;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}

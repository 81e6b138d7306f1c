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

// Writes text and a number to the standard error (only kernel32 is linked: no printf).
void Complain(const char* text, DWORD number)
{
    char line[128];
    int size = 0;
    while (*text != '\0' && size < 100) line[size++] = *text++;
    char digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    while (count > 0) line[size++] = digits[--count];
    line[size++] = '\n';
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, static_cast<DWORD>(size), &written, nullptr);
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
    // CreateProcessW may write into the command line it is given: each attempt gets a fresh copy.
    const int length = lstrlenW(rest);
    wchar_t* commandLine = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, (length + 1) * sizeof(wchar_t)));
    if (commandLine == nullptr) return 125;

    SetEnvironmentVariableW(L"TZ", nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // Once, among some 300 test programs started in parallel, the start failed for no lasting reason;
    // a second attempt tells that apart from a program that cannot start at all.
    for (int attempt = 1;; ++attempt) {
        lstrcpyW(commandLine, rest);
        if (CreateProcessW(nullptr, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
            break;
        const DWORD error = GetLastError();
        if (attempt == 2) {
            Complain("wine-launch.exe: cannot start the program: error ", error);
            return 127;
        }
        Complain("wine-launch.exe: the program did not start, trying once more: error ", error);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}

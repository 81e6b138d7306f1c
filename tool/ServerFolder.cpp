// A signal handler may do next to nothing: it records the signal, and the run, which checks at each
// timer call and each console line, unwinds from there. Only a process that the system ended
// outright (SIGKILL, an out-of-memory kill, a power cut) leaves its folder, and the next run takes it.
#include "tool/ServerFolder.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>

#include <fmt/format.h>

#include "util/Digits.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qvtool {

namespace {

namespace fs = std::filesystem;

constexpr const char* kPrefix = "quorvandelle-server-";

volatile std::sig_atomic_t pendingSignal = 0;

// The folder that std::terminate removes; one server runs at a time.
fs::path& LiveFolder()
{
    static fs::path folder;
    return folder;
}

std::uint64_t CurrentProcess()
{
#if defined(_WIN32)
    return GetCurrentProcessId();
#else
    return static_cast<std::uint64_t>(getpid());
#endif
}

bool ProcessExists(std::uint64_t id)
{
#if defined(_WIN32)
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD status = 0;
    const bool running = GetExitCodeProcess(process, &status) && status == STILL_ACTIVE;
    CloseHandle(process);
    return running;
#else
    // Another user's process answers "not permitted": it exists.
    return kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
#endif
}

bool OwnedByThisUser(const fs::path& folder)
{
#if defined(_WIN32)
    (void)folder; // the temporary folder is the user's own
    return true;
#else
    struct stat status {};
    return lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == geteuid();
#endif
}

// The process id in "quorvandelle-server-<id>-<random>"; 0 for any other name.
std::uint64_t ProcessOf(const std::string& name)
{
    const std::string prefix = kPrefix;
    if (name.compare(0, prefix.size(), prefix) != 0) return 0;
    std::size_t at = prefix.size();
    const std::optional<std::int64_t> id = util::ReadDigits(name, at, 1, 10);
    if (!id || at == name.size() || name[at] != '-') return 0;
    return static_cast<std::uint64_t>(*id);
}

extern "C" void RecordSignal(int signal) { pendingSignal = signal; }

[[noreturn]] void RemoveLiveFolderAndAbort()
{
    std::error_code ignored;
    if (!LiveFolder().empty()) fs::remove_all(LiveFolder(), ignored);
    std::abort();
}

} // namespace

int RemoveLeftoverServerFolders(const fs::path& temp)
{
    int removed = 0;
    std::error_code error;
    for (fs::directory_iterator entry(temp, error), end; !error && entry != end; entry.increment(error)) {
        const std::uint64_t process = ProcessOf(entry->path().filename().string());
        if (process == 0 || process == CurrentProcess() || ProcessExists(process)) continue;
        if (!OwnedByThisUser(entry->path())) continue;
        std::error_code ignored;
        if (fs::remove_all(entry->path(), ignored) != static_cast<std::uintmax_t>(-1)) ++removed;
    }
    return removed;
}

ServerFolder::ServerFolder()
{
    const fs::path temp = fs::temp_directory_path();
    RemoveLeftoverServerFolders(temp);
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = temp / fmt::format("{}{}-{:08x}", kPrefix, CurrentProcess(), random());
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            path_ = candidate;
            LiveFolder() = path_;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary server folder in " + temp.string());
}

ServerFolder ServerFolder::Kept(const fs::path& path) { return ServerFolder(KeptTag{}, path); }

// Never the live folder: std::terminate must not remove what a later run needs.
ServerFolder::ServerFolder(KeptTag, fs::path path) : path_(std::move(path)), temporary_(false)
{
    std::error_code error;
    fs::create_directories(path_, error);
    if (error) throw std::runtime_error("cannot create the server folder " + path_.string() + ": " + error.message());
}

ServerFolder::~ServerFolder()
{
    if (!temporary_) return;
    LiveFolder().clear();
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

fs::path KeptServerFolderFor(const fs::path& config)
{
    fs::path folder = config;
    return folder.replace_extension(".server");
}

void CatchInterruptions()
{
#if defined(_WIN32)
    std::signal(SIGINT, RecordSignal);
    std::signal(SIGTERM, RecordSignal);
#else
    // No SA_RESTART: a console waiting for its next line returns from the read at once.
    struct sigaction action {};
    action.sa_handler = RecordSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
    std::set_terminate(RemoveLiveFolderAndAbort);
}

bool InterruptionRecorded() { return pendingSignal != 0; }

void StopIfInterrupted()
{
    if (pendingSignal != 0) throw Interrupted{pendingSignal};
}

void EndBy(const Interrupted& interruption)
{
    std::signal(interruption.Signal, SIG_DFL);
    std::raise(interruption.Signal);
    std::_Exit(128 + interruption.Signal);
}

} // namespace qvtool

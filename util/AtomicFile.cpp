// The new text goes to a temporary file in the target's own folder, so that the final step is a
// rename within one file system: rename() natively, ReplaceFileW or MoveFileExW on Windows, none of
// which leaves a moment without the old file or the new. The target is the file a link leads to,
// since renaming over the link itself would turn it into a file and leave its target stale.
#include "util/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <random>
#include <system_error>
#include <variant>

#if defined(_WIN32)
#include <windows.h>

#include "util/Utf.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace util {

namespace {

constexpr int kNameAttempts = 100;

std::string Reason(int error) { return std::system_category().message(error); }
std::string Refusal(const char* kind) { return std::string(kind) + ", not a regular file"; }

// "<name>.1a2b3c4d.tmp" beside the target.
template <typename Char>
std::basic_string<Char> TemporaryName(std::basic_string<Char> target, std::random_device& random)
{
    const std::uint32_t bits = random();
    target += static_cast<Char>('.');
    for (int shift = 28; shift >= 0; shift -= 4) target += static_cast<Char>("0123456789abcdef"[(bits >> shift) & 15]);
    for (const char c : {'.', 't', 'm', 'p'}) target += static_cast<Char>(c);
    return target;
}

#if defined(_WIN32)

struct Target {
    std::wstring Path;
    bool Exists = false;
};

// The file's path with every link resolved. Where it does not fit, the size asked for counts the
// final null; where it does, the length returned does not.
std::variant<Target, std::string> FinalPath(HANDLE file)
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()), 0);
    if (length >= path.size()) {
        path.resize(length);
        length = GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()), 0);
    }
    if (length == 0 || length >= path.size()) return Reason(static_cast<int>(GetLastError()));
    path.resize(length);
    return Target{path, true};
}

std::variant<Target, std::string> Examine(HANDLE file)
{
    if (const DWORD type = GetFileType(file); type != FILE_TYPE_DISK) {
        return Refusal(type == FILE_TYPE_PIPE ? "a pipe" : "a device");
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file, &information)) return Reason(static_cast<int>(GetLastError()));
    if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return Refusal("a folder");
    return FinalPath(file);
}

// The file that path names, opened without access, which follows links and opens a device too.
std::variant<Target, std::string> Locate(const std::string& path)
{
    const std::wstring wide = Utf8ToWide(path);
    const HANDLE file = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A missing folder is told when the temporary file cannot be made in it.
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Target{wide, false};
        return Reason(static_cast<int>(error));
    }
    std::variant<Target, std::string> found = Examine(file);
    CloseHandle(file);
    return found;
}

DWORD WriteTemporary(const std::wstring& temporary, std::string_view text)
{
    const HANDLE file =
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError();
    DWORD error = 0;
    while (!text.empty() && error == 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, text.data(), chunk, &written, nullptr)) error = GetLastError();
        text.remove_prefix(written);
    }
    if (error == 0 && !FlushFileBuffers(file)) error = GetLastError();
    if (!CloseHandle(file) && error == 0) error = GetLastError();
    if (error != 0) DeleteFileW(temporary.c_str());
    return error;
}

std::optional<std::string> WriteAndReplace(const Target& target, std::string_view text)
{
    std::random_device random;
    std::wstring temporary;
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < kNameAttempts && error == ERROR_FILE_EXISTS; ++attempt) {
        temporary = TemporaryName(target.Path, random);
        error = WriteTemporary(temporary, text);
    }
    if (error != 0) return Reason(static_cast<int>(error));
    // ReplaceFileW keeps the old file's attributes, security and creation time, and leaves it in
    // place when it fails; MoveFileExW, for a new file, returns once the rename is on the disk.
    const BOOL replaced =
        target.Exists
            ? ReplaceFileW(target.Path.c_str(), temporary.c_str(), nullptr, 0, nullptr, nullptr)
            : MoveFileExW(temporary.c_str(), target.Path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (replaced) return std::nullopt;
    error = GetLastError();
    DeleteFileW(temporary.c_str());
    return Reason(static_cast<int>(error));
}

#else

struct Target {
    std::string Path;
    std::optional<struct stat> Existing;
};

// A link that names no file yet leads to where the file is made, as a shell's ">" would make it.
Target FollowDanglingLinks(const std::string& path)
{
    namespace fs = std::filesystem;
    fs::path at = path;
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code notALink;
        const fs::path next = fs::read_symlink(at, notALink);
        if (notALink) break;
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return {at.string(), std::nullopt};
}

// stat follows every link, /dev/stdout's to a pipe or a terminal included, so the refusal is decided
// by what would really be written to.
std::variant<Target, std::string> Locate(const std::string& path)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        if (errno == ENOENT) return FollowDanglingLinks(path);
        return Reason(errno);
    }
    if (S_ISDIR(status.st_mode)) return Refusal("a folder");
    if (S_ISFIFO(status.st_mode)) return Refusal("a pipe");
    if (S_ISSOCK(status.st_mode)) return Refusal("a socket");
    if (!S_ISREG(status.st_mode)) return Refusal("a device");
    char* real = realpath(path.c_str(), nullptr);
    if (real == nullptr) return Reason(errno);
    Target target{real, status};
    std::free(real);
    return target;
}

// The owner and group first: changing them clears the set-user-ID and set-group-ID bits.
int TakeOwnerAndMode(int file, const struct stat& old)
{
    struct stat now {};
    if (fstat(file, &now) != 0) return errno;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && fchown(file, old.st_uid, old.st_gid) != 0)
        return errno;
    return fchmod(file, old.st_mode & 07777) != 0 ? errno : 0;
}

int WriteAll(int file, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = write(file, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return errno;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return fsync(file) != 0 ? errno : 0;
}

// The rename lasts only once the folder that holds the name is on the disk too. Some file systems
// cannot sync a folder; the file is in place all the same.
void SyncFolder(const std::string& target)
{
    const std::string folder = std::filesystem::path(target).parent_path().string();
    const int handle = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0) return;
    fsync(handle);
    close(handle);
}

std::optional<std::string> WriteAndReplace(const Target& target, std::string_view text)
{
    std::random_device random;
    std::string temporary;
    int file = -1;
    // 0666: a new file gets what the umask and the folder's default ACL leave of it, as any program's.
    for (int attempt = 0; attempt < kNameAttempts && file < 0; ++attempt) {
        temporary = TemporaryName(target.Path, random);
        file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file < 0 && errno != EEXIST) break;
    }
    if (file < 0) return Reason(errno);
    std::string problem;
    if (const int kept = target.Existing ? TakeOwnerAndMode(file, *target.Existing) : 0) {
        problem = "cannot keep its owner, group and mode: " + Reason(kept);
    } else if (const int written = WriteAll(file, text)) {
        problem = Reason(written);
    }
    if (close(file) != 0 && problem.empty()) problem = Reason(errno);
    if (problem.empty() && rename(temporary.c_str(), target.Path.c_str()) != 0) problem = Reason(errno);
    if (!problem.empty()) {
        unlink(temporary.c_str());
        return problem;
    }
    SyncFolder(target.Path);
    return std::nullopt;
}

#endif

} // namespace

std::optional<std::string> WriteFileAtomically(const std::string& path, std::string_view text)
{
    std::variant<Target, std::string> target = Locate(path);
    if (const auto* refusal = std::get_if<std::string>(&target)) return *refusal;
    return WriteAndReplace(std::get<Target>(target), text);
}

} // namespace util

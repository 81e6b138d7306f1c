// Checks by the file's status before opening it, then reads in chunks up to one byte past the limit.
#include "util/BoundedFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace util {

std::variant<std::string, FileProblem> ReadBoundedFile(const std::string& path, std::size_t limit,
                                                       const std::string& what)
{
    const auto unreadable = [](std::string text) { return FileProblem{FileProblemKind::Unreadable, std::move(text)}; };
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    // A link that leads nowhere readable (a loop, a folder without access) is no missing file.
    if (status.type() == std::filesystem::file_type::none) return unreadable("cannot be read: " + error.message());
    if (!std::filesystem::exists(status)) return FileProblem{FileProblemKind::Missing, "not found"};
    if (std::filesystem::is_directory(status)) return unreadable("is a folder, not a file");
    if (!std::filesystem::is_regular_file(status)) return unreadable("is not a regular file");

    std::ifstream input(path, std::ios::binary);
    if (!input.is_open()) return unreadable(std::string("cannot be opened: ") + std::strerror(errno));
    // The text grows with what is read, never to the limit, which may be large.
    std::string text;
    char chunk[16 * 1024];
    while (text.size() <= limit) {
        input.read(chunk, sizeof chunk);
        const std::size_t count = static_cast<std::size_t>(input.gcount());
        if (count == 0) break;
        text.append(chunk, std::min(count, limit + 1 - text.size()));
    }
    if (text.size() > limit) {
        const std::uintmax_t measuredSize = std::filesystem::file_size(path, error);
        const std::string measured =
            !error && measuredSize > limit ? std::to_string(measuredSize) : "more than " + std::to_string(limit);
        const std::string mebibytes =
            limit % (1024 * 1024) == 0 ? " (" + std::to_string(limit / (1024 * 1024)) + " MiB)" : "";
        return unreadable("is " + measured + " bytes; " + what + " may have at most " + std::to_string(limit) +
                          " bytes" + mebibytes);
    }
    return text;
}

} // namespace util

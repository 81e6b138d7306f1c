// The whole text of a regular file of bounded size, or why it cannot be had.
#pragma once

#include <cstddef>
#include <string>
#include <variant>

namespace util {

enum class FileProblemKind {
    Missing,    // there is no file at the path
    Unreadable, // a folder, no regular file, no access, or too large
};

struct FileProblem {
    FileProblemKind Kind = FileProblemKind::Unreadable;
    // Said of the file, to follow its name: "not found", "is a folder, not a file".
    std::string What;
};

// The text of a regular file of at most limit bytes. A pipe or a device is refused before it is
// opened, since reading one could block or never end; a file that grows past limit while it is read
// is refused too. what names such a file in the message about its size ("a config file").
std::variant<std::string, FileProblem> ReadBoundedFile(const std::string& path, std::size_t limit,
                                                       const std::string& what);

} // namespace util

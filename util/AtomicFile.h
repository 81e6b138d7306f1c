// A file's whole content replaced so that readers see the old text or the new, never a part, and
// the file stays what it was: where a link leads, with its owner, group and mode.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace util {

// Writes text to a new file beside the one that path names (through any symbolic links), flushes it
// to the disk and puts it in place of the old one in one step. The new file takes the old one's mode,
// owner and group (on Windows, its attributes and security), or a new file's under the umask. A
// folder, a device, a pipe or a socket is refused before anything is written. Nothing when done;
// otherwise why not ("a pipe, not a regular file", or the system's reason), and no file has changed.
std::optional<std::string> WriteFileAtomically(const std::string& path, std::string_view text);

} // namespace util

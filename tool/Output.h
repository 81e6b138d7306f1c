// Where a command writes: its product to out, errors and warnings to err, each styled for its
// own stream.
#pragma once

#include <cerrno>
#include <cstring>
#include <ostream>
#include <stdexcept>

#include "tool/Terminal.h"

namespace qvtool {

struct Output {
    std::ostream& Out;
    std::ostream& Err;
    Style OutStyle;
    Style ErrStyle;
    // Progress is shown only to a person watching.
    bool ErrIsTerminal = false;
};

// The product could not be written (a full disk, a closed standard output): what was printed is
// incomplete, so the command stops and must not report success. what() is the system's reason.
class OutputFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws OutputFailed once out has failed. Checked after each event, so that a long run to a full
// disk stops at once.
inline void RequireWritten(const std::ostream& out)
{
    if (out) return;
    const int error = errno;
    throw OutputFailed(error != 0 ? std::strerror(error) : "the stream failed");
}

// The exit statuses of every command.
enum ExitStatus { kSuccess = 0, kConfigErrors = 1, kUsageError = 2 };

} // namespace qvtool

// Where a command writes: its product to out, errors and warnings to err, each styled for its
// own stream.
#pragma once

#include <ostream>

#include "tool/Terminal.h"

namespace qvtool {

struct Output {
    std::ostream& out;
    std::ostream& err;
    Style outStyle;
    Style errStyle;
    // Progress is shown only to a person watching.
    bool errIsTerminal = false;
};

// The exit statuses of every command.
enum ExitStatus { kSuccess = 0, kConfigErrors = 1, kUsageError = 2 };

} // namespace qvtool

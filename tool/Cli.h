// The command line: subcommands, options, help and version, and the exit status.
#pragma once

#include <istream>

#include "tool/Output.h"

namespace qvtool {

// 0 success, 1 config errors (or a run that could not start, or whose output could not be
// written), 2 usage error.
int RunTool(int argc, const char* const* argv, std::istream& in, bool inIsTerminal, Output& output);

} // namespace qvtool

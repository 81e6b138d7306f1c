// quorvandelle console: the stand-in server driven by hand, one action a line, from a prompt or
// from standard input.
#pragma once

#include <istream>

#include "tool/Output.h"
#include "tool/SimulateCommand.h"

namespace qvtool {

// interactive: a person types at a terminal (a prompt is shown); otherwise each line read is
// echoed, so the output reads as a transcript.
int RunConsole(const ServerRunOptions& options, std::istream& in, bool interactive, Output& output);

} // namespace qvtool

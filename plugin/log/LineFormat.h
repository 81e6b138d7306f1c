// The line a record becomes: what the host's logging library writes for the pattern
// "%D %R [%n][%l] %v" in local time, its line ending included.
#pragma once

#include "plugin/host/LogSink.h"

namespace qv {

// Writes message's line, from its time, logger, level and raw text, into message.Formatted.
void FormatLine(HostLog::Message& message);

} // namespace qv

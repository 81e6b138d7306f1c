// The host's log sinks (GetLogSinks): a console sink and a recording sink, shared with every
// plug-in logger built over them, plus the host's own logger for its notices.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "standin/framework/Export.h"
#include "standin/framework/HostTypes.h"

namespace standin::logs {

STANDIN_API std::vector<LogRecord> Records();
// Without the sink's lock: a watcher reads it after every timer call.
STANDIN_API std::size_t RecordCount();
STANDIN_API void ClearRecords();
STANDIN_API void EchoToConsole(bool echo);
// GetLogSinks() back to the host's two sinks, each taking every level, and no records.
STANDIN_API void Reset();
// A notice of the host's own logger "ArkApi", over the host's sinks, flushed at warning and above.
STANDIN_API void HostNotice(LogLevel level, const std::string& text);

} // namespace standin::logs

// The host's log sinks (GetLogSinks): a console sink and a recording sink, shared with every
// plug-in logger built over them, plus the host's own logger for its notices.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include <spdlog/logger.h>

#include "standin/framework/Export.h"
#include "standin/framework/HostTypes.h"

namespace standin::logs {

STANDIN_API std::vector<LogRecord> Records();
// Without the sink's lock: a watcher reads it after every timer call.
STANDIN_API std::size_t RecordCount();
STANDIN_API void ClearRecords();
STANDIN_API void EchoToConsole(bool echo);
// A logger that sets a pattern hands each sink a formatter made by its own code. Before that code
// is unmapped, the host's sinks must take back formatters of the host's own making.
STANDIN_API void ReclaimFormatters();
// GetLogSinks() back to the host's two sinks, with the host's formatting, and no records.
STANDIN_API void Reset();
// The host's logger "ArkApi", over the host's sinks.
STANDIN_API spdlog::logger& HostLogger();

} // namespace standin::logs

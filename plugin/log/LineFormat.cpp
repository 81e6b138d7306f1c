// "%D %R [%n][%l] %v": MM/DD/YY HH:MM, each field two digits with leading zeros, the time truncated
// to the second as the library takes it, then the logger's name, the level's name and the text.
#include "plugin/log/LineFormat.h"

#include <chrono>

#include <fmt/format.h>

#include "plugin/host/Clock.h"

namespace qv {

void FormatLine(HostLog::Message& message)
{
    const util::Instant instant = std::chrono::floor<util::Seconds>(message.Time);
    // A time with no local date (never a server's own clock) shows as the epoch's.
    const LocalTime local = Clock::LocalTimeAt(instant).value_or(LocalTime{});
    HostLog::TextBuffer& line = *message.Formatted.Text;
    line.Append(fmt::format("{:02}/{:02}/{:02} {:02}:{:02} [{}][{}] ", local.Month, local.Day, local.Year % 100,
                            local.Hour, local.Minute, *message.Logger, HostLog::LevelName(message.Level)));
    line.Append(message.Raw.Text->View());
    line.Append(HostLog::LineEnd);
}

} // namespace qv

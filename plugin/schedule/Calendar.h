// Dates and times as the config file writes them: wall-clock times, "HH:MM" and
// "YYYY-MM-DDTHH:MM", and the plain arithmetic of days that windows and reminders are worked out in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "plugin/host/Clock.h"
#include "util/Time.h"

namespace qv {

// A wall-clock time ignores daylight-saving changes: an hour that the clocks skip has no seconds on
// it and an hour they repeat is counted once. The config's times are written in it; what must
// happen at a second (a switch, a reminder) happens at an instant.
using util::Days;
using util::Hours;
using util::Instant;
using util::Minutes;
using util::Seconds;
using util::WallTime;
using util::Weeks;

// Times of day and reminders' leads are whole minutes in the file.
inline constexpr std::int32_t kMinutesPerDay = 24 * 60;
inline constexpr std::int32_t kMinutesPerWeek = 7 * kMinutesPerDay;

WallTime ToWallTime(const LocalTime& time);
LocalTime FromWallTime(WallTime wall);
// The midnight that starts the day holding wall, and that day's weekday (0 = Sunday).
WallTime StartOfDay(WallTime wall);
int WeekdayOf(WallTime wall);

// "18:30" as minutes after midnight; nothing unless exactly two digits, a colon and two digits,
// 00:00 to 23:59.
std::optional<std::int32_t> ParseTimeOfDay(std::string_view text);
// "2026-12-24T18:00" as a wall-clock time; nothing unless that form and a real date and time.
std::optional<WallTime> ParseDateTime(std::string_view text);

// "Fri 2026-12-11 18:00", for messages to players and administrators.
std::string FormatWallTime(WallTime wall);
// "18:30".
std::string FormatTimeOfDay(std::int32_t minutes);

} // namespace qv

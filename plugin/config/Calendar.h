// Dates and times as the config file writes them: local wall-clock times, "HH:MM" and
// "YYYY-MM-DDTHH:MM", and the plain arithmetic of days that windows and reminders are worked out in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "plugin/host/Clock.h"

namespace qv {

// Seconds on the local wall clock since 1970-01-01 00:00. The wall clock is what the config's
// times are written in; it ignores daylight-saving changes, so an hour that the clocks skip has no
// seconds on it and an hour they repeat is counted once.
using WallSeconds = std::int64_t;

inline constexpr std::int32_t kMinutesPerDay = 24 * 60;
inline constexpr std::int32_t kMinutesPerWeek = 7 * kMinutesPerDay;
inline constexpr WallSeconds kSecondsPerDay = 24 * 60 * 60;

WallSeconds ToWallSeconds(const LocalTime& time);
LocalTime FromWallSeconds(WallSeconds seconds);

// "18:30" as minutes after midnight; nothing unless exactly two digits, a colon and two digits,
// 00:00 to 23:59.
std::optional<std::int32_t> ParseTimeOfDay(std::string_view text);
// "2026-12-24T18:00" as wall-clock seconds; nothing unless that form and a real date and time.
std::optional<WallSeconds> ParseDateTime(std::string_view text);

// "Fri 2026-12-11 18:00", for messages to players and administrators.
std::string FormatWallTime(WallSeconds seconds);
// "18:30".
std::string FormatTimeOfDay(std::int32_t minutes);

} // namespace qv

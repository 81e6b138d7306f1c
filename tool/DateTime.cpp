// Every conversion between instants and wall-clock times goes through the clock given, as the
// plug-in's do: a zone's rules, or the host's runtime, which the tool's process shares with the
// stand-in. Only the reading and the writing of the texts is the tool's.
#include "tool/DateTime.h"

#include <chrono>

#include <fmt/format.h>

#include "plugin/schedule/Calendar.h"
#include "util/CivilDate.h"
#include "util/Digits.h"

namespace qvtool {

namespace {

// Exactly digits digits at text[position], moved past.
bool ReadNumber(std::string_view text, std::size_t& position, std::size_t digits, int& value)
{
    const std::optional<std::int64_t> read = util::ReadDigits(text, position, digits, digits);
    if (read) value = static_cast<int>(*read);
    return read.has_value();
}

bool Expect(std::string_view text, std::size_t& position, char c)
{
    if (position >= text.size() || text[position] != c) return false;
    ++position;
    return true;
}

// The time after the date: "THH:MM" or "THH:MM:SS", or a space for the "T".
bool ReadTimeOfDay(std::string_view text, std::size_t& position, int& hour, int& minute, int& second)
{
    if (text[position] != 'T' && text[position] != ' ') return false;
    ++position;
    if (!ReadNumber(text, position, 2, hour) || !Expect(text, position, ':') ||
        !ReadNumber(text, position, 2, minute)) {
        return false;
    }
    if (position < text.size() && (!Expect(text, position, ':') || !ReadNumber(text, position, 2, second))) {
        return false;
    }
    return position == text.size();
}

std::optional<Seconds> Unit(char letter)
{
    switch (letter) {
    case 's':
        return Seconds{1};
    case 'm':
        return Minutes{1};
    case 'h':
        return util::Hours{1};
    case 'd':
        return Days{1};
    case 'w':
        return util::Weeks{1};
    default:
        return std::nullopt;
    }
}

qv::LocalTime LocalTimeOf(const qv::LocalClock& clock, Instant time) { return qv::FromWallTime(WallOf(clock, time)); }

} // namespace

std::optional<WallTime> ParseLocalDateTime(std::string_view text)
{
    std::size_t position = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!ReadNumber(text, position, 4, year) || !Expect(text, position, '-') || !ReadNumber(text, position, 2, month) ||
        !Expect(text, position, '-') || !ReadNumber(text, position, 2, day)) {
        return std::nullopt;
    }
    if (position < text.size() && !ReadTimeOfDay(text, position, hour, minute, second)) return std::nullopt;
    if (!util::IsValidDate(year, month, day) || hour > 23 || minute > 59 || second > 59) return std::nullopt;
    return WallTime{Days{util::DaysFromCivil(year, month, day)} + util::Hours{hour} + Minutes{minute} +
                    Seconds{second}};
}

LocalDateTime InstantOfWall(const qv::LocalClock& clock, WallTime wall)
{
    const util::LocalInstants instants = clock.InstantsOf(wall);
    return {instants.Earlier, instants.Shown == util::LocalInstants::Kind::Skipped};
}

std::optional<LocalDateTime> ReadLocalDateTime(const qv::LocalClock& clock, std::string_view text)
{
    const std::optional<WallTime> wall = ParseLocalDateTime(text);
    if (!wall) return std::nullopt;
    return InstantOfWall(clock, *wall);
}

std::optional<Seconds> ParseDuration(std::string_view text)
{
    constexpr std::int64_t kMostNumber = 100000000;
    constexpr Seconds kMostTotal = util::Weeks{kMostNumber};
    if (text.empty()) return std::nullopt;
    Seconds total{0};
    for (std::size_t position = 0; position < text.size(); ++position) {
        const std::optional<std::int64_t> number = util::ReadDigits(text, position, 1);
        if (!number || *number > kMostNumber || position == text.size()) return std::nullopt;
        const std::optional<Seconds> unit = Unit(text[position]);
        if (!unit) return std::nullopt;
        total += *number * *unit;
        if (total > kMostTotal) return std::nullopt;
    }
    if (total <= Seconds{0}) return std::nullopt;
    return total;
}

WallTime LatestEnd() { return *ParseLocalDateTime(kLastDate); }

Instant CurrentTime() { return std::chrono::time_point_cast<Seconds>(std::chrono::system_clock::now()); }

WallTime WallOf(const qv::LocalClock& clock, Instant time) { return util::WallAtOffset(time, clock.OffsetAt(time)); }

Instant StartOfLocalDay(const qv::LocalClock& clock, Instant time)
{
    return InstantOfWall(clock, qv::StartOfDay(WallOf(clock, time))).Time;
}

Instant NextLocalMidnight(const qv::LocalClock& clock, Instant time)
{
    return InstantOfWall(clock, qv::StartOfDay(WallOf(clock, time)) + Days{1}).Time;
}

Instant AddLocalDays(const qv::LocalClock& clock, Instant time, int days)
{
    return InstantOfWall(clock, WallOf(clock, time) + Days{days}).Time;
}

std::string FormatIso(const qv::LocalClock& clock, Instant time)
{
    const qv::LocalTime local = LocalTimeOf(clock, time);
    return fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}", local.Year, local.Month, local.Day, local.Hour,
                       local.Minute, local.Second);
}

std::string FormatIsoWithOffset(const qv::LocalClock& clock, Instant time)
{
    const Seconds offset = WallOf(clock, time).time_since_epoch() - time.time_since_epoch();
    const std::int64_t size = offset < Seconds{0} ? -offset.count() : offset.count();
    // An offset of seconds, which no zone has had since 1972, is cut to its minutes.
    return FormatIso(clock, time) +
           fmt::format("{}{:02}:{:02}", offset < Seconds{0} ? '-' : '+', size / 3600, size / 60 % 60);
}

std::string FormatDate(const qv::LocalClock& clock, Instant time)
{
    const qv::LocalTime local = LocalTimeOf(clock, time);
    return fmt::format("{:04}-{:02}-{:02}", local.Year, local.Month, local.Day);
}

std::string FormatReadable(const qv::LocalClock& clock, Instant time)
{
    const qv::LocalTime local = LocalTimeOf(clock, time);
    return fmt::format("{} {:04}-{:02}-{:02} {:02}:{:02}:{:02}", util::ShortWeekdayName(local.Weekday), local.Year,
                       local.Month, local.Day, local.Hour, local.Minute, local.Second);
}

std::string FormatDuration(Seconds span)
{
    if (span <= Seconds{0}) return "0s";
    const std::int64_t seconds = span.count();
    const std::int64_t parts[] = {seconds / 86400, seconds / 3600 % 24, seconds / 60 % 60, seconds % 60};
    const char units[] = {'d', 'h', 'm', 's'};
    std::string text;
    for (int i = 0; i < 4; ++i) {
        if (parts[i] != 0) text += fmt::format("{}{}{}", text.empty() ? "" : " ", parts[i], units[i]);
    }
    return text;
}

} // namespace qvtool

// Without a TimeZone, calendar arithmetic goes through the C library's mktime and localtime in the
// process's time zone, which is the zone the stand-in's clock and the plug-in read too, and a typed
// date is checked where the stand-in checks its own. With one, the zone's rule does it, as the
// plug-in does.
#include "tool/DateTime.h"

#include <cctype>
#include <chrono>

#include <fmt/format.h>

#include "standin/server/LocalTime.h"
#include "util/CivilDate.h"

namespace qvtool {

namespace {

bool ReadNumber(std::string_view text, std::size_t& position, std::size_t digits, int& value)
{
    if (position + digits > text.size()) return false;
    value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const char c = text[position + i];
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        value = value * 10 + (c - '0');
    }
    position += digits;
    return true;
}

bool Expect(std::string_view text, std::size_t& position, char c)
{
    if (position >= text.size() || text[position] != c) return false;
    ++position;
    return true;
}

std::optional<qv::TimeZone> toolZone;

constexpr Seconds kDay = 24 * 60 * 60;

// The instant a zone's clock shows local seconds at, on its first pass; in an hour it skips, the
// first moment after the gap.
Seconds InstantShowing(const util::ZoneRules& rule, Seconds local) { return util::InstantsOf(rule, local).Earlier; }

Seconds LocalSeconds(Seconds time) { return util::LocalSecondsAt(toolZone->Rules, time); }

} // namespace

void UseTimeZone(const std::optional<qv::TimeZone>& zone) { toolZone = zone; }

const qv::TimeZone* ToolTimeZone() { return toolZone ? &*toolZone : nullptr; }

std::tm LocalCalendar(Seconds time)
{
    std::tm local{};
    if (toolZone) {
        const Seconds wall = LocalSeconds(time);
        const std::int64_t days = util::FloorDivide(wall, kDay);
        const util::CivilDate date = util::CivilFromDays(days);
        const Seconds second = wall - days * kDay;
        local.tm_year = static_cast<int>(date.Year - 1900);
        local.tm_mon = date.Month - 1;
        local.tm_mday = date.Day;
        local.tm_hour = static_cast<int>(second / 3600);
        local.tm_min = static_cast<int>(second / 60 % 60);
        local.tm_sec = static_cast<int>(second % 60);
        local.tm_wday = util::WeekdayFromDays(days);
        local.tm_yday = static_cast<int>(days - util::DaysFromCivil(date.Year, 1, 1));
        local.tm_isdst = wall - time != toolZone->Rules.Rule.StandardOffset ? 1 : 0;
        return local;
    }
#if defined(_WIN32)
    const __time64_t value = time;
    _localtime64_s(&local, &value);
#else
    const std::time_t value = static_cast<std::time_t>(time);
    localtime_r(&value, &local);
#endif
    return local;
}

Seconds CurrentTime()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::optional<LocalDateTime> ReadLocalDateTime(std::string_view text)
{
    std::size_t position = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!ReadNumber(text, position, 4, year) || !Expect(text, position, '-') || !ReadNumber(text, position, 2, month) ||
        !Expect(text, position, '-') || !ReadNumber(text, position, 2, day)) {
        return std::nullopt;
    }
    if (position < text.size()) {
        if (text[position] != 'T' && text[position] != ' ') return std::nullopt;
        ++position;
        if (!ReadNumber(text, position, 2, hour) || !Expect(text, position, ':') ||
            !ReadNumber(text, position, 2, minute)) {
            return std::nullopt;
        }
        if (position < text.size() && (!Expect(text, position, ':') || !ReadNumber(text, position, 2, second))) {
            return std::nullopt;
        }
        if (position != text.size()) return std::nullopt;
    }
    if (toolZone) {
        if (!util::IsValidDate(year, month, day) || hour > 23 || minute > 59 || second > 59) return std::nullopt;
        const Seconds wall = util::DaysFromCivil(year, month, day) * kDay + hour * 3600 + minute * 60 + second;
        const util::LocalInstants instants = util::InstantsOf(toolZone->Rules, wall);
        return LocalDateTime{instants.Earlier, instants.Count == 0};
    }
    const auto moment = standin::FromLocalTime(year, month, day, hour, minute, second);
    if (!moment) return std::nullopt;
    return LocalDateTime{moment->seconds, moment->skipped};
}

std::optional<Seconds> ParseLocalDateTime(std::string_view text)
{
    const auto read = ReadLocalDateTime(text);
    if (!read) return std::nullopt;
    return read->time;
}

std::optional<Seconds> ParseDuration(std::string_view text)
{
    Seconds total = 0;
    std::size_t position = 0;
    if (text.empty()) return std::nullopt;
    while (position < text.size()) {
        Seconds number = 0;
        const std::size_t start = position;
        while (position < text.size() && std::isdigit(static_cast<unsigned char>(text[position]))) {
            number = number * 10 + (text[position] - '0');
            if (number > 100000000) return std::nullopt;
            ++position;
        }
        if (position == start || position == text.size()) return std::nullopt;
        switch (text[position]) {
        case 's':
            total += number;
            break;
        case 'm':
            total += number * 60;
            break;
        case 'h':
            total += number * 3600;
            break;
        case 'd':
            total += number * 86400;
            break;
        case 'w':
            total += number * 7 * 86400;
            break;
        default:
            return std::nullopt;
        }
        if (total > Seconds{100000000} * 7 * 86400) return std::nullopt;
        ++position;
    }
    if (total <= 0) return std::nullopt;
    return total;
}

int LocalWeekday(Seconds time) { return LocalCalendar(time).tm_wday; }

Seconds StartOfLocalDay(Seconds time)
{
    if (toolZone) return InstantShowing(toolZone->Rules, util::FloorDivide(LocalSeconds(time), kDay) * kDay);
    std::tm local = LocalCalendar(time);
    local.tm_hour = 0;
    local.tm_min = 0;
    local.tm_sec = 0;
    local.tm_isdst = -1;
    return static_cast<Seconds>(std::mktime(&local));
}

Seconds NextLocalMidnight(Seconds time)
{
    if (toolZone) return InstantShowing(toolZone->Rules, (util::FloorDivide(LocalSeconds(time), kDay) + 1) * kDay);
    std::tm local = LocalCalendar(time);
    local.tm_mday += 1;
    local.tm_hour = 0;
    local.tm_min = 0;
    local.tm_sec = 0;
    local.tm_isdst = -1;
    return static_cast<Seconds>(std::mktime(&local));
}

Seconds AddLocalDays(Seconds time, int days)
{
    if (toolZone) return InstantShowing(toolZone->Rules, LocalSeconds(time) + days * kDay);
    std::tm local = LocalCalendar(time);
    local.tm_mday += days;
    local.tm_isdst = -1;
    return static_cast<Seconds>(std::mktime(&local));
}

const char* WeekdayName(int weekday)
{
    static const char* const names[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    return names[((weekday % 7) + 7) % 7];
}

const char* ShortWeekdayName(int weekday)
{
    static const char* const names[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    return names[((weekday % 7) + 7) % 7];
}

std::string FormatIso(Seconds time)
{
    const std::tm local = LocalCalendar(time);
    return fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                       local.tm_hour, local.tm_min, local.tm_sec);
}

std::string FormatDate(Seconds time)
{
    const std::tm local = LocalCalendar(time);
    return fmt::format("{:04}-{:02}-{:02}", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string FormatReadable(Seconds time)
{
    const std::tm local = LocalCalendar(time);
    return fmt::format("{} {:04}-{:02}-{:02} {:02}:{:02}:{:02}", ShortWeekdayName(local.tm_wday), local.tm_year + 1900,
                       local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
}

std::string FormatDuration(Seconds span)
{
    if (span <= 0) return "0s";
    std::string text;
    const Seconds parts[] = {span / 86400, span / 3600 % 24, span / 60 % 60, span % 60};
    const char units[] = {'d', 'h', 'm', 's'};
    for (int i = 0; i < 4; ++i) {
        if (parts[i] != 0) text += fmt::format("{}{}{}", text.empty() ? "" : " ", parts[i], units[i]);
    }
    return text;
}

} // namespace qvtool

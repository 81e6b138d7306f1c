// The POSIX TZ form read by hand, and its two yearly changes worked out on civil day numbers. A
// change's time may lie outside its day (negative, or past 24 hours), and a southern zone starts
// its daylight time late in the year and ends it early in the next, so the offset at an instant is
// that of the latest change of the years around it, not a test against one year's pair.
#include "util/PosixTimeZone.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <limits>
#include <string>

#include "util/CivilDate.h"
#include "util/Digits.h"

namespace util {

namespace {

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool AtEnd() const { return at_ == text_.size(); }
    bool Take(char c)
    {
        if (AtEnd() || text_[at_] != c) return false;
        ++at_;
        return true;
    }
    bool Peek(char c) const { return !AtEnd() && text_[at_] == c; }

    // An abbreviation: three or more letters, or anything of letters, digits, '+' and '-' in
    // angle brackets, which name keeps without the brackets.
    bool Name(std::string& name)
    {
        const std::size_t from = at_ + (Peek('<') ? 1 : 0);
        if (!NameAt()) return false;
        name = std::string(text_.substr(from, at_ - from - (text_[at_ - 1] == '>' ? 1 : 0)));
        return true;
    }

    bool NameAt()
    {
        const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
        const auto digit = [](char c) { return c >= '0' && c <= '9'; };
        std::size_t length = 0;
        if (Take('<')) {
            while (!AtEnd() && (letter(text_[at_]) || digit(text_[at_]) || text_[at_] == '+' || text_[at_] == '-')) {
                ++at_;
                ++length;
            }
            return length >= 3 && Take('>');
        }
        while (!AtEnd() && letter(text_[at_])) {
            ++at_;
            ++length;
        }
        return length >= 3;
    }

    // A number of at most digits digits, from low to high.
    std::optional<int> Number(std::size_t digits, int low, int high)
    {
        const std::optional<std::int64_t> value = ReadDigits(text_, at_, 1, digits);
        if (!value || *value < low || *value > high) return std::nullopt;
        return static_cast<int>(*value);
    }

    // [+|-]hh[:mm[:ss]], hours up to mostHours.
    std::optional<Seconds> Duration(int mostHours)
    {
        const int sign = Take('-') ? -1 : (Take('+'), 1);
        const auto hours = Number(3, 0, mostHours);
        if (!hours) return std::nullopt;
        Seconds length = Hours{*hours};
        if (Take(':')) {
            const auto minutes = Number(2, 0, 59);
            if (!minutes) return std::nullopt;
            length += Minutes{*minutes};
            if (Take(':')) {
                const auto rest = Number(2, 0, 59);
                if (!rest) return std::nullopt;
                length += Seconds{*rest};
            }
        }
        return sign * length;
    }

    std::optional<ZoneChangeDay> ChangeDay()
    {
        ZoneChangeDay day;
        if (Take('M')) {
            const auto month = Number(2, 1, 12);
            if (!month || !Take('.')) return std::nullopt;
            const auto week = Number(1, 1, 5);
            if (!week || !Take('.')) return std::nullopt;
            const auto weekday = Number(1, 0, 6);
            if (!weekday) return std::nullopt;
            day.Month = *month;
            day.Week = *week;
            day.Weekday = *weekday;
        } else if (Take('J')) {
            const auto number = Number(3, 1, 365);
            if (!number) return std::nullopt;
            day.Kind = ZoneChangeDay::Form::JulianNoLeap;
            day.Day = *number;
        } else {
            const auto number = Number(3, 0, 365);
            if (!number) return std::nullopt;
            day.Kind = ZoneChangeDay::Form::ZeroBased;
            day.Day = *number;
        }
        if (Take('/')) {
            const auto time = Duration(167);
            if (!time) return std::nullopt;
            day.Time = *time;
        }
        return day;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

// The day number of a change day in a year.
std::int64_t DayOf(const ZoneChangeDay& day, std::int64_t year)
{
    switch (day.Kind) {
    case ZoneChangeDay::Form::JulianNoLeap:
        return DaysFromCivil(year, 1, 1) + day.Day - 1 + (IsLeapYear(year) && day.Day >= 60 ? 1 : 0);
    case ZoneChangeDay::Form::ZeroBased:
        return DaysFromCivil(year, 1, 1) + day.Day;
    case ZoneChangeDay::Form::MonthWeekDay:
        break;
    }
    const std::int64_t first = DaysFromCivil(year, day.Month, 1);
    std::int64_t result = first + (day.Weekday - WeekdayFromDays(first) + 7) % 7 + 7 * (day.Week - 1);
    while (result >= first + DaysInMonth(year, day.Month)) result -= 7;
    return result;
}

// The instant a change day's time on a clock of that offset comes, in a year.
Instant ChangeInstant(const ZoneChangeDay& day, std::int64_t year, Seconds offset)
{
    return InstantAtOffset(ChangeWallTime(day, year), offset);
}

// The civil year of the standard clock at an instant.
std::int64_t StandardYear(const PosixTimeZone& zone, Instant instant)
{
    const WallTime wall = WallAtOffset(instant, zone.StandardOffset);
    return CivilFromDays(FloorDivide(SecondsSinceEpoch(wall), Days::period::num)).Year;
}

struct Change {
    Instant At;
    bool ToDaylight;
};

// The changes of the years before, of and after the one holding instant, in time order; where an
// end and a start fall on one instant (daylight time all year) the start comes last, and wins.
std::array<Change, 8> ChangesAround(const PosixTimeZone& zone, Instant instant)
{
    const std::int64_t year = StandardYear(zone, instant);
    std::array<Change, 8> changes{};
    std::size_t count = 0;
    for (std::int64_t y = year - 1; y <= year + 2; ++y) {
        changes[count++] = {ChangeInstant(zone.End, y, zone.DaylightOffset), false};
        changes[count++] = {ChangeInstant(zone.Start, y, zone.StandardOffset), true};
    }
    // The order is total (an end before a start at one instant), so an unstable sort, which needs
    // no buffer, gives the same order every time.
    std::sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) {
        return a.At < b.At || (a.At == b.At && !a.ToDaylight && b.ToDaylight);
    });
    return changes;
}

Seconds OffsetOf(const PosixTimeZone& zone, bool daylight)
{
    return daylight ? zone.DaylightOffset : zone.StandardOffset;
}

} // namespace

WallTime ChangeWallTime(const ZoneChangeDay& day, std::int64_t year)
{
    return WallTime{Days{DayOf(day, year)} + day.Time};
}

std::optional<PosixTimeZone> ParsePosixTimeZone(std::string_view text)
{
    Reader reader(text);
    PosixTimeZone zone;
    if (!reader.Name(zone.StandardName)) return std::nullopt;
    const auto standard = reader.Duration(24);
    if (!standard) return std::nullopt;
    // The form counts hours west of Greenwich.
    zone.StandardOffset = -*standard;
    if (reader.AtEnd()) return zone;
    if (!reader.Name(zone.DaylightName)) return std::nullopt;
    zone.HasDaylight = true;
    zone.DaylightOffset = zone.StandardOffset + Hours{1};
    if (!reader.Peek(',')) {
        const auto daylight = reader.Duration(24);
        if (!daylight) return std::nullopt;
        zone.DaylightOffset = -*daylight;
    }
    if (!reader.Take(',')) return std::nullopt;
    const auto start = reader.ChangeDay();
    if (!start || !reader.Take(',')) return std::nullopt;
    const auto end = reader.ChangeDay();
    if (!end || !reader.AtEnd()) return std::nullopt;
    zone.Start = *start;
    zone.End = *end;
    return zone;
}

Seconds UtcOffsetAt(const PosixTimeZone& zone, Instant instant)
{
    if (!zone.HasDaylight) return zone.StandardOffset;
    // The latest change at or before instant decides, among those of the years around it (a change's
    // time may carry it into the next year or the one before); a start wins over an end at one instant.
    const std::int64_t year = StandardYear(zone, instant);
    Instant latest = Instant::min();
    bool daylight = false;
    for (std::int64_t y = year - 1; y <= year + 1; ++y) {
        const Instant end = ChangeInstant(zone.End, y, zone.DaylightOffset);
        const Instant start = ChangeInstant(zone.Start, y, zone.StandardOffset);
        if (end <= instant && end > latest) {
            latest = end;
            daylight = false;
        }
        if (start <= instant && start >= latest) {
            latest = start;
            daylight = true;
        }
    }
    return OffsetOf(zone, daylight);
}

std::optional<ZoneTransition> NextTransition(const PosixTimeZone& zone, Instant instant)
{
    if (!zone.HasDaylight || zone.DaylightOffset == zone.StandardOffset) return std::nullopt;
    const Seconds offset = UtcOffsetAt(zone, instant);
    // Each look covers the next two years or more; daylight time all year changes nothing, ever.
    Instant from = instant;
    for (int look = 0; look < 3; ++look) {
        const std::array<Change, 8> changes = ChangesAround(zone, from);
        for (const Change& change : changes) {
            if (change.At <= from) continue;
            // Asked afresh: an end and a start at one instant change nothing.
            const Seconds after = UtcOffsetAt(zone, change.At);
            if (after != offset) return ZoneTransition{change.At, offset, after};
        }
        from = changes.back().At;
    }
    return std::nullopt;
}

Seconds UtcOffsetAt(const ZoneRules& zone, Instant instant)
{
    const std::vector<ZoneTransition>& listed = zone.Listed;
    if (listed.empty() || instant >= listed.back().At) return UtcOffsetAt(zone.Rule, instant);
    const auto after = std::upper_bound(listed.begin(), listed.end(), instant,
                                        [](Instant at, const ZoneTransition& change) { return at < change.At; });
    return after == listed.begin() ? listed.front().Before : std::prev(after)->After;
}

std::optional<ZoneTransition> NextTransition(const ZoneRules& zone, Instant instant)
{
    const std::vector<ZoneTransition>& listed = zone.Listed;
    if (listed.empty() || instant >= listed.back().At) return NextTransition(zone.Rule, instant);
    const auto after = std::upper_bound(listed.begin(), listed.end(), instant,
                                        [](Instant at, const ZoneTransition& change) { return at < change.At; });
    return *after;
}

LocalInstants InstantsOf(const ZoneRules& zone, WallTime wall)
{
    return InstantsOf(
        wall, [&](Instant at) { return UtcOffsetAt(zone, at); },
        [&](Instant at) -> std::optional<Instant> {
            const std::optional<ZoneTransition> next = NextTransition(zone, at);
            return next ? std::optional(next->At) : std::nullopt;
        });
}

} // namespace util

// Times are written in UTC, or as wall-clock times with the zone's TZID when the calendar has a
// named zone, whose rule goes along as a VTIMEZONE so that no reader needs a zone database.
#include "tool/ICalendarFeed.h"

#include <cstdint>

#include <fmt/format.h>

#include "plugin/config/Calendar.h"
#include "util/CivilDate.h"

#ifndef QV_VERSION
#error "QV_VERSION must be defined by the build"
#endif

namespace qvtool {

namespace {

constexpr std::size_t kMostOctets = 75;

// 20261224T100000: a wall-clock reading, or with "Z" an instant.
std::string DateTimeValue(std::int64_t seconds)
{
    const qv::LocalTime at = qv::FromWallSeconds(seconds);
    return fmt::format("{:04}{:02}{:02}T{:02}{:02}{:02}", at.Year, at.Month, at.Day, at.Hour, at.Minute, at.Second);
}

std::string TimeProperty(const char* name, const PublishedCalendar& calendar, const CalendarTime& time)
{
    if (calendar.zone) return fmt::format("{};TZID={}:{}", name, calendar.zone->name, DateTimeValue(time.wall));
    return fmt::format("{}:{}Z", name, DateTimeValue(time.instant));
}

// +0100, or +053730 for an offset with seconds.
std::string OffsetValue(std::int32_t offset)
{
    const char sign = offset < 0 ? '-' : '+';
    const std::int32_t size = offset < 0 ? -offset : offset;
    std::string text = fmt::format("{}{:02}{:02}", sign, size / 3600, size / 60 % 60);
    if (size % 60 != 0) text += fmt::format("{:02}", size % 60);
    return text;
}

// The day of month of a rule's week-th weekday (week 5: the last) in a year.
int RuleDay(std::int64_t year, const ZoneChange& change)
{
    const std::int64_t first = util::DaysFromCivil(year, change.month, 1);
    int day = 1 + (change.weekday - util::WeekdayFromDays(first) + 7) % 7 + 7 * (change.week - 1);
    while (day > util::DaysInMonth(year, change.month)) day -= 7;
    return day;
}

// The wall-clock moment of a change in a year, on the clock of the offset it leaves.
std::int64_t ChangeWall(std::int64_t year, const ZoneChange& change)
{
    return util::DaysFromCivil(year, change.month, RuleDay(year, change)) * qv::kSecondsPerDay +
           change.secondsAfterMidnight;
}

const char* const kRuleDays[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};

// One observance of a VTIMEZONE: the rule as a yearly recurrence where it can say it (a time within
// its day), otherwise each change of the calendar's years listed.
std::string Observance(const char* kind, const std::string& abbreviation, std::int32_t from, std::int32_t to,
                       const ZoneChange& change, const PublishedCalendar& calendar)
{
    std::string text = FoldLine(fmt::format("BEGIN:{}", kind));
    text += FoldLine("DTSTART:" + DateTimeValue(ChangeWall(1970, change)));
    if (change.secondsAfterMidnight >= 0 && change.secondsAfterMidnight < qv::kSecondsPerDay) {
        text += FoldLine(fmt::format("RRULE:FREQ=YEARLY;BYMONTH={};BYDAY={}{}", change.month,
                                     change.week >= 5 ? -1 : change.week, kRuleDays[change.weekday]));
    } else {
        const std::int64_t first = qv::FromWallSeconds(calendar.from.wall).Year - 1;
        const std::int64_t last = qv::FromWallSeconds(calendar.to.wall).Year + 1;
        for (std::int64_t year = first; year <= last; ++year) {
            text += FoldLine("RDATE:" + DateTimeValue(ChangeWall(year, change)));
        }
    }
    text += FoldLine("TZOFFSETFROM:" + OffsetValue(from));
    text += FoldLine("TZOFFSETTO:" + OffsetValue(to));
    text += FoldLine("TZNAME:" + EscapeText(abbreviation));
    return text + FoldLine(fmt::format("END:{}", kind));
}

std::string TimeZoneComponent(const PublishedCalendar& calendar)
{
    const CalendarZone& zone = *calendar.zone;
    std::string text = FoldLine("BEGIN:VTIMEZONE") + FoldLine("TZID:" + zone.name);
    if (const auto& daylight = zone.daylight) {
        text += Observance("STANDARD", zone.abbreviation, daylight->offset, zone.offset, daylight->end, calendar);
        text +=
            Observance("DAYLIGHT", daylight->abbreviation, zone.offset, daylight->offset, daylight->start, calendar);
    } else {
        text += FoldLine("BEGIN:STANDARD") + FoldLine("DTSTART:19700101T000000") +
                FoldLine("TZOFFSETFROM:" + OffsetValue(zone.offset)) +
                FoldLine("TZOFFSETTO:" + OffsetValue(zone.offset)) +
                FoldLine("TZNAME:" + EscapeText(zone.abbreviation)) + FoldLine("END:STANDARD");
    }
    return text + FoldLine("END:VTIMEZONE");
}

std::uint64_t Fnv1a(std::string_view text, std::uint64_t hash = 14695981039346656037ull)
{
    for (const unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

std::string EventDescription(const CalendarWindow& window)
{
    std::string text = "Rates: " + RatesText(window);
    if (!window.enabledMessage.empty()) text += "\nPlayers are told: \"" + window.enabledMessage + "\"";
    return text;
}

} // namespace

std::string EscapeText(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case ';':
            escaped += "\\;";
            break;
        case ',':
            escaped += "\\,";
            break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            escaped += "\\n";
            break;
        case '\n':
            escaped += "\\n";
            break;
        default:
            escaped += (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f ? ' ' : c;
        }
    }
    return escaped;
}

std::string FoldLine(std::string_view line)
{
    std::string folded;
    folded.reserve(line.size() + line.size() / 70 * 3 + 2);
    // The first line holds 75 octets; each continuation starts with a space and holds 74 more.
    std::size_t room = kMostOctets;
    while (line.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
        // Bytes that are no UTF-8 at all are cut where the room ends.
        if (cut == 0) cut = room;
        folded.append(line.substr(0, cut));
        folded += "\r\n ";
        line.remove_prefix(cut);
        room = kMostOctets - 1;
    }
    folded.append(line);
    folded += "\r\n";
    return folded;
}

std::string StretchUid(const PublishedCalendar& calendar, const CalendarStretch& stretch)
{
    const std::uint64_t hash = Fnv1a(calendar.windows[stretch.window].name, Fnv1a(calendar.title + '\n'));
    return fmt::format("{:016x}-{}@quorvandelle", hash, DateTimeValue(stretch.start.wall));
}

std::string WriteFeed(const PublishedCalendar& calendar)
{
    const std::string name = EscapeText(calendar.title);
    std::string description = calendar.timingNote;
    if (!calendar.zone) description += " " + calendar.zoneText;
    description = EscapeText(description);

    std::string feed = FoldLine("BEGIN:VCALENDAR") + FoldLine("VERSION:2.0") +
                       FoldLine("PRODID:-//Quorvandelle//quorvandelle " QV_VERSION "//EN") +
                       FoldLine("CALSCALE:GREGORIAN") + FoldLine("METHOD:PUBLISH") + FoldLine("NAME:" + name) +
                       FoldLine("X-WR-CALNAME:" + name) + FoldLine("DESCRIPTION:" + description) +
                       FoldLine("X-WR-CALDESC:" + description) + FoldLine("REFRESH-INTERVAL;VALUE=DURATION:PT6H") +
                       FoldLine("X-PUBLISHED-TTL:PT6H");
    if (calendar.zone) feed += FoldLine("X-WR-TIMEZONE:" + calendar.zone->name) + TimeZoneComponent(calendar);

    const std::string stamp = "DTSTAMP:" + DateTimeValue(calendar.made) + "Z";
    for (const CalendarStretch& stretch : calendar.stretches) {
        const CalendarWindow& window = calendar.windows[stretch.window];
        feed += FoldLine("BEGIN:VEVENT");
        feed += FoldLine("UID:" + StretchUid(calendar, stretch));
        feed += FoldLine(stamp);
        feed += FoldLine(TimeProperty("DTSTART", calendar, stretch.start));
        feed += FoldLine(TimeProperty("DTEND", calendar, stretch.end));
        feed += FoldLine("SUMMARY:" + EscapeText(window.name));
        feed += FoldLine("DESCRIPTION:" + EscapeText(EventDescription(window)));
        feed += FoldLine("TRANSP:TRANSPARENT");
        feed += FoldLine("END:VEVENT");
    }
    return feed + FoldLine("END:VCALENDAR");
}

} // namespace qvtool

// Times are written in UTC, or as wall-clock times with the zone's TZID when the calendar has a
// named zone, whose rule goes along as a VTIMEZONE so that no reader needs a zone database.
#include "tool/ICalendarFeed.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

#include <fmt/format.h>

#include "plugin/schedule/Calendar.h"

#ifndef QV_VERSION
#error "QV_VERSION must be defined by the build"
#endif

namespace qvtool {

namespace {

constexpr std::size_t kMostOctets = 75;

// 20261224T100000: a wall-clock reading.
std::string DateTimeValue(WallTime wall)
{
    const qv::LocalTime at = qv::FromWallTime(wall);
    return fmt::format("{:04}{:02}{:02}T{:02}{:02}{:02}", at.Year, at.Month, at.Day, at.Hour, at.Minute, at.Second);
}

// 20261224T090000Z: an instant.
std::string UtcValue(Instant instant) { return DateTimeValue(util::WallAtOffset(instant, Seconds{0})) + "Z"; }

std::string TimeProperty(const char* name, const PublishedCalendar& calendar, const CalendarTime& time)
{
    if (calendar.Zone) return fmt::format("{};TZID={}:{}", name, calendar.Zone->Name, DateTimeValue(time.Wall));
    return fmt::format("{}:{}", name, UtcValue(time.At));
}

// +0100, or +053730 for an offset with seconds.
std::string OffsetValue(Seconds offset)
{
    const char sign = offset < Seconds{0} ? '-' : '+';
    const std::int64_t size = std::chrono::abs(offset).count();
    std::string text = fmt::format("{}{:02}{:02}", sign, size / 3600, size / 60 % 60);
    if (size % 60 != 0) text += fmt::format("{:02}", size % 60);
    return text;
}

const char* const kRuleDays[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};

// One observance of a VTIMEZONE: the rule as a yearly recurrence where it can say it (a time within
// its day), otherwise each change of the calendar's years listed.
std::string Observance(const char* kind, const std::string& abbreviation, Seconds from, Seconds to,
                       const util::ZoneChangeDay& change, const PublishedCalendar& calendar)
{
    std::string text = FoldLine(fmt::format("BEGIN:{}", kind));
    text += FoldLine("DTSTART:" + DateTimeValue(util::ChangeWallTime(change, 1970)));
    if (change.Time >= Seconds{0} && change.Time < Days{1}) {
        text += FoldLine(fmt::format("RRULE:FREQ=YEARLY;BYMONTH={};BYDAY={}{}", change.Month,
                                     change.Week >= 5 ? -1 : change.Week, kRuleDays[change.Weekday]));
    } else {
        const std::int64_t first = qv::FromWallTime(calendar.From.Wall).Year - 1;
        const std::int64_t last =
            std::min(qv::FromWallTime(calendar.To.Wall).Year + 1, qv::FromWallTime(LatestEnd()).Year);
        for (std::int64_t year = first; year <= last; ++year) {
            text += FoldLine("RDATE:" + DateTimeValue(util::ChangeWallTime(change, year)));
        }
    }
    text += FoldLine("TZOFFSETFROM:" + OffsetValue(from));
    text += FoldLine("TZOFFSETTO:" + OffsetValue(to));
    text += FoldLine("TZNAME:" + EscapeText(abbreviation));
    return text + FoldLine(fmt::format("END:{}", kind));
}

std::string TimeZoneComponent(const PublishedCalendar& calendar)
{
    const CalendarZone& zone = *calendar.Zone;
    std::string text = FoldLine("BEGIN:VTIMEZONE") + FoldLine("TZID:" + zone.Name);
    if (const auto& daylight = zone.Daylight) {
        text += Observance("STANDARD", zone.Abbreviation, daylight->Offset, zone.Offset, daylight->End, calendar);
        text +=
            Observance("DAYLIGHT", daylight->Abbreviation, zone.Offset, daylight->Offset, daylight->Start, calendar);
    } else {
        text += FoldLine("BEGIN:STANDARD") + FoldLine("DTSTART:19700101T000000") +
                FoldLine("TZOFFSETFROM:" + OffsetValue(zone.Offset)) +
                FoldLine("TZOFFSETTO:" + OffsetValue(zone.Offset)) +
                FoldLine("TZNAME:" + EscapeText(zone.Abbreviation)) + FoldLine("END:STANDARD");
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
    if (!window.EnabledMessage.empty()) text += "\nPlayers are told: \"" + window.EnabledMessage + "\"";
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
    const std::uint64_t hash = Fnv1a(calendar.Windows[stretch.Window].Name, Fnv1a(calendar.Title + '\n'));
    return fmt::format("{:016x}-{}@quorvandelle", hash, DateTimeValue(stretch.Start.Wall));
}

std::string WriteFeed(const PublishedCalendar& calendar)
{
    const std::string name = EscapeText(calendar.Title);
    std::string description = calendar.TimingNote;
    if (!calendar.ZoneText.empty()) description += (description.empty() ? "" : " ") + calendar.ZoneText;
    description = EscapeText(description);

    std::string feed = FoldLine("BEGIN:VCALENDAR") + FoldLine("VERSION:2.0") +
                       FoldLine("PRODID:-//Quorvandelle//quorvandelle " QV_VERSION "//EN") +
                       FoldLine("CALSCALE:GREGORIAN") + FoldLine("METHOD:PUBLISH") + FoldLine("NAME:" + name) +
                       FoldLine("X-WR-CALNAME:" + name) + FoldLine("DESCRIPTION:" + description) +
                       FoldLine("X-WR-CALDESC:" + description) + FoldLine("REFRESH-INTERVAL;VALUE=DURATION:PT6H") +
                       FoldLine("X-PUBLISHED-TTL:PT6H");
    if (calendar.Zone) feed += FoldLine("X-WR-TIMEZONE:" + calendar.Zone->Name) + TimeZoneComponent(calendar);

    const std::string stamp = "DTSTAMP:" + UtcValue(calendar.Made);
    for (const CalendarStretch& stretch : calendar.Stretches) {
        const CalendarWindow& window = calendar.Windows[stretch.Window];
        feed += FoldLine("BEGIN:VEVENT");
        feed += FoldLine("UID:" + StretchUid(calendar, stretch));
        feed += FoldLine(stamp);
        feed += FoldLine(TimeProperty("DTSTART", calendar, stretch.Start));
        feed += FoldLine(TimeProperty("DTEND", calendar, stretch.End));
        feed += FoldLine("SUMMARY:" + EscapeText(window.Name));
        feed += FoldLine("DESCRIPTION:" + EscapeText(EventDescription(window)));
        feed += FoldLine("TRANSP:TRANSPARENT");
        feed += FoldLine("END:VEVENT");
    }
    return feed + FoldLine("END:VCALENDAR");
}

} // namespace qvtool

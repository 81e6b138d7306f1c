// The feed's text as RFC 5545 wants it: folding, escaping, names that stay put, and the zone's rule.
// A parser of its own reads whole feeds in tests/tool/calendar_feed.py.
#include <gtest/gtest.h>

#include <cstdint>
#include <regex>
#include <string>

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include "plugin/config/DecodeConfig.h"
#include "plugin/config/Schedules.h"
#include "plugin/schedule/ZoneTable.h"
#include "tests/support/PluginServer.h"
#include "tool/CalendarPage.h"
#include "tool/CalendarStretches.h"
#include "tool/ICalendarFeed.h"

using namespace qvtool;

namespace {

std::vector<std::string> PhysicalLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(text.substr(at) + "<no CRLF>");
            break;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

CalendarTime Time(std::int64_t wall, std::int64_t instant)
{
    return {util::WallTimeOf(wall), util::InstantOf(instant)};
}

// A change on the week-th weekday of month, seconds after its midnight.
util::ZoneChangeDay Change(int month, int week, int weekday, std::int64_t seconds)
{
    util::ZoneChangeDay day;
    day.Month = month;
    day.Week = week;
    day.Weekday = weekday;
    day.Time = Seconds{seconds};
    return day;
}

} // namespace

TEST(ICalendarFeed, FoldsAt75OctetsWithoutSplittingACharacter)
{
    // Every length around the limits, of characters of one to four octets, mixed.
    const std::string pieces[] = {"a", "\u00e9", "\u20ac", "\U0001F389"};
    std::string line = "SUMMARY:";
    for (int i = 0; i < 200; ++i) {
        line += pieces[i % 4 == 3 ? (i / 4) % 4 : i % 4];
        const std::vector<std::string> folded = PhysicalLines(FoldLine(line));
        std::string unfolded;
        for (std::size_t n = 0; n < folded.size(); ++n) {
            const std::string& piece = folded[n];
            ASSERT_LE(piece.size(), 75u) << line;
            if (n > 0) {
                ASSERT_EQ(piece[0], ' ') << line;
                ASSERT_NE(static_cast<unsigned char>(piece[1]) & 0xC0, 0x80) << "split character in " << line;
            }
            unfolded += n == 0 ? piece : piece.substr(1);
        }
        ASSERT_EQ(unfolded, line);
        if (line.size() <= 75) {
            ASSERT_EQ(folded.size(), 1u);
        }
    }
}

TEST(ICalendarFeed, EscapesText)
{
    const std::pair<std::string, std::string> rows[] = {
        {"Fish, Chips; \\o/", "Fish\\, Chips\\; \\\\o/"},
        {"one\ntwo\r\nthree", "one\\ntwo\\nthree"},
        {std::string("bell\x07 nul\0!", 11), "bell  nul !"},
        {"tab\tstays", "tab\tstays"},
    };
    for (const auto& [text, escaped] : rows) EXPECT_EQ(EscapeText(text), escaped) << text;
}

TEST(ICalendarFeed, AStretchIsNamedByItsServerWindowAndStart)
{
    PublishedCalendar calendar;
    calendar.Title = "Island Cluster";
    calendar.Windows = {{"Evening", "", {}, ""}, {"Weekend", "", {}, ""}};
    const CalendarStretch evening{0, Time(1000, 1000), Time(2000, 2000)};
    const std::string uid = StretchUid(calendar, evening);
    EXPECT_EQ(StretchUid(calendar, {0, Time(1000, 5000), Time(9000, 9000)}), uid) << "only the wall-clock start counts";
    EXPECT_NE(StretchUid(calendar, {0, Time(1060, 1060), Time(2000, 2000)}), uid);
    EXPECT_NE(StretchUid(calendar, {1, Time(1000, 1000), Time(2000, 2000)}), uid);
    calendar.Title = "Other Cluster";
    EXPECT_NE(StretchUid(calendar, evening), uid);
}

TEST(ICalendarFeed, TimesAreUtcOrTheZonesWithItsRule)
{
    PublishedCalendar calendar;
    calendar.Title = "T";
    calendar.Windows = {{"Evening", "", {}, ""}};
    // 2026-12-24 20:00 wall, 19:00 UTC.
    calendar.Stretches = {{0, Time(1798142400, 1798138800), Time(1798149600, 1798146000)}};
    calendar.From = Time(1798070400, 1798066800);
    calendar.To = Time(1798156800, 1798153200);
    std::string feed = WriteFeed(calendar);
    EXPECT_NE(feed.find("\r\nDTSTART:20261224T190000Z\r\nDTEND:20261224T210000Z\r\n"), std::string::npos) << feed;
    EXPECT_EQ(feed.find("VTIMEZONE"), std::string::npos);

    calendar.Zone = CalendarZone{"Europe/Berlin", "CET", Seconds{3600},
                                 ZoneDaylight{"CEST", Seconds{7200}, Change(3, 5, 0, 7200), Change(10, 5, 0, 10800)}};
    feed = WriteFeed(calendar);
    EXPECT_NE(feed.find("\r\nDTSTART;TZID=Europe/Berlin:20261224T200000\r\n"), std::string::npos) << feed;
    // The first changes of 1970 under the rule: the last Sundays of October and March.
    EXPECT_NE(feed.find("BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:STANDARD\r\nDTSTART:19701025T030000\r\n"
                        "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\n"
                        "TZNAME:CET\r\nEND:STANDARD\r\nBEGIN:DAYLIGHT\r\nDTSTART:19700329T020000\r\n"
                        "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\n"
                        "TZNAME:CEST\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n"),
              std::string::npos)
        << feed;

    // A change at 24:00 (the second Sunday's end) is no yearly rule of one day: each year's is listed.
    calendar.Zone = CalendarZone{"Test/Late", "LST", Seconds{-12600},
                                 ZoneDaylight{"LDT", Seconds{-9000}, Change(3, 2, 0, 86400), Change(11, 1, 6, -3600)}};
    feed = WriteFeed(calendar);
    for (const char* line : {"DTSTART:19700309T000000", "RDATE:20250310T000000", "RDATE:20271105T230000",
                             "RDATE:20251031T230000", "TZOFFSETFROM:-0330", "TZOFFSETTO:-0230"}) {
        EXPECT_NE(feed.find(std::string("\r\n") + line + "\r\n"), std::string::npos) << line << "\n" << feed;
    }
    EXPECT_EQ(feed.find("RRULE"), std::string::npos);
}

// With a TimeZone, each start and end is the wall-clock time at which the plug-in switches: one that
// exists in the zone, and that a reader, who takes a repeated time at its first pass, puts at the
// moment of the switch. Every compiled zone, with windows opening and closing every 20 minutes from
// an hour before each of its clock changes of the year to three hours after.
TEST(ICalendarFeed, EveryZonedTimeExistsAndIsTheMomentOfTheSwitch)
{
    const auto text = [](WallTime wall) {
        const qv::LocalTime at = qv::FromWallTime(wall);
        return fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}", at.Year, at.Month, at.Day, at.Hour, at.Minute);
    };
    const std::regex zoned(";TZID=[^:]+:(\\d{4})(\\d\\d)(\\d\\d)T(\\d\\d)(\\d\\d)(\\d\\d)\r\n");
    const Instant year = util::InstantOf(1767225600); // 2026-01-01 00:00 UTC
    int zonesWithChanges = 0;
    for (std::size_t entry = 0; entry < qv::ZoneTableSize; ++entry) {
        const std::optional<qv::TimeZone> zone = qv::FindTimeZone(qv::ZoneTable[entry].Name);
        ASSERT_TRUE(zone) << qv::ZoneTable[entry].Name;
        nlohmann::json document = testing_support::ValidConfig();
        document["Quorvandelle"]["TimeZone"] = zone->Name;
        nlohmann::json& schedules = document["Quorvandelle"]["Schedules"] = nlohmann::json::array();
        for (auto change = util::NextTransition(zone->Rules, year); change && change->At < year + Days{365};
             change = util::NextTransition(zone->Rules, change->At)) {
            const WallTime wall = util::WallAtOffset(change->At, change->Before);
            for (int step = 0; step < 12 && schedules.size() < qv::kMostSchedules; ++step) {
                const WallTime from = wall - util::Hours{1} + Minutes{20 * step};
                schedules.push_back({{"Name", fmt::format("W{}", schedules.size())},
                                     {"From", text(from)},
                                     {"Until", text(from + Minutes{10})}});
            }
        }
        // Without a change of the clocks in the year every wall-clock time exists.
        if (schedules.empty()) continue;
        ++zonesWithChanges;
        const qv::DecodedConfig decoded = qv::DecodeConfig(document.dump(), std::nullopt);
        ASSERT_TRUE(decoded.Value) << zone->Name << ": " << qv::DescribeAll("config", decoded.Errors);
        const PublishedCalendar calendar = MakePublishedCalendar(*decoded.Value, {"T", year, 365, Instant{}});
        const std::string feed = WriteFeed(calendar);

        std::vector<Instant> switches;
        for (const CalendarStretch& stretch : calendar.Stretches) {
            switches.push_back(stretch.Start.At);
            switches.push_back(stretch.End.At);
        }
        std::size_t next = 0;
        for (std::sregex_iterator match(feed.begin(), feed.end(), zoned), end; match != end; ++match, ++next) {
            const qv::LocalTime written{std::stoi((*match)[1]), std::stoi((*match)[2]), std::stoi((*match)[3]),
                                        std::stoi((*match)[4]), std::stoi((*match)[5]), std::stoi((*match)[6])};
            const util::LocalInstants instants = util::InstantsOf(zone->Rules, qv::ToWallTime(written));
            ASSERT_NE(instants.Shown, util::LocalInstants::Kind::Skipped) << zone->Name << " " << match->str();
            ASSERT_LT(next, switches.size()) << zone->Name;
            ASSERT_EQ(instants.Earlier, switches[next]) << zone->Name << " " << match->str();
        }
        EXPECT_EQ(next, calendar.Zone ? switches.size() : 0u) << zone->Name;
    }
    EXPECT_GT(zonesWithChanges, 100);
}

// The last days the tool shows, with a window in force past their end: on a zone's clock, on one
// whose changes the feed lists year by year, and in UTC from the local time five hours behind it.
TEST(ICalendarFeed, NothingIsWrittenPastTheLastDate)
{
    const std::regex fiveDigitYear("\\d{9}T\\d{6}|\\d{5}-\\d\\d-\\d\\d");
    for (const char* zone : {"America/New_York", "Asia/Jerusalem", ""}) {
        nlohmann::json document = testing_support::ValidConfig();
        // Thursday to Tuesday: in force over the last day's end, Friday 9999-12-31.
        document["Quorvandelle"]["StartDay"] = 4;
        document["Quorvandelle"]["EndDay"] = 2;
        if (*zone != '\0') document["Quorvandelle"]["TimeZone"] = zone;
        const qv::DecodedConfig decoded = qv::DecodeConfig(document.dump(), std::nullopt);
        ASSERT_TRUE(decoded.Value) << qv::DescribeAll("config", decoded.Errors);
        const qv::LocalClock clock = qv::ClockOf(*decoded.Value);
        const Instant from = InstantOfWall(clock, *ParseLocalDateTime("9999-12-01")).Time;
        const PublishedCalendar calendar = MakePublishedCalendar(*decoded.Value, {"T", from, 30, Instant{}});
        ASSERT_FALSE(calendar.Stretches.empty());
        EXPECT_EQ(calendar.Stretches.back().End.Wall, LatestEnd()) << zone;
        for (const std::string& text : {WriteFeed(calendar), WritePage(calendar)}) {
            std::smatch found;
            EXPECT_FALSE(std::regex_search(text, found, fiveDigitYear)) << zone << ": " << found.str();
        }
    }
}

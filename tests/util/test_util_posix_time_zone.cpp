// POSIX TZ rules: the forms a zoneinfo file's last line uses, the offsets on both sides of each
// change, and the local times that a change skips or repeats. Every zone of the table is compared
// with the system's zoneinfo in tests/config.
#include <gtest/gtest.h>

#include "util/CivilDate.h"
#include "util/PosixTimeZone.h"

namespace {

using util::Hours;
using util::Instant;
using util::Minutes;
using util::Seconds;
using util::WallTime;

constexpr Seconds kHour = Hours{1};

Instant Utc(int year, int month, int day, int hour, int minute = 0)
{
    return Instant{util::Days{util::DaysFromCivil(year, month, day)} + Hours{hour} + Minutes{minute}};
}

// The same reading on a wall clock.
WallTime Wall(int year, int month, int day, int hour, int minute = 0)
{
    return util::WallAtOffset(Utc(year, month, day, hour, minute), Seconds{0});
}

util::PosixTimeZone Zone(const char* text)
{
    const std::optional<util::PosixTimeZone> zone = util::ParsePosixTimeZone(text);
    EXPECT_TRUE(zone) << text;
    return zone.value_or(util::PosixTimeZone{});
}

TEST(PosixTimeZone, ReadsTheFormsOfTheZoneinfoFilesAndNothingElse)
{
    for (const char* text :
         {"UTC0", "<+0530>-5:30", "<-03>3", "CET-1CEST,M3.5.0,M10.5.0/3", "EST5EDT,M3.2.0,M11.1.0",
          "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", "<-02>2<-01>,M3.5.0/-1,M10.5.0/0", "IST-2IDT,M3.4.4/26,M10.5.0",
          "EST5EDT4,0/0,J365/25", "WET0WEST,M3.5.0/1,M10.5.0", "<+1245>-12:45<+1345>,M9.5.0/2:45,M4.1.0/3:45"}) {
        EXPECT_TRUE(util::ParsePosixTimeZone(text)) << text;
    }
    for (const char* text : {"", "UT0", "CET", "CET-1CEST", "CET-1CEST,M3.5.0", "CET-1CEST,M13.5.0,M10.5.0",
                             "CET-1CEST,M3.6.0,M10.5.0", "CET-1CEST,M3.5.7,M10.5.0", "CET-1CEST,J0,J365", "CET-25",
                             "<+05-5", "CET-1CEST,M3.5.0/168,M10.5.0", "UTC0 "}) {
        EXPECT_FALSE(util::ParsePosixTimeZone(text)) << text;
    }
    const util::PosixTimeZone india = Zone("<+0530>-5:30");
    EXPECT_EQ(india.StandardOffset, 5 * kHour + Minutes{30});
    EXPECT_FALSE(india.HasDaylight);
    EXPECT_EQ(india.StandardName, "+0530");
    const util::PosixTimeZone berlin = Zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(berlin.StandardName + " " + berlin.DaylightName, "CET CEST");
    EXPECT_EQ(berlin.DaylightOffset, 2 * kHour); // an hour on the standard offset when not written
    EXPECT_EQ(berlin.End.Time, 3 * kHour);
}

// Offsets at the second before and at each change, for rules of both hemispheres, changes at
// negative and at more than 24 hours, half-hour changes and both day-of-year forms.
TEST(PosixTimeZone, TheOffsetChangesAtTheRuleInstant)
{
    struct Row {
        const char* rule;
        Instant change;
        Seconds before;
        Seconds after;
    };
    const Row rows[] = {
        // Berlin: last Sunday of March and of October, 01:00 UTC.
        {"CET-1CEST,M3.5.0,M10.5.0/3", Utc(2026, 3, 29, 1), kHour, 2 * kHour},
        {"CET-1CEST,M3.5.0,M10.5.0/3", Utc(2026, 10, 25, 1), 2 * kHour, kHour},
        // New York: second Sunday of March at 02:00 EST, first Sunday of November at 02:00 EDT.
        {"EST5EDT,M3.2.0,M11.1.0", Utc(2027, 3, 14, 7), -5 * kHour, -4 * kHour},
        {"EST5EDT,M3.2.0,M11.1.0", Utc(2027, 11, 7, 6), -4 * kHour, -5 * kHour},
        // Sydney: daylight time from the first Sunday of October into April of the next year.
        {"AEST-10AEDT,M10.1.0,M4.1.0/3", Utc(2026, 10, 3, 16), 10 * kHour, 11 * kHour},
        {"AEST-10AEDT,M10.1.0,M4.1.0/3", Utc(2027, 4, 3, 16), 11 * kHour, 10 * kHour},
        // Lord Howe: half an hour.
        {"<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", Utc(2026, 10, 3, 15, 30), 10 * kHour + Minutes{30}, 11 * kHour},
        // Nuuk: the day before at -1:00, i.e. Saturday 23:00 local standard time.
        {"<-02>2<-01>,M3.5.0/-1,M10.5.0/0", Utc(2026, 3, 29, 1), -2 * kHour, -kHour},
        // Jerusalem: the Friday before the last Sunday of March, as Thursday 26:00.
        {"IST-2IDT,M3.4.4/26,M10.5.0", Utc(2026, 3, 27, 0), 2 * kHour, 3 * kHour},
        // Day 60 counts 29 February in a leap year with the zero-based form, never with J.
        {"XST0XDT,59/0,300/0", Utc(2028, 2, 29, 0), Seconds{0}, kHour},
        {"XST0XDT,J60/0,J300/0", Utc(2028, 3, 1, 0), Seconds{0}, kHour},
    };
    for (const Row& row : rows) {
        const util::PosixTimeZone zone = Zone(row.rule);
        const std::int64_t at = util::SecondsSinceEpoch(row.change);
        EXPECT_EQ(util::UtcOffsetAt(zone, row.change - Seconds{1}), row.before) << row.rule << " at " << at;
        EXPECT_EQ(util::UtcOffsetAt(zone, row.change), row.after) << row.rule << " at " << at;
        const std::optional<util::ZoneTransition> next = util::NextTransition(zone, row.change - util::Days{20});
        ASSERT_TRUE(next) << row.rule;
        EXPECT_EQ(next->At, row.change) << row.rule;
        EXPECT_EQ(next->Before, row.before) << row.rule;
        EXPECT_EQ(next->After, row.after) << row.rule;
    }
    // Daylight time all year changes nothing, ever.
    const util::PosixTimeZone always = Zone("EST5EDT4,0/0,J365/25");
    EXPECT_EQ(util::UtcOffsetAt(always, Utc(2026, 1, 1, 4, 59)), -4 * kHour);
    EXPECT_EQ(util::UtcOffsetAt(always, Utc(2026, 7, 1, 0)), -4 * kHour);
    EXPECT_FALSE(util::NextTransition(always, Utc(2026, 1, 1, 0)));
    EXPECT_FALSE(util::NextTransition(Zone("UTC0"), Instant{}));
}

// Berlin's spring change skips 02:00-03:00 local; its autumn change shows 02:00-03:00 twice.
TEST(PosixTimeZone, LocalTimesInASkippedHourComeAfterItAndInARepeatedHourTwice)
{
    const util::ZoneRules berlin{{}, Zone("CET-1CEST,M3.5.0,M10.5.0/3")};
    const Instant spring = Utc(2026, 3, 29, 1);
    const Instant autumn = Utc(2026, 10, 25, 1);
    const auto local = [](int month, int day, int hour, int minute) { return Wall(2026, month, day, hour, minute); };
    using Kind = util::LocalInstants::Kind;

    const util::LocalInstants skipped = util::InstantsOf(berlin, local(3, 29, 2, 30));
    EXPECT_EQ(skipped.Shown, Kind::Skipped);
    EXPECT_EQ(skipped.Earlier, spring);
    const util::LocalInstants repeated = util::InstantsOf(berlin, local(10, 25, 2, 30));
    EXPECT_EQ(repeated.Shown, Kind::Repeated);
    EXPECT_EQ(repeated.Earlier, autumn - Minutes{30});
    EXPECT_EQ(repeated.Later, autumn + Minutes{30});
    const util::LocalInstants plain = util::InstantsOf(berlin, local(3, 29, 3, 0));
    EXPECT_EQ(plain.Shown, Kind::Unique);
    EXPECT_EQ(plain.Earlier, spring);

    const auto offset = [&](Instant at) { return util::UtcOffsetAt(berlin, at); };
    const auto next = [&](Instant from, Instant to) -> std::optional<Instant> {
        const auto change = util::NextTransition(berlin, from);
        return change && change->At <= to ? std::optional(change->At) : std::nullopt;
    };
    const auto first = [&](WallTime wall, Instant after) {
        return util::FirstInstantShowing(wall, after, offset, next);
    };
    // 02:30 on the spring night: the first moment after the gap.
    EXPECT_EQ(first(local(3, 29, 2, 30), spring - 5 * kHour), spring);
    // 03:30: an hour after 02:30 on the wall clock, half an hour in real time.
    EXPECT_EQ(first(local(3, 29, 3, 30), spring - 5 * kHour), spring + Minutes{30});
    // 02:30 on the autumn night: the first pass, or the second when the first is behind.
    EXPECT_EQ(first(local(10, 25, 2, 30), autumn - 5 * kHour), autumn - Minutes{30});
    EXPECT_EQ(first(local(10, 25, 2, 30), autumn + Minutes{1}), autumn + Minutes{30});
    // A moment already shown: the next second.
    EXPECT_EQ(first(local(7, 1, 12, 0), Utc(2026, 7, 1, 12)), Utc(2026, 7, 1, 12) + Seconds{1});
}

} // namespace

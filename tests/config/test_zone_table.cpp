// The compiled-in zones against the system's zoneinfo (glibc's localtime with TZ set to each zone):
// every zone's rule, at the second before and after each of its changes from 2026 to 2040, and twice
// a month between them, so that a change the rule misses shows too. Natively only: Windows has no
// zoneinfo, which is why the table exists.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "plugin/schedule/TimeZone.h"
#include "plugin/schedule/ZoneTable.h"
#include "util/CivilDate.h"

namespace {

#if !defined(_WIN32)
// The offset the system's zoneinfo gives at an instant, in the zone TZ names now.
long SystemOffset(std::int64_t instant)
{
    const std::time_t time = static_cast<std::time_t>(instant);
    std::tm local{};
    localtime_r(&time, &local);
    return local.tm_gmtoff;
}
#endif

TEST(ZoneTable, EveryZoneFollowsTheSystemsZoneinfoFrom2026To2040)
{
#if defined(_WIN32)
    GTEST_SKIP() << "no zoneinfo to compare with";
#else
    if (!std::filesystem::exists("/usr/share/zoneinfo/Europe/Berlin")) GTEST_SKIP() << "no zoneinfo (tzdata)";
    const char* saved = std::getenv("TZ");
    const std::string before = saved != nullptr ? saved : "";
    const util::Instant from{util::Days{util::DaysFromCivil(2026, 1, 1)}};
    const util::Instant to{util::Days{util::DaysFromCivil(2041, 1, 1)}};
    ASSERT_GT(qv::ZoneTableSize, 400u);
    int differences = 0;
    for (std::size_t i = 0; i < qv::ZoneTableSize; ++i) {
        const char* name = qv::ZoneTable[i].Name;
        const std::optional<qv::TimeZone> zone = qv::FindTimeZone(name);
        ASSERT_TRUE(zone) << name << ": " << qv::ZoneTable[i].Rule;
        setenv("TZ", (std::string(":") + name).c_str(), 1);
        tzset();
        const auto compare = [&](util::Instant at) {
            const long expected = SystemOffset(util::SecondsSinceEpoch(at));
            const long offset = static_cast<long>(util::UtcOffsetAt(zone->Rules, at).count());
            if (offset == expected) return;
            if (++differences > 20) return;
            ADD_FAILURE() << name << " (" << zone->Rules.Rule.StandardOffset.count() << ") at "
                          << util::SecondsSinceEpoch(at) << ": offset " << offset << ", the system's " << expected;
        };
        for (util::Instant at = from; at < to; at += util::Days{15}) compare(at);
        for (auto change = util::NextTransition(zone->Rules, from); change && change->At < to;
             change = util::NextTransition(zone->Rules, change->At)) {
            compare(change->At - util::Seconds{1});
            compare(change->At);
        }
    }
    if (before.empty()) {
        unsetenv("TZ");
    } else {
        setenv("TZ", before.c_str(), 1);
    }
    tzset();
#endif
}

TEST(ZoneTable, NamesAreExactAndUnknownOnesGetTheNearest)
{
    EXPECT_TRUE(qv::FindTimeZone("Europe/Berlin"));
    EXPECT_TRUE(qv::FindTimeZone("UTC"));
    EXPECT_TRUE(qv::FindTimeZone("America/Argentina/Buenos_Aires"));
    for (const char* name : {"europe/berlin", "Europe/Berlin ", "", "Europe", "posixrules", "localtime", "right/UTC"}) {
        EXPECT_FALSE(qv::FindTimeZone(name)) << name;
    }
    EXPECT_EQ(qv::NearestTimeZoneName("europe/berlin"), "Europe/Berlin");
    EXPECT_EQ(qv::NearestTimeZoneName("America/NewYork"), "America/New_York");
    EXPECT_EQ(qv::NearestTimeZoneName("Mars/Olympus_Mons"), "");
}

} // namespace

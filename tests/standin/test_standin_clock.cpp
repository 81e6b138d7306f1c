// The clock the plug-in reads: the runtime's _time64 and _localtime64_s over a simulated time
// that the server sets and that every timer call advances.
#include <cerrno>
#include <chrono>
#include <ctime>
#include <stdexcept>

#include <gtest/gtest.h>

#include "standin/runtime/SimulatedClock.h"
#include "tests/standin/StandinTest.h"

namespace {

using standin_test::ServerTest;

std::int64_t RealNow()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

using Clock = ServerTest;

TEST(ClockStart, StartsSimulatedAtTheRealTimeAndEachTimerCallAdvancesOneInterval)
{
    // The real clock read before and after the server starts brackets its first time, however slow the machine.
    const std::int64_t before = RealNow();
    standin::Server server;
    const std::int64_t after = RealNow();
    EXPECT_TRUE(qv_clock_is_simulated());
    EXPECT_GE(server.Now(), before);
    EXPECT_LE(server.Now(), after);
    server.SetClock(1'000'000);
    server.RunTimer(5);
    EXPECT_EQ(server.Now(), 1'000'000 + 5 * standin::Server::TimerIntervalSeconds);
    server.AdvanceClock(-100);
    EXPECT_EQ(server.Now(), 999'905);
}

TEST_F(Clock, LocalDatesGiveTheirWeekdayAndImpossibleDatesAreRefused)
{
    struct Day {
        int year, month, day, weekday;
    };
    for (const Day d : {Day{2026, 12, 9, 3}, Day{2026, 12, 12, 6}, Day{2024, 2, 29, 4}, Day{2027, 1, 3, 0}}) {
        server.SetLocalTime(d.year, d.month, d.day, 23, 59, 59);
        EXPECT_EQ(server.LocalWeekday(), d.weekday) << d.year << "-" << d.month << "-" << d.day;
    }
    server.SetLocalTime(2026, 12, 12);
    const std::int64_t before = server.Now();
    EXPECT_THROW(server.SetLocalTime(2026, 2, 30), std::invalid_argument);
    EXPECT_THROW(server.SetLocalTime(2026, 13, 1), std::invalid_argument);
    EXPECT_THROW(server.SetLocalTime(2026, 1, 1, 24), std::invalid_argument);
    EXPECT_EQ(server.Now(), before);
}

#if !defined(_WIN32)
TEST_F(Clock, RuntimeFunctionsBehaveAsTheWindowsRuntimesDo)
{
    server.SetClock(1'780'000'000);
    std::int64_t stored = 0;
    EXPECT_EQ(_time64(nullptr), 1'780'000'000);
    EXPECT_EQ(_time64(&stored), 1'780'000'000);
    EXPECT_EQ(stored, 1'780'000'000);

    std::tm converted{};
    const std::int64_t when = 1'780'000'000;
    ASSERT_EQ(_localtime64_s(&converted, &when), 0);
    std::tm expected{};
    const std::time_t plain = static_cast<std::time_t>(when);
    localtime_r(&plain, &expected);
    EXPECT_EQ(converted.tm_wday, expected.tm_wday);
    EXPECT_EQ(converted.tm_mday, expected.tm_mday);
    EXPECT_EQ(converted.tm_hour, expected.tm_hour);

    const std::int64_t negative = -1;
    EXPECT_EQ(_localtime64_s(&converted, &negative), EINVAL);
    EXPECT_EQ(converted.tm_wday, -1);
    EXPECT_EQ(_localtime64_s(&converted, nullptr), EINVAL);
    EXPECT_EQ(_localtime64_s(nullptr, &when), EINVAL);
}
#endif

TEST_F(Clock, ALoadedPluginReadsTheSimulatedClock)
{
    server.LoadPlugin(standin::Server::LibraryBesideExecutable("standin_clock_probe"));
    server.SetClock(1'234'567'890);
    server.RunTimer(10);
    ASSERT_TRUE(server.ServerConsole("clockprobe"));
    server.UnloadPlugin();
    EXPECT_TRUE(server.Registrations().empty());
    const auto records = server.LogRecords();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().logger, "ClockProbe");
    EXPECT_EQ(records.back().message, "1234567900");
}

TEST(ClockOptions, TheRealClockIsLeftAloneByTimerCalls)
{
    standin::ServerOptions options;
    options.echoLogToConsole = false;
    options.realClock = true;
    standin::Server server(options);
    EXPECT_FALSE(qv_clock_is_simulated());
    const std::int64_t before = RealNow();
    server.RunTimer(100);
    const std::int64_t now = server.Now();
    EXPECT_GE(now, before);
    EXPECT_LE(now, RealNow()) << "100 timer calls moved the real clock on";
}

} // namespace

// What the tool prints: JSON lines with their members and plain float forms, the chat line's
// markup shown in its colour only when colour is on, and when colour is on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

#include "plugin/schedule/TimeZone.h"
#include "tests/support/TestZone.h"
#include "tool/JsonEvents.h"
#include "tool/Terminal.h"

using namespace qvtool;

TEST(ToolOutput, JsonLinesCarryTheMembersOfTheirEvent)
{
    const qv::LocalClock host;
    const Event notification{InstantOfWall(host, *ParseLocalDateTime("2025-01-10T00:05:19")).Time,
                             events::Notification{"alice", "On \"now\"", {0.2f, 1.0f, 0.1f, 1.0f}, 1.2f, 8.0f}};
    const auto line = nlohmann::json::parse(EventToJsonLine(notification, host));
    EXPECT_EQ(line["time"], "2025-01-10T00:05:19+00:00") << "the tool's tests run in UTC";
    EXPECT_EQ(line["event"], "notification");
    EXPECT_EQ(line["player"], "alice");
    EXPECT_EQ(line["text"], "On \"now\"");
    // The floats' own shortest forms, not their widened doubles (0.2f is 0.20000000298023224).
    EXPECT_EQ(line["color"].dump(), "[0.2,1.0,0.1,1.0]");
    EXPECT_EQ(line["scale"].dump(), "1.2");
    EXPECT_EQ(line["duration"].dump(), "8.0");
    EXPECT_EQ(EventToJsonLine(notification, host).rfind("{\"time\":", 0), 0u) << "time comes first";

    const Event rates{Instant{}, events::Rates{true,
                                               {{"XPMultiplier", 1.0f}, {"MatingIntervalMultiplier", 0.75f}},
                                               {{"XPMultiplier", 2.0f}, {"MatingIntervalMultiplier", 0.5f}},
                                               "Evening",
                                               {"XPMultiplier"}}};
    const auto switched = nlohmann::json::parse(EventToJsonLine(rates, host));
    EXPECT_EQ(switched["state"], "weekend");
    EXPECT_EQ(switched["lowered"].dump(), R"(["XPMultiplier"])");
    EXPECT_EQ(switched["fields"].dump(), R"({"MatingIntervalMultiplier":0.5,"XPMultiplier":2.0})");
    EXPECT_EQ(switched["before"]["XPMultiplier"], 1.0);
}

TEST(ToolOutput, JsonTimesCarryTheirOffsetFromUtcOnTheRunsClock)
{
    const qv::TimeZone berlin = *qv::FindTimeZone("Europe/Berlin");
    const qv::TimeZone kolkata = *qv::FindTimeZone("Asia/Kolkata");
    const qv::TimeZone utc = *qv::FindTimeZone("UTC");
    const struct {
        const qv::TimeZone* Zone;
        const char* Wall;
        const char* Time;
    } rows[] = {
        {&berlin, "2026-12-11T00:05:19", "2026-12-11T00:05:19+01:00"},
        {&berlin, "2026-07-01T12:00", "2026-07-01T12:00:00+02:00"},
        {&kolkata, "2026-12-11T00:05", "2026-12-11T00:05:00+05:30"},
        {&utc, "2026-12-11T00:05", "2026-12-11T00:05:00+00:00"},
        {nullptr, "2026-07-01T12:00", "2026-07-01T12:00:00-04:00"},
    };
    const testing_support::TestZone zone; // the host's clock in US Eastern time (tests/tool/CMakeLists.txt)
    for (const auto& row : rows) {
        const qv::LocalClock clock(row.Zone);
        const Event start{InstantOfWall(clock, *ParseLocalDateTime(row.Wall)).Time, events::End{}};
        EXPECT_EQ(nlohmann::json::parse(EventToJsonLine(start, clock))["time"], row.Time) << row.Wall;
    }
}

TEST(ToolOutput, TextThatIsNotUtf8StillMakesALineWithTheBadByteReplaced)
{
    const Event log{Instant{}, events::Log{"info", "Quorvandelle", "bad \xff byte"}};
    const auto line = nlohmann::json::parse(EventToJsonLine(log, qv::LocalClock()));
    EXPECT_EQ(line["event"], "log");
    EXPECT_EQ(line["level"], "info");
    EXPECT_EQ(line["logger"], "Quorvandelle");
    EXPECT_EQ(line["text"], "bad \xEF\xBF\xBD byte") << "U+FFFD in place of the byte, the rest kept";
}

TEST(ToolOutput, RichColorMarkupIsShownInItsColourOnlyWithColour)
{
    const std::string line = "<RichColor Color=\"0.2, 1, 0, 1\">Weekend!</>";
    EXPECT_EQ(RenderRichColor(line, Style(false)), line);
    EXPECT_EQ(RenderRichColor(line, Style(true)), "\x1b[38;2;51;255;0mWeekend!\x1b[0m");
    // Components beyond 0 to 1 are clamped for the terminal; text that is not markup passes as it is.
    EXPECT_EQ(RenderRichColor("<RichColor Color=\"255, -1, 0.5, 1\">x</>", Style(true)),
              "\x1b[38;2;255;0;128mx\x1b[0m");
    for (const char* other : {"plain", "<RichColor Color=\"1, 1\">x</>", "<RichColor Color=\"1, 0, 0, 1\">unclosed"}) {
        EXPECT_EQ(RenderRichColor(other, Style(true)), other);
    }
    EXPECT_EQ(Style(false).Paint("x", Tone::Error), "x");
    EXPECT_EQ(Style(true).Paint("x", Tone::Error), "\x1b[1;31mx\x1b[0m");
}

#if !defined(_WIN32)
TEST(ToolOutput, ColourOnlyOnATerminalAndOnlyWhileNoColorIsUnsetOrEmpty)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    std::FILE* terminal = std::fopen(ptsname(master), "w");
    std::FILE* file = std::tmpfile();
    ASSERT_NE(terminal, nullptr);
    ASSERT_NE(file, nullptr);
    const char* previous = std::getenv("NO_COLOR");
    const std::optional<std::string> saved = previous != nullptr ? std::optional<std::string>(previous) : std::nullopt;
    const auto setNoColor = [](const char* value) {
        value != nullptr ? setenv("NO_COLOR", value, 1) : unsetenv("NO_COLOR");
    };
    struct Row {
        const char* noColor; // null: unset
        bool colourOnTheTerminal;
    };
    for (const Row& row : {Row{nullptr, true}, Row{"", true}, Row{"1", false}, Row{"0", false}}) {
        setNoColor(row.noColor);
        const std::string shown = row.noColor != nullptr ? "NO_COLOR=\"" + std::string(row.noColor) + "\"" : "unset";
        EXPECT_EQ(Style::For(terminal).Colour(), row.colourOnTheTerminal) << shown;
        EXPECT_FALSE(Style::For(file).Colour()) << "a file, NO_COLOR " << shown;
    }
    setNoColor(saved ? saved->c_str() : nullptr);
    std::fclose(file);
    std::fclose(terminal);
    close(master);
}
#endif

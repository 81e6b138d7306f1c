// What the tool prints: JSON lines with their members and plain float forms, and the chat line's
// markup shown in its colour only when colour is on.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tool/JsonEvents.h"
#include "tool/Terminal.h"

using namespace qvtool;

TEST(ToolOutput, JsonLinesCarryTheMembersOfTheirEvent)
{
    const Event notification{*ParseLocalDateTime("2025-01-10T00:05:19"),
                             events::Notification{"alice", "On \"now\"", {0.2f, 1.0f, 0.1f, 1.0f}, 1.2f, 8.0f}};
    const auto line = nlohmann::json::parse(EventToJsonLine(notification));
    EXPECT_EQ(line["time"], "2025-01-10T00:05:19");
    EXPECT_EQ(line["event"], "notification");
    EXPECT_EQ(line["player"], "alice");
    EXPECT_EQ(line["text"], "On \"now\"");
    // The floats' own shortest forms, not their widened doubles (0.2f is 0.20000000298023224).
    EXPECT_EQ(line["color"].dump(), "[0.2,1.0,0.1,1.0]");
    EXPECT_EQ(line["scale"].dump(), "1.2");
    EXPECT_EQ(line["duration"].dump(), "8.0");
    EXPECT_EQ(EventToJsonLine(notification).rfind("{\"time\":", 0), 0u) << "time comes first";

    const Event rates{0, events::Rates{true,
                                       {{"XPMultiplier", 1.0f}, {"MatingIntervalMultiplier", 0.75f}},
                                       {{"XPMultiplier", 2.0f}, {"MatingIntervalMultiplier", 0.5f}},
                                       "Evening"}};
    const auto switched = nlohmann::json::parse(EventToJsonLine(rates));
    EXPECT_EQ(switched["state"], "weekend");
    EXPECT_EQ(switched["fields"].dump(), R"({"MatingIntervalMultiplier":0.5,"XPMultiplier":2.0})");
    EXPECT_EQ(switched["before"]["XPMultiplier"], 1.0);
}

TEST(ToolOutput, TextThatIsNotUtf8StillMakesALine)
{
    const Event log{0, events::Log{"info", "Quorvandelle", "bad \xff byte"}};
    EXPECT_TRUE(nlohmann::json::accept(EventToJsonLine(log)));
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

// The host's log sinks: they take the line a logger formatted into each record, record its level,
// logger, text and flush, and echo to the console only when asked; the host's own notices come
// through the same sinks in the host's own format.
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "plugin/host/LogSink.h"
#include "tests/standin/StandinTest.h"

namespace {

using standin_test::ServerTest;
using standin_test::TestString;

// A record as a logger of the host's kind hands it to every sink.
void LogToHostSinks(HostLog::Level level, const std::string& text, const std::string& line, bool flush)
{
    static const std::string logger = "Quorvandelle";
    HostLog::Message message(&logger, level);
    message.Raw.Text->Append(text);
    message.Formatted.Text->Append(line);
    for (const auto& sink : GetLogSinks()) sink->Log(message);
    if (flush) {
        for (const auto& sink : GetLogSinks()) sink->Flush();
    }
}

using LogSinks = ServerTest;

TEST_F(LogSinks, RecordLevelLoggerTextFlushAndTheLineWithoutItsOneLineEnding)
{
    ASSERT_EQ(GetLogSinks().size(), 2u);
    const std::string end(HostLog::LineEnd);
    LogToHostSinks(HostLog::Level::Info, "weekend rates on", "01/02/27 10:00 [Quorvandelle][info] on" + end, true);
    LogToHostSinks(HostLog::Level::Debug, "detail", "detail\n\n", false);
    const auto records = server.LogRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].level, standin::LogLevel::Info);
    EXPECT_EQ(records[0].logger, "Quorvandelle");
    EXPECT_EQ(records[0].message, "weekend rates on");
    EXPECT_EQ(records[0].line, "01/02/27 10:00 [Quorvandelle][info] on");
    EXPECT_TRUE(records[0].flushed);
    EXPECT_EQ(records[1].level, standin::LogLevel::Debug);
    EXPECT_EQ(records[1].line, end == "\n" ? "detail\n" : "detail\n\n") << "only the host's one line ending goes";
    EXPECT_FALSE(records[1].flushed);
    server.ClearLog();
    EXPECT_TRUE(server.LogRecords().empty());
}

TEST_F(LogSinks, TheHostsOwnNoticesComeInItsOwnFormatFlushedAtWarning)
{
    const TestString name(u"/twice");
    ArkApi::GetCommands().RegisterChatCommand(name.ref(), [](auto...) {});
    ArkApi::GetCommands().RegisterChatCommand(name.ref(), [](auto...) {});
    const auto records = server.LogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].level, standin::LogLevel::Warning);
    EXPECT_EQ(records[0].logger, "ArkApi");
    EXPECT_TRUE(std::regex_match(
        records[0].line, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} \[ArkApi\]\[warning\] chat command .*)")))
        << records[0].line;
    EXPECT_TRUE(records[0].flushed);
}

TEST_F(LogSinks, TheConsoleEchoesOnlyWhenAskedTo)
{
    testing::internal::CaptureStdout();
    LogToHostSinks(HostLog::Level::Info, "quiet", "[Quorvandelle][info] quiet" + std::string(HostLog::LineEnd), true);
    server.EchoLogToConsole(true);
    LogToHostSinks(HostLog::Level::Info, "loud", "[Quorvandelle][info] loud" + std::string(HostLog::LineEnd), true);
    server.EchoLogToConsole(false);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed.find("quiet"), std::string::npos);
    EXPECT_NE(printed.find("[Quorvandelle][info] loud\n"), std::string::npos) << printed;
}

} // namespace

// The host's log sinks: a logger built over them writes through the host's console and into the
// recording sink, formatted by the pattern the logger set, until the host takes its formatting back.
#include <regex>

#include <gtest/gtest.h>
#include <spdlog/logger.h>

#include "standin/framework/LogSinks.h"
#include "tests/standin/StandinTest.h"

namespace {

using standin_test::ServerTest;

std::shared_ptr<spdlog::logger> PluginLikeLogger()
{
    auto& sinks = GetLogSinks();
    auto logger = std::make_shared<spdlog::logger>("Quorvandelle", sinks.begin(), sinks.end());
    logger->set_pattern("%D %R [%n][%l] %v", spdlog::pattern_time_type::local);
    logger->flush_on(spdlog::level::info);
    return logger;
}

using LogSinks = ServerTest;

TEST_F(LogSinks, RecordsLevelNameMessageAndTheLineInTheLoggersPattern)
{
    ASSERT_EQ(GetLogSinks().size(), 2u);
    auto logger = PluginLikeLogger();
    logger->set_level(spdlog::level::debug);
    logger->info("weekend rates on");
    logger->debug("detail");
    logger->trace("not recorded");
    const auto records = server.LogRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].level, spdlog::level::info);
    EXPECT_EQ(records[0].logger, "Quorvandelle");
    EXPECT_EQ(records[0].message, "weekend rates on");
    EXPECT_TRUE(std::regex_match(records[0].line,
                                 std::regex(R"(\d\d/\d\d/\d\d \d\d:\d\d \[Quorvandelle\]\[info\] weekend rates on)")))
        << records[0].line;
    EXPECT_TRUE(records[0].flushed);
    EXPECT_EQ(records[1].level, spdlog::level::debug);
    EXPECT_FALSE(records[1].flushed); // below the flush level
    server.ClearLog();
    EXPECT_TRUE(server.LogRecords().empty());
}

TEST_F(LogSinks, TheHostTakesItsFormattingBackFromAnUnloadingLogger)
{
    auto logger = PluginLikeLogger();
    standin::logs::ReclaimFormatters();
    logger->warn("after");
    const auto records = server.LogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(std::regex_match(
        records[0].line, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} \[Quorvandelle\]\[warning\] after)")))
        << records[0].line;
}

TEST_F(LogSinks, TheConsoleEchoesOnlyWhenAskedTo)
{
    auto logger = PluginLikeLogger();
    testing::internal::CaptureStdout();
    logger->info("quiet");
    server.EchoLogToConsole(true);
    logger->info("loud");
    server.EchoLogToConsole(false);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed.find("quiet"), std::string::npos);
    EXPECT_NE(printed.find("[Quorvandelle][info] loud\n"), std::string::npos) << printed;
}

} // namespace

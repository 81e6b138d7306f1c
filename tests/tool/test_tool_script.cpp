// Script lines and console input: what each action takes, and how a bad line is reported; the
// files simulate and console read, refused before the run when they are no regular file or too large.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "plugin/config/LoadConfig.h"
#include "tests/support/PluginServer.h"
#include "tool/Cli.h"
#include "tool/ScriptParser.h"

using namespace qv;

using namespace qvtool;

namespace {

Action Parsed(const char* line, bool console = false)
{
    auto result = ParseAction(line, console);
    if (auto* failure = std::get_if<ParseFailure>(&result)) ADD_FAILURE() << line << ": " << failure->Message;
    return std::get_if<Action>(&result) ? std::get<Action>(result) : Action{};
}

std::string Failure(std::string_view line, bool console = false)
{
    auto result = ParseAction(line, console);
    return std::holds_alternative<ParseFailure>(result) ? std::get<ParseFailure>(result).Message : "(parsed)";
}

} // namespace

TEST(ToolScript, ActionsTakeTheirArguments)
{
    Action join = Parsed("join alice admin");
    EXPECT_EQ(join.Kind, ActionKind::Join);
    EXPECT_EQ(join.Name, "alice");
    EXPECT_TRUE(join.Flag);
    EXPECT_FALSE(Parsed("join bob").Flag);

    Action say = Parsed("say alice   /ToggleQuorvandelle now please");
    EXPECT_EQ(say.Kind, ActionKind::Say);
    EXPECT_EQ(say.Name, "alice");
    EXPECT_EQ(say.Text, "/ToggleQuorvandelle now please");

    Action console = Parsed("console alice qvreload");
    EXPECT_EQ(console.Kind, ActionKind::Console);
    EXPECT_EQ(console.Text, "alice qvreload"); // whether alice is a player is known only when it runs

    EXPECT_EQ(Parsed("config ../other config.json").Name, "../other config.json");
    EXPECT_TRUE(Parsed("nogamemode ON").Flag);
    EXPECT_FALSE(Parsed("NoGameMode off").Flag);
    EXPECT_EQ(Parsed("unload").Kind, ActionKind::Unload);
    EXPECT_EQ(Parsed("advance 1h30m", true).Duration, Seconds{5400});
    EXPECT_EQ(Parsed("inbox bob", true).Name, "bob");
    EXPECT_EQ(Parsed("rcon  ListPlayers now").Text, "ListPlayers now");
}

TEST(ToolScript, MalformedActionsSayWhatIsExpected)
{
    struct Row {
        const char* line;
        bool console;
        const char* message;
    };
    const Row rows[] = {
        {"jump alice", false, "unknown action \"jump\""},
        {"join", false, "usage: join NAME [admin]"},
        {"join alice boss", false, "usage: join NAME [admin]"},
        {"say alice", false, "usage: say NAME TEXT"},
        {"leave", false, "usage: leave NAME"},
        {"nogamemode maybe", false, "usage: nogamemode ON|OFF"},
        {"unload now", false, "usage: unload"},
        {"advance 2d", false, "unknown action \"advance\""}, // the console's own actions are not a script's
        {"advance soon", true, "\"soon\" is not a duration"},
        {"quit now", true, "usage: quit"},
        {"rcon", false, "usage: rcon TEXT"},
        {"jump", false, "(one of: join, leave, say, console, config, unload, load, nogamemode, rcon)"},
        {"jump", true, "nogamemode, rcon, advance, rates, players, inbox, help, quit)"},
    };
    for (const Row& row : rows) {
        EXPECT_NE(Failure(row.line, row.console).find(row.message), std::string::npos)
            << row.line << " gave: " << Failure(row.line, row.console);
    }
}

TEST(ToolScript, LinesComeInTimeOrderWithTheirLineNumbers)
{
    const Instant start = util::InstantOf(1000000);
    const auto parsed = ParseScript("# comment\n"
                                    "+2h say alice late\n"
                                    "\n"
                                    "+1h join alice admin\n"
                                    "+2h say alice later, same time\n"
                                    "+0 join bob\n",
                                    LocalClock(), start, start + Days{1});
    ASSERT_TRUE(std::holds_alternative<std::vector<TimedAction>>(parsed));
    const auto& actions = std::get<std::vector<TimedAction>>(parsed);
    ASSERT_EQ(actions.size(), 4u);
    EXPECT_EQ(actions[0].When, start);
    EXPECT_EQ(actions[0].Line, 6);
    EXPECT_EQ(actions[1].When, start + util::Hours{1});
    EXPECT_EQ(actions[1].Line, 4);
    EXPECT_EQ(actions[2].What.Text, "late");
    EXPECT_EQ(actions[3].What.Text, "later, same time");
    EXPECT_EQ(actions[3].When, start + util::Hours{2});
}

TEST(ToolScript, AByteOrderMarkIsNoPartOfTheFirstLine)
{
    const auto parsed = ParseScript("\xEF\xBB\xBF+1h join alice\n", LocalClock(), Instant{}, Instant{Days{1}});
    ASSERT_TRUE(std::holds_alternative<std::vector<TimedAction>>(parsed)) << std::get<ParseFailure>(parsed).Message;
    EXPECT_EQ(std::get<std::vector<TimedAction>>(parsed).at(0).What.Name, "alice");
}

TEST(ToolScript, BadLinesAreNamed)
{
    const LocalClock host;
    const Instant start = InstantOfWall(host, *ParseLocalDateTime("2025-01-08")).Time;
    struct Row {
        const char* script;
        const char* message;
    };
    const Row rows[] = {
        {"+1h join alice\nsoon say alice hi\n", "line 2: \"soon\" is not a time"},
        {"2025-01-07T23:00 join alice\n", "line 1: 2025-01-07T23:00:00 is before the simulation starts"},
        {"+8d join alice\n", "line 1: 2025-01-16T00:00:00 is after the simulation ends"},
        {"+1h\n", "line 1: a time without an action"},
        {"+1h console\n", "line 1: usage: console [NAME] TEXT"},
    };
    for (const Row& row : rows) {
        const auto parsed = ParseScript(row.script, host, start, start + Days{7});
        ASSERT_TRUE(std::holds_alternative<ParseFailure>(parsed)) << row.script;
        EXPECT_NE(std::get<ParseFailure>(parsed).Message.find(row.message), std::string::npos)
            << std::get<ParseFailure>(parsed).Message;
    }
}

// A device never ends, a pipe without a writer never starts: each would have grown memory or hung.
TEST(ToolScript, FilesThatAreNoRegularFileOrTooLargeAreRefusedBeforeTheRun)
{
    const testing_support::TempDirectory temp;
    const std::filesystem::path folder = temp.Path();
    const auto write = [&](const char* name, const std::string& text) {
        std::ofstream(folder / name, std::ios::binary) << text;
        return (folder / name).string();
    };
    const std::string config = QV_EXAMPLE_CONFIG;
    const std::string large = write("large.json", std::string(kMostConfigBytes + 1, ' '));
    const std::string largeScript = write("large.txt", std::string(16 * 1024 * 1024 + 1, '#'));
    const std::string configLarge = write("config-large.txt", "+1h config large.json\n");

    struct Row {
        std::vector<std::string> args;
        std::string error;
    };
    std::vector<Row> rows = {
        {{"simulate", large}, large + " is 1048577 bytes; a config file may have at most 1048576 bytes (1 MiB)"},
        {{"console", large}, large + " is 1048577 bytes"},
        {{"simulate", config, "--script", largeScript},
         largeScript + " is 16777217 bytes; a script may have at most 16777216 bytes (16 MiB)"},
        {{"simulate", config, "--script", configLarge}, configLarge + ": line 1: " + large + " is 1048577 bytes"},
    };
#if !defined(_WIN32)
    const std::string fifo = (folder / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string configZero = write("config-zero.txt", "+1h config /dev/zero\n");
    // What a shell's <(cat config.json) hands over: a pipe holding the whole file, its writer done.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::ifstream example(config, std::ios::binary);
    const std::string exampleText((std::istreambuf_iterator<char>(example)), std::istreambuf_iterator<char>());
    ASSERT_EQ(::write(ends[1], exampleText.data(), exampleText.size()), static_cast<ssize_t>(exampleText.size()));
    close(ends[1]);
    const std::string piped = "/dev/fd/" + std::to_string(ends[0]);
    rows.push_back({{"simulate", "/dev/zero"}, "/dev/zero is not a regular file"});
    rows.push_back({{"console", fifo}, fifo + " is not a regular file"});
    rows.push_back({{"simulate", piped}, piped + " is not a regular file"});
    rows.push_back({{"simulate", config, "--script", fifo}, fifo + " is not a regular file"});
    rows.push_back(
        {{"simulate", config, "--script", configZero}, configZero + ": line 1: /dev/zero is not a regular file"});
#endif
    for (Row& row : rows) {
        row.args.insert(row.args.begin(), "quorvandelle");
        for (const char* more : {"--from", "2025-01-08", "--players", "0"}) row.args.push_back(more);
        std::vector<const char*> argv;
        for (const std::string& arg : row.args) argv.push_back(arg.c_str());
        std::istringstream in;
        std::ostringstream out, err;
        Output output{out, err, Style(false), Style(false), false};
        EXPECT_EQ(RunTool(static_cast<int>(argv.size()), argv.data(), in, false, output), kUsageError) << row.error;
        EXPECT_NE(err.str().find("error: " + row.error), std::string::npos) << err.str();
        // A script's config action is refused when its time comes, the others before the server starts.
        if (row.error.find(": line 1: ") == std::string::npos) {
            EXPECT_EQ(out.str(), "");
        }
    }
#if !defined(_WIN32)
    close(ends[0]);
#endif
}

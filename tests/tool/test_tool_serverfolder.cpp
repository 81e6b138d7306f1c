// No server folder outlives its run: leftovers of ended runs go at the next start, and SIGINT or
// SIGTERM stops a run (a long simulation, a console waiting for its next line) after it removed
// its folder, ending the program by that signal.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "standin/server/Server.h"
#include "tests/support/PluginServer.h"
#include "tool/ServerFolder.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#endif

using namespace qvtool;
namespace fs = std::filesystem;

namespace {

std::string OwnProcess()
{
#if defined(_WIN32)
    return std::to_string(GetCurrentProcessId());
#else
    return std::to_string(getpid());
#endif
}

std::vector<std::string> Names(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(ToolServerFolder, LeftoversOfEndedRunsGoAndNothingElse)
{
    const testing_support::TempDirectory temp;
    // No system hands out process ids this large.
    const std::string ended = "quorvandelle-server-2000000000-00000002";
    const std::vector<std::string> kept = {
        "quorvandelle-server-" + OwnProcess() + "-00000001", // a live run's
        "quorvandelle-server-1a2b3c4d",                      // named by no run that says its process
        "quorvandelle-test-2000000000-1",                    // not a server folder
    };
    for (const auto& name : kept) fs::create_directory(temp.Path() / name);
    fs::create_directories(temp.Path() / ended / "ArkApi");
    std::ofstream(temp.Path() / ended / "ArkApi" / "config.json") << "{}";

    EXPECT_EQ(RemoveLeftoverServerFolders(temp.Path()), 1);
    std::vector<std::string> sorted = kept;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(Names(temp.Path()), sorted);
}

#if !defined(_WIN32)
TEST(ToolServerFolder, ASignalEndsARunWithoutLeavingItsFolder)
{
    const fs::path program = standin::Server::LibraryBesideExecutable("Quorvandelle").parent_path() / "quorvandelle";
    struct Row {
        std::vector<const char*> arguments; // the console waits for a line that never comes
        int signal;
    };
    const Row rows[] = {
        {{"simulate", QV_EXAMPLE_CONFIG, "--days", "3650"}, SIGINT},
        {{"simulate", QV_EXAMPLE_CONFIG, "--days", "3650"}, SIGTERM},
        {{"console", QV_EXAMPLE_CONFIG}, SIGINT},
    };
    for (const Row& row : rows) {
        const testing_support::TempDirectory temp;
        int input[2];
        ASSERT_EQ(pipe(input), 0);
        std::vector<char*> argv{const_cast<char*>("quorvandelle")};
        for (const char* argument : row.arguments) argv.push_back(const_cast<char*>(argument));
        argv.push_back(nullptr);
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            setenv("TMPDIR", temp.Path().c_str(), 1);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            dup2(input[0], STDIN_FILENO);
            close(input[1]);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        close(input[0]);
        // Each wait ends on its condition; the limit only turns a hung program into a failure.
        int status = 0;
        bool ended = false;
        const auto waitFor = [&](auto condition) {
            const auto limit = std::chrono::steady_clock::now() + std::chrono::minutes(5);
            while (!condition() && !ended && std::chrono::steady_clock::now() < limit) {
                ended = waitpid(child, &status, WNOHANG) == child;
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        };
        waitFor([&] { return !fs::is_empty(temp.Path()); });
        ASSERT_FALSE(ended) << row.arguments[0] << " ended before the signal: status " << status;
        EXPECT_FALSE(fs::is_empty(temp.Path())) << row.arguments[0] << ": the run made no folder";
        kill(child, row.signal);
        waitFor([] { return false; });
        if (!ended) {
            ADD_FAILURE() << row.arguments[0] << " went on after signal " << row.signal;
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        }
        close(input[1]);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == row.signal)
            << row.arguments[0] << " with signal " << row.signal << ": status " << status;
        EXPECT_TRUE(fs::is_empty(temp.Path())) << row.arguments[0] << " with signal " << row.signal;
    }
}
#endif

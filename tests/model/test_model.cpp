// The randomized model test: thousands of random sequences of actions against the real plug-in
// library, each from a recorded seed. A failure prints its seed and the shortest failing
// sequence found by dropping actions while it still fails.
//
// The sequences with windows come second: their configs may hold times of day, schedules,
// reminders, a status command and welcomes for joins, and the clock is set near the boundaries of
// their windows.
//
//   QV_MODEL_SEED=<n>         replay that one seed, printing its sequence (shrunk when it fails)
//   QV_MODEL_WINDOWS_SEED=<n> the same for the sequence with windows of that seed
//   QV_MODEL_SEQUENCES=<n>    how many sequences (default 5000; 600 under the sanitizers, 150 under Wine)
//   QV_MODEL_WINDOWS=<n>      how many with windows (default 1000; 120 under the sanitizers, 30 under Wine)
//   QV_MODEL_BASE_SEED=<n>    the first seed of a run (default 1); seeds count up from it
//   QV_MODEL_LENGTH=<n>       random actions per sequence (default 40)
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>

#include "tests/model/Harness.h"

namespace {

using model::Coverage;
using model::RunResult;
using model::Sequence;

#if defined(_WIN32)
// Under Wine every load of the library costs far more than natively.
constexpr std::uint64_t kDefaultSequences = 150;
constexpr std::uint64_t kDefaultWindowSequences = 30;
#else
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif
constexpr std::uint64_t kDefaultSequences = kSanitized ? 600 : 5000;
constexpr std::uint64_t kDefaultWindowSequences = kSanitized ? 120 : 1000;
#endif
constexpr std::uint64_t kDefaultLength = 40;
constexpr int kMaxShrinkRuns = 3000;

std::optional<std::uint64_t> FromEnvironment(const char* name)
{
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') return std::nullopt;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (*end != '\0') {
        ADD_FAILURE() << name << "=" << text << " is not a whole number";
        return std::nullopt;
    }
    return value;
}

// An abort (a loud failure of the stand-in, a sanitizer report) ends the process before any
// report of ours; this says which seed was running.
char currentSeed[64] = "";

extern "C" void ReportSeedOnAbort(int)
{
    std::fputs("\nmodel test: the process aborted while running the sequence of seed ", stderr);
    std::fputs(currentSeed, stderr);
    std::fputs("; replay it with QV_MODEL_SEED=", stderr);
    std::fputs(currentSeed, stderr);
    std::fputs(" to see the sequence and shrink it\n", stderr);
    std::signal(SIGABRT, SIG_DFL);
    std::abort();
}

// How the sequence fails, if it does. Where processes can be forked each try runs in a child of
// its own, so a sequence that makes the process abort (a loud failure of the stand-in, a sanitizer
// report) can be replayed and shrunk too; what the child wrote to standard error comes back as
// the failure.
std::optional<std::string> FailureOf(const Sequence& sequence)
{
#if !defined(_WIN32)
    int channel[2];
    if (pipe(channel) == 0) {
        std::fflush(nullptr);
        const pid_t child = fork();
        if (child == 0) {
            close(channel[0]);
            dup2(channel[1], 2);
            std::signal(SIGABRT, SIG_DFL);
            const RunResult result = model::RunSequence(sequence);
            if (result.failure) std::fputs(result.failure->c_str(), stderr);
            std::fflush(nullptr);
            _exit(result.failure ? 1 : 0);
        }
        close(channel[1]);
        std::string output;
        char buffer[4096];
        for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;) {
            output.append(buffer, static_cast<std::size_t>(got));
        }
        close(channel[0]);
        int status = 0;
        if (child > 0 && waitpid(child, &status, 0) == child) {
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return std::nullopt;
            if (WIFSIGNALED(status))
                output = "the process died of signal " + std::to_string(WTERMSIG(status)) + ":\n" + output;
            return output;
        }
    }
#endif
    return model::RunSequence(sequence).failure;
}

Sequence Shrink(Sequence sequence)
{
    int runs = 0;
    for (std::size_t chunk = sequence.actions.size() / 2; chunk >= 1; chunk /= 2) {
        bool progress = true;
        while (progress && runs < kMaxShrinkRuns) {
            progress = false;
            for (std::size_t start = 0; start < sequence.actions.size() && runs < kMaxShrinkRuns;) {
                Sequence candidate = sequence;
                const auto first = candidate.actions.begin() + static_cast<std::ptrdiff_t>(start);
                const auto last = first + static_cast<std::ptrdiff_t>(std::min(chunk, sequence.actions.size() - start));
                candidate.actions.erase(first, last);
                ++runs;
                if (FailureOf(candidate)) {
                    sequence = std::move(candidate);
                    progress = true;
                } else {
                    start += chunk;
                }
            }
        }
    }
    return sequence;
}

void ReportFailure(const Sequence& sequence, const std::string& failure)
{
    const Sequence shortest = Shrink(sequence);
    const std::optional<std::string> again = FailureOf(shortest);
    ADD_FAILURE() << "seed " << sequence.seed << " fails " << failure << "\n\nShortest failing sequence found ("
                  << shortest.actions.size() << " of " << sequence.actions.size() << " actions), which fails "
                  << again.value_or("(no longer)") << "\n"
                  << model::Describe(shortest) << "Replay with "
                  << (sequence.windows ? "QV_MODEL_WINDOWS_SEED=" : "QV_MODEL_SEED=") << sequence.seed;
}

// Every sequence rewrites its config file many times; on a disk file system each truncation
// waits for the device, which would cost most of the run. A memory file system does not.
void UseMemoryTempDirectory()
{
#if !defined(_WIN32)
    std::error_code error;
    if (std::getenv("QV_MODEL_KEEP_TMPDIR") == nullptr && std::filesystem::is_directory("/dev/shm", error) &&
        access("/dev/shm", W_OK) == 0) {
        setenv("TMPDIR", "/dev/shm", 1);
    }
#endif
}

void Print(const Coverage& coverage, bool windows)
{
    const auto& t = coverage.tally;
    std::cout << "model test" << (windows ? " with windows" : "") << ": " << coverage.sequences << " sequences, "
              << coverage.actions << " actions, " << coverage.timerCalls << " timer calls (" << t.uncountedCalls
              << " without a game mode), " << t.evaluations << " evaluations; " << t.switchesOn << " switches on, "
              << t.switchesOff << " back, " << t.failedSwitchesOn << " failed switch-ons, " << t.adoptions
              << " manual weekends adopted, " << t.unloadsDuringWeekend << " unloads during a weekend, "
              << t.reloadsDone << " reloads done, " << t.reloadsFailed << " failed, " << t.refusedCommands
              << " commands refused, " << t.externalWritesDuringWeekend << " outside writes during a weekend, "
              << t.rebuiltWeekends << " weekends put into a rebuilt game mode, " << t.endedWithoutGameMode
              << " manual weekends ended without a game mode";
    if (windows) {
        std::cout << "; " << t.windowSwitches << " switches into a schedule's window, " << t.moves
                  << " moves between windows, " << t.loudTakeovers << " manual weekends taken over by a window "
                  << "of its own look, " << t.reminders << " reminders, " << t.heldEvaluations
                  << " evaluations held at a later time, " << t.statusReplies << " status replies, " << t.welcomes
                  << " welcomes";
    }
    std::cout << "\n";
}

enum class RunEnd { Passed, Failed, ClockNotSimulated };

// Runs count sequences from base; a failing one is reported and shrunk.
RunEnd RunMany(std::uint64_t base, std::uint64_t count, std::uint64_t length, bool windows, Coverage& coverage)
{
    std::signal(SIGABRT, ReportSeedOnAbort);
    for (std::uint64_t seed = base; seed < base + count; ++seed) {
        std::snprintf(currentSeed, sizeof currentSeed, "%llu%s", static_cast<unsigned long long>(seed),
                      windows ? " (with windows)" : "");
        const Sequence sequence = model::MakeSequence(seed, length, windows);
        const RunResult result = model::RunSequence(sequence);
        if (result.clockNotSimulated) {
            std::signal(SIGABRT, SIG_DFL);
            return RunEnd::ClockNotSimulated;
        }
        coverage += result.coverage;
        if (result.failure) {
            std::signal(SIGABRT, SIG_DFL);
            ReportFailure(sequence, *result.failure);
            return RunEnd::Failed;
        }
    }
    std::signal(SIGABRT, SIG_DFL);
    Print(coverage, windows);
    return RunEnd::Passed;
}

// Replays the seed that QV_MODEL_SEED (plain) or QV_MODEL_WINDOWS_SEED names; true when one is set,
// so that the runs of many sequences stand aside.
bool ReplayedOneSeed(std::uint64_t length)
{
    const auto plainSeed = FromEnvironment("QV_MODEL_SEED");
    const auto windowSeed = FromEnvironment("QV_MODEL_WINDOWS_SEED");
    if (!plainSeed && !windowSeed) return false;
    const Sequence sequence = model::MakeSequence(plainSeed ? *plainSeed : *windowSeed, length, !plainSeed);
    std::cout << model::Describe(sequence);
    if (const auto failure = FailureOf(sequence)) ReportFailure(sequence, *failure);
    return true;
}

// The plain sequences and those with windows are two tests, so that they run side by side.
TEST(ModelTest, RandomSequencesMatchTheModel)
{
    const std::uint64_t length = FromEnvironment("QV_MODEL_LENGTH").value_or(kDefaultLength);
    UseMemoryTempDirectory();
    if (ReplayedOneSeed(length)) return;

    const std::uint64_t base = FromEnvironment("QV_MODEL_BASE_SEED").value_or(1);
    const std::uint64_t count = FromEnvironment("QV_MODEL_SEQUENCES").value_or(kDefaultSequences);
    Coverage plain;
    const RunEnd run = RunMany(base, count, length, false, plain);
    if (run == RunEnd::ClockNotSimulated)
        GTEST_SKIP() << "the plug-in reads the real clock here, not the simulated one";
    if (run == RunEnd::Failed) return;
    RecordProperty("sequences", std::to_string(plain.sequences));
    RecordProperty("actions", std::to_string(plain.actions));

    // The run is only worth its time if the random sequences reach what can go wrong.
    if (count >= 100) {
        const auto& t = plain.tally;
        EXPECT_GT(t.switchesOn, 0u);
        EXPECT_GT(t.switchesOff, 0u);
        EXPECT_GT(t.failedSwitchesOn, 0u);
        EXPECT_GT(t.adoptions, 0u);
        EXPECT_GT(t.unloadsDuringWeekend, 0u);
        EXPECT_GT(t.uncountedCalls, 0u);
        EXPECT_GT(t.reloadsFailed, 0u);
        EXPECT_GT(t.refusedCommands, 0u);
        EXPECT_GT(t.externalWritesDuringWeekend, 0u);
        EXPECT_GT(t.rebuiltWeekends, 0u);
        EXPECT_GT(t.endedWithoutGameMode, 0u);
    }
}

TEST(ModelTest, RandomSequencesWithWindowsMatchTheModel)
{
    const std::uint64_t length = FromEnvironment("QV_MODEL_LENGTH").value_or(kDefaultLength);
    UseMemoryTempDirectory();
    if (FromEnvironment("QV_MODEL_SEED") || FromEnvironment("QV_MODEL_WINDOWS_SEED"))
        GTEST_SKIP() << "one seed is replayed by ModelTest.RandomSequencesMatchTheModel";

    const std::uint64_t base = FromEnvironment("QV_MODEL_BASE_SEED").value_or(1);
    const std::uint64_t windowCount = FromEnvironment("QV_MODEL_WINDOWS").value_or(kDefaultWindowSequences);
    Coverage windows;
    const RunEnd run = RunMany(base, windowCount, length, true, windows);
    if (run == RunEnd::ClockNotSimulated)
        GTEST_SKIP() << "the plug-in reads the real clock here, not the simulated one";
    if (run == RunEnd::Failed) return;
    RecordProperty("window_sequences", std::to_string(windows.sequences));
    if (windowCount >= 50) {
        const auto& t = windows.tally;
        EXPECT_GT(t.windowSwitches, 0u);
        EXPECT_GT(t.moves, 0u);
        EXPECT_GT(t.loudTakeovers, 0u);
        EXPECT_GT(t.adoptions, t.loudTakeovers) << "no quiet takeover";
        EXPECT_GT(t.failedSwitchesOn, 0u);
        EXPECT_GT(t.reminders, 0u);
        EXPECT_GT(t.statusReplies, 0u);
        EXPECT_GT(t.welcomes, 0u);
    }
}

} // namespace

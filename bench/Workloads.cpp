// The workloads behind --workload=: the same set-up as the measurements, a fixed amount of work.
#include "bench/Workloads.h"

#include <iostream>
#include <string>

#include "bench/BenchSupport.h"

namespace qvbench {

// Out of line and never merged with another function, so that callgrind can collect inside them.
[[gnu::noipa]] void IdleCallsUnderTest(standin::Server& server, int calls) { server.RunTimer(calls); }

[[gnu::noipa]] void EvaluationUnderTest(standin::Server& server) { server.RunTimer(1); }

[[gnu::noipa]] standin::PlayerId JoinUnderTest(standin::Server& server, const standin::PlayerProfile& profile)
{
    return server.JoinPlayer(profile);
}

namespace {

constexpr int kIdleBatches = 100;
constexpr int kRoundTrips = 10;

void RunIdleBatches(testing_support::PluginServer& host)
{
    for (int batch = 0; batch < kIdleBatches; ++batch) {
        IdleCallsUnderTest(host.server(), kIdleCallsBetweenEvaluations);
        host.SetDate(kWednesday.year, kWednesday.month, kWednesday.day);
        host.server().RunTimer(1);
    }
    std::cout << "calls under test: " << kIdleBatches * kIdleCallsBetweenEvaluations << "\n";
}

void RunQuietEvaluations()
{
    RunningPlugin plugin = StartPlugin(0);
    for (int evaluation = 0; evaluation < kIdleBatches; ++evaluation) {
        plugin.SetDate(kWednesday);
        plugin.server().RunTimer(kIdleCallsBetweenEvaluations);
        EvaluationUnderTest(plugin.server());
    }
    std::cout << "evaluations under test: " << kIdleBatches << "\n";
}

void RunRoundTrips(int players)
{
    RunningPlugin plugin = StartPlugin(players);
    for (int trip = 0; trip < kRoundTrips; ++trip) {
        for (const Date date : {kSaturday, kWednesday}) {
            plugin.SetDate(date);
            plugin.server().RunTimer(kIdleCallsBetweenEvaluations);
            EvaluationUnderTest(plugin.server());
        }
        plugin.server().ClearInboxes();
    }
    std::cout << "round trips under test: " << kRoundTrips << "\n";
}

void RunJoins(const std::string& config)
{
    constexpr int kJoins = 1000;
    RunningPlugin plugin = StartPlugin(0, config);
    plugin.SetDate(kSaturday);
    plugin.server().RunTimer(kIdleCallsBetweenEvaluations + 1);
    standin::PlayerProfile profile;
    profile.name = "Joiner";
    for (int join = 1; join <= kJoins; ++join) {
        plugin.server().RemovePlayer(JoinUnderTest(plugin.server(), profile));
        if (join % kJoinsPerSettle == 0) plugin.server().RunTimer(kCallsToSettle);
    }
    std::cout << "joins under test: " << kJoins << "\n";
}

} // namespace

int RunWorkload(std::string_view name)
{
    constexpr std::string_view roundTrip = "round-trip:";
    if (name == "idle-plugin") {
        RunningPlugin plugin = StartPlugin(0);
        RunIdleBatches(*plugin.plugin);
    } else if (name == "idle-plugin-welcome") {
        RunningPlugin plugin = StartPlugin(0, WelcomeConfigText());
        RunIdleBatches(*plugin.plugin);
    } else if (name == "join-hooked" || name == "join-unhooked") {
        RunJoins(name == "join-hooked" ? WelcomeConfigText() : ExampleConfigText());
    } else if (name == "idle-empty") {
        testing_support::PluginServer host(kWednesday.year, kWednesday.month, kWednesday.day);
        const EmptyRegistrations registrations;
        RunIdleBatches(host);
    } else if (name == "evaluation-no-switch") {
        RunQuietEvaluations();
    } else if (name.substr(0, roundTrip.size()) == roundTrip) {
        RunRoundTrips(std::stoi(std::string(name.substr(roundTrip.size()))));
    } else {
        std::cerr << "unknown workload \"" << name
                  << "\": idle-plugin, idle-plugin-welcome, idle-empty, evaluation-no-switch, join-hooked, "
                     "join-unhooked or round-trip:<players>\n";
        return 2;
    }
    return 0;
}

} // namespace qvbench

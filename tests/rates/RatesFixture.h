// What the rate tests share: the stand-in server running the real plug-in library with normal
// rates of its own, an administrator and a player, reloads from the server console, and the
// days of a simulated week.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/PluginServer.h"

namespace rates_testing {

enum Weekday { Sunday = 0, Monday, Tuesday, Wednesday, Thursday, Friday, Saturday };

using Rates = std::map<std::string, float>;

// Normal rates unlike the game's defaults and unlike every weekend value of ValidConfig(), so that
// a restored field, an untouched one and a switched one can be told apart.
Rates DistinctNormalRates();
// What ValidConfig() puts in force: its sixteen values, every one of them non-zero.
Rates ValidConfigWeekendRates();
// ValidConfig() with the window from startDay up to endDay.
nlohmann::json ConfigWithWindow(int startDay, int endDay);

// False only on Windows, when the plug-in reads the real clock rather than the simulated one (the
// server could not redirect its clock import). Found out once, with a server of its own: call it
// while no other server exists.
bool SimulatedClockReachesPlugin();

class RatesTest : public ::testing::Test {
protected:
    // The server on the given weekday of the week starting Sunday 2026-12-06, at noon, with the
    // distinct normal rates in force, the config written, the plug-in loaded, and "Ada" (an
    // administrator) and "Bo" connected.
    void Start(Weekday day, const nlohmann::json& config = testing_support::ValidConfig());

    testing_support::PluginServer& qv() { return *server_; }
    standin::Server& server() { return server_->server(); }

    // Writes the config and reloads it from the server console; the reload must succeed.
    void Reload(const nlohmann::json& config);
    // "/ToggleQuorvandelle" (or another line) typed by the player.
    void Toggle(standin::PlayerId player, std::string_view line = "/ToggleQuorvandelle");
    // Moves the simulated clock forward to noon of the next such day (today when it is that day).
    void GoTo(Weekday day);
    // GoTo(day), then timer calls up to the next evaluation.
    void EvaluateOn(Weekday day);

    Rates CurrentRates() const;
    // Messages received by every player together.
    std::size_t MessagesReceived() const;
    // Log records at error level whose text contains text.
    std::size_t ErrorsMentioning(std::string_view text) const;

    std::unique_ptr<testing_support::PluginServer> server_;
    standin::PlayerId admin_{};
    standin::PlayerId player_{};
    Rates normal_;
};

// For the tests that depend on the weekday the plug-in reads.
class ScheduledRatesTest : public RatesTest {
protected:
    void SetUp() override;
};

} // namespace rates_testing

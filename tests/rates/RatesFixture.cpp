// The rate tests' server, their normal rates and the Windows clock probe.
#include "tests/rates/RatesFixture.h"

#include <ctime>

namespace rates_testing {

using testing_support::PluginServer;
using testing_support::ValidConfig;

namespace {

constexpr std::int64_t kSecondsPerDay = 24 * 60 * 60;

} // namespace

Rates DistinctNormalRates()
{
    Rates rates;
    float value = 1.125f;
    for (const std::string& name : standin::Server::MultiplierNames()) {
        rates[name] = value;
        value += 0.0625f;
    }
    return rates;
}

Rates ValidConfigWeekendRates()
{
    const nlohmann::json section = ValidConfig()["Quorvandelle"];
    Rates rates;
    for (const std::string& name : standin::Server::MultiplierNames()) rates[name] = section.at(name).get<float>();
    return rates;
}

nlohmann::json ConfigWithWindow(int startDay, int endDay)
{
    nlohmann::json config = ValidConfig();
    config["Quorvandelle"]["StartDay"] = startDay;
    config["Quorvandelle"]["EndDay"] = endDay;
    return config;
}

bool SimulatedClockReachesPlugin()
{
#if defined(_WIN32)
    static const bool reaches = [] {
        // A window open on one simulated day only, three days away from the real one: the
        // plug-in switches at its first evaluation only if it reads the simulated date.
        const std::time_t now = std::time(nullptr);
        const int realWeekday = std::localtime(&now)->tm_wday;
        const int simulatedWeekday = (realWeekday + 3) % 7;
        PluginServer probe(2026, 12, 6 + simulatedWeekday);
        probe.WriteConfig(ConfigWithWindow(simulatedWeekday, simulatedWeekday + 1));
        probe.Load();
        probe.RunToFirstEvaluation();
        return probe->Multiplier("XPMultiplier") == ValidConfigWeekendRates().at("XPMultiplier");
    }();
    return reaches;
#else
    // Linux plug-ins read the platform runtime library's clock, which the server always controls;
    // a failure here must show as a failing test, never as a skip.
    return true;
#endif
}

void RatesTest::Start(Weekday day, const nlohmann::json& config)
{
    // Only one server may exist at a time. 2026-12-06 is a Sunday.
    server_.reset();
    server_ = std::make_unique<PluginServer>(2026, 12, 6 + day);
    normal_ = DistinctNormalRates();
    for (const auto& [name, value] : normal_) server().ConfigureMultiplier(name, value);
    qv().WriteConfig(config);
    qv().Load();
    admin_ = qv().Join("Ada", true);
    player_ = qv().Join("Bo", false);
}

void RatesTest::Reload(const nlohmann::json& config)
{
    qv().WriteConfig(config);
    const std::size_t errorsBefore = ErrorsMentioning("");
    ASSERT_TRUE(server().ServerConsole("qvreload"));
    ASSERT_EQ(ErrorsMentioning(""), errorsBefore) << "the reload failed";
}

void RatesTest::Toggle(standin::PlayerId player, std::string_view line) { ASSERT_TRUE(server().Chat(player, line)); }

void RatesTest::GoTo(Weekday day)
{
    const int daysAhead = (day - server().LocalWeekday() + 7) % 7;
    const std::int64_t noon = server().Now() + daysAhead * kSecondsPerDay;
    std::time_t local = static_cast<std::time_t>(noon);
    const std::tm date = *std::localtime(&local);
    qv().SetDate(date.tm_year + 1900, date.tm_mon + 1, date.tm_mday);
}

void RatesTest::EvaluateOn(Weekday day)
{
    GoTo(day);
    qv().RunToNextEvaluation();
}

Rates RatesTest::CurrentRates() const
{
    Rates rates;
    for (const auto& [name, value] : server_->server().Multipliers()) rates[name] = value;
    return rates;
}

std::size_t RatesTest::MessagesReceived() const
{
    return server_->server().InboxOf(admin_).Count() + server_->server().InboxOf(player_).Count();
}

std::size_t RatesTest::ErrorsMentioning(std::string_view text) const
{
    std::size_t count = 0;
    for (const auto& record : server_->server().LogRecords()) {
        if (record.level >= standin::LogLevel::Error && record.message.find(text) != std::string::npos) ++count;
    }
    return count;
}

void ScheduledRatesTest::SetUp()
{
    if (!SimulatedClockReachesPlugin()) {
        GTEST_SKIP() << "the plug-in reads the real C runtime clock here (its _time64 import could not be "
                        "redirected to the simulated clock), so the simulated weekday never reaches it";
    }
}

} // namespace rates_testing

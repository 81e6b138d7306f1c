// Switching the sixteen rates, the message of the day and the announcements on and back, through
// the real plug-in library (an administrator's toggle switches, so no date is involved).
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/rates/RatesFixture.h"

namespace rates_testing {
namespace {

using testing_support::ValidConfig;

// A weekend value as configured (nothing: the key is left out) and what the field then holds
// (nothing: it keeps its normal value).
struct WeekendRow {
    const char* field;
    std::optional<nlohmann::json> configured;
    std::optional<float> inForce;
};

nlohmann::json ConfigWithRows(const std::vector<WeekendRow>& rows)
{
    nlohmann::json config = ValidConfig();
    for (const WeekendRow& row : rows) {
        if (row.configured) {
            config["Quorvandelle"][row.field] = *row.configured;
        } else {
            config["Quorvandelle"].erase(row.field);
        }
    }
    return config;
}

class Switching : public RatesTest {
protected:
    void SetUp() override { Start(Wednesday); }

    // The normal rates with the given rows switched as they say.
    Rates Expected(const std::vector<WeekendRow>& rows) const
    {
        Rates expected = normal_;
        for (const WeekendRow& row : rows) {
            if (row.inForce) expected[row.field] = *row.inForce;
        }
        return expected;
    }
};

TEST_F(Switching, MixedWeekendValuesGoInExactlyAndEveryNormalValueComesBack)
{
    const std::vector<WeekendRow> rows = {
        {"XPMultiplier", nlohmann::json(0), std::nullopt},
        {"TamingSpeedMultiplier", nlohmann::json(false), std::nullopt},
        {"HarvestAmountMultiplier", nlohmann::json(true), 1.0f},
        {"HarvestHealthMultiplier", nlohmann::json(3), 3.0f},
        {"CraftXPMultiplier", nlohmann::json(-2.5), -2.5f},
        {"FishingLootQualityMultiplier", nlohmann::json(0.1), 0.1f},
        {"BabyMatureSpeedMultiplier", nlohmann::json(1e6), 1e6f},
        {"MateBoostEffectMultiplier", nlohmann::json(0.0), std::nullopt},
        {"MatingIntervalMultiplier", nlohmann::json(4294967296u), 4294967296.0f},
        {"MatingSpeedMultiplier", nlohmann::json(-0.0), std::nullopt},
        {"EggHatchSpeedMultiplier", nlohmann::json(1.5), 1.5f},
        {"LayEggIntervalMultiplier", nlohmann::json(0.25), 0.25f},
        {"ResourcesRespawnPeriodMultiplier", nlohmann::json(-1), -1.0f},
        {"SupplyCrateLootQualityMultiplier", nlohmann::json(7), 7.0f},
        // The two whole-number rows: a fraction is cut toward zero, and 0 leaves the field alone.
        {"StructureResistanceMultiplier", nlohmann::json(1.5), 1.0f},
        {"StructureDamageMultiplier", nlohmann::json(0.5), std::nullopt},
    };
    Reload(ConfigWithRows(rows));

    Toggle(admin_);
    EXPECT_EQ(CurrentRates(), Expected(rows));
    Toggle(admin_);
    EXPECT_EQ(CurrentRates(), normal_);
}

TEST_F(Switching, RatesChangedBySomethingElseDuringTheWeekendAreOverwrittenOnSwitchBack)
{
    // XPMultiplier 0 keeps its normal value through the weekend; it is written back all the same.
    nlohmann::json config = ValidConfig();
    config["Quorvandelle"]["XPMultiplier"] = 0;
    Reload(config);

    Toggle(admin_);
    server().SetMultiplier("XPMultiplier", 40.0f);
    server().SetMultiplier("TamingSpeedMultiplier", 41.0f);
    Toggle(admin_);
    EXPECT_EQ(CurrentRates(), normal_);
}

TEST_F(Switching, MessageOfTheDayChangesOnlyWhenEnabled)
{
    for (const bool enabled : {true, false}) {
        SCOPED_TRACE(enabled ? "MOTDChangeEnabled true" : "MOTDChangeEnabled false");
        nlohmann::json config = ValidConfig();
        config["Quorvandelle"]["MOTDChangeEnabled"] = enabled;
        Reload(config);
        server().SetMessageOfTheDay("The server's own message");
        const int changesBefore = server().MessageOfTheDayChanges();

        Toggle(admin_);
        EXPECT_EQ(server().MessageOfTheDay(), enabled ? "It is the weekend" : "The server's own message");
        Toggle(admin_);
        EXPECT_EQ(server().MessageOfTheDay(), enabled ? "A normal day" : "The server's own message");
        EXPECT_EQ(server().MessageOfTheDayChanges() - changesBefore, enabled ? 2 : 0);
    }
}

TEST_F(Switching, AnUnreadableWeekendValueChangesNothingAndTheNextSwitchesKeepTheTrueNormalValues)
{
    struct BadValue {
        const char* key;
        std::optional<nlohmann::json> value; // nothing: the key is missing
    };
    // Late rows too: a switch that wrote the rows before the bad one would leave weekend values
    // behind, which the next good switch-on would then keep as the normal ones.
    const BadValue cases[] = {
        {"XPMultiplier", std::nullopt},
        {"XPMultiplier", nlohmann::json(nullptr)},
        {"SupplyCrateLootQualityMultiplier", nlohmann::json("12")},
        {"StructureDamageMultiplier", nlohmann::json::array({1})},
    };
    server().SetMessageOfTheDay("The server's own message");
    for (const BadValue& bad : cases) {
        SCOPED_TRACE(std::string(bad.key) + " = " + (bad.value ? bad.value->dump() : "missing"));
        nlohmann::json config = ValidConfig();
        if (bad.value) {
            config["Quorvandelle"][bad.key] = *bad.value;
        } else {
            config["Quorvandelle"].erase(bad.key);
        }
        Reload(config);
        server().ClearLog();
        server().ClearInboxes();
        const int motdChanges = server().MessageOfTheDayChanges();

        Toggle(admin_);
        EXPECT_EQ(CurrentRates(), normal_);
        EXPECT_EQ(server().MessageOfTheDay(), "The server's own message");
        EXPECT_EQ(server().MessageOfTheDayChanges(), motdChanges);
        EXPECT_EQ(MessagesReceived(), 0u);
        EXPECT_EQ(ErrorsMentioning(bad.value ? std::string("Quorvandelle.") + bad.key
                                             : std::string("missing the required multiplier ") + bad.key),
                  1u);

        Reload(ValidConfig());
        Toggle(admin_);
        EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());
        Toggle(admin_);
        EXPECT_EQ(CurrentRates(), normal_);
        server().SetMessageOfTheDay("The server's own message");
    }
}

TEST_F(Switching, AConfigBrokenDuringTheWeekendStillLetsTheNormalValuesBack)
{
    Toggle(admin_);
    nlohmann::json broken = ValidConfig();
    broken["Quorvandelle"].erase("XPMultiplier");
    Reload(broken);

    // The switch back needs no weekend value: the true normal values return.
    Toggle(admin_);
    EXPECT_EQ(CurrentRates(), normal_);
}

} // namespace
} // namespace rates_testing

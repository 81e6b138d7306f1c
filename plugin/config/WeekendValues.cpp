// The weekend values: rows 1 to 14 required numbers, the two whole-number rows optional.
#include "plugin/config/WeekendValues.h"

#include <optional>

#include "plugin/config/TypedReads.h"

namespace qv {

const std::array<MultiplierRow, kMultiplierCount> WeekendMultiplierTable = {{
    {"XPMultiplier", false},
    {"TamingSpeedMultiplier", false},
    {"HarvestAmountMultiplier", false},
    {"HarvestHealthMultiplier", false},
    {"CraftXPMultiplier", false},
    {"FishingLootQualityMultiplier", false},
    {"BabyMatureSpeedMultiplier", false},
    {"MateBoostEffectMultiplier", false},
    {"MatingIntervalMultiplier", false},
    {"MatingSpeedMultiplier", false},
    {"EggHatchSpeedMultiplier", false},
    {"LayEggIntervalMultiplier", false},
    {"ResourcesRespawnPeriodMultiplier", false},
    {"SupplyCrateLootQualityMultiplier", false},
    {"StructureResistanceMultiplier", true},
    {"StructureDamageMultiplier", true},
}};

WindowRates ReadRates(const nlohmann::json& object, const std::string& path, bool isSection, ConfigProblems& problems)
{
    WindowRates rates;
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const MultiplierRow& entry = WeekendMultiplierTable[row];
        const nlohmann::json* member = FindMember(object, entry.Key);
        // A missing whole-number row reads as 0; a schedule's missing row is the main section's.
        if (member == nullptr && (entry.WholeNumber || !isSection)) continue;
        const std::string memberPath = path + "." + entry.Key;
        std::optional<float> value;
        if (entry.WholeNumber) {
            if (const auto whole = ReadInteger(member, memberPath, problems)) value = static_cast<float>(*whole);
        } else {
            value = ReadFloat(member, memberPath, problems);
        }
        if (!value) {
            rates.Broken.set(row);
            continue;
        }
        rates.Values[row] = *value;
        rates.Own.set(row);
    }
    return rates;
}

void InheritRates(WindowRates& rates, const WindowRates& main)
{
    std::size_t problem = 0;
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const bool broken = main.Broken.test(row);
        if (!rates.Own.test(row)) {
            rates.Values[row] = main.Values[row];
            if (broken) {
                rates.Broken.set(row);
                rates.Unreadable.push_back(main.Unreadable[problem]);
            }
        }
        if (broken) ++problem;
    }
}

} // namespace qv

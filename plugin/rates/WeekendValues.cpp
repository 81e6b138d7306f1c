// The weekend values: rows 1 to 14 required numbers, the two whole-number rows optional.
#include "plugin/rates/WeekendValues.h"

#include <string>

#include "plugin/config/PluginSettings.h"
#include "plugin/config/TypedReads.h"

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

std::optional<MultiplierValues> ReadWeekendValues(const nlohmann::json& document, ConfigProblems& problems)
{
    const std::size_t problemsBefore = problems.size();
    const nlohmann::json* section = FindSection(document, problems);
    if (section == nullptr) return std::nullopt;

    MultiplierValues values{};
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const MultiplierRow& entry = WeekendMultiplierTable[row];
        const nlohmann::json* member = FindMember(*section, entry.Key);
        const std::string path = SectionMember(entry.Key);
        if (entry.WholeNumber) {
            if (member == nullptr) continue;
            if (const auto value = ReadInteger(member, path, problems)) values[row] = static_cast<float>(*value);
        } else if (const auto value = ReadFloat(member, path, problems)) {
            values[row] = *value;
        }
    }
    if (problems.size() != problemsBefore) return std::nullopt;
    return values;
}

// The weekend values: rows 1 to 14 required numbers, the two whole-number rows optional.
#include "plugin/config/WeekendValues.h"

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
    return ReadWindowValues(document, -1, problems);
}

std::optional<MultiplierValues> ReadWindowValues(const nlohmann::json& document, int schedule, ConfigProblems& problems)
{
    const std::size_t problemsBefore = problems.size();
    const nlohmann::json* section = FindSection(document, problems);
    if (section == nullptr) return std::nullopt;
    const nlohmann::json* entry = nullptr;
    std::string entryPath;
    if (schedule >= 0) {
        const nlohmann::json* schedules = FindMember(*section, "Schedules");
        if (schedules != nullptr && schedules->is_array() && static_cast<std::size_t>(schedule) < schedules->size()) {
            entry = &(*schedules)[static_cast<std::size_t>(schedule)];
            entryPath = SectionMember("Schedules") + "[" + std::to_string(schedule) + "].";
        }
    }

    MultiplierValues values{};
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const MultiplierRow& entryRow = WeekendMultiplierTable[row];
        const nlohmann::json* member = entry != nullptr ? FindMember(*entry, entryRow.Key) : nullptr;
        std::string path = entryPath + entryRow.Key;
        if (member == nullptr) {
            member = FindMember(*section, entryRow.Key);
            path = SectionMember(entryRow.Key);
        }
        if (entryRow.WholeNumber) {
            if (member == nullptr) continue;
            if (const auto value = ReadInteger(member, path, problems)) values[row] = static_cast<float>(*value);
        } else if (const auto value = ReadFloat(member, path, problems)) {
            values[row] = *value;
        }
    }
    if (problems.size() != problemsBefore) return std::nullopt;
    return values;
}

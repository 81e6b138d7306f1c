// The rows of the weekend multiplier table.
#include "plugin/rates/MultiplierTable.h"

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

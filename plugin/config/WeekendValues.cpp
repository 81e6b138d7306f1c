// The weekend values: rows 1 to 14 required numbers, the two whole-number rows optional.
#include "plugin/config/WeekendValues.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <fmt/format.h>

#include "plugin/config/Config.h"
#include "plugin/config/ConfigParser.h"
#include "plugin/config/TypedReads.h"

namespace qv {

const std::array<MultiplierRow, kMultiplierCount> WeekendMultiplierTable = {{
    {"XPMultiplier", "XP", false, false},
    {"TamingSpeedMultiplier", "taming", false, false},
    {"HarvestAmountMultiplier", "harvest amount", false, false},
    {"HarvestHealthMultiplier", "resource health", false, false},
    {"CraftXPMultiplier", "crafting XP", false, false},
    {"FishingLootQualityMultiplier", "fishing loot", false, false},
    {"BabyMatureSpeedMultiplier", "baby maturing", false, false},
    {"MateBoostEffectMultiplier", "mate boost", false, false},
    {"MatingIntervalMultiplier", "mating interval", false, true},
    {"MatingSpeedMultiplier", "mating speed", false, false},
    {"EggHatchSpeedMultiplier", "egg hatching", false, false},
    {"LayEggIntervalMultiplier", "egg laying interval", false, true},
    {"ResourcesRespawnPeriodMultiplier", "resource respawn period", false, true},
    {"SupplyCrateLootQualityMultiplier", "crate loot", false, false},
    {"StructureResistanceMultiplier", "structure resistance", true, false},
    {"StructureDamageMultiplier", "structure damage", true, false},
}};

namespace {

// One problem for every required row an object leaves out: a file without multipliers gets one
// line that names them, not fourteen alike.
ConfigProblem MissingRows(const std::string& path, const MultiplierRows& rows, TextPosition where)
{
    std::string names;
    const std::size_t count = rows.count();
    std::size_t named = 0;
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        if (!rows.test(row)) continue;
        ++named;
        names += (named == 1 ? "" : named == count ? " and " : ", ") + std::string(WeekendMultiplierTable[row].Key);
    }
    return {ProblemKind::Member, path,
            std::string(count == 1 ? "missing the required multiplier " : "missing the required multipliers ") + names +
                " (write 0 to keep the game's value)",
            where};
}

} // namespace

bool Overflows(const WindowRates& rates, std::size_t row, float normal)
{
    const float value = rates.Values[row];
    return value != 0.0f && rates.Relative.test(row) && !std::isfinite(normal * value);
}

float WrittenValue(const WindowRates& rates, std::size_t row, float normal)
{
    const float value = rates.Values[row];
    if (value == 0.0f || Overflows(rates, row, normal)) return 0.0f;
    return rates.Relative.test(row) ? normal * value : value;
}

void CheckFactors(WindowRates& rates, const std::string& path, ConfigProblems& problems)
{
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        if (!rates.Own.test(row) || !rates.Relative.test(row) || rates.Values[row] <= kLargestFactor) continue;
        problems.push_back({ProblemKind::Member,
                            path + "." + WeekendMultiplierTable[row].Key,
                            fmt::format("{:g} times the server's normal value is beyond the largest factor, {:g}",
                                        rates.Values[row], kLargestFactor),
                            {}});
        rates.Broken.set(row);
    }
}

WindowRates ReadRates(const nlohmann::json& object, const std::string& path, bool isSection, ConfigProblems& problems)
{
    WindowRates rates;
    MultiplierRows missing;
    const std::size_t first = problems.size();
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const MultiplierRow& entry = WeekendMultiplierTable[row];
        const nlohmann::json* member = FindMember(object, entry.Key);
        if (member == nullptr) {
            // A missing whole-number row reads as 0; a schedule's missing row is completed later.
            if (isSection && !entry.WholeNumber) {
                missing.set(row);
                rates.Broken.set(row);
            }
            continue;
        }
        const std::string memberPath = path + "." + entry.Key;
        std::optional<float> value;
        if (entry.WholeNumber) {
            if (const auto whole = ReadInteger(member, memberPath, problems)) value = static_cast<float>(*whole);
        } else {
            value = ReadFloat(member, memberPath, problems);
        }
        // A rate the game's 32-bit field cannot hold would be written as infinity.
        if (value && std::isinf(*value)) {
            problems.push_back({ProblemKind::Member,
                                memberPath,
                                member->dump() + " is beyond the range of the game's 32-bit rates",
                                {}});
            value.reset();
        }
        if (!value) {
            rates.Broken.set(row);
            continue;
        }
        rates.Values[row] = *value;
        rates.Own.set(row);
    }
    // Before the mistyped rows: what a file that leaves the multipliers out needs first.
    if (missing.any())
        problems.insert(problems.begin() + static_cast<std::ptrdiff_t>(first), MissingRows(path, missing, {}));
    return rates;
}

void CompleteRates(WindowRates& rates, const WindowRates& main, bool inherits, bool relative)
{
    if (relative) rates.Relative = rates.Own;
    if (!inherits) return;
    MultiplierRows missing;
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        if (rates.Own.test(row)) continue;
        rates.Inherited.set(row);
        rates.Values[row] = main.Values[row];
        rates.Relative.set(row, main.Relative.test(row));
        if (!main.Broken.test(row)) continue;
        rates.Broken.set(row);
        // A mistyped row has a problem of its own; the missing ones share one.
        const std::string member = SectionMember(WeekendMultiplierTable[row].Key);
        const auto own = std::find_if(main.Unreadable.begin(), main.Unreadable.end(),
                                      [&](const ConfigProblem& problem) { return problem.Member == member; });
        if (own != main.Unreadable.end()) {
            rates.Unreadable.push_back(*own);
        } else {
            missing.set(row);
        }
    }
    if (missing.none()) return;
    // Named again for the rows this window takes, at the place of the main section's problem.
    const auto shared = std::find_if(main.Unreadable.begin(), main.Unreadable.end(),
                                     [](const ConfigProblem& problem) { return problem.Member == kSectionName; });
    rates.Unreadable.push_back(
        MissingRows(kSectionName, missing, shared != main.Unreadable.end() ? shared->Where : TextPosition{}));
}

} // namespace qv

// The weekend values: rows 1 to 14 required numbers, the two whole-number rows optional.
#include "plugin/rates/WeekendValues.h"

#include <string>

#include "plugin/config/SettingsDecoder.h"

std::optional<MultiplierValues> ReadWeekendValues(const nlohmann::json& document, ConfigErrors& errors)
{
    const std::size_t errorsBefore = errors.size();
    const nlohmann::json* section = FindSection(document, errors);
    if (section == nullptr) return std::nullopt;

    MultiplierValues values{};
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const MultiplierRow& entry = WeekendMultiplierTable[row];
        const nlohmann::json* member = FindMember(*section, entry.Key);
        const std::string path = std::string(kSectionName) + "." + entry.Key;
        if (entry.WholeNumber) {
            if (member == nullptr) continue;
            if (const auto value = ReadInteger(member, path, errors)) values[row] = static_cast<float>(*value);
        } else if (const auto value = ReadFloat(member, path, errors)) {
            values[row] = *value;
        }
    }
    if (errors.size() != errorsBefore) return std::nullopt;
    return values;
}

// The one decoding of a config file. Every setting is read once, through the typed reads of the
// settings table; the windows get their values then, so nothing reads the text again afterwards.
#include "plugin/config/DecodeConfig.h"

#include <algorithm>
#include <bitset>
#include <type_traits>

#include "plugin/config/CommandNames.h"
#include "plugin/config/ConfigParser.h"
#include "plugin/config/ConfigWarnings.h"
#include "plugin/config/JoinMessages.h"
#include "plugin/config/Schedules.h"
#include "plugin/config/Windows.h"
#include "util/Ascii.h"

namespace qv {

namespace {

using json = nlohmann::json;

// The parser would take a NUL byte for the end of the text and report "unexpected end of input";
// a file saved as UTF-16 holds one in nearly every character.
std::optional<ConfigProblem> NotUtf8Text(std::string_view text)
{
    const auto problem = [](std::string what, TextPosition where) {
        return ConfigProblem{ProblemKind::Syntax, "", std::move(what), where};
    };
    if (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF") {
        return problem("the file is UTF-16 text (it starts with a UTF-16 byte-order mark); save it as UTF-8", {1, 1});
    }
    const std::size_t nul = text.find('\0');
    if (nul == std::string_view::npos) return std::nullopt;
    const std::string_view before = text.substr(0, nul);
    const std::size_t lineStart = before.rfind('\n') == std::string_view::npos ? 0 : before.rfind('\n') + 1;
    return problem("a NUL byte; a config file is UTF-8 text (a file saved as UTF-16 holds NUL bytes)",
                   {static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n')) + 1, nul - lineStart + 1});
}

// The section of a document, or null with a problem when the document has no usable section.
const json* FindSection(const json& document, ConfigProblems& problems)
{
    if (!document.is_object()) {
        problems.push_back(
            {ProblemKind::Member, "", std::string("expected an object, found ") + document.type_name(), {}});
        return nullptr;
    }
    const json* section = FindMember(document, kSectionName);
    if (section == nullptr) {
        problems.push_back({ProblemKind::Member, kSectionName, "missing (expected an object)", {}});
        return nullptr;
    }
    if (!section->is_object()) {
        problems.push_back(
            {ProblemKind::Member, kSectionName, std::string("expected an object, found ") + section->type_name(), {}});
        return nullptr;
    }
    return section;
}

// Every member of the table into config; which of them decoded without a problem. A member that
// fails leaves its field as it was, so a refused file still gives the warnings what it can.
std::bitset<kSettingCount> DecodeSettings(const json& section, Config& config, ConfigProblems& problems)
{
    std::bitset<kSettingCount> decoded;
    for (std::size_t index = 0; index < SettingsTable.size(); ++index) {
        const SettingRow& row = SettingsTable[index];
        const json* member = FindMember(section, row.Key);
        if (member == nullptr && !row.Required) {
            decoded.set(index);
            continue;
        }
        const std::string path = SectionMember(row.Key);
        const std::size_t problemsBefore = problems.size();
        std::visit(
            [&](auto field) {
                using Value = std::remove_reference_t<decltype(config.*field)>;
                std::optional<Value> value;
                if constexpr (std::is_same_v<Value, FString>) {
                    value = ReadText(member, path, problems);
                } else if constexpr (std::is_same_v<Value, bool>) {
                    value = ReadFlag(member, path, problems);
                } else if constexpr (std::is_same_v<Value, MessageColor>) {
                    value = ReadColor(member, path, problems);
                } else if constexpr (std::is_same_v<Value, std::int32_t>) {
                    value = ReadInteger(member, path, problems);
                } else if constexpr (std::is_same_v<Value, TimeOfDay>) {
                    value = ReadTimeOfDay(member, path, problems);
                } else if constexpr (std::is_same_v<Value, std::vector<Window>>) {
                    value = ReadSchedules(member, path, problems);
                } else if constexpr (std::is_same_v<Value, std::vector<std::int32_t>>) {
                    value = ReadReminders(member, path, problems);
                } else if constexpr (std::is_same_v<Value, WeeklyName>) {
                    value = ReadWeeklyName(member, path, problems);
                } else if constexpr (std::is_same_v<Value, WindowPriority>) {
                    value = ReadPriority(member, path, problems);
                } else if constexpr (std::is_same_v<Value, std::optional<TimeZone>>) {
                    if (std::optional<TimeZone> zone = ReadTimeZone(member, path, problems)) value = std::move(zone);
                } else if constexpr (std::is_same_v<Value, Seconds>) {
                    const auto seconds =
                        ReadWholeNumber(member, path, 0, static_cast<std::int32_t>(kLongestJoinMessageDelay.count()),
                                        "seconds", problems);
                    if (seconds) value = Seconds{*seconds};
                } else {
                    value = ReadCommandName(member, path, problems);
                }
                if (value) config.*field = std::move(*value);
            },
            row.Field);
        decoded.set(index, problems.size() == problemsBefore);
    }
    return decoded;
}

// A status command may not take a name the plug-in registers itself; the host matches a
// command's first word without regard to ASCII case.
void CheckStatusCommand(const Config& config, ConfigProblems& problems)
{
    if (config.StatusCommand.empty()) return;
    for (const char* name : kPluginRegistrations) {
        if (!util::EqualIgnoringAsciiCase(config.StatusCommand, name)) continue;
        problems.push_back({ProblemKind::Member,
                            SectionMember("StatusCommand"),
                            "\"" + config.StatusCommand + "\" is one of the plug-in's own commands",
                            {}});
    }
}

// The weekly window's name is one of the windows' names: a schedule cannot take it too.
void CheckWeeklyName(const Config& config, ConfigProblems& problems)
{
    for (std::size_t i = 0; i < config.Schedules.size(); ++i) {
        if (config.Schedules[i].Id.ScheduleName() != config.Name.Text) continue;
        problems.push_back({ProblemKind::Member,
                            SectionMember("Schedules") + "[" + std::to_string(i) + "].Name",
                            "\"" + Excerpt(config.Name.Text) + "\" is already the name of the weekly window (" +
                                SectionMember(KeyOf(&Config::Name)) + "); names must be unique",
                            {}});
    }
}

} // namespace

DecodedConfig DecodeConfig(std::string_view text, std::optional<Instant> now)
{
    DecodedConfig decoded;
    if (auto problem = NotUtf8Text(text)) {
        decoded.Errors.push_back(std::move(*problem));
        return decoded;
    }
    ParsedConfig parsed = ParseConfig(text);
    if (parsed.Error) {
        decoded.Errors.push_back(std::move(*parsed.Error));
        return decoded;
    }
    const json* section = FindSection(parsed.Document, decoded.Errors);
    if (section == nullptr) {
        Locate(decoded.Errors, parsed.Places);
        return decoded;
    }

    Config config;
    config.FromFile = true;
    const std::bitset<kSettingCount> settings = DecodeSettings(*section, config, decoded.Errors);
    if (!config.StatusCommand.empty()) CheckStatusCommand(config, decoded.Errors);
    if (!config.Name.Text.empty()) CheckWeeklyName(config, decoded.Errors);
    if (const auto problem = ReminderLengthProblem(config)) {
        decoded.Errors.push_back({ProblemKind::Member, SectionMember("ReminderMessage"), *problem, {}});
    }
    for (ConfigProblem& problem : JoinMessageProblems(config)) decoded.Errors.push_back(std::move(problem));

    WindowRates main = ReadRates(*section, kSectionName, true, decoded.RateProblems);
    if (config.RelativeRates) main.Relative = main.Own;
    CheckFactors(main, kSectionName, decoded.RateProblems);
    Locate(decoded.RateProblems, parsed.Places);
    main.Unreadable = decoded.RateProblems;
    for (std::size_t i = 0; i < config.Schedules.size(); ++i) {
        Window& schedule = config.Schedules[i];
        CompleteRates(schedule.Rates, main, schedule.InheritRates.value_or(true),
                      schedule.RelativeRates.value_or(config.RelativeRates));
        CheckFactors(schedule.Rates, SectionMember("Schedules") + "[" + std::to_string(i) + "]", decoded.Errors);
    }
    config.Weekly.Times = WeekdayRule{config.StartDay, config.StartTime.Minutes, config.EndDay, config.EndTime.Minutes};
    config.Weekly.Rates = std::move(main);
    config.Weekly.Id = WindowId::Weekly(config.Name.Text);
    config.Weekly.Priority = config.Priority;
    config.Precedence = PrecedenceOf(config);

    decoded.Warnings = ProbableMistakes(config, settings, *section, now);
    Locate(decoded.Errors, parsed.Places);
    Locate(decoded.Warnings, parsed.Places);
    if (decoded.Errors.empty()) decoded.Value = std::move(config);
    return decoded;
}

ConfigProblems LoadWarnings(const DecodedConfig& decoded)
{
    // The near misses lead the warnings, and may be why a rate cannot be read.
    const auto nearMisses = std::find_if_not(decoded.Warnings.begin(), decoded.Warnings.end(), IsNearMiss);
    ConfigProblems warnings(decoded.Warnings.begin(), nearMisses);
    for (ConfigProblem warning : decoded.RateProblems) {
        warning.What += "; the weekend rates cannot switch on until this is fixed";
        warnings.push_back(std::move(warning));
    }
    warnings.insert(warnings.end(), nearMisses, decoded.Warnings.end());
    return warnings;
}

} // namespace qv

// The config file: where it lives, reading it, and putting its values in force.
#include "plugin/config/LoadConfig.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "plugin/config/ConfigParser.h"
#include "plugin/config/PluginSettings.h"
#include "plugin/host/Framework.h"
#include "util/BoundedFile.h"

namespace {

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

} // namespace

std::string ConfigPath() { return Framework::CurrentDir() + "/ArkApi/Plugins/Quorvandelle/config.json"; }

ConfigSource ReadConfigSource(const std::string& path)
{
    ConfigSource source;
    std::variant<std::string, util::FileProblem> read = util::ReadBoundedFile(path, kMostConfigBytes, "a config file");
    if (auto* problem = std::get_if<util::FileProblem>(&read)) {
        const ProblemKind kind =
            problem->Kind == util::FileProblemKind::Missing ? ProblemKind::FileMissing : ProblemKind::File;
        source.Problems.push_back({kind, "", std::move(problem->What), {}});
        return source;
    }
    const std::string& text = std::get<std::string>(read);

    if (const auto problem = NotUtf8Text(text)) {
        source.Problems.push_back(*problem);
        return source;
    }
    ParsedConfig parsed = ParseConfig(text);
    if (parsed.Error) {
        source.Problems.push_back(std::move(*parsed.Error));
        return source;
    }
    source.Document = std::move(parsed.Document);
    source.Places = std::move(parsed.Places);
    return source;
}

ConfigLoad LoadConfig(SettingsCheck check)
{
    ConfigLoad load{ConfigPath(), {}};
    ConfigSource source = ReadConfigSource(load.File);
    if (!source.Problems.empty()) {
        load.Errors = std::move(source.Problems);
        return load;
    }
    std::optional<Settings> settings = DecodeSettings(source.Document, load.Errors);
    if (settings && check != nullptr) check(*settings, load.Errors);
    if (!settings || !load.Loaded()) {
        Locate(load.Errors, source.Places);
        return load;
    }
    PluginSettings = std::move(*settings);
    ConfigDocument = std::move(source.Document);
    ConfigDocumentPlaces = std::move(source.Places);
    return load;
}

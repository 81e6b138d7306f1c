// The config file: where it lives, reading it, and putting its values in force.
#include "plugin/config/LoadConfig.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>

#include "plugin/config/ConfigParser.h"
#include "plugin/config/PluginSettings.h"
#include "plugin/host/Framework.h"

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

std::variant<std::string, ConfigProblem> ReadBoundedFile(const std::string& path, std::size_t limit,
                                                         const std::string& what)
{
    const auto fileProblem = [](ProblemKind kind, std::string text) {
        return ConfigProblem{kind, "", std::move(text), {}};
    };
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    // A link that leads nowhere readable (a loop, a folder without access) is no missing file.
    if (status.type() == std::filesystem::file_type::none) {
        return fileProblem(ProblemKind::File, "cannot be read: " + error.message());
    }
    if (!std::filesystem::exists(status)) return fileProblem(ProblemKind::FileMissing, "not found");
    if (std::filesystem::is_directory(status)) return fileProblem(ProblemKind::File, "is a folder, not a file");
    // Opening a pipe or a device would block the server's thread until something writes to it.
    if (!std::filesystem::is_regular_file(status)) return fileProblem(ProblemKind::File, "is not a regular file");

    std::ifstream input(path, std::ios::binary);
    if (!input.is_open()) {
        return fileProblem(ProblemKind::File, std::string("cannot be opened: ") + std::strerror(errno));
    }
    // Read one byte past the limit at most: a file that grows while it is read is caught too. The
    // room is taken for the size the file has, not the limit, which a script's may make large.
    std::string text;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    text.reserve(static_cast<std::size_t>(!error && size < limit ? size : limit) + 1);
    char chunk[16 * 1024];
    while (text.size() <= limit) {
        input.read(chunk, sizeof chunk);
        const std::size_t count = static_cast<std::size_t>(input.gcount());
        if (count == 0) break;
        text.append(chunk, std::min(count, limit + 1 - text.size()));
    }
    if (text.size() > limit) {
        const std::uintmax_t measuredSize = std::filesystem::file_size(path, error);
        const std::string measured =
            !error && measuredSize > limit ? std::to_string(measuredSize) : "more than " + std::to_string(limit);
        const std::string mebibytes =
            limit % (1024 * 1024) == 0 ? " (" + std::to_string(limit / (1024 * 1024)) + " MiB)" : "";
        return fileProblem(ProblemKind::File, "is " + measured + " bytes; " + what + " may have at most " +
                                                  std::to_string(limit) + " bytes" + mebibytes);
    }
    return text;
}

ConfigSource ReadConfigSource(const std::string& path)
{
    ConfigSource source;
    std::variant<std::string, ConfigProblem> read = ReadBoundedFile(path, kMostConfigBytes, "a config file");
    if (auto* problem = std::get_if<ConfigProblem>(&read)) {
        source.Problems.push_back(std::move(*problem));
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

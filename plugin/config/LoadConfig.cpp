// The config file: where it lives, and reading it as a bounded regular file.
#include "plugin/config/LoadConfig.h"

#include "plugin/host/Framework.h"
#include "util/BoundedFile.h"

namespace qv {

std::string ConfigPath() { return Framework::CurrentDir() + "/ArkApi/Plugins/Quorvandelle/config.json"; }

ConfigLoad ReadConfigFile(const std::string& path, const std::optional<LocalTime>& now)
{
    ConfigLoad load{path, {}};
    std::variant<std::string, util::FileProblem> read = util::ReadBoundedFile(path, kMostConfigBytes, "a config file");
    if (auto* problem = std::get_if<util::FileProblem>(&read)) {
        const ProblemKind kind =
            problem->Kind == util::FileProblemKind::Missing ? ProblemKind::FileMissing : ProblemKind::File;
        load.Decoded.Errors.push_back({kind, "", std::move(problem->What), {}});
        return load;
    }
    load.Decoded = DecodeConfig(std::get<std::string>(read), now);
    return load;
}

ConfigLoad LoadConfig(const std::optional<LocalTime>& now) { return ReadConfigFile(ConfigPath(), now); }

} // namespace qv

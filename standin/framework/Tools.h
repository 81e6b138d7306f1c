// The host's base directory (ArkApi::Tools::GetCurrentDir), which the embedder sets.
#pragma once

#include <string>

#include "standin/framework/Export.h"

namespace standin::tools {

// Empty restores the default: the process's working directory when asked.
STANDIN_API void SetCurrentDir(const std::string& directory);

} // namespace standin::tools

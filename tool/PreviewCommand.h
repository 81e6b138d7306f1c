// quorvandelle preview: the coming days as the plug-in will run them, without a server.
#pragma once

#include <string>

#include "tool/DateTime.h"
#include "tool/Output.h"

namespace qvtool {

struct PreviewOptions {
    std::string Config;
    Instant ServerStart; // on the config's clock
    int Days = 14;
    // The timer calls behind the timing sentence.
    bool Verbose = false;
};

int RunPreview(const PreviewOptions& options, Output& output);

} // namespace qvtool

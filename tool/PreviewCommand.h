// quorvandelle preview: the coming days as the plug-in will run them, without a server.
#pragma once

#include <string>

#include "tool/DateTime.h"
#include "tool/Output.h"

namespace qvtool {

struct PreviewOptions {
    std::string config;
    Seconds serverStart = 0;
    int days = 14;
    // The timer calls behind the timing sentence.
    bool verbose = false;
};

int RunPreview(const PreviewOptions& options, Output& output);

} // namespace qvtool

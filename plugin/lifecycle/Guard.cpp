// Writes a contained callback failure to the plug-in's log.
#include "plugin/lifecycle/Guard.h"

#include <string>

#include "plugin/lifecycle/PluginLog.h"

void ReportCallbackFailure(const char* callback, const char* reason) noexcept
{
    try {
        LogError(std::string(callback) + " failed: " + reason);
    } catch (...) {
        // Out of memory while reporting: there is nothing left to tell anyone with.
    }
}

// The one place where a failure inside a host callback or Load is caught: nothing the plug-in
// raises may reach the host, which would take the game server down with it.
#pragma once

#include <exception>

#include "plugin/log/PluginLog.h"

namespace qv {

template <typename Body>
void RunGuarded(const char* callback, Body&& body) noexcept
{
    try {
        body();
    } catch (const std::exception& error) {
        LogCallbackFailure(callback, error.what());
    } catch (...) {
        LogCallbackFailure(callback, "unknown error");
    }
}

} // namespace qv

// What the plug-in registers with the host: its commands and its timer, walked in one order by
// both Load and Unload, and the status command under the name the config gives it.
#pragma once

#include <string>

#include "plugin/config/ConfigProblem.h"
#include "plugin/config/PluginSettings.h"

// The four registrations in their order, then the status command when the settings name one.
void RegisterAll();
// The same, removed in the same order.
void UnregisterAll();
// After a reload: the status command follows the settings (registered, renamed or removed).
void FollowStatusCommand(const std::string& before);
// A status command may not take a name the plug-in uses itself; a load-time check.
void CheckCommandNames(const Settings& settings, ConfigProblems& problems);

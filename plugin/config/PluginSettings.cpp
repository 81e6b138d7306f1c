// The library-wide settings and document. The settings hold their initial values without any
// code running; their strings are released through the game's allocator at teardown.
#include "plugin/config/PluginSettings.h"

#include "plugin/lifecycle/LibraryObject.h"

QV_LIBRARY_OBJECT Settings PluginSettings;
QV_LIBRARY_OBJECT nlohmann::json ConfigDocument;

// The plug-in's one state. Unload still reads it, so it lives as long as the library does.
#include "plugin/rates/PluginState.h"

#include "plugin/host/LibraryObject.h"

namespace qv {

QV_LIBRARY_OBJECT PluginState State;

} // namespace qv

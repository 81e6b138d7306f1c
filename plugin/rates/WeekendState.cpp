// The weekend state. Unload still reads it, so it lives as long as the config does.
#include "plugin/rates/WeekendState.h"

#include "plugin/host/LibraryObject.h"

namespace qv {

QV_LIBRARY_OBJECT WeekendState Weekend;

void ResetWeekendState() { Weekend = WeekendState{}; }

} // namespace qv

// The weekend state. Unload still reads it, so it lives as long as the settings do.
#include "plugin/rates/WeekendState.h"

#include "plugin/host/LibraryObject.h"

QV_LIBRARY_OBJECT WeekendState Weekend;

void ResetWeekendState() { Weekend = WeekendState{}; }

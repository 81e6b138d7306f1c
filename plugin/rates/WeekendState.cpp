// The weekend state. Plain values only, so it needs no construction order and no teardown.
#include "plugin/rates/WeekendState.h"

WeekendState Weekend;

void ResetWeekendState() { Weekend = WeekendState{}; }

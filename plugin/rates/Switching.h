// Moving the game mode between its normal and its weekend rate multipliers.
#pragma once

#include "plugin/rates/WeekendValues.h"

// The values in force before the weekend switch that is in force now.
extern MultiplierValues SavedMultipliers;
// True from a successful switch-on until the switch back: the snapshot is only taken while
// the normal values are in force, so it always holds the true normal values.
extern bool WeekendValuesInForce;

// Returns false when nothing changed: no game mode, or a weekend value that cannot be read
// (logged, naming the key). Then no field, snapshot, message of the day or announcement moved.
bool SwitchToWeekend();
// Returns false when there was nothing to switch back (no game mode, or no weekend in force).
bool SwitchToNormal();
// Puts the normal values (and the normal message of the day) back without announcing it.
void RestoreNormalOnUnload();

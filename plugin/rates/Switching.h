// Moving the game mode between its normal and its weekend rate multipliers.
#pragma once

// Returns false when nothing changed: no game mode, or a weekend value that cannot be read
// (logged, naming the key). Then no field, snapshot, message of the day or announcement moved.
bool SwitchToWeekend();
// Returns false when there was nothing to switch back (no game mode, or no weekend in force).
bool SwitchToNormal();

// The schedule and the toggle each keep a flag that says the weekend in force is theirs. The flag
// takes its new value before the switch runs, as the schedule has always done it, and gets its old
// value back when the switch changed nothing: a flag never claims a weekend that is not in force.
// Returns whether the switch happened.
bool SwitchWithFlag(bool& flag, bool weekend);

// Puts the normal values (and the normal message of the day) back without announcing it.
void RestoreNormalOnUnload();

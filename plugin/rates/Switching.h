// Moving the game mode between its normal rate multipliers and the values of a window.
#pragma once

// The main section's weekend values: the weekly window's, and the toggle's.
// Returns false when nothing changed: no game mode, or a weekend value that cannot be read
// (logged, naming the key). Then no field, snapshot, message of the day or announcement moved.
bool SwitchToWeekend();
// The same for any window (kWeeklyWindow or a schedule), from the normal values.
bool SwitchToWindow(int window);
// From the values of the window in force to those of another, keeping the snapshot of the normal
// values: afterwards the game holds what a switch from normal into that window would have given.
// False, and nothing changed, when its values cannot all be read.
bool MoveToWindow(int window);
// Returns false when there was nothing to switch back (no game mode, or no weekend in force).
// The announcement is that of the window whose values were in force.
bool SwitchToNormal();

// The host can replace its game mode (a world rebuilt) while the plug-in stays loaded: true when
// weekend values are in force but the game mode that holds them is no longer the current one. The
// new one starts from the server's normal values, so the snapshot of the old one's is dropped.
bool GameModeReplaced();
// A window's values into a game mode that replaced the one that held them: a fresh snapshot of its
// own values, the window's values and message of the day, and no announcement, the weekend having
// been announced already.
bool PutIntoNewGameMode(int window);

// The schedule and the toggle each keep a flag that says the weekend in force is theirs. The flag
// takes its new value before the switch runs, as the schedule has always done it, and gets its old
// value back when the switch changed nothing: a flag never claims a weekend that is not in force.
// Returns whether the switch happened.
bool SwitchWithFlag(bool& flag, bool weekend, int window);

// Puts the normal values (and the normal message of the day) back without announcing it.
void RestoreNormalOnUnload();

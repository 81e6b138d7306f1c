// Moving the game mode between its normal rate multipliers and the values of a window, each move
// with the message of the day and the announcements the config asks for.
#pragma once

#include "plugin/config/Window.h"
#include "plugin/rates/PluginState.h"

namespace qv {

// From the normal values into the window's, which owner then owns: only while no boost is in force,
// or while the game mode that held it has been replaced, since the values in force become the
// snapshot. Returns false when nothing changed: no game mode, no config loaded, or a value of the
// window that cannot be read (logged, naming the key). Then no field, snapshot, message of the day
// or announcement moved.
bool SwitchToWindow(const Window& window, Owner owner);
// The main section's values: the toggle's switch.
bool SwitchToWeekend(Owner owner);
// From the values of the window in force to those of another, keeping the snapshot of the normal
// values: afterwards the game holds what a switch from normal into that window would have given.
// False, and nothing changed, when its values cannot all be read.
bool MoveToWindow(const Window& window, Owner owner);
// Back to the normal values, announced as the end of the window that was in force: only while a
// boost is in force (its owner decides who may end it), since the snapshot is what is written.
// Without a game mode the boosted values went with it, and the one the server builds next starts
// from its normal values: the boost ends all the same, nothing is written.
void SwitchToNormal();

// The host can replace its game mode (a world rebuilt) while the plug-in stays loaded: true when
// boosted values are in force but the game mode that holds them is no longer the current one. The
// new one starts from the server's normal values.
bool GameModeReplaced();
// The values in force into a game mode that replaced the one that held them: a fresh snapshot of its
// own values, the window's values and message of the day, and no announcement, the window having
// been announced already. The owner stays.
bool PutIntoNewGameMode(const Window& window);

// Puts the normal values (and the normal message of the day) back without announcing it.
void RestoreNormalOnUnload();

} // namespace qv

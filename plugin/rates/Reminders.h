// Telling players ahead of time that a window is about to come into force.
#pragma once

#include "plugin/host/Clock.h"

// At an evaluation at now: when the next change of the window in force brings a window (not
// normal rates, not the window already in force, not the weekly window over a weekend switched on
// by hand) and one of the configured leads has come, one reminder goes out, saying how many minutes
// are left. Each lead is announced at most once per opening, and never once the window is open.
void SendDueReminders(const LocalTime& now);

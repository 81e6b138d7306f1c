// What the status command tells a player about the rates.
#pragma once

#include <string>

#include "plugin/host/Clock.h"

// The window in force and until when, or that normal rates are in force and which window comes
// next and when; with the multipliers of that window that differ from 1.
std::wstring RatesStatus(const LocalTime& now);

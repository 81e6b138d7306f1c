// When one window is open, on the wall clock: at a moment, its next opening, and the end of the
// stretch it is open in. Each answer costs the same however far away it lies: a weekly window is
// open in at most 21 stretches of a week, a dated one in one.
#pragma once

#include <optional>

#include "plugin/schedule/Calendar.h"
#include "plugin/schedule/WindowTimes.h"

namespace qv {

bool IsOpenAt(const WindowTimes& times, WallTime wall);
// The first moment after wall at which the window is open and was not the second before; nothing
// when it never opens again (a dated window that has begun, a weekly one open all week or never).
std::optional<WallTime> NextOpening(const WindowTimes& times, WallTime wall);
// For a window open at wall: the first moment after it at which the window is closed; nothing when
// it stays open for ever (a weekly window open all week).
std::optional<WallTime> OpenUntil(const WindowTimes& times, WallTime wall);
// The first moment after wall at which the window opens or closes.
std::optional<WallTime> NextOpeningOrClosing(const WindowTimes& times, WallTime wall);

} // namespace qv

// Events as a readable timeline, one line an event (a switch also lists the sixteen rates).
#pragma once

#include <ostream>
#include <string>

#include "tool/Events.h"
#include "tool/Terminal.h"

namespace qvtool {

// The lines for one event, each ending in a newline, its time on clock.
std::string FormatTimelineEvent(const Event& event, const Style& style, const qv::LocalClock& clock);

// "0.2, 1, 0.2, 1"
std::string FormatColor(const Rgba& color);

} // namespace qvtool

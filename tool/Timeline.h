// Events as a readable timeline, one line an event (a switch also lists the sixteen rates).
#pragma once

#include <ostream>
#include <string>

#include "tool/Events.h"
#include "tool/Terminal.h"

namespace qvtool {

// The lines for one event, each ending in a newline.
std::string FormatTimelineEvent(const Event& event, const Style& style);

// "0.2, 1, 0.2, 1"
std::string FormatColor(const Color& color);

} // namespace qvtool

// The calendar as an iCalendar feed (RFC 5545) that players subscribe to: one event a stretch,
// named stably from run to run, so that a subscribed calendar updates its events instead of
// adding them again.
#pragma once

#include <string>
#include <string_view>

#include "tool/PublishedCalendar.h"

namespace qvtool {

// A TEXT value: backslash, semicolon, comma and line breaks escaped; other control characters,
// which TEXT cannot hold, become spaces.
std::string EscapeText(std::string_view text);
// One content line, folded so that no line is longer than 75 octets and no UTF-8 character is
// split, each line ended by CRLF.
std::string FoldLine(std::string_view line);
// The same for a window and a start wherever and whenever the feed is made.
std::string StretchUid(const PublishedCalendar& calendar, const CalendarStretch& stretch);

std::string WriteFeed(const PublishedCalendar& calendar);

} // namespace qvtool

// The calendar as one self-contained HTML page for administrators: a month-by-month grid of the
// windows in force, one colour a window, and a legend of what each does. Inline CSS and SVG only:
// no script, and nothing fetched from anywhere.
#pragma once

#include <string>
#include <string_view>

#include "tool/PublishedCalendar.h"

namespace qvtool {

// Text for HTML content and attribute values alike.
std::string EscapeHtml(std::string_view text);
// The colour that stands for the window-th window, as "#rrggbb", on a light or a dark page. Hues
// are spread by the golden angle, so that neighbours in the legend never look alike.
std::string WindowColour(std::size_t window, bool dark);

std::string WritePage(const PublishedCalendar& calendar);

} // namespace qvtool

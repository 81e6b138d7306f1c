// Weeks start on Monday. Each day holds a bar of its 24 hours with the windows in force drawn in
// their colours, and one line for each piece of a stretch that falls on it; on a narrow screen the
// grid becomes a list of the days on which some window is in force.
#include "tool/CalendarPage.h"

#include <algorithm>
#include <cmath>

#include <fmt/format.h>

#include "plugin/config/Calendar.h"
#include "util/CivilDate.h"

namespace qvtool {

namespace {

using qv::kSecondsPerDay;

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kShortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

const char kStyle[] = R"(
:root{color-scheme:light dark;--bg:#fbfbfa;--fg:#1d1f21;--muted:#60656b;--line:#d9dcdf;--cell:#fff;--off:#f0f1f2}
@media (prefers-color-scheme:dark){:root{--bg:#16181b;--fg:#e6e7e8;--muted:#a0a5ab;--line:#33373c;--cell:#1f2226;--off:#191b1e}}
*{box-sizing:border-box}
body{margin:0 auto;max-width:84rem;padding:1rem;background:var(--bg);color:var(--fg);font:15px/1.4 system-ui,-apple-system,"Segoe UI",Roboto,"DejaVu Sans",sans-serif}
h1{font-size:1.6rem;margin:.2rem 0}h2{font-size:1.2rem;margin:1.4rem 0 .5rem}
.range,.note,.zone,.when,.quiet{color:var(--muted)}.note,.zone{margin:.3rem 0}
.legend ul{list-style:none;margin:0;padding:0;display:grid;grid-template-columns:repeat(auto-fill,minmax(20rem,1fr));gap:.6rem}
.window{display:flex;gap:.6rem;padding:.6rem;background:var(--cell);border:1px solid var(--line);border-radius:.5rem}
.window p{margin:.2rem 0}.swatch{flex:none;width:1.2rem;height:1.2rem;border-radius:.25rem;margin-top:.15rem}
.message{font-style:italic}
.grid{display:grid;grid-template-columns:repeat(7,minmax(0,1fr));gap:2px;background:var(--line);border:2px solid var(--line);border-radius:.4rem}
.head{background:var(--off);text-align:center;font-weight:600;padding:.2rem;color:var(--muted)}
.day{background:var(--cell);min-height:5.5rem;padding:.25rem .3rem;min-width:0}
.blank,.outside{background:var(--off)}.outside .date{opacity:.45}
.date{font-weight:600}.dow{display:none}
.bar{display:block;width:100%;height:.7rem;margin:.2rem 0;background:var(--off);border-radius:.2rem}
.bar line{stroke:var(--line);stroke-width:2}
.day ul{list-style:none;margin:0;padding:0;font-size:.8rem}
.day li{border-left:.3rem solid var(--c);padding-left:.3rem;margin:.15rem 0;overflow-wrap:anywhere}
.piece{fill:var(--c)}
@media (max-width:700px){
 body{padding:.6rem}.grid{display:block;border:0;background:none}
 .head,.blank,.outside,.day.empty{display:none}
 .day{display:grid;grid-template-columns:4.5rem 1fr;gap:0 .5rem;min-height:0;border-bottom:1px solid var(--line)}
 .day .bar{grid-column:2}.day ul{grid-column:2;font-size:.9rem}.dow{display:inline}
}
)";

std::string TimeText(std::int64_t wall)
{
    const qv::LocalTime at = qv::FromWallSeconds(wall);
    return fmt::format("{:02}:{:02}", at.Hour, at.Minute);
}

// 2026-12-24T10:00 (seconds where there are any).
std::string IsoText(std::int64_t wall)
{
    const qv::LocalTime at = qv::FromWallSeconds(wall);
    std::string text = fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}", at.Year, at.Month, at.Day, at.Hour, at.Minute);
    if (at.Second != 0) text += fmt::format(":{:02}", at.Second);
    return text;
}

std::string DateText(std::int64_t wall)
{
    const qv::LocalTime at = qv::FromWallSeconds(wall);
    return fmt::format("{} {:04}-{:02}-{:02}", kShortDays[at.Weekday], at.Year, at.Month, at.Day);
}

std::string ColourClasses(std::size_t count)
{
    std::string light, dark;
    for (std::size_t window = 0; window < count; ++window) {
        light += fmt::format(".w{}{{--c:{}}}", window, WindowColour(window, false));
        dark += fmt::format(".w{}{{--c:{}}}", window, WindowColour(window, true));
    }
    return light + "\n@media (prefers-color-scheme:dark){" + dark + "}\n";
}

void WriteLegend(const PublishedCalendar& calendar, std::string& page)
{
    std::vector<bool> shown(calendar.windows.size(), false);
    for (const CalendarStretch& stretch : calendar.stretches) shown[stretch.window] = true;
    page += "<section class=\"legend\">\n<h2>Windows</h2>\n<ul>\n";
    for (std::size_t i = 0; i < calendar.windows.size(); ++i) {
        const CalendarWindow& window = calendar.windows[i];
        page += fmt::format("<li class=\"window w{}\" data-window=\"{}\" data-colour=\"{}\">"
                            "<svg class=\"swatch\" viewBox=\"0 0 1 1\" aria-hidden=\"true\"><rect class=\"piece\" "
                            "width=\"1\" height=\"1\"/></svg><div><b>{}</b> <span class=\"when\">{}</span>",
                            i, EscapeHtml(window.name), WindowColour(i, false), EscapeHtml(window.name),
                            EscapeHtml(window.when));
        if (!shown[i]) page += " <span class=\"quiet\">(not in force in these days)</span>";
        page += fmt::format("<p class=\"rates\">{}</p>", EscapeHtml(RatesText(window)));
        if (!window.enabledMessage.empty()) {
            page += fmt::format("<p class=\"message\">\u201c{}\u201d</p>", EscapeHtml(window.enabledMessage));
        }
        page += "</div></li>\n";
    }
    page += "</ul>\n<p class=\"zone\">" +
            EscapeHtml(calendar.zone ? "Times are in " + calendar.zone->name + "." : calendar.zoneText) +
            "</p>\n</section>\n";
}

// The part of a stretch that falls on the day from dayStart: "20:00\u201322:00", "from 18:00",
// "until 22:00" or "all day".
std::string PieceText(const CalendarStretch& stretch, std::int64_t dayStart)
{
    const std::int64_t dayEnd = dayStart + kSecondsPerDay;
    const bool startsToday = stretch.start.wall >= dayStart;
    const bool endsToday = stretch.end.wall <= dayEnd;
    const std::string end = stretch.end.wall == dayEnd ? std::string("24:00") : TimeText(stretch.end.wall);
    if (startsToday && endsToday) return TimeText(stretch.start.wall) + "\u2013" + end;
    if (startsToday) return "from " + TimeText(stretch.start.wall);
    if (endsToday && stretch.end.wall < dayEnd) return "until " + end;
    return "all day";
}

void WriteDay(const PublishedCalendar& calendar, std::int64_t dayStart, bool inside, std::size_t& next,
              std::string& page)
{
    const qv::LocalTime date = qv::FromWallSeconds(dayStart);
    const std::int64_t dayEnd = dayStart + kSecondsPerDay;
    // The stretches are in time order; those that end by this day are behind us for good.
    while (next < calendar.stretches.size() && calendar.stretches[next].end.wall <= dayStart) ++next;
    std::string bar, list;
    for (std::size_t i = next; inside && i < calendar.stretches.size(); ++i) {
        const CalendarStretch& stretch = calendar.stretches[i];
        if (stretch.start.wall >= dayEnd) break;
        const std::string& name = calendar.windows[stretch.window].name;
        const std::int64_t from = std::max(stretch.start.wall, dayStart) - dayStart;
        const std::int64_t to = std::min(stretch.end.wall, dayEnd) - dayStart;
        const std::string piece = PieceText(stretch, dayStart);
        bar += fmt::format("<rect class=\"piece w{}\" x=\"{}\" width=\"{}\" height=\"12\"><title>{} {}</title></rect>",
                           stretch.window, from / 60, std::max<std::int64_t>((to - from) / 60, 1), EscapeHtml(name),
                           piece);
        list += fmt::format("<li class=\"stretch w{}\" data-window=\"{}\" data-start=\"{}\" data-end=\"{}\">{} "
                            "<b>{}</b></li>",
                            stretch.window, EscapeHtml(name), IsoText(stretch.start.wall), IsoText(stretch.end.wall),
                            piece, EscapeHtml(name));
    }
    page += fmt::format("<div class=\"day{}\" data-date=\"{:04}-{:02}-{:02}\"><div class=\"date\"><span "
                        "class=\"dow\">{} </span>{}</div>",
                        !inside        ? " outside"
                        : list.empty() ? " empty"
                                       : "",
                        date.Year, date.Month, date.Day, kShortDays[date.Weekday], date.Day);
    if (inside) {
        page += "<svg class=\"bar\" viewBox=\"0 0 1440 12\" preserveAspectRatio=\"none\" aria-hidden=\"true\">"
                "<line x1=\"360\" y1=\"0\" x2=\"360\" y2=\"12\"/><line x1=\"720\" y1=\"0\" x2=\"720\" y2=\"12\"/>"
                "<line x1=\"1080\" y1=\"0\" x2=\"1080\" y2=\"12\"/>" +
                bar + "</svg>";
    }
    if (!list.empty()) page += "<ul>" + list + "</ul>";
    page += "</div>\n";
}

void WriteMonths(const PublishedCalendar& calendar, std::string& page)
{
    const std::int64_t firstDay = util::FloorDivide(calendar.from.wall, kSecondsPerDay);
    // The last day holding a moment of the calendar's days.
    const std::int64_t lastDay = util::FloorDivide(calendar.to.wall - 1, kSecondsPerDay);
    std::size_t next = 0;
    for (util::CivilDate month = util::CivilFromDays(firstDay);;) {
        const std::int64_t monthStart = util::DaysFromCivil(month.Year, month.Month, 1);
        if (monthStart > lastDay) break;
        page += fmt::format("<section class=\"month\">\n<h2>{} {}</h2>\n<div class=\"grid\">\n",
                            kMonths[month.Month - 1], month.Year);
        for (const char* head : {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"}) {
            page += fmt::format("<div class=\"head\">{}</div>", head);
        }
        page += "\n";
        for (int blank = (util::WeekdayFromDays(monthStart) + 6) % 7; blank > 0; --blank) {
            page += "<div class=\"blank\"></div>";
        }
        const int length = util::DaysInMonth(month.Year, month.Month);
        for (std::int64_t day = monthStart; day < monthStart + length; ++day) {
            WriteDay(calendar, day * kSecondsPerDay, day >= firstDay && day <= lastDay, next, page);
        }
        // Up to the Sunday that ends the last week.
        for (int blank = (7 - (util::WeekdayFromDays(monthStart + length) + 6) % 7) % 7; blank > 0; --blank) {
            page += "<div class=\"blank\"></div>";
        }
        page += "</div>\n</section>\n";
        month =
            month.Month == 12 ? util::CivilDate{month.Year + 1, 1, 1} : util::CivilDate{month.Year, month.Month + 1, 1};
    }
}

// HSL to RGB for a hue in degrees, saturation and lightness from 0 to 1.
std::string HslHex(double hue, double saturation, double lightness)
{
    const double chroma = (1 - std::fabs(2 * lightness - 1)) * saturation;
    const double sector = std::fmod(hue, 360.0) / 60.0;
    const double x = chroma * (1 - std::fabs(std::fmod(sector, 2.0) - 1));
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(sector)) {
    case 0:
        r = chroma, g = x;
        break;
    case 1:
        r = x, g = chroma;
        break;
    case 2:
        g = chroma, b = x;
        break;
    case 3:
        g = x, b = chroma;
        break;
    case 4:
        r = x, b = chroma;
        break;
    default:
        r = chroma, b = x;
        break;
    }
    const double m = lightness - chroma / 2;
    const auto channel = [m](double value) { return static_cast<int>(std::lround((value + m) * 255)); };
    return fmt::format("#{:02x}{:02x}{:02x}", channel(r), channel(g), channel(b));
}

} // namespace

std::string EscapeHtml(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&#39;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string WindowColour(std::size_t window, bool dark)
{
    const double hue = std::fmod(210.0 + 137.508 * static_cast<double>(window), 360.0);
    return dark ? HslHex(hue, 0.65, 0.62) : HslHex(hue, 0.70, 0.42);
}

std::string WritePage(const PublishedCalendar& calendar)
{
    const std::string title = EscapeHtml(calendar.title);
    std::string page;
    page.reserve(4096 + calendar.stretches.size() * 400);
    page += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "<meta name=\"color-scheme\" content=\"light dark\">\n";
    page += fmt::format("<title>{}: boosted rates</title>\n<style>{}{}</style>\n</head>\n<body>\n", title, kStyle,
                        ColourClasses(calendar.windows.size()));
    page += fmt::format("<header>\n<h1>{}: boosted rates</h1>\n<p class=\"range\">{} to {}, {} stretch{}</p>\n"
                        "<p class=\"note\">{}</p>\n</header>\n",
                        title, DateText(calendar.from.wall), DateText(calendar.to.wall - 1), calendar.stretches.size(),
                        calendar.stretches.size() == 1 ? "" : "es", EscapeHtml(calendar.timingNote));
    WriteLegend(calendar, page);
    WriteMonths(calendar, page);
    page += "</body>\n</html>\n";
    return page;
}

} // namespace qvtool

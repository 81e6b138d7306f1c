// Weeks start on Monday. Each day holds a bar of its 24 hours with the windows in force drawn in
// their colours, and one line for each piece of a stretch that falls on it; on a narrow screen the
// grid becomes a list of the days on which some window is in force.
#include "tool/CalendarPage.h"

#include <algorithm>
#include <cmath>

#include <fmt/format.h>

#include "plugin/schedule/Calendar.h"
#include "util/CivilDate.h"

namespace qvtool {

namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

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
 .head,.blank,.day.outside,.day.empty,.month.empty{display:none}
 .day{display:grid;grid-template-columns:4.5rem 1fr;gap:0 .5rem;min-height:0;border-bottom:1px solid var(--line)}
 .day .bar{grid-column:2}.day ul{grid-column:2;font-size:.9rem}.dow{display:inline}
}
)";

std::string TimeText(WallTime wall)
{
    const qv::LocalTime at = qv::FromWallTime(wall);
    return fmt::format("{:02}:{:02}", at.Hour, at.Minute);
}

// 2026-12-24T10:00 (seconds where there are any).
std::string IsoText(WallTime wall)
{
    const qv::LocalTime at = qv::FromWallTime(wall);
    std::string text = fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}", at.Year, at.Month, at.Day, at.Hour, at.Minute);
    if (at.Second != 0) text += fmt::format(":{:02}", at.Second);
    return text;
}

std::string DateText(WallTime wall)
{
    const qv::LocalTime at = qv::FromWallTime(wall);
    return fmt::format("{} {:04}-{:02}-{:02}", util::ShortWeekdayName(at.Weekday), at.Year, at.Month, at.Day);
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
    std::vector<bool> shown(calendar.Windows.size(), false);
    for (const CalendarStretch& stretch : calendar.Stretches) shown[stretch.Window] = true;
    page += "<section class=\"legend\">\n<h2>Windows</h2>\n<ul>\n";
    for (std::size_t i = 0; i < calendar.Windows.size(); ++i) {
        const CalendarWindow& window = calendar.Windows[i];
        page += fmt::format("<li class=\"window w{}\" data-window=\"{}\" data-colour=\"{}\">"
                            "<svg class=\"swatch\" viewBox=\"0 0 1 1\" aria-hidden=\"true\"><rect class=\"piece\" "
                            "width=\"1\" height=\"1\"/></svg><div><b>{}</b> <span class=\"when\">{}</span>",
                            i, EscapeHtml(window.Name), WindowColour(i, false), EscapeHtml(window.Name),
                            EscapeHtml(window.When));
        if (!shown[i]) page += " <span class=\"quiet\">(not in force in these days)</span>";
        page += fmt::format("<p class=\"rates\">{}</p>", EscapeHtml(RatesText(window)));
        if (!window.EnabledMessage.empty()) {
            page += fmt::format("<p class=\"message\">\u201c{}\u201d</p>", EscapeHtml(window.EnabledMessage));
        }
        page += "</div></li>\n";
    }
    page += "</ul>\n<p class=\"zone\">" + EscapeHtml(calendar.ZoneText) + "</p>\n</section>\n";
}

// The part of a stretch that falls on the day from dayStart: "20:00\u201322:00", "from 18:00",
// "until 22:00" or "all day".
std::string PieceText(const CalendarStretch& stretch, WallTime dayStart)
{
    const WallTime dayEnd = dayStart + Days{1};
    const bool startsToday = stretch.Start.Wall >= dayStart;
    const bool endsToday = stretch.End.Wall <= dayEnd;
    const std::string end = stretch.End.Wall == dayEnd ? std::string("24:00") : TimeText(stretch.End.Wall);
    if (startsToday && endsToday) return TimeText(stretch.Start.Wall) + "\u2013" + end;
    if (startsToday) return "from " + TimeText(stretch.Start.Wall);
    if (endsToday && stretch.End.Wall < dayEnd) return "until " + end;
    return "all day";
}

// The bar's piece and the list's line of each stretch that falls on the day from dayStart.
void WriteStretches(const PublishedCalendar& calendar, WallTime dayStart, std::size_t next, std::string& bar,
                    std::string& list)
{
    const WallTime dayEnd = dayStart + Days{1};
    for (std::size_t i = next; i < calendar.Stretches.size(); ++i) {
        const CalendarStretch& stretch = calendar.Stretches[i];
        if (stretch.Start.Wall >= dayEnd) break;
        const std::string& name = calendar.Windows[stretch.Window].Name;
        const Seconds from = std::max(stretch.Start.Wall, dayStart) - dayStart;
        const Seconds to = std::min(stretch.End.Wall, dayEnd) - dayStart;
        const std::string piece = PieceText(stretch, dayStart);
        bar += fmt::format("<rect class=\"piece w{}\" x=\"{}\" width=\"{}\" height=\"12\"><title>{} {}</title></rect>",
                           stretch.Window, from / Minutes{1}, std::max<std::int64_t>((to - from) / Minutes{1}, 1),
                           EscapeHtml(name), piece);
        list += fmt::format("<li class=\"stretch w{}\" data-window=\"{}\" data-start=\"{}\" data-end=\"{}\">{} "
                            "<b>{}</b></li>",
                            stretch.Window, EscapeHtml(name), IsoText(stretch.Start.Wall), IsoText(stretch.End.Wall),
                            piece, EscapeHtml(name));
    }
}

void WriteDay(const PublishedCalendar& calendar, WallTime dayStart, bool inside, std::size_t& next, std::string& page)
{
    const qv::LocalTime date = qv::FromWallTime(dayStart);
    // The stretches are in time order; those that end by this day are behind us for good.
    while (next < calendar.Stretches.size() && calendar.Stretches[next].End.Wall <= dayStart) ++next;
    std::string bar, list;
    if (inside) WriteStretches(calendar, dayStart, next, bar, list);
    page += fmt::format("<div class=\"day{}\" data-date=\"{:04}-{:02}-{:02}\"><div class=\"date\"><span "
                        "class=\"dow\">{} </span>{}</div>",
                        !inside        ? " outside"
                        : list.empty() ? " empty"
                                       : "",
                        date.Year, date.Month, date.Day, util::ShortWeekdayName(date.Weekday), date.Day);
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
    const std::int64_t firstDay = std::chrono::floor<Days>(calendar.From.Wall.time_since_epoch()).count();
    // The last day holding a moment of the calendar's days.
    const std::int64_t lastDay = std::chrono::floor<Days>((calendar.To.Wall - Seconds{1}).time_since_epoch()).count();
    std::size_t next = 0;
    for (util::CivilDate month = util::CivilFromDays(firstDay);;) {
        const std::int64_t monthStart = util::DaysFromCivil(month.Year, month.Month, 1);
        if (monthStart > lastDay) break;
        std::string days;
        // Weeks start on Monday.
        for (int weekday = 1; weekday <= 7; ++weekday) {
            days += fmt::format("<div class=\"head\">{}</div>", util::ShortWeekdayName(weekday));
        }
        days += "\n";
        for (int blank = (util::WeekdayFromDays(monthStart) + 6) % 7; blank > 0; --blank) {
            days += "<div class=\"blank\"></div>";
        }
        const int length = util::DaysInMonth(month.Year, month.Month);
        for (std::int64_t day = monthStart; day < monthStart + length; ++day) {
            WriteDay(calendar, WallTime{Days{day}}, day >= firstDay && day <= lastDay, next, days);
        }
        // Up to the Sunday that ends the last week.
        for (int blank = (7 - (util::WeekdayFromDays(monthStart + length) + 6) % 7) % 7; blank > 0; --blank) {
            days += "<div class=\"blank\"></div>";
        }
        // A month in which no window is in force on the days shown is left out of a phone's list.
        const bool empty = days.find("<li class=\"stretch") == std::string::npos;
        page += fmt::format("<section class=\"month{}\">\n<h2>{} {}</h2>\n<div class=\"grid\">\n{}</div>\n</section>\n",
                            empty ? " empty" : "", kMonths[month.Month - 1], month.Year, days);
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
    const std::string title = EscapeHtml(calendar.Title);
    std::string page;
    page.reserve(4096 + calendar.Stretches.size() * 400);
    page += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "<meta name=\"color-scheme\" content=\"light dark\">\n";
    page += fmt::format("<title>{}: boosted rates</title>\n<style>{}{}</style>\n</head>\n<body>\n", title, kStyle,
                        ColourClasses(calendar.Windows.size()));
    page +=
        fmt::format("<header>\n<h1>{}: boosted rates</h1>\n<p class=\"range\">{} to {}, {} stretch{}</p>\n{}"
                    "</header>\n",
                    title, DateText(calendar.From.Wall), DateText(calendar.To.Wall - Seconds{1}),
                    calendar.Stretches.size(), calendar.Stretches.size() == 1 ? "" : "es",
                    calendar.TimingNote.empty() ? std::string()
                                                : "<p class=\"note\">" + EscapeHtml(calendar.TimingNote) + "</p>\n");
    WriteLegend(calendar, page);
    WriteMonths(calendar, page);
    page += "</body>\n</html>\n";
    return page;
}

} // namespace qvtool

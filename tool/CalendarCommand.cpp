// The config is read as check reads it: a file with errors gets the same messages, and no calendar.
#include "tool/CalendarCommand.h"

#include <filesystem>

#include <fmt/format.h>

#include "tool/CalendarPage.h"
#include "tool/CalendarStretches.h"
#include "tool/CheckCommand.h"
#include "tool/ICalendarFeed.h"
#include "util/AtomicFile.h"

namespace qvtool {

int RunCalendar(const CalendarOptions& options, Output& output)
{
    const CheckReport report = CheckBeforeUse(options.Config, output.Err, output.ErrStyle, options.Quiet);
    if (report.HasErrors()) return kConfigErrors;
    const qv::Config& config = *report.Config;
    if (const std::string note = ZoneNote(config); !note.empty() && !options.Quiet) {
        output.Err << output.ErrStyle.Paint("note: ", Tone::Dim) << note << '\n';
    }
    std::string title = config.ServerName.ToUtf8();
    if (title.empty()) title = std::filesystem::u8path(options.Config).stem().u8string();

    const PublishedCalendar calendar =
        MakePublishedCalendar(config, {title, options.From, options.Days, CurrentTime()});
    const std::string text = options.Format == CalendarFormat::Feed ? WriteFeed(calendar) : WritePage(calendar);
    if (options.OutputFile.empty()) {
        output.Out << text;
        return kSuccess;
    }
    if (const std::optional<std::string> problem = util::WriteFileAtomically(options.OutputFile, text)) {
        output.Err << output.ErrStyle.Paint("error: ", Tone::Error)
                   << fmt::format("cannot write the calendar to {}: {}\n", options.OutputFile, *problem);
        return kConfigErrors;
    }
    return kSuccess;
}

} // namespace qvtool

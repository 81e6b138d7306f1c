// The config is read as check reads it: a file with errors gets the same messages, and no calendar.
#include "tool/CalendarCommand.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include <fmt/format.h>

#include "tool/CalendarPage.h"
#include "tool/CalendarStretches.h"
#include "tool/CheckCommand.h"
#include "tool/ICalendarFeed.h"

namespace qvtool {

namespace {

std::string SystemReason(int error) { return error != 0 ? std::strerror(error) : "the stream failed"; }

} // namespace

std::optional<std::string> ReplaceFile(const std::string& file, std::string_view text)
{
    namespace fs = std::filesystem;
    const fs::path target = fs::u8path(file);
    fs::path temporary = target;
    temporary += fmt::format(".{:08x}.tmp", std::random_device{}());
    {
        errno = 0;
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return SystemReason(errno);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        if (!out) {
            const int error = errno;
            out.close();
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return SystemReason(error);
        }
    }
    std::error_code error;
    fs::rename(temporary, target, error);
    // Windows' rename does not replace a file that is there.
    if (error && fs::is_regular_file(target)) {
        std::error_code ignored;
        if (fs::remove(target, ignored)) fs::rename(temporary, target, error = {});
    }
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return error.message();
    }
    return std::nullopt;
}

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
    if (const std::optional<std::string> problem = ReplaceFile(options.OutputFile, text)) {
        output.Err << output.ErrStyle.Paint("error: ", Tone::Error)
                   << fmt::format("cannot write the calendar to {}: {}\n", options.OutputFile, *problem);
        return kConfigErrors;
    }
    return kSuccess;
}

} // namespace qvtool

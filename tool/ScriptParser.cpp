// Words are split on blanks; the text of "say" and "console" is the rest of the line as typed.
#include "tool/ScriptParser.h"

#include <algorithm>
#include <cctype>

#include <fmt/format.h>

#include "util/Ascii.h"

namespace qvtool {

namespace {

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// The first word, and the rest with its leading blanks removed.
std::pair<std::string_view, std::string_view> SplitWord(std::string_view text)
{
    text = Trim(text);
    std::size_t end = 0;
    while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
    return {text.substr(0, end), Trim(text.substr(end))};
}

struct Word {
    const char* Name;
    ActionKind Kind;
    bool ConsoleOnly;
    const char* Syntax;
    const char* Description;
};

const Word kWords[] = {
    {"join", ActionKind::Join, false, "join NAME [admin]", "a player connects (an administrator with \"admin\")"},
    {"leave", ActionKind::Leave, false, "leave NAME", "the player disconnects"},
    {"say", ActionKind::Say, false, "say NAME TEXT", "a chat line, such as: say alice /ToggleQuorvandelle"},
    {"console", ActionKind::Console, false, "console [NAME] TEXT", "a console command, by a player or at the server"},
    {"config", ActionKind::Config, false, "config FILE",
     "replace config.json on disk (reload to read it); FILE relative to the script"},
    {"unload", ActionKind::Unload, false, "unload", "unload the plug-in library"},
    {"load", ActionKind::Load, false, "load", "load the plug-in library again"},
    {"nogamemode", ActionKind::NoGameMode, false, "nogamemode ON|OFF",
     "ON: the host has no game mode (the world is down); OFF: it is back"},
    {"rcon", ActionKind::Rcon, false, "rcon TEXT",
     "a command line over RCON, as an administrator's RCON tool sends it; the answer is shown"},
    {"advance", ActionKind::Advance, true, "advance DURATION", "let time pass: 90s, 10m, 1h30m, 2d, 1w"},
    {"rates", ActionKind::Rates, true, "rates", "the sixteen multipliers and the message of the day"},
    {"players", ActionKind::Players, true, "players", "who is connected"},
    {"inbox", ActionKind::Inbox, true, "inbox NAME", "everything the player received"},
    {"help", ActionKind::Help, true, "help", "this list"},
    {"quit", ActionKind::Quit, true, "quit", "stop the server"},
};

ParseFailure Usage(const Word& word) { return {fmt::format("usage: {}", word.Syntax)}; }

std::optional<ParseFailure> ReadAdvance(std::string_view rest, Action& action)
{
    const auto duration = ParseDuration(rest);
    if (!duration) return ParseFailure{fmt::format("\"{}\" is not a duration (such as 90s, 10m, 1h30m, 2d, 1w)", rest)};
    if (*duration > Days{kMostDays}) {
        return ParseFailure{fmt::format("\"{}\" is more than {} days; advance at most that at once, as simulate "
                                        "--days does",
                                        rest, kMostDays)};
    }
    action.Duration = *duration;
    return std::nullopt;
}

// What follows the word, into action; what is wrong with it, if anything.
std::optional<ParseFailure> ReadArguments(const Word& word, std::string_view rest, Action& action)
{
    const auto [first, remainder] = SplitWord(rest);
    switch (word.Kind) {
    case ActionKind::Join:
        if (first.empty() || (!remainder.empty() && util::AsciiLower(remainder) != "admin")) return Usage(word);
        action.Name = std::string(first);
        action.Flag = !remainder.empty();
        return std::nullopt;
    case ActionKind::Leave:
    case ActionKind::Inbox:
        if (first.empty() || !remainder.empty()) return Usage(word);
        action.Name = std::string(first);
        return std::nullopt;
    case ActionKind::Say:
        if (first.empty() || remainder.empty()) return Usage(word);
        action.Name = std::string(first);
        action.Text = std::string(remainder);
        return std::nullopt;
    case ActionKind::Console:
    case ActionKind::Rcon:
    case ActionKind::Config:
        if (rest.empty()) return Usage(word);
        (word.Kind == ActionKind::Config ? action.Name : action.Text) = std::string(rest);
        return std::nullopt;
    case ActionKind::NoGameMode: {
        const std::string value = util::AsciiLower(rest);
        if (value != "on" && value != "off") return Usage(word);
        action.Flag = value == "on";
        return std::nullopt;
    }
    case ActionKind::Advance:
        return ReadAdvance(rest, action);
    case ActionKind::Unload:
    case ActionKind::Load:
    case ActionKind::Rates:
    case ActionKind::Players:
    case ActionKind::Help:
    case ActionKind::Quit:
        break;
    }
    if (!rest.empty()) return Usage(word);
    return std::nullopt;
}

// A script line's time: "+DURATION" after start, or a local date and time on clock.
std::optional<Instant> TimeOf(std::string_view time, const qv::LocalClock& clock, Instant start)
{
    if (time.front() != '+') {
        const std::optional<LocalDateTime> local = ReadLocalDateTime(clock, time);
        return local ? std::optional(local->Time) : std::nullopt;
    }
    if (time == "+0") return start;
    const std::optional<Seconds> offset = ParseDuration(time.substr(1));
    return offset ? std::optional(start + *offset) : std::nullopt;
}

} // namespace

std::variant<Action, ParseFailure> ParseAction(std::string_view line, bool consoleActions)
{
    const auto [verb, rest] = SplitWord(line);
    const std::string lowered = util::AsciiLower(verb);
    const Word* word = nullptr;
    for (const Word& candidate : kWords) {
        if (lowered == candidate.Name && (consoleActions || !candidate.ConsoleOnly)) word = &candidate;
    }
    if (word == nullptr) {
        std::string names;
        for (const Word& candidate : kWords) {
            if (consoleActions || !candidate.ConsoleOnly)
                names += (names.empty() ? "" : ", ") + std::string(candidate.Name);
        }
        return ParseFailure{fmt::format("unknown action \"{}\" (one of: {})", verb, names)};
    }
    Action action;
    action.Kind = word->Kind;
    if (std::optional<ParseFailure> failure = ReadArguments(*word, rest, action)) return std::move(*failure);
    return action;
}

std::string_view WithoutByteOrderMark(std::string_view text)
{
    constexpr std::string_view mark = "\xEF\xBB\xBF";
    return text.substr(0, mark.size()) == mark ? text.substr(mark.size()) : text;
}

std::variant<std::vector<TimedAction>, ParseFailure> ParseScript(std::string_view text, const qv::LocalClock& clock,
                                                                 Instant start, Instant end)
{
    std::vector<TimedAction> actions;
    int lineNumber = 0;
    text = WithoutByteOrderMark(text);
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        std::string_view line = Trim(text.substr(0, newline));
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        ++lineNumber;
        if (line.empty() || line.front() == '#') continue;

        const auto fail = [&](const std::string& message) {
            return ParseFailure{fmt::format("line {}: {}", lineNumber, message)};
        };
        const auto [time, rest] = SplitWord(line);
        const std::optional<Instant> when = TimeOf(time, clock, start);
        if (!when) {
            return fail(fmt::format("\"{}\" is not a time (\"+DURATION\" after the start, such as +2d or +1h30m, or a "
                                    "local YYYY-MM-DDTHH:MM)",
                                    time));
        }
        if (*when < start) {
            return fail(fmt::format("{} is before the simulation starts ({})", FormatIso(clock, *when),
                                    FormatIso(clock, start)));
        }
        if (*when > end) {
            return fail(fmt::format("{} is after the simulation ends ({}); use --days", FormatIso(clock, *when),
                                    FormatIso(clock, end)));
        }
        if (rest.empty()) return fail("a time without an action");

        auto parsed = ParseAction(rest, false);
        if (auto* failure = std::get_if<ParseFailure>(&parsed)) return fail(failure->Message);
        actions.push_back({*when, std::get<Action>(std::move(parsed)), lineNumber});
    }
    std::stable_sort(actions.begin(), actions.end(),
                     [](const TimedAction& a, const TimedAction& b) { return a.When < b.When; });
    return actions;
}

std::string ActionSummary(bool consoleActions)
{
    std::string summary;
    for (const Word& word : kWords) {
        if (consoleActions || !word.ConsoleOnly) summary += fmt::format("  {:<25}{}\n", word.Syntax, word.Description);
    }
    return summary;
}

} // namespace qvtool

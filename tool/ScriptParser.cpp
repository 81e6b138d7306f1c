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
    const char* name;
    ActionKind kind;
    bool consoleOnly;
    const char* syntax;
    const char* description;
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

ParseFailure Usage(const Word& word) { return {fmt::format("usage: {}", word.syntax)}; }

} // namespace

std::variant<Action, ParseFailure> ParseAction(std::string_view line, bool consoleActions)
{
    const auto [verb, rest] = SplitWord(line);
    const std::string lowered = util::AsciiLower(verb);
    const Word* word = nullptr;
    for (const Word& candidate : kWords) {
        if (lowered == candidate.name && (consoleActions || !candidate.consoleOnly)) word = &candidate;
    }
    if (word == nullptr) {
        std::string names;
        for (const Word& candidate : kWords) {
            if (consoleActions || !candidate.consoleOnly)
                names += (names.empty() ? "" : ", ") + std::string(candidate.name);
        }
        return ParseFailure{fmt::format("unknown action \"{}\" (one of: {})", verb, names)};
    }
    Action action;
    action.kind = word->kind;
    const auto [first, remainder] = SplitWord(rest);
    switch (word->kind) {
    case ActionKind::Join:
        if (first.empty()) return Usage(*word);
        action.name = std::string(first);
        if (remainder.empty()) break;
        if (util::AsciiLower(remainder) != "admin") return Usage(*word);
        action.flag = true;
        break;
    case ActionKind::Leave:
    case ActionKind::Inbox:
        if (first.empty() || !remainder.empty()) return Usage(*word);
        action.name = std::string(first);
        break;
    case ActionKind::Say:
        if (first.empty() || remainder.empty()) return Usage(*word);
        action.name = std::string(first);
        action.text = std::string(remainder);
        break;
    case ActionKind::Console:
    case ActionKind::Rcon:
        if (rest.empty()) return Usage(*word);
        action.text = std::string(rest);
        break;
    case ActionKind::Config:
        if (rest.empty()) return Usage(*word);
        action.name = std::string(rest);
        break;
    case ActionKind::NoGameMode: {
        const std::string value = util::AsciiLower(rest);
        if (value != "on" && value != "off") return Usage(*word);
        action.flag = value == "on";
        break;
    }
    case ActionKind::Advance: {
        const auto duration = ParseDuration(rest);
        if (!duration)
            return ParseFailure{fmt::format("\"{}\" is not a duration (such as 90s, 10m, 1h30m, 2d, 1w)", rest)};
        if (*duration > Seconds{kMostDays} * 86400) {
            return ParseFailure{fmt::format("\"{}\" is more than {} days; advance at most that at once, as simulate "
                                            "--days does",
                                            rest, kMostDays)};
        }
        action.duration = *duration;
        break;
    }
    case ActionKind::Unload:
    case ActionKind::Load:
    case ActionKind::Rates:
    case ActionKind::Players:
    case ActionKind::Help:
    case ActionKind::Quit:
        if (!rest.empty()) return Usage(*word);
        break;
    }
    return action;
}

std::string_view WithoutByteOrderMark(std::string_view text)
{
    constexpr std::string_view mark = "\xEF\xBB\xBF";
    return text.substr(0, mark.size()) == mark ? text.substr(mark.size()) : text;
}

std::variant<std::vector<TimedAction>, ParseFailure> ParseScript(std::string_view text, Seconds start, Seconds end)
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
        std::optional<Seconds> when;
        if (time.front() == '+') {
            if (const auto offset = ParseDuration(time.substr(1))) when = start + *offset;
            if (time == "+0") when = start;
        } else {
            when = ParseLocalDateTime(time);
        }
        if (!when) {
            return fail(fmt::format("\"{}\" is not a time (\"+DURATION\" after the start, such as +2d or +1h30m, or a "
                                    "local YYYY-MM-DDTHH:MM)",
                                    time));
        }
        if (*when < start)
            return fail(fmt::format("{} is before the simulation starts ({})", FormatIso(*when), FormatIso(start)));
        if (*when > end)
            return fail(
                fmt::format("{} is after the simulation ends ({}); use --days", FormatIso(*when), FormatIso(end)));
        if (rest.empty()) return fail("a time without an action");

        auto parsed = ParseAction(rest, false);
        if (auto* failure = std::get_if<ParseFailure>(&parsed)) return fail(failure->message);
        actions.push_back({*when, std::get<Action>(std::move(parsed)), lineNumber});
    }
    std::stable_sort(actions.begin(), actions.end(),
                     [](const TimedAction& a, const TimedAction& b) { return a.when < b.when; });
    return actions;
}

std::string ActionSummary(bool consoleActions)
{
    std::string summary;
    for (const Word& word : kWords) {
        if (consoleActions || !word.consoleOnly) summary += fmt::format("  {:<25}{}\n", word.syntax, word.description);
    }
    return summary;
}

} // namespace qvtool

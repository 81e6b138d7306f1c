// The welcome's length is worked out from the pattern before anything is formatted: a field's width
// of a billion would otherwise build a billion characters at every load.
#include "plugin/config/JoinMessages.h"

#include <limits>
#include <optional>
#include <string>

#include "plugin/config/Windows.h"
#include "plugin/messaging/Patterns.h"
#include "util/Utf.h"

namespace qv {

namespace {

// Rates can last for years (a dated window); {time_left} says at most this many minutes.
constexpr std::int32_t kMostMinutesLeft = std::numeric_limits<std::int32_t>::max();

// What is wrong with pattern as the welcome of the window called name; nothing when it is fine.
std::optional<std::string> WelcomeProblem(const std::wstring& pattern, std::string_view name)
{
    const std::wstring wideName = util::Utf8ToWide(name);
    const std::size_t longest = LongestReminder(pattern, wideName.size(), kMostMinutesLeft);
    if (longest == std::numeric_limits<std::size_t>::max()) {
        return std::string("a field takes its width or precision from a value; write the width as a number");
    }
    if (longest > kLongestWelcome) {
        return "with the window's name \"" + Excerpt(name) + "\" a welcome can have up to " + std::to_string(longest) +
               " characters; at most " + std::to_string(kLongestWelcome) + " are allowed";
    }
    // The shortest {time_left} there is gives the shortest welcome.
    const std::optional<std::wstring> shortest = FormatWelcome(pattern, wideName, TimeLeft(1));
    if (!shortest) {
        return std::string(
            "is not a valid message (its fields are {name} and {time_left}; write {{ and }} for one brace)");
    }
    if (shortest->empty()) return std::string("gives an empty welcome; leave JoinMessage out for none");
    return std::nullopt;
}

} // namespace

const FString& JoinMessageOf(const Config& config, const Window& window)
{
    return window.JoinMessage ? *window.JoinMessage : config.JoinMessage;
}

bool HasWelcomes(const Config& config)
{
    if (!JoinMessageOf(config, config.Weekly).IsEmpty()) return true;
    for (const Window& schedule : config.Schedules) {
        if (!JoinMessageOf(config, schedule).IsEmpty()) return true;
    }
    return false;
}

ConfigProblems JoinMessageProblems(const Config& config)
{
    ConfigProblems problems;
    // The main section's text is told once, for the first window it does not suit.
    bool mainTold = false;
    const auto check = [&](const Window& window, std::optional<std::size_t> index) {
        const bool own = window.JoinMessage.has_value();
        const FString& text = JoinMessageOf(config, window);
        if (text.IsEmpty() || (!own && mainTold)) return;
        const std::optional<std::string> problem = WelcomeProblem(text.ToWide(), window.Id.DisplayName());
        if (!problem) return;
        const std::string path = own ? SectionMember("Schedules") + "[" + std::to_string(*index) + "].JoinMessage"
                                     : SectionMember("JoinMessage");
        problems.push_back({ProblemKind::Member, path, *problem, {}});
        mainTold = mainTold || !own;
    };
    check(config.Weekly, std::nullopt);
    for (std::size_t i = 0; i < config.Schedules.size(); ++i) check(config.Schedules[i], i);
    return problems;
}

} // namespace qv

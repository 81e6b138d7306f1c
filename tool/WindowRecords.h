// The plug-in's log records that say which window's rates came into force, that the normal rates
// are back, or that a reminder went out, read back into what they say. The plug-in writes these
// records for administrators; every pattern the tool reads them by lives here and nowhere else.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace qvtool {

// The records' name for the main section's values, as the plug-in's DisplayName gives it; the
// weekly window's records name no window at all.
inline constexpr std::string_view kWeeklyWindowName = "Weekend";

namespace records {

// A switch on, a move between windows, a takeover of a manual weekend, or the toggle's switch on.
struct WindowInForce {
    std::string window; // "Weekend" for the main section's values, as the plug-in names it to players
};
// The normal values are back: by the schedule, by the toggle, or at unload.
struct NormalBack {};
struct ReminderSent {
    std::string window;
    std::int32_t minutes = 0;
};

} // namespace records

using WindowRecord = std::variant<records::WindowInForce, records::NormalBack, records::ReminderSent>;

// Nothing for any other record.
std::optional<WindowRecord> ReadWindowRecord(std::string_view text);

} // namespace qvtool

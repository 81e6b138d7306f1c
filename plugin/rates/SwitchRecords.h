// The log records that say which window's values came into force, that the normal values are back,
// or that a reminder went out. The plug-in writes them for administrators, and the tool reads them
// back to learn what happened; both go through this one table of their sentences.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "plugin/config/Window.h"

namespace qv {

enum class SwitchEvent {
    OnBySchedule,     // a window's values in force from the normal ones
    MovedBySchedule,  // from one window's values to another's
    TakenOver,        // a window opened during a manual weekend: the schedule owns it now
    IntoNewGameMode,  // a rebuilt world's game mode got the values in force again
    OnByHand,         // the toggle: the main section's values
    BackBySchedule,   // the normal values back
    BackByHand,       //
    RestoredOnUnload, //
    ReminderSent,     // Minutes before Window comes into force
};

struct SwitchRecord {
    SwitchEvent Event = SwitchEvent::OnBySchedule;
    // The window whose values came into force, or that a reminder announced; the weekly window for
    // the records that name none.
    WindowId Window = WindowId::Weekly();
    std::int32_t Minutes = 0;
};

// The record's sentence: the weekly window's as the log has always said it ("Weekend rates switched
// on by the schedule"), or naming it when the main section gives it a name of its own ("Rates of
// the weekly window \"Double XP\" switched on by the schedule"), a schedule's naming the window
// ("Rates of window \"Evening\" switched on by the schedule"), "Reminder sent: Evening in 10 minutes".
std::string RecordText(const SwitchRecord& record);
// The record a sentence says, or nothing for any other text: ReadRecord(RecordText(r)) is r, the
// weekly window's name included. A reminder names a window by what players see, so one that names
// "Weekend" is read as the weekly window's.
std::optional<SwitchRecord> ReadRecord(std::string_view text);

// Whether the record says that a window's values came into force, and which.
bool PutsWindowInForce(const SwitchRecord& record);
bool PutsNormalValuesBack(const SwitchRecord& record);

} // namespace qv

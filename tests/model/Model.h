// The reference model: what a server running the plug-in must show after every action, kept
// with plain values and none of the plug-in's code. The harness applies each action to the model
// and to the real plug-in library, and compares everything the model predicts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "standin/game/GameTypes.h"

namespace model {

constexpr std::size_t kRows = 16;
using Values = std::array<float, kRows>;

// The sixteen game-mode fields, as the game lists them; the config keys share the names.
const std::string& FieldName(std::size_t row);
// The two rows read as whole numbers, and optional.
bool WholeNumberRow(std::size_t row);

// Linear RGBA, as the game receives it.
using Color = standin::ReceivedColor;

// Seconds on the local wall clock since 1970-01-01 00:00, the scale every time in the file is on.
using Wall = std::int64_t;
constexpr Wall kDay = 24 * 60 * 60;
constexpr Wall kWeek = 7 * kDay;
Wall WallOf(int year, int month, int day, int hour, int minute, int second);
// 0 = Sunday.
int WeekdayOf(Wall wall);

// An entry of "Schedules": open on its weekdays from `from` for the run up to `until` (past
// midnight when `until` is not after `from`), or, dated, from `start` up to `end`.
struct Window {
    std::string name;
    bool weekly = true;
    std::uint8_t days = 0; // bit d for weekday d
    int from = 0;          // minutes after midnight
    int until = 0;
    Wall start = 0;
    Wall end = 0;
    std::array<std::optional<float>, kRows> rates; // its own; the others are the main section's
    std::optional<std::string> enabledMessage;
    std::optional<std::string> disabledMessage;
    std::optional<std::string> weekendMotd;
    std::optional<Color> enabledColor;
    std::optional<Color> disabledColor;
    std::optional<std::string> joinMessage; // its own welcome; "" for none
};

// The settings, as a load puts them in force (initial values before any load).
struct Settings {
    std::string serverName;
    bool notification = true;
    bool chatbox = false;
    Color enabledColor{0.0f, 1.0f, 0.0f, 1.0f};
    std::string enabledMessage;
    Color disabledColor{1.0f, 0.0f, 0.0f, 1.0f};
    std::string disabledMessage;
    bool motdEnabled = false;
    std::string weekendMotd;
    std::string normalMotd;
    std::int32_t startDay = 0;
    std::int32_t endDay = 0;
    // The optional members; without them the file behaves as one with none of them.
    int startTime = 0; // minutes after midnight
    int endTime = 0;
    std::vector<Window> windows;
    std::vector<int> reminders;                 // minutes before an opening
    std::optional<std::string> reminderMessage; // absent or empty: the default text
    std::string statusCommand;                  // empty: none
    std::optional<Wall> zoneOffset;             // a TimeZone of one offset; none: the host's local time
    std::string zoneName;                       // its name, which times in replies carry
    bool exactSwitching = false;
    std::optional<std::string> joinMessage; // the welcome of windows without their own; absent or empty: none
    Wall joinDelay = 30;                    // seconds

    // The texts the plug-in keeps in the game's strings while these settings are in force.
    std::size_t Texts() const;
};

// A config file on disk and what loading it means.
struct ConfigFile {
    std::string label; // the kind of file, for printed sequences
    std::string text;  // the bytes written
    bool loads = false;
    // What a failed load or a failed switch-on must name in its log record.
    std::string problem;
    Settings settings;             // when it loads
    std::optional<Values> weekend; // when it loads: empty when a weekend value cannot be read
    // When it loads: it has a probable mistake (a value that leaves a rate alone or is negative, a
    // colour beyond 0 to 1, an odd weekday, a text shown otherwise than written, an unknown member),
    // so a reload's reply is followed by a message that names them. Nothing: the model cannot tell
    // (windows bring mistakes of their own, overlaps among them), and either is right.
    std::optional<bool> warns = false;
    // The main section's rows as the schedules inherit them: every row but unreadableRow.
    Values rows{};
    std::optional<std::size_t> unreadableRow;
};

enum class MessageKind { Reply, Notification, ChatLine };

struct Message {
    MessageKind kind = MessageKind::Reply;
    std::string text;
    // A failed reload's reply: "Config reload failed: ", naming the file, holding text.
    bool failedReply = false;
    // After "Config Reloaded!": "N warning(s) about <file>: ...", in amber.
    bool warningReply = false;
    // A message that may be missing; where the inbox holds another, the model had none.
    bool maybe = false;
    // A reply that must begin with text (the toggle's answer, whose time the model leaves out).
    bool prefix = false;
    Color color;
    std::string sender; // chat lines
};

// What one step of an action must show, beyond the fields and the message of the day.
struct Outcome {
    bool refused = false;                      // not even a log record
    int failures = 0;                          // each must leave an error record
    bool warning = false;                      // at least one warning record
    std::vector<std::string> mentions;         // each must appear in a warning or error record
    std::vector<std::vector<Message>> inboxes; // by player index
};

// How often each transition of interest happened.
struct Tally {
    std::uint64_t uncountedCalls = 0; // timer calls while the plug-in ran without a game mode
    std::uint64_t evaluations = 0;
    std::uint64_t switchesOn = 0;
    std::uint64_t switchesOff = 0;
    std::uint64_t failedSwitchesOn = 0;
    std::uint64_t adoptions = 0;
    std::uint64_t refusedCommands = 0;
    std::uint64_t reloadsDone = 0;
    std::uint64_t reloadsFailed = 0;
    std::uint64_t unloadsDuringWeekend = 0;
    std::uint64_t externalWritesDuringWeekend = 0;
    std::uint64_t rebuiltWeekends = 0;      // weekends put into a game mode that replaced their own
    std::uint64_t endedWithoutGameMode = 0; // manual weekends ended while the world was down
    // Only where windows with times or schedules were configured:
    std::uint64_t windowSwitches = 0; // switches on or moves into a schedule's window
    std::uint64_t moves = 0;          // from one window straight into another
    std::uint64_t loudTakeovers = 0;  // a manual weekend taken over by a window of its own look
    std::uint64_t reminders = 0;
    std::uint64_t heldEvaluations = 0; // the clock went back and the decision kept the later time
    std::uint64_t statusReplies = 0;
    std::uint64_t welcomes = 0; // players welcomed

    Tally& operator+=(const Tally& other);
};

struct Player {
    bool admin = false;
    bool hasCharacter = true;
    bool hasPlayerState = true;
    bool connected = true;
};

class Model {
public:
    // ---- the world ----
    // A player who joins while the plug-in watches joins (some window has a welcome) and boosted
    // values are in force waits for a welcome.
    void Join(const Player& player);
    void Leave(std::size_t player) { players_[player].connected = false; }
    void SetAdmin(std::size_t player, bool admin) { players_[player].admin = admin; }
    const std::vector<Player>& Players() const { return players_; }

    // A game mode that comes back is a new one, as a rebuilt world's, with the server's settings.
    void SetGameMode(bool present);
    bool GameMode() const { return gameMode_; }
    // Something other than the plug-in writing a field.
    void SetField(std::size_t row, float value);
    void SetMotdExternally(const std::string& text) { motd_ = text; }
    void WriteFile(const ConfigFile& file) { file_ = file; }
    void RemoveFile() { file_.reset(); }
    void SetDefaults(const Values& defaults) { normal_ = configured_ = defaults; }

    Values ExpectedFields() const;
    const std::string& Motd() const { return motd_; }
    const Tally& Counts() const { return tally_; }
    int MotdChanges() const { return motdChanges_; }

    // ---- the plug-in ----
    bool Loaded() const { return loaded_; }
    void Load(Outcome& out);
    void Unload(Outcome& out);
    // The clock the plug-in reads from now on: the instant (seconds since 1970 UTC), and how far the
    // host's local time is ahead of it.
    void SetClock(Wall instant, Wall hostOffset)
    {
        instant_ = instant;
        hostOffset_ = hostOffset;
    }
    // Timer calls before the next evaluation, that one included, one second apart.
    int CallsUntilEvaluation() const;
    // One timer call seen by the plug-in, at the clock's instant.
    void TimerCall(Outcome& out);
    void ChatReload(std::size_t player, Outcome& out);
    void ConsoleReload(std::optional<std::size_t> player, Outcome& out);
    void Toggle(std::size_t player, Outcome& out);
    // A chat line from a player; answered only when it names the configured status command.
    void Status(std::size_t player, const std::string& command, Outcome& out);
    // What the plug-in holds in the game's strings: its settings' texts.
    std::size_t Texts() const { return loaded_ ? settings_.Texts() : 0; }
    // The registrations a loaded plug-in keeps with the host.
    std::size_t Registrations() const { return loaded_ ? 4 + (settings_.statusCommand.empty() ? 0 : 1) : 0; }

    // The window in force at now: the first open entry of the schedules, else the weekly window
    // (kWeekly) when it is open, else none.
    static constexpr int kWeekly = -1;
    static std::optional<int> InForce(const Settings& settings, Wall now);
    // The rule of the weekly window with its times, days taken as configured (any 32-bit value).
    static bool WeeklyOpen(const Settings& settings, Wall now);
    static bool WindowOpen(const Window& window, Wall now);
    // A message text as a pattern without arguments: doubled braces made single; nothing when a
    // single brace or a replacement field makes it no valid pattern.
    static std::optional<std::string> FormatPattern(const std::string& text);
    static std::string ChatLine(const Color& color, const std::string& text);

private:
    // What a window writes and shows: its own values and texts, the main section's where it has none.
    struct Look {
        std::optional<Values> values; // empty: a value cannot be read
        std::string problem;          // then: the member a failed switch must name
        std::string name;             // "" for the main section's
        std::string displayName;
        std::string enabledMessage;
        std::string disabledMessage;
        std::string weekendMotd;
        Color enabledColor;
        Color disabledColor;
        std::string joinMessage;
    };
    Look LookOf(int window) const;
    // The window whose values are in force, found by name in the settings now in force.
    std::optional<int> WindowInForceByName() const;

    bool SwitchOn(int window, Outcome& out);
    // The window's values and look over whatever is in force; nothing when a value cannot be read.
    bool Move(int window, Outcome& out);
    // A window's values into a game mode that replaced the one holding them: no announcement.
    bool PutIntoNewGameMode(int window, Outcome& out);
    bool SwitchOff(Outcome& out);
    void Show(const Look& look, Outcome& out);
    void OpenWindow(int window, Outcome& out);
    void Evaluate(Outcome& out);
    // now: the time the decision holds; actual: the time the clock reads.
    void Remind(Wall now, Wall actual, Outcome& out);
    // The wall-clock time of the config's clock at the instant.
    Wall WallAt(Wall instant) const { return instant + settings_.zoneOffset.value_or(hostOffset_); }
    // With ExactSwitching, the instant after an evaluation that decided by the wall-clock time now
    // at which another comes: the next change of the window in force, the next moment a reminder
    // falls due, or an hour on (reminders are looked for that far past the longest lead).
    std::optional<Wall> NextDue(Wall now) const;
    std::optional<std::pair<Wall, std::optional<int>>> NextChange(Wall now) const;
    // Whether a window coming into force at opening was open the second before: it resumes.
    bool Resumes(int window, Wall opening) const;
    // How far back the clock may go and the decision still keep to the latest time seen.
    Wall Hold() const;
    // The wall-clock moments after now, up to limit, at which the window in force may change.
    std::vector<Wall> Moments(Wall now, Wall limit) const;
    // Each window's first coming into force after now and up to limit, in time order.
    std::vector<std::pair<int, Wall>> Comings(Wall now, Wall limit) const;
    // The time an evaluation at now decides by: the latest one seen, for up to an hour of a clock
    // gone back, when times of day play a part.
    Wall Held(Wall now) const;
    void Announce(const Color& color, const std::string& text, Outcome& out);
    // Whether some window has a welcome, so that the plug-in's hook on joins is set.
    bool Welcomes() const;
    // The welcomes due at the timer call's instant, after its evaluation.
    void Welcome(Outcome& out);
    void AnnounceReminder(const Look& look, Wall left, Outcome& out);
    void ReadFile(std::optional<std::size_t> replyTo, Outcome& out);
    void TakeFile(Outcome& out);

    Tally tally_;

    // world
    std::vector<Player> players_;
    bool gameMode_ = true;
    // The values in force while no weekend is: the game's own, or what something else wrote.
    Values normal_{};
    // The server's settings: what a game mode it builds starts with.
    Values configured_{};
    // While a weekend is in force: what the switch-on wrote (or left), unless something else
    // wrote the field since.
    Values weekendFields_{};
    // What the switch into the values in force wrote, 0 where it left the game's value.
    Values written_{};
    std::string motd_;
    int motdChanges_ = 0;
    std::optional<ConfigFile> file_;

    // plug-in
    bool loaded_ = false;
    Settings settings_;
    std::optional<Values> weekendValues_; // from the kept document; empty when unreadable
    std::string weekendProblem_;          // then: the key a failed switch-on must name
    Values rows_{};                       // the main section's rows, for the schedules
    std::optional<std::size_t> unreadableRow_;
    std::string windowName_; // the window whose values are in force; "" the main section's
    Wall lastDecision_ = 0;  // the latest time an evaluation with times of day decided by
    // Each opening reminded of, by window name and time, with the shortest lead announced for it.
    std::map<std::pair<std::string, Wall>, int> reminded_;
    bool weekendInForce_ = false;
    // The game mode that got the weekend values is gone; the one in force holds normal_.
    bool replaced_ = false;
    bool endedInGoneGameMode_ = false; // a weekend ended without a game mode, which kept its values
    bool scheduled_ = false;
    bool manual_ = false;
    bool firstCheckDone_ = false;
    int count_ = 0;
    Wall instant_ = 0;
    Wall hostOffset_ = 0;
    std::optional<Wall> nextDue_; // with ExactSwitching: the instant a timer call evaluates at
    // Players waiting for their welcome, by index, with the instant it is due, and the window whose
    // values were in force when they joined ("" the main section's).
    std::vector<std::pair<std::size_t, Wall>> waiting_;
    std::string waitingWindow_;
};

} // namespace model

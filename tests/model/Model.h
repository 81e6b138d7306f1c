// The reference model: what a server running the plug-in must show after every action, kept
// with plain values and none of the plug-in's code. The harness applies each action to the model
// and to the real plug-in library, and compares everything the model predicts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
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

// The twelve settings, as a load puts them in force (initial values before any load).
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
    // so a reload's reply is followed by a message that names them.
    bool warns = false;
};

enum class MessageKind { Reply, Notification, ChatLine };

struct Message {
    MessageKind kind = MessageKind::Reply;
    std::string text;
    // A failed reload's reply: "Config reload failed: ", naming the file, holding text.
    bool failedReply = false;
    // After "Config Reloaded!": "N warning(s) about <file>: ...", in amber.
    bool warningReply = false;
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
    void Join(const Player& player) { players_.push_back(player); }
    void Leave(std::size_t player) { players_[player].connected = false; }
    void SetAdmin(std::size_t player, bool admin) { players_[player].admin = admin; }
    const std::vector<Player>& Players() const { return players_; }

    void SetGameMode(bool present) { gameMode_ = present; }
    bool GameMode() const { return gameMode_; }
    // Something other than the plug-in writing a field.
    void SetField(std::size_t row, float value);
    void SetMotdExternally(const std::string& text) { motd_ = text; }
    void WriteFile(const ConfigFile& file) { file_ = file; }
    void RemoveFile() { file_.reset(); }
    void SetDefaults(const Values& defaults) { normal_ = defaults; }

    Values ExpectedFields() const;
    const std::string& Motd() const { return motd_; }
    const Tally& Counts() const { return tally_; }
    int MotdChanges() const { return motdChanges_; }

    // ---- the plug-in ----
    bool Loaded() const { return loaded_; }
    void Load(Outcome& out);
    void Unload(Outcome& out);
    // Timer calls the plug-in counts before the next evaluation, that one included.
    int CallsUntilEvaluation() const;
    // One timer call seen by the plug-in; weekday is the local weekday its clock reads.
    void TimerCall(int weekday, Outcome& out);
    void ChatReload(std::size_t player, Outcome& out);
    void ConsoleReload(std::optional<std::size_t> player, Outcome& out);
    void Toggle(std::size_t player, Outcome& out);

    // The rule of the weekly window, days taken as configured (any 32-bit value).
    static bool WindowOpen(std::int32_t startDay, std::int32_t endDay, int weekday);
    // A message text as a pattern without arguments: doubled braces made single; nothing when a
    // single brace or a replacement field makes it no valid pattern.
    static std::optional<std::string> FormatPattern(const std::string& text);
    static std::string ChatLine(const Color& color, const std::string& text);

private:
    bool SwitchOn(Outcome& out);
    bool SwitchOff(Outcome& out);
    void Announce(const Color& color, const std::string& text, Outcome& out);
    void ReadFile(std::optional<std::size_t> replyTo, Outcome& out);
    void TakeFile(Outcome& out);

    Tally tally_;

    // world
    std::vector<Player> players_;
    bool gameMode_ = true;
    // The values in force while no weekend is: the game's own, or what something else wrote.
    Values normal_{};
    // While a weekend is in force: what the switch-on wrote (or left), unless something else
    // wrote the field since.
    Values weekendFields_{};
    std::string motd_;
    int motdChanges_ = 0;
    std::optional<ConfigFile> file_;

    // plug-in
    bool loaded_ = false;
    Settings settings_;
    std::optional<Values> weekendValues_; // from the kept document; empty when unreadable
    std::string weekendProblem_;          // then: the key a failed switch-on must name
    bool weekendInForce_ = false;
    bool scheduled_ = false;
    bool manual_ = false;
    bool firstCheckDone_ = false;
    int count_ = 0;
};

} // namespace model

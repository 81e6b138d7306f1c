// The round trip of one config file: reload, switch on, something else writes a field, switch
// back. Whatever the bytes, the reload either takes all of the file or none of it, the switch-on
// writes the weekend values the file gives (or nothing), the switch-back brings every normal
// value back exactly, every failure is in the log, nothing escapes to the host, and the game's
// allocator ends where it started. Each input goes round twice: its bytes as the file, with the
// values the JSON library alone reads from them; and the file a writer makes of the same bytes
// (GeneratedConfig), with the writer's own record of what it wrote.
#include "fuzz/ConfigRoundTrip.h"

#include <unordered_set>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <vector>

#include <nlohmann/json.hpp>

#include "fuzz/GeneratedConfig.h"
#include "plugin/commands/Registrations.h"
#include "plugin/config/Config.h"
#include "plugin/lifecycle/Lifecycle.h"
#include "plugin/rates/PluginState.h"
#include "standin/server/Server.h"

namespace fuzzing {

namespace {

using namespace qv;
using json = nlohmann::json;

const char* const kServerMotd = "The server's own message of the day";
const char16_t* const kServerMotdUnits = u"The server's own message of the day";

// Normal values unlike any default and unlike each other, so a field left alone, restored or
// switched can be told apart.
float NormalValue(std::size_t row) { return 1.5f + 0.25f * static_cast<float>(row); }

std::filesystem::path NewBaseDirectory()
{
    std::error_code error;
    std::filesystem::path root = "/dev/shm";
    if (!std::filesystem::is_directory(root, error)) root = std::filesystem::temp_directory_path();
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = root / ("quorvandelle-fuzz-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate, error)) return candidate;
    }
    throw std::runtime_error("cannot create a folder in " + root.string());
}

void ResetPlugin() { State = PluginState{}; }

// A status command that the file named would stay registered with the host, under a name the
// initial settings no longer know; the registrations follow the settings back.
void ResetPluginAndRegistrations()
{
    UnregisterAll();
    ResetPlugin();
    RegisterAll();
}

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool SameColor(const MessageColor& a, const MessageColor& b)
{
    return SameBits(a.R, b.R) && SameBits(a.G, b.G) && SameBits(a.B, b.B) && SameBits(a.A, b.A);
}

bool IsInitial(const Config& settings)
{
    const Config initial;
    return settings.ServerName.IsEmpty() && settings.Notification == initial.Notification &&
           settings.Chatbox == initial.Chatbox && SameColor(settings.EnabledColor, initial.EnabledColor) &&
           settings.EnabledMessage.IsEmpty() && SameColor(settings.DisabledColor, initial.DisabledColor) &&
           settings.DisabledMessage.IsEmpty() && settings.MOTDChangeEnabled == initial.MOTDChangeEnabled &&
           settings.WeekendMOTD.IsEmpty() && settings.NormalMOTD.IsEmpty() && settings.StartDay == initial.StartDay &&
           settings.EndDay == initial.EndDay && settings.StartTime.Minutes == initial.StartTime.Minutes &&
           settings.EndTime.Minutes == initial.EndTime.Minutes && settings.Schedules.empty() &&
           settings.Reminders.empty() && settings.ReminderMessage.IsEmpty() && settings.StatusCommand.empty();
}

// What one row of the weekend values reads as, told from the document without the plug-in's code.
struct Expected {
    enum Kind { Value, Unreadable, Either } kind = Value;
    float value = 0.0f; // Value: 0 leaves the field alone
    float bound = 0.0f; // Either for a huge float: +-largest float or +-infinity
};

Expected Whole(std::int64_t whole)
{
    return {Expected::Value, static_cast<float>(static_cast<std::int32_t>(static_cast<std::uint32_t>(whole)))};
}

Expected ReadRow(const json* section, const std::string& key, bool wholeNumber)
{
    const json* member = nullptr;
    if (section != nullptr) {
        const auto found = section->find(key);
        if (found != section->end()) member = &*found;
    }
    if (member == nullptr) return wholeNumber ? Expected{} : Expected{Expected::Unreadable};
    if (member->is_boolean()) return {Expected::Value, member->get<bool>() ? 1.0f : 0.0f};
    if (!member->is_number()) return {Expected::Unreadable};
    if (wholeNumber) {
        if (member->is_number_unsigned()) return Whole(static_cast<std::int64_t>(member->get<std::uint64_t>()));
        if (member->is_number_integer()) return Whole(member->get<std::int64_t>());
        const double cut = std::trunc(member->get<double>());
        // The low 32 bits of a whole number beyond 64 bits are no number at all.
        if (std::fabs(cut) < 9.2e18) return Whole(static_cast<std::int64_t>(cut));
        if (std::fabs(cut) >= 9.3e18) return {Expected::Unreadable};
        return {Expected::Either};
    }
    if (member->is_number_unsigned()) return {Expected::Value, static_cast<float>(member->get<std::uint64_t>())};
    if (member->is_number_integer()) return {Expected::Value, static_cast<float>(member->get<std::int64_t>())};
    const double value = member->get<double>();
    if (std::fabs(value) <= static_cast<double>(FLT_MAX)) return {Expected::Value, static_cast<float>(value)};
    return {Expected::Either, 0.0f, std::copysign(FLT_MAX, static_cast<float>(value))};
}

// What a round trip holds the plug-in to beyond what any file must do; where a part is unknown, the
// reply or the config in force decides.
struct Expectation {
    std::optional<bool> loads;
    std::optional<std::vector<Expected>> rows; // after a load
    std::optional<GeneratedConfig> written;    // the flags and messages of the switch
};

bool IsWholeRow(const std::string& name)
{
    return name == "StructureResistanceMultiplier" || name == "StructureDamageMultiplier";
}

// The bytes as the JSON library reads them, with none of the plug-in's code: only a document that is
// one value from start to end, without a repeated member name anywhere, which every reader takes
// alike. The plug-in's own reading of the rest (the first of two names, text after the value) is
// held to the generated files' record instead.
Expectation ReadIndependently(std::string_view bytes)
{
    std::vector<std::unordered_set<std::string>> names;
    bool repeated = false;
    const json::parser_callback_t noteNames = [&](int, json::parse_event_t event, json& parsed) {
        if (event == json::parse_event_t::object_start) names.emplace_back();
        if (event == json::parse_event_t::object_end && !names.empty()) names.pop_back();
        if (event == json::parse_event_t::key && !names.empty() &&
            !names.back().insert(parsed.get<std::string>()).second) {
            repeated = true;
        }
        return true;
    };
    const json document = json::parse(bytes.begin(), bytes.end(), noteNames, false);
    if (document.is_discarded() || repeated) return {};
    const json* section = nullptr;
    if (document.is_object()) {
        const auto found = document.find("Quorvandelle");
        if (found != document.end() && found->is_object()) section = &*found;
    }
    std::vector<Expected> rows;
    for (const std::string& name : standin::Server::MultiplierNames())
        rows.push_back(ReadRow(section, name, IsWholeRow(name)));
    return {std::nullopt, rows, std::nullopt};
}

Expectation FromRecord(const GeneratedConfig& written)
{
    std::vector<Expected> rows;
    for (const WrittenValue& row : written.rows) {
        rows.push_back(row.readable ? Expected{Expected::Value, row.value} : Expected{Expected::Unreadable});
    }
    return {written.loads, rows, written};
}

bool Matches(const Expected& expected, float actual, float normal)
{
    switch (expected.kind) {
    case Expected::Value:
        return SameBits(actual, expected.value != 0.0f ? expected.value : normal);
    case Expected::Either:
        return expected.bound == 0.0f || SameBits(actual, expected.bound) ||
               SameBits(actual, std::copysign(INFINITY, expected.bound));
    case Expected::Unreadable:
        break;
    }
    return false;
}

std::size_t CountAtLeast(const std::vector<standin::LogRecord>& records, standin::LogLevel level)
{
    std::size_t count = 0;
    for (const auto& record : records) {
        if (record.logger == "Quorvandelle" && record.level >= level) ++count;
    }
    return count;
}

} // namespace

struct ConfigRoundTrip::State {
    std::filesystem::path base;
    std::unique_ptr<standin::Server> server;
    standin::PlayerId admin{};
    std::filesystem::path file;
};

using qv::Load;
using qv::Unload;

ConfigRoundTrip::ConfigRoundTrip() : state_(std::make_unique<State>())
{
    state_->base = NewBaseDirectory();
    standin::ServerOptions options;
    options.baseDirectory = state_->base;
    options.echoLogToConsole = false;
    state_->server = std::make_unique<standin::Server>(options);
    std::filesystem::create_directories(state_->server->PluginDirectory("Quorvandelle"));
    state_->file = state_->server->PluginDirectory("Quorvandelle") / "config.json";
    // What the library's entry point runs: the logger, the first read (no file yet) and the
    // four registrations, so commands arrive through the host as on a server.
    Load();
    standin::PlayerProfile profile;
    profile.name = "Admin";
    profile.admin = true;
    state_->admin = state_->server->JoinPlayer(profile);
}

ConfigRoundTrip::~ConfigRoundTrip()
{
    Unload();
    ResetPlugin();
    state_->server.reset();
    std::error_code ignored;
    std::filesystem::remove_all(state_->base, ignored);
}

namespace {

std::string RoundTrip(standin::Server& server, standin::PlayerId admin, const std::filesystem::path& file,
                      std::string_view bytes, const Expectation& expectation)
{
    const auto& names = standin::Server::MultiplierNames();
    std::ostringstream problems;

    ResetPlugin();
    server.RestoreGameMode();
    for (std::size_t row = 0; row < names.size(); ++row) server.SetMultiplier(names[row], NormalValue(row));
    server.SetMessageOfTheDay(kServerMotd);
    server.ClearInboxes();
    server.ClearLog();
    const std::size_t escapedBefore = server.EscapedExceptions().size();
    const standin::AllocatorAccounts before = server.Allocations();
    int motdChanges = server.MessageOfTheDayChanges();
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    const auto fieldsAreNormal = [&](const char* when) {
        for (std::size_t row = 0; row < names.size(); ++row) {
            const float value = server.Multiplier(names[row]);
            if (!SameBits(value, NormalValue(row))) {
                problems << when << ": " << names[row] << " is " << value << ", normal " << NormalValue(row) << "\n";
            }
        }
    };
    const auto motdIs = [&](std::u16string_view expected, const char* when) {
        if (server.MessageOfTheDayUnits() != expected) problems << when << ": the message of the day is wrong\n";
        if (server.MessageOfTheDayChanges() != motdChanges) problems << when << ": the message of the day changed\n";
    };

    // ---- the reload: all of the file or none of it ----
    server.Console(admin, "qvreload");
    const standin::Inbox reply = server.InboxOf(admin);
    // A file that loads with probable mistakes gets a second message, naming them.
    const bool warned = reply.directChats.size() == 2 &&
                        reply.directChats[1].text.find(" about ") != std::string::npos &&
                        reply.directChats[1].text.find("config.json") != std::string::npos;
    const bool loaded = (reply.directChats.size() == 1 || warned) && reply.directChats[0].text == "Config Reloaded!";
    const bool refused = reply.directChats.size() == 1 &&
                         reply.directChats[0].text.rfind("Config reload failed: ", 0) == 0 &&
                         reply.directChats[0].text.find("config.json") != std::string::npos;
    if (reply.Count() != reply.directChats.size() || (!loaded && !refused)) {
        problems << "reload: not one clear reply\n";
    }
    if (expectation.loads && *expectation.loads != loaded) {
        problems << "reload: the file was " << (loaded ? "taken" : "refused") << ", as written it "
                 << (loaded ? "must be refused" : "must load") << "\n";
    }
    if (refused) {
        if (!IsInitial(State.Settings) || State.Settings.FromFile)
            problems << "reload failed but changed the settings\n";
        if (CountAtLeast(server.LogRecords(), standin::LogLevel::Error) == 0) problems << "reload failed unlogged\n";
    }
    if (loaded && !State.Settings.FromFile) problems << "reload succeeded without taking the file\n";
    fieldsAreNormal("after the reload");
    motdIs(kServerMotdUnits, "after the reload");
    server.ClearInboxes();
    server.ClearLog();

    // ---- the switch-on: every weekend value the file gives, or nothing ----
    const bool known = loaded && expectation.rows.has_value();
    bool readable = known;
    bool certain = known;
    for (std::size_t row = 0; known && row < names.size(); ++row) {
        const Expected& expected = (*expectation.rows)[row];
        if (expected.kind == Expected::Unreadable) readable = false;
        if (expected.kind == Expected::Either && expected.bound == 0.0f) certain = false;
    }
    // How the switch shows: as the writer wrote it, or else as the plug-in took it.
    const GeneratedConfig* written = expectation.written ? &*expectation.written : nullptr;
    const bool motdChange = written ? written->motdChange : State.Settings.MOTDChangeEnabled;
    const std::size_t announcements =
        written ? (written->notification ? 1u : 0u) + (written->chatbox ? 1u : 0u)
                : (State.Settings.Notification ? 1u : 0u) + (State.Settings.Chatbox ? 1u : 0u);

    server.Chat(admin, "/ToggleQuorvandelle");
    const bool switched = State.Boost.Active();
    // What a switch shows: its message of the day when the settings change it, and one
    // announcement per way of announcing that is on.
    const auto switchShown = [&](std::u16string_view motd, const char* when) {
        if (motdChange) ++motdChanges;
        motdIs(motdChange ? motd : kServerMotdUnits, when);
        if (server.InboxOf(admin).Count() != announcements) problems << when << ": wrong announcements\n";
    };
    if (State.Boost.Manual() != switched) problems << "switch-on: the toggle's flag disagrees with the game\n";
    if (certain && switched != readable) {
        problems << "switch-on " << (switched ? "happened although" : "refused although") << " the weekend values "
                 << (readable ? "can" : "cannot") << " be read\n";
    }
    if (!switched) {
        fieldsAreNormal("after a refused switch-on");
        motdIs(kServerMotdUnits, "after a refused switch-on");
        if (server.InboxOf(admin).Count() != 0) problems << "a refused switch-on sent messages\n";
        if (CountAtLeast(server.LogRecords(), standin::LogLevel::Error) == 0) problems << "switch-on failed unlogged\n";
    } else {
        for (std::size_t row = 0; known && row < names.size(); ++row) {
            const float value = server.Multiplier(names[row]);
            if (!Matches((*expectation.rows)[row], value, NormalValue(row))) {
                problems << "switch-on: " << names[row] << " is " << value << "\n";
            }
        }
        switchShown(written ? std::u16string_view(written->weekendMotd) : State.Settings.WeekendMOTD.View(),
                    "after the switch-on");
    }
    server.ClearInboxes();
    server.ClearLog();

    // ---- something else writes a rate, then the switch back ----
    if (switched) {
        server.SetMultiplier(names.front(), 777.0f);
        server.Chat(admin, "/ToggleQuorvandelle");
        if (State.Boost.Active() || State.Boost.Manual()) problems << "switch-back did not happen\n";
        fieldsAreNormal("after the switch-back");
        switchShown(written ? std::u16string_view(written->normalMotd) : State.Settings.NormalMOTD.View(),
                    "after the switch-back");
    }

    const auto escaped = server.EscapedExceptions();
    if (escaped.size() != escapedBefore) problems << "escaped to the host: " << escaped.back() << "\n";

    // ---- the game's allocator: the settings' strings were all it held ----
    ResetPluginAndRegistrations();
    const standin::AllocatorAccounts after = server.Allocations();
    if (after.liveBlocks != before.liveBlocks || after.liveBytes != before.liveBytes) {
        problems << "allocator: " << after.liveBlocks << " blocks (" << after.liveBytes << " bytes) live, "
                 << before.liveBlocks << " (" << before.liveBytes << ") before\n";
    }
    if (after.totalFrees > after.totalAllocations) problems << "allocator: more frees than allocations\n";
    return problems.str();
}

} // namespace

std::string ConfigRoundTrip::Check(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> rows;
    std::vector<bool> wholeRows;
    for (const std::string& name : standin::Server::MultiplierNames()) {
        rows.push_back(name);
        wholeRows.push_back(IsWholeRow(name));
    }
    const GeneratedConfig generated = GenerateConfig(rows, wholeRows, data, size);
    std::string problems;
    const auto note = [&](const char* how, const std::string& found) {
        std::istringstream lines(found);
        for (std::string line; std::getline(lines, line);) problems += std::string(how) + ": " + line + "\n";
    };
    State& state = *state_;
    note("as written", RoundTrip(*state.server, state.admin, state.file, bytes, ReadIndependently(bytes)));
    note("as generated", RoundTrip(*state.server, state.admin, state.file, generated.text, FromRecord(generated)));
    return problems;
}

} // namespace fuzzing

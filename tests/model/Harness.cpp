// The harness: each action applied to the stand-in server and to the model, then everything the
// model predicts compared: the sixteen fields, the message of the day, what every player
// received, the log, the registrations, escapes to the host and the allocator's accounts.
#include "tests/model/Harness.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>
#include <sstream>
#include <vector>

#include "tests/support/PluginServer.h"

namespace model {

Coverage& Coverage::operator+=(const Coverage& other)
{
    sequences += other.sequences;
    actions += other.actions;
    timerCalls += other.timerCalls;
    tally += other.tally;
    return *this;
}

namespace {

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool Near(float actual, float expected) { return std::fabs(actual - expected) <= 1e-6f; }

bool SameColor(const standin::ReceivedColor& actual, const Color& expected)
{
    return SameBits(actual.R, expected.R) && SameBits(actual.G, expected.G) && SameBits(actual.B, expected.B) &&
           SameBits(actual.A, expected.A);
}

std::string Show(const Color& color)
{
    std::ostringstream text;
    text << "(" << color.R << ", " << color.G << ", " << color.B << ", " << color.A << ")";
    return text.str();
}

const char* KindName(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Reply:
        return "reply";
    case MessageKind::Notification:
        return "notification";
    case MessageKind::ChatLine:
        break;
    }
    return "chat line";
}

class Harness {
public:
    explicit Harness(const Sequence& sequence) : sequence_(sequence), qv_(sequence.year, sequence.month, sequence.day)
    {
        qv_->SetLocalTime(sequence.year, sequence.month, sequence.day, sequence.hour);
        Values normal{};
        for (std::size_t row = 0; row < kRows; ++row) normal[row] = qv_->Multiplier(FieldName(row));
        model_.SetDefaults(normal);
        model_.SetMotdExternally(qv_->MessageOfTheDay());
        baseline_ = qv_->Allocations();
    }

    RunResult Run()
    {
        RunResult result;
        for (std::size_t i = 0; i < sequence_.actions.size() && !result.failure; ++i) {
            const Action& action = sequence_.actions[i];
            std::string failure = Apply(action, result);
            if (!failure.empty()) {
                result.failure = "after action " + std::to_string(i + 1) + " (" + Describe(action) + "): " + failure;
            }
            ++result.coverage.actions;
        }
        result.coverage.sequences = 1;
        result.coverage.tally = model_.Counts();
        return result;
    }

private:
    standin::Server& server() { return qv_.server(); }

    // The model's index of a connected player chosen by pick, if any qualifies.
    template <typename Filter>
    std::optional<std::size_t> PickPlayer(std::uint32_t pick, Filter filter) const
    {
        std::vector<std::size_t> candidates;
        const auto& players = model_.Players();
        for (std::size_t i = 0; i < players.size(); ++i) {
            if (players[i].connected && filter(players[i])) candidates.push_back(i);
        }
        if (candidates.empty()) return std::nullopt;
        return candidates[pick % candidates.size()];
    }

    std::optional<std::size_t> AnyPlayer(std::uint32_t pick) const
    {
        return PickPlayer(pick, [](const Player&) { return true; });
    }

    std::string CommandResult(bool matched, bool expected)
    {
        if (matched == expected) return {};
        return expected ? "the command was not registered" : "a command answered a line that names none";
    }

    std::string Apply(const Action& action, RunResult& result)
    {
        Outcome out;
        std::string problem;
        switch (action.type) {
        case ActionType::Timer:
            return RunTimer(action.count, result);
        case ActionType::TimerToCheck: {
            const int calls = model_.Loaded() && model_.GameMode() ? model_.CallsUntilEvaluation() + action.offset
                                                                   : 1 + action.offset;
            return RunTimer(std::max(calls, 0), result);
        }
        case ActionType::GameModeAway:
            server().RemoveGameMode();
            model_.SetGameMode(false);
            break;
        case ActionType::GameModeBack:
            server().RestoreGameMode();
            model_.SetGameMode(true);
            break;
        case ActionType::DaysPass:
            server().AdvanceClock(std::int64_t{action.count} * 86400 + action.seconds);
            break;
        case ActionType::WriteConfig:
            qv_.WriteConfigText(action.config->text);
            model_.WriteFile(*action.config);
            break;
        case ActionType::RemoveConfig:
            qv_.RemoveConfig();
            model_.RemoveFile();
            break;
        case ActionType::ChatReload:
        case ActionType::Toggle: {
            const auto player = AnyPlayer(action.pick);
            if (!player) break;
            if (!model_.Loaded()) {
                out.refused = true;
            } else if (action.type == ActionType::ChatReload) {
                model_.ChatReload(*player, out);
            } else {
                model_.Toggle(*player, out);
            }
            problem = CommandResult(server().Chat(ids_[*player], action.text), model_.Loaded());
            break;
        }
        case ActionType::ConsoleReload: {
            const auto player = AnyPlayer(action.pick);
            if (!player) break;
            if (model_.Loaded()) {
                model_.ConsoleReload(*player, out);
            } else {
                out.refused = true;
            }
            problem = CommandResult(server().Console(ids_[*player], action.text), model_.Loaded());
            break;
        }
        case ActionType::ServerConsoleReload:
            if (model_.Loaded()) {
                model_.ConsoleReload(std::nullopt, out);
            } else {
                out.refused = true;
            }
            problem = CommandResult(server().ServerConsole(action.text), model_.Loaded());
            break;
        case ActionType::ChatOther: {
            const auto player = AnyPlayer(action.pick);
            if (!player) break;
            out.refused = true;
            problem = CommandResult(server().Chat(ids_[*player], action.text), false);
            break;
        }
        case ActionType::SetMultiplier:
            server().SetMultiplier(FieldName(action.row), action.value);
            model_.SetField(action.row, action.value);
            break;
        case ActionType::SetMotd:
            server().SetMessageOfTheDay(action.text);
            model_.SetMotdExternally(action.text);
            break;
        case ActionType::Join: {
            standin::PlayerProfile profile;
            profile.name = "Player " + std::to_string(ids_.size() + 1);
            profile.admin = action.player.admin;
            profile.hasCharacter = action.player.hasCharacter;
            profile.hasPlayerState = action.player.hasPlayerState;
            ids_.push_back(server().JoinPlayer(profile));
            model_.Join(action.player);
            break;
        }
        case ActionType::Leave: {
            const auto player = AnyPlayer(action.pick);
            if (!player) break;
            server().RemovePlayer(ids_[*player]);
            model_.Leave(*player);
            break;
        }
        case ActionType::SetAdmin: {
            const auto player = PickPlayer(action.pick, [](const Player& p) { return p.hasCharacter; });
            if (!player) break;
            server().SetAdmin(ids_[*player], action.flag);
            model_.SetAdmin(*player, action.flag);
            break;
        }
        case ActionType::Unload:
            if (!model_.Loaded()) break;
            server().UnloadPlugin();
            model_.Unload(out);
            break;
        case ActionType::ClockTo:
            SetClockBefore(action);
            break;
        case ActionType::ClockBack:
            server().AdvanceClock(-action.seconds);
            break;
        case ActionType::Status: {
            const auto player = AnyPlayer(action.pick);
            if (!player) break;
            model_.Status(*player, action.text, LocalWall(), out);
            problem = CommandResult(server().Chat(ids_[*player], action.text), !out.refused);
            break;
        }
        case ActionType::Load:
            if (model_.Loaded()) break;
            qv_.Load();
            model_.Load(out);
            if (!clockChecked_) {
                clockChecked_ = true;
                for (const auto& record : server().LogRecords()) {
                    if (record.message.find("_time64") != std::string::npos) result.clockNotSimulated = true;
                }
                if (result.clockNotSimulated) return "the plug-in reads the real clock";
            }
            break;
        }
        const std::string differences = Compare(out);
        if (!problem.empty()) return problem + (differences.empty() ? "" : "; " + differences);
        return differences;
    }

    // The local time the plug-in's clock reads now, on the model's scale.
    Wall LocalWall()
    {
        const std::tm local = qv_.server().LocalDateTime();
        return WallOf(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    }

    // The clock moved so that the next evaluation, one second per timer call from now, falls at
    // the action's moment plus its offset: a dated moment as it is, a moment of the week the next
    // time it comes round.
    void SetClockBefore(const Action& action)
    {
        const Wall calls = model_.Loaded() && model_.GameMode() ? model_.CallsUntilEvaluation() : 601;
        const Wall evaluation = LocalWall() + calls * standin::Server::TimerIntervalSeconds;
        Wall target = action.seconds;
        if (!action.flag) {
            const Wall weekSecond = WeekdayOf(evaluation) * kDay + ((evaluation % kDay) + kDay) % kDay;
            target = evaluation + ((action.seconds - weekSecond) % kWeek + kWeek) % kWeek;
        }
        server().AdvanceClock(target + action.offset - evaluation);
    }

    // Timer calls in stretches that end at each evaluation the model expects, so an evaluation
    // one call early or late shows at once.
    std::string RunTimer(int calls, RunResult& result)
    {
        result.coverage.timerCalls += static_cast<std::uint64_t>(calls);
        while (calls > 0) {
            int stretch = calls;
            if (model_.Loaded() && model_.GameMode()) stretch = std::min(calls, model_.CallsUntilEvaluation());
            server().RunTimer(stretch);
            calls -= stretch;
            Outcome out;
            // The evaluation reads the clock of its own call, which is the last of the stretch.
            const Wall now = LocalWall();
            for (int i = 0; i < stretch; ++i) model_.TimerCall(now, out);
            std::string differences = Compare(out);
            if (!differences.empty()) {
                const std::tm local = qv_.server().LocalDateTime();
                char when[64];
                std::strftime(when, sizeof when, "%a %Y-%m-%d %H:%M:%S", &local);
                return "timer calls (" + std::to_string(model_.Counts().evaluations) +
                       " evaluations so far by the model, the last at " + when + "): " + differences;
            }
        }
        return Compare(Outcome{});
    }

    // The expected messages, less those that may be missing and are: where a maybe-message stands,
    // the inbox holds a warning reply or the model had no message there.
    static std::vector<Message> Settle(const standin::Inbox& inbox, const std::vector<Message>& expected)
    {
        std::vector<Message> settled;
        std::size_t direct = 0;
        for (const Message& message : expected) {
            const std::size_t at = settled.size();
            const bool warningThere = at < inbox.order.size() && inbox.order[at] == standin::MessageKind::DirectChat &&
                                      direct < inbox.directChats.size() &&
                                      inbox.directChats[direct].text.find(" about ") != std::string::npos;
            if (message.maybe && !warningThere) continue;
            if (at < inbox.order.size() && inbox.order[at] == standin::MessageKind::DirectChat) ++direct;
            settled.push_back(message);
        }
        return settled;
    }

    std::string CompareInbox(std::size_t player, const std::vector<Message>& all)
    {
        const standin::Inbox inbox = server().InboxOf(ids_[player]);
        const std::vector<Message> expected = Settle(inbox, all);
        std::ostringstream problems;
        const std::string who = "player " + std::to_string(player + 1);
        if (inbox.Count() != expected.size()) {
            problems << who << " received " << inbox.Count() << " messages, expected " << expected.size() << "; ";
        }
        std::size_t direct = 0;
        std::size_t notification = 0;
        std::size_t chat = 0;
        for (std::size_t i = 0; i < std::min(inbox.Count(), expected.size()); ++i) {
            const Message& want = expected[i];
            const std::string where = who + " message " + std::to_string(i + 1) + ": ";
            switch (inbox.order[i]) {
            case standin::MessageKind::DirectChat: {
                const auto& got = inbox.directChats[direct++];
                if (want.kind != MessageKind::Reply) {
                    problems << where << "a reply '" << got.text << "', expected a " << KindName(want.kind) << "; ";
                } else if (want.warningReply) {
                    if (got.text.find(" about ") == std::string::npos ||
                        got.text.find("config.json") == std::string::npos ||
                        got.text.find(" warning") == std::string::npos) {
                        problems << where << "reply '" << got.text << "' does not name the warnings of config.json; ";
                    }
                } else if (want.failedReply) {
                    const std::string prefix = "Config reload failed: ";
                    if (got.text.rfind(prefix, 0) != 0 || got.text.find("config.json") == std::string::npos ||
                        got.text.find(want.text) == std::string::npos) {
                        problems << where << "reply '" << got.text
                                 << "' does not say the reload of config.json failed (" << want.text << "); ";
                    }
                } else if (want.prefix ? got.text.rfind(want.text, 0) != 0 : got.text != want.text) {
                    problems << where << "reply '" << got.text << "', expected '" << want.text << "'"
                             << (want.prefix ? " at its start" : "") << "; ";
                }
                if (!Near(got.color.R, want.color.R) || !Near(got.color.G, want.color.G) ||
                    !Near(got.color.B, want.color.B) || !Near(got.color.A, want.color.A)) {
                    problems << where << "reply colour " << Show(got.color) << ", expected " << Show(want.color)
                             << "; ";
                }
                break;
            }
            case standin::MessageKind::Notification: {
                const auto& got = inbox.notifications[notification++];
                if (want.kind != MessageKind::Notification) {
                    problems << where << "a notification '" << got.text << "', expected a " << KindName(want.kind)
                             << "; ";
                } else if (got.text != want.text || !SameColor(got.color, want.color) || !SameBits(got.scale, 1.2f) ||
                           !SameBits(got.seconds, 8.0f)) {
                    problems << where << "notification '" << got.text << "' " << Show(got.color) << " scale "
                             << got.scale << " for " << got.seconds << " s, expected '" << want.text << "' "
                             << Show(want.color) << "; ";
                }
                break;
            }
            case standin::MessageKind::ChatRecord: {
                const auto& got = inbox.chatRecords[chat++];
                if (want.kind != MessageKind::ChatLine) {
                    problems << where << "a chat line '" << got.message << "', expected a " << KindName(want.kind)
                             << "; ";
                } else if (got.message != want.text || got.senderName != want.sender) {
                    problems << where << "chat line '" << got.message << "' from '" << got.senderName << "', expected '"
                             << want.text << "' from '" << want.sender << "'; ";
                }
                break;
            }
            }
        }
        return problems.str();
    }

    std::string CompareLog(const Outcome& out)
    {
        std::ostringstream problems;
        const auto records = server().LogRecords();
        int errors = 0;
        int warnings = 0;
        std::string firstError;
        for (const auto& record : records) {
            if (record.logger != "Quorvandelle") continue;
            if (record.level >= standin::LogLevel::Error) {
                if (errors++ == 0) firstError = record.message;
            } else if (record.level == standin::LogLevel::Warning) {
                ++warnings;
            }
        }
        if (out.refused && !records.empty()) {
            problems << "a refused command left a log record: '" << records.front().message << "'; ";
        }
        if (out.failures > 0 && errors == 0) problems << "a failure left no error record; ";
        if (out.failures == 0 && errors > 0) problems << "unexpected error record: '" << firstError << "'; ";
        if (out.warning && warnings + errors == 0) problems << "no warning was logged; ";
        for (const auto& mention : out.mentions) {
            const bool found = std::any_of(records.begin(), records.end(), [&](const standin::LogRecord& record) {
                return record.level >= standin::LogLevel::Warning && record.message.find(mention) != std::string::npos;
            });
            if (!found) problems << "no warning or error names '" << mention << "'; ";
        }
        return problems.str();
    }

    std::string Compare(const Outcome& out)
    {
        std::ostringstream problems;
        const auto escaped = server().EscapedExceptions();
        if (!escaped.empty()) problems << "escaped to the host: " << escaped.front() << "; ";

        const Values expected = model_.ExpectedFields();
        for (std::size_t row = 0; row < kRows; ++row) {
            const float actual = server().Multiplier(FieldName(row));
            if (!SameBits(actual, expected[row])) {
                problems << FieldName(row) << " is " << actual << ", expected " << expected[row] << "; ";
            }
        }
        if (server().MessageOfTheDay() != model_.Motd()) {
            problems << "message of the day '" << server().MessageOfTheDay() << "', expected '" << model_.Motd()
                     << "'; ";
        }
        if (server().MessageOfTheDayChanges() != model_.MotdChanges()) {
            problems << server().MessageOfTheDayChanges() << " changes of the message of the day, expected "
                     << model_.MotdChanges() << "; ";
        }
        static const std::vector<Message> none;
        for (std::size_t i = 0; i < ids_.size(); ++i) {
            problems << CompareInbox(i, i < out.inboxes.size() ? out.inboxes[i] : none);
        }
        problems << CompareLog(out);

        std::size_t registered = 0;
        for (const auto& registration : server().Registrations()) {
            if (registration.orphaned) problems << "'" << registration.name << "' was left registered; ";
            ++registered;
        }
        if (registered != model_.Registrations()) {
            problems << registered << " registrations, expected " << model_.Registrations() << "; ";
        }

        const standin::AllocatorAccounts accounts = server().Allocations();
        if (model_.Loaded()) {
            // The plug-in's strings: at most one block each for the texts of the settings in force.
            if (accounts.liveBlocks > baseline_.liveBlocks + model_.Texts()) {
                problems << accounts.liveBlocks - baseline_.liveBlocks << " blocks live while loaded; ";
            }
        } else if (accounts.liveBlocks != baseline_.liveBlocks || accounts.liveBytes != baseline_.liveBytes) {
            problems << "after unload " << accounts.liveBlocks << " blocks (" << accounts.liveBytes << " bytes) live, "
                     << baseline_.liveBlocks << " before the first load; ";
        }
        if (accounts.totalFrees > accounts.totalAllocations) problems << "more frees than allocations; ";

        server().ClearInboxes();
        server().ClearLog();
        return problems.str();
    }

    const Sequence& sequence_;
    testing_support::PluginServer qv_;
    Model model_;
    std::vector<standin::PlayerId> ids_;
    standin::AllocatorAccounts baseline_;
    bool clockChecked_ = false;
};

} // namespace

RunResult RunSequence(const Sequence& sequence)
{
    Harness harness(sequence);
    return harness.Run();
}

} // namespace model

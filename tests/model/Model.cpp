// The reference model's transitions: load and unload, the counted timer calls and the window,
// the reloads and the toggle, each switch with its message of the day and announcements.
#include "tests/model/Model.h"

#include <cstdio>

#include "standin/server/Server.h"

namespace model {

const std::string& FieldName(std::size_t row) { return standin::Server::MultiplierNames().at(row); }

bool WholeNumberRow(std::size_t row)
{
    return FieldName(row) == "StructureResistanceMultiplier" || FieldName(row) == "StructureDamageMultiplier";
}

namespace {

Outcome& Ensure(Outcome& out, std::size_t players)
{
    if (out.inboxes.size() < players) out.inboxes.resize(players);
    return out;
}

Message Reply(bool ok, const std::string& failure = {})
{
    Message message;
    message.kind = MessageKind::Reply;
    if (ok) {
        message.text = "Config Reloaded!";
        message.color = Color{0.0f, 1.0f, 0.0f, 1.0f};
    } else {
        message.text = failure; // a fragment the reply must hold besides the file's name
        message.failedReply = true;
        message.color = Color{1.0f, 0.0f, 0.0f, 1.0f};
    }
    return message;
}

} // namespace

Tally& Tally::operator+=(const Tally& other)
{
    uncountedCalls += other.uncountedCalls;
    evaluations += other.evaluations;
    switchesOn += other.switchesOn;
    switchesOff += other.switchesOff;
    failedSwitchesOn += other.failedSwitchesOn;
    adoptions += other.adoptions;
    refusedCommands += other.refusedCommands;
    reloadsDone += other.reloadsDone;
    reloadsFailed += other.reloadsFailed;
    unloadsDuringWeekend += other.unloadsDuringWeekend;
    externalWritesDuringWeekend += other.externalWritesDuringWeekend;
    return *this;
}

void Model::SetField(std::size_t row, float value)
{
    // During a weekend the write lasts until the switch back puts the normal value back;
    // otherwise it is the new normal value, and the next snapshot takes it.
    if (weekendInForce_) {
        weekendFields_[row] = value;
        ++tally_.externalWritesDuringWeekend;
    } else {
        normal_[row] = value;
    }
}

Values Model::ExpectedFields() const { return weekendInForce_ ? weekendFields_ : normal_; }

bool Model::WindowOpen(std::int32_t startDay, std::int32_t endDay, int weekday)
{
    // Offsets in days from today's midnight; the remainder keeps the dividend's sign.
    const std::int64_t s = (std::int64_t{startDay} - weekday + 7) % 7;
    const std::int64_t e = (std::int64_t{endDay} - weekday + 7) % 7;
    return !(e <= 0 || (s > 0 && e >= s));
}

std::optional<std::string> Model::FormatPattern(const std::string& text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '{' || c == '}') {
            if (i + 1 < text.size() && text[i + 1] == c) {
                result.push_back(c);
                ++i;
                continue;
            }
            return std::nullopt;
        }
        result.push_back(c);
    }
    return result;
}

std::string Model::ChatLine(const Color& color, const std::string& text)
{
    char numbers[160];
    std::snprintf(numbers, sizeof numbers, "%g, %g, %g, %g", double{color.R}, double{color.G}, double{color.B},
                  double{color.A});
    return std::string("<RichColor Color=\"") + numbers + "\">" + text + "</>";
}

void Model::Announce(const Color& color, const std::string& text, Outcome& out)
{
    Ensure(out, players_.size());
    const std::optional<std::string> shown = FormatPattern(text);
    if (settings_.notification && !shown) out.warning = true;
    for (std::size_t i = 0; i < players_.size(); ++i) {
        if (!players_[i].connected) continue;
        if (settings_.notification) {
            Message message;
            message.kind = MessageKind::Notification;
            message.text = shown ? *shown : text;
            message.color = color;
            out.inboxes[i].push_back(message);
        }
        if (settings_.chatbox) {
            Message message;
            message.kind = MessageKind::ChatLine;
            message.text = ChatLine(color, text);
            message.sender = settings_.serverName;
            out.inboxes[i].push_back(message);
        }
    }
}

bool Model::SwitchOn(Outcome& out)
{
    if (!gameMode_) {
        out.warning = true;
        return false;
    }
    if (!weekendValues_) {
        ++out.failures;
        ++tally_.failedSwitchesOn;
        if (!weekendProblem_.empty()) out.mentions.push_back(weekendProblem_);
        return false;
    }
    // The snapshot is only ever taken while the normal values are in force.
    for (std::size_t row = 0; row < kRows; ++row) {
        weekendFields_[row] = (*weekendValues_)[row] != 0.0f ? (*weekendValues_)[row] : normal_[row];
    }
    weekendInForce_ = true;
    ++tally_.switchesOn;
    if (settings_.motdEnabled) {
        motd_ = settings_.weekendMotd;
        ++motdChanges_;
    }
    Announce(settings_.enabledColor, settings_.enabledMessage, out);
    return true;
}

bool Model::SwitchOff(Outcome& out)
{
    if (!gameMode_) {
        out.warning = true;
        return false;
    }
    weekendInForce_ = false;
    ++tally_.switchesOff;
    if (settings_.motdEnabled) {
        motd_ = settings_.normalMotd;
        ++motdChanges_;
    }
    Announce(settings_.disabledColor, settings_.disabledMessage, out);
    return true;
}

void Model::ReadFile(std::optional<std::size_t> replyTo, Outcome& out)
{
    Ensure(out, players_.size());
    Message reply;
    if (!file_ || !file_->loads) {
        ++tally_.reloadsFailed;
    } else {
        ++tally_.reloadsDone;
    }
    if (!file_) {
        ++out.failures;
        out.mentions.push_back("not found");
        reply = Reply(false, "not found");
    } else if (!file_->loads) {
        ++out.failures;
        out.mentions.push_back(file_->problem);
        reply = Reply(false);
    } else {
        TakeFile(out);
        reply = Reply(true);
    }
    if (!replyTo) return;
    out.inboxes[*replyTo].push_back(reply);
    if (file_ && file_->loads && file_->warns) {
        Message warnings;
        warnings.kind = MessageKind::Reply;
        warnings.warningReply = true;
        warnings.color = Color{1.0f, 0.5209956f, 0.0f, 1.0f}; // amber, 255 191 0 as the game's linear colour
        out.inboxes[*replyTo].push_back(warnings);
    }
}

void Model::Load(Outcome& out)
{
    loaded_ = true;
    settings_ = Settings{};
    weekendValues_.reset();
    weekendProblem_.clear();
    weekendInForce_ = scheduled_ = manual_ = firstCheckDone_ = false;
    count_ = 0;
    if (!file_) {
        out.warning = true;
        out.mentions.push_back("not found");
    } else if (!file_->loads) {
        ++out.failures;
        out.mentions.push_back(file_->problem);
    } else {
        TakeFile(out);
    }
}

void Model::TakeFile(Outcome& out)
{
    settings_ = file_->settings;
    weekendValues_ = file_->weekend;
    weekendProblem_ = weekendValues_ ? std::string() : file_->problem;
    // A weekend value that cannot be read is reported at the load, not hours later.
    if (!weekendValues_) {
        out.warning = true;
        out.mentions.push_back(weekendProblem_);
    }
}

void Model::Unload(Outcome& out)
{
    loaded_ = false;
    if (!weekendInForce_) return;
    ++tally_.unloadsDuringWeekend;
    if (gameMode_) {
        // The normal values go back silently, so that a later load snapshots the true ones.
        weekendInForce_ = false;
        if (settings_.motdEnabled) {
            motd_ = settings_.normalMotd;
            ++motdChanges_;
        }
    } else {
        // Nothing to write into: whatever the game mode holds stays as the game's own values.
        out.warning = true;
        normal_ = weekendFields_;
        weekendInForce_ = false;
    }
}

int Model::CallsUntilEvaluation() const
{
    const int threshold = firstCheckDone_ ? 600 : 30;
    return threshold - count_ + 1;
}

void Model::TimerCall(int weekday, Outcome& out)
{
    if (!loaded_) return;
    if (!gameMode_) {
        ++tally_.uncountedCalls;
        return;
    }
    const int threshold = firstCheckDone_ ? 600 : 30;
    const int before = count_++;
    if (before != threshold) return;
    firstCheckDone_ = true;
    ++tally_.evaluations;
    const bool open = WindowOpen(settings_.startDay, settings_.endDay, weekday);
    if (open && !scheduled_) {
        if (manual_) {
            // The schedule takes over a manual weekend: no second snapshot, no announcement.
            scheduled_ = true;
            manual_ = false;
            ++tally_.adoptions;
        } else if (SwitchOn(out)) {
            scheduled_ = true;
        }
    } else if (!open && scheduled_) {
        scheduled_ = false;
        SwitchOff(out);
    }
    count_ = 0;
}

void Model::ChatReload(std::size_t player, Outcome& out)
{
    Ensure(out, players_.size());
    const Player& who = players_[player];
    if (!who.hasPlayerState || !who.hasCharacter || !who.admin) {
        out.refused = true;
        ++tally_.refusedCommands;
        return;
    }
    ReadFile(player, out);
}

void Model::ConsoleReload(std::optional<std::size_t> player, Outcome& out) { ReadFile(player, out); }

void Model::Toggle(std::size_t player, Outcome& out)
{
    Ensure(out, players_.size());
    const Player& who = players_[player];
    if (!who.hasCharacter || !who.admin || scheduled_) {
        out.refused = true;
        ++tally_.refusedCommands;
        return;
    }
    if (!manual_) {
        manual_ = SwitchOn(out);
    } else {
        manual_ = !SwitchOff(out);
    }
}

} // namespace model

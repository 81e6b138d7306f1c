// The reference model's transitions: load and unload, the counted timer calls and the windows,
// the reloads and the toggle, each switch with its message of the day and announcements, the
// reminders before an opening, and the welcomes of players who join while boosted values are in
// force.
#include "tests/model/Model.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <limits>

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

constexpr Wall kClockChange = 60 * 60;
// How far past the longest lead the plug-in looks for comings into force.
constexpr Wall kLookAhead = 60 * 60;
const char* const kDefaultReminder = "Boosted rates ({name}) start in {time_left}";

// "2 days, 1 hour and 5 minutes": the units that are not zero, the last joined with "and".
std::string InWords(long long minutes)
{
    const std::pair<long long, const char*> units[] = {
        {minutes / (24 * 60), "day"}, {minutes % (24 * 60) / 60, "hour"}, {minutes % 60, "minute"}};
    std::vector<std::string> said;
    for (const auto& [count, unit] : units) {
        if (count != 0) said.push_back(std::to_string(count) + " " + unit + (count > 1 ? "s" : ""));
    }
    if (said.empty()) return "0 minutes";
    std::string text = said.back();
    if (said.size() > 1) text = said[said.size() - 2] + " and " + text;
    if (said.size() > 2) text = said[0] + ", " + text;
    return text;
}

Wall FloorDays(Wall wall) { return wall >= 0 ? wall / kDay : -((-wall + kDay - 1) / kDay); }

// The pattern with its named fields filled in; nothing when anything else stands in braces or a
// brace is single.
std::optional<std::string> FormatFields(const std::string& pattern,
                                        const std::vector<std::pair<std::string, std::string>>& fields)
{
    std::string result;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '}') {
            if (pattern.compare(i, 2, "}}") != 0) return std::nullopt;
            result += '}';
            ++i;
        } else if (c != '{') {
            result += c;
        } else if (pattern.compare(i, 2, "{{") == 0) {
            result += '{';
            ++i;
        } else {
            const auto field = std::find_if(fields.begin(), fields.end(), [&](const auto& named) {
                return pattern.compare(i, named.first.size() + 2, "{" + named.first + "}") == 0;
            });
            if (field == fields.end()) return std::nullopt;
            result += field->second;
            i += field->first.size() + 1;
        }
    }
    return result;
}

std::optional<std::string> FormatReminder(const std::string& pattern, long long minutes, const std::string& name)
{
    return FormatFields(pattern,
                        {{"minutes", std::to_string(minutes)}, {"time_left", InWords(minutes)}, {"name", name}});
}

bool SameCommandWord(const std::string& typed, const std::string& command)
{
    return std::equal(typed.begin(), typed.end(), command.begin(), command.end(),
                      [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); });
}

} // namespace

Wall WallOf(int year, int month, int day, int hour, int minute, int second)
{
    static const int kDaysBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const auto leap = [](int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; };
    Wall days = 0;
    for (int y = 1970; y < year; ++y) days += leap(y) ? 366 : 365;
    days += kDaysBefore[month - 1] + (month > 2 && leap(year) ? 1 : 0) + day - 1;
    return days * kDay + hour * 3600 + minute * 60 + second;
}

int WeekdayOf(Wall wall)
{
    // 1970-01-01 was a Thursday.
    const Wall days = FloorDays(wall);
    return static_cast<int>(((days + 4) % 7 + 7) % 7);
}

std::size_t Settings::Texts() const
{
    // The server name, four messages, the reminder's and the welcome's.
    std::size_t texts = 5 + (reminderMessage ? 1 : 0) + (joinMessage ? 1 : 0);
    for (const Window& window : windows) {
        texts += (window.enabledMessage ? 1 : 0) + (window.disabledMessage ? 1 : 0) + (window.weekendMotd ? 1 : 0) +
                 (window.joinMessage ? 1 : 0);
    }
    return texts;
}

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
    rebuiltWeekends += other.rebuiltWeekends;
    endedWithoutGameMode += other.endedWithoutGameMode;
    windowSwitches += other.windowSwitches;
    moves += other.moves;
    loudTakeovers += other.loudTakeovers;
    reminders += other.reminders;
    heldEvaluations += other.heldEvaluations;
    statusReplies += other.statusReplies;
    welcomes += other.welcomes;
    return *this;
}

void Model::SetGameMode(bool present)
{
    if (present && !gameMode_) {
        normal_ = configured_;
        replaced_ = weekendInForce_;
        endedInGoneGameMode_ = false;
    }
    gameMode_ = present;
}

void Model::SetField(std::size_t row, float value)
{
    // During a weekend the write lasts until the switch back puts the normal value back;
    // otherwise it is the new normal value, and the next snapshot takes it.
    if (weekendInForce_ && !replaced_) {
        weekendFields_[row] = value;
        ++tally_.externalWritesDuringWeekend;
    } else if (endedInGoneGameMode_) {
        weekendFields_[row] = value; // into the game mode that went, which nothing reads any more
    } else {
        normal_[row] = value;
    }
}

Values Model::ExpectedFields() const
{
    // A weekend ended while the world was down wrote nothing: the game mode that went keeps its values.
    if (endedInGoneGameMode_) return weekendFields_;
    return weekendInForce_ && !replaced_ ? weekendFields_ : normal_;
}

bool Model::WeeklyOpen(const Settings& settings, Wall now)
{
    // By brute force: walk back from now a day at a time until the window's start or end is met;
    // open when the start was the later. A day value is the weekday of its remainder modulo 7 (7 is
    // Sunday, -1 Saturday). Further below zero the rule's remainder keeps the dividend's sign, so
    // such a day lies behind today unless today is its weekday: a start there has come by today's
    // midnight, and an end there keeps today closed (a start on the same day aside).
    const int today = WeekdayOf(now);
    const auto weekdayOf = [](std::int32_t day) { return static_cast<int>((std::int64_t{day} % 7 + 7) % 7); };
    const auto behind = [&](std::int32_t day) { return std::int64_t{day} + 7 < today && weekdayOf(day) != today; };
    const int startWeekday = weekdayOf(settings.startDay);
    const int endWeekday = weekdayOf(settings.endDay);
    const bool sameDayBehind = behind(settings.startDay) && behind(settings.endDay) && startWeekday == endWeekday;
    if (behind(settings.endDay) && !sameDayBehind) return false;
    const bool startAtMidnight = behind(settings.startDay) && !sameDayBehind;
    for (int back = 0; back <= 7; ++back) {
        const int weekday = (today - back % 7 + 7) % 7;
        const Wall latest = back == 0 ? now - FloorDays(now) * kDay : kDay - 1; // that day's seconds up to now
        const Wall none = -1;
        const Wall start =
            startAtMidnight ? (back == 0 ? 0 : none) : (weekday == startWeekday ? Wall{settings.startTime} * 60 : none);
        const Wall end = weekday == endWeekday ? Wall{settings.endTime} * 60 : none;
        const bool startMet = start != none && start <= latest;
        const bool endMet = end != none && end <= latest;
        // A start and an end at the same moment make an empty window.
        if (startMet && endMet) return start > end;
        if (startMet || endMet) return startMet;
    }
    return false;
}

bool Model::WindowOpen(const Window& window, Wall now)
{
    if (!window.weekly) return now >= window.start && now < window.end;
    // A run lasts a day at most, so only today's and yesterday's openings can cover now.
    const Wall run = (window.until > window.from ? window.until - window.from : window.until - window.from + 1440) * 60;
    const int today = WeekdayOf(now);
    const int yesterday = (today + 6) % 7;
    const Wall sinceOpening = now - FloorDays(now) * kDay - window.from * 60;
    if ((window.days >> today & 1) != 0 && sinceOpening >= 0 && sinceOpening < run) return true;
    return (window.days >> yesterday & 1) != 0 && sinceOpening + kDay < run;
}

std::optional<int> Model::InForce(const Settings& settings, Wall now)
{
    for (std::size_t i = 0; i < settings.windows.size(); ++i) {
        if (WindowOpen(settings.windows[i], now)) return static_cast<int>(i);
    }
    if (WeeklyOpen(settings, now)) return kWeekly;
    return std::nullopt;
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

Model::Look Model::LookOf(int window) const
{
    Look look;
    look.values = weekendValues_;
    look.problem = weekendProblem_;
    look.displayName = "Weekend";
    look.enabledMessage = settings_.enabledMessage;
    look.disabledMessage = settings_.disabledMessage;
    look.weekendMotd = settings_.weekendMotd;
    look.enabledColor = settings_.enabledColor;
    look.disabledColor = settings_.disabledColor;
    look.joinMessage = settings_.joinMessage.value_or("");
    if (window == kWeekly) return look;
    const Window& own = settings_.windows[static_cast<std::size_t>(window)];
    look.name = look.displayName = own.name;
    Values values{};
    bool readable = true;
    for (std::size_t row = 0; row < kRows; ++row) {
        if (own.rates[row]) {
            values[row] = *own.rates[row];
        } else if (unreadableRow_ == row) {
            readable = false;
        } else {
            values[row] = rows_[row];
        }
    }
    look.values.reset();
    if (readable) look.values = values;
    look.enabledMessage = own.enabledMessage.value_or(look.enabledMessage);
    look.disabledMessage = own.disabledMessage.value_or(look.disabledMessage);
    look.weekendMotd = own.weekendMotd.value_or(look.weekendMotd);
    look.enabledColor = own.enabledColor.value_or(look.enabledColor);
    look.disabledColor = own.disabledColor.value_or(look.disabledColor);
    look.joinMessage = own.joinMessage.value_or(look.joinMessage);
    return look;
}

std::optional<int> Model::WindowInForceByName() const
{
    if (windowName_.empty()) return kWeekly;
    for (std::size_t i = 0; i < settings_.windows.size(); ++i) {
        if (settings_.windows[i].name == windowName_) return static_cast<int>(i);
    }
    return std::nullopt;
}

void Model::Show(const Look& look, Outcome& out)
{
    windowName_ = look.name;
    if (settings_.motdEnabled) {
        motd_ = look.weekendMotd;
        ++motdChanges_;
    }
    Announce(look.enabledColor, look.enabledMessage, out);
}

bool Model::SwitchOn(int window, Outcome& out)
{
    if (!gameMode_) {
        out.warning = true;
        return false;
    }
    // The snapshot is only ever taken while the normal values are in force.
    if (!Move(window, out)) return false;
    weekendInForce_ = true;
    ++tally_.switchesOn;
    return true;
}

bool Model::Move(int window, Outcome& out)
{
    const Look look = LookOf(window);
    if (!look.values) {
        ++out.failures;
        ++tally_.failedSwitchesOn;
        if (!look.problem.empty()) out.mentions.push_back(look.problem);
        return false;
    }
    // Every field gets the window's value; a 0 there is the normal value, which normal_ holds.
    for (std::size_t row = 0; row < kRows; ++row) {
        weekendFields_[row] = (*look.values)[row] != 0.0f ? (*look.values)[row] : normal_[row];
    }
    written_ = *look.values;
    if (window != kWeekly) ++tally_.windowSwitches;
    replaced_ = false;
    Show(look, out);
    return true;
}

bool Model::PutIntoNewGameMode(int window, Outcome& out)
{
    const Look look = LookOf(window);
    if (!look.values) {
        ++out.failures;
        if (!look.problem.empty()) out.mentions.push_back(look.problem);
        return false;
    }
    for (std::size_t row = 0; row < kRows; ++row) {
        weekendFields_[row] = (*look.values)[row] != 0.0f ? (*look.values)[row] : normal_[row];
    }
    written_ = *look.values;
    replaced_ = false;
    windowName_ = look.name;
    if (settings_.motdEnabled) {
        motd_ = look.weekendMotd;
        ++motdChanges_;
    }
    ++tally_.rebuiltWeekends;
    return true;
}

bool Model::SwitchOff(Outcome& out)
{
    if (!gameMode_ && !weekendInForce_) {
        out.warning = true;
        return false;
    }
    // Without a game mode the weekend values went with it: the end is told, nothing is written,
    // and the game mode that comes back never gets them again.
    if (!gameMode_) {
        ++tally_.endedWithoutGameMode;
        endedInGoneGameMode_ = !replaced_;
    }
    weekendInForce_ = false;
    replaced_ = false; // a new game mode holds the normal values already
    ++tally_.switchesOff;
    if (gameMode_ && settings_.motdEnabled) {
        motd_ = settings_.normalMotd;
        ++motdChanges_;
    }
    // The window whose values were in force says goodbye; one a reload took away, the main section.
    const Look look = LookOf(WindowInForceByName().value_or(kWeekly));
    Announce(look.disabledColor, look.disabledMessage, out);
    windowName_.clear();
    return true;
}

void Model::OpenWindow(int window, Outcome& out)
{
    if (!manual_) {
        if (SwitchOn(window, out)) scheduled_ = true;
        return;
    }
    // The schedule takes over a manual weekend without a second snapshot: quietly when the window
    // looks like the main section, with its own values and message otherwise.
    const Look own = LookOf(window);
    const Look main = LookOf(kWeekly);
    const bool alike =
        window == kWeekly || (own.values && main.values && *own.values == *main.values &&
                              own.weekendMotd == main.weekendMotd && own.enabledMessage == main.enabledMessage);
    if (!alike) {
        if (!Move(window, out)) return;
        ++tally_.loudTakeovers;
    } else if (replaced_ && !PutIntoNewGameMode(window, out)) {
        return;
    }
    scheduled_ = true;
    manual_ = false;
    windowName_ = own.name;
    ++tally_.adoptions;
}

std::vector<Wall> Model::Moments(Wall now, Wall limit) const
{
    // The window in force can only change at a midnight, at a time the file names on some day, or
    // at a dated window's ends.
    std::vector<int> minutes = {0, settings_.startTime, settings_.endTime};
    std::vector<Wall> moments;
    for (const Window& window : settings_.windows) {
        if (window.weekly) {
            minutes.push_back(window.from);
            minutes.push_back(window.until);
        } else if (window.start > now && window.start <= limit) {
            moments.push_back(window.start);
        }
        if (!window.weekly && window.end > now && window.end <= limit) moments.push_back(window.end);
    }
    // Weekly moments come round every week: a week past now and past each dated end is enough.
    std::vector<Wall> days = {FloorDays(now)};
    for (const Window& window : settings_.windows) {
        if (window.weekly) continue;
        for (const Wall end : {window.start, window.end}) {
            if (end > now && end <= limit) days.push_back(FloorDays(end));
        }
    }
    for (const Wall first : days) {
        for (Wall day = first; day <= first + 8 && day * kDay <= limit; ++day) {
            for (const int minute : minutes) {
                const Wall moment = day * kDay + minute * 60;
                if (moment > now && moment <= limit) moments.push_back(moment);
            }
        }
    }
    std::sort(moments.begin(), moments.end());
    moments.erase(std::unique(moments.begin(), moments.end()), moments.end());
    return moments;
}

std::optional<std::pair<Wall, std::optional<int>>> Model::NextChange(Wall now) const
{
    const std::optional<int> current = InForce(settings_, now);
    for (const Wall moment : Moments(now, std::numeric_limits<Wall>::max())) {
        const std::optional<int> window = InForce(settings_, moment);
        if (window != current) return std::make_pair(moment, window);
    }
    return std::nullopt;
}

std::vector<std::pair<int, Wall>> Model::Comings(Wall now, Wall limit) const
{
    // Walked in time order, each window's first coming into force counts.
    std::vector<std::pair<int, Wall>> comings;
    std::optional<int> current = InForce(settings_, now);
    for (const Wall moment : Moments(now, limit)) {
        const std::optional<int> window = InForce(settings_, moment);
        const bool came = std::any_of(comings.begin(), comings.end(), [&](const auto& c) { return c.first == window; });
        if (window && window != current && !came) comings.emplace_back(*window, moment);
        current = window;
    }
    return comings;
}

bool Model::Resumes(int window, Wall opening) const
{
    return window == kWeekly ? WeeklyOpen(settings_, opening - 1)
                             : WindowOpen(settings_.windows[static_cast<std::size_t>(window)], opening - 1);
}

Wall Model::Hold() const
{
    // A zone of one offset never steps back, so a clock set back is followed at once; the host's
    // clock, whose changes are not known ahead, is held for up to an hour.
    return settings_.zoneOffset ? 0 : kClockChange;
}

std::optional<Wall> Model::NextDue(Wall now) const
{
    // Instants on a clock of one offset: a wall-clock moment less the offset, never before the next second.
    const Wall offset = WallAt(instant_) - instant_;
    const auto instantOf = [&](Wall wall) { return std::max(instant_ + 1, wall - offset); };
    std::optional<Wall> due;
    const auto earlier = [&](Wall moment) { due = due ? std::min(*due, moment) : moment; };
    if (!settings_.reminders.empty()) {
        const Wall longest = Wall{*std::max_element(settings_.reminders.begin(), settings_.reminders.end())} * 60;
        earlier(instantOf(now + kLookAhead));
        const std::optional<int> inForce = InForce(settings_, now);
        for (const auto& [window, opening] : Comings(now, now + longest + kLookAhead)) {
            if (window == inForce || (window == kWeekly && manual_) || Resumes(window, opening)) continue;
            const Wall at = instantOf(opening);
            if (at - instant_ > longest) {
                earlier(at - longest);
                continue;
            }
            if (!LookOf(window).values) continue;
            for (const int lead : settings_.reminders) {
                if (at - Wall{lead} * 60 > instant_) earlier(at - Wall{lead} * 60);
            }
        }
    }
    if (const auto change = NextChange(now)) earlier(instantOf(change->first));
    return due;
}

void Model::Remind(Wall now, Wall actual, Outcome& out)
{
    if (settings_.reminders.empty()) return;
    const int longest = *std::max_element(settings_.reminders.begin(), settings_.reminders.end());
    const std::optional<int> inForce = InForce(settings_, now);
    for (auto it = reminded_.begin(); it != reminded_.end();) it = it->first.second <= now ? reminded_.erase(it) : ++it;
    for (const auto& [window, opening] : Comings(now, now + Wall{longest} * 60 + kLookAhead)) {
        // Not for the window in force, nor for the weekly window while an administrator has the
        // weekend on, nor for a window that was open all along and only comes back into force, nor
        // for a window that cannot switch on.
        if (window == inForce || (window == kWeekly && manual_) || Resumes(window, opening)) continue;
        const Look look = LookOf(window);
        if (!look.values) continue;
        // Real seconds: the clock reads actual, although the decision holds a later time.
        const Wall left = opening - actual;
        int due = 0;
        for (const int lead : settings_.reminders) {
            if (Wall{lead} * 60 >= left && (due == 0 || lead < due)) due = lead;
        }
        if (due == 0) continue;
        int& remindedWithin = reminded_[{look.name, opening}]; // 0: none yet
        if (remindedWithin != 0 && due >= remindedWithin) continue;
        remindedWithin = due;
        ++tally_.reminders;
        AnnounceReminder(look, left, out);
    }
}

void Model::AnnounceReminder(const Look& look, Wall left, Outcome& out)
{
    Ensure(out, players_.size());
    const std::string pattern =
        settings_.reminderMessage.value_or("").empty() ? std::string(kDefaultReminder) : *settings_.reminderMessage;
    const std::optional<std::string> formatted = FormatReminder(pattern, (left + 59) / 60, look.displayName);
    if (!formatted) out.warning = true;
    const std::string& text = formatted ? *formatted : pattern;
    for (std::size_t i = 0; i < players_.size(); ++i) {
        if (!players_[i].connected) continue;
        if (settings_.notification) {
            Message message;
            message.kind = MessageKind::Notification;
            message.text = text;
            message.color = look.enabledColor;
            out.inboxes[i].push_back(message);
        }
        if (settings_.chatbox) {
            Message message;
            message.kind = MessageKind::ChatLine;
            message.text = ChatLine(look.enabledColor, text);
            message.sender = settings_.serverName;
            out.inboxes[i].push_back(message);
        }
    }
}

Wall Model::Held(Wall now) const
{
    const bool times = settings_.startTime != 0 || settings_.endTime != 0 || !settings_.windows.empty();
    return times && lastDecision_ != 0 && now < lastDecision_ && lastDecision_ - now <= Hold() ? lastDecision_ : now;
}

void Model::Evaluate(Outcome& out)
{
    Wall now = WallAt(instant_);
    const Wall actual = now;
    // With times of day in play, a clock that went back by no more than its step back (the autumn
    // change) does not reopen what already closed: the decision keeps to the latest time seen.
    const bool times = settings_.startTime != 0 || settings_.endTime != 0 || !settings_.windows.empty();
    if (times) {
        if (lastDecision_ != 0 && now < lastDecision_ && lastDecision_ - now <= Hold()) {
            now = lastDecision_;
            ++tally_.heldEvaluations;
        } else {
            lastDecision_ = now;
        }
    }
    const std::optional<int> target = InForce(settings_, now);
    // A game mode rebuilt during a weekend that goes on gets its values without a second announcement.
    const bool sameWindow = scheduled_ && target && WindowInForceByName() == target;
    const bool stillManual = manual_ && !target;
    if (replaced_ && (sameWindow || stillManual)) {
        PutIntoNewGameMode(sameWindow ? *target : kWeekly, out);
    } else if (!target) {
        if (scheduled_) {
            scheduled_ = false;
            SwitchOff(out);
        }
    } else if (!scheduled_) {
        OpenWindow(*target, out);
    } else if (WindowInForceByName() != target) {
        if (Move(*target, out)) ++tally_.moves;
    }
    Remind(now, actual, out);
    nextDue_.reset();
    if (settings_.exactSwitching) nextDue_ = NextDue(now);
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
        // After a reload the next call evaluates.
        nextDue_.reset();
        if (settings_.exactSwitching) nextDue_ = instant_;
        reply = Reply(true);
    }
    if (!replyTo) return;
    out.inboxes[*replyTo].push_back(reply);
    if (file_ && file_->loads && file_->warns != false) {
        Message warnings;
        warnings.kind = MessageKind::Reply;
        warnings.warningReply = true;
        warnings.maybe = !file_->warns.has_value();
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
    rows_ = Values{};
    unreadableRow_.reset();
    windowName_.clear();
    lastDecision_ = 0;
    reminded_.clear();
    nextDue_.reset();
    waiting_.clear();
    if (!file_) {
        out.warning = true;
        out.mentions.push_back("not found");
    } else if (!file_->loads) {
        ++out.failures;
        out.mentions.push_back(file_->problem);
    } else {
        TakeFile(out);
        // With ExactSwitching the first switch or reminder may come before the first counted call.
        if (settings_.exactSwitching) nextDue_ = NextDue(WallAt(instant_));
    }
}

void Model::TakeFile(Outcome& out)
{
    settings_ = file_->settings;
    weekendValues_ = file_->weekend;
    weekendProblem_ = weekendValues_ ? std::string() : file_->problem;
    rows_ = file_->rows;
    unreadableRow_ = file_->unreadableRow;
    // Without a welcome the plug-in takes its hook out, and forgets who waits.
    if (!Welcomes()) waiting_.clear();
    // A weekend value that cannot be read is reported at the load, not hours later.
    if (!weekendValues_) {
        out.warning = true;
        out.mentions.push_back(weekendProblem_);
    }
}

void Model::Unload(Outcome& /*out*/)
{
    loaded_ = false;
    waiting_.clear();
    if (!weekendInForce_) return;
    ++tally_.unloadsDuringWeekend;
    if (gameMode_ && replaced_) {
        // The game mode in force never got the weekend values: nothing to put back.
        weekendInForce_ = replaced_ = false;
    } else if (gameMode_) {
        // The normal values go back silently, so that a later load snapshots the true ones.
        weekendInForce_ = false;
        if (settings_.motdEnabled) {
            motd_ = settings_.normalMotd;
            ++motdChanges_;
        }
    } else {
        // Nothing to write into; the game mode that comes back is a new one with the server's settings.
        normal_ = replaced_ ? normal_ : weekendFields_;
        weekendInForce_ = replaced_ = false;
    }
}

int Model::CallsUntilEvaluation() const
{
    const int threshold = firstCheckDone_ ? 600 : 30;
    const int counted = threshold - count_ + 1;
    if (!nextDue_) return counted;
    return static_cast<int>(std::min<Wall>(counted, std::max<Wall>(1, *nextDue_ - instant_)));
}

void Model::TimerCall(Outcome& out)
{
    if (!loaded_) return;
    if (!gameMode_) {
        ++tally_.uncountedCalls;
        return;
    }
    const int threshold = firstCheckDone_ ? 600 : 30;
    const int before = count_++;
    // With ExactSwitching a call also evaluates when the moment due has come.
    if (before == threshold || (nextDue_ && instant_ >= *nextDue_)) {
        firstCheckDone_ = true;
        ++tally_.evaluations;
        count_ = 0;
        Evaluate(out);
    }
    Welcome(out);
}

void Model::Join(const Player& player)
{
    players_.push_back(player);
    // Without a game mode the game hands nobody to its new-player handler.
    if (!loaded_ || !gameMode_ || !Welcomes() || !weekendInForce_) return;
    if (waitingWindow_ != windowName_) {
        // Those waiting joined into values that are no longer in force.
        waiting_.clear();
        waitingWindow_ = windowName_;
    }
    waiting_.emplace_back(players_.size() - 1, instant_ + settings_.joinDelay);
}

bool Model::Welcomes() const
{
    if (!settings_.joinMessage.value_or("").empty()) return true;
    return std::any_of(settings_.windows.begin(), settings_.windows.end(),
                       [](const Window& window) { return !window.joinMessage.value_or("").empty(); });
}

void Model::Welcome(Outcome& out)
{
    std::vector<std::size_t> due;
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        if (it->second > instant_) {
            ++it;
            continue;
        }
        due.push_back(it->first);
        it = waiting_.erase(it);
    }
    if (due.empty() || !weekendInForce_ || windowName_ != waitingWindow_) return;
    const std::optional<int> window = WindowInForceByName();
    if (!window) return;
    const Look look = LookOf(*window);
    if (look.joinMessage.empty()) return;
    // Till the next change of the window in force; an administrator's weekend has no end.
    std::string timeLeft = "until further notice";
    if (!manual_) {
        const Wall now = Held(WallAt(instant_));
        if (InForce(settings_, now) != window) return; // the next evaluation ends these values
        if (const auto change = NextChange(now)) {
            const Wall at = std::max(instant_ + 1, change->first - (WallAt(instant_) - instant_));
            timeLeft = InWords((at - instant_ + 59) / 60);
        }
    }
    const std::optional<std::string> text =
        FormatFields(look.joinMessage, {{"name", look.displayName}, {"time_left", timeLeft}});
    Ensure(out, players_.size());
    for (const std::size_t player : due) {
        if (!players_[player].connected) continue;
        ++tally_.welcomes;
        if (settings_.notification) {
            Message message;
            message.kind = MessageKind::Notification;
            message.text = text.value_or(look.joinMessage);
            message.color = look.enabledColor;
            out.inboxes[player].push_back(message);
        }
        if (settings_.chatbox) {
            Message message;
            message.kind = MessageKind::ChatLine;
            message.text = ChatLine(look.enabledColor, text.value_or(look.joinMessage));
            message.sender = settings_.serverName;
            out.inboxes[player].push_back(message);
        }
    }
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
    }
    if (who.hasCharacter && who.admin && scheduled_) {
        // The administrator is told why; the time is the model's to leave out.
        Message reply;
        reply.kind = MessageKind::Reply;
        reply.prefix = true;
        reply.text = (windowName_.empty() ? std::string("Weekend") : windowName_) + " rates are scheduled";
        reply.color = Color{1.0f, 0.5209956f, 0.0f, 1.0f};
        out.inboxes[player].push_back(reply);
    }
    if (out.refused) return;
    if (!manual_) {
        manual_ = SwitchOn(kWeekly, out);
    } else {
        manual_ = !SwitchOff(out);
    }
}

namespace {

// What players call each of the sixteen rates, in the game's order.
const char* const kRateLabels[kRows] = {"XP",
                                        "taming",
                                        "harvest amount",
                                        "resource health",
                                        "crafting XP",
                                        "fishing loot",
                                        "baby maturing",
                                        "mate boost",
                                        "mating interval",
                                        "mating speed",
                                        "egg hatching",
                                        "egg laying interval",
                                        "resource respawn period",
                                        "crate loot",
                                        "structure resistance",
                                        "structure damage"};

std::string ShortNumber(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

// "Fri 2026-12-11 00:00", and the zone's name when the config names one.
std::string WallText(Wall wall, const std::string& zone)
{
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    Wall days = FloorDays(wall);
    const Wall seconds = wall - days * kDay;
    const auto leap = [](int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; };
    int year = 1970;
    while (days >= (leap(year) ? 366 : 365)) days -= leap(year++) ? 366 : 365;
    int month = 1;
    for (;; ++month) {
        const int length = month == 2                                                ? (leap(year) ? 29 : 28)
                           : (month == 4 || month == 6 || month == 9 || month == 11) ? 30
                                                                                     : 31;
        if (days < length) break;
        days -= length;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%s %04d-%02d-%02d %02d:%02d", kDays[WeekdayOf(wall)], year, month,
                  static_cast<int>(days) + 1, static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60));
    return zone.empty() ? text : std::string(text) + " " + zone;
}

// head and the listed rates in parentheses: those that fit in a 300-character reply with room left
// for ", and 16 more).", and the count of the others.
std::string WithListed(const std::string& head, const std::vector<std::string>& listed)
{
    if (listed.empty()) return head + ".";
    std::string text = head + " (";
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const std::string next = (i == 0 ? "" : ", ") + listed[i];
        const std::size_t room = i + 1 == listed.size() ? 2 : 16;
        if (text.size() + next.size() + room > 300) {
            return text + (i == 0 ? "" : ", ") + "and " + std::to_string(listed.size() - i) + " more).";
        }
        text += next;
    }
    return text + ").";
}

} // namespace

void Model::Status(std::size_t player, const std::string& command, Outcome& out)
{
    const Wall now = WallAt(instant_);
    Ensure(out, players_.size());
    if (!loaded_ || settings_.statusCommand.empty() || !SameCommandWord(command, settings_.statusCommand)) {
        out.refused = true;
        return;
    }
    Message reply;
    reply.kind = MessageKind::Reply;
    reply.color = Color{1.0f, 1.0f, 1.0f, 1.0f};
    const std::string& zone = settings_.zoneName;
    const Wall held = Held(now);
    const auto listed = [&](const Values& values, bool againstTheGame) {
        std::vector<std::string> rates;
        for (std::size_t row = 0; row < kRows; ++row) {
            if (values[row] != 0.0f && (!againstTheGame || values[row] != normal_[row])) {
                rates.push_back(ShortNumber(values[row]) + "x " + kRateLabels[row]);
            }
        }
        return rates;
    };
    const auto until = [&](Wall from) {
        const auto change = NextChange(from);
        return change ? " until " + WallText(change->first, zone) : std::string();
    };
    // The window in force is named as it was when it came into force, whatever a reload did since.
    const std::string inForceName = windowName_.empty() ? "Weekend" : windowName_;
    const std::optional<int> byClock = InForce(settings_, held);
    if (weekendInForce_ && (replaced_ || !gameMode_)) {
        reply.text = "Normal rates are on: the game mode that held the " + inForceName +
                     " rates was replaced, and the new one holds the server's normal values; " + inForceName +
                     " rates come back at the next check of the schedule.";
    } else if (weekendInForce_) {
        // The rates that differ from the snapshot of the normal ones.
        std::string head = inForceName + " rates are on";
        if (manual_) {
            head += ", switched on by an administrator";
        } else if (!byClock || byClock != WindowInForceByName()) {
            head += " until the next check of the schedule";
        } else {
            head += until(held);
        }
        reply.text = WithListed(head, listed(written_, true));
    } else if (byClock && LookOf(*byClock).values) {
        // The rates that differ from what the game holds, or all of them without a game mode.
        reply.text = WithListed("Normal rates are on; " + LookOf(*byClock).displayName +
                                    " rates start at the next check of the schedule",
                                listed(*LookOf(*byClock).values, gameMode_));
    } else {
        // The next window that can come into force: one whose values cannot be read promises nothing.
        std::optional<std::pair<Wall, int>> next;
        Wall from = held;
        for (int step = 0; step < 64 && !next; ++step) {
            const auto change = NextChange(from);
            if (!change) break;
            if (change->second && LookOf(*change->second).values) next = std::make_pair(change->first, *change->second);
            from = change->first;
        }
        if (next) {
            const Look look = LookOf(next->second);
            reply.text = WithListed("Normal rates are on. Next: " + look.displayName + " rates from " +
                                        WallText(next->first, zone) + until(next->first),
                                    listed(*look.values, gameMode_));
        } else {
            reply.text = "Normal rates are on; no boosted rates are scheduled.";
        }
    }
    out.inboxes[player].push_back(reply);
    ++tally_.statusReplies;
}

} // namespace model

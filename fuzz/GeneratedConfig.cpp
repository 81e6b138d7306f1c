// A writer of config files driven by the fuzzer's bytes: the members in any order, with any spacing,
// numbers spelled several ways, keys with escapes, repeated keys, a byte-order mark, other sections and
// text after the object; and beside each choice what it means, worked out here from what was written.
#include "fuzz/GeneratedConfig.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <utility>

namespace fuzzing {

namespace {

// The bytes one at a time, each stirred with a digest of the whole input, so that seeds which begin
// alike, as JSON files do, still choose differently; past the end every choice is the first, the
// plainest.
class Choices {
public:
    Choices(const std::uint8_t* data, std::size_t size) : data_(data), size_(size)
    {
        for (std::size_t i = 0; i < size; ++i) state_ = (state_ ^ data[i]) * 0x100000001B3u;
    }
    unsigned Below(unsigned count)
    {
        if (position_ >= size_) return 0;
        state_ = state_ * 6364136223846793005u + data_[position_++] + 1u;
        return static_cast<unsigned>((state_ >> 33) % count);
    }
    bool OneIn(unsigned count) { return Below(count) == count - 1; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
    std::uint64_t state_ = 0xCBF29CE484222325u;
};

std::string Space(Choices& choices)
{
    static const char* const kSpaces[] = {"", " ", "\n", "\t", "\r\n    ", "  "};
    return kSpaces[choices.Below(6)];
}

// A key as a JSON string, now and then with its first letter as a \u escape.
std::string Key(Choices& choices, const std::string& key)
{
    if (key.empty() || !choices.OneIn(4)) return "\"" + key + "\"";
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(static_cast<unsigned char>(key[0])));
    return "\"" + std::string(escaped) + key.substr(1) + "\"";
}

struct Text {
    std::string json;
    std::u16string units;
};

// A short text of words, with an e-acute written as UTF-8 or as an escape.
Text SomeText(Choices& choices)
{
    static const char* const kWords[] = {"Weekend", "rates", "on", "off", "Double", "XP", "normal", "day"};
    Text text{"\"", u""};
    const unsigned words = choices.Below(4);
    for (unsigned i = 0; i < words; ++i) {
        if (i > 0) {
            text.json += ' ';
            text.units += u' ';
        }
        const std::string word = kWords[choices.Below(8)];
        text.json += word;
        text.units += std::u16string(word.begin(), word.end());
        switch (choices.Below(4)) {
        case 0:
            text.json += "\xC3\xA9";
            text.units += u'\u00E9';
            break;
        case 1:
            text.json += "\\u00e9";
            text.units += u'\u00E9';
            break;
        default:
            break;
        }
    }
    text.json += "\"";
    return text;
}

// A number whose float is exact, spelled one of several ways, and what it reads as.
std::pair<std::string, double> SomeNumber(Choices& choices)
{
    const int quarters = static_cast<int>((choices.Below(160) + 16) % 160) - 12; // -3 to 36.75, first 1
    const double value = quarters / 4.0;
    char text[40];
    switch (choices.Below(5)) {
    case 0:
        std::snprintf(text, sizeof text, "%d", quarters / 4);
        return {text, static_cast<double>(quarters / 4)};
    case 1:
        std::snprintf(text, sizeof text, "%.2f", value);
        break;
    case 2:
        std::snprintf(text, sizeof text, "%de-2", quarters * 25);
        break;
    case 3:
        std::snprintf(text, sizeof text, "%.4fE1", value / 10.0);
        break;
    default:
        std::snprintf(text, sizeof text, "%.6e", value);
        break;
    }
    return {text, value};
}

struct Member {
    std::string key;
    std::string value;
};

} // namespace

GeneratedConfig GenerateConfig(const std::vector<std::string>& rows, const std::vector<bool>& wholeRows,
                               const std::uint8_t* data, std::size_t size)
{
    Choices choices(data, size);
    GeneratedConfig config;
    std::vector<Member> members;
    std::vector<Member> repeats;
    const auto flag = [&](const char* key, bool& written) {
        written = choices.OneIn(2);
        members.push_back({key, written ? "true" : "false"});
    };
    const auto text = [&](const char* key, std::u16string* written) {
        Text value = SomeText(choices);
        if (written != nullptr) *written = value.units;
        members.push_back({key, value.json});
    };
    const auto colour = [&](const char* key) {
        std::string value = "[";
        for (int i = 0; i < 4; ++i) value += (i > 0 ? ", " : "") + std::to_string(choices.Below(5) / 4.0);
        members.push_back({key, value + "]"});
    };

    text("ServerName", nullptr);
    flag("Notification", config.notification);
    flag("Chatbox", config.chatbox);
    colour("QuorvandelleEnabledRGB");
    text("QuorvandelleEnabledMessage", nullptr);
    colour("QuorvandelleDisabledRGB");
    text("QuorvandelleDisabledMessage", nullptr);
    flag("MOTDChangeEnabled", config.motdChange);
    text("WeekendMOTD", &config.weekendMotd);
    text("NormalMOTD", &config.normalMotd);
    members.push_back({"StartDay", std::to_string(choices.Below(7))});
    members.push_back({"EndDay", std::to_string(choices.Below(7))});

    // Now and then one setting the file needs goes wrong, and the file is refused.
    if (choices.OneIn(8)) {
        Member& broken = members[choices.Below(static_cast<unsigned>(members.size()))];
        static const char* const kWrong[] = {"null", "[1]", "{}", "\"5\"", "1"};
        const std::string wrong = kWrong[choices.Below(5)];
        // A flag written as 1 is wrong, a number written as 1 is not: those never count as broken.
        const bool number = broken.key == "StartDay" || broken.key == "EndDay";
        if (!(wrong == "1" && number) && !(wrong == "\"5\"" && broken.value.front() == '"')) {
            broken.value = wrong;
            config.loads = false;
        }
    }

    for (std::size_t row = 0; row < rows.size(); ++row) {
        WrittenValue written;
        std::string value;
        // Mostly readable, so that a good share of the files switch on.
        switch (choices.Below(32)) {
        default: {
            const auto [spelled, number] = SomeNumber(choices);
            value = spelled;
            // Whole numbers are cut toward zero.
            written.value = static_cast<float>(wholeRows[row] ? std::trunc(number) : number);
            break;
        }
        case 28:
        case 29:
            value = choices.OneIn(2) ? "true" : "false";
            written.value = value == "true" ? 1.0f : 0.0f;
            break;
        case 30: {
            static const char* const kUnreadable[] = {"\"2\"", "null", "[2]", "{\"value\": 2}"};
            value = kUnreadable[choices.Below(4)];
            written.readable = false;
            break;
        }
        case 31: // left out: the two whole-number rows may be, the others are needed
            written.readable = wholeRows[row];
            break;
        }
        if (!value.empty()) {
            members.push_back({rows[row], value});
            // A second member of the same name changes nothing: the first one counts.
            if (choices.OneIn(6)) repeats.push_back({rows[row], choices.OneIn(2) ? "\"again\"" : "99"});
        }
        config.rows.push_back(written);
    }

    // The members in an order of the bytes' choosing, each repeat somewhere after its first.
    for (std::size_t i = members.size(); i > 1; --i) std::swap(members[i - 1], members[choices.Below(unsigned(i))]);
    for (const Member& repeat : repeats) {
        std::size_t first = 0;
        while (members[first].key != repeat.key) ++first;
        const auto after = static_cast<unsigned>(members.size() - first);
        members.insert(members.begin() + static_cast<std::ptrdiff_t>(first + 1 + choices.Below(after)), repeat);
    }

    std::string section = "{";
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (i > 0) section += ",";
        section += Space(choices) + Key(choices, members[i].key) + Space(choices) + ":" + Space(choices) +
                   members[i].value + Space(choices);
    }
    section += "}";

    if (choices.OneIn(4)) config.text += "\xEF\xBB\xBF";
    config.text += "{" + Space(choices);
    if (choices.OneIn(4)) config.text += "\"Other\": {\"XPMultiplier\": 50}," + Space(choices);
    config.text += Key(choices, "Quorvandelle") + ":" + Space(choices) + section;
    // A second section of the same name is ignored.
    if (choices.OneIn(4)) config.text += ",\"Quorvandelle\": {\"XPMultiplier\": 70}";
    config.text += Space(choices) + "}";
    if (choices.OneIn(4)) config.text += "\nText after the object is ignored {";
    return config;
}

} // namespace fuzzing

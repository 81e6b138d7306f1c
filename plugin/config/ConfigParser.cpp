// A document builder for the JSON library's event parser. The library's own builder keeps the
// last of two equal member names; the file format keeps the first, so a repeated member's whole
// value is skipped here instead. The parser reads the text through a counting iterator, which
// tells the builder how far the parser has read at each event: a value starts at the first byte
// after the previous event that is not white space or a separator.
#include "plugin/config/ConfigParser.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "plugin/config/Config.h"
#include "plugin/config/SyntaxHints.h"

namespace qv {

namespace {

using json = nlohmann::json;

// Values nested deeper than this below the top level get no place of their own; a problem in one
// is placed at its nearest placed ancestor. Paths stay short, so placing stays linear in the text.
constexpr std::size_t kPlacedDepth = 6;
// A syntax error names at most this many levels of its member's path.
constexpr std::size_t kNamedDepth = 12;
// A config nests a few levels; thousands would cost memory and time for every level and say nothing.
constexpr std::size_t kMostDepth = 64;

class CountingReader {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    CountingReader(const char* at, std::size_t* read) : at_(at), read_(read) {}
    reference operator*() const { return *at_; }
    CountingReader& operator++()
    {
        ++at_;
        ++*read_;
        return *this;
    }
    bool operator==(const CountingReader& other) const { return at_ == other.at_; }
    bool operator!=(const CountingReader& other) const { return at_ != other.at_; }

private:
    const char* at_;
    std::size_t* read_;
};

// Whether a member of the section has values inside it that problems may name (a colour's
// components, the schedules' members): only the settings' own members do. A file's stray members
// get a place each, not their insides, so that placing stays cheap for any file.
bool HasPlacedInsides(std::string_view key)
{
    return std::any_of(SettingsTable.begin(), SettingsTable.end(),
                       [&](const SettingRow& row) { return key == row.Key; });
}

class DocumentBuilder {
public:
    DocumentBuilder(std::string_view text, const std::size_t& read) : Places(text), text_(text), read_(read) {}

    json Root;
    ConfigPlaces Places;
    std::optional<ConfigProblem> Error;

    bool null() { return Value(json(nullptr)); }
    bool boolean(bool value) { return Value(json(value)); }
    bool number_integer(json::number_integer_t value) { return Number(json(value)); }
    bool number_unsigned(json::number_unsigned_t value) { return Number(json(value)); }
    bool number_float(json::number_float_t value, const std::string&) { return Number(json(value)); }
    // A copy, as the library's own builder makes: the parser keeps its buffer for the next text.
    bool string(std::string& value) { return Value(json(value)); }
    bool binary(json::binary_t& value) { return Value(json(std::move(value))); }
    bool start_object(std::size_t) { return Open(json::object()); }
    bool start_array(std::size_t) { return Open(json::array()); }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }

    bool key(std::string& name)
    {
        Frame& object = open_.back();
        object.InValue = true;
        lastRead_ = read_;
        last_ = {ReadLast::MemberName, read_};
        if (object.Container == nullptr) {
            object.DroppedKey = name;
            object.Key = &object.DroppedKey;
            return true;
        }
        // The member's slot is made now, with one lookup; a repeated member finds the first one's,
        // and its value goes, whatever it holds.
        const auto [member, added] = object.Container->get_ref<json::object_t&>().emplace(name, nullptr);
        if (!added) skipNext_ = true;
        object.Key = &member->first;
        object.Slot = &member->second;
        return true;
    }

    bool parse_error(std::size_t position, const std::string& lastToken, const nlohmann::detail::exception& error)
    {
        std::string description = Description(error);
        // The library quotes the token it stopped in, which can be the rest of the file.
        if (const auto token = description.rfind(lastToken);
            lastToken.size() > kMostQuoted && token != std::string::npos) {
            description.replace(token, lastToken.size(), Excerpt(lastToken));
        }
        const bool inObject = !open_.empty() && !open_.back().IsArray;
        if (const auto cause = LikelySyntaxCause(text_, last_.End, last_.What, inObject)) {
            description = *cause + " (" + description + ")";
        }
        Error =
            ConfigProblem{ProblemKind::Syntax, ErrorMember(), std::move(description), PositionAfter(text_, position)};
        return false;
    }

private:
    struct Frame {
        json* Container = nullptr; // null inside a repeated member's value, which is dropped
        bool IsArray = false;
        std::size_t Count = 0;            // values begun in it so far
        bool Placed = false;              // its values get places
        std::string Path;                 // its own path, kept while Placed
        const std::string* Key = nullptr; // objects: the member last named
        json* Slot = nullptr;             // objects: where that member's value goes
        bool InValue = false;             // objects: between a member's name and the end of its value
        std::string DroppedKey;           // the name, inside a dropped value, which has no slot
    };

    std::string_view text_;
    const std::size_t& read_;
    std::vector<Frame> open_;
    bool skipNext_ = false;
    std::size_t lastRead_ = 0;
    // The last token taken whole and the byte after it, for the likely cause of a syntax error.
    struct LastToken {
        ReadLast What = ReadLast::Nothing;
        std::size_t End = 0;
    } last_;

    static std::string Description(const nlohmann::detail::exception& error)
    {
        // "[json.exception.parse_error.101] parse error at line 1, column 2: syntax error ...": the
        // library's id and its own count of the place go; the place comes from the byte offset.
        std::string text = error.what();
        if (const auto end = text.find("] "); text.rfind("[json.exception.", 0) == 0 && end != std::string::npos) {
            text.erase(0, end + 2);
        }
        if (const auto colon = text.find(": "); text.rfind("parse error", 0) == 0 && colon != std::string::npos) {
            text.erase(0, colon + 2);
        }
        return text;
    }

    static bool IsSpaceOrSeparator(char c)
    {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ',' || c == ':';
    }

    // Where the value that the parser has just read starts, as the bytes read up to its first:
    // past a byte-order mark, white space and separators read since the last event.
    std::size_t ValueRead() const
    {
        std::size_t at = lastRead_;
        if (at == 0 && text_.substr(0, 3) == "\xEF\xBB\xBF") at = 3;
        while (at < text_.size() && IsSpaceOrSeparator(text_[at])) ++at;
        return at + 1;
    }

    // Notes where the value about to go into the innermost container starts, when it gets a place,
    // and gives its path when the values inside it (a container) get places too. A member of the
    // section is noted by its name alone, so a file of many members builds no path for each.
    std::optional<std::string> Place(bool container)
    {
        if (open_.empty()) {
            Places.Add("", ValueRead());
            return std::string();
        }
        const Frame& parent = open_.back();
        if (!parent.Placed || open_.size() > kPlacedDepth) return std::nullopt;
        if (open_.size() == 1) {
            if (*parent.Key != kSectionName) return std::nullopt;
            Places.Add(kSectionName, ValueRead());
            return std::string(kSectionName);
        }
        if (open_.size() == 2 && !parent.IsArray) {
            Places.AddSectionMember(parent.Key, ValueRead());
            if (!container || !HasPlacedInsides(*parent.Key)) return std::nullopt;
            return parent.Path + "." + *parent.Key;
        }
        std::string path =
            parent.IsArray ? parent.Path + "[" + std::to_string(parent.Count) + "]" : parent.Path + "." + *parent.Key;
        Places.Add(path, ValueRead());
        return path;
    }

    // Whether the value about to begin is dropped: it is a repeated member's, or inside one.
    bool Dropped()
    {
        const bool insideDropped = !open_.empty() && open_.back().Container == nullptr;
        return insideDropped || std::exchange(skipNext_, false);
    }

    json* Insert(json&& value)
    {
        if (open_.empty()) {
            Root = std::move(value);
            return &Root;
        }
        Frame& parent = open_.back();
        if (parent.IsArray) {
            parent.Container->push_back(std::move(value));
            return &parent.Container->back();
        }
        *parent.Slot = std::move(value);
        return parent.Slot;
    }

    // The parser reads one byte past a number to see where it ends.
    bool Number(json&& value)
    {
        const bool peeked = read_ > 0 && read_ <= text_.size() && !IsNumberByte(text_[read_ - 1]);
        Value(std::move(value));
        if (peeked) --last_.End;
        return true;
    }

    static bool IsNumberByte(char c)
    {
        return (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
    }

    bool Value(json&& value)
    {
        if (!Dropped()) {
            Place(false);
            Insert(std::move(value));
        }
        if (!open_.empty()) {
            ++open_.back().Count;
            open_.back().InValue = false;
        }
        lastRead_ = read_;
        last_ = {ReadLast::Value, read_};
        return true;
    }

    bool Open(json&& container)
    {
        if (open_.size() >= kMostDepth) {
            Error = ConfigProblem{ProblemKind::Syntax, ErrorMember(),
                                  "values nested deeper than " + std::to_string(kMostDepth) + " levels",
                                  PositionAfter(text_, ValueRead())};
            return false;
        }
        Frame frame;
        frame.IsArray = container.is_array();
        if (!Dropped()) {
            // Within the top level only the section is placed, and within the section only the
            // insides of the settings' own members.
            const bool root = open_.empty();
            if (auto path = Place(true)) {
                frame.Placed = !(root && frame.IsArray);
                frame.Path = std::move(*path);
            }
            frame.Container = Insert(std::move(container));
        }
        if (!open_.empty()) ++open_.back().Count;
        open_.push_back(std::move(frame));
        lastRead_ = read_;
        last_ = {ReadLast::Opening, read_};
        return true;
    }

    bool Close()
    {
        open_.pop_back();
        if (!open_.empty()) open_.back().InValue = false;
        lastRead_ = read_;
        last_ = {ReadLast::Value, read_};
        return true;
    }

    // The innermost member the parser was in when it stopped: the member whose value it was
    // reading, or the object or array it was between the values of.
    std::string ErrorMember() const
    {
        std::string path;
        for (std::size_t depth = 0; depth < open_.size() && depth < kNamedDepth; ++depth) {
            const Frame& frame = open_[depth];
            const bool innermost = depth + 1 == open_.size();
            if (frame.IsArray) {
                if (innermost) break;
                path += "[" + std::to_string(frame.Count - 1) + "]";
            } else {
                if (innermost && !frame.InValue) break;
                path += (path.empty() ? "" : ".") + *frame.Key;
            }
        }
        return path;
    }
};

} // namespace

ParsedConfig ParseConfig(std::string_view text)
{
    std::size_t read = 0;
    DocumentBuilder builder(text, read);
    json::sax_parse(CountingReader(text.data(), &read), CountingReader(text.data() + text.size(), &read), &builder,
                    json::input_format_t::json, /*strict=*/false);
    ParsedConfig parsed{{}, ConfigPlaces(text), {}};
    if (builder.Error) {
        parsed.Error = std::move(builder.Error);
        return parsed;
    }
    parsed.Document = std::move(builder.Root);
    parsed.Places = std::move(builder.Places);
    return parsed;
}

} // namespace qv

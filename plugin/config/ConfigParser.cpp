// A document builder for the JSON library's event parser. The library's own builder keeps the
// last of two equal member names; the file format keeps the first, so a repeated member's whole
// value is skipped here instead.
#include "plugin/config/ConfigParser.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using json = nlohmann::json;

class FirstMemberWins {
public:
    json Root;

    bool null() { return Add(json(nullptr)); }
    bool boolean(bool value) { return Add(json(value)); }
    bool number_integer(json::number_integer_t value) { return Add(json(value)); }
    bool number_unsigned(json::number_unsigned_t value) { return Add(json(value)); }
    bool number_float(json::number_float_t value, const std::string&) { return Add(json(value)); }
    bool string(std::string& value) { return Add(json(std::move(value))); }
    bool binary(json::binary_t& value) { return Add(json(std::move(value))); }
    bool start_object(std::size_t) { return Open(json::object()); }
    bool start_array(std::size_t) { return Open(json::array()); }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }

    bool key(std::string& name)
    {
        if (skipDepth_ > 0) return true;
        if (open_.back()->contains(name)) {
            skippingValue_ = true;
        } else {
            pendingKey_ = std::move(name);
        }
        return true;
    }

    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& error)
    {
        // The library's text is "[json.exception.parse_error.101] parse error at line L, column C: ...".
        std::string text = error.what();
        if (const auto end = text.find("] "); text.rfind("[json.exception.", 0) == 0 && end != std::string::npos) {
            text.erase(0, end + 2);
        }
        // A number too large for a double ("number overflow parsing '1e400'") comes without its place.
        if (text.rfind("parse error at line ", 0) != 0) throw UnplacedError(text, position);
        throw std::runtime_error(text);
    }

    struct UnplacedError : std::runtime_error {
        UnplacedError(const std::string& text, std::size_t position) : std::runtime_error(text), Position(position) {}
        std::size_t Position; // characters read when the parser stopped
    };

private:
    std::vector<json*> open_;
    std::string pendingKey_;
    bool skippingValue_ = false;
    int skipDepth_ = 0;

    json* Insert(json&& value)
    {
        if (open_.empty()) {
            Root = std::move(value);
            return &Root;
        }
        json& container = *open_.back();
        if (container.is_array()) {
            container.push_back(std::move(value));
            return &container.back();
        }
        return &container.emplace(std::move(pendingKey_), std::move(value)).first.value();
    }

    bool Add(json&& value)
    {
        if (skipDepth_ > 0) return true;
        if (skippingValue_) {
            skippingValue_ = false;
            return true;
        }
        Insert(std::move(value));
        return true;
    }

    bool Open(json&& container)
    {
        if (skipDepth_ > 0 || skippingValue_) {
            skippingValue_ = false;
            ++skipDepth_;
            return true;
        }
        open_.push_back(Insert(std::move(container)));
        return true;
    }

    bool Close()
    {
        if (skipDepth_ > 0) {
            --skipDepth_;
            return true;
        }
        open_.pop_back();
        return true;
    }
};

// Where the parser stopped, counted as the library counts for its own errors: lines from 1, and
// the characters read on the last line.
std::string LineAndColumn(std::istream& input, std::istream::pos_type start, std::size_t position)
{
    input.clear();
    if (start == std::istream::pos_type(-1) || !input.seekg(start)) return "character " + std::to_string(position);
    std::size_t line = 1;
    std::size_t column = 0;
    for (std::size_t i = 0; i < position && input.peek() != std::istream::traits_type::eof(); ++i) {
        if (input.get() == '\n') {
            ++line;
            column = 0;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

} // namespace

nlohmann::json ParseConfig(std::istream& input)
{
    FirstMemberWins builder;
    const std::istream::pos_type start = input.tellg();
    try {
        json::sax_parse(input, &builder, json::input_format_t::json, /*strict=*/false);
    } catch (const FirstMemberWins::UnplacedError& error) {
        throw std::runtime_error("parse error at " + LineAndColumn(input, start, error.Position) + ": " + error.what());
    }
    return std::move(builder.Root);
}

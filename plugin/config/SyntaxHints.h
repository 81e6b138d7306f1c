// The likely cause of a JSON syntax error, in the words of somebody editing the file by hand: a
// missing comma, a comma after the last value, a member name or text without double quotes, single
// quotes, a comment.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// What the parser had read last before it stopped.
enum class ReadLast {
    Nothing, // the text's start
    Opening, // a "{" or "["
    MemberName,
    Value, // a whole value
};

// The cause the text shows after the parser's last complete token, which ends at byte end, or
// nothing when it shows none of the common ones. inObject: the parser stopped inside an object.
std::optional<std::string> LikelySyntaxCause(std::string_view text, std::size_t end, ReadLast last, bool inObject);

} // namespace qv

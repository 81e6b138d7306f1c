// Parsing config text into a document: a leading byte-order mark is skipped, only the first JSON
// value is read (whatever follows is ignored), and a repeated member keeps its first occurrence.
#pragma once

#include <istream>

#include <nlohmann/json.hpp>

// Throws std::runtime_error naming the line and column of a syntax error or of a number too large
// for a double.
nlohmann::json ParseConfig(std::istream& input);

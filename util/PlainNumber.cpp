// %g first, so that the numbers people set (2, 1.5, 0.5) read as they always have.
#include "util/PlainNumber.h"

#include <cstdio>

namespace util {

std::string PlainNumber(double value)
{
    // The largest float has 39 whole digits; a double may have 309.
    char text[400];
    std::snprintf(text, sizeof text, "%g", value);
    std::string plain(text);
    if (plain.find('e') == std::string::npos) return plain;
    std::snprintf(text, sizeof text, "%.6f", value);
    plain = text;
    while (plain.back() == '0') plain.pop_back();
    if (plain.back() == '.') plain.pop_back();
    return plain == "-0" ? "0" : plain;
}

} // namespace util

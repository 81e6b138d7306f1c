// Numbers as people read them in a chat line: never in exponent notation.
#pragma once

#include <string>

namespace util {

// Six significant digits as printf's %g gives them ("2", "1.5", "0.333333"), but a number %g would
// write with an exponent in plain decimals instead: whole digits for a large one ("3000000"), at
// most six places after the point for a small one, trailing zeros dropped ("0.000012", "0").
std::string PlainNumber(double value);

} // namespace util

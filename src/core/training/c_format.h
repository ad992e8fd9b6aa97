// printf-style formatting and decimal reading that always use "." as the decimal point, whatever
// locale the process runs in (the GUI runs under the user's locale, the files never do).
#pragma once

#include <cstddef>
#include <string>

namespace axolite::training {

// One value formatted with a printf format that takes exactly one double ("%g ", "  %6.3g%").
std::string formatNumber(const char* format, double value);

// Converts the longest prefix of text that the scanf conversion "%f" accepts (leading white space
// skipped) to single precision, in the "C" locale. Returns the number of characters used, 0 when
// the text does not start with a number.
std::size_t parseFloatPrefix(const char* text, float& value);

// The same in double precision (the conversion of "%lf").
std::size_t parseDoublePrefix(const char* text, double& value);

} // namespace axolite::training

// Numbers as text and text as numbers, independent of the locale (the GUI runs under the user's
// locale, the files never do). The shortest text of a value: the shortest text that reads back as
// the same double (0.05, not 0.050000000000000003); "inf", "-inf" and "nan" for the others.
#pragma once

#include <cstddef>
#include <string>

namespace axolite {

std::string shortestNumberText(double value);

// Appends the shortest text of the value.
void appendShortestNumberText(double value, std::string& out);

// One value formatted with a printf format that takes exactly one double ("%g ", "  %6.3g%").
std::string formatNumber(const char* format, double value);

// Converts the longest prefix of text that the scanf conversion "%f" accepts (leading white space
// skipped) to single precision, in the "C" locale. Returns the number of characters used, 0 when
// the text does not start with a number.
std::size_t parseFloatPrefix(const char* text, float& value);

// The same in double precision (the conversion of "%lf").
std::size_t parseDoublePrefix(const char* text, double& value);

} // namespace axolite

// Numbers as text and text as numbers, independent of the locale: the desktop program runs under
// the user's locale (a Russian one wants a decimal comma), while descriptions, pattern files,
// reports and messages always use the decimal point. Every number text of the engine and the
// command-line tool is made and read here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace axolite {

// The shortest text that reads back as the same double (0.05, not 0.050000000000000003); "inf",
// "-inf" and "nan" for the others.
std::string shortestNumberText(double value);

// Appends the shortest text of the value.
void appendShortestNumberText(double value, std::string& out);

// One value formatted with a printf format that takes exactly one double ("%g ", "  %6.3g%"), in
// the "C" locale.
std::string formatNumber(const char* format, double value);

// Appends the formatted value.
void appendFormattedNumber(const char* format, double value, std::string& out);

// "%.17g", which reads back as the same double; "nan" for every not-a-number, whatever its sign.
std::string exactNumberText(double value);

// Converts the longest prefix of text that the scanf conversion "%f" accepts (leading white space
// skipped) to single precision, in the "C" locale. Returns the number of characters used, 0 when
// the text does not start with a number.
std::size_t parseFloatPrefix(const char* text, float& value);

// The same in double precision (the conversion of "%lf").
std::size_t parseDoublePrefix(const char* text, double& value);

// Length of the decimal number at the start of text: digits with at most one decimal point (at
// least one digit in all), optionally followed by "e" or "E", an optional sign and at least one
// digit. 0 when the text does not start with such a number. No sign, no blank, no hexadecimal.
std::size_t scanDecimalNumber(std::string_view text);

// The value of a text accepted whole by scanDecimalNumber, correctly rounded. A magnitude too
// large for a double gives infinity, one too small gives zero.
double decimalValue(std::string_view number);

// The leading numeric part of a text, read as a field is read: leading white space is skipped,
// then an optional sign and a decimal number; the reading stops at the first character that does
// not continue the number. A text without a leading number reads as 0.
double readLeadingNumber(std::string_view text);

} // namespace axolite

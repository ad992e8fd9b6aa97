// Decimal numbers as the reference tools read them: the number syntax of the formulas and the
// leading-number reading of the Runge-Kutta fields. Independent of the process locale.
#pragma once

#include <cstddef>
#include <string_view>

namespace axolite::reference {

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

} // namespace axolite::reference

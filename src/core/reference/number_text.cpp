// Decimal numbers of the formulas and of the Runge-Kutta fields.
#include "core/reference/number_text.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace axolite::reference {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isExponentLetter(char c) {
    return c == 'e' || c == 'E';
}

// Whether an out-of-range number is too large (rather than too small) for a double: the decimal
// position of its first significant digit plus its exponent decides, since out-of-range numbers
// lie hundreds of decades away from 1.
bool overflows(std::string_view number) {
    std::int64_t position = 0; // digits before the point, or minus the zeros after it
    bool seenPoint = false;
    bool seenSignificant = false;
    std::size_t i = 0;
    for (; i < number.size() && !isExponentLetter(number[i]); ++i) {
        const char c = number[i];
        if (c == '.') {
            seenPoint = true;
        } else if (!seenSignificant && c == '0') {
            if (seenPoint) {
                --position;
            }
        } else {
            seenSignificant = true;
            if (!seenPoint) {
                ++position;
            }
        }
    }
    std::int64_t exponent = 0;
    bool negative = false;
    if (i < number.size()) {
        ++i;
        if (i < number.size() && (number[i] == '+' || number[i] == '-')) {
            negative = number[i] == '-';
            ++i;
        }
        for (; i < number.size(); ++i) {
            if (exponent < 1'000'000'000) {
                exponent = exponent * 10 + (number[i] - '0');
            }
        }
    }
    return position + (negative ? -exponent : exponent) > 0;
}

} // namespace

std::size_t scanDecimalNumber(std::string_view text) {
    std::size_t i = 0;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (i < text.size() && isExponentLetter(text[i])) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) {
                ++j;
            }
            i = j;
        }
    }
    return i;
}

double decimalValue(std::string_view number) {
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                        std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        return overflows(number) ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return value;
}

double readLeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::string_view rest = text.substr(i);
    const std::size_t length = scanDecimalNumber(rest);
    if (length == 0) {
        return 0.0;
    }
    const double value = decimalValue(rest.substr(0, length));
    return negative ? -value : value;
}

} // namespace axolite::reference

// The shortest round-trip text of a double, by the standard library's conversion (which never
// looks at the locale); printf formats and decimal reading under a "C" locale of their own; the
// decimal numbers of the formulas and fields by a scanner of our own and std::from_chars.
#include "core/common/number_text.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace axolite {

void appendShortestNumberText(double value, std::string& out) {
    if (std::isnan(value)) {
        out += "nan";
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

std::string shortestNumberText(double value) {
    std::string text;
    appendShortestNumberText(value, text);
    return text;
}

namespace {

locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

// Switches the calling thread to the "C" locale for the lifetime of the object.
class CLocaleScope {
public:
    CLocaleScope() : previous_(uselocale(cLocale())) {}
    ~CLocaleScope() { uselocale(previous_); }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t previous_;
};

} // namespace

void appendFormattedNumber(const char* format, double value, std::string& out) {
    CLocaleScope scope;
    char buffer[64];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int length = std::snprintf(buffer, sizeof buffer, format, value);
    if (length <= 0) {
        return;
    }
    if (length < static_cast<int>(sizeof buffer)) {
        out.append(buffer, static_cast<std::size_t>(length));
        return;
    }
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(length) + 1);
    std::snprintf(out.data() + start, static_cast<std::size_t>(length) + 1, format, value);
#pragma GCC diagnostic pop
    out.resize(start + static_cast<std::size_t>(length));
}

std::string formatNumber(const char* format, double value) {
    std::string text;
    appendFormattedNumber(format, value, text);
    return text;
}

std::string exactNumberText(double value) {
    return std::isnan(value) ? std::string("nan") : formatNumber("%.17g", value);
}

std::size_t parseFloatPrefix(const char* text, float& value) {
    char* end = nullptr;
    const float parsed = strtof_l(text, &end, cLocale());
    if (end == text) {
        return 0;
    }
    value = parsed;
    return static_cast<std::size_t>(end - text);
}

std::size_t parseDoublePrefix(const char* text, double& value) {
    char* end = nullptr;
    const double parsed = strtod_l(text, &end, cLocale());
    if (end == text) {
        return 0;
    }
    value = parsed;
    return static_cast<std::size_t>(end - text);
}

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

} // namespace axolite

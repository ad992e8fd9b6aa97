// The shortest round-trip text of a double, by the standard library's conversion (which never
// looks at the locale); printf formats and decimal reading under a "C" locale of their own.
#include "core/common/number_text.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

std::string formatNumber(const char* format, double value) {
    CLocaleScope scope;
    char buffer[64];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    int length = std::snprintf(buffer, sizeof buffer, format, value);
    if (length >= static_cast<int>(sizeof buffer)) {
        std::string wide(static_cast<std::size_t>(length) + 1, '\0');
        std::snprintf(wide.data(), wide.size(), format, value);
        wide.resize(static_cast<std::size_t>(length));
        return wide;
    }
#pragma GCC diagnostic pop
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
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

} // namespace axolite

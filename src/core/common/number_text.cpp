// The shortest round-trip text of a double, by the standard library's conversion (which never
// looks at the locale).
#include "common/number_text.h"

#include <charconv>
#include <cmath>

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

} // namespace axolite

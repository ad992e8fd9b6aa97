// Numbers in the output of axolite-cli: "%.17g" text, and JSON numbers that may be infinite or
// no number (JSON has neither: they are written as the strings "inf", "-inf", "nan").
#pragma once

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

namespace axolite::cli {

// "%.17g", which reads back to the same double; "inf", "-inf", "nan" for the others.
inline std::string exactNumberText(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

inline nlohmann::ordered_json jsonNumber(double value) {
    if (std::isfinite(value)) {
        return value;
    }
    return exactNumberText(value);
}

// null when there is no value.
inline nlohmann::ordered_json jsonNumber(const std::optional<double>& value) {
    return value ? jsonNumber(*value) : nlohmann::ordered_json(nullptr);
}

} // namespace axolite::cli

// JSON numbers in the output of axolite-cli, which may be infinite or no number (JSON has neither:
// they are written as the strings "inf", "-inf", "nan").
#pragma once

#include "core/common/number_text.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <optional>
#include <string>

namespace axolite::cli {

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

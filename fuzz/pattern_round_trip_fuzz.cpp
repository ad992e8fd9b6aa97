// Pattern files written and read back: any finite doubles written by the writers' formatting
// ("%g " each) are read back by the reader as the single-precision values of the numbers written,
// all of them, with no warning.
#include "core/training/pattern_file.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace axolite::training;
    std::vector<double> values;
    for (std::size_t at = 0; at + sizeof(double) <= size && values.size() < 512;
         at += sizeof(double)) {
        double value = 0.0;
        std::memcpy(&value, data + at, sizeof value);
        if (std::isfinite(value)) {
            values.push_back(value);
        }
    }
    if (values.empty()) {
        return 0;
    }
    const std::string text = formatPatternValues(values);
    const auto read = readPatternText(text, static_cast<int>(values.size()), 1, PatternRole::Input);
    if (read.warning || read.table.values.size() != values.size()) {
        __builtin_trap();
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        char written[64];
        std::snprintf(written, sizeof written, "%g", values[i]);
        const float expected = std::strtof(written, nullptr);
        const float got = read.table.values[i];
        if (std::memcmp(&expected, &got, sizeof got) != 0) {
            __builtin_trap();
        }
    }
    return 0;
}

// Feeds any bytes to the pattern-file reader: the first two bytes choose the pattern count and
// width, the rest is the file's text.
#include "core/training/pattern_file.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const int patterns = data[0] % 64;
    const int width = data[1] % 19;
    const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    const auto role = (data[0] & 0x80) != 0 ? axolite::training::PatternRole::Target
                                            : axolite::training::PatternRole::Input;
    const auto result = axolite::training::readPatternText(text, patterns, width, role);
    if (result.table.values.size() !=
        static_cast<std::size_t>(result.table.patterns) * static_cast<std::size_t>(width)) {
        __builtin_trap();
    }
    return 0;
}

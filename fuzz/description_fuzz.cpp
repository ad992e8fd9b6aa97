// Any bytes as a description file: decoded, lexed and checked as the check command does.
#include "core/language/checker.h"
#include "core/language/description_text.h"
#include "core/language/lexer.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace axolite::language;
    const DescriptionText text =
        decodeDescription(std::string_view(reinterpret_cast<const char*>(data), size));
    NetworkRecord record;
    if (!lexDescription(text, record)) {
        const CheckResult result = checkDescription(record);
        if (result.errors() < 0 || result.warnings() < 0 || result.neurons > kMaxNeurons ||
            (result.correct && (result.abandoned || result.unrecognised)) ||
            (result.abandoned && result.errors() != kAbandonAtError)) {
            __builtin_trap();
        }
    }
    return 0;
}

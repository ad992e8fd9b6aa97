// Reading a description file: choosing its encoding and splitting it into lines.
#include "language/description_text.h"

#include "platform/text_encoding.h"

#include <fstream>
#include <iterator>

namespace axolite::language {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Splits on '\n'; a '\r' right before it belongs to the line break.
template <typename Convert>
std::vector<std::string> splitLines(std::string_view text, Convert convert) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines.push_back(convert(text.substr(start)));
            break;
        }
        std::size_t lineEnd = end;
        if (lineEnd > start && text[lineEnd - 1] == '\r') {
            --lineEnd;
        }
        lines.push_back(convert(text.substr(start, lineEnd - start)));
        start = end + 1;
    }
    return lines;
}

bool isAscii(std::string_view bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace

DescriptionText decodeDescription(std::string_view fileBytes) {
    DescriptionText text;
    if (platform::isValidUtf8(fileBytes)) {
        text.encoding = TextEncoding::Utf8;
        if (fileBytes.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) {
            fileBytes.remove_prefix(kUtf8ByteOrderMark.size());
        }
        text.lines = splitLines(fileBytes, [](std::string_view line) {
            return isAscii(line) ? std::string(line) : platform::utf8ToCp1251(line);
        });
    } else {
        text.encoding = TextEncoding::Cp1251;
        text.lines = splitLines(fileBytes, [](std::string_view line) { return std::string(line); });
    }
    return text;
}

std::optional<DescriptionText> readDescriptionFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        return std::nullopt;
    }
    return decodeDescription(bytes);
}

} // namespace axolite::language

// Reading a description file: choosing its encoding and splitting it into lines.
#include "core/language/description_text.h"

#include "core/platform/text_encoding.h"

#include <algorithm>
#include <fstream>

namespace axolite::language {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Appends the lines of text, split on '\n' (a '\r' right before it belongs to the line break),
// each converted, joined by '\n'.
template <typename Convert>
void appendLines(std::string_view text, std::string& joined, Convert convert) {
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            convert(text.substr(start), joined);
            break;
        }
        std::size_t lineEnd = end;
        if (lineEnd > start && text[lineEnd - 1] == '\r') {
            --lineEnd;
        }
        convert(text.substr(start, lineEnd - start), joined);
        joined.push_back('\n');
        start = end + 1;
    }
}

// Without an early exit the loop is vectorised: lines are short, and nearly always ASCII.
bool isAscii(std::string_view bytes) {
    unsigned char any = 0;
    for (const char c : bytes) {
        any |= static_cast<unsigned char>(c);
    }
    return any < 0x80;
}

} // namespace

std::size_t DescriptionText::lineCount() const {
    return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
}

std::string_view DescriptionText::line(std::size_t index) const {
    LineCursor cursor = lines();
    for (std::size_t i = 0; i < index; ++i) {
        if (!cursor.next()) {
            return {};
        }
    }
    return cursor.next().value_or(std::string_view());
}

std::vector<std::string> DescriptionText::lineList() const {
    std::vector<std::string> list;
    LineCursor cursor = lines();
    for (auto line = cursor.next(); line; line = cursor.next()) {
        list.emplace_back(*line);
    }
    return list;
}

TextEncoding descriptionEncoding(std::string_view fileBytes) {
    return platform::isValidUtf8(fileBytes) ? TextEncoding::Utf8 : TextEncoding::Cp1251;
}

DescriptionText decodeDescription(std::string_view fileBytes) {
    DescriptionText text;
    // Line breaks are dropped and code page 1251 is never longer than UTF-8: the text fits.
    text.bytes.reserve(fileBytes.size());
    if (descriptionEncoding(fileBytes) == TextEncoding::Utf8) {
        text.encoding = TextEncoding::Utf8;
        if (fileBytes.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) {
            fileBytes.remove_prefix(kUtf8ByteOrderMark.size());
        }
        appendLines(fileBytes, text.bytes, [](std::string_view line, std::string& joined) {
            if (isAscii(line)) {
                joined.append(line);
            } else {
                joined.append(platform::utf8ToCp1251(line));
            }
        });
    } else {
        text.encoding = TextEncoding::Cp1251;
        appendLines(fileBytes, text.bytes,
                    [](std::string_view line, std::string& joined) { joined.append(line); });
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
    // Read in blocks straight into the string; the size the file has now is only a first guess
    // (it may change while it is read).
    std::string bytes;
    const auto size = std::filesystem::file_size(path, error);
    std::size_t capacity = error ? std::size_t{1} << 16 : static_cast<std::size_t>(size) + 1;
    std::size_t used = 0;
    while (true) {
        bytes.resize(capacity);
        in.read(bytes.data() + used, static_cast<std::streamsize>(capacity - used));
        used += static_cast<std::size_t>(in.gcount());
        if (in.bad()) {
            return std::nullopt;
        }
        if (!in) {
            break; // end of file
        }
        capacity *= 2;
    }
    bytes.resize(used);
    return decodeDescription(bytes);
}

} // namespace axolite::language

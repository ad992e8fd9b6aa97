// The text of a description as the lexer reads it: its lines in code page 1251, and the
// encoding the file came in (so that it can be saved in the same encoding).
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace axolite::language {

enum class TextEncoding { Utf8, Cp1251 };

// The lines of a text whose lines are joined by '\n', one after another.
class LineCursor {
public:
    explicit LineCursor(std::string_view joined) : rest_(joined) {}
    // The next line (without its '\n'), or nothing after the last one.
    std::optional<std::string_view> next() {
        if (done_) {
            return std::nullopt;
        }
        const std::size_t end = rest_.find('\n');
        if (end == std::string_view::npos) {
            done_ = true;
            return rest_;
        }
        const std::string_view line = rest_.substr(0, end);
        rest_.remove_prefix(end + 1);
        return line;
    }

private:
    std::string_view rest_;
    bool done_ = false;
};

// The lines of a description, kept as one string: a string per line would cost more than the
// text itself (32 bytes and an allocation for every line, however short).
struct DescriptionText {
    // Declared so that a braced list of lines is never taken for a text (the lexer takes both).
    DescriptionText() = default;

    // The lines as code page 1251 bytes, joined by '\n' (a line holds no '\n'): n − 1 line
    // breaks for n lines, so the empty string is one empty line.
    std::string bytes;
    TextEncoding encoding = TextEncoding::Utf8;

    LineCursor lines() const { return LineCursor(bytes); }
    std::size_t lineCount() const;
    // Line `index` (from 0), found by walking the text; empty beyond the last line.
    std::string_view line(std::size_t index) const;
    // Every line as a string of its own.
    std::vector<std::string> lineList() const;
};

// Reads the bytes of a description file: UTF-8 when they are valid UTF-8 (a leading byte-order
// mark is dropped), code page 1251 otherwise. Lines are split on '\n'; a '\r' before it is
// dropped. There is always at least one line (an empty file is one empty line). The text takes
// at most one byte per byte read besides them.
DescriptionText decodeDescription(std::string_view fileBytes);
// The encoding decodeDescription chooses for the bytes.
TextEncoding descriptionEncoding(std::string_view fileBytes);

// The description file at path; nullopt when it cannot be read.
std::optional<DescriptionText> readDescriptionFile(const std::filesystem::path& path);

} // namespace axolite::language

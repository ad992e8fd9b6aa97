// The text of a description as the lexer reads it: its lines in code page 1251, and the
// encoding the file came in (so that it can be saved in the same encoding).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace axolite::language {

enum class TextEncoding { Utf8, Cp1251 };

struct DescriptionText {
    std::vector<std::string> lines; // each line as code page 1251 bytes, without its line break
    TextEncoding encoding = TextEncoding::Utf8;
};

// Reads the bytes of a description file: UTF-8 when they are valid UTF-8 (a leading byte-order
// mark is dropped), code page 1251 otherwise. Lines are split on '\n'; a '\r' before it is
// dropped. There is always at least one line (an empty file is one empty line).
DescriptionText decodeDescription(std::string_view fileBytes);

// The description file at path; nullopt when it cannot be read.
std::optional<DescriptionText> readDescriptionFile(const std::filesystem::path& path);

} // namespace axolite::language

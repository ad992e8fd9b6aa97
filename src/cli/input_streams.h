// Inputs that are streams rather than files: "-" (standard input), a process substitution
// (/dev/fd/N) or another pipe. Each is read once, into memory, no further than its reader reads.
#pragma once

#include "core/language/description_text.h"

#include <cstddef>
#include <optional>
#include <string>

namespace axolite::cli {

// Whether the path names a stream: "-" or a pipe.
bool isStreamPath(const std::string& path);

// The description at path: a regular file as the program reads it, a stream read to its end
// (at most kLongestStreamDescription bytes). Nothing when it cannot be read.
std::optional<language::DescriptionText> readDescriptionInput(const std::string& path);

// A description longer than this cannot be counted by the check (its character total is 32-bit).
constexpr std::size_t kLongestStreamDescription = 0x7fffffff;

// The pattern text of a stream as the pattern reader takes it for up to `values` numbers
// (training::acceptedPatternText). Nothing when it cannot be opened.
std::optional<std::string> readPatternStream(const std::string& path, std::size_t values);

} // namespace axolite::cli

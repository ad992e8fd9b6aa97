// Any bytes as a profile (INI) file, then one value written into it: every other line stays as
// it was, the value reads back as written, and the bytes a save writes decode to the same text.
#include "core/platform/profile_file.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using axolite::platform::ProfileFile;

// The lines of a text; with withoutReturns, each without the carriage returns it ends in.
std::vector<std::string> linesOf(const std::string& text, bool withoutReturns = false) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(start, end - start));
        while (withoutReturns && !lines.back().empty() && lines.back().back() == '\r') {
            lines.back().pop_back();
        }
        start = end + 1;
    }
    return lines;
}

// A name or value made of pieces that a profile line can hold: letters of both alphabets in both
// cases, digits, blanks and marks inside. No line end, no "=" in names, no "]" in a section name;
// blanks at either end are dropped, as a read drops them, and a value is never wholly quoted.
std::string piecesText(FuzzedDataProvider& input, bool isSection, bool isValue) {
    static const char* const kPieces[] = {"a", "Z", "7", " ", "Ё", "ж",  "Я", "ё",  "用", ".",
                                          "/", ";", "[", "]", "=", "\"", "'", "\t", "С",  "ы"};
    constexpr std::size_t kCount = sizeof kPieces / sizeof kPieces[0];
    std::string text;
    const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(isValue ? 0 : 1, 12);
    for (std::size_t i = 0; i < length; ++i) {
        const std::string piece = kPieces[input.ConsumeIntegralInRange<std::size_t>(0, kCount - 1)];
        const bool forbidden = (!isValue && (piece == "=" || piece == "[" || piece == ";")) ||
                               (isSection && piece == "]");
        text += forbidden ? "x" : piece;
    }
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.back())) {
        text.pop_back();
    }
    while (!text.empty() && blank(text.front())) {
        text.erase(0, 1);
    }
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front()) {
        text += 'x';
    }
    if (!isValue && text.empty()) {
        text = "k";
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = piecesText(input, true, false);
    const std::string key = piecesText(input, false, false);
    const std::string value = piecesText(input, false, true);
    const std::string bytes = input.ConsumeRemainingBytesAsString();

    ProfileFile profile = ProfileFile::decode(bytes);
    const std::string before = profile.text();
    (void)profile.sections();
    profile.set(section, key, value);
    const std::string after = profile.text();

    // Every other line stays: the lines differ in one place only, by at most one line replaced
    // or a new entry (with a new section's header and a blank line before it) inserted.
    const std::vector<std::string> a = linesOf(before);
    const std::vector<std::string> b = linesOf(after);
    std::size_t prefix = 0;
    while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix]) {
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
           a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix]) {
        ++suffix;
    }
    const std::size_t removed = a.size() - prefix - suffix;
    const std::size_t added = b.size() - prefix - suffix;
    if (removed > 1 || added > 3 || added < removed) {
        __builtin_trap();
    }

    if (profile.get(section, key) != value) {
        __builtin_trap();
    }
    // What a save writes reads back as the same lines. (A file of LF line ends with a stray
    // carriage return at the end of a line reads back with CR LF line ends: a read drops the
    // returns at line ends, as it drops them around values.)
    const ProfileFile reread = ProfileFile::decode(profile.bytes());
    if (linesOf(reread.text(), true) != linesOf(after, true) || reread.get(section, key) != value) {
        __builtin_trap();
    }
    return 0;
}

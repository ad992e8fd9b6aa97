// Profile files: parsing into lines, lookups by case-insensitive names, edits that keep every
// other line, and the code-page conversion on the way to and from the disk.
#include "core/platform/profile_file.h"

#include "core/platform/atomic_file.h"
#include "core/platform/text_encoding.h"

#include <fstream>
#include <iterator>
#include <new>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace axolite::platform {

namespace {

bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    return lowerCase(trimmed(a)) == lowerCase(trimmed(b));
}

// The section name of a header line "[name]", or nothing for any other line.
std::optional<std::string_view> sectionOf(std::string_view line) {
    line = trimmed(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    line.remove_prefix(1);
    const std::size_t close = line.find(']');
    if (close != std::string_view::npos) {
        line = line.substr(0, close);
    }
    return trimmed(line);
}

// The key and value of a "key=value" line; a line without "=" is a key without a value.
struct Entry {
    std::string_view key;
    std::string_view value;
};

std::optional<Entry> entryOf(std::string_view line) {
    line = trimmed(line);
    if (line.empty() || line.front() == ';' || line.front() == '[') {
        return std::nullopt;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
        return Entry{line, {}};
    }
    std::string_view value = trimmed(line.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return Entry{trimmed(line.substr(0, eq)), value};
}

std::string entryLine(std::string_view key, std::string_view value) {
    std::string line;
    line.reserve(key.size() + value.size() + 1);
    line += key;
    line += '=';
    line += value;
    return line;
}

} // namespace

std::string lowerCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t c = 0;
        const std::size_t length = decodeUtf8(text, pos, c);
        if (length == 0) {
            out += text[pos];
            ++pos;
            continue;
        }
        if (c >= U'A' && c <= U'Z') {
            c += 0x20;
        } else if (c >= 0x0410 && c <= 0x042F) { // А..Я
            c += 0x20;
        } else if (c >= 0x0400 && c <= 0x040F) { // Ѐ..Џ, Ё among them
            c += 0x50;
        }
        appendUtf8(out, c);
        pos += length;
    }
    return out;
}

std::string firstCharacters(std::string_view text, std::size_t count) {
    std::size_t pos = 0;
    for (std::size_t n = 0; n < count && pos < text.size(); ++n) {
        char32_t c = 0;
        const std::size_t length = decodeUtf8(text, pos, c);
        pos += length == 0 ? 1 : length;
    }
    return std::string(text.substr(0, pos));
}

ProfileFile ProfileFile::parse(std::string_view text) {
    ProfileFile profile;
    profile.lineEnd_ = text.find("\r\n") != std::string_view::npos ? "\r\n"
                       : text.find('\n') != std::string_view::npos ? "\n"
                                                                   : "\r\n";
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        profile.lines_.emplace_back(line);
        start = end + 1;
    }
    return profile;
}

ProfileFile ProfileFile::decode(std::string_view bytes) {
    // A UTF-8 file may open with a byte-order mark; it is no part of the first line, and a
    // write puts it back.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.starts_with(kByteOrderMark) && isValidUtf8(bytes.substr(kByteOrderMark.size()))) {
        ProfileFile profile = parse(bytes.substr(kByteOrderMark.size()));
        profile.cameAsUtf8_ = true;
        profile.byteOrderMark_ = true;
        return profile;
    }
    if (isValidUtf8(bytes)) {
        ProfileFile profile = parse(bytes);
        profile.cameAsUtf8_ = !isAscii(bytes);
        return profile;
    }
    return parse(cp1251ToUtf8(bytes));
}

std::optional<ProfileFile> ProfileFile::load(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    // A file too large to hold (a stray file under a model's name) cannot be read; it must not
    // take the program down.
    try {
        std::string bytes;
        const std::uintmax_t size = std::filesystem::file_size(path, ec);
        if (!ec) {
            if (size > bytes.max_size()) {
                return std::nullopt;
            }
            bytes.reserve(static_cast<std::size_t>(size));
        }
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) {
            return std::nullopt;
        }
        return decode(bytes);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    } catch (const std::length_error&) {
        return std::nullopt;
    }
}

std::optional<std::string> ProfileFile::get(std::string_view section, std::string_view key) const {
    std::size_t i = 0;
    for (; i < lines_.size(); ++i) {
        const auto name = sectionOf(lines_[i]);
        if (name && sameName(*name, section)) {
            break;
        }
    }
    for (++i; i < lines_.size(); ++i) {
        if (sectionOf(lines_[i])) {
            break;
        }
        const auto entry = entryOf(lines_[i]);
        if (entry && sameName(entry->key, key)) {
            return std::string(entry->value);
        }
    }
    return std::nullopt;
}

std::vector<std::string> ProfileFile::sections() const {
    std::vector<std::string> names;
    for (const std::string& line : lines_) {
        if (const auto name = sectionOf(line)) {
            names.emplace_back(*name);
        }
    }
    return names;
}

void ProfileFile::set(std::string_view section, std::string_view key, std::string_view value) {
    std::size_t header = lines_.size();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = sectionOf(lines_[i]);
        if (name && sameName(*name, section)) {
            header = i;
            break;
        }
    }
    if (header == lines_.size()) {
        if (!lines_.empty() && !trimmed(lines_.back()).empty()) {
            lines_.emplace_back();
        }
        std::string header;
        header += '[';
        header += section;
        header += ']';
        lines_.push_back(std::move(header));
        lines_.push_back(entryLine(key, value));
        return;
    }
    std::size_t insertAt = header + 1;
    for (std::size_t i = header + 1; i < lines_.size(); ++i) {
        if (sectionOf(lines_[i])) {
            break;
        }
        const auto entry = entryOf(lines_[i]);
        if (entry && sameName(entry->key, key)) {
            lines_[i] = entryLine(entry->key, value);
            return;
        }
        if (!trimmed(lines_[i]).empty()) {
            insertAt = i + 1;
        }
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), entryLine(key, value));
}

std::string ProfileFile::text() const {
    std::string out;
    for (const std::string& line : lines_) {
        out += line;
        out += lineEnd_;
    }
    return out;
}

std::string ProfileFile::bytes() const {
    std::string utf8 = text();
    // Code page 1251 unless a character would be lost in it, or its bytes happen to form UTF-8
    // (such as "/Сё/", 2F D1 B8 2F), which a read takes as UTF-8: that text is written in UTF-8.
    if (!cameAsUtf8_) {
        std::string cp1251 = utf8ToCp1251(utf8);
        if (cp1251ToUtf8(cp1251) == utf8 && (isAscii(cp1251) || !isValidUtf8(cp1251))) {
            return cp1251;
        }
    }
    return byteOrderMark_ ? "\xEF\xBB\xBF" + utf8 : utf8;
}

bool ProfileFile::save(const std::filesystem::path& path) const {
    // Through a temporary file: a full disk leaves the old file as it was. A file its owner may
    // not write stays as it is; any other keeps its permissions.
    return !writeFileAtomically(path, bytes());
}

std::optional<std::string> readProfileString(const std::filesystem::path& path,
                                             std::string_view section, std::string_view key) {
    const std::optional<ProfileFile> profile = ProfileFile::load(path);
    if (!profile) {
        return std::nullopt;
    }
    return profile->get(section, key);
}

bool writeProfileString(const std::filesystem::path& path, std::string_view section,
                        std::string_view key, std::string_view value) {
    return writeProfileStrings(path, section, {{std::string(key), std::string(value)}});
}

bool writeProfileStrings(const std::filesystem::path& path, std::string_view section,
                         const std::vector<std::pair<std::string, std::string>>& values) {
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    std::optional<ProfileFile> profile = ProfileFile::load(path);
    if (!profile) {
        if (exists) {
            return false; // there but unreadable (a folder, no permission): never overwrite it
        }
        profile.emplace();
    }
    for (const auto& [key, value] : values) {
        profile->set(section, key, value);
    }
    return profile->save(path);
}

} // namespace axolite::platform

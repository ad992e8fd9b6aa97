// Profile (INI) files with the semantics the product has always had: sections of key=value
// lines, section and key names compared without regard to case, a write that keeps the rest of
// the file. Text is UTF-8 in this interface and code page 1251 on disk.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace axolite::platform {

class ProfileFile {
public:
    // An empty profile, as for a file that does not exist yet.
    ProfileFile() = default;

    // Reads a file. Nothing when it cannot be read (also when it is too large to hold). Bytes
    // that are valid UTF-8 are taken as UTF-8, anything else as code page 1251; any bytes at all
    // give some profile.
    static std::optional<ProfileFile> load(const std::filesystem::path& path);

    // A profile from the bytes of a file (UTF-8 when valid, code page 1251 otherwise).
    static ProfileFile decode(std::string_view bytes);

    // A profile from its text (UTF-8).
    static ProfileFile parse(std::string_view text);

    // The value of key in section: the first section of that name, the first key of that name
    // in it, blanks around the value and one pair of enclosing quotes removed. Nothing when the
    // section or the key is missing.
    std::optional<std::string> get(std::string_view section, std::string_view key) const;

    // Names of the sections, in the order of the file.
    std::vector<std::string> sections() const;

    // Sets key in section: replaces the value of an existing key in place, adds the key at the
    // end of the section otherwise, and adds the section at the end of the file when missing.
    // Every other line stays as it was.
    void set(std::string_view section, std::string_view key, std::string_view value);

    // Writes the profile through a temporary file and a rename. Code page 1251 when every
    // character has a place in it (and the file did not come as UTF-8), UTF-8 otherwise (with
    // the byte-order mark the file came with), so nothing is lost. An existing file keeps its
    // permissions; one without write permission for its owner is not written. False when the
    // file cannot be written.
    bool save(const std::filesystem::path& path) const;

    // The whole text (UTF-8) with the file's line ends.
    std::string text() const;

    // The bytes save writes: code page 1251 when every character has a place in it, the file
    // did not come as UTF-8 and the bytes would not read back as UTF-8; UTF-8 otherwise (with
    // the byte-order mark the file came with). decode(bytes()) gives this text again.
    std::string bytes() const;

private:
    std::vector<std::string> lines_;
    std::string lineEnd_ = "\r\n";
    bool cameAsUtf8_ = false;
    bool byteOrderMark_ = false;
};

// One value, as the old profile functions read it. Nothing when the file, the section or the
// key is missing.
std::optional<std::string> readProfileString(const std::filesystem::path& path,
                                             std::string_view section, std::string_view key);

// Writes one value, keeping the rest of the file (creating the file when missing).
bool writeProfileString(const std::filesystem::path& path, std::string_view section,
                        std::string_view key, std::string_view value);
// Writes several values of one section at once: the file is read and written one time.
bool writeProfileStrings(const std::filesystem::path& path, std::string_view section,
                         const std::vector<std::pair<std::string, std::string>>& values);

// Lower case of a UTF-8 text, for Latin and Cyrillic letters (the rest as it stands): the
// comparison of names in profile files, and the lower-cased paths of the product's messages.
std::string lowerCase(std::string_view text);

// The first count characters (code points) of a UTF-8 text.
std::string firstCharacters(std::string_view text, std::size_t count);

} // namespace axolite::platform

// Writing and reading pattern files.
#include "core/training/pattern_file.h"

#include "core/common/number_text.h"
#include "core/platform/atomic_file.h"
#include "core/platform/folder_settings.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <istream>
#include <sstream>

namespace axolite::training {

std::string formatPatternValues(const std::vector<double>& values) {
    std::string text;
    text.reserve(values.size() * 12);
    for (double value : values) {
        text += formatNumber("%g ", value);
    }
    return text;
}

void writePatternFile(const std::string& path, const std::vector<double>& values) {
    platform::AtomicFile file(platform::pathFromUtf8(path));
    bool written = file.open();
    for (std::size_t i = 0; written && i < values.size(); ++i) {
        written = file.write(formatNumber("%g ", values[i]));
    }
    if (!written || !file.commit()) {
        throw platform::FileWriteError(*file.failure());
    }
}

std::string patternFileUndefinedText(PatternRole role) {
    return role == PatternRole::Input ? "Файл входных эталонных образов не определен."
                                      : "Файл выходных эталонных образов не определен.";
}

std::string patternFileMissingText(const std::string& path) {
    return "Файл " + path + " не существует или поврежден.";
}

std::string patternsMissingText(PatternRole role) {
    return role == PatternRole::Input
               ? "Некоторые эталонные образы пропущены, они будут приняты равными 0.0"
               : "Некоторые эталонные образы пропущены. Они будут приняты равными 0.0";
}

namespace {

bool isBlank(int c) {
    return c >= 0 && c < 256 && std::isspace(c) != 0;
}

// A field longer than this is taken for something that is not a number (a pattern file chosen
// by mistake must not be read whole into memory).
constexpr std::size_t kLongestField = 4096;

// Reads fields separated by white space from the stream until the table is full. Inside a field
// numbers are converted one after another ("1.5-2" gives 1.5 and −2, as "%f" would); the first
// text that is not a number ends the reading, as the end of the file does.
PatternReadResult readPatternStream(std::istream& in, int patterns, int width, PatternRole role) {
    PatternReadResult result;
    PatternTable& table = result.table;
    table.patterns = patterns > 0 ? patterns : 0;
    table.width = width > 0 ? width : 0;
    const std::size_t wanted =
        static_cast<std::size_t>(table.patterns) * static_cast<std::size_t>(table.width);
    table.values.assign(wanted, 0.0f);

    std::size_t stored = 0;
    std::string field;
    // Converts the numbers of one field; false when text that is not a number was met.
    auto convert = [&]() {
        // field.c_str() is NUL-terminated, so the conversion never reads past the field; a NUL
        // byte inside it ends the conversion like any character that is no part of a number.
        const char* cursor = field.c_str();
        const char* const end = cursor + field.size();
        while (cursor < end && stored < wanted) {
            float value = 0.0f;
            const std::size_t used = parseFloatPrefix(cursor, value);
            if (used == 0) {
                return false;
            }
            table.values[stored++] = value;
            cursor += used;
        }
        return true;
    };
    std::streambuf* buffer = in.rdbuf();
    while (stored < wanted && buffer != nullptr) {
        const int c = buffer->sbumpc();
        const bool endOfFile = c == std::char_traits<char>::eof();
        if (endOfFile || isBlank(c)) {
            if (!field.empty()) {
                if (!convert()) {
                    break;
                }
                field.clear();
            }
            if (endOfFile) {
                break;
            }
            continue;
        }
        if (field.size() == kLongestField) {
            break;
        }
        field.push_back(static_cast<char>(c));
    }
    if (stored < wanted) {
        result.warning = Message{MessageKind::Warning, patternsMissingText(role)};
    }
    return result;
}

} // namespace

std::string acceptedPatternText(std::istream& in, std::size_t values) {
    std::string text;
    std::size_t fields = 0;
    std::size_t fieldLength = 0;
    std::streambuf* buffer = in.rdbuf();
    while (fields < values && buffer != nullptr) {
        const int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            break;
        }
        if (isBlank(c)) {
            if (fieldLength > 0) {
                text.push_back(' ');
                ++fields;
                fieldLength = 0;
            }
            continue;
        }
        text.push_back(static_cast<char>(c));
        if (++fieldLength > kLongestField) {
            break; // the reader stops at this field
        }
    }
    return text;
}

PatternReadResult readPatternText(const std::string& text, int patterns, int width,
                                  PatternRole role) {
    std::istringstream in(text);
    return readPatternStream(in, patterns, width, role);
}

PatternReadResult readPatternFile(const std::string& path, int patterns, int width,
                                  PatternRole role) {
    if (path.empty()) {
        throw AxoliteError(MessageKind::Information, patternFileUndefinedText(role));
    }
    // Only a regular file is read: a folder, a device or a FIFO (whose opening would wait for a
    // writer) fails like a missing file.
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(platform::pathFromUtf8(path), ignored)) {
        throw AxoliteError(MessageKind::Information, patternFileMissingText(path));
    }
    std::ifstream file(platform::pathFromUtf8(path), std::ios::binary);
    if (!file) {
        throw AxoliteError(MessageKind::Information, patternFileMissingText(path));
    }
    return readPatternStream(file, patterns, width, role);
}

} // namespace axolite::training

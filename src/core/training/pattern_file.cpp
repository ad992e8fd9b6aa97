// Writing and reading pattern files.
#include "training/pattern_file.h"

#include "training/c_format.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
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
    const std::string failure = "Невозможно создать файл " + path;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        throw AxoliteError(MessageKind::Error, failure);
    }
    const std::string text = formatPatternValues(values);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file) {
        throw AxoliteError(MessageKind::Error, failure);
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

bool isBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

} // namespace

PatternReadResult readPatternText(const std::string& text, int patterns, int width,
                                  PatternRole role) {
    PatternReadResult result;
    PatternTable& table = result.table;
    table.patterns = patterns > 0 ? patterns : 0;
    table.width = width > 0 ? width : 0;
    const std::size_t wanted =
        static_cast<std::size_t>(table.patterns) * static_cast<std::size_t>(table.width);
    table.values.assign(wanted, 0.0f);

    // text is NUL-terminated (std::string), so the conversion never reads past it; a NUL byte
    // inside the file ends the conversion like any other character that is not part of a number.
    const char* cursor = text.c_str();
    const char* const end = cursor + text.size();
    std::size_t stored = 0;
    while (stored < wanted) {
        while (cursor < end && isBlank(*cursor)) {
            ++cursor;
        }
        float value = 0.0f;
        const std::size_t used = cursor < end ? parseFloatPrefix(cursor, value) : 0;
        if (used == 0) {
            break; // end of the file, or a field that is not a number
        }
        table.values[stored++] = value;
        cursor += used;
    }
    if (stored < wanted) {
        result.warning = Message{MessageKind::Warning, patternsMissingText(role)};
    }
    return result;
}

PatternReadResult readPatternFile(const std::string& path, int patterns, int width,
                                  PatternRole role) {
    if (path.empty()) {
        throw AxoliteError(MessageKind::Information, patternFileUndefinedText(role));
    }
    std::error_code ignored;
    std::ifstream file(path, std::ios::binary);
    if (!file || std::filesystem::is_directory(path, ignored)) {
        throw AxoliteError(MessageKind::Information, patternFileMissingText(path));
    }
    std::ostringstream content;
    content << file.rdbuf();
    if (file.bad()) {
        throw AxoliteError(MessageKind::Information, patternFileMissingText(path));
    }
    return readPatternText(content.str(), patterns, width, role);
}

} // namespace axolite::training

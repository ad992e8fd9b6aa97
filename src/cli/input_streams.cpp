// Reading descriptions and pattern files from standard input and from pipes.
#include "cli/input_streams.h"

#include "core/platform/folder_settings.h"
#include "core/training/pattern_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <new>
#include <stdexcept>
#include <system_error>

namespace axolite::cli {

namespace {

// Calls read on the stream the path names; false when it cannot be opened or read, or what it
// holds does not fit in memory.
bool withStream(const std::string& path, const std::function<void(std::istream&)>& read) {
    try {
        if (path == "-") {
            // std::cin reads through the C library's stdin: a read error (standard input is a
            // folder, a device that fails) ends its reading like the end of the text, and only
            // stdin's error indicator tells the two apart.
            read(std::cin);
            return !std::cin.bad() && std::ferror(stdin) == 0;
        }
        std::ifstream in(platform::pathFromUtf8(path), std::ios::binary);
        if (!in) {
            return false;
        }
        read(in);
        return !in.bad();
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

} // namespace

bool isStreamPath(const std::string& path) {
    std::error_code ec;
    return path == "-" || std::filesystem::is_fifo(platform::pathFromUtf8(path), ec);
}

std::optional<language::DescriptionText> readDescriptionInput(const std::string& path) {
    if (!isStreamPath(path)) {
        return language::readDescriptionFile(platform::pathFromUtf8(path));
    }
    std::string bytes;
    bool tooLong = false;
    const bool read = withStream(path, [&](std::istream& in) {
        char block[1 << 16];
        while (in.read(block, sizeof block) || in.gcount() > 0) {
            const auto got = static_cast<std::size_t>(in.gcount());
            if (bytes.size() + got > kLongestStreamDescription) {
                tooLong = true;
                return;
            }
            bytes.append(block, got);
        }
    });
    if (!read || tooLong) {
        return std::nullopt;
    }
    return language::decodeDescription(bytes);
}

std::optional<std::string> readPatternStream(const std::string& path, std::size_t values) {
    std::string text;
    if (!withStream(path,
                    [&](std::istream& in) { text = training::acceptedPatternText(in, values); })) {
        return std::nullopt;
    }
    return text;
}

} // namespace axolite::cli

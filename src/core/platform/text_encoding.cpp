// Code page 1251 conversions. The 256 code points of the code page are taken once from iconv of
// the C library; converting is then a table look-up per byte or character.
#include "core/platform/text_encoding.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <unordered_map>

namespace axolite::platform {

namespace {

constexpr char32_t kNoCode = 0xFFFFFFFF;

// The Unicode code point of every byte of code page 1251.
struct Cp1251Table {
    std::array<char32_t, 256> toUnicode{};
    std::unordered_map<char32_t, unsigned char> fromUnicode;

    Cp1251Table() {
        toUnicode.fill(kNoCode);
        for (unsigned b = 0; b < 0x80; ++b) {
            toUnicode[b] = b;
        }
        iconv_t cd = iconv_open("UTF-32LE", "CP1251");
        if (cd != reinterpret_cast<iconv_t>(-1)) {
            for (unsigned b = 0x80; b < 0x100; ++b) {
                char in = static_cast<char>(b);
                unsigned char out[8] = {};
                char* inPtr = &in;
                char* outPtr = reinterpret_cast<char*>(out);
                std::size_t inLeft = 1;
                std::size_t outLeft = sizeof out;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
                if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1) &&
                    sizeof out - outLeft == 4) {
                    toUnicode[b] = static_cast<char32_t>(out[0]) |
                                   (static_cast<char32_t>(out[1]) << 8) |
                                   (static_cast<char32_t>(out[2]) << 16) |
                                   (static_cast<char32_t>(out[3]) << 24);
                }
            }
            iconv_close(cd);
        }
        // The one byte the code page leaves unassigned stands for the control character of the
        // same number, so that every byte of a file survives being read and written back.
        constexpr unsigned kUnassigned = 0x98;
        if (toUnicode[kUnassigned] == kNoCode) {
            toUnicode[kUnassigned] = kUnassigned;
        }
        for (unsigned b = 0; b < 0x100; ++b) {
            if (toUnicode[b] != kNoCode) {
                fromUnicode.emplace(toUnicode[b], static_cast<unsigned char>(b));
            }
        }
    }
};

const Cp1251Table& table() {
    static const Cp1251Table instance;
    return instance;
}

} // namespace

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::size_t decodeUtf8(std::string_view bytes, std::size_t i, char32_t& c) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char b0 = byte(i);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (b0 < 0x80) {
        c = b0;
        return 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        c = b0 & 0x1F;
        minimum = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        c = b0 & 0x0F;
        minimum = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        c = b0 & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() - i < length) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (b & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0;
    }
    return length;
}

bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        // Runs of plain ASCII are the common case: eight bytes at a time.
        std::uint64_t word = 0;
        if (bytes.size() - i >= sizeof word && (std::memcpy(&word, bytes.data() + i, sizeof word),
                                                (word & 0x8080808080808080u) == 0)) {
            i += sizeof word;
            continue;
        }
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t c = 0;
        const std::size_t length = decodeUtf8(bytes, i, c);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string cp1251ToUtf8(std::string_view bytes) {
    const Cp1251Table& t = table();
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char ch : bytes) {
        const char32_t c = t.toUnicode[static_cast<unsigned char>(ch)];
        appendUtf8(out, c == kNoCode ? U'?' : c);
    }
    return out;
}

std::string utf8ToCp1251(std::string_view text) {
    const Cp1251Table& t = table();
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char b0 = static_cast<unsigned char>(text[i]);
        if (b0 < 0x80) {
            out.push_back(static_cast<char>(b0));
            ++i;
            continue;
        }
        char32_t c = 0;
        const std::size_t length = decodeUtf8(text, i, c);
        if (length == 0) {
            out.push_back('?');
            ++i;
            continue;
        }
        const auto found = t.fromUnicode.find(c);
        out.push_back(found == t.fromUnicode.end() ? '?' : static_cast<char>(found->second));
        i += length;
    }
    return out;
}

} // namespace axolite::platform

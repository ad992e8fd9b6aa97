// Conversions between UTF-8 and code page 1251, the two encodings description and model files
// come in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace axolite::platform {

// True when the bytes form valid UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Code page 1251 bytes as UTF-8 text. The one unassigned byte (0x98) stands for U+0098, so that
// every byte converts back to itself.
std::string cp1251ToUtf8(std::string_view bytes);

// UTF-8 text as code page 1251 bytes; characters that code page 1251 has no code for, and
// invalid UTF-8 sequences, become '?'.
std::string utf8ToCp1251(std::string_view text);

// Decodes one UTF-8 sequence at bytes[pos]: returns its length and stores the code point, or
// returns 0 when the bytes there are no valid sequence.
std::size_t decodeUtf8(std::string_view bytes, std::size_t pos, char32_t& c);

// Appends the UTF-8 form of a code point.
void appendUtf8(std::string& out, char32_t c);

} // namespace axolite::platform

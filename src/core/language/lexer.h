// The lexer: the steps of the check command that come before the checker (character total,
// capacity, lexing) turning the lines of a description into its token stream.
#pragma once

#include "core/common/message.h"
#include "core/language/description_text.h"
#include "core/language/network_record.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace axolite::language {

// Messages of the check command before the check window opens.
inline constexpr const char* kNotDescribedText = "Нейронная сеть не описана.";
inline constexpr const char* kUnrecognisedDescriptionText =
    "Нераспознаваемая ошибка описания нейронной сети.";

// Longest line (in characters) that the lexer reads; a longer line other than the first ends
// lexing, the first is lexed as far as kFirstLineCopied characters.
inline constexpr std::size_t kLineFits = 126;
inline constexpr std::size_t kFirstLineCopied = 127;
// Characters of each line looked at when the capacity is counted.
inline constexpr std::size_t kCapacityScan = 1023;

// What a word of the description reads as: a number (not zero, finite), zero, a number beyond
// the range of a double, or no number at all. The whole word must be the number, apart from
// trailing blanks: 12abc, or 5} with the brace glued to the number, is unrecognised text.
struct NumberWord {
    enum class Kind { Number, Zero, TooLarge, Unrecognised };
    Kind kind = Kind::Unrecognised;
    double value = 0.0;
};
NumberWord readNumberWord(std::string_view word);

// The lexer reads the lines of a description either as a list or as one joined text
// (DescriptionText); both give the same results. The joined text is what a file read whole
// gives without a string per line.

// T: the sum over all lines of (length + 2), computed in 64 bits.
std::int64_t characterTotal(const std::vector<std::string>& lines);
std::int64_t characterTotal(const DescriptionText& text);

// What a stretch of a line is to the lexer, for the editor's colours.
enum class TokenClass : std::uint8_t {
    Keyword,      // a keyword of the table, or the terminator "end"
    Number,       // a number, zero included
    Punctuation,  // ( ) { } , ;
    Comment,      // a line that begins with "//"
    Unrecognised, // a word that is no number, or a number beyond the range of a double
    Ignored,      // text the lexer never reads (after the terminator, a NUL, or the line limit)
};
struct TokenSpan {
    std::size_t start = 0; // in bytes of the line
    std::size_t length = 0;
    TokenClass kind = TokenClass::Ignored;
    friend bool operator==(const TokenSpan&, const TokenSpan&) = default;
};
struct LineTokens {
    std::vector<TokenSpan> spans; // in order, not overlapping; blanks belong to none
    bool endsLexing = false;      // the lexer stops on this line: nothing after it is read
};
// One line (code page 1251) as the lexer reads it, with the same code as lexLines: first says
// whether it is the description's first line, which has a limit of its own.
LineTokens classifyLine(std::string_view line, bool first);

// The number of token-stream elements to allocate: per line, the characters other than the
// space among its first 1023, plus one.
std::size_t streamCapacity(const std::vector<std::string>& lines);
std::size_t streamCapacity(const DescriptionText& text);

// Lexes the lines (code page 1251) into a fresh token stream of the given capacity. Returns the
// number of tokens written, or nullopt when the count overflowed the capacity (the tokens
// written so far stand).
std::optional<std::size_t> lexLines(const std::vector<std::string>& lines, std::size_t capacity,
                                    TokenStream& tokens);
std::optional<std::size_t> lexLines(const DescriptionText& text, std::size_t capacity,
                                    TokenStream& tokens);

// The check command's steps before the checker. Writes record.tokens and record.characterTotal
// (saturated at the largest 32-bit value). Returns the message box to show instead of checking:
// "Нейронная сеть не описана." or "Нераспознаваемая ошибка описания нейронной сети." (information
// icon); nullopt: go on with the check.
std::optional<Message> lexDescription(const std::vector<std::string>& lines, NetworkRecord& record);
std::optional<Message> lexDescription(const DescriptionText& text, NetworkRecord& record);

// The number of tokens in a stream: the index of its first end-of-stream element.
std::size_t tokenCount(const TokenStream& tokens);

} // namespace axolite::language

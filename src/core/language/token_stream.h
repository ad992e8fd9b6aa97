// The token stream of a description: two parallel arrays (values, flags) and the reserved codes
// that keywords, punctuation, line ends and the stream's end are written as.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/platform/zeroed_memory.h"

namespace axolite::language {

// A token's flag: 0 for a number, 1 for a reserved code. One byte is all it needs.
using TokenFlag = std::uint8_t;

// Reserved codes. A number is stored as its own value with flag 0; everything else as one of
// these codes with flag 1; the number zero as ZeroMarker with flag 0. Consumers compare the
// effective code, value × flag, with a code.
enum TokenCode : std::int32_t {
    ZeroMarker = 65500,
    KwNeurons = 65501,
    KwInitState = 65502,
    KwSimTime = 65503,
    KwTimeStep = 65504,
    KwInputLayer = 65505,
    KwOutputLayer = 65506,
    KwNetworkLayout = 65507,
    EndOfStream = 65508,
    KwModel = 65509,
    LeftParen = 65510,
    RightParen = 65511,
    LeftBrace = 65512,
    RightBrace = 65513,
    KwSuspend = 65514,
    Comma = 65515,
    Semicolon = 65516,
    Unrecognised = 65517,
    KwWeight = 65518,
    KwNeuron = 65519,
    EndOfLine = 65520,
    NumberTooLarge = 65521,
};

// The stream has a capacity, counted before lexing, and the arrays hold its first elements: the
// tokens written and, when there is room, one end-of-stream element after them. Every element
// from the end of the arrays up to the capacity is an end of stream too, so the arrays need not
// be written (nor their memory touched) beyond the tokens. Read elements through value(), flag()
// and the tests below, which answer the end of stream there; index the arrays directly only below
// tokenCount().
struct TokenStream {
    platform::ReservedArray<double> values;
    platform::ReservedArray<TokenFlag> flags;

    std::size_t capacity() const { return capacity_; }
    bool empty() const { return capacity_ == 0; }

    // An empty stream of the given capacity, every element the end of stream (65508, flag 1),
    // with room reserved in both arrays for the whole capacity (pages the lexer does not write to
    // are never touched).
    void reset(std::size_t capacity) {
        values.reserve(capacity);
        flags.reserve(capacity);
        capacity_ = capacity;
    }
    // Appends a token; the caller keeps the count within the capacity.
    void append(double value, std::int32_t flag) {
        values.push_back(value);
        flags.push_back(static_cast<TokenFlag>(flag));
    }

    double value(std::size_t i) const {
        return i < values.size() ? values[i] : static_cast<double>(EndOfStream);
    }
    std::int32_t flag(std::size_t i) const { return i < flags.size() ? flags[i] : 1; }

    // value × flag: a number has effective code 0 and never equals a reserved code.
    double effective(std::size_t i) const { return value(i) * static_cast<double>(flag(i)); }
    bool is(std::size_t i, TokenCode code) const {
        return effective(i) == static_cast<double>(code);
    }
    bool isZeroMarker(std::size_t i) const {
        return value(i) == static_cast<double>(ZeroMarker) && flag(i) == 0;
    }

private:
    std::size_t capacity_ = 0;
};

} // namespace axolite::language

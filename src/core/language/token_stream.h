// The token stream of a description: two parallel arrays (values, flags) and the reserved codes
// that keywords, punctuation, line ends and the stream's end are written as.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace axolite::language {

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

struct TokenStream {
    std::vector<double> values;
    std::vector<std::int32_t> flags;

    // Number of elements of both arrays (the capacity counted before lexing).
    std::size_t capacity() const { return values.size(); }
    bool empty() const { return values.empty(); }

    // Allocates both arrays and fills every element with the end of stream (65508, flag 1).
    void reset(std::size_t capacity) {
        values.assign(capacity, static_cast<double>(EndOfStream));
        flags.assign(capacity, 1);
    }

    // value × flag: a number has effective code 0 and never equals a reserved code.
    double effective(std::size_t i) const { return values[i] * static_cast<double>(flags[i]); }
    bool is(std::size_t i, TokenCode code) const {
        return effective(i) == static_cast<double>(code);
    }
    bool isZeroMarker(std::size_t i) const {
        return values[i] == static_cast<double>(ZeroMarker) && flags[i] == 0;
    }
};

} // namespace axolite::language

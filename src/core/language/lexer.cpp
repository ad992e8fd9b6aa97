// The lexer: lines of code page 1251 text into the token stream, one element per keyword,
// punctuation mark, number and line end.
#include "core/language/lexer.h"

#include "core/common/number_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

namespace axolite::language {

namespace {

struct Keyword {
    std::string_view text;
    TokenCode code;
};

// The keyword table in the order it is tried. `neurons` stands before `neuron`, so the word
// neurons is never read as `neuron` followed by a letter s.
constexpr std::array<Keyword, 11> kKeywords{{
    {"networklayout", KwNetworkLayout},
    {"outputlayer", KwOutputLayer},
    {"suspend", KwSuspend},
    {"inputlayer", KwInputLayer},
    {"initstate", KwInitState},
    {"timestep", KwTimeStep},
    {"simtime", KwSimTime},
    {"neurons", KwNeurons},
    {"neuron", KwNeuron},
    {"weight", KwWeight},
    {"model", KwModel},
}};
constexpr std::string_view kTerminator = "end";

// Per first letter, the keywords of the table that begin with it: bit k for kKeywords[k].
constexpr std::array<std::uint16_t, 256> keywordsByInitial() {
    std::array<std::uint16_t, 256> byInitial{};
    for (std::size_t k = 0; k < kKeywords.size(); ++k) {
        byInitial[static_cast<unsigned char>(kKeywords[k].text[0])] |=
            static_cast<std::uint16_t>(1u << k);
    }
    return byInitial;
}
constexpr std::array<std::uint16_t, 256> kKeywordsByInitial = keywordsByInitial();

// The punctuation marks and their codes; 0 for every other character.
constexpr std::array<TokenCode, 256> marks() {
    std::array<TokenCode, 256> codes{};
    codes['('] = LeftParen;
    codes[')'] = RightParen;
    codes['{'] = LeftBrace;
    codes['}'] = RightBrace;
    codes[','] = Comma;
    codes[';'] = Semicolon;
    return codes;
}
constexpr std::array<TokenCode, 256> kMarks = marks();

constexpr bool isBlank(unsigned char c) {
    return (c >= 1 && c <= 32) || c == 127;
}

constexpr unsigned char asciiLower(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// The buffer is NUL-terminated and no keyword holds a NUL, so the comparison never reads past
// the terminator.
bool startsWithKeyword(const char* at, std::string_view keyword) {
    for (std::size_t i = 0; i < keyword.size(); ++i) {
        if (asciiLower(static_cast<unsigned char>(at[i])) !=
            static_cast<unsigned char>(keyword[i])) {
            return false;
        }
    }
    return true;
}

bool endsWord(char c) {
    return c == ',' || c == ';' || c == ' ' || c == ')' || c == '\0';
}

// Powers of ten that a double holds exactly.
constexpr std::array<double, 23> kExactPowersOfTen{1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A number as most descriptions write it, read in one pass: an optional minus sign, digits with
// at most one decimal point, an optional exponent of at most three digits, and then the end of the
// text or a character that ends a word. Its value is exact when its digits, read as one whole
// number, fit in the 53 bits of a double and its scale is a power of ten that a double holds: one
// multiplication or division of two exact values, correctly rounded, so the value
// std::from_chars gives. Other numbers of this form come back with `exact` false and their
// length, for longNumber; nullopt for any other text, which readNumberWord reads the long way.
struct ShortNumber {
    std::size_t length = 0;
    double value = 0.0;
    bool exact = true;
};
std::optional<ShortNumber> readShortNumber(std::string_view text) {
    const auto at = [&](std::size_t k) -> char { return k < text.size() ? text[k] : '\0'; };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const bool negative = at(0) == '-';
    std::size_t i = negative ? 1 : 0;
    std::uint64_t digits = 0;
    int digitCount = 0;
    int scale = 0;
    for (bool fraction = false;; ++i) {
        const char c = at(i);
        if (isDigit(c)) {
            digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
            ++digitCount;
            scale -= fraction ? 1 : 0;
        } else if (c == '.' && !fraction) {
            fraction = true;
        } else {
            break;
        }
    }
    if (digitCount == 0) {
        return std::nullopt;
    }
    if (at(i) == 'e' || at(i) == 'E') {
        ++i;
        const bool negativeExponent = at(i) == '-';
        i += (at(i) == '-' || at(i) == '+') ? 1 : 0;
        int exponent = 0;
        int exponentDigits = 0;
        for (; isDigit(at(i)); ++i) {
            exponent = exponent * 10 + (at(i) - '0');
            if (++exponentDigits > 3) {
                return std::nullopt;
            }
        }
        if (exponentDigits == 0) {
            return std::nullopt;
        }
        scale += negativeExponent ? -exponent : exponent;
    }
    constexpr std::uint64_t kExactDigits = std::uint64_t{1} << 53;
    if (!endsWord(at(i))) {
        return std::nullopt;
    }
    if (digitCount > 19 || digits > kExactDigits || scale < -22 || scale > 22) {
        return ShortNumber{i, 0.0, false};
    }
    const double whole = static_cast<double>(digits);
    const double value = scale < 0 ? whole / kExactPowersOfTen[static_cast<std::size_t>(-scale)]
                                   : whole * kExactPowersOfTen[static_cast<std::size_t>(scale)];
    return ShortNumber{i, negative ? -value : value, true};
}

// The value of a number's text (a minus sign allowed, no plus sign, nothing after the number) by
// std::from_chars, which the short road does not reach.
NumberWord longNumber(std::string_view text) {
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Beyond the range of a double: strtod's infinity, or its subnormal or zero.
        parseDoublePrefix(std::string(text).c_str(), value);
    } else if (error != std::errc() || end != text.data() + text.size()) {
        return {NumberWord::Kind::Unrecognised, 0.0};
    }
    if (value == 0.0) {
        return {NumberWord::Kind::Zero, 0.0};
    }
    if (std::isinf(value)) {
        return {NumberWord::Kind::TooLarge, value};
    }
    return {NumberWord::Kind::Number, value};
}

// The lines of a list, one after another (as LineCursor gives those of a joined text).
class ListCursor {
public:
    explicit ListCursor(const std::vector<std::string>& lines) : lines_(lines) {}
    std::optional<std::string_view> next() {
        if (next_ >= lines_.size()) {
            return std::nullopt;
        }
        return lines_[next_++];
    }

private:
    const std::vector<std::string>& lines_;
    std::size_t next_ = 0;
};

// Reads its lines once, from the first to the last (or to where lexing stops), through the
// cursor: a list of lines or the lines of one joined text.
template <typename Cursor> class Lexer {
public:
    // Appends to the stream, which holds no token yet and has room reserved for the capacity.
    Lexer(Cursor lines, TokenStream& tokens, std::size_t capacity)
        : lines_(lines), tokens_(tokens), capacity_(capacity) {}
    // A lexer that writes no tokens but notes what each stretch of its lines reads as.
    Lexer(Cursor lines, TokenStream& unused, LineTokens& classes)
        : lines_(lines), tokens_(unused), capacity_(0), classes_(&classes) {}

    // Returns false when the token count overflowed the capacity.
    bool run() {
        readFirstLine();
        while (true) {
            skipBlanks();
            // Where a mark or a number begins, neither the terminator, nor a keyword, nor a
            // comment (found at the start of its line) can.
            if (const char c = buffer_[position_]; kMarks[static_cast<unsigned char>(c)] != 0) {
                if (!punctuation(kMarks[static_cast<unsigned char>(c)])) {
                    return false;
                }
                continue;
            } else if ((c >= '0' && c <= '9') || c == '-' || c == '.') {
                if (!word()) {
                    return false;
                }
                continue;
            }
            if (startsWithKeyword(buffer_.data() + position_, kTerminator)) {
                note(position_, kTerminator.size(), TokenClass::Keyword);
                endLine(position_ + kTerminator.size(), true);
                return true;
            }
            if (buffer_[0] == '/' && buffer_[1] == '/') {
                note(0, std::strlen(buffer_.data()), TokenClass::Comment);
                if (!readNextLine()) {
                    return true;
                }
                if (!write(EndOfLine, 1)) {
                    return false;
                }
                continue;
            }
            std::size_t recognised = 0;
            if (!keywordPass(recognised)) {
                return false;
            }
            skipBlanks();
            const char c = buffer_[position_];
            bool written = true;
            if (c == '\0') {
                endLine(position_, false);
                if (!readNextLine()) {
                    return true;
                }
                written = write(EndOfLine, 1);
            } else if (const TokenCode mark = kMarks[static_cast<unsigned char>(c)]; mark != 0) {
                written = punctuation(mark);
            } else if (recognised == 0) {
                // After a keyword the next round looks at the text first: a keyword that stands
                // before its table position (model weight) is recognised there, and so is the
                // terminator (model end).
                written = word();
            }
            if (!written) {
                return false;
            }
        }
    }

    std::size_t count() const { return count_; }

private:
    void note(std::size_t start, std::size_t length, TokenClass kind) {
        if (classes_ != nullptr && length > 0) {
            classes_->spans.push_back({start, length, kind});
        }
    }

    // The lexer leaves the line at column `at` (the rest is never read); stops: for good.
    void endLine(std::size_t at, bool stops) {
        if (classes_ != nullptr) {
            const std::size_t length = lineLength_;
            note(at, length > at ? length - at : 0, TokenClass::Ignored);
            classes_->endsLexing = classes_->endsLexing || stops;
        }
    }

    // The first line is read without testing the result: a longer line is lexed as far as it
    // was copied.
    void readFirstLine() {
        buffer_.fill('\0');
        if (const auto line = lines_.next()) {
            std::memcpy(buffer_.data(), line->data(), std::min(line->size(), kFirstLineCopied));
            lineLength_ = line->size();
        }
        position_ = 0;
    }

    // Fails at the end of the text and at a line longer than kLineFits characters.
    bool readNextLine() {
        const auto line = lines_.next();
        if (!line || line->size() > kLineFits) {
            return false;
        }
        std::memcpy(buffer_.data(), line->data(), line->size());
        buffer_[line->size()] = '\0';
        lineLength_ = line->size();
        position_ = 0;
        return true;
    }

    void skipBlanks() {
        while (isBlank(static_cast<unsigned char>(buffer_[position_]))) {
            ++position_;
        }
    }

    // One pass over the keyword table in its order; counts the keywords recognised. The
    // position moves only when a keyword matches, so the pass tries, from where it stands in
    // the table, only the keywords that begin with the letter at the position: once none is
    // left, the rest of the pass cannot match either.
    bool keywordPass(std::size_t& recognised) {
        unsigned remaining = (1u << kKeywords.size()) - 1;
        while (true) {
            skipBlanks();
            const unsigned char first = asciiLower(static_cast<unsigned char>(buffer_[position_]));
            const unsigned candidates = kKeywordsByInitial[first] & remaining;
            if (candidates == 0) {
                return true;
            }
            const auto k = static_cast<unsigned>(std::countr_zero(candidates));
            remaining &= ~((2u << k) - 1);
            const Keyword& keyword = kKeywords[k];
            if (startsWithKeyword(buffer_.data() + position_, keyword.text)) {
                note(position_, keyword.text.size(), TokenClass::Keyword);
                position_ += keyword.text.size();
                ++recognised;
                if (!write(keyword.code, 1)) {
                    return false;
                }
            }
        }
    }

    bool punctuation(TokenCode code) {
        note(position_, 1, TokenClass::Punctuation);
        ++position_;
        return write(code, 1);
    }

    bool word() {
        const std::size_t start = position_;
        const std::size_t lineEnd = std::min(lineLength_, kFirstLineCopied);
        NumberWord number;
        if (const std::optional<ShortNumber> shortNumber = readShortNumber(
                std::string_view(buffer_.data() + start, std::max(lineEnd, start) - start))) {
            position_ += shortNumber->length;
            if (shortNumber->exact) {
                note(start, shortNumber->length, TokenClass::Number);
                return shortNumber->value == 0.0 ? write(ZeroMarker, 0)
                                                 : writeValue(shortNumber->value, 0);
            }
            // The whole word is the number: the long road reads it without scanning it again.
            number = longNumber(std::string_view(buffer_.data() + start, shortNumber->length));
        } else {
            while (!endsWord(buffer_[position_])) {
                ++position_;
            }
            number = readNumberWord(std::string_view(buffer_.data() + start, position_ - start));
        }
        const bool isNumber =
            number.kind == NumberWord::Kind::Number || number.kind == NumberWord::Kind::Zero;
        note(start, position_ - start, isNumber ? TokenClass::Number : TokenClass::Unrecognised);
        switch (number.kind) {
        case NumberWord::Kind::Unrecognised:
            return write(Unrecognised, 1);
        case NumberWord::Kind::Zero:
            return write(ZeroMarker, 0);
        case NumberWord::Kind::TooLarge:
            return write(NumberTooLarge, 1);
        case NumberWord::Kind::Number:
            break;
        }
        return writeValue(number.value, 0);
    }

    bool write(TokenCode code, std::int32_t flag) {
        return writeValue(static_cast<double>(code), flag);
    }

    // The token is written first; the count check guards against a text that yields more
    // tokens than the capacity counted (it never does, but the stream must not be overrun).
    bool writeValue(double value, std::int32_t flag) {
        if (classes_ != nullptr) {
            return true;
        }
        tokens_.append(value, flag);
        if (static_cast<std::int64_t>(count_) > static_cast<std::int64_t>(capacity_) - 2) {
            return false;
        }
        ++count_;
        return true;
    }

    Cursor lines_;
    TokenStream& tokens_;
    std::size_t capacity_;
    std::array<char, kFirstLineCopied + 1> buffer_{};
    std::size_t position_ = 0;
    std::size_t lineLength_ = 0; // of the line in the buffer, as long as it is in the text
    std::size_t count_ = 0;
    LineTokens* classes_ = nullptr;
};

} // namespace

NumberWord readNumberWord(std::string_view word) {
    std::size_t i = 0;
    const auto at = [&](std::size_t k) -> char { return k < word.size() ? word[k] : '\0'; };
    while (i < word.size() && (word[i] == ' ' || (word[i] >= '\t' && word[i] <= '\r'))) {
        ++i;
    }
    std::size_t numberStart = i;
    if (at(i) == '+') {
        ++i;
        numberStart = i; // std::from_chars takes no plus sign
    } else if (at(i) == '-') {
        ++i;
    }
    const std::size_t length = scanDecimalNumber(word.substr(i));
    if (length == 0) {
        return {NumberWord::Kind::Unrecognised, 0.0};
    }
    i += length;
    const std::size_t numberEnd = i;
    // Whatever follows the number must be blanks: 12abc or 5} is no number.
    for (; i < word.size(); ++i) {
        if (!isBlank(static_cast<unsigned char>(word[i]))) {
            return {NumberWord::Kind::Unrecognised, 0.0};
        }
    }
    const std::string_view text = word.substr(numberStart, numberEnd - numberStart);
    if (const std::optional<ShortNumber> number = readShortNumber(text); number && number->exact) {
        if (number->value == 0.0) {
            return {NumberWord::Kind::Zero, 0.0};
        }
        return {NumberWord::Kind::Number, number->value};
    }
    return longNumber(text);
}

LineTokens classifyLine(std::string_view line, bool first) {
    LineTokens classes;
    if (!first && line.size() > kLineFits) {
        // The lexer stops before this line.
        classes.spans.push_back({0, line.size(), TokenClass::Ignored});
        classes.endsLexing = true;
        return classes;
    }
    // The first line is read as far as it is copied; its lexer sees that copy as the line.
    const std::size_t read = first ? std::min(line.size(), kFirstLineCopied) : line.size();
    TokenStream unused;
    Lexer<LineCursor>(LineCursor(line.substr(0, read)), unused, classes).run();
    if (read < line.size()) {
        const std::size_t covered =
            classes.spans.empty() ? 0 : classes.spans.back().start + classes.spans.back().length;
        if (classes.spans.empty() || classes.spans.back().kind != TokenClass::Ignored) {
            classes.spans.push_back({std::max(covered, read), line.size() - std::max(covered, read),
                                     TokenClass::Ignored});
        } else {
            classes.spans.back().length = line.size() - classes.spans.back().start;
        }
    }
    return classes;
}

namespace {

template <typename Cursor> std::int64_t totalOf(Cursor lines) {
    std::int64_t total = 0;
    for (auto line = lines.next(); line; line = lines.next()) {
        total += static_cast<std::int64_t>(line->size()) + 2;
    }
    return total;
}

template <typename Cursor> std::size_t capacityOf(Cursor lines) {
    std::size_t capacity = 0;
    for (auto line = lines.next(); line; line = lines.next()) {
        const std::size_t scanned = std::min(line->size(), kCapacityScan);
        capacity += 1 + scanned -
                    static_cast<std::size_t>(std::count(line->data(), line->data() + scanned, ' '));
    }
    return capacity;
}

template <typename Cursor>
std::optional<std::size_t> lexWith(Cursor lines, std::size_t capacity, TokenStream& tokens) {
    tokens.reset(capacity);
    if (capacity == 0) {
        return 0;
    }
    Lexer<Cursor> lexer(lines, tokens, capacity);
    const bool fits = lexer.run();
    if (tokens.values.size() < capacity) {
        tokens.append(static_cast<double>(EndOfStream), 1);
    }
    if (!fits) {
        return std::nullopt;
    }
    return lexer.count();
}

template <typename Cursor>
std::optional<Message> lexDescriptionWith(Cursor lines, NetworkRecord& record) {
    const std::int64_t total = totalOf(lines);
    record.characterTotal = static_cast<std::int32_t>(
        std::min<std::int64_t>(total, std::numeric_limits<std::int32_t>::max()));
    if (total <= 2) {
        return Message{MessageKind::Information, kNotDescribedText};
    }
    TokenStream tokens;
    const std::optional<std::size_t> count = lexWith(lines, capacityOf(lines), tokens);
    record.tokens = std::move(tokens);
    if (!count) {
        return Message{MessageKind::Information, kUnrecognisedDescriptionText};
    }
    return std::nullopt;
}

} // namespace

std::int64_t characterTotal(const std::vector<std::string>& lines) {
    return totalOf(ListCursor(lines));
}

std::int64_t characterTotal(const DescriptionText& text) {
    return totalOf(text.lines());
}

std::size_t streamCapacity(const std::vector<std::string>& lines) {
    return capacityOf(ListCursor(lines));
}

std::size_t streamCapacity(const DescriptionText& text) {
    return capacityOf(text.lines());
}

std::optional<std::size_t> lexLines(const std::vector<std::string>& lines, std::size_t capacity,
                                    TokenStream& tokens) {
    return lexWith(ListCursor(lines), capacity, tokens);
}

std::optional<std::size_t> lexLines(const DescriptionText& text, std::size_t capacity,
                                    TokenStream& tokens) {
    return lexWith(text.lines(), capacity, tokens);
}

std::optional<Message> lexDescription(const std::vector<std::string>& lines,
                                      NetworkRecord& record) {
    return lexDescriptionWith(ListCursor(lines), record);
}

std::optional<Message> lexDescription(const DescriptionText& text, NetworkRecord& record) {
    return lexDescriptionWith(text.lines(), record);
}

std::size_t tokenCount(const TokenStream& tokens) {
    for (std::size_t i = 0; i < tokens.values.size(); ++i) {
        if (tokens.values[i] == static_cast<double>(EndOfStream) && tokens.flags[i] == 1) {
            return i;
        }
    }
    return std::min(tokens.values.size(), tokens.capacity());
}

} // namespace axolite::language

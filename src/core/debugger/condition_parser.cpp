// Reading a condition: the logic words and comparisons are found by splitting the text outside
// brackets, as the formula language splits at its operators; the operands of a comparison are
// formulas of the Condition dialect, whose names are checked here with reasons a user can act on.
#include "core/debugger/condition.h"

#include "core/platform/text_encoding.h"

#include <array>
#include <charconv>

namespace axolite::debugger {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A byte of a word: ASCII letters, digits, "_", and every byte of a multi-byte character (the
// Russian logic words).
bool isWordByte(char c) {
    return isAsciiLetter(c) || isDigit(c) || c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

// The characters an operand may hold besides blanks.
bool isOperandCharacter(char c) {
    return isAsciiLetter(c) || isDigit(c) || c == '_' || c == '.' || c == '+' || c == '-' ||
           c == '*' || c == '/' || c == '(' || c == ')';
}

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

enum class Logic { Or, And };

bool isLogicWord(std::string_view word, Logic logic) {
    const std::string ascii = lowered(word);
    if (logic == Logic::Or) {
        return ascii == "or" || word == "или" || word == "ИЛИ" || word == "Или";
    }
    return ascii == "and" || word == "и" || word == "И";
}

struct ComparisonToken {
    std::string_view text;
    Comparison comparison;
};

// Two-character signs first, so that "<=" is not read as "<".
constexpr std::array<ComparisonToken, 8> kComparisons{{
    {"<=", Comparison::LessOrEqual},
    {">=", Comparison::GreaterOrEqual},
    {"<>", Comparison::NotEqual},
    {"!=", Comparison::NotEqual},
    {"==", Comparison::Equal},
    {"<", Comparison::Less},
    {">", Comparison::Greater},
    {"=", Comparison::Equal},
}};

bool isComparisonCharacter(char c) {
    return c == '<' || c == '>' || c == '=' || c == '!';
}

constexpr std::array<std::string_view, 7> kFunctions{"sin", "cos",  "tg", "ctg",
                                                     "exp", "sqrt", "abs"};

} // namespace

class ConditionParser {
public:
    ConditionParser(std::string_view text, std::int32_t neurons, int outputs)
        : text_(text), neurons_(neurons), outputs_(outputs) {}

    Condition::Parsed parse() {
        if (!checkBrackets()) {
            return {std::nullopt, error_};
        }
        const Span all = trimmed({0, text_.size()});
        if (all.empty()) {
            fail(0, "условие не задано");
        } else {
            orPart(all);
        }
        if (error_) {
            return {std::nullopt, error_};
        }
        return {std::move(condition_), std::nullopt};
    }

private:
    struct Span {
        std::size_t begin;
        std::size_t end;
        bool empty() const { return begin >= end; }
    };

    void fail(std::size_t byte, std::string reason) {
        if (!error_) {
            error_ = ConditionError{characterPosition(byte), std::move(reason)};
        }
    }

    // The position in characters, from 1, of a byte of the (UTF-8) text.
    std::size_t characterPosition(std::size_t byte) const {
        std::size_t position = 1;
        for (std::size_t i = 0; i < byte && i < text_.size(); ++i) {
            if ((static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80) {
                ++position;
            }
        }
        return position;
    }

    // The whole character at byte, for a message.
    std::string characterAt(std::size_t byte) const {
        char32_t c = 0;
        const std::size_t length = platform::decodeUtf8(text_, byte, c);
        return std::string(text_.substr(byte, length == 0 ? 1 : length));
    }

    bool checkBrackets() {
        std::vector<std::size_t> open; // the brackets not yet closed
        for (std::size_t i = 0; i < text_.size(); ++i) {
            if (text_[i] == '(') {
                open.push_back(i);
            } else if (text_[i] == ')') {
                if (open.empty()) {
                    fail(i, "лишняя закрывающая скобка");
                    return false;
                }
                open.pop_back();
            }
        }
        if (!open.empty()) {
            fail(open.back(), "не закрыто скобок: " + std::to_string(open.size()));
            return false;
        }
        return true;
    }

    Span trimmed(Span s) const {
        while (s.begin < s.end && isBlank(text_[s.begin])) {
            ++s.begin;
        }
        while (s.end > s.begin && isBlank(text_[s.end - 1])) {
            --s.end;
        }
        return s;
    }

    // The logic words of one kind that stand outside brackets in s, as spans.
    std::vector<Span> logicWords(Span s, Logic logic) const {
        std::vector<Span> words;
        long depth = 0;
        std::size_t i = s.begin;
        while (i < s.end) {
            const char c = text_[i];
            if (!isWordByte(c)) {
                depth += c == '(' ? 1 : c == ')' ? -1 : 0;
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < s.end && isWordByte(text_[end])) {
                ++end;
            }
            if (depth == 0 && isLogicWord(text_.substr(i, end - i), logic)) {
                words.push_back({i, end});
            }
            i = end;
        }
        return words;
    }

    // Parts joined by the logic words of one kind; each part is read by next.
    template <typename Next> void joined(Span s, Logic logic, Condition::Node node, Next next) {
        const std::vector<Span> words = logicWords(s, logic);
        std::size_t begin = s.begin;
        for (std::size_t k = 0; k <= words.size(); ++k) {
            const Span part = trimmed({begin, k < words.size() ? words[k].begin : s.end});
            if (part.empty()) {
                const Span word = words[k < words.size() ? k : k - 1];
                fail(part.begin, "пропущено условие рядом со словом «" +
                                     std::string(text_.substr(word.begin, word.end - word.begin)) +
                                     "»");
                return;
            }
            next(part);
            if (k > 0) {
                condition_.logic_.push_back({node, 0});
            }
            if (k < words.size()) {
                begin = words[k].end;
            }
        }
    }

    void orPart(Span s) {
        joined(s, Logic::Or, Condition::Node::Or, [this](Span part) { andPart(part); });
    }

    void andPart(Span s) {
        joined(s, Logic::And, Condition::Node::And, [this](Span part) { primary(part); });
    }

    // A condition in brackets, or a comparison.
    void primary(Span s) {
        if (text_[s.begin] == '(' && matchingBracket(s.begin) == s.end - 1) {
            const Span inside = trimmed({s.begin + 1, s.end - 1});
            if (inside.empty()) {
                fail(s.begin, "пустые скобки");
                return;
            }
            orPart(inside);
            return;
        }
        comparison(s);
    }

    std::size_t matchingBracket(std::size_t open) const {
        long depth = 0;
        for (std::size_t i = open; i < text_.size(); ++i) {
            depth += text_[i] == '(' ? 1 : text_[i] == ')' ? -1 : 0;
            if (depth == 0) {
                return i;
            }
        }
        return text_.size();
    }

    // The position of the first comparison sign outside brackets in s, and the sign.
    std::optional<std::pair<std::size_t, ComparisonToken>> findComparison(Span s) const {
        long depth = 0;
        for (std::size_t i = s.begin; i < s.end; ++i) {
            const char c = text_[i];
            depth += c == '(' ? 1 : c == ')' ? -1 : 0;
            if (depth != 0 || !isComparisonCharacter(c)) {
                continue;
            }
            for (const ComparisonToken& token : kComparisons) {
                if (text_.substr(i, std::min(token.text.size(), s.end - i)) == token.text) {
                    return std::pair{i, token};
                }
            }
            return std::pair{i, ComparisonToken{"", Comparison::Equal}};
        }
        return std::nullopt;
    }

    void comparison(Span s) {
        const auto found = findComparison(s);
        if (!found) {
            for (std::size_t i = s.begin; i < s.end; ++i) {
                if (!isBlank(text_[i]) && !isOperandCharacter(text_[i])) {
                    fail(i, "недопустимый символ «" + characterAt(i) + "»");
                    return;
                }
            }
            fail(s.begin, "нет сравнения: ожидается один из знаков < <= > >= = <> !=");
            return;
        }
        const auto [at, token] = *found;
        if (token.text.empty()) {
            fail(at, "недопустимый знак «" + characterAt(at) + "»: сравнения < <= > >= = <> !=");
            return;
        }
        const Span right{at + token.text.size(), s.end};
        if (const auto second = findComparison(right)) {
            fail(second->first, "второе сравнение подряд: соедините сравнения словом «и»");
            return;
        }
        auto left = operand(trimmed({s.begin, at}), at);
        if (!left) {
            return;
        }
        auto rightFormula = operand(trimmed(right), at);
        if (!rightFormula) {
            return;
        }
        condition_.logic_.push_back(
            {Condition::Node::Test, static_cast<std::uint32_t>(condition_.tests_.size())});
        condition_.tests_.push_back({std::move(*left), std::move(*rightFormula), token.comparison});
    }

    // One side of a comparison: the blanks taken out (never inside a number or a name), the
    // characters and names checked, then the formula compiled.
    std::optional<reference::Formula> operand(Span s, std::size_t sign) {
        if (s.empty()) {
            fail(sign, "пропущено значение рядом со знаком сравнения");
            return std::nullopt;
        }
        std::string compact;
        std::vector<std::size_t> offsets; // the text's byte of every character of compact
        for (std::size_t i = s.begin; i < s.end; ++i) {
            const char c = text_[i];
            if (isBlank(c)) {
                continue;
            }
            if (!isOperandCharacter(c)) {
                fail(i, "недопустимый символ «" + characterAt(i) + "»");
                return std::nullopt;
            }
            if (!offsets.empty() && offsets.back() + 1 != i && isNamePart(compact.back()) &&
                isNamePart(c)) {
                fail(offsets.back() + 1, "пробел внутри числа или имени");
                return std::nullopt;
            }
            compact.push_back(c);
            offsets.push_back(i);
        }
        if (!checkNames(compact, offsets)) {
            return std::nullopt;
        }
        std::size_t failedAt = 0;
        auto formula = reference::Formula::parse(
            compact, reference::FormulaDialect::Condition,
            [this](std::string_view name) { return slotOf(name); }, &failedAt);
        if (!formula) {
            fail(failedAt < offsets.size() ? offsets[failedAt] : s.end,
                 "выражение не читается: пропущен операнд, число записано неверно или после "
                 "функции стоят лишние символы");
        }
        return formula;
    }

    static bool isNamePart(char c) {
        return isAsciiLetter(c) || isDigit(c) || c == '_' || c == '.';
    }

    // Every run of letters and digits that begins with a letter is a function (before "(") or a
    // name of the run's values.
    bool checkNames(const std::string& compact, const std::vector<std::size_t>& offsets) {
        const std::string lower = lowered(compact);
        std::size_t i = 0;
        while (i < lower.size()) {
            if (!isNamePart(lower[i])) {
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < lower.size() && isNamePart(lower[end])) {
                ++end;
            }
            const std::string_view word = std::string_view(lower).substr(i, end - i);
            if (isAsciiLetter(word.front()) || word.front() == '_') {
                const bool function = end < lower.size() && lower[end] == '(';
                const std::string reason = function ? functionProblem(word) : nameProblem(word);
                if (!reason.empty()) {
                    fail(offsets[i], reason);
                    return false;
                }
            }
            i = end;
        }
        return true;
    }

    static std::string functionProblem(std::string_view word) {
        for (const std::string_view known : kFunctions) {
            if (word == known) {
                return "";
            }
        }
        return "неизвестная функция «" + std::string(word) +
               "»: известны sin cos tg ctg exp sqrt abs";
    }

    std::string nameProblem(std::string_view word) const {
        if (word == "x" || word == "step") {
            return "";
        }
        const std::string known = "неизвестное имя «" + std::string(word) +
                                  "»: известны nK (нейрон K), yK (выход K), x и step";
        if (word.size() < 2 || (word.front() != 'n' && word.front() != 'y')) {
            return known;
        }
        std::int64_t number = 0;
        const auto digits = word.substr(1);
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (end != digits.data() + digits.size()) {
            return known;
        }
        if (word.front() == 'n') {
            return error == std::errc{} && number >= 1 && number <= neurons_
                       ? ""
                       : "нет нейрона " + std::string(digits) + ": нейроны от 1 до " +
                             std::to_string(neurons_);
        }
        if (error == std::errc{} && number >= 1 && number <= outputs_) {
            return "";
        }
        return outputs_ == 0 ? "нет выхода y" + std::string(digits) + ": у сети нет выходов"
                             : "нет выхода y" + std::string(digits) + ": выходы от y1 до y" +
                                   std::to_string(outputs_);
    }

    // The slot of a checked name, added on its first mention.
    std::optional<std::uint32_t> slotOf(std::string_view name) {
        ValueName value;
        if (name == "step") {
            value.kind = ValueName::Kind::Step;
        } else {
            value.kind = name.front() == 'n' ? ValueName::Kind::Neuron : ValueName::Kind::Output;
            std::int32_t number = 0;
            std::from_chars(name.data() + 1, name.data() + name.size(), number);
            value.index = number - 1;
        }
        auto& names = condition_.names_;
        for (std::size_t k = 0; k < names.size(); ++k) {
            if (names[k] == value) {
                return static_cast<std::uint32_t>(k);
            }
        }
        names.push_back(value);
        return static_cast<std::uint32_t>(names.size() - 1);
    }

    std::string_view text_;
    std::int32_t neurons_;
    int outputs_;
    Condition condition_;
    std::optional<ConditionError> error_;
};

Condition::Parsed Condition::parse(std::string_view text, std::int32_t neurons, int outputs) {
    return ConditionParser(text, neurons, outputs).parse();
}

} // namespace axolite::debugger

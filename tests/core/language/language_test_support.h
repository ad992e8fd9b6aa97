// Helpers of the language tests: lexing and checking description texts written inline.
#pragma once

#include "core/language/checker.h"
#include "core/language/description_text.h"
#include "core/language/lexer.h"
#include "core/language/network_record.h"

#include <string>
#include <utility>
#include <vector>

namespace axolite::language::test {

using Token = std::pair<double, std::int32_t>;

inline Token number(double v) {
    return {v, 0};
}
inline Token code(TokenCode c) {
    return {static_cast<double>(c), c == ZeroMarker ? 0 : 1};
}
inline const Token kZero{static_cast<double>(ZeroMarker), 0};

// The tokens a text lexes into, up to the first end-of-stream element.
inline std::vector<Token> tokensOf(const NetworkRecord& record) {
    std::vector<Token> tokens;
    const std::size_t count = tokenCount(record.tokens);
    for (std::size_t i = 0; i < count; ++i) {
        tokens.emplace_back(record.tokens.values[i], record.tokens.flags[i]);
    }
    return tokens;
}

inline std::vector<Token> lex(const std::string& text) {
    NetworkRecord record;
    lexDescription(decodeDescription(text), record);
    return tokensOf(record);
}

struct Checked {
    NetworkRecord record;
    std::optional<Message> lexMessage;
    CheckResult result;

    bool hasRow(RowKind kind, const std::string& text) const {
        for (const CheckRow& row : result.rows) {
            if (row.kind == kind && row.text == text) {
                return true;
            }
        }
        return false;
    }
    int rowsWithText(const std::string& text) const {
        int n = 0;
        for (const CheckRow& row : result.rows) {
            n += row.text == text ? 1 : 0;
        }
        return n;
    }
    const CheckRow* firstRow(const std::string& text) const {
        for (const CheckRow& row : result.rows) {
            if (row.text == text) {
                return &row;
            }
        }
        return nullptr;
    }
};

inline Checked check(const std::string& text) {
    Checked checked;
    checked.lexMessage = lexDescription(decodeDescription(text), checked.record);
    if (!checked.lexMessage) {
        checked.result = checkDescription(checked.record);
    }
    return checked;
}

// The description that checks correct with ten warnings; tests vary one statement of it.
inline const std::string kMinimal = "neurons 2;\n"
                                    "simtime 0, 1;\n"
                                    "timestep 0.1;\n"
                                    "outputlayer {neuron 1, weight 1;}\n"
                                    "networklayout {neuron 1, neuron 2, weight 0.5;}\n"
                                    "end\n";

// A complete description with every statement, correct without warnings.
inline const std::string kComplete = "neurons 3;\n"
                                     "simtime 0, 2;\n"
                                     "timestep 0.5;\n"
                                     "inputlayer {neuron 1;}\n"
                                     "outputlayer {neuron 3, weight 2;}\n"
                                     "initstate {(neuron 1, neuron 2, neuron 3), 0.5;}\n"
                                     "suspend {(neuron 1, neuron 2, neuron 3), 1;}\n"
                                     "model {(neuron 1, neuron 2, neuron 3), 1;}\n"
                                     "networklayout {\n"
                                     "  neuron 1, (neuron 2, neuron 3), weight 0.5, 0.25;\n"
                                     "  neuron 2, neuron 3, weight 1;\n"
                                     "}\n"
                                     "end\n";

} // namespace axolite::language::test

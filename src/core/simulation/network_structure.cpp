// Reading the structure of a checked description from its token stream. The walk follows the
// check's own steps token for token (line ends passed over, any token accepted where a number
// stands), so it consumes exactly what the check consumed; unlike the check it never trusts a
// neuron number or a count to stay inside the network's arrays.
#include "core/simulation/network_structure.h"

#include "core/common/message.h"
#include "core/common/number_text.h"
#include "core/language/checker.h"
#include "core/language/lexer.h"

#include <cmath>
#include <map>
#include <string>

namespace axolite::simulation {

using language::TokenCode;

std::string neuronOutOfRangeText(double number, std::int32_t line, std::int32_t neurons) {
    return "Номер нейрона " + formatNumber("%g", number) + " в строке " + std::to_string(line) +
           " лежит вне диапазона от 1 до " + std::to_string(neurons) +
           ". Моделирование невозможно.";
}

std::string weightsDoNotMatchText(std::int32_t line) {
    return "Число нейронов и весов не совпадает в строке " + std::to_string(line) +
           ". Моделирование невозможно.";
}

std::string numberTooLargeText(std::int32_t line) {
    return "В строке " + std::to_string(line) +
           " слишком большое или слишком малое числовое выражение. Моделирование невозможно.";
}

std::string notANumberText(std::int32_t line) {
    return "В строке " + std::to_string(line) +
           " вместо числа стоит служебное слово или знак. Моделирование невозможно.";
}

namespace {

class Walker {
public:
    // line: the line of the token at start.
    Walker(const language::TokenStream& tokens, std::size_t start, std::int32_t line,
           std::int32_t neurons)
        : tokens_(tokens), pos_(start), line_(line), neurons_(neurons) {}

    bool at(TokenCode code) {
        passOver();
        return pos_ < tokens_.capacity() && tokens_.is(pos_, code);
    }

    void expect(TokenCode code) {
        if (!at(code)) {
            fail();
        }
        ++pos_;
    }

    // The number where the check expected one; the zero marker reads as 0. The check takes any
    // token there, but a keyword, a mark or a number beyond the range of a double read as a
    // number would simulate its code.
    double number() {
        passOver();
        if (pos_ >= tokens_.capacity() || tokens_.is(pos_, language::EndOfStream)) {
            fail();
        }
        if (tokens_.is(pos_, language::NumberTooLarge)) {
            throw AxoliteError(MessageKind::Error, numberTooLargeText(lineOf(pos_)));
        }
        if (tokens_.flags[pos_] != 0) {
            throw AxoliteError(MessageKind::Error, notANumberText(lineOf(pos_)));
        }
        const double value = tokens_.isZeroMarker(pos_) ? 0.0 : tokens_.values[pos_];
        ++pos_;
        return value;
    }

    // `neuron` k: the zero-based index of k, which must name a neuron of the network.
    std::int32_t neuron() {
        expect(language::KwNeuron);
        passOver();
        const std::size_t where = pos_;
        const double k = number();
        if (!(k >= 1.0 && k < static_cast<double>(neurons_) + 1.0)) {
            throw AxoliteError(MessageKind::Error,
                               neuronOutOfRangeText(k, lineOf(where), neurons_));
        }
        return static_cast<std::int32_t>(k) - 1;
    }

    // The line (from 1) of the token at index: one more than the line ends before it.
    std::int32_t lineOf(std::size_t index) const {
        std::int32_t line = 1;
        for (std::size_t i = 0; i < index && i < tokens_.capacity(); ++i) {
            if (tokens_.is(i, language::EndOfLine)) {
                ++line;
            }
        }
        return line;
    }

    std::size_t position() {
        passOver();
        return pos_;
    }

    // The line of the next token.
    std::int32_t line() {
        passOver();
        return line_;
    }

private:
    void passOver() {
        while (pos_ < tokens_.capacity() && (tokens_.is(pos_, language::EndOfLine) ||
                                             tokens_.is(pos_, language::Unrecognised))) {
            if (tokens_.is(pos_, language::EndOfLine)) {
                ++line_;
            }
            ++pos_;
        }
    }

    [[noreturn]] void fail() const {
        throw AxoliteError(MessageKind::Error, language::kUnrecognisedDescriptionText);
    }

    const language::TokenStream& tokens_;
    std::size_t pos_;
    std::int32_t line_;
    std::int32_t neurons_;
};

// A target of INITSTATE, SUSPEND or MODEL: one `neuron` k, or a parenthesised list of them.
std::vector<std::int32_t> readTarget(Walker& w) {
    std::vector<std::int32_t> neurons;
    if (!w.at(language::LeftParen)) {
        neurons.push_back(w.neuron());
        return neurons;
    }
    w.expect(language::LeftParen);
    while (!w.at(language::RightParen)) {
        neurons.push_back(w.neuron());
        if (!w.at(language::RightParen)) {
            w.expect(language::Comma);
        }
    }
    w.expect(language::RightParen);
    return neurons;
}

void readAssignments(Walker& w, std::vector<NetworkStructure::Assignment>& into) {
    w.expect(language::LeftBrace);
    while (!w.at(language::RightBrace)) {
        NetworkStructure::Assignment entry;
        entry.neurons = readTarget(w);
        w.expect(language::Comma);
        entry.line = w.line();
        entry.value = w.number();
        w.expect(language::Semicolon);
        into.push_back(std::move(entry));
    }
    w.expect(language::RightBrace);
}

void readLayout(Walker& w, std::vector<NetworkStructure::Connection>& into) {
    // One entry's receivers, weights and their lines, kept across entries for their room.
    std::vector<std::int32_t> receivers;
    std::vector<double> weights;
    std::vector<std::int32_t> lines;
    w.expect(language::LeftBrace);
    while (!w.at(language::RightBrace)) {
        const std::size_t start = w.position();
        const std::int32_t sender = w.neuron();
        w.expect(language::Comma);
        receivers.clear();
        weights.clear();
        lines.clear();
        if (!w.at(language::LeftParen)) {
            receivers.push_back(w.neuron());
            w.expect(language::Comma);
            w.expect(language::KwWeight);
            lines.push_back(w.line());
            weights.push_back(w.number());
        } else {
            w.expect(language::LeftParen);
            while (!w.at(language::RightParen)) {
                receivers.push_back(w.neuron());
                if (!w.at(language::RightParen)) {
                    w.expect(language::Comma);
                }
            }
            w.expect(language::RightParen);
            w.expect(language::Comma);
            w.expect(language::KwWeight);
            while (!w.at(language::Semicolon)) {
                lines.push_back(w.line());
                weights.push_back(w.number());
                if (!w.at(language::Semicolon)) {
                    w.expect(language::Comma);
                }
            }
        }
        w.expect(language::Semicolon);
        // The check compares the totals of the whole statement only; one entry's weights must
        // match its own receivers or the weights would land on other connections.
        if (receivers.size() != weights.size()) {
            throw AxoliteError(MessageKind::Error, weightsDoNotMatchText(w.lineOf(start)));
        }
        for (std::size_t c = 0; c < receivers.size(); ++c) {
            into.push_back({sender, receivers[c], weights[c], lines[c]});
        }
    }
    w.expect(language::RightBrace);
}

void readOutputs(Walker& w, std::vector<NetworkStructure::Output>& into) {
    w.expect(language::LeftBrace);
    while (!w.at(language::RightBrace)) {
        NetworkStructure::Output entry;
        entry.neuron = w.neuron();
        w.expect(language::Comma);
        w.expect(language::KwWeight);
        entry.weight = w.number();
        w.expect(language::Semicolon);
        if (into.size() < static_cast<std::size_t>(language::kOutputCount)) {
            into.push_back(entry);
        }
    }
    w.expect(language::RightBrace);
}

// The lines of the statements' keywords, found in one pass over the stream.
class KeywordLines {
public:
    KeywordLines(const language::TokenStream& tokens, const language::CheckResult& check) {
        for (const auto& positions : check.positions) {
            for (const std::size_t p : positions) {
                lines_.emplace(p, 0);
            }
        }
        std::int32_t line = 1;
        std::size_t i = 0;
        for (auto& [position, lineOfPosition] : lines_) {
            for (; i < position && i < tokens.capacity(); ++i) {
                if (tokens.is(i, language::EndOfLine)) {
                    ++line;
                }
            }
            lineOfPosition = line;
        }
    }
    std::int32_t of(std::size_t position) const { return lines_.at(position); }

private:
    std::map<std::size_t, std::int32_t> lines_;
};

} // namespace

NetworkStructure readNetworkStructure(const language::TokenStream& tokens,
                                      const language::CheckResult& check, std::int32_t neurons) {
    using language::Statement;
    NetworkStructure structure;
    const KeywordLines lines(tokens, check);
    const auto each = [&](Statement statement, auto&& read) {
        for (const std::size_t keyword : check.positionsOf(statement)) {
            Walker w(tokens, keyword + 1, lines.of(keyword), neurons);
            read(w);
        }
    };
    each(Statement::NetworkLayout, [&](Walker& w) { readLayout(w, structure.connections); });
    each(Statement::Model, [&](Walker& w) { readAssignments(w, structure.models); });
    each(Statement::Suspend, [&](Walker& w) { readAssignments(w, structure.waits); });
    each(Statement::InitState, [&](Walker& w) { readAssignments(w, structure.initialStates); });
    const std::vector<std::size_t>& outputs = check.positionsOf(Statement::OutputLayer);
    if (!outputs.empty()) {
        Walker w(tokens, outputs.back() + 1, lines.of(outputs.back()), neurons);
        readOutputs(w, structure.outputs);
    }
    return structure;
}

} // namespace axolite::simulation

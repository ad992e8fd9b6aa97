// Builds a checked description for the simulation tests without depending on the checker's
// findings: the text is lexed, and the facts the check hands to the simulation (interval, step,
// N, statement positions) are read straight off the token stream of these well-formed texts.
#pragma once

#include "core/language/checker.h"
#include "core/language/lexer.h"
#include "core/language/network_record.h"
#include "core/platform/text_encoding.h"
#include "core/simulation/neuron_model.h"

#include "test_support.h"

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace axolite::test {

inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    if (lines.empty()) {
        lines.emplace_back();
    }
    return lines;
}

inline double numberAt(const language::TokenStream& t, std::size_t i) {
    return t.isZeroMarker(i) ? 0.0 : t.values[i];
}

// Lexes text into record and returns a check that found it correct.
inline language::CheckResult lexAndAccept(language::NetworkRecord& record,
                                          const std::string& text) {
    using namespace language;
    const auto message = lexDescription(linesOf(text), record);
    if (message) {
        throw std::runtime_error("lexer refused: " + message->text);
    }
    CheckResult check;
    check.correct = true;
    const TokenStream& t = record.tokens;
    const auto next = [&](std::size_t i) {
        ++i;
        while (i < t.capacity() && t.is(i, EndOfLine)) {
            ++i;
        }
        return i;
    };
    for (std::size_t i = 0; i < t.capacity() && !t.is(i, EndOfStream); ++i) {
        const auto mark = [&](Statement s) {
            check.positions[static_cast<std::size_t>(s)].push_back(i);
            check.seen[static_cast<std::size_t>(s)] = true;
        };
        if (t.is(i, KwNeurons)) {
            mark(Statement::Neurons);
            check.neurons = static_cast<std::int32_t>(numberAt(t, next(i)));
        } else if (t.is(i, KwSimTime)) {
            mark(Statement::SimTime);
            const std::size_t a = next(i);
            record.t0 = numberAt(t, a);
            record.t1 = numberAt(t, next(next(a)));
        } else if (t.is(i, KwTimeStep)) {
            mark(Statement::TimeStep);
            record.h = numberAt(t, next(i));
        } else if (t.is(i, KwInputLayer)) {
            mark(Statement::InputLayer);
        } else if (t.is(i, KwOutputLayer)) {
            mark(Statement::OutputLayer);
        } else if (t.is(i, KwInitState)) {
            mark(Statement::InitState);
        } else if (t.is(i, KwSuspend)) {
            mark(Statement::Suspend);
        } else if (t.is(i, KwModel)) {
            mark(Statement::Model);
        } else if (t.is(i, KwNetworkLayout)) {
            mark(Statement::NetworkLayout);
        }
    }
    return check;
}

// A model file in code page 1251 with CRLF line ends, as the product writes them.
inline void writeModelFile(const std::filesystem::path& path, const std::string& utf8Section,
                           const std::vector<std::pair<std::string, std::string>>& keys) {
    std::string text = "[" + utf8Section + "]\r\n";
    for (const auto& [key, value] : keys) {
        text += key + "=" + value + "\r\n";
    }
    writeFile(path, platform::utf8ToCp1251(text));
}

// The default model of the product's examples: linear, Y1 = 10, X1 = -10, Xt = 0.
inline void writeDefaultModel(const std::filesystem::path& folder) {
    writeModelFile(folder / "0.neu", "Линейная",
                   {{"ID", "0"}, {"Y1", "10"}, {"X1", "-10"}, {"Xt", "0"}});
}

} // namespace axolite::test

// Any text goes through decoding, lexing and checking without a crash, a hang or a read outside
// the token stream (the sanitizer build watches the reads).
#include "language_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace axolite::language {
namespace {

using test::check;
using test::Checked;

void expectSane(const Checked& c, const std::string& what) {
    if (c.lexMessage) {
        return;
    }
    const CheckResult& r = c.result;
    EXPECT_LE(r.neurons, kMaxNeurons) << what;
    EXPECT_LE(r.errors(), kAbandonAtError) << what;
    EXPECT_EQ(c.record.errorCount, r.errors()) << what;
    EXPECT_EQ(c.record.warningCount, r.warnings()) << what;
    if (r.correct) {
        EXPECT_FALSE(r.abandoned || r.unrecognised) << what;
        EXPECT_EQ(r.errors(), 0) << what;
    }
    for (const CheckRow& row : r.rows) {
        EXPECT_GE(row.line, 1) << what;
        EXPECT_LE(row.line, r.linesAnalysed + static_cast<std::int32_t>(c.record.tokens.capacity()))
            << what;
    }
}

TEST(Robustness, RandomBytes) {
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(random() % 2000, '\0');
        for (char& b : bytes) {
            b = static_cast<char>(random() & 0xFF);
        }
        expectSane(check(bytes), "random bytes " + std::to_string(round));
    }
}

TEST(Robustness, RandomTokensOfTheLanguage) {
    const std::vector<std::string> pieces{
        "neurons",     "neuron",    "simtime", "timestep", "inputlayer",
        "outputlayer", "initstate", "suspend", "model",    "networklayout",
        "weight",      "{",         "}",       "(",        ")",
        ",",           ";",         "\n",      "1",        "2",
        "0",           "-1",        "1e999",   "abc",      "3.5",
        "65508",       "65501",     "end"};
    std::mt19937 random(777);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int count = static_cast<int>(random() % 80);
        for (int i = 0; i < count; ++i) {
            // "end" rarely, so most texts run to their last line.
            std::size_t k = random() % pieces.size();
            if (pieces[k] == "end" && random() % 4 != 0) {
                k = 0;
            }
            text += pieces[k];
            text += ' ';
        }
        expectSane(check(text), text);
    }
}

TEST(Robustness, InvalidUtf8AndControlCharacters) {
    expectSane(check("neurons 2;\xC3\x28\n\xFF\xFE simtime\x00 0, 1;"), "invalid UTF-8");
    expectSane(check(std::string(500, '\x01')), "control characters");
    expectSane(check(std::string(500, '\0')), "NUL characters");
}

TEST(Robustness, VeryLongLines) {
    const std::string longLine(100000, 'x');
    Checked c = check(longLine);
    expectSane(c, "one long line");
    EXPECT_EQ(c.rowsWithText("Лишний символ в строке"), 1);

    // A long line later on ends the text there.
    c = check(test::kMinimal.substr(0, 11) + longLine + "\n" + test::kMinimal);
    expectSane(c, "long second line");
    EXPECT_TRUE(c.hasRow(RowKind::Error, "Пропущен оператор SIMTIME"));
}

TEST(Robustness, UnbalancedBracesAndMissingEnd) {
    for (const char* text : {"}}}}}}", "{{{{{{", "neurons 2; networklayout {{{{", "))))((((",
                             "neurons 2; initstate {(neuron 1, (neuron 2, ((", "inputlayer }"}) {
        const Checked c = check(text);
        expectSane(c, text);
        EXPECT_FALSE(c.result.correct) << text;
    }
}

TEST(Robustness, AMillionLinesCheckCorrect) {
    std::string text = "neurons 2;\nsimtime 0, 1;\ntimestep 0.1;\noutputlayer {neuron 1, weight "
                       "1;}\nnetworklayout {\n";
    for (int i = 0; i < 1000000; ++i) {
        text += "neuron 1, neuron 2, weight 0.5;\n";
    }
    text += "}\nend\n";
    const Checked c = check(text);
    EXPECT_TRUE(c.result.correct);
    EXPECT_EQ(c.result.linesAnalysed, 1000007);
    EXPECT_EQ(c.result.warnings(), 10);
}

} // namespace
} // namespace axolite::language

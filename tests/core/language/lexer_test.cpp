// The lexer: token codes, keywords, comments, blanks, words and numbers, line reading, capacity.
#include "language_test_support.h"

#include "core/common/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace axolite::language {
namespace {

using test::code;
using test::kZero;
using test::lex;
using test::number;
using test::Token;
using Tokens = std::vector<Token>;

TEST(Lexer, KeywordsAreCaseInsensitive) {
    for (const char* text : {"NEURONS", "Neurons", "neurons", "nEuRoNs"}) {
        EXPECT_EQ(lex(text), Tokens{code(KwNeurons)}) << text;
    }
    EXPECT_EQ(lex("NetworkLayout OUTPUTLAYER Suspend InputLayer InitState TimeStep SimTime "
                  "Neuron Weight Model"),
              (Tokens{code(KwNetworkLayout), code(KwOutputLayer), code(KwSuspend),
                      code(KwInputLayer), code(KwInitState), code(KwTimeStep), code(KwSimTime),
                      code(KwNeuron), code(KwWeight), code(KwModel)}));
}

TEST(Lexer, KeywordsArePrefixesTriedInTableOrder) {
    EXPECT_EQ(lex("neurons"), Tokens{code(KwNeurons)});
    EXPECT_EQ(lex("neuron"), Tokens{code(KwNeuron)});
    EXPECT_EQ(lex("neuron12"), (Tokens{code(KwNeuron), number(12)}));
    EXPECT_EQ(lex("neurons5"), (Tokens{code(KwNeurons), number(5)}));
    // One pass recognises keywords in table order; a later one in the next iteration.
    EXPECT_EQ(lex("weight model"), (Tokens{code(KwWeight), code(KwModel)}));
    EXPECT_EQ(lex("model weight"), (Tokens{code(KwModel), code(KwWeight)}));
    EXPECT_EQ(lex("neuronweight"), (Tokens{code(KwNeuron), code(KwWeight)}));
    EXPECT_EQ(lex("model neuron 1"), (Tokens{code(KwModel), code(KwNeuron), number(1)}));
    EXPECT_EQ(lex("model end neurons"), Tokens{code(KwModel)});
    // The pass goes on with the next table entry, never back to the first: the second neurons
    // is read as neuron and a letter s.
    EXPECT_EQ(lex("neuronsneurons"), (Tokens{code(KwNeurons), code(KwNeuron), code(Unrecognised)}));
    // A keyword glued to other letters leaves them as a word.
    EXPECT_EQ(lex("weights"), (Tokens{code(KwWeight), code(Unrecognised)}));
}

TEST(Lexer, PunctuationAndNumbersOfAnEntry) {
    EXPECT_EQ(lex("{neuron 1, 2;}"),
              (Tokens{code(LeftBrace), code(KwNeuron), number(1), code(Comma), number(2),
                      code(Semicolon), code(RightBrace)}));
    EXPECT_EQ(lex("(neuron 1,neuron 2)"),
              (Tokens{code(LeftParen), code(KwNeuron), number(1), code(Comma), code(KwNeuron),
                      number(2), code(RightParen)}));
}

TEST(Lexer, TerminatorStopsLexingInAnyCase) {
    EXPECT_EQ(lex("neurons 2;\nend\nneurons 3;"),
              (Tokens{code(KwNeurons), number(2), code(Semicolon), code(EndOfLine)}));
    EXPECT_EQ(lex("neurons 2;\n   END neurons 3;"),
              (Tokens{code(KwNeurons), number(2), code(Semicolon), code(EndOfLine)}));
    EXPECT_EQ(lex("neurons 2; Endless"), (Tokens{code(KwNeurons), number(2), code(Semicolon)}));
    EXPECT_TRUE(lex("end neurons 2;").empty());
    // The terminator is looked for only where a token begins.
    EXPECT_EQ(lex("neurons 2; weighted"), (Tokens{code(KwNeurons), number(2), code(Semicolon),
                                                  code(KwWeight), code(Unrecognised)}));
}

TEST(Lexer, CommentLinesBeginInTheFirstColumn) {
    EXPECT_EQ(lex("// neurons 2;\nneurons 3;"),
              (Tokens{code(EndOfLine), code(KwNeurons), number(3), code(Semicolon)}));
    // A comment as the last line yields nothing: there is no further line.
    EXPECT_EQ(lex("neurons 3;\n// the end"),
              (Tokens{code(KwNeurons), number(3), code(Semicolon), code(EndOfLine)}));
    // Indented, it is no comment: its words become tokens.
    EXPECT_EQ(lex("  // neurons"), (Tokens{code(Unrecognised), code(KwNeurons)}));
    EXPECT_EQ(lex("neurons 3; // three"), (Tokens{code(KwNeurons), number(3), code(Semicolon),
                                                  code(Unrecognised), code(Unrecognised)}));
    EXPECT_EQ(lex("//a\n//b\n//c\nneurons"),
              (Tokens{code(EndOfLine), code(EndOfLine), code(EndOfLine), code(KwNeurons)}));
}

TEST(Lexer, ControlCharactersAreBlanksButCodePageLettersAreNot) {
    EXPECT_EQ(lex("\tneurons\x01\x1f\x7f"
                  "2\t;"),
              (Tokens{code(KwNeurons), number(2), code(Semicolon)}));
    // "нейроны" in code page 1251: a word, not blanks.
    EXPECT_EQ(lex("\xED\xE5\xE9\xF0\xEE\xED\xFB 2"), (Tokens{code(Unrecognised), number(2)}));
    // The same word in UTF-8 reads the same.
    EXPECT_EQ(lex("нейроны 2"), (Tokens{code(Unrecognised), number(2)}));
}

TEST(Lexer, ZeroIsTheZeroMarker) {
    for (const char* text : {"0", "-0", "0.000", "0e5", "+0", ".0", "1e-999"}) {
        EXPECT_EQ(lex(text), Tokens{kZero}) << text;
    }
}

TEST(Lexer, NumbersBeyondTheRangeOfADoubleAreMarked) {
    EXPECT_EQ(lex("1e999"), Tokens{code(NumberTooLarge)});
    EXPECT_EQ(lex("-1e999"), Tokens{code(NumberTooLarge)});
    EXPECT_EQ(lex("1.8e308"), Tokens{code(NumberTooLarge)});
    EXPECT_EQ(lex("1.7e308"), Tokens{number(1.7e308)});
}

TEST(Lexer, NumbersAreReadExactly) {
    EXPECT_EQ(lex("0.1 -2.5 +3 .5 5. 1e3 2E-2 1e+2"),
              (Tokens{number(0.1), number(-2.5), number(3), number(0.5), number(5), number(1000),
                      number(0.02), number(100)}));
    EXPECT_EQ(lex("1e-310"), Tokens{number(1e-310)}); // subnormal, not zero
}

// Short numbers take a faster road than long ones; both must give the correctly rounded value,
// bit for bit, around every edge of the short road (digits, scale, 2^53).
TEST(Lexer, NumbersAreReadExactlyOnEveryRoad) {
    std::mt19937_64 random(2024);
    const auto digits = [&](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            text += static_cast<char>('0' + random() % 10);
        }
        return text;
    };
    std::vector<std::string> texts{"9007199254740992",
                                   "9007199254740993",
                                   "9007199254740991",
                                   "18014398509481985",
                                   "0.1e23",
                                   "1e22",
                                   "1e23",
                                   "1e-22",
                                   "1e-23",
                                   "123456789012345678e5",
                                   "0.000000000000000000001",
                                   "5e000"};
    for (int round = 0; round < 20000; ++round) {
        std::string text = (random() % 3 == 0 ? "-" : "") + digits(1 + random() % 20);
        if (random() % 2 == 0) {
            text.insert(text.size() - random() % text.size(), ".");
        }
        if (random() % 2 == 0) {
            text += random() % 2 == 0 ? "e-" : "E";
            text += std::to_string(random() % 30);
        }
        texts.push_back(text);
    }
    // The lexer reads each text on a line of its own, by its own roads.
    std::string lines;
    for (const std::string& text : texts) {
        lines += text + "\n";
    }
    const Tokens lexed = lex(lines);
    ASSERT_GE(lexed.size(), 2 * texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string& text = texts[i];
        const bool negative = text[0] == '-';
        const double magnitude = decimalValue(std::string_view(text).substr(negative ? 1 : 0));
        const double expected = negative ? -magnitude : magnitude;
        const NumberWord word = readNumberWord(text);
        if (expected == 0.0) {
            EXPECT_EQ(word.kind, NumberWord::Kind::Zero) << text;
            EXPECT_EQ(lexed[2 * i], kZero) << text;
        } else {
            ASSERT_EQ(word.kind, NumberWord::Kind::Number) << text;
            EXPECT_EQ(std::bit_cast<std::uint64_t>(word.value),
                      std::bit_cast<std::uint64_t>(expected))
                << text;
            EXPECT_EQ(lexed[2 * i].second, 0) << text;
            EXPECT_EQ(std::bit_cast<std::uint64_t>(lexed[2 * i].first),
                      std::bit_cast<std::uint64_t>(expected))
                << text;
        }
    }
}

TEST(Lexer, WordsThatAreNotWholeNumbersAreUnrecognised) {
    for (const char* text :
         {"abc", "-", ".", "e5", "12abc", "1e", "1.2.3", "0x10", "inf", "nan", "--1"}) {
        const Tokens tokens = lex(text);
        ASSERT_FALSE(tokens.empty()) << text;
        EXPECT_EQ(tokens.front(), code(Unrecognised)) << text;
    }
    // A closing brace glued to a number is part of the word.
    EXPECT_EQ(lex("5}"), Tokens{code(Unrecognised)});
    EXPECT_EQ(lex("5 }"), (Tokens{number(5), code(RightBrace)}));
    // "(", "{" and "}" do not end a word; ",", ";", ")" and the space do.
    EXPECT_EQ(lex("a(b{c}d,e"), (Tokens{code(Unrecognised), code(Comma), code(Unrecognised)}));
    EXPECT_EQ(lex("5)"), (Tokens{number(5), code(RightParen)}));
    // Trailing control characters belong to the word but do not spoil the number; a tab does
    // not end a word, so a brace after it is glued to the number.
    EXPECT_EQ(lex("5\t;"), (Tokens{number(5), code(Semicolon)}));
    EXPECT_EQ(lex("5\t}"), Tokens{code(Unrecognised)});
}

TEST(Lexer, LineEndsFollowEveryLineButTheLast) {
    NetworkRecord record;
    ASSERT_FALSE(lexDescription({"neurons 2;", "timestep 1;", "simtime 0, 1;"}, record));
    const auto tokens = test::tokensOf(record);
    EXPECT_EQ(std::count(tokens.begin(), tokens.end(), code(EndOfLine)), 2);
    EXPECT_EQ(tokens.back(), code(Semicolon));
    ASSERT_LT(tokens.size(), record.tokens.capacity());
    EXPECT_EQ(record.tokens.values[tokens.size()], static_cast<double>(EndOfStream));
    EXPECT_EQ(record.tokens.flags[tokens.size()], 1);
}

TEST(Lexer, EmptyTextIsNotDescribedButBlanksAre) {
    NetworkRecord record;
    const auto message = lexDescription({""}, record);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, "Нейронная сеть не описана.");
    EXPECT_EQ(message->kind, MessageKind::Information);
    EXPECT_EQ(record.characterTotal, 2);
    EXPECT_TRUE(lexDescription(std::vector<std::string>{}, record));

    NetworkRecord blanks;
    EXPECT_FALSE(lexDescription({"   "}, blanks));
    EXPECT_EQ(blanks.characterTotal, 5);
    EXPECT_TRUE(test::tokensOf(blanks).empty());
    NetworkRecord twoEmpty;
    EXPECT_FALSE(lexDescription({"", ""}, twoEmpty));
    EXPECT_EQ(test::tokensOf(twoEmpty), Tokens{code(EndOfLine)});
}

TEST(Lexer, LinesLongerThan126CharactersEndLexing) {
    const std::string fits = std::string(124, ' ') + "7;";
    ASSERT_EQ(fits.size(), 126u);
    EXPECT_EQ(lex("neurons\n" + fits),
              (Tokens{code(KwNeurons), code(EndOfLine), number(7), code(Semicolon)}));
    const std::string tooLong = std::string(125, ' ') + "7;";
    EXPECT_EQ(lex("neurons\n" + tooLong + "\nsimtime"), Tokens{code(KwNeurons)});
}

TEST(Lexer, FirstLineIsLexedAsFarAsItWasCopied) {
    // 127 characters are copied: the number is cut after its seventh digit.
    const std::string first = std::string(120, ' ') + "123456789";
    EXPECT_EQ(lex(first + "\nneurons"),
              (Tokens{number(1234567), code(EndOfLine), code(KwNeurons)}));
    EXPECT_EQ(lex(std::string(100000, 'x')), Tokens{code(Unrecognised)});
}

TEST(Lexer, NulCharacterEndsTheLine) {
    EXPECT_EQ(lex(std::string("neurons 2\0abc;", 14) + "\n;"),
              (Tokens{code(KwNeurons), number(2), code(EndOfLine), code(Semicolon)}));
}

TEST(Lexer, CharacterTotalAndCapacity) {
    const std::vector<std::string> lines{"neurons 2;", "", "\t a b "};
    EXPECT_EQ(characterTotal(lines), (10 + 2) + 2 + (6 + 2));
    // Non-space characters plus one per line; the tab counts.
    EXPECT_EQ(streamCapacity(lines), (9 + 1) + 1 + (3 + 1));
    // Only the first 1023 characters of a line are looked at.
    EXPECT_EQ(streamCapacity({std::string(5000, 'x')}), 1024u);
}

TEST(Lexer, OverflowOfTheCapacityIsReportedNotWrittenPast) {
    TokenStream tokens;
    EXPECT_EQ(lexLines({"1 2"}, 3, tokens), std::optional<std::size_t>(2));
    // With room for one token less than the text holds the lexer stops with the failure; every
    // token it wrote lies inside the stream.
    EXPECT_EQ(lexLines({"1 2 3"}, 2, tokens), std::nullopt);
    EXPECT_EQ(tokens.capacity(), 2u);
    EXPECT_EQ(tokens.values[1], 2.0);
    EXPECT_EQ(lexLines({"1"}, 0, tokens), std::optional<std::size_t>(0));
}

TEST(Lexer, ReadsAllAlikeWithoutGrowingTheStream) {
    NetworkRecord record;
    std::vector<std::string> lines(1000000, "neuron 1, neuron 2, weight 0.5;");
    ASSERT_FALSE(lexDescription(lines, record));
    EXPECT_EQ(record.tokens.capacity(), streamCapacity(lines));
    EXPECT_EQ(tokenCount(record.tokens), 1000000u * 10u - 1u);
}

} // namespace
} // namespace axolite::language

namespace axolite::language {
namespace {

// The class a token of the stream stands for in the editor's colours.
TokenClass classOf(double value, std::int32_t flag) {
    if (flag == 0) {
        return TokenClass::Number; // zero too: its marker carries flag 0
    }
    switch (static_cast<TokenCode>(static_cast<std::int32_t>(value))) {
    case LeftParen:
    case RightParen:
    case LeftBrace:
    case RightBrace:
    case Comma:
    case Semicolon:
        return TokenClass::Punctuation;
    case Unrecognised:
    case NumberTooLarge:
        return TokenClass::Unrecognised;
    default:
        return TokenClass::Keyword;
    }
}

// The colours come from the lexer itself: on random lines, the classes of a line are the tokens
// lexLines writes for it, in order, and the text after the terminator or a NUL is never read.
TEST(LexerClasses, AgreeWithTheTokensOfRandomLines) {
    const std::vector<std::string> pieces{
        "neurons",     "NEURON", "weight", "model",   "simtime", "inputlayer",
        "outputlayer", "end",    "End",    "endless", "12",      "0",
        "-0.5",        "1e999",  "1e5x",   "abc",     "(",       ")",
        "{",           "}",      ",",      ";",       " ",       "  ",
        "\t",          "//",     "/",      "5}",      "e",       std::string(1, '\0'),
        "x,"};
    std::mt19937 random(7);
    for (int round = 0; round < 4000; ++round) {
        std::string line;
        const int count = static_cast<int>(random() % 9);
        for (int i = 0; i < count; ++i) {
            line += pieces[random() % pieces.size()];
        }
        const bool first = round % 5 == 0;
        const LineTokens classes = classifyLine(line, first);

        // The line lexed as the second line of a text whose first line is empty.
        const std::vector<std::string> lines =
            first ? std::vector<std::string>{line} : std::vector<std::string>{"", line};
        TokenStream tokens;
        const auto written = lexLines(lines, streamCapacity(lines) + 4, tokens);
        ASSERT_TRUE(written.has_value());
        std::vector<TokenClass> expected;
        for (std::size_t i = 0; i < *written; ++i) {
            if (tokens.flags[i] == 1 && tokens.values[i] == static_cast<double>(EndOfLine)) {
                continue;
            }
            expected.push_back(classOf(tokens.values[i], tokens.flags[i]));
        }
        std::vector<TokenClass> seen;
        std::size_t end = 0;
        for (const TokenSpan& span : classes.spans) {
            ASSERT_GE(span.start, end) << line;
            end = span.start + span.length;
            if (span.kind != TokenClass::Comment && span.kind != TokenClass::Ignored) {
                seen.push_back(span.kind);
            }
        }
        ASSERT_LE(end, line.size()) << line;
        if (classes.endsLexing) {
            ASSERT_FALSE(seen.empty()) << line; // the terminator, which writes no token
            seen.pop_back();
        }
        EXPECT_EQ(seen, expected) << '"' << line << '"';
    }
}

TEST(LexerClasses, MarkWhatTheLexerNeverReads) {
    const LineTokens comment = classifyLine("// neurons 5", false);
    EXPECT_EQ(comment.spans, (std::vector<TokenSpan>{{0, 12, TokenClass::Comment}}));

    const LineTokens stopped = classifyLine("neurons end 5;", false);
    EXPECT_TRUE(stopped.endsLexing);
    EXPECT_EQ(stopped.spans, (std::vector<TokenSpan>{{0, 7, TokenClass::Keyword},
                                                     {8, 3, TokenClass::Keyword},
                                                     {11, 3, TokenClass::Ignored}}));

    const std::string tooLong(kLineFits + 1, '1');
    EXPECT_TRUE(classifyLine(tooLong, false).endsLexing);
    const LineTokens firstLine = classifyLine(std::string(200, 'x'), true);
    EXPECT_FALSE(firstLine.endsLexing);
    EXPECT_EQ(firstLine.spans.back(),
              (TokenSpan{kFirstLineCopied, 200 - kFirstLineCopied, TokenClass::Ignored}));
}

} // namespace
} // namespace axolite::language

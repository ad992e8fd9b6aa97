// The checker: statements, Expect's messages, missing statements, abandonment, the bound of the
// stream, and the record fields the check writes.
#include "language_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace axolite::language {
namespace {

using test::check;
using test::Checked;
using test::kComplete;
using test::kMinimal;

std::vector<std::string> texts(const CheckResult& result) {
    std::vector<std::string> out;
    for (const CheckRow& row : result.rows) {
        out.push_back(row.text);
    }
    return out;
}

// kMinimal with one statement replaced.
std::string minimalWith(const std::string& from, const std::string& to) {
    std::string text = kMinimal;
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

TEST(Checker, MinimalDescriptionIsCorrectWithTenWarnings) {
    const Checked c = check(kMinimal);
    ASSERT_FALSE(c.lexMessage);
    EXPECT_TRUE(c.result.correct);
    EXPECT_TRUE(c.result.calculateEnabled);
    EXPECT_EQ(c.result.errors(), 0);
    EXPECT_EQ(c.result.warnings(), 10);
    EXPECT_EQ(
        texts(c.result),
        (std::vector<std::string>{
            "Пропущен оператор INITSTATE", "Возможно ошибочное описание оператора INITSTATE",
            "За начальные состояния нейронов будут приняты значения по умолчанию",
            "Пропущен оператор SUSPEND", "Возможно ошибочное описание оператора SUSPEND",
            "В качестве числа тактов ожидания нейронов будет принято значение по умолчанию",
            "Пропущен оператор MODEL", "Возможно ошибочное описание оператора MODEL",
            "Пропущен оператор INPUTLAYER", "Возможно ошибочное описание оператора INPUTLAYER"}));
    EXPECT_EQ(c.result.linesAnalysed, 6);
    EXPECT_EQ(c.result.neurons, 2);
    EXPECT_TRUE(c.result.messages.empty());
}

TEST(Checker, MinimalDescriptionWritesTheRecord) {
    const Checked c = check(kMinimal);
    EXPECT_EQ(c.record.t0, 0.0);
    EXPECT_EQ(c.record.t1, 1.0);
    EXPECT_EQ(c.record.h, 0.1);
    EXPECT_EQ(c.record.outputIndices[0], 0);
    EXPECT_EQ(c.result.outputCount, 1);
    EXPECT_EQ(c.record.defaultWaitCount, 1.0);
    EXPECT_EQ(c.record.errorCount, 0);
    EXPECT_EQ(c.record.warningCount, 10);
    EXPECT_FALSE(c.record.inputLayer);
    EXPECT_EQ(c.record.inputLayerReady, 0);
}

TEST(Checker, CompleteDescriptionHasNoRows) {
    const Checked c = check(kComplete);
    EXPECT_TRUE(c.result.correct);
    EXPECT_TRUE(c.result.rows.empty()) << texts(c.result).front();
    EXPECT_EQ(c.result.neurons, 3);
    EXPECT_EQ(c.result.initStateCount, 3);
    ASSERT_TRUE(c.record.inputLayer);
    EXPECT_EQ(*c.record.inputLayer, (std::vector<double>{1, 0, 0}));
    EXPECT_EQ(c.record.inputLayerReady, 1);
    EXPECT_EQ(c.record.outputIndices[0], 2);
    EXPECT_EQ(c.record.defaultWaitCount, 0.0);
    EXPECT_EQ(c.result.linesAnalysed, 13);
    for (const bool seen : c.result.seen) {
        EXPECT_TRUE(seen);
    }
    // The keyword positions let the simulation find each statement again.
    const auto& tokens = c.record.tokens;
    for (const auto& [statement, code] :
         std::vector<std::pair<Statement, TokenCode>>{{Statement::Neurons, KwNeurons},
                                                      {Statement::InputLayer, KwInputLayer},
                                                      {Statement::NetworkLayout, KwNetworkLayout},
                                                      {Statement::Model, KwModel}}) {
        ASSERT_EQ(c.result.positionsOf(statement).size(), 1u);
        EXPECT_TRUE(tokens.is(c.result.positionsOf(statement)[0], code));
    }
}

TEST(Checker, EmptyStreamReportsEveryMissingStatementInOrder) {
    const Checked c = check("   ");
    ASSERT_FALSE(c.lexMessage);
    EXPECT_FALSE(c.result.correct);
    EXPECT_EQ(c.result.errors(), 5);
    EXPECT_EQ(c.result.warnings(), 13);
    const std::vector<RowKind> kinds{
        RowKind::Error,   RowKind::Warning, RowKind::Warning, RowKind::Warning, RowKind::Warning,
        RowKind::Warning, RowKind::Warning, RowKind::Error,   RowKind::Warning, RowKind::Warning,
        RowKind::Warning, RowKind::Error,   RowKind::Warning, RowKind::Warning, RowKind::Error,
        RowKind::Warning, RowKind::Error,   RowKind::Warning};
    ASSERT_EQ(c.result.rows.size(), kinds.size());
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        EXPECT_EQ(c.result.rows[i].kind, kinds[i]) << i;
    }
    EXPECT_EQ(c.result.rows[0].text, "Пропущен оператор NEURONS");
    EXPECT_EQ(c.result.rows[7].text, "Пропущен оператор SIMTIME");
    EXPECT_EQ(c.result.rows[11].text, "Пропущен оператор TIMESTEP");
    EXPECT_EQ(c.result.rows[17].text, "Возможно ошибочное описание оператора NETWORKLAYOUT");
}

TEST(Checker, NeuronCountIsHeldTo196AndToTheFirstStatement) {
    Checked c = check(minimalWith("neurons 2;", "neurons 197;"));
    EXPECT_TRUE(c.hasRow(RowKind::Error, "Число нейронов превышает максимально допустимое"));
    EXPECT_EQ(c.result.neurons, 196);

    c = check(minimalWith("neurons 2;", "neurons 2; neurons 3;"));
    EXPECT_TRUE(c.hasRow(RowKind::Error, "Число нейронов превышает максимально допустимое"));
    EXPECT_EQ(c.result.neurons, 2);

    c = check(minimalWith("neurons 2;", "neurons -2;"));
    EXPECT_TRUE(c.hasRow(RowKind::Error, "Знаковое выражение недопустимо"));
    EXPECT_EQ(c.result.neurons, 196);

    c = check(minimalWith("neurons 2;", "neurons 2.9;"));
    EXPECT_EQ(c.result.neurons, 2);
}

TEST(Checker, NeuronCountOtherThanANumberNeverRaisesN) {
    // A keyword, a mark, a number beyond the range of a double or a line end where the count
    // belongs stand as codes above 65500: the count is refused and N stays.
    for (const char* statement :
         {"neurons neuron;", "neurons 1e999;", "neurons );", "neurons\n2;", "neurons 0;"}) {
        const Checked c = check(minimalWith("neurons 2;", statement));
        EXPECT_TRUE(c.hasRow(RowKind::Error, "Число нейронов превышает максимально допустимое"))
            << statement;
        EXPECT_FALSE(c.result.correct) << statement;
        EXPECT_LE(c.result.neurons, 196) << statement;
    }
}

TEST(Checker, SimulatedInterval) {
    Checked c = check(minimalWith("simtime 0, 1;", "simtime 5, 5;"));
    EXPECT_TRUE(c.hasRow(RowKind::Error,
                         "Начальное время моделирования сети должно быть меньше конечного"));
    EXPECT_FALSE(c.result.correct);

    c = check(minimalWith("simtime 0, 1;", "simtime 0.5, 2.5;"));
    EXPECT_TRUE(c.result.correct);
    EXPECT_EQ(c.record.t0, 0.5);
    EXPECT_EQ(c.record.t1, 2.5);

    c = check(minimalWith("simtime 0, 1;", "simtime -1, 1;"));
    EXPECT_TRUE(c.hasRow(RowKind::Error, "Знаковое выражение недопустимо"));

    // Line ends between the start and the comma are passed over.
    c = check(minimalWith("simtime 0, 1;", "simtime 0\n, 1;"));
    EXPECT_TRUE(c.result.correct);
    EXPECT_EQ(c.record.t1, 1.0);
}

TEST(Checker, ZeroIsRefusedWhereverANumberIsChecked) {
    const std::string zero = "Ноль является недопустимым числовым выражением";
    for (const auto& [from, to] :
         std::vector<std::pair<std::string, std::string>>{{"weight 0.5", "weight 0"},
                                                          {"weight 1;", "weight 0.0;"},
                                                          {"simtime 0, 1;", "simtime 0, 0;"},
                                                          {"timestep 0.1;", "timestep 0;"}}) {
        const Checked c = check(minimalWith(from, to));
        EXPECT_TRUE(c.hasRow(RowKind::Error, zero)) << to;
        EXPECT_FALSE(c.result.correct) << to;
    }
    EXPECT_TRUE(check(kMinimal).result.correct); // the start of the interval may be 0
}

TEST(Checker, NeuronNumbersAreCheckedAgainstN) {
    Checked c =
        check("neurons 5;\nsimtime 0, 1;\ntimestep 0.1;\noutputlayer {neuron 1, weight 1;}\n"
              "networklayout {neuron 1, neuron 7, weight 0.5;}\n");
    const CheckRow* row = c.firstRow("Номер нейрона превышает число нейронов в сети");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->line, 5);
    EXPECT_FALSE(c.result.correct);

    c = check(minimalWith("neuron 2, weight", "neuron -1, weight"));
    EXPECT_TRUE(c.hasRow(RowKind::Error, "Знаковое выражение недопустимо"));
}

TEST(Checker, MoreThanFourOutputsShowAMessageBox) {
    std::string outputs = "outputlayer {";
    for (int k = 1; k <= 5; ++k) {
        outputs += "neuron " + std::to_string(k) + ", weight 1;";
    }
    outputs += "}";
    const Checked c = check("neurons 5;\nsimtime 0, 1;\ntimestep 0.1;\n" + outputs +
                            "\nnetworklayout {neuron 1, neuron 2, weight 0.5;}\n");
    ASSERT_EQ(c.result.messages.size(), 1u);
    EXPECT_EQ(c.result.messages[0],
              (Message{MessageKind::Error,
                       "Число нейронов выходного слоя сети не должно превышать четырех"}));
    EXPECT_FALSE(c.result.correct);
    EXPECT_FALSE(c.result.calculateEnabled);
    // One error counted, without a row.
    EXPECT_EQ(c.result.errors(), 1);
    EXPECT_EQ(c.record.errorCount, 1);
    EXPECT_EQ(c.result.outputCount, 4);
    EXPECT_EQ(c.record.outputIndices, (std::array<std::int32_t, 4>{0, 1, 2, 3}));
}

TEST(Checker, ReceiversAndWeightsAreCountedPerStatement) {
    Checked c = check(minimalWith("neuron 1, neuron 2, weight 0.5;",
                                  "neuron 1, (neuron 1, neuron 2), weight 0.5;"));
    EXPECT_TRUE(c.hasRow(RowKind::Error, "Число нейронов и весов не совпадает"));
    EXPECT_FALSE(c.result.correct);

    c = check(minimalWith("neuron 1, neuron 2, weight 0.5;",
                          "neuron 1, (neuron 1, neuron 2), weight 0.5, 2;"));
    EXPECT_TRUE(c.result.correct);

    // Totals are compared per statement: one entry short, another long, and the check passes.
    c = check(minimalWith("neuron 1, neuron 2, weight 0.5;",
                          "neuron 1, (neuron 1, neuron 2), weight 0.5; "
                          "neuron 2, (neuron 1), weight 1, 2;"));
    EXPECT_TRUE(c.result.correct);

    c = check(minimalWith("networklayout {neuron 1, neuron 2, weight 0.5;}", "networklayout {}"));
    EXPECT_TRUE(c.hasRow(RowKind::Error, "Пустой список нейронов"));
    EXPECT_TRUE(c.hasRow(RowKind::Error, "Пустой список весов"));
    EXPECT_FALSE(c.hasRow(RowKind::Error, "Число нейронов и весов не совпадает"));

    c = check(minimalWith("neuron 2, weight 0.5", "neuron 2, 0.5"));
    EXPECT_TRUE(c.hasRow(RowKind::Error, "Пустой список весов"));
}

TEST(Checker, SixtyErrorsStopAtTheFiftieth) {
    // Sixty words on one line: passing over them reports each.
    std::string text = "neurons 2;\ntimestep\n";
    for (int i = 0; i < 60; ++i) {
        text += "a ";
    }
    text += "0.1;\n";
    const Checked c = check(text);
    EXPECT_TRUE(c.result.abandoned);
    EXPECT_FALSE(c.result.correct);
    EXPECT_FALSE(c.result.calculateEnabled);
    EXPECT_EQ(c.result.errors(), 50);
    EXPECT_EQ(c.record.errorCount, 50);
    EXPECT_EQ(c.result.rows.size(), 50u);
    EXPECT_EQ(c.rowsWithText("Пропущен оператор NEURONS"), 0);
    EXPECT_EQ(c.rowsWithText("Пропущен оператор INITSTATE"), 0);
}

TEST(Checker, StatementBeforeNeuronsShowsAMessageBoxAndUses196) {
    const Checked c = check("outputlayer {neuron 150, weight 1;}\n" + kMinimal);
    ASSERT_EQ(c.result.messages.size(), 1u);
    EXPECT_EQ(c.result.messages[0],
              (Message{MessageKind::Error, "Оператор NEURONS должен быть определен первым."}));
    EXPECT_FALSE(c.hasRow(RowKind::Error, "Номер нейрона превышает число нейронов в сети"));
    // No error is counted and the result stays correct, but the simulation is not offered.
    EXPECT_EQ(c.result.errors(), 0);
    EXPECT_TRUE(c.result.correct);
    EXPECT_FALSE(c.result.calculateEnabled);
}

TEST(Checker, WordsOfLettersAreExtraCharacters) {
    const Checked c = check(minimalWith("timestep 0.1;", "timestep abc 0.1 def;"));
    EXPECT_EQ(c.rowsWithText("Лишний символ в строке"), 2);
    EXPECT_EQ(c.result.errors(), 2);
    EXPECT_EQ(c.firstRow("Лишний символ в строке")->line, 3);
    // Where the dispatcher skips a token that begins no statement, a word after it is skipped
    // without a message.
    EXPECT_TRUE(check("5 xyz\n" + kMinimal).result.correct);
    EXPECT_FALSE(check("xyz\n" + kMinimal).result.correct);
}

TEST(Checker, NumbersBeyondTheRangeAreReported) {
    const Checked c = check(minimalWith("weight 1;", "weight 1; 1e999 "));
    EXPECT_TRUE(c.hasRow(RowKind::Error, "Слишком большое или слишком малое числовое выражение"));
    // Where a number belongs only zero is refused: the marked number is taken as the number.
    EXPECT_TRUE(check(minimalWith("weight 1;", "weight 1e999;")).result.correct);
}

TEST(Checker, MissingPunctuation) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"outputlayer {", "outputlayer "},       {"neuron 1, weight 1;", "neuron 1 weight 1;"},
        {"timestep 0.1;", "timestep 0.1"},       {"neuron 1, weight 1;", "1, weight 1;"},
        {"neuron 1, weight 1;", "neuron 1, 1;"},
    };
    const std::vector<std::string> expected{"Пропущена левая фигурная скобка", "Пропущена запятая",
                                            "Пропущена точка с запятой", "Пропущено слово 'neuron'",
                                            "Пропущено слово 'weight'"};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Checked c = check(minimalWith(cases[i].first, cases[i].second));
        EXPECT_TRUE(c.hasRow(RowKind::Error, expected[i])) << cases[i].second;
        EXPECT_FALSE(c.result.correct) << cases[i].second;
    }
}

TEST(Checker, MissingTokenIsReportedOnTheLineWhereItBelongs) {
    const Checked c = check("neurons 2\nsimtime 0, 1;\n");
    const CheckRow* row = c.firstRow("Пропущена точка с запятой");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->line, 1);
}

TEST(Checker, TargetValueStatements) {
    Checked c = check(minimalWith("end", "initstate {neuron 1, 0.5;}"));
    EXPECT_EQ(c.result.initStateCount, 1);
    EXPECT_TRUE(c.hasRow(RowKind::Warning,
                         "За начальные состояния нейронов будут приняты значения по умолчанию"));
    EXPECT_EQ(c.rowsWithText("Пропущен оператор INITSTATE"), 0);

    c = check(minimalWith("end", "initstate {}"));
    ASSERT_GE(c.result.rows.size(), 3u);
    EXPECT_EQ(c.result.rows[0], (CheckRow{RowKind::Error, 6, "Пустой список нейронов"}));
    EXPECT_EQ(c.result.rows[1],
              (CheckRow{RowKind::Warning, 6, "Возможно ошибочное описание оператора INITSTATE"}));
    EXPECT_EQ(c.result.rows[2],
              (CheckRow{RowKind::Warning, 6,
                        "За начальные состояния нейронов будут приняты значения по умолчанию"}));
    EXPECT_EQ(c.result.initStateCount, 0);

    c = check(minimalWith("end", "suspend {(neuron 1, neuron 1), 2;}\nmodel {neuron 2, 1;}"));
    EXPECT_TRUE(c.result.correct);
    EXPECT_EQ(c.rowsWithText("В качестве числа тактов ожидания нейронов будет принято значение "
                             "по умолчанию"),
              0); // a repeated neuron counts again
    EXPECT_TRUE(c.hasRow(RowKind::Warning,
                         "В качестве модели нейрона будет использована модель по умолчанию"));
    EXPECT_EQ(c.record.defaultWaitCount, 0.0);
}

TEST(Checker, InputLayer) {
    Checked c = check(minimalWith("end", "inputlayer {neuron 2, neuron 1;}"));
    EXPECT_TRUE(c.result.correct);
    ASSERT_TRUE(c.record.inputLayer);
    EXPECT_EQ(*c.record.inputLayer, (std::vector<double>{2, 1}));
    EXPECT_EQ(c.record.inputLayerReady, 1);

    // More entries than neurons: only N are stored.
    c = check(minimalWith("end", "inputlayer {neuron 1; neuron 2; neuron 1;}"));
    EXPECT_EQ(c.record.inputLayer->size(), 2u);

    c = check(minimalWith("end", "inputlayer {}"));
    EXPECT_TRUE(c.hasRow(RowKind::Error, "Пустой список нейронов"));
    EXPECT_EQ(c.record.inputLayerReady, 0);
}

TEST(Checker, UnfinishedStatementsEndWithinTheStream) {
    // Texts that end inside a statement, or right after a number or keyword: the check ends by
    // the bound or at the 50th error, never past the stream (the sanitizer build watches).
    for (const char* text : {"neurons 2;\ninputlayer {neuron 1;", "neurons", "simtime", "simtime 1",
                             "timestep", "networklayout {neuron 1, (neuron 2", "outputlayer",
                             "initstate {(", "5", "neurons 2;\n\n", "model {neuron 1, 1;",
                             "networklayout {neuron 1, (neuron 1), weight 1, 2, 3"}) {
        const Checked c = check(text);
        EXPECT_FALSE(c.result.correct) << text;
        EXPECT_FALSE(c.result.calculateEnabled) << text;
        if (c.result.unrecognised) {
            EXPECT_EQ(c.result.messages.back(),
                      (Message{MessageKind::Warning,
                               "Нераспознаваемая ошибка описания нейронной сети."}));
        }
    }
    const Checked c = check("neurons 2;\ninputlayer {neuron 1;");
    EXPECT_TRUE(c.result.unrecognised);
    EXPECT_EQ(c.rowsWithText("Пропущен оператор SIMTIME"), 0);
}

TEST(Checker, CheckWithoutATokenStreamReportsMissingStatements) {
    NetworkRecord record;
    const CheckResult result = checkDescription(record);
    EXPECT_FALSE(result.correct);
    EXPECT_EQ(result.rows.size(), 18u);
}

TEST(Checker, NewCheckReplacesTheFactsOfThePrevious) {
    Checked c = check(minimalWith("end", "inputlayer {neuron 1;}"));
    ASSERT_EQ(c.record.inputLayerReady, 1);
    lexDescription({"neurons 2;", "outputlayer {neuron 2, weight 1;}"}, c.record);
    const CheckResult again = checkDescription(c.record);
    EXPECT_FALSE(c.record.inputLayer);
    EXPECT_EQ(c.record.inputLayerReady, 0);
    EXPECT_EQ(c.record.outputIndices[0], 1);
    EXPECT_EQ(c.record.errorCount, again.errors());
}

TEST(Checker, LinesAnalysedCountsLineEndsPassed) {
    EXPECT_EQ(check("\n\n\n" + kMinimal).result.linesAnalysed, 9);
    EXPECT_EQ(check("// comment\n" + kMinimal).result.linesAnalysed, 7);
}

TEST(Checker, AMismatchPassesTheOffendingTokenAndTheOneAfterIt) {
    // The semicolon is missing: the 7 standing there and the keyword after it are both passed,
    // so the NEURONS statement is never checked.
    Checked c = check("timestep 0.1 7 neurons 2;\nsimtime 0, 1;\n");
    EXPECT_TRUE(c.hasRow(RowKind::Error, "Пропущена точка с запятой"));
    EXPECT_FALSE(c.result.wasSeen(Statement::Neurons));
    EXPECT_EQ(c.rowsWithText("Пропущен оператор NEURONS"), 1);
    EXPECT_TRUE(c.result.wasSeen(Statement::SimTime));

    // The same keyword one token later is checked.
    c = check("timestep 0.1 7 8 neurons 2;\n");
    EXPECT_TRUE(c.result.wasSeen(Statement::Neurons));
    EXPECT_EQ(c.result.neurons, 2);
}

TEST(Checker, LineEndsBeforeTheCommaOfSimTimeAreNotCounted) {
    const Checked c = check(minimalWith("simtime 0, 1;", "simtime 0\n\n, 1;"));
    EXPECT_TRUE(c.result.correct);
    // Eight lines, but the two line ends passed inside SIMTIME add nothing to the count ...
    EXPECT_EQ(c.result.linesAnalysed, 6);
    // ... while the rows keep the lines of the text: missing statements stand on the last one.
    EXPECT_EQ(c.firstRow("Пропущен оператор INITSTATE")->line, 8);
}

TEST(Checker, InputLayerIsReadyOnlyWhenNoErrorCameBeforeIt) {
    // An error after INPUTLAYER leaves the flag raised; the description is still incorrect.
    Checked c = check(minimalWith("end", "inputlayer {neuron 1;}\ntimestep 0;"));
    EXPECT_FALSE(c.result.correct);
    EXPECT_EQ(c.record.inputLayerReady, 1);

    // An error before it keeps the flag down, though INPUTLAYER itself is sound.
    c = check("neurons 2; abc\ninputlayer {neuron 1;}\n");
    ASSERT_EQ(c.rowsWithText("Лишний символ в строке"), 1);
    EXPECT_FALSE(c.hasRow(RowKind::Error, "Пустой список нейронов"));
    ASSERT_TRUE(c.record.inputLayer);
    EXPECT_EQ(c.record.inputLayerReady, 0);
}

TEST(Checker, NeuronWordLooksAtTheValueOfTheTokenAfterIt) {
    // neuron 0: the zero marker's value lies above N, and the number is zero.
    const Checked c = check(minimalWith("neuron 2, weight", "neuron 0, weight"));
    EXPECT_TRUE(c.hasRow(RowKind::Error, "Номер нейрона превышает число нейронов в сети"));
    EXPECT_TRUE(c.hasRow(RowKind::Error, "Ноль является недопустимым числовым выражением"));
    EXPECT_EQ(c.result.errors(), 2);
    // A neuron number equal to N is accepted.
    EXPECT_TRUE(check(minimalWith("neuron 2, weight", "neuron 2.0, weight")).result.correct);
}

TEST(Checker, NeuronWordIsCheckedWhateverTokenWasExpected) {
    // The semicolon is missing; the neuron standing in its place is still held to N.
    const Checked c = check("neurons 2 neuron 7;\n");
    ASSERT_GE(c.result.rows.size(), 2u);
    EXPECT_EQ(c.result.rows[0].text, "Номер нейрона превышает число нейронов в сети");
    EXPECT_EQ(c.result.rows[1].text, "Пропущена точка с запятой");
    EXPECT_EQ(c.result.neurons, 2);
}

TEST(Checker, LaterNeuronsStatementMayLowerN) {
    const Checked c = check(minimalWith("neurons 2;", "neurons 3; neurons 2;"));
    EXPECT_EQ(c.result.neurons, 2);
    EXPECT_TRUE(c.result.correct);
    EXPECT_EQ(c.result.positionsOf(Statement::Neurons).size(), 2u);
}

TEST(Checker, DispatcherStopsAtTheValueOfTheEndOfStream) {
    // The dispatcher compares values: a number 65508 between statements ends the check there.
    const Checked c = check("neurons 2; 65508 simtime 0, 1;");
    EXPECT_FALSE(c.result.wasSeen(Statement::SimTime));
    EXPECT_EQ(c.rowsWithText("Пропущен оператор SIMTIME"), 1);
}

TEST(Checker, FiftiethErrorMayBeTheOneWithoutARow) {
    // 49 extra words after NEURONS, then five outputs: the message box counts the 50th error.
    std::string text = "neurons 5;";
    for (int i = 0; i < 49; ++i) {
        text += " a";
    }
    text += "\noutputlayer {";
    for (int k = 1; k <= 5; ++k) {
        text += "neuron " + std::to_string(k) + ", weight 1;";
    }
    text += "}\nsimtime 0, 1;\n";
    const Checked c = check(text);
    EXPECT_TRUE(c.result.abandoned);
    EXPECT_EQ(c.result.errors(), 50);
    EXPECT_EQ(c.result.rows.size(), 49u);
    ASSERT_EQ(c.result.messages.size(), 1u);
    EXPECT_EQ(c.result.messages[0].text,
              "Число нейронов выходного слоя сети не должно превышать четырех");
    EXPECT_FALSE(c.result.wasSeen(Statement::SimTime));
}

TEST(Checker, RowKindTexts) {
    EXPECT_STREQ(rowKindText(RowKind::Error), "Ошибка");
    EXPECT_STREQ(rowKindText(RowKind::Warning), "Предупреждение");
}

} // namespace
} // namespace axolite::language

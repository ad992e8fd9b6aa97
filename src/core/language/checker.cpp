// The description checker: one pass over the token stream, statement by statement.
//
// Every read of the stream goes through value() and flag(), which answer the end of stream for
// any index past the last element, so no step of the check (the dispatcher's and SIMTIME's
// unbounded advances included) ever reads outside the arrays.
#include "core/language/checker.h"

#include "core/language/checker_texts.h"
#include "core/language/lexer.h"

#include <cmath>
#include <limits>

namespace axolite::language {

namespace {

using namespace checker_texts;

// The two ways a check ends early.
struct CheckAbandoned {};    // the 50th error was counted
struct StreamBoundPassed {}; // the cursor passed the character total or the end of the stream

// Truncation toward zero that saturates instead of overflowing (token values are finite).
std::int32_t truncateToInt(double v) {
    if (!(v > static_cast<double>(std::numeric_limits<std::int32_t>::min()) - 1.0)) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (!(v < static_cast<double>(std::numeric_limits<std::int32_t>::max()) + 1.0)) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(v);
}

class Checker {
public:
    Checker(NetworkRecord& record, CheckResult& result)
        : record_(record), result_(result), values_(record.tokens.values.data()),
          flags_(record.tokens.flags.data()), stored_(record.tokens.values.size()),
          size_(record.tokens.capacity()), characterTotal_(record.characterTotal) {
        readAtCursor();
    }

    void run() {
        try {
            dispatch();
            reportMissingStatements();
        } catch (const CheckAbandoned&) {
            result_.abandoned = true;
            result_.calculateEnabled = false;
        } catch (const StreamBoundPassed&) {
            result_.unrecognised = true;
            result_.correct = false;
            result_.messages.push_back({MessageKind::Warning, kUnrecognisedDescriptionText});
        }
        if (!result_.correct) {
            result_.calculateEnabled = false;
        }
        result_.neurons = neurons_;
        record_.errorCount = result_.errorTotal;
        record_.warningCount = result_.warningTotal;
    }

private:
    // ---- Reading the stream --------------------------------------------------------------

    double value(std::size_t i) const {
        return i < stored_ ? values_[i] : static_cast<double>(EndOfStream);
    }
    std::int32_t flag(std::size_t i) const { return i < stored_ ? flags_[i] : 1; }

    // The token at the cursor, read once each time the cursor moves.
    double value() const { return atValue_; }
    bool is(TokenCode code) const { return atEffective_ == static_cast<double>(code); }
    bool isNumber() const { return atFlag_ == 0; }
    bool isNegativeNumber() const { return isNumber() && atValue_ < 0.0; }
    bool isZeroMarker() const {
        return atValue_ == static_cast<double>(ZeroMarker) && atFlag_ == 0;
    }
    void readAtCursor() {
        atValue_ = value(cursor_);
        atFlag_ = flag(cursor_);
        atEffective_ = atValue_ * static_cast<double>(atFlag_);
    }

    // The line of the token at the cursor, counted from 1.
    std::int32_t currentLine() const { return lineEndsBefore_ + 1; }

    // Moves the cursor by one without a bound; reads past the stream see its end.
    void step() {
        if (cursor_ < size_) {
            if (is(EndOfLine)) {
                ++lineEndsBefore_;
            } else {
                lineOfLastToken_ = currentLine();
            }
        }
        ++cursor_;
        readAtCursor();
    }

    void advanceWithBound() {
        if (static_cast<std::int64_t>(cursor_) > static_cast<std::int64_t>(characterTotal_) ||
            cursor_ + 1 >= size_) {
            throw StreamBoundPassed{};
        }
        step();
    }

    void skipLineEndsUncounted() {
        while (is(EndOfLine)) {
            step();
        }
    }

    // ---- Reporting -------------------------------------------------------------------------

    void countError() {
        const bool fiftieth = result_.errorTotal > kAbandonAtError - 2;
        ++result_.errorTotal;
        result_.correct = false;
        if (fiftieth) {
            throw CheckAbandoned{};
        }
    }

    void error(const char* text, std::int32_t line) {
        result_.rows.push_back({RowKind::Error, line, text});
        countError();
    }

    void warning(const char* text, std::int32_t line) {
        result_.rows.push_back({RowKind::Warning, line, text});
        ++result_.warningTotal;
    }

    // A fault of the token at the cursor is reported on its own line.
    void errorHere(const char* text) { error(text, currentLine()); }
    // Something missing, and the summary of a statement, are reported on the line of the last
    // token before the cursor: that is where the missing token belonged.
    void errorAfter(const char* text) { error(text, lineOfLastToken_); }
    void warningAfter(const char* text) { warning(text, lineOfLastToken_); }

    // ---- The routines every statement is built from -------------------------------------------

    // Passes over what stands between two expected tokens: stray words and line ends.
    void passOver() {
        if (!is(Unrecognised) && !is(EndOfLine)) {
            return;
        }
        passOverSome();
    }

    void passOverSome() {
        while (is(Unrecognised)) {
            errorHere(kExtraCharacter);
            step();
        }
        while (is(EndOfLine)) {
            ++result_.linesAnalysed;
            step();
        }
        while (is(Unrecognised)) {
            errorHere(kExtraCharacter);
            step();
        }
    }

    void expectNumber() {
        passOver();
        if (isZeroMarker()) {
            errorHere(kZeroNotAllowed);
        }
        advanceWithBound();
        passOver();
    }

    void expect(TokenCode code, const char* message) {
        passOver();
        if (is(KwNeuron)) {
            const double number = value(cursor_ + 1);
            if (number < 0.0) {
                errorHere(kSignNotAllowed);
            } else if (number > static_cast<double>(neurons_)) {
                errorHere(kNeuronAboveCount);
            }
        }
        if (is(NumberTooLarge)) {
            errorHere(kNumberOutOfRange);
        }
        if (value() != static_cast<double>(code)) {
            errorAfter(message);
            step();
        }
        advanceWithBound();
        passOver();
    }

    void expectNeuron() { expect(KwNeuron, kMissingNeuron); }
    void expectComma() { expect(Comma, kMissingComma); }
    void expectSemicolon() { expect(Semicolon, kMissingSemicolon); }
    void expectLeftBrace() { expect(LeftBrace, kMissingLeftBrace); }
    void expectRightBrace() { expect(RightBrace, kMissingRightBrace); }

    // ---- The dispatcher --------------------------------------------------------------------

    void dispatch() {
        passOver();
        while (value() != static_cast<double>(EndOfStream)) {
            if (is(EndOfLine)) {
                while (is(EndOfLine)) {
                    ++result_.linesAnalysed;
                    step();
                }
            }
            const std::size_t keywordAt = cursor_;
            const std::int32_t code = truncateToInt(value());
            step();
            switch (code) {
            case KwNeurons:
                checkStatement(Statement::Neurons, keywordAt, &Checker::checkNeurons);
                break;
            case KwSimTime:
                checkStatement(Statement::SimTime, keywordAt, &Checker::checkSimTime);
                break;
            case KwTimeStep:
                checkStatement(Statement::TimeStep, keywordAt, &Checker::checkTimeStep);
                break;
            case KwInitState:
                checkStatement(Statement::InitState, keywordAt, &Checker::checkInitState);
                break;
            case KwSuspend:
                checkStatement(Statement::Suspend, keywordAt, &Checker::checkSuspend);
                break;
            case KwInputLayer:
                requireNeuronsFirst();
                checkStatement(Statement::InputLayer, keywordAt, &Checker::checkInputLayer);
                break;
            case KwOutputLayer:
                requireNeuronsFirst();
                checkStatement(Statement::OutputLayer, keywordAt, &Checker::checkOutputLayer);
                break;
            case KwNetworkLayout:
                requireNeuronsFirst();
                checkStatement(Statement::NetworkLayout, keywordAt, &Checker::checkNetworkLayout);
                break;
            case KwModel:
                requireNeuronsFirst();
                checkStatement(Statement::Model, keywordAt, &Checker::checkModel);
                break;
            default:
                break;
            }
        }
    }

    void checkStatement(Statement statement, std::size_t keywordAt, void (Checker::*check)()) {
        const auto index = static_cast<std::size_t>(statement);
        result_.positions[index].push_back(keywordAt);
        (this->*check)();
        result_.seen[index] = true;
    }

    // The message box counts no error and leaves the result as it is; the statement is checked
    // with the N of the moment.
    void requireNeuronsFirst() {
        if (!result_.seen[static_cast<std::size_t>(Statement::Neurons)]) {
            result_.messages.push_back({MessageKind::Error, kNeuronsFirstText});
            result_.calculateEnabled = false;
        }
    }

    void reportMissingStatements() {
        for (const MissingStatement& missing : kMissingStatements) {
            if (result_.seen[static_cast<std::size_t>(missing.statement)]) {
                continue;
            }
            for (int i = 0; i < missing.rowCount; ++i) {
                const MissingRow& row = missing.rows[i];
                if (row.kind == RowKind::Error) {
                    error(row.text, currentLine());
                } else {
                    warning(row.text, currentLine());
                }
            }
            if (missing.statement == Statement::Suspend) {
                record_.defaultWaitCount = 1.0;
            }
        }
    }

    // ---- The statements ----------------------------------------------------------------------

    // The count must stand on the keyword's line. Any token whose value exceeds N (a keyword, a
    // punctuation mark, a line end or a number beyond the range of a double stand there as their
    // codes) is refused, so N never exceeds 196.
    void checkNeurons() {
        if (isNegativeNumber()) {
            errorHere(kSignNotAllowed);
        } else if (value() > static_cast<double>(neurons_)) {
            errorHere(kTooManyNeurons);
        } else {
            neurons_ = truncateToInt(value());
        }
        expectNumber();
        expectSemicolon();
    }

    void checkSimTime() {
        if (isNegativeNumber()) {
            errorHere(kSignNotAllowed);
        }
        const double start = isZeroMarker() ? 0.0 : value();
        record_.t0 = start;
        skipLineEndsUncounted();
        step();
        skipLineEndsUncounted();
        expectComma();
        if (isNegativeNumber()) {
            errorHere(kSignNotAllowed);
        }
        const double end = value();
        record_.t1 = end;
        if (!(end > start)) {
            errorHere(kStartNotBeforeEnd);
        }
        expectNumber();
        expectSemicolon();
    }

    void checkTimeStep() {
        if (isNegativeNumber()) {
            errorHere(kSignNotAllowed);
        }
        record_.h = value();
        expectNumber();
        expectSemicolon();
    }

    void checkInputLayer() {
        const std::size_t listSize = static_cast<std::size_t>(neurons_ > 0 ? neurons_ : 0);
        std::vector<double>& list = record_.inputLayer.emplace(listSize, 0.0);
        expectLeftBrace();
        std::size_t entries = 0;
        while (!is(RightBrace)) {
            expectNeuron();
            if (entries < list.size()) {
                list[entries] = value();
            }
            ++entries;
            expectNumber();
            if (!is(Semicolon)) {
                expectComma();
            } else {
                expectSemicolon();
            }
        }
        expectRightBrace();
        if (entries == 0) {
            errorAfter(kEmptyNeuronList);
        }
        if (result_.errorTotal == 0) {
            record_.inputLayerReady = 1;
        }
    }

    void checkOutputLayer() {
        expectLeftBrace();
        std::int32_t neurons = 0;
        std::int32_t weights = 0;
        result_.outputCount = 0;
        while (!is(RightBrace)) {
            expectNeuron();
            if (neurons < kOutputCount) {
                record_.outputIndices[static_cast<std::size_t>(neurons)] =
                    truncateToInt(value() - 1.0);
                result_.outputCount = neurons + 1;
            }
            ++neurons;
            expectNumber();
            expectComma();
            expect(KwWeight, kMissingWeight);
            ++weights;
            expectNumber();
            expectSemicolon();
        }
        expectRightBrace();
        if (neurons > kOutputCount) {
            result_.messages.push_back({MessageKind::Error, kTooManyOutputsText});
            countError();
        }
        if (neurons == 0) {
            errorAfter(kEmptyNeuronList);
        }
        if (weights == 0) {
            errorAfter(kEmptyWeightList);
        }
    }

    // A target: `neuron` k, or a parenthesised list of `neuron` k entries. Returns the neurons
    // counted.
    std::int32_t checkTargets() {
        std::int32_t neurons = 0;
        if (!is(LeftParen)) {
            expectNeuron();
            ++neurons;
            expectNumber();
        } else {
            neurons = checkNeuronList();
        }
        return neurons;
    }

    // A parenthesised list `( neuron` k1 `, neuron` k2 ... `)`. Returns the neurons counted.
    std::int32_t checkNeuronList() {
        expect(LeftParen, kMissingLeftParen);
        std::int32_t neurons = 0;
        while (!is(RightParen)) {
            expectNeuron();
            ++neurons;
            expectNumber();
            if (!is(RightParen)) {
                expectComma();
            }
        }
        expect(RightParen, kMissingRightParen);
        return neurons;
    }

    // INITSTATE, SUSPEND and MODEL: entries of a target, a comma and a value. Returns the
    // neurons counted (a repeated neuron counts again).
    std::int32_t checkTargetValueEntries() {
        expectLeftBrace();
        std::int32_t neurons = 0;
        while (!is(RightBrace)) {
            neurons += checkTargets();
            expectComma();
            expectNumber();
            expectSemicolon();
        }
        expectRightBrace();
        return neurons;
    }

    void checkInitState() {
        const std::int32_t counted = checkTargetValueEntries();
        result_.initStateCount = counted;
        if (counted == 0) {
            errorAfter(kEmptyNeuronList);
            warningAfter(kInitStateDoubtful);
        }
        if (counted < neurons_) {
            warningAfter(kInitStateDefaults);
        }
    }

    void checkSuspend() {
        if (checkTargetValueEntries() < neurons_) {
            warningAfter(kSuspendDefaults);
        }
    }

    void checkModel() {
        if (checkTargetValueEntries() < neurons_) {
            warningAfter(kModelDefaults);
        }
    }

    void checkNetworkLayout() {
        expectLeftBrace();
        std::int32_t neurons = 0;
        std::int32_t weights = 0;
        while (!is(RightBrace)) {
            expectNeuron();
            expectNumber();
            expectComma();
            if (!is(LeftParen)) {
                expectNeuron();
                ++neurons;
                expectNumber();
                expectComma();
                expect(KwWeight, kEmptyWeightList);
                ++weights;
                expectNumber();
            } else {
                neurons += checkNeuronList();
                expectComma();
                expect(KwWeight, kEmptyWeightList);
                while (!is(Semicolon)) {
                    expectNumber();
                    ++weights;
                    if (!is(Semicolon)) {
                        expectComma();
                    }
                }
            }
            expectSemicolon();
        }
        expectRightBrace();
        if (neurons == 0) {
            errorAfter(kEmptyNeuronList);
        }
        if (weights == 0) {
            errorAfter(kEmptyWeightList);
        }
        if (neurons != weights) {
            errorAfter(kNeuronsWeightsDiffer);
        }
    }

    NetworkRecord& record_;
    CheckResult& result_;
    const double* values_;
    const TokenFlag* flags_;
    std::size_t stored_; // elements in the arrays; the rest of the capacity is the end of stream
    std::size_t size_;   // the capacity
    std::int32_t characterTotal_;

    std::size_t cursor_ = 0;
    double atValue_ = 0.0;
    std::int32_t atFlag_ = 0;
    double atEffective_ = 0.0;
    std::int32_t lineEndsBefore_ = 0;
    std::int32_t lineOfLastToken_ = 1;
    std::int32_t neurons_ = kMaxNeurons;
};

} // namespace

const char* rowKindText(RowKind kind) {
    return kind == RowKind::Error ? "Ошибка" : "Предупреждение";
}

CheckResult checkDescription(NetworkRecord& record) {
    // The set-up of the check window.
    record.errorCount = 0;
    record.warningCount = 0;
    // A new check replaces the facts of the previous one.
    record.inputLayer.reset();
    record.inputLayerReady = 0;
    record.outputIndices = {};

    CheckResult result;
    result.correct = true;
    Checker checker(record, result);
    checker.run();
    return result;
}

} // namespace axolite::language

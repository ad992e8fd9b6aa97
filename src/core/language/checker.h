// The description checker: walks the token stream statement by statement, lists every error and
// warning with its line, decides whether the description is correct and writes the facts the
// simulation takes from the check into the network description record.
#pragma once

#include "core/common/message.h"
#include "core/language/network_record.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace axolite::language {

enum class RowKind { Error, Warning }; // shown as "Ошибка" / "Предупреждение"
const char* rowKindText(RowKind kind);

// One row of the message list: its kind, the line it refers to (counted from 1) and its text.
struct CheckRow {
    RowKind kind;
    std::int32_t line;
    std::string text;

    bool operator==(const CheckRow&) const = default;
};

enum class Statement {
    Neurons,
    SimTime,
    TimeStep,
    InputLayer,
    OutputLayer,
    InitState,
    Suspend,
    Model,
    NetworkLayout
};
inline constexpr std::size_t kStatementCount = 9;

// The largest number of neurons a description may have (N before NEURONS is checked).
inline constexpr std::int32_t kMaxNeurons = 196;
// Errors counted before the check gives up.
inline constexpr std::int32_t kAbandonAtError = 50;

inline constexpr const char* kNeuronsFirstText = "Оператор NEURONS должен быть определен первым.";
inline constexpr const char* kTooManyOutputsText =
    "Число нейронов выходного слоя сети не должно превышать четырех";

struct CheckResult {
    bool correct = false;
    bool abandoned = false;       // stopped at the 50th error: no result is shown
    bool unrecognised = false;    // ended by the bound of the stream
    bool calculateEnabled = true; // state of "Посчитать ..." after the check
    std::int32_t linesAnalysed = 1;
    std::int32_t neurons = 196;      // N as the check left it
    std::int32_t initStateCount = 0; // neurons counted in INITSTATE (for the simulation)
    // Entries of the last OUTPUTLAYER checked whose neuron index was stored (at most four).
    std::int32_t outputCount = 0;
    // Errors and warnings counted. The message box about more than four output neurons counts an
    // error without a row, so these may exceed the rows of each kind.
    std::int32_t errorTotal = 0;
    std::int32_t warningTotal = 0;
    std::vector<CheckRow> rows;    // every row, in order
    std::vector<Message> messages; // message boxes in the order they are shown, with their icons
    std::array<bool, kStatementCount> seen{}; // per Statement
    // Token index of each checked occurrence's keyword, per Statement, in order.
    std::array<std::vector<std::size_t>, kStatementCount> positions;

    std::int32_t errors() const { return errorTotal; }
    std::int32_t warnings() const { return warningTotal; }
    bool wasSeen(Statement s) const { return seen[static_cast<std::size_t>(s)]; }
    const std::vector<std::size_t>& positionsOf(Statement s) const {
        return positions[static_cast<std::size_t>(s)];
    }
};

// Does what the check window's set-up does to the record (error and warning counts 0, check-open
// flag set), runs the check with N = 196 at the start, and writes the record fields the checker
// owns (t0, t1, h, inputLayer, outputIndices, defaultWaitCount, inputLayerReady, errorCount,
// warningCount).
CheckResult checkDescription(NetworkRecord& record);

} // namespace axolite::language

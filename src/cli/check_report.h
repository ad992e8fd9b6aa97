// What `axolite-cli check` prints: the rows, message boxes, result and counts of a check, as
// text or as one JSON object. Shared with the commands that check a description first.
#pragma once

#include "core/common/message.h"
#include "core/language/checker.h"
#include "core/language/description_text.h"
#include "core/language/network_record.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace axolite::cli {

// The check command on a description's lines: the lexer's message box when the check window
// would not open, otherwise the check's result.
struct CheckOutcome {
    std::optional<Message> lexMessage;
    std::optional<language::CheckResult> result;

    bool correct() const { return result && result->correct; }
};

CheckOutcome runCheck(const language::DescriptionText& text, language::NetworkRecord& record);

// "Ошибок нет" or the count formatted "%-3i " followed by "ошибок".
std::string errorCountText(std::int32_t errors);
// "Предупреждений нет" or the count formatted "%-3i " followed by "предупреждений".
std::string warningCountText(std::int32_t warnings);

// One line per row (kind, TAB, line, TAB, text), one "Сообщение: " line per message box, then
// the result (not after an abandoned check), the lines analysed and the two counts.
void printCheckText(std::ostream& out, const CheckOutcome& outcome);

// correct, abandoned, lines, errors, warnings, rows, messages, neurons, t0, t1, h, inputlayer,
// outputs, initstate_count.
nlohmann::ordered_json checkJson(const CheckOutcome& outcome,
                                 const language::NetworkRecord& record);

// "Невозможно прочитать файл %s".
std::string unreadableFileText(const std::string& path);

} // namespace axolite::cli

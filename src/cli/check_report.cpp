// Printing a check's outcome.
#include "cli/check_report.h"

#include "core/language/lexer.h"

#include <cstdio>

namespace axolite::cli {

namespace {

std::string countText(std::int32_t count, const char* none, const char* noun) {
    if (count == 0) {
        return none;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%-3i ", static_cast<int>(count));
    return std::string(buffer) + noun;
}

} // namespace

CheckOutcome runCheck(const language::DescriptionText& text, language::NetworkRecord& record) {
    CheckOutcome outcome;
    outcome.lexMessage = language::lexDescription(text, record);
    if (!outcome.lexMessage) {
        outcome.result = language::checkDescription(record);
    }
    return outcome;
}

std::string errorCountText(std::int32_t errors) {
    return countText(errors, "Ошибок нет", "ошибок");
}

std::string warningCountText(std::int32_t warnings) {
    return countText(warnings, "Предупреждений нет", "предупреждений");
}

void printCheckText(std::ostream& out, const CheckOutcome& outcome) {
    if (outcome.lexMessage) {
        out << "Сообщение: " << outcome.lexMessage->text << '\n';
        return;
    }
    const language::CheckResult& result = *outcome.result;
    for (const language::CheckRow& row : result.rows) {
        out << language::rowKindText(row.kind) << '\t' << row.line << '\t' << row.text << '\n';
    }
    for (const Message& message : result.messages) {
        out << "Сообщение: " << message.text << '\n';
    }
    if (!result.abandoned) {
        out << "Результат : " << (result.correct ? "правильно" : "неправильно") << '\n';
    }
    out << "Проанализировано строк : " << result.linesAnalysed << '\n';
    out << errorCountText(result.errors()) << '\n';
    out << warningCountText(result.warnings()) << '\n';
}

nlohmann::ordered_json checkJson(const CheckOutcome& outcome,
                                 const language::NetworkRecord& record) {
    nlohmann::ordered_json json;
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    nlohmann::ordered_json messages = nlohmann::ordered_json::array();
    nlohmann::ordered_json inputLayer = nlohmann::ordered_json::array();
    nlohmann::ordered_json outputs = nlohmann::ordered_json::array();
    if (outcome.lexMessage) {
        messages.push_back({{"icon", messageKindName(outcome.lexMessage->kind)},
                            {"text", outcome.lexMessage->text}});
        json["correct"] = false;
        json["abandoned"] = false;
        json["lines"] = 0;
        json["errors"] = 0;
        json["warnings"] = 0;
        json["neurons"] = 0;
        json["initstate_count"] = 0;
    } else {
        const language::CheckResult& result = *outcome.result;
        for (const language::CheckRow& row : result.rows) {
            rows.push_back({{"kind", language::rowKindText(row.kind)},
                            {"line", row.line},
                            {"text", row.text}});
        }
        for (const Message& message : result.messages) {
            messages.push_back({{"icon", messageKindName(message.kind)}, {"text", message.text}});
        }
        if (record.inputLayer) {
            for (const double neuron : *record.inputLayer) {
                if (neuron == 0.0) {
                    break;
                }
                inputLayer.push_back(neuron);
            }
        }
        for (std::int32_t k = 0; k < result.outputCount; ++k) {
            outputs.push_back(record.outputIndices[static_cast<std::size_t>(k)]);
        }
        json["correct"] = result.correct;
        json["abandoned"] = result.abandoned;
        json["lines"] = result.linesAnalysed;
        json["errors"] = result.errors();
        json["warnings"] = result.warnings();
        json["neurons"] = result.neurons;
        json["initstate_count"] = result.initStateCount;
    }
    json["rows"] = rows;
    json["messages"] = messages;
    json["t0"] = record.t0;
    json["t1"] = record.t1;
    json["h"] = record.h;
    json["inputlayer"] = inputLayer;
    json["outputs"] = outputs;
    return json;
}

std::string unreadableFileText(const std::string& path) {
    return "Невозможно прочитать файл " + path;
}

} // namespace axolite::cli

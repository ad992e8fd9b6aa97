// The rows of an explanation.
#include "core/debugger/explanation_rows.h"

#include "core/common/number_text.h"

#include <algorithm>

namespace axolite::debugger {

namespace {

std::string number(double value) {
    return shortestNumberText(value);
}

void addComputation(const simulation::Explanation& e, std::vector<ExplanationRow>& rows) {
    const std::string n = std::to_string(e.neuron + 1);
    rows.push_back({"net = Σ (вход_k + активность_k) * w_" + n + "k, значения шага " +
                        std::to_string(e.step - 1) + ":",
                    0});
    for (const auto& t : e.terms) {
        rows.push_back({"  нейрон " + std::to_string(t.source + 1) + ": (" + number(t.input) +
                            " + " + number(t.activity) + ") * " + number(t.weight) + " = " +
                            number(t.product),
                        t.line});
    }
    if (e.terms.empty()) {
        rows.push_back({"  (нет связей с ненулевым весом)", 0});
    }
    rows.push_back({"net = " + number(e.net), 0});
    std::string model = "Модель " + std::to_string(e.code) + " (" +
                        simulation::modelKindText(e.kind) + "): Y1 = " + number(e.parameters.y1) +
                        ", X1 = " + number(e.parameters.x1);
    if (simulation::kindHasShift(e.kind)) {
        model += ", Xt = " + number(e.parameters.xt);
    }
    if (e.modelLine == 0) {
        model += "  [модель по умолчанию]";
    }
    rows.push_back({model, e.modelLine});
    if (e.origin == simulation::ValueOrigin::Held) {
        rows.push_back({"Значение удержано: счетчик ожидания " + std::to_string(e.waitCounter) +
                            " (не 0 и не -1), значение шага " + std::to_string(e.step - 1) +
                            " сохранено; f(net) не применяется",
                        e.waitLine});
        return;
    }
    rows.push_back({"f(net) = " + simulation::transferCaseText(e.kind, e.parameters, e.net) +
                        " = " + number(e.result),
                    0});
    rows.push_back({"Счетчик ожидания: " + std::to_string(e.waitCount) + " (в начале шага " +
                        std::to_string(e.waitCounter) + ")",
                    e.waitLine});
}

} // namespace

std::vector<ExplanationRow> explanationRows(const simulation::Explanation& e) {
    std::vector<ExplanationRow> rows;
    rows.push_back({"Нейрон " + std::to_string(e.neuron + 1) + ", шаг " + std::to_string(e.step) +
                        " (x = " + number(e.x) + ")",
                    0});
    if (e.origin == simulation::ValueOrigin::Initial) {
        rows.push_back({"Начальное состояние: " + number(e.value) +
                            (e.initialLine == 0 ? "  [не задано в INITSTATE]" : ""),
                        e.initialLine});
    } else {
        addComputation(e, rows);
    }
    rows.push_back({"Значение: " + number(e.value), 0});
    return rows;
}

std::vector<std::int32_t> explanationLines(const simulation::Explanation& explanation) {
    std::vector<std::int32_t> lines;
    for (const ExplanationRow& row : explanationRows(explanation)) {
        if (row.line > 0) {
            lines.push_back(row.line);
        }
    }
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

} // namespace axolite::debugger

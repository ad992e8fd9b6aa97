// `axolite-cli explain FILE.net [run options] --neuron N --step I [--json]`: runs the description
// as `run` does and explains the activity of neuron N at step I with the engine's own numbers.
#include "cli/explain_command.h"

#include "cli/commands.h"
#include "cli/number_output.h"

#include "cli/run_command.h"
#include "core/common/number_text.h"

#include "core/language/description_text.h"
#include "core/platform/text_encoding.h"
#include "core/simulation/explain.h"

#include <algorithm>
#include <iostream>
#include <limits>
#include <memory>

namespace axolite::cli {

namespace {

struct ExplainOptions {
    RunOptions run;
    std::int64_t neuron = 0; // from 1
    std::int64_t step = 0;
};

const char* originName(simulation::ValueOrigin origin) {
    switch (origin) {
    case simulation::ValueOrigin::Initial:
        return "initial";
    case simulation::ValueOrigin::Computed:
        return "computed";
    case simulation::ValueOrigin::Held:
        return "held";
    }
    return "computed";
}

// The text of description line (from 1), in UTF-8; empty for line 0 or a line beyond the text.
std::string lineText(const language::DescriptionText& text, std::int32_t line) {
    if (line < 1) {
        return "";
    }
    return platform::cp1251ToUtf8(text.line(static_cast<std::size_t>(line) - 1));
}

std::string lineReference(const language::DescriptionText& text, std::int32_t line) {
    if (line == 0) {
        return "";
    }
    return "  [строка " + std::to_string(line) + ": " + lineText(text, line) + "]";
}

void printExplanation(const simulation::Explanation& e, const language::DescriptionText& text,
                      std::ostream& out) {
    const std::string n = std::to_string(e.neuron + 1);
    out << "Нейрон " << n << ", шаг " << e.step << " (x = " << shortestNumberText(e.x) << ")\n";
    if (e.origin == simulation::ValueOrigin::Initial) {
        out << "Начальное состояние: " << shortestNumberText(e.value)
            << (e.initialLine == 0 ? "  [не задано в INITSTATE]"
                                   : lineReference(text, e.initialLine))
            << '\n';
        return;
    }
    out << "net = Σ (вход_k + активность_k) * w_" << n << "k, значения шага " << e.step - 1
        << ":\n";
    for (const auto& t : e.terms) {
        out << "  нейрон " << t.source + 1 << ": (" << shortestNumberText(t.input) << " + "
            << shortestNumberText(t.activity) << ") * " << shortestNumberText(t.weight) << " = "
            << shortestNumberText(t.product) << lineReference(text, t.line) << '\n';
    }
    if (e.terms.empty()) {
        out << "  (нет связей с ненулевым весом)\n";
    }
    out << "net = " << shortestNumberText(e.net) << '\n';
    out << "Модель " << e.code << " (" << simulation::modelKindText(e.kind)
        << "): Y1 = " << shortestNumberText(e.parameters.y1)
        << ", X1 = " << shortestNumberText(e.parameters.x1);
    if (simulation::kindHasShift(e.kind)) {
        out << ", Xt = " << shortestNumberText(e.parameters.xt);
    }
    out << (e.modelLine == 0 ? "  [модель по умолчанию]" : lineReference(text, e.modelLine))
        << '\n';
    if (e.origin == simulation::ValueOrigin::Held) {
        out << "Значение удержано: счетчик ожидания " << e.waitCounter << " (не 0 и не -1), "
            << "значение шага " << e.step - 1 << " сохранено; f(net) не применяется"
            << lineReference(text, e.waitLine) << '\n';
    } else {
        out << "f(net) = " << simulation::transferCaseText(e.kind, e.parameters, e.net) << " = "
            << shortestNumberText(e.result) << '\n';
    }
    out << "Значение: " << shortestNumberText(e.value) << '\n';
}

} // namespace

simulation::Explanation explainRun(const RunContext& context, std::int64_t neuron,
                                   std::int64_t step) {
    // Neurons are numbered from 1 on the command line; a number below 1 is refused as it was
    // given (the lowest integer has no zero-based index).
    if (neuron < 1) {
        throw AxoliteError(MessageKind::Error, simulation::neuronNumberOutsideText(
                                                   neuron, context.simulation.neurons()));
    }
    return simulation::explainValue(context.record, *context.check.result, context.simulation,
                                    neuron - 1, step);
}

nlohmann::ordered_json explanationJson(const simulation::Explanation& e) {
    nlohmann::ordered_json terms = nlohmann::ordered_json::array();
    for (const auto& t : e.terms) {
        terms.push_back({{"source", t.source + 1},
                         {"input", jsonNumber(t.input)},
                         {"activity", jsonNumber(t.activity)},
                         {"weight", jsonNumber(t.weight)},
                         {"product", jsonNumber(t.product)},
                         {"line", t.line}});
    }
    nlohmann::ordered_json json;
    json["neuron"] = e.neuron + 1;
    json["step"] = e.step;
    json["x"] = jsonNumber(e.x);
    json["origin"] = originName(e.origin);
    json["value"] = jsonNumber(e.value);
    json["initial_line"] = e.initialLine;
    json["terms"] = terms;
    json["net"] = jsonNumber(e.net);
    json["model"] = {{"code", e.code},
                     {"kind", simulation::modelKindText(e.kind)},
                     {"y1", jsonNumber(e.parameters.y1)},
                     {"x1", jsonNumber(e.parameters.x1)},
                     {"xt", jsonNumber(e.parameters.xt)},
                     {"line", e.modelLine}};
    json["transfer"] = simulation::transferCaseText(e.kind, e.parameters, e.net);
    json["result"] = jsonNumber(e.result);
    json["wait"] = {{"count", e.waitCount}, {"counter", e.waitCounter}, {"line", e.waitLine}};
    return json;
}

namespace {

int explain(ExplainOptions& options) {
    auto context = std::make_unique<RunContext>();
    context->options = options.run;
    context->options.reportWhenSimulated = false;
    const int status = runDescription(*context);
    if (status != Done) {
        return status;
    }
    try {
        const simulation::Explanation e = explainRun(*context, options.neuron, options.step);
        if (options.run.json) {
            std::cout << explanationJson(e).dump(1) << '\n';
        } else {
            printExplanation(e, context->text, std::cout);
        }
        return Done;
    } catch (const AxoliteError& e) {
        std::cout << "Сообщение: " << e.message().text << '\n';
        return UsageError;
    }
}

} // namespace

void addExplainCommand(CLI::App& app, int& status) {
    auto options = std::make_shared<ExplainOptions>();
    CLI::App* command = app.add_subcommand(
        "explain", "Explain the activity of one neuron at one step of the simulation");
    addRunDescriptionOptions(*command, options->run);
    command->add_option("--neuron", options->neuron, "The neuron, from 1")->required();
    command->add_option("--step", options->step, "The step, from 0")->required();
    command->add_flag("--json", options->run.json, "Print one JSON object");
    command->callback([options, &status] { status = explain(*options); });
}

} // namespace axolite::cli

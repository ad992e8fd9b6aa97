// Printing an explanation.
#include "cli/explanation_output.h"

#include "cli/number_output.h"

#include "core/debugger/explanation_rows.h"
#include "core/platform/text_encoding.h"

namespace axolite::cli {

namespace {

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

// The text of description line (from 1), in UTF-8; empty for a line beyond the text.
std::string lineText(const language::DescriptionText& text, std::int32_t line) {
    if (line < 1 || static_cast<std::size_t>(line) > text.lineCount()) {
        return "";
    }
    return platform::cp1251ToUtf8(text.line(static_cast<std::size_t>(line) - 1));
}

} // namespace

void printExplanation(const simulation::Explanation& e, const language::DescriptionText& text,
                      std::ostream& out) {
    for (const debugger::ExplanationRow& row : debugger::explanationRows(e)) {
        out << row.text;
        if (row.line > 0) {
            out << "  [строка " << row.line << ": " << lineText(text, row.line) << ']';
        }
        out << '\n';
    }
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

} // namespace axolite::cli

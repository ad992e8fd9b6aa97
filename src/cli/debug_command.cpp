// `axolite-cli debug FILE.net [run options] --until COND [--until COND ...] [--watch LIST]
// [--from STEP] [--json]`: runs the description as `run` does, finds the first step from STEP on
// where a condition holds, and prints the watched values there and at the step before, and the
// explanation of every neuron the condition names (yK names the neuron of output K). Exit status 0
// when a condition held, 1 when none did, 2 on a condition that does not read (and the usage errors
// of every command).
#include "cli/commands.h"
#include "cli/explanation_output.h"
#include "cli/number_output.h"
#include "cli/run_command.h"

#include "core/common/number_text.h"
#include "core/debugger/debug_session.h"
#include "core/simulation/explain.h"

#include <charconv>
#include <iostream>
#include <memory>
#include <vector>

namespace axolite::cli {

namespace {

struct DebugOptions {
    RunOptions run;
    std::vector<std::string> conditions;
    std::string watch; // empty: the neurons the conditions name
    std::int64_t from = 0;
};

// A refusal of the command line's values: the text, exit status 2.
struct UsageRefusal {
    std::string text;
};

void addWatches(debugger::DebugSession& session, const DebugOptions& options) {
    if (options.watch.empty()) {
        for (std::size_t k = 0; k < session.conditions().size(); ++k) {
            for (const std::int32_t neuron : session.namedNeurons(k)) {
                session.addWatch(neuron);
            }
        }
        return;
    }
    std::string_view rest = options.watch;
    while (true) {
        const std::size_t comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        std::int64_t number = 0;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), number);
        if (item == "outputs") {
            session.addOutputWatches();
        } else if (error != std::errc{} || end != item.data() + item.size()) {
            throw UsageRefusal{"Неверный список наблюдаемых нейронов «" + options.watch +
                               "»: ожидаются номера нейронов через запятую или outputs."};
        } else if (number < 1 || number > session.run().neurons) {
            throw UsageRefusal{simulation::neuronNumberOutsideText(number, session.run().neurons)};
        } else {
            session.addWatch(static_cast<std::int32_t>(number - 1));
        }
        if (comma == std::string_view::npos) {
            return;
        }
        rest.remove_prefix(comma + 1);
    }
}

void printWatch(const std::vector<debugger::WatchRow>& rows, std::ostream& out) {
    if (rows.empty()) {
        return;
    }
    out << "Наблюдаемые нейроны:\n";
    for (const debugger::WatchRow& row : rows) {
        out << "  нейрон " << row.neuron + 1 << ": ";
        if (row.previous) {
            out << "шаг " << row.step - 1 << ": " << shortestNumberText(*row.previous) << ", ";
        }
        out << "шаг " << row.step << ": " << shortestNumberText(row.value);
        if (row.change) {
            out << ", изменение " << shortestNumberText(*row.change);
        } else {
            out << " (предыдущего шага нет)";
        }
        out << ", модель " << row.code << " (" << simulation::modelKindText(row.kind) << ")";
        const std::string marks = debugger::watchMarksText(row);
        if (!marks.empty()) {
            out << "; " << marks;
        }
        out << '\n';
    }
}

nlohmann::ordered_json watchJson(const std::vector<debugger::WatchRow>& rows) {
    nlohmann::ordered_json json = nlohmann::ordered_json::array();
    for (const debugger::WatchRow& row : rows) {
        nlohmann::ordered_json item;
        item["neuron"] = row.neuron + 1;
        item["value"] = jsonNumber(row.value);
        item["previous"] = row.previous ? jsonNumber(*row.previous) : nlohmann::ordered_json();
        item["change"] = row.change ? jsonNumber(*row.change) : nlohmann::ordered_json();
        item["code"] = row.code;
        item["kind"] = simulation::modelKindText(row.kind);
        item["sign_changed"] = row.signChanged;
        item["limits_crossed"] = row.limitsCrossed;
        json.push_back(item);
    }
    return json;
}

// The conditions that do not read: their messages, exit status 2.
int refuseConditions(const debugger::DebugSession& session, bool json) {
    nlohmann::ordered_json errors = nlohmann::ordered_json::array();
    for (const auto& entry : session.conditions()) {
        if (!entry.error) {
            continue;
        }
        if (json) {
            errors.push_back({{"condition", entry.text},
                              {"position", entry.error->position},
                              {"reason", entry.error->reason}});
        } else {
            std::cout << "Ошибка в условии «" << entry.text << "»: " << entry.error->text() << '\n';
        }
    }
    if (json) {
        std::cout << nlohmann::ordered_json{{"errors", errors}}.dump(1) << '\n';
    }
    return UsageError;
}

int reportHit(debugger::DebugSession& session, const debugger::ConditionHit& hit,
              const RunContext& context) {
    session.goTo(hit.step);
    const auto& entry = session.conditions()[hit.condition];
    const auto rows = session.watchRows();
    std::vector<simulation::Explanation> explanations;
    for (const std::int32_t neuron : session.namedNeurons(hit.condition)) {
        explanations.push_back(session.explain(neuron));
    }
    if (context.options.json) {
        nlohmann::ordered_json json;
        json["held"] = true;
        json["step"] = hit.step;
        json["x"] = jsonNumber(session.x());
        json["condition"] = {{"index", hit.condition + 1}, {"text", entry.text}};
        json["watch"] = watchJson(rows);
        json["explanations"] = nlohmann::ordered_json::array();
        for (const auto& e : explanations) {
            json["explanations"].push_back(explanationJson(e));
        }
        std::cout << json.dump(1) << '\n';
        return Done;
    }
    std::cout << "Условие " << hit.condition + 1 << " выполнено на шаге " << hit.step
              << " (x = " << shortestNumberText(session.x()) << "): " << entry.text << '\n';
    printWatch(rows, std::cout);
    for (const auto& e : explanations) {
        std::cout << '\n';
        printExplanation(e, context.text, std::cout);
    }
    return Done;
}

int reportNoHit(std::int64_t from, std::int32_t steps, bool json) {
    if (json) {
        std::cout
            << nlohmann::ordered_json{{"held", false}, {"from", from}, {"last", steps - 1}}.dump(1)
            << '\n';
    } else {
        std::cout << "Ни одно условие не выполнено на шагах от " << from << " до " << steps - 1
                  << ".\n";
    }
    return Refused;
}

// A session over the run: the conditions compiled, the bounds and the watch list checked, the
// first hit reported. A refusal of the command line's values gives status 2; a message of the
// engine (a run without steps) status 1.
int debugRun(const DebugOptions& options, RunContext& context) {
    debugger::DebugSession session(context.record, *context.check.result, context.simulation);
    for (const std::string& text : options.conditions) {
        session.addCondition(text);
    }
    for (const auto& entry : session.conditions()) {
        if (entry.error) {
            return refuseConditions(session, options.run.json);
        }
    }
    try {
        if (options.from < 0 || options.from >= session.steps()) {
            throw UsageRefusal{simulation::stepOutsideText(options.from, session.steps())};
        }
        addWatches(session, options);
    } catch (const UsageRefusal& refusal) {
        std::cout << "Сообщение: " << refusal.text << '\n';
        return UsageError;
    }
    const auto hit = session.firstHit(static_cast<std::int32_t>(options.from));
    return hit ? reportHit(session, *hit, context)
               : reportNoHit(options.from, session.steps(), options.run.json);
}

} // namespace

void addDebugCommand(CLI::App& app, int& status) {
    auto options = std::make_shared<DebugOptions>();
    CLI::App* command = app.add_subcommand(
        "debug", "Run a description to the first step where a condition holds and explain it");
    addRunDescriptionOptions(*command, options->run);
    command
        ->add_option("--until", options->conditions,
                     "Condition on the run's values, e.g. \"n3 > 0.5\" (repeatable; any may hold)")
        ->required();
    command->add_option("--watch", options->watch,
                        "Neurons to watch: numbers from 1 separated by commas, or outputs");
    command->add_option("--from", options->from, "The first step searched, from 0");
    command->add_flag("--json", options->run.json, "Print one JSON object");
    command->callback([options, &status] {
        status = runThenReport(options->run, Refused, [&options](RunContext& context) {
            return debugRun(*options, context);
        });
    });
}

} // namespace axolite::cli

// `axolite-cli explain FILE.net [run options] --neuron N --step I [--json]`: runs the description
// as `run` does and explains the activity of neuron N at step I with the engine's own numbers.
#include "cli/explain_command.h"

#include "cli/commands.h"
#include "cli/explanation_output.h"
#include "cli/run_command.h"

#include "core/simulation/explain.h"

#include <iostream>

namespace axolite::cli {

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

namespace {

struct ExplainOptions {
    RunOptions run;
    std::int64_t neuron = 0; // from 1
    std::int64_t step = 0;
};

int explain(const ExplainOptions& options) {
    return runThenReport(options.run, UsageError, [&options](RunContext& context) {
        const simulation::Explanation e = explainRun(context, options.neuron, options.step);
        if (options.run.json) {
            std::cout << explanationJson(e).dump(1) << '\n';
        } else {
            printExplanation(e, context.text, std::cout);
        }
        return static_cast<int>(Done);
    });
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

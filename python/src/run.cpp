// axolite.check and axolite.run: the tool's stages of `check` and `run` on the engine, with the
// GIL released while the engine works; the run's series as NumPy arrays.
#include "run.h"
#include "arrays.h"
#include "bindings.h"
#include "errors.h"
#include "json_objects.h"
#include "python_progress.h"
#include "sources.h"

#include "cli/check_report.h"
#include "cli/explain_command.h"
#include "cli/reference_options.h"

#include "core/views/series.h"

#include <pybind11/stl.h>

#include <chrono>
#include <exception>
#include <limits>

namespace axolite::python {

namespace py = pybind11;

namespace {

using language::SeriesFamily;

enum class RunEnd { Completed, CheckFailed, Refused, Cancelled };

// The stages of `run` in the tool's order: check, preparation, input activation, simulation,
// exact values and Runge-Kutta solution.
RunEnd runStages(cli::RunContext& c, cli::ReferenceStages& references, Progress& progress) {
    if (!cli::checkStage(c)) {
        return RunEnd::CheckFailed;
    }
    if (!cli::prepareStage(c)) {
        return RunEnd::Refused;
    }
    references.beforeSimulation(c.record, progress);
    if (progress.cancelRequested()) {
        return RunEnd::Cancelled;
    }
    if (!cli::simulateStage(c, progress)) {
        return c.result.outcome == simulation::Simulation::Outcome::Cancelled ? RunEnd::Cancelled
                                                                              : RunEnd::Refused;
    }
    references.afterSimulation(c.record);
    references.referenceSolutions(c.record, progress);
    return progress.cancelRequested() ? RunEnd::Cancelled : RunEnd::Completed;
}

// Raises CheckError with the first error (or the lexer's message) and the check's result.
[[noreturn]] void raiseCheckError(const cli::CheckOutcome& outcome, py::object check) {
    if (outcome.lexMessage) {
        raiseError(outcome.lexMessage->text, messageKindName(outcome.lexMessage->kind),
                   std::nullopt, check);
    }
    for (const language::CheckRow& row : outcome.result->rows) {
        if (row.kind == language::RowKind::Error) {
            raiseError(row.text, "error", row.line, check);
        }
    }
    const auto& messages = outcome.result->messages;
    raiseError(messages.empty() ? std::string("Результат : неправильно") : messages.front().text,
               "error", std::nullopt, check);
}

py::object check(const std::optional<std::string>& path, const std::optional<std::string>& text) {
    const language::DescriptionText description = readSource(path, text);
    language::NetworkRecord record;
    cli::CheckOutcome outcome;
    {
        py::gil_scoped_release release;
        outcome = cli::runCheck(description, record);
    }
    return toPython(cli::checkJson(outcome, record));
}

py::tuple run(const std::optional<std::string>& path, const std::optional<std::string>& text,
              const std::string& models, const cli::ReferenceOptions& referenceOptions,
              py::object progressFunction) {
    auto context = std::make_shared<cli::RunContext>();
    cli::RunContext& c = *context;
    c.options.path = path.value_or("");
    c.options.models = models;
    c.text = readSource(path, text);
    if (const auto refusal = cli::setModelsFolder(c)) {
        raiseError(*refusal, "error", std::nullopt);
    }
    cli::ReferenceStages references(referenceOptions);
    PythonProgress progress(std::move(progressFunction));
    RunEnd end = RunEnd::Refused;
    std::exception_ptr failure;
    const auto started = std::chrono::steady_clock::now();
    {
        py::gil_scoped_release release;
        try {
            end = runStages(c, references, progress);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    const std::chrono::duration<double> engineTime = std::chrono::steady_clock::now() - started;
    // Ctrl+C first: whatever the engine did after it, the caller asked to stop.
    progress.raiseIfStopped();
    if (failure) {
        std::rethrow_exception(failure);
    }
    nlohmann::ordered_json json = cli::checkJson(c.check, c.record);
    if (end == RunEnd::CheckFailed) {
        raiseCheckError(c.check, toPython(json));
    }
    if (end == RunEnd::Cancelled) { // stopped without a Python exception: as Ctrl+C would
        PyErr_SetNone(PyExc_KeyboardInterrupt);
        throw py::error_already_set();
    }
    if (end == RunEnd::Refused) {
        const Message message =
            c.messages.empty() ? simulation::outOfMemoryMessage() : c.messages.back();
        raiseError(message.text, messageKindName(message.kind), std::nullopt);
    }
    for (const Message& m : c.messages) {
        json["messages"].push_back({{"icon", messageKindName(m.kind)}, {"text", m.text}});
    }
    cli::addSimulationJson(c, json);
    if (referenceOptions.wantsAny()) {
        references.addJson(json, c.record);
    }
    return py::make_tuple(toPython(json), RunHandle{std::move(context), engineTime.count()});
}

const std::vector<double>& familySeries(const language::NetworkRecord& record, SeriesFamily family,
                                        int k) {
    switch (family) {
    case SeriesFamily::RungeKutta:
        return record.rungeKuttaSeries[static_cast<std::size_t>(k)];
    case SeriesFamily::Exact:
        return record.exactSeries[static_cast<std::size_t>(k)];
    case SeriesFamily::Network:
        break;
    }
    return record.outputSeries[static_cast<std::size_t>(k)];
}

// Family's series as a steps × outputs array (NaN in the column of a component the family lacks);
// None when the family has none.
py::object seriesMatrix(const RunHandle& run, int familyIndex) {
    const language::NetworkRecord& record = run.context->record;
    const auto family = static_cast<SeriesFamily>(familyIndex);
    if (!views::anySeriesPresent(record, family)) {
        return py::none();
    }
    const py::ssize_t rows = views::gridPointCount(record);
    const py::ssize_t columns = run.context->check.result->outputCount;
    py::array_t<double> matrix({rows, columns});
    auto out = matrix.mutable_unchecked<2>();
    for (py::ssize_t k = 0; k < columns; ++k) {
        const bool present = views::seriesPresent(record, family, static_cast<int>(k));
        const std::vector<double>& values = familySeries(record, family, static_cast<int>(k));
        for (py::ssize_t i = 0; i < rows; ++i) {
            out(i, k) = present && static_cast<std::size_t>(i) < values.size()
                            ? values[static_cast<std::size_t>(i)]
                            : std::numeric_limits<double>::quiet_NaN();
        }
    }
    matrix.attr("setflags")(py::arg("write") = false);
    return matrix;
}

// Component k (0..3) of the family over the engine's own memory; None when absent.
py::object seriesView(const RunHandle& run, int familyIndex, int k) {
    const language::NetworkRecord& record = run.context->record;
    const auto family = static_cast<SeriesFamily>(familyIndex);
    if (k < 0 || k >= language::kOutputCount || !views::seriesPresent(record, family, k)) {
        return py::none();
    }
    const std::vector<double>& values = familySeries(record, family, k);
    const py::ssize_t length = std::min<py::ssize_t>(views::gridPointCount(record),
                                                     static_cast<py::ssize_t>(values.size()));
    return readOnlyView(values.data(), {length}, {sizeof(double)}, run.context);
}

// A neuron history (steps × neurons) over the engine's own memory.
py::array historyView(const RunHandle& run, const language::NeuronHistory& history) {
    const py::ssize_t neurons = history.neurons();
    const py::ssize_t steps = history.allocated() ? history.steps() : 0;
    static const double none = 0.0;
    const double* data = steps > 0 ? history.step(0) : &none;
    return readOnlyView(data, {steps, neurons},
                        {neurons * static_cast<py::ssize_t>(sizeof(double)), sizeof(double)},
                        run.context);
}

py::array grid(const RunHandle& run) {
    const language::NetworkRecord& record = run.context->record;
    std::vector<double> x(static_cast<std::size_t>(views::gridPointCount(record)));
    for (std::size_t i = 0; i < x.size(); ++i) {
        x[i] = record.t0 + static_cast<double>(i) * record.h;
    }
    return readOnlyCopy(x);
}

py::object explain(const RunHandle& run, std::int64_t neuron, std::int64_t step) {
    return toPython(cli::explanationJson(cli::explainRun(*run.context, neuron, step)));
}

} // namespace

void bindRun(py::module_& m) {
    m.def("_check", &check, py::arg("path"), py::arg("text"));
    py::class_<cli::ReferenceOptions>(m, "_ReferenceOptions")
        .def(py::init<>())
        .def_readwrite("activate", &cli::ReferenceOptions::activate)
        .def_readwrite("exact", &cli::ReferenceOptions::exact)
        .def_readwrite("rk", &cli::ReferenceOptions::rk)
        .def_readwrite("rk_init", &cli::ReferenceOptions::rkInit)
        .def_readwrite("ptn_exact", &cli::ReferenceOptions::ptnExact)
        .def_readwrite("ptn_rk", &cli::ReferenceOptions::ptnRk)
        .def_readwrite("ptn_inputs", &cli::ReferenceOptions::ptnInputs);
    m.def("_run", &run, py::arg("path"), py::arg("text"), py::arg("models"), py::arg("options"),
          py::arg("progress"));
    py::class_<RunHandle>(m, "_Run")
        .def("series", &seriesMatrix)
        .def("column", &seriesView)
        .def("activity",
             [](const RunHandle& r) { return historyView(r, r.context->record.activity); })
        .def("external_input",
             [](const RunHandle& r) { return historyView(r, r.context->record.externalInput); })
        .def("x", &grid)
        .def("explain", &explain)
        .def_readonly("engine_seconds", &RunHandle::engineSeconds);
    m.def("_series_colour", [](int family, int k) {
        const views::SeriesColour c = views::seriesColour(static_cast<SeriesFamily>(family), k);
        return py::make_tuple(c.red, c.green, c.blue);
    });
}

} // namespace axolite::python

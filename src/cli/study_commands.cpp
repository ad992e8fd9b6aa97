// `axolite-cli netgen` (the Euler network of a linear system, written as a description with its
// model file) and `axolite-cli study` (the step-size study of that network and of Runge-Kutta).
#include "cli/study_commands.h"

#include "cli/commands.h"
#include "cli/number_output.h"
#include "cli/reference_options.h"

#include "core/common/number_text.h"
#include "core/common/progress.h"
#include "core/platform/atomic_file.h"
#include "core/platform/folder_settings.h"
#include "core/platform/text_encoding.h"
#include "core/reference/euler_network.h"
#include "core/reference/formula.h"
#include "core/reference/step_study.h"

#include <iostream>
#include <memory>
#include <sstream>

namespace axolite::cli {

namespace {

void addSystemGridOptions(CLI::App& command, SystemGridOptions& options) {
    command.add_option("--rk", options.rk, "The system: \"a1 b1 c1 d1 e1; a2 ...; ...\"")
        ->required();
    command.add_option("--rk-init", options.rkInit, "Initial values \"y1 y2 ...\"");
    command.add_option("--simtime", options.simtime, "The simulated interval \"T0,T1\"")
        ->required();
    command.add_option("--timestep", options.h, "The time step H")->required();
}

// A decimal number with an optional sign; whether a negative one is allowed is the system's
// to say (validateEulerNetwork), not the reader's.
double numberOf(const std::string& option, std::string text) {
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    text = first == std::string::npos ? "" : text.substr(first, last - first + 1);
    const bool negative = !text.empty() && text[0] == '-';
    const std::string digits =
        !text.empty() && (text[0] == '-' || text[0] == '+') ? text.substr(1) : text;
    if (digits.empty() || scanDecimalNumber(digits) != digits.size()) {
        throw CLI::ValidationError(option, "\"" + text + "\" is no number");
    }
    const double value = decimalValue(digits);
    return negative ? -value : value;
}

// The system, its number of equations and the grid of the options.
struct SystemGrid {
    reference::LinearSystem system;
    int equations = 0;
    reference::EulerGrid grid;
};

SystemGrid readSystemGrid(const SystemGridOptions& options) {
    SystemGrid result;
    const SystemOption system = readSystemOption(options.rk, options.rkInit);
    result.system = system.system;
    result.equations = system.equations;
    const std::size_t comma = options.simtime.find(',');
    if (comma == std::string::npos) {
        throw CLI::ValidationError("--simtime", "expected T0,T1");
    }
    result.grid.t0 = numberOf("--simtime", options.simtime.substr(0, comma));
    result.grid.t1 = numberOf("--simtime", options.simtime.substr(comma + 1));
    result.grid.h = options.h;
    result.system.x0 = result.grid.t0;
    return result;
}

// Runs a command's work: a message of the system is printed and ends with status 1, an option
// that cannot be read with status 2.
template <typename Work> int guardedCommand(Work work) {
    try {
        return work();
    } catch (const CLI::ValidationError& e) {
        std::cerr << e.what() << '\n';
        return UsageError;
    } catch (const AxoliteError& e) {
        std::cout << "Сообщение: " << e.message().text << '\n';
        return Refused;
    }
}

int netgen(const NetgenOptions& options) {
    generateNetwork(options);
    std::cout << "Описание нейронной сети записано: " << options.out << '\n';
    return Done;
}

// --- study ---

std::string errorText(const std::optional<double>& value) {
    if (!value) {
        return "—";
    }
    if (std::isnan(*value)) {
        return "nan";
    }
    return formatNumber("%.6e", *value);
}

std::string orderText(const std::optional<double>& value) {
    if (!value) {
        return "—";
    }
    return formatNumber("%.3f", *value);
}

// Text padded on the left to a width counted in characters (UTF-8); a text as wide as the
// column or wider still keeps one blank from the column before it.
std::string padded(const std::string& text, std::size_t width) {
    std::size_t characters = 0;
    for (const unsigned char c : text) {
        characters += (c & 0xC0) != 0x80 ? 1 : 0;
    }
    return std::string(width > characters ? width - characters : 1, ' ') + text;
}

void printStudyTable(const reference::StepStudyResult& result, std::ostream& out) {
    out << "Погрешность сети измерена по "
        << (result.againstExact ? "точным значениям" : "решению методом Рунге-Кутта") << '\n';
    const std::size_t widths[] = {14, 9, 18, 8, 18, 8};
    const char* headers[] = {"h",       "Шагов",          "Погрешность сети",
                             "Порядок", "Погрешность РК", "Порядок"};
    for (std::size_t c = 0; c < 6; ++c) {
        out << padded(headers[c], widths[c]);
    }
    out << '\n';
    for (const auto& row : result.rows) {
        out << padded(formatNumber("%g", row.h), widths[0])
            << padded(std::to_string(row.steps), widths[1])
            << padded(errorText(row.networkError), widths[2])
            << padded(orderText(row.networkOrder), widths[3])
            << padded(errorText(row.rungeKuttaError), widths[4])
            << padded(orderText(row.rungeKuttaOrder), widths[5]) << '\n';
    }
    if (result.note) {
        out << "Примечание: " << *result.note << '\n';
    }
}

} // namespace

void generateNetwork(const NetgenOptions& options) {
    const SystemGrid s = readSystemGrid(options.system);
    const std::filesystem::path net = platform::pathFromUtf8(options.out);
    const std::filesystem::path models =
        options.models.empty() ? net.parent_path() : platform::pathFromUtf8(options.models);
    reference::writeEulerNetwork(s.system, s.equations, s.grid, net, models);
}

reference::StepStudyResult runStudy(const StudyOptions& options, Progress& progress) {
    const SystemGrid s = readSystemGrid(options.system);
    reference::StepStudyRequest request;
    request.system = s.system;
    request.outputs = s.equations;
    request.grid = s.grid;
    request.halvings = options.halvings;
    request.exact = exactFormulas(options.exact, "");
    for (int k = s.equations; k < language::kOutputCount; ++k) {
        if (!request.exact[static_cast<std::size_t>(k)].empty()) {
            throw CLI::ValidationError("--exact", "the system has no y" + std::to_string(k + 1));
        }
    }
    // An empty text is no formula: the study runs without exact values only when none is named,
    // and a formula named empty is refused as `run` refuses it.
    for (const std::string& item : options.exact) {
        const auto [k, formula] = splitAssignment("--exact", item);
        if (formula.empty()) {
            throw AxoliteError(MessageKind::Error,
                               reference::dependencyErrorText(static_cast<int>(k)));
        }
    }
    return reference::runStepStudy(request, progress);
}

nlohmann::ordered_json studyJson(const reference::StepStudyResult& result) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const auto& row : result.rows) {
        rows.push_back({{"h", row.h},
                        {"steps", row.steps},
                        {"network_error", jsonNumber(row.networkError)},
                        {"rk_error", jsonNumber(row.rungeKuttaError)},
                        {"network_order", jsonNumber(row.networkOrder)},
                        {"rk_order", jsonNumber(row.rungeKuttaOrder)}});
    }
    nlohmann::ordered_json json;
    json["against"] = result.againstExact ? "exact" : "rk";
    json["rows"] = rows;
    json["note"] = result.note ? nlohmann::ordered_json(*result.note) : nullptr;
    return json;
}

namespace {

std::string csvNumber(const std::optional<double>& value) {
    return value ? exactNumberText(*value) : "";
}

std::optional<platform::FileWriteFailure> writeStudyCsv(const reference::StepStudyResult& result,
                                                        const std::string& path) {
    platform::AtomicFile file(platform::pathFromUtf8(path));
    bool written =
        file.open() && file.write("h,steps,network_error,rk_error,network_order,rk_order\n");
    for (const auto& row : result.rows) {
        const std::string line =
            exactNumberText(row.h) + ',' + std::to_string(row.steps) + ',' +
            csvNumber(row.networkError) + ',' + csvNumber(row.rungeKuttaError) + ',' +
            csvNumber(row.networkOrder) + ',' + csvNumber(row.rungeKuttaOrder) + '\n';
        written = written && file.write(line);
    }
    if (written && file.commit()) {
        return std::nullopt;
    }
    return file.failure();
}

int study(const StudyOptions& options) {
    SilentProgress progress;
    const reference::StepStudyResult result = runStudy(options, progress);
    if (options.json) {
        std::cout << studyJson(result).dump(1) << '\n';
    } else {
        printStudyTable(result, std::cout);
    }
    if (!options.csv.empty()) {
        if (const auto failure = writeStudyCsv(result, options.csv)) {
            std::cerr << platform::fileWriteMessage(*failure).text << '\n';
            return UsageError;
        }
    }
    return Done;
}

} // namespace

void addStudyCommands(CLI::App& app, int& status) {
    auto generate = std::make_shared<NetgenOptions>();
    CLI::App* netgenCommand =
        app.add_subcommand("netgen", "Write the Euler network of a linear system");
    addSystemGridOptions(*netgenCommand, generate->system);
    netgenCommand->add_option("--out", generate->out, "The description to write (.net)")
        ->required();
    netgenCommand->add_option("--models", generate->models,
                              "Folder of the model file; beside the description by default");
    netgenCommand->callback(
        [generate, &status] { status = guardedCommand([&] { return netgen(*generate); }); });

    auto studied = std::make_shared<StudyOptions>();
    CLI::App* studyCommand = app.add_subcommand(
        "study", "Errors and observed orders of the Euler network and Runge-Kutta as h halves");
    addSystemGridOptions(*studyCommand, studied->system);
    studyCommand->add_option("--exact", studied->exact,
                             "Exact solution yK, as K=FORMULA (repeatable)");
    studyCommand->add_option("--halvings", studied->halvings, "Number of halvings of the step")
        ->required()
        ->check(CLI::Range(0, 60));
    studyCommand->add_flag("--json", studied->json, "Print one JSON object");
    studyCommand->add_option("--csv", studied->csv, "Write the table to this CSV file");
    studyCommand->callback(
        [studied, &status] { status = guardedCommand([&] { return study(*studied); }); });
}

} // namespace axolite::cli

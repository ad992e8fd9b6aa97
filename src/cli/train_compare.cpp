// Comparing training runs: the cross product of the --compare axes, each over the seeds of a
// sweep, run on every core.
#include "cli/train_compare.h"

#include "cli/commands.h"

#include "core/common/number_text.h"
#include "core/training/training_comparison.h"

#include <nlohmann/json.hpp>

#include <ctime>
#include <iostream>
#include <sstream>
#include <thread>

namespace axolite::cli {

namespace {

struct Variant {
    std::string label;
    TrainOptions options;
};

std::vector<Variant> variantsOf(const TrainOptions& options) {
    std::vector<Variant> variants{{"", options}};
    for (const std::string& axis : options.compare) {
        const std::size_t equals = axis.find('=');
        const std::string key = axis.substr(0, equals);
        if (equals == std::string::npos ||
            (key != "rate" && key != "method" && key != "iterations")) {
            throw TrainUsageError(
                "--compare: \"rate=...\", \"method=...\" or \"iterations=...\", got '" + axis +
                "'");
        }
        std::vector<Variant> product;
        for (const Variant& variant : variants) {
            std::stringstream values(axis.substr(equals + 1));
            std::string value;
            while (std::getline(values, value, ',')) {
                Variant next = variant;
                next.label += (next.label.empty() ? "" : " ") + key + "=" + value;
                if (key == "rate") {
                    next.options.rate = value;
                } else if (key == "iterations") {
                    next.options.iterations = value;
                } else {
                    next.options.method = value == "random" ? "randomized" : value;
                }
                product.push_back(std::move(next));
            }
        }
        variants = std::move(product);
    }
    return variants;
}

nlohmann::json optionalNumber(const std::optional<double>& value) {
    return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
}

} // namespace

bool drawComparison(const std::string& path, int iterations, const std::vector<CurveLine>& curves,
                    bool logScale) {
#ifdef AXOLITE_CLI_PLOT
    const PictureFunctions* pictures = pictureFunctions();
    if (pictures == nullptr) {
        return false;
    }
    CurvePicture curve;
    curve.iterations = iterations;
    curve.logScale = logScale;
    curve.compared = curves;
    const auto failure = pictures->curve(path, curve);
    if (failure) {
        std::cerr << platform::fileWriteMessage(*failure).text << '\n';
    }
    return !failure;
#else
    (void)iterations;
    (void)curves;
    (void)logScale;
    std::cerr << "--curve: this build has no painter (built without the desktop program) for "
              << path << '\n';
    return false;
#endif
}

// The runs of a comparison: every variant (the cross product of the --compare axes) with every
// seed, in that order.
struct ComparisonPlan {
    std::vector<training::ComparedVariant> variants;
    std::vector<training::ComparedRun> runs;
    training::LayerConfiguration configuration;
    int seeds = 1;
    int longest = 1; // the most iterations of any variant
};

// The plan of the options; TrainUsageError when they are not valid.
ComparisonPlan comparisonPlan(const TrainOptions& options) {
    if (!options.fromNet.empty() || !options.fromRecord.empty() || !options.record.empty()) {
        throw TrainUsageError("--compare, --seeds: not with --from-net, --from-record, --record");
    }
    ComparisonPlan plan;
    plan.seeds = std::max(options.seeds, 1);
    const std::uint32_t firstSeed =
        options.seed.value_or(static_cast<std::uint32_t>(std::time(nullptr)));
    for (const Variant& variant : variantsOf(options)) {
        TrainingRun run(std::nullopt);
        readTrainOptions(variant.options, run);
        plan.configuration = run.configuration;
        plan.longest = std::max(plan.longest, run.parameters.iterations);
        plan.variants.push_back({variant.label, run.parameters, firstSeed});
    }
    plan.runs = training::sweepRuns(plan.variants, plan.seeds);
    return plan;
}

// Each run's line (printed unless --json) and its JSON object; Refused when a run was refused.
int reportRuns(const TrainOptions& options, const ComparisonPlan& plan,
               const std::vector<training::ComparedResult>& results, nlohmann::ordered_json& json) {
    json["runs"] = nlohmann::json::array();
    int status = Done;
    if (!options.json) {
        std::cout << "Вариант\tНачальное значение\tОшибка\tИтераций\tВремя, с\n";
    }
    for (std::size_t i = 0; i < plan.runs.size(); ++i) {
        const training::ComparedResult& r = results[i];
        const training::ComparedRun& run = plan.runs[i];
        status = r.refusal ? Refused : status;
        json["runs"].push_back(
            {{"label", run.label},
             {"seed", run.seed},
             {"final_error", optionalNumber(r.finalError)},
             {"iterations", r.iterations},
             {"seconds", r.seconds},
             {"refusal", r.refusal ? nlohmann::json(*r.refusal) : nlohmann::json(nullptr)},
             {"errors", r.errors}});
        if (!options.json) {
            std::cout << run.label << '\t' << run.seed << '\t'
                      << (r.refusal      ? *r.refusal
                          : r.finalError ? formatNumber("%g", *r.finalError)
                                         : "-")
                      << '\t' << r.iterations << '\t' << formatNumber("%.3f", r.seconds) << '\n';
        }
    }
    return status;
}

int runTrainComparison(const TrainOptions& options) {
    ComparisonPlan plan;
    try {
        plan = comparisonPlan(options);
    } catch (const TrainUsageError& failure) {
        std::cerr << failure.what() << '\n';
        return UsageError;
    }
    const int seeds = plan.seeds;
    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const std::vector<training::ComparedResult> results =
        training::runComparison(plan.configuration, plan.runs, threads);

    nlohmann::ordered_json json;
    int status = reportRuns(options, plan, results, json);
    std::vector<CurveLine> curves;
    json["variants"] = nlohmann::json::array();
    const std::vector<training::VariantCurves> summaries =
        training::variantCurves(plan.variants, seeds, results);
    for (std::size_t v = 0; v < plan.variants.size(); ++v) {
        const training::MeanCurve& mean = summaries[v].errors;
        nlohmann::ordered_json summary = {{"label", plan.variants[v].label},
                                          {"runs", seeds},
                                          {"mean_errors", mean.mean},
                                          {"deviation_errors", mean.deviation}};
        json["variants"].push_back(summary);
        curves.push_back({summaries[v].errorName, mean.mean,
                          seeds > 1 ? mean.deviation : std::vector<double>{}});
    }
    if (!options.curve.empty() &&
        !drawComparison(options.curve, plan.longest, curves, options.curveLog)) {
        status = Refused;
    }
    if (options.json) {
        std::cout << json.dump(1) << '\n';
    }
    return status;
}

} // namespace axolite::cli

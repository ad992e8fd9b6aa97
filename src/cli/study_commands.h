// `axolite-cli netgen` and `axolite-cli study`: their options, the network written and the study
// run, for callers that report in their own way.
#pragma once

#include "core/common/progress.h"
#include "core/reference/step_study.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace axolite::cli {

// The options that name the system and its grid, shared by both commands.
struct SystemGridOptions {
    std::string rk;
    std::string rkInit;
    std::string simtime;
    double h = 0.0;
};

struct NetgenOptions {
    SystemGridOptions system;
    std::string out;
    std::string models; // empty: beside the description
};

struct StudyOptions {
    SystemGridOptions system;
    std::vector<std::string> exact;
    int halvings = 0;
    bool json = false;
    std::string csv;
};

// Writes the Euler network of the options and its model file. CLI::ValidationError for an option
// that cannot be read; AxoliteError or platform::FileWriteError from the writer.
void generateNetwork(const NetgenOptions& options);

// The step-size study of the options. CLI::ValidationError for an option that cannot be read,
// AxoliteError for a request the study refuses.
reference::StepStudyResult runStudy(const StudyOptions& options, Progress& progress);

// against, rows (h, steps, network_error, rk_error, network_order, rk_order), note.
nlohmann::ordered_json studyJson(const reference::StepStudyResult& result);

} // namespace axolite::cli

// The numeric identifiers of the training dialog's controls (their objectNames) and the help
// topics of its pages.
#pragma once

#include <array>

namespace axolite::training_ui {

// The numeric identifiers of the dialog's controls (their objectNames).
enum TeachNetworkControl : int {
    IdClose = 2,
    IdHelp = 9,
    IdTabs = 100,
    // Page "Описание сети"
    IdInputCount = 101,
    IdInputSpin = 102,
    IdInputKind = 103, // 103 … 106: "Линейная", "Ступенчатая", "Сигмовидная", "Гауссова"
    IdHiddenCount = 107,
    IdHiddenSpin = 108,
    IdHiddenNeurons = 111,   // 111 … 120
    IdHiddenEnsembles = 121, // 121 … 130
    IdHiddenKind = 131,      // 131 … 134
    IdOutputCount = 141,
    IdOutputSpin = 142,
    IdOutputKind = 143, // 143 … 146
    // Page "Обучение сети"
    IdPatterns = 201,
    IdPatternsSpin = 202,
    IdInputFile = 203,
    IdInputBrowse = 204,
    IdTargetFile = 205,
    IdTargetBrowse = 206,
    IdMethod = 207,
    IdIterations = 208,
    IdIterationsSpin = 209,
    IdRate = 210,
    IdLocalMinimum = 211,
    IdTrain = 212,
    IdInterrupt = 213,
    IdWriteDescription = 214,
    IdProgress = 215,
    IdPatternShown = 216,
    IdIterationShown = 217,
    IdNormShown = 218,
    IdSeed = 219,
    IdSeedFixed = 220,
    IdCurve = 221,
    IdCurveLog = 222,
    IdCurveError = 223,
    IdCompare = 224,
    // Page "Работа сети"
    IdResults = 301,
    IdInvestigate = 302,
    IdSeedUsed = 303,
    // Experiments: the loaded network, the record of a run, the lint's warnings
    IdLoadNetwork = 501,
    IdContinuation = 502,
    IdSaveExperiment = 503,
    IdOpenExperiment = 504,
    IdLint = 505,
    // The history row of the page "Работа сети"
    IdHistorySlider = 320,
    IdHistoryShown = 321,
    IdHistorySummary = 322,
    IdBranch = 323,
};

// Help topics of the three pages (the first is the command's own).
constexpr std::array<int, 3> kTeachNetworkTopics = {42, 4201, 4202};

} // namespace axolite::training_ui

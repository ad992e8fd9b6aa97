// The neuron models' identification codes: which range of codes chooses which transfer function,
// and the section of a model file (<code>.neu) that holds each kind. Every reader and writer of
// model files and codes, in the engine, the tool and the desktop program, takes them from here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace axolite::simulation {

// The kinds of transfer function, in the order of the model dialog's tabs.
enum class ModelKind : int { Linear = 0, Step = 1, Sigmoid = 2, Gaussian = 3 };

constexpr int kModelKindCount = 4;

// Code 0 is the default model of every neuron the description does not name.
constexpr std::int64_t kDefaultModelCode = 0;
constexpr std::int64_t kLastModelCode = 800;

// One kind's range of codes and its section of a model file.
struct ModelKindRange {
    ModelKind kind;
    std::int64_t firstCode;
    std::int64_t lastCode;
    const char* section;

    constexpr bool holds(std::int64_t code) const { return code >= firstCode && code <= lastCode; }
};

// 0..200 linear, 201..400 step, 401..600 sigmoid, 601..800 Gaussian; in the order of ModelKind.
inline constexpr std::array<ModelKindRange, kModelKindCount> kModelKindRanges = {{
    {ModelKind::Linear, kDefaultModelCode, 200, "Линейная"},
    {ModelKind::Step, 201, 400, "Ступенчатая"},
    {ModelKind::Sigmoid, 401, 600, "Сигмовидная"},
    {ModelKind::Gaussian, 601, kLastModelCode, "Гауссова"},
}};

constexpr const ModelKindRange& modelKindRange(ModelKind kind) {
    return kModelKindRanges[static_cast<std::size_t>(kind)];
}

// The first code of the kind a description may give its neurons: the range's first, except the
// default model's code 0, which no description names.
constexpr std::int64_t firstNamedModelCode(ModelKind kind) {
    const std::int64_t first = modelKindRange(kind).firstCode;
    return first == kDefaultModelCode ? first + 1 : first;
}

// The kind a model file of this code holds; nothing for a code outside 0..800.
constexpr std::optional<ModelKind> modelKindOfCode(std::int64_t code) {
    for (const ModelKindRange& range : kModelKindRanges) {
        if (range.holds(code)) {
            return range.kind;
        }
    }
    return std::nullopt;
}

// The kind a neuron of this code computes with: like modelKindOfCode, every code beyond the
// linear, step and sigmoid ranges (including those outside 0..800) being Gaussian.
constexpr ModelKind evaluationKindOfCode(std::int64_t code) {
    return modelKindOfCode(code).value_or(ModelKind::Gaussian);
}

// The section of a model file that holds the kind.
constexpr const char* modelSectionName(ModelKind kind) {
    return modelKindRange(kind).section;
}

} // namespace axolite::simulation

// Neuron models: the four transfer functions (chosen by the code ranges of model_codes.h) and the
// model files (<code>.neu, one section per kind, code page 1251) they are read from.
#pragma once

#include "core/common/message.h"
#include "core/platform/profile_file.h"
#include "core/simulation/model_codes.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace axolite::simulation {

// Whether the kind has the shift Xt (the step kind has not).
constexpr bool kindHasShift(ModelKind kind) {
    return kind != ModelKind::Step;
}

// The keys of a model file, in the order they are read and written.
constexpr std::array<const char*, 4> kModelKeys = {"ID", "Y1", "X1", "Xt"};

// The parameters of one neuron, in the order ID, Y1, X1, Xt (Xt stays 0 for the step kind).
struct ModelParameters {
    double id = 0.0;
    double y1 = 0.0;
    double x1 = 0.0;
    double xt = 0.0;

    bool operator==(const ModelParameters&) const = default;
};

// The four transfer functions. X1 is the threshold of every kind: below it the result is 0.
// Linear limits its input, not its result: Y1 for x >= Y1, -Y1 for x <= -Y1, x + Xt between.
// Gaussian grows: Y1·e^((x+Xt)²). Inline: the simulation calls them for every neuron and step.
inline double linearTransfer(const ModelParameters& p, double x) {
    if (x < p.x1) {
        return 0.0;
    }
    if (x >= p.y1) {
        return p.y1;
    }
    if (x <= -p.y1) {
        return -p.y1;
    }
    return x + p.xt;
}

inline double stepTransfer(const ModelParameters& p, double x) {
    return x < p.x1 ? 0.0 : p.y1;
}

inline double sigmoidTransfer(const ModelParameters& p, double x) {
    if (x < p.x1) {
        return 0.0;
    }
    return p.y1 / (1.0 + std::exp(-x - p.xt));
}

inline double gaussianTransfer(const ModelParameters& p, double x) {
    if (x < p.x1) {
        return 0.0;
    }
    const double shifted = x + p.xt;
    return p.y1 * std::exp(shifted * shifted);
}

// linearTransfer of count neurons at once: out[j] = linearTransfer(p[j], x[j]), bit for bit.
void linearTransferAll(const ModelParameters* p, const double* x, double* out, std::size_t count);

inline double transfer(ModelKind kind, const ModelParameters& p, double x) {
    switch (kind) {
    case ModelKind::Linear:
        return linearTransfer(p, x);
    case ModelKind::Step:
        return stepTransfer(p, x);
    case ModelKind::Sigmoid:
        return sigmoidTransfer(p, x);
    case ModelKind::Gaussian:
        return gaussianTransfer(p, x);
    }
    return 0.0;
}

// <folder>/<code>.neu, the code in decimal without leading zeros or blanks.
std::filesystem::path modelFilePath(const std::filesystem::path& folder, std::int64_t code);

// A parameter value as the simulation reads it: at most six characters, then the decimal
// number they begin with. Nothing when the text is empty or does not begin with a number.
std::optional<double> modelValueFromText(std::string_view text);

// Loads the model of the given code from its file: the kind's section, keys ID, Y1, X1 and
// (except step) Xt, each cut to six characters. Nothing when the file cannot be read, a key is
// missing, empty or no number, or the code lies outside 0..800.
std::optional<ModelParameters> loadModel(const std::filesystem::path& path, std::int64_t code);

// The same from a profile held in memory (a model file's text, ProfileFile::parse).
std::optional<ModelParameters> modelFromProfile(const platform::ProfileFile& profile,
                                                std::int64_t code);

// The model files of one run: each code's file is read once, however many neurons share the
// code, and every neuron of the code gets the same values loadModel gives. A file that fails is
// not read again either. The folders are searched in order: the first that holds <code>.neu
// gives the code's model.
class ModelFiles {
public:
    using Loader =
        std::function<std::optional<ModelParameters>(const std::filesystem::path&, std::int64_t)>;

    explicit ModelFiles(std::filesystem::path folder, Loader load = loadModel)
        : ModelFiles(std::vector<std::filesystem::path>{std::move(folder)}, std::move(load)) {}
    explicit ModelFiles(std::vector<std::filesystem::path> folders, Loader load = loadModel)
        : folders_(std::move(folders)), load_(std::move(load)) {}

    // The model of the code from its file; nothing when loadModel fails.
    const std::optional<ModelParameters>& model(std::int64_t code);

    // The file the code's model is read from: <code>.neu in the first folder that holds it, or in
    // the first folder when none does.
    std::filesystem::path file(std::int64_t code) const;

private:
    struct Loaded {
        std::filesystem::path file;
        std::optional<ModelParameters> model;
    };
    std::filesystem::path lookUp(std::int64_t code) const;

    std::vector<std::filesystem::path> folders_;
    Loader load_;
    std::unordered_map<std::int64_t, Loaded> loaded_;
};

// "Файл <path in lower case> не существует или поврежден." with the error icon.
Message modelFileFailure(const std::filesystem::path& path);

// The texts of a model's fields as the model dialog holds them.
struct ModelTexts {
    std::string id;
    std::string y1;
    std::string x1;
    std::string xt;

    std::string& field(int key);
    const std::string& field(int key) const;
};

// The values of the kind's keys that a model file holds with a non-empty value, each cut to
// maxCharacters (13 in the dialog). Missing keys stay nullopt. Nothing when the file cannot be
// read.
std::optional<std::array<std::optional<std::string>, 4>>
readModelTexts(const std::filesystem::path& path, ModelKind kind, std::size_t maxCharacters = 13);

// Writes the kind's keys (ID, Y1, X1 and, except step, Xt) into the kind's section of the file,
// keeping its other sections and lines. False when the file cannot be written.
bool writeModel(const std::filesystem::path& path, ModelKind kind, const ModelTexts& texts);

// "Ошибка при записи файла <path>" with the error icon.
Message modelWriteFailure(const std::filesystem::path& path);

} // namespace axolite::simulation

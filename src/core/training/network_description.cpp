// Writing a trained layered network as a network description with its neuron models.
#include "core/training/network_description.h"

#include "core/common/message.h"
#include "core/common/number_text.h"
#include "core/platform/atomic_file.h"
#include "core/platform/text_encoding.h"
#include "core/simulation/model_codes.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <tuple>

namespace axolite::training {

namespace {

constexpr std::size_t kModelValueLength = 6;
// Far beyond any activity, so that the linear kind never limits and no threshold cuts.
constexpr const char* kUnbounded = "1e+30";
constexpr const char* kNoThreshold = "-1e+30";
// The threshold of the input neurons: they receive no connections, so their weighted sum is 0,
// below it, and they stay silent; what they pass on is their external input alone.
constexpr const char* kSilentThreshold = "1";

// The transfer codes of a layered network name the model kinds in the same order.
static_assert(
    static_cast<int>(TransferCode::Linear) == static_cast<int>(simulation::ModelKind::Linear) &&
    static_cast<int>(TransferCode::Step) == static_cast<int>(simulation::ModelKind::Step) &&
    static_cast<int>(TransferCode::Sigmoid) == static_cast<int>(simulation::ModelKind::Sigmoid) &&
    static_cast<int>(TransferCode::Gaussian) == static_cast<int>(simulation::ModelKind::Gaussian));

simulation::ModelKind modelKind(TransferCode code) {
    return static_cast<simulation::ModelKind>(code);
}

const char* sectionName(TransferCode code) {
    return simulation::modelSectionName(modelKind(code));
}

std::string compactExponent(std::string text) {
    const std::size_t e = text.find('e');
    if (e == std::string::npos) {
        return text;
    }
    std::string mantissa = text.substr(0, e);
    std::string exponent = text.substr(e + 1);
    std::string sign;
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
        sign = exponent[0] == '-' ? "-" : "";
        exponent.erase(0, 1);
    }
    while (exponent.size() > 1 && exponent[0] == '0') {
        exponent.erase(0, 1);
    }
    return mantissa + "e" + sign + exponent;
}

std::string withoutLeadingZero(std::string text) {
    if (text.rfind("0.", 0) == 0) {
        text.erase(0, 1);
    } else if (text.rfind("-0.", 0) == 0) {
        text.erase(1, 1);
    }
    return text;
}

double valueOfText(const std::string& text) {
    double value = 0.0;
    parseDoublePrefix(text.c_str(), value);
    return value;
}

struct ModelKey {
    TransferCode kind;
    std::string y1;
    std::string x1;
    std::string xt;
    bool operator<(const ModelKey& other) const {
        return std::tie(kind, y1, x1, xt) < std::tie(other.kind, other.y1, other.x1, other.xt);
    }
};

ModelKey inputModel(const LayerNeuron& neuron) {
    const std::string shift = shortModelValue(neuron.bias);
    switch (neuron.transfer) {
    case TransferCode::Linear:
        return {neuron.transfer, kUnbounded, kSilentThreshold, shift};
    case TransferCode::Step:
        return {neuron.transfer, "1", kSilentThreshold, ""};
    default:
        return {neuron.transfer, "1", kSilentThreshold, shift};
    }
}

ModelKey layerModel(const LayerNeuron& neuron) {
    switch (neuron.transfer) {
    case TransferCode::Linear:
        return {neuron.transfer, kUnbounded, kNoThreshold, shortModelValue(neuron.bias)};
    case TransferCode::Step:
        // Active when bias + Σ ≥ 0, i.e. when the weighted sum reaches −bias.
        return {neuron.transfer, "1", shortModelValue(-static_cast<double>(neuron.bias)), ""};
    default:
        return {neuron.transfer, "1", kNoThreshold, shortModelValue(neuron.bias)};
    }
}

std::string modelText(const ModelKey& key, int code) {
    std::string text = std::string("[") + sectionName(key.kind) + "]\r\n";
    text += "ID=" + std::to_string(code) + "\r\n";
    text += "Y1=" + key.y1 + "\r\n";
    text += "X1=" + key.x1 + "\r\n";
    if (key.kind != TransferCode::Step) {
        text += "Xt=" + key.xt + "\r\n";
    }
    return text;
}

std::string weightText(float weight) {
    return formatNumber("%.9g", static_cast<double>(weight));
}

// Whether name is the model file name of an identification code ("<code>.neu", 0 ≤ code ≤ 800):
// the simulation reads such a file for every neuron of that code.
bool isModelFileName(const std::string& name) {
    const std::string extension = ".neu";
    if (name.size() <= extension.size() ||
        name.compare(name.size() - extension.size(), extension.size(), extension) != 0) {
        return false;
    }
    const std::string digits = name.substr(0, name.size() - extension.size());
    if (digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const int code = std::stoi(digits);
    return std::to_string(code) == digits && code <= simulation::kLastModelCode;
}

// The number of the first neuron of every layer (neurons count from 1 in layer order), and one
// past the last neuron at the end.
std::vector<int> firstNeurons(const LayeredNetwork& network) {
    const int layers = network.layerCount();
    std::vector<int> first(static_cast<std::size_t>(layers) + 1, 1);
    for (int l = 0; l < layers; ++l) {
        first[l + 1] = first[l] + network.layerSize(l);
    }
    return first;
}

// Refuses a network a description cannot hold: none formed, too many neurons, a weight or bias
// that is no finite number.
void requireDescribable(const LayeredNetwork& network) {
    const int layers = network.layerCount();
    if (layers < 2) {
        // No training run has formed a network yet: there is nothing to describe.
        throw AxoliteError(MessageKind::Error,
                           "Нейронная сеть не сформирована: описание нейронной сети не может "
                           "быть записано.");
    }
    const int total = firstNeurons(network)[layers] - 1;
    if (total > kMaxDescriptionNeurons) {
        throw AxoliteError(MessageKind::Error,
                           "Сеть из " + std::to_string(total) +
                               " нейронов не может быть описана: описание нейронной сети "
                               "допускает не более 196 нейронов.");
    }
    for (int l = 0; l < layers; ++l) {
        for (int i = 0; i < network.layerSize(l); ++i) {
            const LayerNeuron& neuron = network.neuron(l, i);
            bool finite = std::isfinite(neuron.bias);
            for (float w : neuron.weights) {
                finite = finite && std::isfinite(w);
            }
            if (!finite) {
                throw AxoliteError(MessageKind::Error,
                                   "Веса или смещения обученной сети не являются конечными "
                                   "числами: описание нейронной сети не может быть записано.");
            }
        }
    }
}

// Model codes: one per distinct set of parameters, counted up from the first code of the kind
// (code 0, the default model, is left alone). Adds each model's file to models and returns the
// code of every neuron (by its number).
std::vector<int> assignModelCodes(const LayeredNetwork& network, const std::vector<int>& first,
                                  const ModelCodeFree& codeFree,
                                  std::vector<ModelFileText>& models) {
    std::map<ModelKey, int> codes;
    std::array<int, simulation::kModelKindCount> nextCode{};
    for (const simulation::ModelKindRange& range : simulation::kModelKindRanges) {
        nextCode[static_cast<std::size_t>(range.kind)] =
            static_cast<int>(simulation::firstNamedModelCode(range.kind));
    }
    const int layers = network.layerCount();
    std::vector<int> neuronCode(static_cast<std::size_t>(first[layers]), 0);
    for (int l = 0; l < layers; ++l) {
        for (int i = 0; i < network.layerSize(l); ++i) {
            const LayerNeuron& neuron = network.neuron(l, i);
            const ModelKey key = l == 0 ? inputModel(neuron) : layerModel(neuron);
            auto found = codes.find(key);
            if (found == codes.end()) {
                int& next = nextCode[static_cast<std::size_t>(key.kind)];
                const std::int64_t last = simulation::modelKindRange(modelKind(key.kind)).lastCode;
                while (next <= last && !codeFree(next, modelText(key, next))) {
                    ++next;
                }
                if (next > last) {
                    throw AxoliteError(MessageKind::Error,
                                       "Все коды идентификации моделей нейронов вида \"" +
                                           std::string(sectionName(key.kind)) +
                                           "\" заняты: описание нейронной сети не записано.");
                }
                const int code = next++;
                found = codes.emplace(key, code).first;
                models.push_back({code, std::to_string(code) + ".neu", modelText(key, code)});
            }
            neuronCode[first[l] + i] = found->second;
        }
    }
    return neuronCode;
}

// The comments, the interval and the input and output layers.
void appendHeaderAndLayers(const LayeredNetwork& network, const std::vector<int>& first,
                           std::string& text) {
    const int layers = network.layerCount();
    std::string shape;
    for (int l = 0; l < layers; ++l) {
        shape += (l == 0 ? "" : "-") + std::to_string(network.layerSize(l));
    }
    text += "// Обученная нейронная сеть " + shape + "\r\n";
    text += "// Отклик: шаг " + std::to_string(layers - 1) + ", образ во внешнем входе\r\n";
    text += "neurons " + std::to_string(first[layers] - 1) + ";\r\n";
    text += "simtime 0, " + std::to_string(layers) + ";\r\n";
    text += "timestep 1;\r\n";

    text += "inputlayer {\r\n";
    for (int n = first[0]; n < first[1]; ++n) {
        text += "neuron " + std::to_string(n) + ";\r\n";
    }
    text += "}\r\n";

    const int outputs = network.outputCount();
    if (outputs > kMaxDescriptionOutputs) {
        text += "// Выход: первые 4 из " + std::to_string(outputs) + " нейронов\r\n";
    }
    text += "outputlayer {\r\n";
    for (int s = 0; s < outputs && s < kMaxDescriptionOutputs; ++s) {
        text += "neuron " + std::to_string(first[layers - 1] + s) + ", weight 1;\r\n";
    }
    text += "}\r\n";
}

// The model code of every neuron, and the wait count −1: every neuron computes at every step.
void appendModelsAndWaits(const std::vector<int>& neuronCode, std::string& text) {
    const int total = static_cast<int>(neuronCode.size()) - 1;
    text += "model {\r\n";
    for (int n = 1; n <= total; ++n) {
        text += "neuron " + std::to_string(n) + ", " + std::to_string(neuronCode[n]) + ";\r\n";
    }
    text += "}\r\n";
    text += "suspend {\r\n";
    for (int n = 1; n <= total; ++n) {
        text += "neuron " + std::to_string(n) + ", -1;\r\n";
    }
    text += "}\r\n";
}

// One connection per line; a weight of 0.0 cannot be written (zero is no number of the language)
// and is left out, which changes no weighted sum.
void appendLayout(const LayeredNetwork& network, const std::vector<int>& first, std::string& text) {
    const int layers = network.layerCount();
    text += "networklayout {\r\n";
    bool anyConnection = false;
    for (int l = 1; l < layers; ++l) {
        for (int j = 0; j < network.layerSize(l - 1); ++j) {
            for (int i = 0; i < network.layerSize(l); ++i) {
                const float weight = network.neuron(l, i).weights[j];
                if (weight == 0.0f) {
                    continue;
                }
                anyConnection = true;
                text += "neuron " + std::to_string(first[l - 1] + j) + ", neuron " +
                        std::to_string(first[l] + i) + ", weight " + weightText(weight) + ";\r\n";
            }
        }
    }
    if (!anyConnection) {
        // A layout needs one connection; this one is too weak to change any result.
        text += "neuron " + std::to_string(first[layers - 2]) + ", neuron " +
                std::to_string(first[layers - 1]) + ", weight 1e-300;\r\n";
    }
    text += "}\r\n";
}

} // namespace

std::string shortModelValue(double value) {
    if (value == 0.0) {
        return "0";
    }
    if (!std::isfinite(value)) {
        return formatNumber("%g", value);
    }
    std::string best;
    double bestError = INFINITY;
    for (const char* conversion : {"g", "f", "e"}) {
        for (int precision = 1; precision <= 9; ++precision) {
            const std::string format = "%." + std::to_string(precision) + conversion;
            const std::string plain = formatNumber(format.c_str(), value);
            for (const std::string& text :
                 {plain, compactExponent(plain), withoutLeadingZero(plain),
                  withoutLeadingZero(compactExponent(plain))}) {
                if (text.size() > kModelValueLength) {
                    continue;
                }
                const double error = std::fabs(valueOfText(text) - value);
                // The first text of the least error wins: the plain notation before the
                // shortened ones.
                if (error < bestError) {
                    best = text;
                    bestError = error;
                }
            }
        }
    }
    return best.empty() ? formatNumber("%.0e", value) : best;
}

GeneratedDescription generateDescription(const LayeredNetwork& network,
                                         const ModelCodeFree& codeFree) {
    requireDescribable(network);
    const std::vector<int> first = firstNeurons(network);
    GeneratedDescription result;
    const std::vector<int> neuronCode = assignModelCodes(network, first, codeFree, result.models);
    appendHeaderAndLayers(network, first, result.netText);
    appendModelsAndWaits(neuronCode, result.netText);
    appendLayout(network, first, result.netText);
    result.netText += "end\r\n";
    return result;
}

void writeGeneratedDescription(const std::filesystem::path& netPath,
                               const std::filesystem::path& modelsFolder,
                               const DescriptionGenerator& generate) {
    // The description must not take the name of a model file, also not through a link.
    std::error_code ignored;
    const std::string netName = netPath.filename().string();
    if (isModelFileName(netName) ||
        isModelFileName(std::filesystem::weakly_canonical(netPath, ignored).filename().string())) {
        throw AxoliteError(MessageKind::Error,
                           "Имя " + netName +
                               " принадлежит файлу модели нейрона: описание нейронной сети не "
                               "записано.");
    }
    const std::filesystem::path& folder = modelsFolder;
    // A model file that is already there belongs to other descriptions: it is used again only
    // when it is a regular file holding exactly the model wanted, and never overwritten. Any
    // other entry of that name (a folder, a symbolic link, even a dangling one) is passed over.
    std::set<int> alreadyThere;
    auto codeFree = [&folder, &alreadyThere](int code, const std::string& text) {
        const std::filesystem::path path = folder / (std::to_string(code) + ".neu");
        std::error_code error;
        const std::filesystem::file_status entry = std::filesystem::symlink_status(path, error);
        if (entry.type() == std::filesystem::file_type::not_found) {
            return true;
        }
        if (error || entry.type() != std::filesystem::file_type::regular) {
            return false;
        }
        std::ifstream file(path, std::ios::binary);
        const std::string wanted = platform::utf8ToCp1251(text);
        std::string present(wanted.size() + 1, '\0');
        file.read(present.data(), static_cast<std::streamsize>(present.size()));
        present.resize(static_cast<std::size_t>(file.gcount()));
        if (!file.eof() || present != wanted) {
            return false;
        }
        alreadyThere.insert(code);
        return true;
    };
    const GeneratedDescription description = generate(codeFree);

    // The description and its new model files are one set: every file is written and flushed
    // to a temporary file first, and only then do they take their names, the models (which
    // never replace a file) before the description that names them.
    std::vector<platform::AtomicFile> files;
    files.emplace_back(netPath);
    std::vector<std::string> bytes{description.netText};
    for (const ModelFileText& model : description.models) {
        if (alreadyThere.count(model.code) == 0) {
            files.emplace_back(folder / model.fileName, platform::ExistingTarget::Keep);
            bytes.push_back(platform::utf8ToCp1251(model.text));
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!files[i].open() || !files[i].write(bytes[i]) || !files[i].finish()) {
            throw platform::FileWriteError(*files[i].failure());
        }
    }
    // Should the description not take its name, the model files that did are removed again:
    // they are new files (a model file is never replaced), and nothing of a failed set stays.
    std::vector<std::filesystem::path> placed;
    for (std::size_t i = files.size(); i-- > 0;) {
        if (!files[i].commit()) {
            for (const std::filesystem::path& model : placed) {
                std::filesystem::remove(model, ignored);
            }
            throw platform::FileWriteError(*files[i].failure());
        }
        placed.push_back(files[i].target());
    }
}

void writeDescription(const LayeredNetwork& network, const std::filesystem::path& netPath) {
    writeGeneratedDescription(netPath, netPath.parent_path(), [&](const ModelCodeFree& codeFree) {
        return generateDescription(network, codeFree);
    });
}

} // namespace axolite::training

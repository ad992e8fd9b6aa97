// Reading a network description of the training back into a layered network.
#include "core/training/network_loading.h"

#include "core/common/message.h"
#include "core/common/number_text.h"
#include "core/platform/text_encoding.h"
#include "core/simulation/model_codes.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

namespace axolite::training {

namespace {

constexpr const char* kShapePrefix = "// Обученная нейронная сеть ";
constexpr double kUnbounded = 1e30;

class NotLayered {
public:
    explicit NotLayered(std::string reason) : reason(std::move(reason)) {}
    std::string reason;
};

std::string trimmed(const std::string& line) {
    const std::size_t begin = line.find_first_not_of(" \t\r");
    if (begin == std::string::npos) {
        return "";
    }
    return line.substr(begin, line.find_last_not_of(" \t\r") - begin + 1);
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        lines.push_back(trimmed(line));
    }
    return lines;
}

std::vector<int> shapeOf(const std::vector<std::string>& lines) {
    const std::string prefix = kShapePrefix;
    if (lines.empty() || lines[0].rfind(prefix, 0) != 0) {
        throw NotLayered("нет строки \"" + trimmed(prefix) + " ...\" с размерами слоев");
    }
    std::vector<int> sizes;
    std::istringstream shape(lines[0].substr(prefix.size()));
    std::string size;
    while (std::getline(shape, size, '-')) {
        if (size.empty() || size.size() > 2 ||
            size.find_first_not_of("0123456789") != std::string::npos) {
            throw NotLayered("размеры слоев \"" + lines[0].substr(prefix.size()) + "\" неверны");
        }
        sizes.push_back(std::stoi(size));
        if (sizes.back() < 1 || sizes.back() > kMaxLayerNeurons) {
            throw NotLayered("в слое от 1 до 18 нейронов");
        }
    }
    if (sizes.size() < 2 || sizes.size() > static_cast<std::size_t>(kMaxHiddenLayers) + 2) {
        throw NotLayered("сеть должна иметь от 2 до 12 слоев");
    }
    return sizes;
}

struct Model {
    TransferCode kind = TransferCode::Linear;
    std::map<std::string, double> values; // ID, Y1, X1, Xt
};

Model parseModel(int code, const std::string& text) {
    if (text.empty()) {
        throw NotLayered("нет файла модели " + std::to_string(code) + ".neu");
    }
    Model model;
    std::optional<TransferCode> kind;
    for (const std::string& line : linesOf(text)) {
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            const std::string section = line.substr(1, line.size() - 2);
            for (const simulation::ModelKindRange& range : simulation::kModelKindRanges) {
                if (section == range.section) {
                    kind = static_cast<TransferCode>(range.kind);
                }
            }
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) {
            double value = 0.0;
            const std::string number = trimmed(line.substr(equals + 1));
            if (parseDoublePrefix(number.c_str(), value) != number.size() || number.empty()) {
                throw NotLayered("в файле модели " + std::to_string(code) + ".neu параметр " +
                                 line.substr(0, equals) + " не является числом");
            }
            model.values[trimmed(line.substr(0, equals))] = value;
        }
    }
    if (!kind) {
        throw NotLayered("вид модели в файле " + std::to_string(code) + ".neu неизвестен");
    }
    model.kind = *kind;
    return model;
}

bool has(const Model& model, const char* key, std::optional<double> value = std::nullopt) {
    const auto found = model.values.find(key);
    return found != model.values.end() && (!value || found->second == *value);
}

// The bias of a neuron of layer l with this model, when the model has the form the training
// writes for that layer.
std::optional<float> biasOf(const Model& model, bool input) {
    const bool step = model.kind == TransferCode::Step;
    const double y1 = model.kind == TransferCode::Linear ? kUnbounded : 1.0;
    if (!has(model, "Y1", y1)) {
        return std::nullopt;
    }
    if (input) {
        if (!has(model, "X1", 1.0)) {
            return std::nullopt;
        }
        if (step) {
            return -3.0f; // what the forming gives input neurons; it takes part in no sum
        }
        return has(model, "Xt") ? std::optional<float>(static_cast<float>(model.values.at("Xt")))
                                : std::nullopt;
    }
    if (step) {
        return has(model, "X1") ? std::optional<float>(static_cast<float>(-model.values.at("X1")))
                                : std::nullopt;
    }
    if (!has(model, "X1", -kUnbounded) || !has(model, "Xt")) {
        return std::nullopt;
    }
    return static_cast<float>(model.values.at("Xt"));
}

enum class Section { None, Model, Layout, Other };

struct Statements {
    int neurons = -1;
    std::map<int, int> codes;
    std::vector<std::tuple<int, int, float>> connections;
};

Statements readStatements(const std::vector<std::string>& lines) {
    Statements statements;
    Section section = Section::None;
    bool ended = false;
    for (const std::string& line : lines) {
        if (line.empty() || line.rfind("//", 0) == 0) {
            continue;
        }
        if (ended) {
            throw NotLayered("текст после end");
        }
        int a = 0;
        int b = 0;
        char weight[64] = {};
        if (section == Section::None) {
            if (line == "model {") {
                section = Section::Model;
            } else if (line == "networklayout {") {
                section = Section::Layout;
            } else if (line == "inputlayer {" || line == "outputlayer {" || line == "suspend {") {
                section = Section::Other;
            } else if (line == "end") {
                ended = true;
            } else if (std::sscanf(line.c_str(), "neurons %d;", &a) == 1) {
                statements.neurons = a;
            } else if (line.rfind("simtime ", 0) != 0 && line.rfind("timestep ", 0) != 0) {
                throw NotLayered("строка \"" + line + "\" не из описания многослойной сети");
            }
        } else if (line == "}") {
            section = Section::None;
        } else if (section == Section::Model) {
            if (std::sscanf(line.c_str(), "neuron %d, %d;", &a, &b) != 2) {
                throw NotLayered("строка \"" + line + "\" раздела model неверна");
            }
            statements.codes[a] = b;
        } else if (section == Section::Layout) {
            float value = 0.0f;
            if (std::sscanf(line.c_str(), "neuron %d, neuron %d, weight %63[^;];", &a, &b,
                            weight) != 3 ||
                parseFloatPrefix(weight, value) == 0) {
                throw NotLayered("строка \"" + line + "\" раздела networklayout неверна");
            }
            statements.connections.emplace_back(a, b, value);
        }
    }
    if (!ended) {
        throw NotLayered("нет end");
    }
    return statements;
}

LoadedNetwork assemble(const std::vector<int>& sizes, const Statements& statements,
                       const std::function<std::string(int)>& modelText) {
    const int layers = static_cast<int>(sizes.size());
    std::vector<int> first(sizes.size() + 1, 1);
    for (int l = 0; l < layers; ++l) {
        first[l + 1] = first[l] + sizes[l];
    }
    if (statements.neurons != first[layers] - 1) {
        throw NotLayered("число нейронов не совпадает с размерами слоев");
    }
    LoadedNetwork loaded;
    LayerConfiguration& c = loaded.configuration;
    c.inputNeurons = sizes.front();
    c.outputNeurons = sizes.back();
    c.hiddenLayers = layers - 2;
    for (int h = 0; h < c.hiddenLayers; ++h) {
        c.hiddenNeurons[h] = sizes[h + 1];
        c.hiddenEnsembles[h] = 1;
    }
    std::map<int, Model> models;
    std::vector<std::vector<std::pair<TransferCode, float>>> neurons(sizes.size());
    for (int l = 0; l < layers; ++l) {
        for (int n = first[l]; n < first[l + 1]; ++n) {
            const auto code = statements.codes.find(n);
            if (code == statements.codes.end()) {
                throw NotLayered("у нейрона " + std::to_string(n) + " нет модели");
            }
            if (models.count(code->second) == 0) {
                models.emplace(code->second, parseModel(code->second, modelText(code->second)));
            }
            const Model& model = models.at(code->second);
            const std::optional<float> bias = biasOf(model, l == 0);
            if (!bias || (n > first[l] && model.kind != neurons[l].front().first)) {
                throw NotLayered("модель нейрона " + std::to_string(n) +
                                 " не из тех, что записывает обучение");
            }
            neurons[l].emplace_back(model.kind, *bias);
        }
    }
    c.inputTransfer = neurons.front().front().first;
    c.outputTransfer = neurons.back().front().first;
    for (int l = 1; l + 1 < layers; ++l) {
        const TransferCode kind = neurons[l].front().first;
        if ((kind != TransferCode::Linear && kind != TransferCode::Sigmoid) ||
            kind != neurons[1].front().first) {
            throw NotLayered("скрытые слои должны быть все линейными или все сигмовидными");
        }
        c.hiddenTransfer = kind;
    }
    RandomSource unused(0);
    loaded.network = LayeredNetwork::build(c, unused);
    for (int l = 0; l < layers; ++l) {
        for (int i = 0; i < sizes[l]; ++i) {
            LayerNeuron& neuron = loaded.network.neuron(l, i);
            neuron.bias = neurons[l][i].second;
            neuron.weights.fill(0.0f);
        }
    }
    std::vector<bool> seen(static_cast<std::size_t>(first[layers]) * first[layers], false);
    for (const auto& [from, to, weight] : statements.connections) {
        int l = 1;
        while (l < layers && !(to >= first[l] && to < first[l + 1])) {
            ++l;
        }
        if (l == layers || from < first[l - 1] || from >= first[l] ||
            seen[static_cast<std::size_t>(from) * first[layers] + to]) {
            throw NotLayered("связь " + std::to_string(from) + " → " + std::to_string(to) +
                             " не между соседними слоями или повторена");
        }
        seen[static_cast<std::size_t>(from) * first[layers] + to] = true;
        loaded.network.neuron(l, to - first[l]).weights[from - first[l - 1]] = weight;
    }
    return loaded;
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

} // namespace

LoadedNetwork parseNetworkDescription(const std::string& netText,
                                      const std::function<std::string(int code)>& modelText,
                                      const std::string& shownName) {
    try {
        const std::vector<std::string> lines = linesOf(netText);
        const std::vector<int> sizes = shapeOf(lines);
        return assemble(sizes, readStatements(lines), modelText);
    } catch (const NotLayered& failure) {
        throw AxoliteError(MessageKind::Error,
                           "Файл " + shownName +
                               " не является описанием многослойной сети в том виде, в котором "
                               "его записывает обучение: " +
                               failure.reason + ".");
    }
}

LoadedNetwork readNetworkDescription(const std::filesystem::path& netPath) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(netPath, error)) {
        throw AxoliteError(MessageKind::Error, "Невозможно открыть файл " + netPath.string() + ".");
    }
    const std::filesystem::path folder = netPath.parent_path();
    return parseNetworkDescription(
        fileText(netPath),
        [&](int code) {
            const std::filesystem::path model = folder / (std::to_string(code) + ".neu");
            std::error_code ignored;
            return std::filesystem::is_regular_file(model, ignored)
                       ? platform::cp1251ToUtf8(fileText(model))
                       : std::string();
        },
        netPath.string());
}

} // namespace axolite::training

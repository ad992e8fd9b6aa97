// Writing the Euler network of a linear system as a description with its model file.
#include "core/reference/euler_network.h"

#include "core/common/message.h"
#include "core/common/number_text.h"
#include "core/simulation/model_codes.h"

#include <cmath>
#include <string>

namespace axolite::reference {

namespace {

constexpr simulation::ModelKindRange kLinear =
    simulation::modelKindRange(simulation::ModelKind::Linear);
constexpr int kFirstCode = static_cast<int>(simulation::firstNamedModelCode(kLinear.kind));
constexpr int kLastLinearCode = static_cast<int>(kLinear.lastCode);

// A number as the description holds it: %.17g reads back to the same double.
std::string exactText(double value) {
    return formatNumber("%.17g", value);
}

std::string shortText(double value) {
    return formatNumber("%g", value);
}

std::string modelText(int code) {
    return std::string("[") + kLinear.section + "]\r\nID=" + std::to_string(code) +
           "\r\nY1=1e308\r\nX1=-1e308\r\nXt=0\r\n";
}

[[noreturn]] void refuse(const std::string& text) {
    throw AxoliteError(MessageKind::Error, text);
}

// "(neuron 1, neuron 2, ...)": every neuron of the network.
std::string allNeurons(int count) {
    std::string text = "(";
    for (int k = 1; k <= count; ++k) {
        text += (k > 1 ? ", neuron " : "neuron ") + std::to_string(k);
    }
    return text + ")";
}

// "// y1' = a·y1 + b·y2 + e" with the coefficients as %g (a comment only).
std::string equationComment(const LinearSystem& system, int outputs, int j) {
    std::string text = "// y" + std::to_string(j + 1) + "' =";
    const auto& row = system.rows[static_cast<std::size_t>(j)];
    for (int k = 0; k < outputs; ++k) {
        text +=
            " " + shortText(row[static_cast<std::size_t>(k)]) + "*y" + std::to_string(k + 1) + " +";
    }
    return text + " " + shortText(row[4]) + "\r\n";
}

} // namespace

std::vector<double> eulerWeights(const LinearSystem& system, int outputs, double h) {
    const auto n = static_cast<std::size_t>(outputs);
    const std::size_t count = n + 1;
    std::vector<double> w(count * count, 0.0);
    for (std::size_t j = 0; j < n; ++j) {
        const auto& row = system.rows[j];
        for (std::size_t k = 0; k < n; ++k) {
            w[j * count + k] = (j == k ? 1.0 : 0.0) + h * row[k];
        }
        w[j * count + n] = h * row[4];
    }
    w[n * count + n] = 1.0;
    return w;
}

void validateEulerNetwork(const LinearSystem& system, int outputs, const EulerGrid& grid) {
    if (outputs < 1 || outputs > language::kOutputCount) {
        refuse("Система должна содержать от 1 до 4 уравнений.");
    }
    for (int j = 0; j < language::kOutputCount; ++j) {
        for (int k = 0; k < language::kOutputCount; ++k) {
            if ((j >= outputs || k >= outputs) && system.rows[j][k] != 0.0) {
                refuse("Уравнение y" + std::to_string(j + 1) + "' содержит y" +
                       std::to_string(k + 1) + ", а система состоит из " + std::to_string(outputs) +
                       " уравнений.");
            }
        }
        if (j >= outputs && (system.rows[j][4] != 0.0 || system.initial[j] != 0.0)) {
            refuse("Уравнение y" + std::to_string(j + 1) + "' отсутствует в системе из " +
                   std::to_string(outputs) + " уравнений.");
        }
    }
    // The description's SIMTIME takes no sign.
    if (grid.t0 < 0.0) {
        refuse("Знаковое выражение недопустимо");
    }
    if (!std::isfinite(grid.t0) || !std::isfinite(grid.t1) || !(grid.t0 < grid.t1)) {
        refuse("Интервал моделирования задан неверно: нужно t0 < t1.");
    }
    if (!std::isfinite(grid.h) || !(grid.h > 0.0)) {
        refuse("Шаг моделирования должен быть положительным числом.");
    }
    bool finite = true;
    for (const double w : eulerWeights(system, outputs, grid.h)) {
        finite = finite && std::isfinite(w);
    }
    for (int k = 0; k < outputs; ++k) {
        finite = finite && std::isfinite(system.initial[static_cast<std::size_t>(k)]);
    }
    if (!finite) {
        refuse("Коэффициенты системы, умноженные на шаг, или начальные значения не являются "
               "конечными числами: сеть не может быть описана.");
    }
}

training::GeneratedDescription generateEulerNetwork(const LinearSystem& system, int outputs,
                                                    const EulerGrid& grid,
                                                    const training::ModelCodeFree& codeFree) {
    validateEulerNetwork(system, outputs, grid);
    int code = kFirstCode;
    while (code <= kLastLinearCode && !codeFree(code, modelText(code))) {
        ++code;
    }
    if (code > kLastLinearCode) {
        refuse(std::string("Все коды идентификации моделей нейронов вида \"") + kLinear.section +
               "\" заняты: описание нейронной сети не записано.");
    }
    const int total = outputs + 1;
    const std::string constant = std::to_string(total);
    std::string text =
        "// Сеть метода Эйлера для системы y' = A*y + e: y(i) = y(i-1) + h*(A*y(i-1) "
        "+ e)\r\n";
    for (int j = 0; j < outputs; ++j) {
        text += equationComment(system, outputs, j);
    }
    text += "// Нейроны 1.." + std::to_string(outputs) + ": y1..y" + std::to_string(outputs) +
            "; нейрон " + constant + ": постоянный (активность 1, веса h*e)\r\n";
    text += "neurons " + std::to_string(total) + ";\r\n";
    text += "simtime " + exactText(grid.t0) + ", " + exactText(grid.t1) + ";\r\n";
    text += "timestep " + exactText(grid.h) + ";\r\n";

    // Zero is no number of the language: an initial value of 0 is the default and left out.
    text += "initstate {\r\n";
    for (int k = 0; k < outputs; ++k) {
        const double value = system.initial[static_cast<std::size_t>(k)];
        if (value != 0.0) {
            text += "neuron " + std::to_string(k + 1) + ", " + exactText(value) + ";\r\n";
        }
    }
    text += "neuron " + constant + ", 1;\r\n}\r\n";
    // Wait count −1: every neuron computes at every step.
    text += "suspend {\r\n" + allNeurons(total) + ", -1;\r\n}\r\n";
    text += "model {\r\n" + allNeurons(total) + ", " + std::to_string(code) + ";\r\n}\r\n";
    text += "outputlayer {\r\n";
    for (int k = 1; k <= outputs; ++k) {
        text += "neuron " + std::to_string(k) + ", weight 1;\r\n";
    }
    text += "}\r\n";

    // One connection per line, sender by sender; a weight of 0 is left out (the default).
    const std::vector<double> w = eulerWeights(system, outputs, grid.h);
    const auto count = static_cast<std::size_t>(total);
    text += "networklayout {\r\n";
    for (std::size_t k = 0; k < count; ++k) {
        for (std::size_t j = 0; j < count; ++j) {
            const double weight = w[j * count + k];
            if (weight != 0.0) {
                text += "neuron " + std::to_string(k + 1) + ", neuron " + std::to_string(j + 1) +
                        ", weight " + exactText(weight) + ";\r\n";
            }
        }
    }
    text += "}\r\nend\r\n";

    training::GeneratedDescription description;
    description.netText = std::move(text);
    description.models.push_back({code, std::to_string(code) + ".neu", modelText(code)});
    return description;
}

void writeEulerNetwork(const LinearSystem& system, int outputs, const EulerGrid& grid,
                       const std::filesystem::path& netPath,
                       const std::filesystem::path& modelsFolder) {
    validateEulerNetwork(system, outputs, grid);
    training::writeGeneratedDescription(
        netPath, modelsFolder, [&](const training::ModelCodeFree& codeFree) {
            return generateEulerNetwork(system, outputs, grid, codeFree);
        });
}

} // namespace axolite::reference

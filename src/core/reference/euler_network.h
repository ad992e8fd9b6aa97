// The network that integrates a linear system y' = A·y + e by the explicit Euler method: output
// neurons y1..yn with y(i) = W·y(i−1) + h·e, W = I + h·A, and one constant neuron for the e terms.
#pragma once

#include "core/reference/runge_kutta.h"
#include "core/training/network_description.h"

#include <filesystem>
#include <vector>

namespace axolite::reference {

// The simulated interval and step the network is written for.
struct EulerGrid {
    double t0 = 0.0;
    double t1 = 1.0;
    double h = 0.1;
};

// The bound of the generated model (its Y1, and −bound its threshold X1): the largest magnitude
// the linear neurons pass on. "1e308" is the widest bound a six-character model value can hold.
constexpr double kEulerModelBound = 1e308;

// The weight matrix of the network of n outputs (n + 1 neurons, the last one constant), W[j][k]
// row-major, weight from neuron k to neuron j: W[j][k] = (j == k) + h·A[j][k] for j, k < n,
// W[j][n] = h·e_j, W[n][n] = 1 and W[n][k] = 0 otherwise.
std::vector<double> eulerWeights(const LinearSystem& system, int outputs, double h);

// Checks what the network needs and throws AxoliteError (error icon) otherwise: 1..4 outputs, a
// system whose rows and columns beyond the outputs are zero, a finite interval 0 <= t0 < t1 (a
// negative start: "Знаковое выражение недопустимо", as the check says of SIMTIME) and a
// finite step h > 0, finite weights and initial values.
void validateEulerNetwork(const LinearSystem& system, int outputs, const EulerGrid& grid);

// The description (and its single model file, linear, Y1 = 1e308, X1 = −1e308, Xt = 0) of the
// network. The model code is the first of 1..200 that codeFree accepts.
training::GeneratedDescription generateEulerNetwork(
    const LinearSystem& system, int outputs, const EulerGrid& grid,
    const training::ModelCodeFree& codeFree = [](int, const std::string&) { return true; });

// Writes the description to netPath and its model file into modelsFolder, as one set through
// temporary files (see training::writeGeneratedDescription; an existing model file is never
// replaced). Throws AxoliteError or platform::FileWriteError.
void writeEulerNetwork(const LinearSystem& system, int outputs, const EulerGrid& grid,
                       const std::filesystem::path& netPath,
                       const std::filesystem::path& modelsFolder);

} // namespace axolite::reference

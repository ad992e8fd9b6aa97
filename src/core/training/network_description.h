// The network description (.net) of a formed and trained layered network, with the neuron model
// files (.neu) it names. Neurons are numbered in layer order; biases become the models' shift
// Xt (or, for step neurons, the threshold X1); see docs/training.md for the whole mapping.
#pragma once

#include "training/layered_network.h"

#include <filesystem>
#include <string>
#include <vector>

namespace axolite::training {

// The description language takes at most this many neurons and output neurons.
constexpr int kMaxDescriptionNeurons = 196;
constexpr int kMaxDescriptionOutputs = 4;

struct ModelFileText {
    int code = 0;
    std::string fileName; // "<code>.neu"
    std::string text;     // UTF-8; written in code page 1251
};

struct GeneratedDescription {
    std::string netText; // ASCII and UTF-8 comments, lines of at most 126 characters
    std::vector<ModelFileText> models;
};

// The description of the network. Throws AxoliteError(Error, ...) when no network has been formed,
// when the network has more neurons than a description takes, or a weight or bias that is not a
// finite number.
GeneratedDescription generateDescription(const LayeredNetwork& network);

// Writes the description to netPath and its model files beside it (in the same folder).
// Throws AxoliteError(Error, "Невозможно создать файл " + path) when a file cannot be written.
void writeDescription(const LayeredNetwork& network, const std::filesystem::path& netPath);

// A model parameter in at most six characters (the simulation reads no more), the text of that
// length whose decimal value lies nearest to value.
std::string shortModelValue(double value);

} // namespace axolite::training

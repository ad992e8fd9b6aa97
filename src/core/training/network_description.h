// The network description (.net) of a formed and trained layered network, with the neuron model
// files (.neu) it names. Neurons are numbered in layer order; biases become the models' shift
// Xt (or, for step neurons, the threshold X1); see docs/training.md for the whole mapping.
#pragma once

#include "core/training/layered_network.h"

#include <filesystem>
#include <functional>
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

// Whether a model code may be given the model file text (UTF-8): writing it must not replace a
// different model of the same name.
using ModelCodeFree = std::function<bool(int code, const std::string& text)>;

// The description of the network; model codes count up from the first of each kind's range,
// passing over codes that codeFree refuses. Throws AxoliteError(Error, ...) when no network has
// been formed, when the network has more neurons than a description takes, or a weight or bias that
// is not a finite number.
GeneratedDescription generateDescription(
    const LayeredNetwork& network,
    const ModelCodeFree& codeFree = [](int, const std::string&) { return true; });

// Builds a description, asking codeFree which model codes it may use.
using DescriptionGenerator = std::function<GeneratedDescription(const ModelCodeFree& codeFree)>;

// Writes a generated description to netPath and its model files into modelsFolder. A model
// file already in the folder is never overwritten: its code is used again when it is a regular
// file holding the same model, and passed over otherwise (also a symbolic link, which is never
// followed). The files are one set: all are written to temporary files first and take their
// names only when all were written, so a failure leaves the folders as they were.
// Throws AxoliteError(Error, ...) when netPath is named like a model file ("<code>.neu"), and
// platform::FileWriteError (naming the file and the step that failed) when a file cannot be
// written.
void writeGeneratedDescription(const std::filesystem::path& netPath,
                               const std::filesystem::path& modelsFolder,
                               const DescriptionGenerator& generate);

// Writes the description to netPath and its model files beside it (in the same folder). A model
// file already in the folder is never overwritten: its code is used again when it is a regular
// file holding the same model, and passed over otherwise (also a symbolic link, which is never
// followed). The files are one set: all are written to temporary files first and take their
// names only when all were written, so a failure leaves the folder as it was.
// Throws AxoliteError(Error, ...) when netPath is named like a model file ("<code>.neu"), and
// platform::FileWriteError (naming the file and the step that failed) when a file cannot be
// written.
void writeDescription(const LayeredNetwork& network, const std::filesystem::path& netPath);

// A model parameter in at most six characters (the simulation reads no more), the text of that
// length whose decimal value lies nearest to value.
std::string shortModelValue(double value);

} // namespace axolite::training

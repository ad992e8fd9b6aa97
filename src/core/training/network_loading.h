// Reading back a network description written by the training (writeDescription): the layered
// network it describes, to be trained further. Only the forms the training writes are taken.
#pragma once

#include "core/training/layered_network.h"

#include <filesystem>
#include <functional>
#include <string>

namespace axolite::training {

struct LoadedNetwork {
    LayerConfiguration configuration; // hidden layers of one ensemble each
    LayeredNetwork network;
};

// Reads the description at netPath and the model files (<code>.neu) beside it. Weights are
// exact (they are written with nine significant digits, which give back every float); biases
// are model parameters of at most six characters and come back to that precision only. Throws
// AxoliteError(Error, ...) naming the file and what is wrong when it cannot be read or is not a
// layered network in the form the training writes it.
LoadedNetwork readNetworkDescription(const std::filesystem::path& netPath);

// The same from texts: the description, and the model file text (UTF-8) of a code, empty when
// there is no such file. shownName names the description in messages.
LoadedNetwork parseNetworkDescription(const std::string& netText,
                                      const std::function<std::string(int code)>& modelText,
                                      const std::string& shownName);

} // namespace axolite::training

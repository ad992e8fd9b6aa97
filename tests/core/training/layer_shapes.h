// The layer configuration of a test network: sizes, one ensemble per hidden layer, the transfer
// functions of the output and input layers.
#pragma once

#include "core/training/layered_network.h"

#include <vector>

namespace axolite::training {

inline LayerConfiguration shape(int inputs, std::vector<int> hidden, int outputs,
                                TransferCode output = TransferCode::Linear,
                                TransferCode input = TransferCode::Linear) {
    LayerConfiguration c;
    c.inputNeurons = inputs;
    c.inputTransfer = input;
    c.hiddenLayers = static_cast<int>(hidden.size());
    for (std::size_t h = 0; h < hidden.size(); ++h) {
        c.hiddenNeurons[h] = hidden[h];
        c.hiddenEnsembles[h] = 1;
    }
    c.outputNeurons = outputs;
    c.outputTransfer = output;
    return c;
}

} // namespace axolite::training

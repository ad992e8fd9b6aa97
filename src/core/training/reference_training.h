// The plain single-precision loops of training over the neuron records, kept as the reference
// that the packed kernel (packed_network.h) must reproduce bit for bit.
#pragma once

#include "core/training/layered_network.h"

namespace axolite::training {

// One back-propagation presentation: forward pass of layers 1 … L−1, then all error terms, then
// the biases and weights.
void referenceBackPropagation(LayeredNetwork& network, const float* input, const float* target,
                              float rate);

// One Hebbian update of the weights from the input layer into layer 1 (after a forward pass).
void referenceHebbianUpdate(LayeredNetwork& network, float rate);

} // namespace axolite::training

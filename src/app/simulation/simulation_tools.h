// The tools of the simulation subsystem that the frame opens by command: the neuron model (8).
#pragma once

void registerSimulationTools();

// The layered-network tool (command 42) registered with the frame.
#pragma once

void registerTrainingTools();

// The three pattern files of the reference tools: the exact values, the Runge-Kutta solution and
// the input activations, written pattern by pattern with "%g " and no line break.
#pragma once

#include "core/language/network_record.h"

#include <string>
#include <vector>

namespace axolite::reference {

// The values of each file in the order they are written. Every writer writes the grid points
// l = 0 .. S − 1 (the Runge-Kutta point S is not written) and never reads past a series.
//  - exact: y1..y4 at point l, each only when its exact presence flag is raised;
//  - Runge-Kutta: y1..y4 at point l, each only when its Runge-Kutta presence flag is raised;
//  - input activation: the external input of each neuron of the input-layer list, in list order,
//    skipping unused entries.
std::vector<double> exactPatternValues(const language::NetworkRecord& record);
std::vector<double> rungeKuttaPatternValues(const language::NetworkRecord& record);
std::vector<double> inputActivationPatternValues(const language::NetworkRecord& record);

// The number of values in one pattern of each file.
int exactPatternWidth(const language::NetworkRecord& record);
int rungeKuttaPatternWidth(const language::NetworkRecord& record);
int inputActivationPatternWidth(const language::NetworkRecord& record);

// Write the files through a temporary file that replaces an existing one only when everything
// was written (training::writePatternFile). A failure throws platform::FileWriteError, whose
// step() tells whether the file could not be created, written or put in place. The record is
// only read.
void writeExactPatterns(const language::NetworkRecord& record, const std::string& path);
void writeRungeKuttaPatterns(const language::NetworkRecord& record, const std::string& path);
void writeInputActivationPatterns(const language::NetworkRecord& record, const std::string& path);

} // namespace axolite::reference

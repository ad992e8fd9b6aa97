// Texts the GUI tests type into description windows.
#pragma once

#include <QString>
#include <QStringList>

// A correct description with an input layer: checked without errors, simulated in four steps.
inline const char* const kCorrect = "neurons 2;\n"
                                    "simtime 0, 1;\n"
                                    "timestep 0.25;\n"
                                    "inputlayer {neuron 1;}\n"
                                    "outputlayer {neuron 2, weight 1;}\n"
                                    "networklayout {neuron 1, neuron 2, weight 0.5;}\n"
                                    "end\n";

// "line 0" .. "line count-1", one per line, no line end after the last.
inline QString numberedLines(int count) {
    QStringList lines;
    for (int i = 0; i < count; ++i) {
        lines.append(QStringLiteral("line %1").arg(i));
    }
    return lines.join(u'\n');
}

// The training curve: the norm of every iteration of a back-propagation run, drawn with QPainter
// alone (QtGui, no widgets), so that the dialog's curve and `axolite-cli train --curve` are the
// same picture.
#pragma once

#include "core/platform/atomic_file.h"

#include <QByteArray>
#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

class QPainter;

namespace axolite::training_ui {

// A curve of a comparison: one run's values by iteration, or the mean of a seed sweep with its
// standard deviation (drawn as a band of ± one deviation).
struct ComparedCurve {
    QString name; // in the legend
    std::vector<double> values;
    std::vector<double> deviation; // empty: no band
    int firstIteration = 0;        // values[0] belongs to this iteration (a branch's start)
    bool branch = false;           // a run of the history's line, kept when a branch was made
};

struct TrainingCurve {
    std::vector<float> norms;   // norm of iteration t at index t
    std::vector<double> errors; // mean squared error after iteration t, when it was computed
    std::vector<ComparedCurve> compared; // drawn after the norm and the error, each in its colour
    int iterations = 0;                  // T: the horizontal axis runs over 0 … T − 1
    bool logScale = false;
    // The iteration of norms[0] and errors[0]: above 0 for a branch, named after its start.
    int firstIteration = 0;
    // An iteration marked by a vertical line (the network the results page shows).
    std::optional<double> cursor;
};

// "Норма", or for a branch from iteration k "Норма (ветвь от k)".
QString normName(int firstIteration);

class TrainingCurvePainter {
public:
    // Paints the curve into the area: a white field, the axes with their end values, the norms,
    // errors and compared curves with their names (one a line when there are compared curves);
    // more norms than pixels are drawn as the minimum and maximum of each pixel column.
    // Norms that are not finite (and, on the log scale, not positive) are left out.
    static void paint(QPainter& painter, const QRectF& area, const TrainingCurve& curve);
};

// The curve as the bytes of a PNG or SVG picture of width × height pixels. Drawing needs Qt's
// GUI application object, which the caller has made.
QByteArray trainingCurveBytes(const TrainingCurve& curve, bool svg, int width = 640,
                              int height = 400);

// Writes the curve as a PNG or SVG file (chosen by the extension; anything else is PNG) through
// the safe writer. Nothing when written, the failure otherwise.
std::optional<platform::FileWriteFailure> writeTrainingCurve(const QString& path,
                                                             const TrainingCurve& curve,
                                                             int width = 640, int height = 400);

} // namespace axolite::training_ui

// The training curve pictures of the train command, drawn by the training curve painter.
#include "cli/pictures/curve_picture.h"

#include "cli/pictures/headless_gui.h"

#include "render/training_curve_painter.h"

#include <QString>

namespace axolite::cli {

std::optional<platform::FileWriteFailure> drawCurve(const std::string& path,
                                                    const CurvePicture& picture) {
    training_ui::TrainingCurve curve;
    curve.norms = picture.norms;
    curve.errors = picture.errors;
    curve.iterations = picture.iterations;
    curve.logScale = picture.logScale;
    for (const CurveLine& line : picture.compared) {
        curve.compared.push_back({QString::fromStdString(line.name), line.values, line.deviation,
                                  line.firstIteration, line.branch});
    }
    const HeadlessGui gui;
    return training_ui::writeTrainingCurve(QString::fromStdString(path), curve);
}

} // namespace axolite::cli

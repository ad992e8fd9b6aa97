// The step-size study's plot: the errors of the Euler network and of Runge-Kutta against the
// step h on log-log axes, drawn with QPainter alone (QtGui, no widgets).
#pragma once

#include "core/reference/step_study.h"

#include <QRectF>

class QPainter;

namespace axolite::render {

class StepStudyPainter {
public:
    // Paints into the area: a white field, log10 axes with their decades, the network's errors
    // (blue, circles) and the Runge-Kutta errors (red, squares), joined where neighbours are
    // both drawn. Errors that are absent, not finite or not above 0 are left out, and so are
    // their lines; "Нет данных" when nothing is left.
    static void paint(QPainter& painter, const QRectF& area,
                      const std::vector<reference::StepStudyRow>& rows);
};

} // namespace axolite::render

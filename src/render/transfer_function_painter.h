// Draws the picture of a transfer function (linear, step, sigmoid, Gaussian) with a QPainter:
// the model dialog paints it in its picture controls, tests and tools render it into images.
#pragma once

#include "core/simulation/neuron_model.h"

#include <QColor>
#include <QRectF>

class QPainter;

struct TransferPictureSettings {
    QColor background = QColor(255, 255, 255);
    QColor frame = QColor(128, 128, 128);
    QColor axes = QColor(0, 0, 0);
    QColor curve = QColor(0, 0, 255);
    qreal curveWidth = 2.0;
    bool drawFrame = true;
    // The function drawn and the interval of x shown.
    axolite::simulation::ModelParameters parameters;
    double xFrom = -1.0;
    double xTo = 1.0;

    // Parameters and interval that show the shape of each kind: the threshold, the limits of
    // the linear kind, the jump of the step, the sigmoid's S, and the growing Gaussian.
    static TransferPictureSettings forKind(axolite::simulation::ModelKind kind);
};

class TransferFunctionPainter {
public:
    // Paints the function of the kind into area: background, frame, axes through zero and the
    // curve sampled at every pixel column.
    static void paint(QPainter& painter, const QRectF& area, axolite::simulation::ModelKind kind,
                      const TransferPictureSettings& settings);

    // Where the curve of x lies in area (for tests that look at the pixels of a picture).
    static QPointF curvePoint(const QRectF& area, axolite::simulation::ModelKind kind,
                              const TransferPictureSettings& settings, double x);
};

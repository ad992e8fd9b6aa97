// The picture of the dynamics view: the output neurons as columns standing in a box seen in
// perspective, as a still picture (initial or final values, or any step) and as replay frames.
#pragma once

#include "core/language/network_record.h"
#include "core/views/dynamics_geometry.h"

#include <QColor>
#include <QRect>

#include <cstdint>

class QPainter;

namespace axolite::render {

enum class StillValues {
    Initial, // "Показать начальные значения активности нейронов": step 0
    Final, // "Показать конечные значения активности нейронов": step N − 1
    Step, // "Показать значения активности на шаге отладки": the debugger's step (stillStep)
};

// What the dynamics view's controls have set. The defaults are the view's state when it opens.
struct DynamicsSettings {
    bool gridShown = true; // "Наложить сетку"
    bool colourMarking = true; // "Обозначить нейроны выходного слоя цветом"
    StillValues still = StillValues::Initial;
    std::int64_t stillStep = 0; // the step StillValues::Step shows (brought within the run)
};

// Draws in the pixel coordinates of the dynamics view's client area, through the model drawing
// surface: logical units of 0.01 mm (96 / 2540 pixel each) with Y upward and the origin at pixel
// (8, 272); model points reach it through views::projectModelPoint. Every pen on that surface is
// one device pixel wide, and the points are placed at device precision, so on a device with a
// pixel ratio of 2 the picture is drawn at twice the resolution, not enlarged. Nothing is drawn
// outside fieldRect().
//
// Columns: neuron u stands at views::columnBase(u) as two vertical lines, 0.7 model units apart,
// from one height to another (views::VerticalScale::height). A column that falls is erased with
// black from its new height to its old one, which also cuts the grid behind it until the grid is
// drawn again. Pens: with colour marking neuron 0 blue, 1 red, 2 green, 3 yellow when its series is
// present, cyan otherwise; without marking all cyan. The grid is light grey (192, 192, 192).
class DynamicsPainter {
public:
    // The black field: pixels 8..355 × 36..271 of the client area.
    static QRect fieldRect();

    // The pen colour of column u.
    static QColor columnColor(const language::NetworkRecord& record, int column,
                              bool colourMarking);

    // The still picture the view paints at every repaint: black field, the grid when shown, and,
    // for a simulated record, each column from height 0 to its value at step 0 or N − 1.
    static void paintStill(QPainter& painter, const language::NetworkRecord* record,
                           const DynamicsSettings& settings);

    // The same picture with the columns at any step j (0 ≤ j < N): what the view would show at j.
    static void paintStep(QPainter& painter, const language::NetworkRecord* record,
                          const DynamicsSettings& settings, std::int32_t step);

    // One frame of a replay, drawn over the picture the previous frame left: each column moves
    // from its height at frame.fromStep to its height at frame.toStep, then the grid is drawn
    // again over the columns when shown. The scale is computed once per replay
    // (views::verticalScale) and the frames come from views::ReplaySchedule. A dialog keeps the
    // picture in an image of its own at the screen's pixel ratio: paintStill into it, then each
    // frame into it, showing the image in paintEvent after every frame.
    static void paintFrame(QPainter& painter, const language::NetworkRecord& record,
                           const DynamicsSettings& settings, const views::VerticalScale& scale,
                           const views::ReplayFrame& frame);
};

} // namespace axolite::render
